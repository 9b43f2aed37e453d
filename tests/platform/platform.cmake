veskora_add_test(tst_drives SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_drives.cpp LIBS veskora_platform)
