veskora_add_test(tst_scanwindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_scanwindow.cpp
                 LIBS veskora_explorer)
target_include_directories(tst_scanwindow PRIVATE ${CMAKE_SOURCE_DIR}/tests)
