# Install layout: the launcher in bin/, the program itself in lib/quorrel/, its data
# in share/quorrel/Data/, plus the desktop entry, the icons and the manual page.
include(GNUInstallDirs)

set(QUORREL_LIBEXEC_REL "lib/quorrel")
set(QUORREL_DATA_REL "${CMAKE_INSTALL_DATAROOTDIR}/quorrel")
configure_file(${CMAKE_SOURCE_DIR}/dist/quorrel.in ${CMAKE_BINARY_DIR}/dist/quorrel @ONLY)

install(TARGETS quorrel RUNTIME DESTINATION ${QUORREL_LIBEXEC_REL})
install(PROGRAMS ${CMAKE_BINARY_DIR}/dist/quorrel DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${QUORREL_DATA_FILES} DESTINATION ${QUORREL_DATA_REL}/Data)
install(FILES ${CMAKE_SOURCE_DIR}/dist/quorrel.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/quorrel.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
foreach(icon ${QUORREL_ICON_FILES})
  get_filename_component(name ${icon} NAME_WE)      # quorrel-48
  string(REGEX REPLACE "^quorrel-" "" size ${name})  # 48
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
          RENAME quorrel.png)
endforeach()

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "quorrel")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Quorrel developers <dev@quorrel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "code-breaking game with coloured pegs")
set(CPACK_PACKAGE_DESCRIPTION "Find the hidden code of four pegs in eight colours; every guess is answered with the pegs in the right place (P) and the further pegs of a right colour (C).")
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libx11-6, libc6, libstdc++6, xfonts-base")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "alsa-utils")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}")
set(CPACK_STRIP_FILES ON)
include(CPack)
