veskora_add_test(tst_mainwindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainwindow.cpp
                 LIBS veskora_explorer)
