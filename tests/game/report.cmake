# The report and data-folder tests use temporary folders and a throw-away settings store.
target_link_libraries(test_game PRIVATE lumaroo_test_store)
