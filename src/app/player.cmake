# The player executable, the bundled demo experiments, a ready-made
# stand-alone player of a demo and the desktop icons, and where they install.
add_executable(quorrel ${CMAKE_CURRENT_SOURCE_DIR}/quorrel_main.cpp)
target_link_libraries(quorrel PRIVATE quorrel_ui)

# The demo experiments, written into the build tree by the tool. Their names
# live in the code, so a stamp file stands for the folder.
set(QUORREL_DEMO_DIR ${CMAKE_BINARY_DIR}/demo/experiments)
set(QUORREL_DEMO_STAMP ${CMAKE_BINARY_DIR}/demo/experiments.stamp)
add_custom_command(
  OUTPUT ${QUORREL_DEMO_STAMP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QUORREL_DEMO_DIR}
  COMMAND $<TARGET_FILE:quorrel-tool> demo ${QUORREL_DEMO_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${QUORREL_DEMO_STAMP}
  DEPENDS quorrel-tool
  COMMENT "Writing the bundled demo experiments"
  VERBATIM)

# quorrel-demo: the player with the thrown-ball demo appended, written to
# <build>/demo/quorrel-demo (the target's own name is taken by the target).
set(QUORREL_DEMO_PLAYER ${CMAKE_BINARY_DIR}/demo/quorrel-demo)
add_custom_command(
  OUTPUT ${QUORREL_DEMO_PLAYER}
  COMMAND $<TARGET_FILE:quorrel-tool> pack ${QUORREL_DEMO_DIR}/thrown_ball.exp
          --out ${QUORREL_DEMO_PLAYER} --player $<TARGET_FILE:quorrel>
  COMMAND chmod +x ${QUORREL_DEMO_PLAYER}
  DEPENDS quorrel quorrel-tool ${QUORREL_DEMO_STAMP}
  COMMENT "Packing the thrown-ball demo into quorrel-demo"
  VERBATIM)
add_custom_target(quorrel-demo ALL DEPENDS ${QUORREL_DEMO_PLAYER})

# The program's icon in the usual sizes, laid out as an icon theme folder.
set(QUORREL_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
set(QUORREL_ICON_STAMP ${CMAKE_BINARY_DIR}/icons/hicolor.stamp)
add_custom_command(
  OUTPUT ${QUORREL_ICON_STAMP}
  COMMAND $<TARGET_FILE:quorrel-tool> icon ${QUORREL_ICON_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${QUORREL_ICON_STAMP}
  DEPENDS quorrel-tool
  COMMENT "Painting the desktop icons"
  VERBATIM)
add_custom_target(quorrel-icons ALL DEPENDS ${QUORREL_ICON_STAMP})

# Installed binaries are stripped when installing with --strip (the Debian
# package does). quorrel-demo is installed as a plain file: it is stripped
# already, and stripping it again would cut off its appended experiment.
install(TARGETS quorrel quorrel-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS ${QUORREL_DEMO_PLAYER} DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${QUORREL_DEMO_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quorrel/demos
        FILES_MATCHING PATTERN "*.exp")
install(DIRECTORY ${QUORREL_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
        FILES_MATCHING PATTERN "quorrel.png")
