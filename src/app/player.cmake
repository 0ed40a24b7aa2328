# The player executable, the bundled demo experiments, the demo launcher and
# the desktop icons, and where they install.
add_executable(quorrel ${CMAKE_CURRENT_SOURCE_DIR}/quorrel_main.cpp)
target_link_libraries(quorrel PRIVATE quorrel_ui)

# The demo experiments, written into the build tree by the tool. Their names
# live in the code, so a stamp file stands for the folder.
set(QUORREL_DEMO_DIR ${CMAKE_BINARY_DIR}/demo/experiments)
set(QUORREL_DEMO_STAMP ${CMAKE_BINARY_DIR}/demo/experiments.stamp)
add_custom_command(
  OUTPUT ${QUORREL_DEMO_STAMP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QUORREL_DEMO_DIR}
  COMMAND $<TARGET_FILE:quorrel-tool> demo ${QUORREL_DEMO_DIR} --pictures
  COMMAND ${CMAKE_COMMAND} -E touch ${QUORREL_DEMO_STAMP}
  DEPENDS quorrel-tool
  COMMENT "Writing the bundled demo experiments"
  VERBATIM)
add_custom_target(quorrel-demo-experiments ALL DEPENDS ${QUORREL_DEMO_STAMP})

# quorrel-demo, written to <build>/demo/quorrel-demo: lists the bundled demos
# by title and opens the chosen one in the player. It finds the demos in
# experiments/ beside it (the build tree) or in ../share/quorrel/demos (an
# installation), and the player beside it or where the build put it.
add_executable(quorrel-demo ${CMAKE_CURRENT_SOURCE_DIR}/demo_launcher_main.cpp)
target_link_libraries(quorrel-demo PRIVATE quorrel_demos quorrel_ui)
target_compile_definitions(quorrel-demo PRIVATE QUORREL_PLAYER="$<TARGET_FILE:quorrel>")
set_target_properties(quorrel-demo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/demo)
add_dependencies(quorrel-demo quorrel quorrel-demo-experiments)

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

# Everything the installation (and the Debian package) holds, without the
# tests: `cmake --build build --target quorrel-programs`.
add_custom_target(quorrel-programs)
add_dependencies(quorrel-programs quorrel quorrel-tool quorrel-demo quorrel-demo-experiments quorrel-icons)

# Installed binaries are stripped when installing with --strip (the Debian
# package does). None of them carries an appended experiment.
install(TARGETS quorrel quorrel-tool quorrel-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${QUORREL_DEMO_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quorrel/demos
        FILES_MATCHING PATTERN "*.exp" PATTERN "*.png")
install(DIRECTORY ${QUORREL_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
        FILES_MATCHING PATTERN "quorrel.png")
