veskora_add_test(tst_filelistsort SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_filelistsort.cpp LIBS veskora_explorer)
