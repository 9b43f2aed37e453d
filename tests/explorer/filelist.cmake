veskora_add_test(tst_filetime SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_filetime.cpp LIBS veskora_explorer)
veskora_add_test(tst_filelistmodel SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_filelistmodel.cpp LIBS veskora_explorer)
veskora_add_test(tst_filelistview SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_filelistview.cpp LIBS veskora_explorer)
