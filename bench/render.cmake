# Benchmark of one frame of the player against a plain picture copy.
add_executable(frame_bench ${CMAKE_CURRENT_LIST_DIR}/frame_bench.cpp)
target_link_libraries(frame_bench PRIVATE quorrel_player quorrel_headless quorrel_demos benchmark::benchmark)
