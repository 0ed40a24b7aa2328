# The player executable and the demo launcher.
add_executable(quorrel ${CMAKE_CURRENT_SOURCE_DIR}/quorrel_main.cpp)
target_link_libraries(quorrel PRIVATE quorrel_ui)

# quorrel-demo, written to <build>/demo/quorrel-demo: lists the bundled demos
# by title and opens the chosen one in the player. The tool writes the demo
# experiments into <build>/demo/experiments whenever it is rebuilt.
set(QUORREL_DEMO_DIR ${CMAKE_BINARY_DIR}/demo/experiments)
set(QUORREL_DEMO_STAMP ${CMAKE_BINARY_DIR}/demo/experiments.stamp)
add_custom_command(
  OUTPUT ${QUORREL_DEMO_STAMP}
  COMMAND $<TARGET_FILE:quorrel-tool> demo ${QUORREL_DEMO_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${QUORREL_DEMO_STAMP}
  DEPENDS quorrel-tool
  COMMENT "Writing the demo experiments"
  VERBATIM)
add_custom_target(quorrel-demo-experiments ALL DEPENDS ${QUORREL_DEMO_STAMP})

add_executable(quorrel-demo ${CMAKE_CURRENT_SOURCE_DIR}/demo_launcher_main.cpp)
target_link_libraries(quorrel-demo PRIVATE quorrel_demos Qt6::Widgets)
target_compile_definitions(quorrel-demo PRIVATE QUORREL_PLAYER="$<TARGET_FILE:quorrel>")
set_target_properties(quorrel-demo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/demo)
add_dependencies(quorrel-demo quorrel quorrel-demo-experiments)
