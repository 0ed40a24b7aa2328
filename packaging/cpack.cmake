# The Debian package (cd build && cpack -G DEB): quorrel_<version>_<arch>.deb,
# installing under /usr with the binaries stripped.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quorrel developers <quorrel-dev@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player of two-dimensional physics experiments for teaching")
# The summary is the description's first line; CPack indents the rest.
set(CPACK_PACKAGE_DESCRIPTION
    "Quorrel shows and simulates an experiment of moving bodies, blocks on planks
and inclines, fields, springs, ropes, rods, tracks, measurements and small
event programs with Chinese keywords. The package holds the player (quorrel),
the command-line tool (quorrel-tool), a ready-made demo player
(quorrel-demo), the bundled demo experiments, a menu entry and the file type
of experiment files.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# Runtime needs that are not shared libraries: the window-system plugins, the
# fonts the scene is drawn with and Qt's Chinese translations. The shared
# libraries come from dpkg-shlibdeps when it is there, else from this list.
set(QUORREL_RUNTIME_DEPENDS "qt6-qpa-plugins, fonts-wqy-microhei, fonts-liberation2, qt6-translations-l10n")
find_program(QUORREL_DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(QUORREL_FILE file)
if(QUORREL_DPKG_SHLIBDEPS AND QUORREL_FILE)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  string(PREPEND QUORREL_RUNTIME_DEPENDS
         "libqt6core6, libqt6gui6, libqt6widgets6, libqt6multimedia6, libjpeg62-turbo, ")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${QUORREL_RUNTIME_DEPENDS}")
# quorrel-tool pack strips the player it copies with strip from binutils.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS binutils)

include(CPack)
