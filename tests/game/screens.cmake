# The screens tour's board reader on drawn boards (it needs ImageMagick, as the end-to-end test does). The
# tour itself drives the real game for minutes and is run by scripts/screens, not by CTest.
add_test(NAME screens.board_reader
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/screens/board-test.sh ${PROJECT_SOURCE_DIR}
            ${CMAKE_CURRENT_BINARY_DIR}/screens-board-test)
set_tests_properties(screens.board_reader PROPERTIES TIMEOUT 60)
