# Benchmarks of the simulation engine.
add_executable(kernel_bench ${CMAKE_CURRENT_LIST_DIR}/kernel_bench.cpp)
target_link_libraries(kernel_bench PRIVATE quorrel_engine quorrel_demos benchmark::benchmark)
