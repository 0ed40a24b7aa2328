# The event-program evaluator and interpreter, fed with arbitrary texts.
quorrel_fuzzer(eval ${CMAKE_CURRENT_LIST_DIR}/fuzz_eval.cpp)
target_link_libraries(fuzz_eval PRIVATE quorrel_script)
quorrel_fuzzer(program ${CMAKE_CURRENT_LIST_DIR}/fuzz_program.cpp)
target_link_libraries(fuzz_program PRIVATE quorrel_script)
