# Run while installing, after the QUORREL_* paths were set: completes the desktop
# entry and the manual page with the installed paths under the prefix in force, and
# installs them with the changelog, the two latter compressed the way the system
# keeps them (gzip at its best, without a stored name or time, so that two builds
# give the same bytes).
set(QUORREL_LAUNCHER "${CMAKE_INSTALL_PREFIX}/${QUORREL_GAMES_REL}/quorrel")
set(QUORREL_PROGRAM "${CMAKE_INSTALL_PREFIX}/${QUORREL_LIBEXEC_REL}/quorrel")
set(QUORREL_DATA_DIR "${CMAKE_INSTALL_PREFIX}/${QUORREL_DATA_REL}/Data")

file(MAKE_DIRECTORY "${QUORREL_TEXT_DIR}")
configure_file("${QUORREL_SOURCE_DIR}/dist/${QUORREL_APP_ID}.desktop.in"
               "${QUORREL_TEXT_DIR}/${QUORREL_APP_ID}.desktop" @ONLY)
configure_file("${QUORREL_SOURCE_DIR}/dist/quorrel.6.in" "${QUORREL_TEXT_DIR}/quorrel.6" @ONLY)

function(quorrel_gzip source target)
  execute_process(COMMAND gzip -9 -n -c "${source}" OUTPUT_FILE "${target}"
                  COMMAND_ERROR_IS_FATAL ANY)
endfunction()
quorrel_gzip("${QUORREL_TEXT_DIR}/quorrel.6" "${QUORREL_TEXT_DIR}/quorrel.6.gz")
quorrel_gzip("${QUORREL_SOURCE_DIR}/dist/changelog" "${QUORREL_TEXT_DIR}/changelog.gz")

file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${QUORREL_APPS_REL}" TYPE FILE
     FILES "${QUORREL_TEXT_DIR}/${QUORREL_APP_ID}.desktop")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${QUORREL_MAN_REL}/man6" TYPE FILE
     FILES "${QUORREL_TEXT_DIR}/quorrel.6.gz")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${QUORREL_DOC_REL}" TYPE FILE
     FILES "${QUORREL_TEXT_DIR}/changelog.gz")
