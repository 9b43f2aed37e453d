# Digest throughput against md5sum(1) and the duplicate selection's own cost:
# bench_digest TREE (make it with make_dupes.sh).
add_executable(bench_digest ${CMAKE_CURRENT_LIST_DIR}/bench_digest.cpp)
target_link_libraries(bench_digest PRIVATE veskora_explorer veskora_warnings)
