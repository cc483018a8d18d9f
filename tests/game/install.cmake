# The desktop files as installed: `cmake --install` of the desktop component into a scratch prefix, then
# desktop-file-validate and appstreamcli on what landed there. Skipped when a validator is missing.
find_program(LUMAROO_DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(LUMAROO_APPSTREAMCLI appstreamcli)
add_test(NAME install.desktop_files
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/install-check
            -DDESKTOP_FILE_VALIDATE=${LUMAROO_DESKTOP_FILE_VALIDATE} -DAPPSTREAMCLI=${LUMAROO_APPSTREAMCLI}
            -DAPP_ID=net.quillbeck.Lumaroo -DPNG_ICONS=$<BOOL:${LUMAROO_RSVG_CONVERT}>
            -P ${CMAKE_CURRENT_SOURCE_DIR}/install/CheckDesktopInstall.cmake)
set_tests_properties(install.desktop_files PROPERTIES SKIP_REGULAR_EXPRESSION "SKIPPED:" TIMEOUT 120)
