# The file readers, fed with arbitrary bytes.
quorrel_fuzzer(container ${CMAKE_CURRENT_LIST_DIR}/fuzz_container.cpp)
target_link_libraries(fuzz_container PRIVATE quorrel_format)
quorrel_fuzzer(experiment ${CMAKE_CURRENT_LIST_DIR}/fuzz_experiment.cpp)
target_link_libraries(fuzz_experiment PRIVATE quorrel_format)
quorrel_fuzzer(text_form ${CMAKE_CURRENT_LIST_DIR}/fuzz_text_form.cpp)
target_link_libraries(fuzz_text_form PRIVATE quorrel_format)
# Every form converted into every other gives back the same dump.
quorrel_fuzzer(roundtrip ${CMAKE_CURRENT_LIST_DIR}/fuzz_roundtrip.cpp)
target_link_libraries(fuzz_roundtrip PRIVATE quorrel_format)
