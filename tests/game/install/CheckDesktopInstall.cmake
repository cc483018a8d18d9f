# Installs the desktop component of BUILD_DIR below PREFIX and validates the desktop entry and the
# AppStream metainfo there; checks that every icon the entry names was installed. Says "SKIPPED" (which
# the test reads as skipped) when a validator is missing.
if(NOT DESKTOP_FILE_VALIDATE OR NOT APPSTREAMCLI)
    message("SKIPPED: desktop-file-validate or appstreamcli is missing (packages desktop-file-utils, appstream)")
    return()
endif()

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} --component desktop
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install of the desktop component failed:\n${output}")
endif()

set(share ${PREFIX}/share)
set(desktop ${share}/applications/${APP_ID}.desktop)
set(metainfo ${share}/metainfo/${APP_ID}.metainfo.xml)
set(expected ${desktop} ${metainfo} ${share}/icons/hicolor/scalable/apps/${APP_ID}.svg)
if(PNG_ICONS)
    foreach(size 48 128 256)
        list(APPEND expected ${share}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
    endforeach()
endif()
foreach(file IN LISTS expected)
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

# The entry's icon and the metainfo's launchable must name what was installed.
file(STRINGS ${desktop} icon_line REGEX "^Icon=")
if(NOT icon_line STREQUAL "Icon=${APP_ID}")
    message(FATAL_ERROR "${desktop}: expected Icon=${APP_ID}, found '${icon_line}'")
endif()
file(READ ${metainfo} metainfo_text)
if(NOT metainfo_text MATCHES "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>")
    message(FATAL_ERROR "${metainfo}: the launchable does not name ${APP_ID}.desktop")
endif()

execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${desktop}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR output MATCHES "error|warning")
    message(FATAL_ERROR "desktop-file-validate ${desktop}:\n${output}")
endif()
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net --strict ${metainfo}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate ${metainfo}:\n${output}")
endif()
message("desktop entry, metainfo and icons of ${APP_ID} install and validate")
