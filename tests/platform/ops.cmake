# Digests, copies and the trash: each against real files in temporary folders.
foreach(test IN ITEMS tst_filedigest tst_filecopy tst_trash)
  veskora_add_test(${test} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${test}.cpp LIBS veskora_platform)
  target_include_directories(${test} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endforeach()
