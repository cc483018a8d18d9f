# libFuzzer harness fuzz_gamescript: the definition loader with the game's class records, on the game's
# own kinds of records, and the loaded dialogs driven inside a game canvas.
lumaroo_fuzz_harness(gamescript LIBS lumaroo_game lumaroo_test_support)
