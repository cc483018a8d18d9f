# Content pipeline: artgen draws every picture of data/pictures.txt (SVG through librsvg and cairo, glyphs
# through FreeType), and tools/mkarchive packs the pictures with the other archive entries into Kolbax.bin
# beside the game binary. Each picture is its own build step, so touching one source redraws only the
# pictures made from it, and then the archive.
if(NOT LUMAROO_CONTENT)
    return()
endif()

pkg_check_modules(ART_RSVG REQUIRED IMPORTED_TARGET librsvg-2.0)
pkg_check_modules(ART_CAIRO REQUIRED IMPORTED_TARGET cairo)
pkg_check_modules(ART_FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(ART_FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(ART_PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(ART_JPEG REQUIRED IMPORTED_TARGET libjpeg)

set(LUMAROO_DATA_DIR ${PROJECT_SOURCE_DIR}/data)
set(LUMAROO_PICTURE_DIR ${CMAKE_BINARY_DIR}/content/pictures)
set(LUMAROO_ARCHIVE ${CMAKE_BINARY_DIR}/game/Kolbax.bin)
file(MAKE_DIRECTORY ${LUMAROO_PICTURE_DIR} ${CMAKE_BINARY_DIR}/game ${CMAKE_BINARY_DIR}/content/review)

# Picture files, the list reader and the codecs: shared by the tools and the content checks.
add_library(lumaroo_arttools STATIC ${CMAKE_CURRENT_SOURCE_DIR}/ArtImage.cpp
                                    ${CMAKE_CURRENT_SOURCE_DIR}/ArtList.cpp)
target_link_libraries(lumaroo_arttools PUBLIC PkgConfig::ART_PNG PkgConfig::ART_JPEG)

# The drawing code: SVG rendering, glyphs and the recipes of every picture.
file(GLOB _art_recipes CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/ArtRecipes*.cpp)
add_library(lumaroo_artrender STATIC ${CMAKE_CURRENT_SOURCE_DIR}/SvgRender.cpp
                                     ${CMAKE_CURRENT_SOURCE_DIR}/GlyphText.cpp ${_art_recipes})
target_link_libraries(lumaroo_artrender PUBLIC lumaroo_arttools lumaroo_runtime PkgConfig::ART_RSVG
                      PkgConfig::ART_CAIRO PkgConfig::ART_FREETYPE PkgConfig::ART_FONTCONFIG)

add_executable(artgen ${CMAKE_CURRENT_SOURCE_DIR}/artgen.cpp)
target_link_libraries(artgen PRIVATE lumaroo_artrender)
add_executable(contact-sheet ${CMAKE_CURRENT_SOURCE_DIR}/contact-sheet.cpp)
target_link_libraries(contact-sheet PRIVATE lumaroo_artrender)
add_executable(mockup ${CMAKE_CURRENT_SOURCE_DIR}/mockup.cpp ${CMAKE_CURRENT_SOURCE_DIR}/MockupScreens.cpp)
target_link_libraries(mockup PRIVATE lumaroo_arttools lumaroo_runtime)

# The tools run in every build, so they are optimised even in debug builds.
target_compile_options(lumaroo_arttools PRIVATE -O2)
target_compile_options(lumaroo_artrender PRIVATE -O2)
target_compile_options(artgen PRIVATE -O2)
target_compile_options(mockup PRIVATE -O2)
target_compile_options(contact-sheet PRIVATE -O2)

# The tools run during the build; in sanitizer builds the libraries' own caches would read as leaks, and
# pango's and fontconfig's start-up threads (not instrumented) as races.
set(_art_env ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 TSAN_OPTIONS=report_bugs=0)

file(STRINGS ${LUMAROO_DATA_DIR}/pictures.txt _picture_lines)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${LUMAROO_DATA_DIR}/pictures.txt)
file(GLOB _piece_svgs CONFIGURE_DEPENDS ${LUMAROO_DATA_DIR}/art/pieces/*.svg)
set(LUMAROO_PICTURE_FILES "")
foreach(_line IN LISTS _picture_lines)
    if(_line MATCHES "^[ \t]*#" OR _line MATCHES "^[ \t]*$")
        continue()
    endif()
    set(_s "[ \t]+")
    set(_n "${_s}[0-9]+")
    set(_sheet "${_n}${_n}${_n}${_n}${_s}[a-z]+")
    string(REGEX MATCH "^([A-Za-z0-9_]+)${_s}(png|jpg)${_sheet}${_s}([a-z]+)[ \t]*([^ \t]*)"
           _match "${_line}")
    if(NOT _match)
        message(FATAL_ERROR "data/pictures.txt: line does not read as a picture: ${_line}")
    endif()
    set(_name ${CMAKE_MATCH_1})
    set(_out ${LUMAROO_PICTURE_DIR}/${_name}.${CMAKE_MATCH_2})
    set(_recipe ${CMAKE_MATCH_3})
    set(_arg ${CMAKE_MATCH_4})
    set(_deps ${LUMAROO_DATA_DIR}/pictures.txt)
    # The SVG parts a group's recipes draw from live in data/art/<group>/.
    string(REGEX MATCH "^[A-Za-z0-9_]+${_s}(png|jpg)${_sheet}" _group "${_line}")
    string(REGEX MATCH "[a-z]+$" _group "${_group}")
    file(GLOB _group_svgs CONFIGURE_DEPENDS ${LUMAROO_DATA_DIR}/art/${_group}/*.svg)
    list(APPEND _deps ${_group_svgs})
    if(_recipe STREQUAL "pieces")
        list(APPEND _deps ${_piece_svgs})
    elseif(_recipe STREQUAL "piece")
        list(APPEND _deps ${LUMAROO_DATA_DIR}/art/pieces/${_arg}.svg)
    elseif(_recipe MATCHES "^(page|vineanim|cobwebanim)$")
        # Instruction pages and the vine and cobweb animations draw the board's own tiles and pieces.
        file(GLOB _tile_svgs CONFIGURE_DEPENDS ${LUMAROO_DATA_DIR}/art/tiles/*.svg)
        list(APPEND _deps ${_piece_svgs} ${_tile_svgs})
    elseif(_recipe STREQUAL "frogmarker")
        list(APPEND _deps ${LUMAROO_DATA_DIR}/art/pieces/frog.svg)
    elseif(_recipe MATCHES "^backdrop")
        list(APPEND _deps ${LUMAROO_DATA_DIR}/layout.txt)
        if(NOT _arg STREQUAL "bonus")
            list(APPEND _deps ${LUMAROO_DATA_DIR}/boards/board${_arg}.txt)
        endif()
    elseif(_recipe STREQUAL "map")
        list(APPEND _deps ${LUMAROO_DATA_DIR}/layout.txt)
    elseif(_recipe MATCHES "^(font|fonttable|numbers)$")
        list(APPEND _deps ${LUMAROO_DATA_DIR}/fonts/fonts.txt)
    endif()
    add_custom_command(OUTPUT ${_out}
        COMMAND ${_art_env} $<TARGET_FILE:artgen> ${LUMAROO_DATA_DIR} ${_name} ${_out}
        DEPENDS artgen ${_deps}
        COMMENT "Drawing ${_name}"
        VERBATIM)
    list(APPEND LUMAROO_PICTURE_FILES ${_out})
    set_property(GLOBAL APPEND PROPERTY LUMAROO_ARCHIVE_ENTRIES "${_name} ${_out}")
endforeach()
add_custom_target(pictures DEPENDS ${LUMAROO_PICTURE_FILES})

# The review sheets and the mock-ups of the main screens, drawn from the built pictures.
add_custom_target(contact_sheets
    COMMAND ${_art_env} $<TARGET_FILE:contact-sheet> ${LUMAROO_DATA_DIR} ${LUMAROO_PICTURE_DIR}
            ${CMAKE_BINARY_DIR}/content/review
    DEPENDS contact-sheet pictures
    COMMENT "Drawing the contact sheets into content/review"
    VERBATIM)
add_custom_target(mockups
    COMMAND ${_art_env} $<TARGET_FILE:mockup> ${LUMAROO_DATA_DIR} ${LUMAROO_PICTURE_DIR}
            ${CMAKE_BINARY_DIR}/content/review
    DEPENDS mockup pictures
    COMMENT "Drawing the screen mock-ups into content/review"
    VERBATIM)

# The archive: every entry that a folder's fragment registered (name and file, in
# LUMAROO_ARCHIVE_ENTRIES) is packed once the archive writer exists. Wired at the end of this folder,
# when every fragment has had its say.
function(_lumaroo_wire_archive)
    get_property(_entries GLOBAL PROPERTY LUMAROO_ARCHIVE_ENTRIES)
    set(_manifest_text "")
    set(_files "")
    foreach(_entry IN LISTS _entries)
        string(APPEND _manifest_text "${_entry}\n")
        string(REGEX REPLACE "^[^ ]+ " "" _file "${_entry}")
        list(APPEND _files ${_file})
    endforeach()
    set(_manifest ${CMAKE_BINARY_DIR}/content/manifest.txt)
    file(GENERATE OUTPUT ${_manifest} CONTENT "${_manifest_text}")
    if(TARGET mkarchive)
        add_custom_command(OUTPUT ${LUMAROO_ARCHIVE}
            COMMAND ${_art_env} $<TARGET_FILE:mkarchive> ${_manifest} ${LUMAROO_ARCHIVE}
            DEPENDS mkarchive ${_manifest} ${_files}
            COMMENT "Packing Kolbax.bin"
            VERBATIM)
        add_custom_target(content ALL DEPENDS ${LUMAROO_ARCHIVE} pictures)
    else()
        message(STATUS "tools/mkarchive is not there yet: the content target builds the pictures only")
        add_custom_target(content ALL DEPENDS pictures)
    endif()
endfunction()
cmake_language(DEFER CALL _lumaroo_wire_archive)
