# The folder scan against find(1) over the same tree: bench_scan TREE (make it with make_tree.sh).
add_executable(bench_scan ${CMAKE_CURRENT_LIST_DIR}/bench_scan.cpp)
target_link_libraries(bench_scan PRIVATE veskora_explorer veskora_warnings)
