# Texts: textgen writes every [ID] of data/text/texts.txt as its own file in content/texts, and each
# becomes an archive entry of that name (UTF-8 text and a zero byte, as the game reads text entries).
if(NOT LUMAROO_CONTENT)
    return()
endif()

set(LUMAROO_TEXT_SOURCE ${PROJECT_SOURCE_DIR}/data/text/texts.txt)
set(LUMAROO_TEXT_OUT ${CMAKE_BINARY_DIR}/content/texts)

add_library(lumaroo_texttools STATIC ${CMAKE_CURRENT_LIST_DIR}/TextTable.cpp)
target_link_libraries(lumaroo_texttools PUBLIC lumaroo_runtime)
add_executable(textgen ${CMAKE_CURRENT_LIST_DIR}/textgen.cpp)
target_link_libraries(textgen PRIVATE lumaroo_texttools)

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${LUMAROO_TEXT_SOURCE})
file(STRINGS ${LUMAROO_TEXT_SOURCE} _text_ids REGEX "^\\[[A-Z0-9_]+\\]$")
set(_text_files "")
foreach(_line IN LISTS _text_ids)
    string(REGEX REPLACE "^\\[(.*)\\]$" "\\1" _id "${_line}")
    set(_out ${LUMAROO_TEXT_OUT}/${_id}.txt)
    list(APPEND _text_files ${_out})
    set_property(GLOBAL APPEND PROPERTY LUMAROO_ARCHIVE_ENTRIES "${_id} ${_out}")
endforeach()
add_custom_command(OUTPUT ${_text_files}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:textgen> ${LUMAROO_TEXT_SOURCE} ${LUMAROO_TEXT_OUT}
    DEPENDS textgen ${LUMAROO_TEXT_SOURCE}
    COMMENT "Writing the texts"
    VERBATIM)
add_custom_target(texts DEPENDS ${_text_files})
