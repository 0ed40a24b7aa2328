# The player executable and a ready-made stand-alone player of a demo.
add_executable(quorrel ${CMAKE_CURRENT_SOURCE_DIR}/quorrel_main.cpp)
target_link_libraries(quorrel PRIVATE quorrel_ui)

# quorrel-demo: the player with the thrown-ball demo appended, written to
# <build>/demo/quorrel-demo (the target's own name is taken by the target).
# The demo experiments are written into the build tree by the tool, then packed.
set(QUORREL_DEMO_DIR ${CMAKE_BINARY_DIR}/demo/experiments)
set(QUORREL_DEMO_PLAYER ${CMAKE_BINARY_DIR}/demo/quorrel-demo)
add_custom_command(
  OUTPUT ${QUORREL_DEMO_PLAYER}
  COMMAND $<TARGET_FILE:quorrel-tool> demo ${QUORREL_DEMO_DIR}
  COMMAND $<TARGET_FILE:quorrel-tool> pack ${QUORREL_DEMO_DIR}/thrown_ball.exp
          --out ${QUORREL_DEMO_PLAYER} --player $<TARGET_FILE:quorrel>
  COMMAND chmod +x ${QUORREL_DEMO_PLAYER}
  DEPENDS quorrel quorrel-tool
  COMMENT "Packing the thrown-ball demo into quorrel-demo"
  VERBATIM)
add_custom_target(quorrel-demo ALL DEPENDS ${QUORREL_DEMO_PLAYER})
