# Sorting, scrolling and batch appends of the file list at a million rows.
add_executable(bench_filelist ${CMAKE_CURRENT_LIST_DIR}/bench_filelist.cpp)
target_link_libraries(bench_filelist PRIVATE veskora_explorer veskora_warnings)
