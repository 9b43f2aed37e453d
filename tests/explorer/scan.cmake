veskora_add_test(tst_filetypes SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_filetypes.cpp
  LIBS veskora_explorer)
veskora_add_test(tst_folderscan SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_folderscan.cpp
  LIBS veskora_explorer)
target_include_directories(tst_folderscan PRIVATE ${CMAKE_SOURCE_DIR}/tests)
