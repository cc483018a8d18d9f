# libFuzzer harness fuzz_leveling: the level table reader, then levels set up and played from its records.
lumaroo_fuzz_harness(leveling LIBS lumaroo_rules)
