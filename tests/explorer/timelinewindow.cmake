veskora_add_test(tst_timelinewindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_timelinewindow.cpp
                 LIBS veskora_explorer)
target_include_directories(tst_timelinewindow PRIVATE ${CMAKE_SOURCE_DIR}/tests)
