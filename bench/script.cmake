# Benchmarks of the event-program interpreter.
add_executable(program_bench ${CMAKE_CURRENT_LIST_DIR}/program_bench.cpp)
target_link_libraries(program_bench PRIVATE quorrel_script benchmark::benchmark)
