# Duplicate selection, clipboard renderings and search matching: logic without the window.
foreach(test IN ITEMS tst_duplicates tst_clipboardformats tst_filesearch)
  veskora_add_test(${test} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${test}.cpp LIBS veskora_explorer)
  target_include_directories(${test} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endforeach()
