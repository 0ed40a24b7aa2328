# Benchmark of opening experiment files.
add_executable(open_bench ${CMAKE_CURRENT_LIST_DIR}/open_bench.cpp)
target_link_libraries(open_bench PRIVATE quorrel_format quorrel_demos benchmark::benchmark)
