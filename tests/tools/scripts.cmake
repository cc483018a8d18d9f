# Checks of the definition scripts in the built archive: linked like the program, so that every class
# token resolves through the same class records the game has.
if(NOT LUMAROO_CONTENT)
    return()
endif()

lumaroo_test(test_scriptcontent SOURCES ${CMAKE_CURRENT_LIST_DIR}/ScriptContentCheck.cpp LIBS lumaroo_game)
target_compile_definitions(test_scriptcontent PRIVATE
    LUMAROO_DATA_DIR="${PROJECT_SOURCE_DIR}/data"
    LUMAROO_ARCHIVE="${CMAKE_BINARY_DIR}/game/Kolbax.bin")
# The checks read the packed archive.
add_dependencies(test_scriptcontent content)
