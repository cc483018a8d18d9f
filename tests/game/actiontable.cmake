# The action table's test reads the scene scripts and the game's sources.
target_compile_definitions(test_game PRIVATE LUMAROO_SOURCE_ROOT="${PROJECT_SOURCE_DIR}")
