# Digests, duplicates, file commands and search through the window, on real temporary files.
veskora_add_test(tst_opswindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_opswindow.cpp
                 LIBS veskora_explorer)
target_include_directories(tst_opswindow PRIVATE ${CMAKE_SOURCE_DIR}/tests)
