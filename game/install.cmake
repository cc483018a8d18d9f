# Installation in the usual places below the prefix: the program in bin/, its data ("Kolbax.bin" and
# the "boards" folder) in share/lumaroo/, and the desktop entry, icons and AppStream metainfo where
# desktops look for them. The program finds its data relative to its own folder, so an installed tree
# may be moved as a whole. The build tree gets the same layout beside the program: build/game holds
# the program, the archive and a copy of the boards.
include(GNUInstallDirs)

set(LUMAROO_APP_ID net.quillbeck.Lumaroo)
set(LUMAROO_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/lumaroo)
set(_desktop_src ${PROJECT_SOURCE_DIR}/data/desktop)

# Where the data lies seen from the program, compiled into the data-folder look-up.
cmake_path(RELATIVE_PATH CMAKE_INSTALL_FULL_DATADIR BASE_DIRECTORY ${CMAKE_INSTALL_FULL_BINDIR}
           OUTPUT_VARIABLE _data_from_program)
cmake_path(APPEND _data_from_program lumaroo)
set_property(SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/DataFolder.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             LUMAROO_DATA_FROM_PROGRAM="${_data_from_program}")

# The boards beside the program in the build tree.
file(GLOB _board_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/boards/*.txt)
set(_boards_stamp ${CMAKE_CURRENT_BINARY_DIR}/boards.stamp)
add_custom_command(OUTPUT ${_boards_stamp}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/boards
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_board_files} ${CMAKE_CURRENT_BINARY_DIR}/boards
    COMMAND ${CMAKE_COMMAND} -E touch ${_boards_stamp}
    DEPENDS ${_board_files}
    COMMENT "Copying the boards beside the program"
    VERBATIM)
add_custom_target(boards_folder ALL DEPENDS ${_boards_stamp})

# The PNG icons, drawn from the SVG icon at the sizes desktops ask for most.
find_program(LUMAROO_RSVG_CONVERT rsvg-convert)
set(_icon_svg ${_desktop_src}/${LUMAROO_APP_ID}.svg)
set(_icon_pngs "")
if(LUMAROO_RSVG_CONVERT)
    foreach(_size 48 128 256)
        set(_png ${CMAKE_CURRENT_BINARY_DIR}/icons/${_size}x${_size}/${LUMAROO_APP_ID}.png)
        add_custom_command(OUTPUT ${_png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${_size}x${_size}
            COMMAND ${LUMAROO_RSVG_CONVERT} --width ${_size} --height ${_size} --output ${_png} ${_icon_svg}
            DEPENDS ${_icon_svg}
            COMMENT "Drawing the ${_size}x${_size} icon"
            VERBATIM)
        list(APPEND _icon_pngs ${_png})
        install(FILES ${_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
                COMPONENT desktop)
    endforeach()
    add_custom_target(desktop_icons ALL DEPENDS ${_icon_pngs})
else()
    message(WARNING "rsvg-convert not found (package librsvg2-bin): only the SVG icon is installed")
endif()

install(FILES ${_icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT desktop)
install(FILES ${_desktop_src}/${LUMAROO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT desktop)
install(FILES ${_desktop_src}/${LUMAROO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        COMPONENT desktop)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/boards DESTINATION ${LUMAROO_INSTALL_DATADIR} COMPONENT game
        FILES_MATCHING PATTERN "*.txt")

# The program and the archive are made by fragments read later (the entry point here, the archive in
# tools/), so their rules are added once the whole tree has been read.
function(_lumaroo_install_program bindir datadir)
    if(TARGET lumaroo)
        install(TARGETS lumaroo RUNTIME DESTINATION ${bindir} COMPONENT game)
    else()
        message(STATUS "install: no lumaroo program yet, so none is installed")
    endif()
    if(TARGET content AND TARGET mkarchive)
        install(FILES ${CMAKE_BINARY_DIR}/game/Kolbax.bin DESTINATION ${datadir} COMPONENT game)
    else()
        message(STATUS "install: the content build is off, so Kolbax.bin is not installed")
    endif()
endfunction()
# (A deferred call reads its variables when it runs, in another scope: the folders go in as text now.)
cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] CALL
    _lumaroo_install_program [[${CMAKE_INSTALL_BINDIR}]] [[${LUMAROO_INSTALL_DATADIR}]])")
