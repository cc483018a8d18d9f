# The canvas tests play real levels from the boards of the source tree.
target_compile_definitions(test_game PRIVATE LUMAROO_BOARDS_DIR="${PROJECT_SOURCE_DIR}/data/boards")
target_link_libraries(test_game PRIVATE lumaroo_test_window)
