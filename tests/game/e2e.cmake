# The end-to-end test of the real program in an X server without a screen (CTest label "e2e"). It plays
# the packed archive, so it exists only where the content is built; without Xvfb, xdotool or ImageMagick
# it fails, never skips. Its screenshots and the game's output stay in the build's tests/game/e2e.
if(NOT LUMAROO_CONTENT OR NOT TARGET lumaroo)
    return()
endif()
# Reads the settings store for the script.
add_executable(e2e_settings ${CMAKE_CURRENT_LIST_DIR}/e2e/SettingsProbe.cpp)
target_link_libraries(e2e_settings PRIVATE lumaroo_store)
add_test(NAME e2e.play_through
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/e2e/play-through.sh $<TARGET_FILE:lumaroo> ${PROJECT_SOURCE_DIR}
            $<TARGET_FILE:e2e_settings> ${CMAKE_CURRENT_BINARY_DIR}/e2e)
# Alone, so that its waits are not stretched by tests running beside it.
set_tests_properties(e2e.play_through PROPERTIES LABELS e2e TIMEOUT 90 RUN_SERIAL TRUE)
