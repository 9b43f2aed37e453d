veskora_add_test(tst_progressclock SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_progressclock.cpp
  LIBS veskora_explorer)
veskora_add_test(tst_backthread SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_backthread.cpp
  LIBS veskora_explorer)
