# Checks of the sound and text builders, and of the sounds and texts in the built archive.
if(NOT LUMAROO_CONTENT)
    return()
endif()

lumaroo_test(test_soundtools SOURCES ${CMAKE_CURRENT_LIST_DIR}/SoundToolsCheck.cpp
    LIBS lumaroo_soundtools lumaroo_texttools lumaroo_sound lumaroo_test_support)

lumaroo_test(test_soundcontent
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SoundContentCheck.cpp ${CMAKE_CURRENT_LIST_DIR}/TextContentCheck.cpp
    LIBS lumaroo_soundtools lumaroo_texttools lumaroo_sound lumaroo_game)
target_compile_definitions(test_soundcontent PRIVATE
    LUMAROO_DATA_DIR="${PROJECT_SOURCE_DIR}/data"
    LUMAROO_ARCHIVE="${CMAKE_BINARY_DIR}/game/Kolbax.bin")
# The checks read the packed archive.
add_dependencies(test_soundcontent content)
