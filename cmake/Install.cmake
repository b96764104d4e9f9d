# Install layout, where the system keeps its games: the launcher in games/, the program
# itself in lib/games/quorrel/, its data in share/games/quorrel/Data/, plus the desktop
# entry, the AppStream metadata with the screenshot it names, the icons, the manual
# page and the copyright and changelog files.
include(GNUInstallDirs)

set(QUORREL_APP_ID "example.quorrel.Quorrel")
set(QUORREL_GAMES_REL "games")
set(QUORREL_LIBEXEC_REL "lib/games/quorrel")
set(QUORREL_DATA_REL "${CMAKE_INSTALL_DATAROOTDIR}/games/quorrel")
set(QUORREL_DOC_REL "${CMAKE_INSTALL_DATAROOTDIR}/doc/quorrel")
configure_file(${CMAKE_SOURCE_DIR}/dist/quorrel.in ${CMAKE_BINARY_DIR}/dist/quorrel @ONLY)

install(TARGETS quorrel RUNTIME DESTINATION ${QUORREL_LIBEXEC_REL})
# The plain strip keeps the compiler's notes; drop them as distributions do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP AND EXISTS \"${CMAKE_STRIP}\")
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUORREL_LIBEXEC_REL}/quorrel\" COMMAND_ERROR_IS_FATAL ANY)
  endif()")
install(PROGRAMS ${CMAKE_BINARY_DIR}/dist/quorrel DESTINATION ${QUORREL_GAMES_REL})
install(FILES ${QUORREL_DATA_FILES} DESTINATION ${QUORREL_DATA_REL}/Data)
install(FILES ${CMAKE_SOURCE_DIR}/docs/main-window.png DESTINATION ${QUORREL_DATA_REL})
install(FILES ${CMAKE_SOURCE_DIR}/dist/${QUORREL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright DESTINATION ${QUORREL_DOC_REL})
install(FILES ${CMAKE_SOURCE_DIR}/dist/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME quorrel)
foreach(icon ${QUORREL_ICON_FILES})
  get_filename_component(name ${icon} NAME_WE)      # quorrel-48
  string(REGEX REPLACE "^quorrel-" "" size ${name})  # 48
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
          RENAME quorrel.png)
endforeach()

# The desktop entry and the manual page name installed paths, which are known only
# when installing (`cmake --install --prefix` may choose another prefix than the
# configured one); they are completed then, and the manual page and the changelog
# are compressed as the system keeps them.
install(CODE "
  set(QUORREL_SOURCE_DIR \"${CMAKE_SOURCE_DIR}\")
  set(QUORREL_TEXT_DIR \"${CMAKE_BINARY_DIR}/dist/installed\")
  set(QUORREL_APP_ID \"${QUORREL_APP_ID}\")
  set(QUORREL_GAMES_REL \"${QUORREL_GAMES_REL}\")
  set(QUORREL_LIBEXEC_REL \"${QUORREL_LIBEXEC_REL}\")
  set(QUORREL_DATA_REL \"${QUORREL_DATA_REL}\")
  set(QUORREL_DOC_REL \"${QUORREL_DOC_REL}\")
  set(QUORREL_MAN_REL \"${CMAKE_INSTALL_MANDIR}\")
  set(QUORREL_APPS_REL \"${CMAKE_INSTALL_DATAROOTDIR}/applications\")")
install(SCRIPT ${CMAKE_SOURCE_DIR}/cmake/InstallTexts.cmake)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "quorrel")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Quorrel developers <dev@quorrel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "code-breaking game with coloured pegs")
# The extended description below the summary, in lines as a package manager shows
# them (at most 79 characters); CPack indents them and turns the empty line into
# the paragraph mark.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[Quorrel hides a code of four pegs, each of eight colours, and you find it
one guess at a time. Every guess is answered with the number of pegs of the
right colour in the right place and the number of further pegs of a right
colour in a wrong place. There is no limit on the number of guesses.

Every colour also carries its own mark, so the pegs can be told apart
without colour vision. The game is stored after every move and restored at
the next start. It draws everything itself and needs only Xlib.]=])
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.quorrel.example")
# The shared libraries the program links come from dpkg-shlibdeps; the core fonts
# give the intended look and aplay the beep, but the game runs without either.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libsystemd0 carries the D-Bus library the screen-reader bridge loads when it starts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "alsa-utils, xfonts-base, libsystemd0")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}")
set(CPACK_STRIP_FILES ON)
include(CPack)
