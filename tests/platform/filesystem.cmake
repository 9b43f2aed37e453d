veskora_add_test(tst_filesystem SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_filesystem.cpp
  LIBS veskora_platform)
target_include_directories(tst_filesystem PRIVATE ${CMAKE_SOURCE_DIR}/tests)
