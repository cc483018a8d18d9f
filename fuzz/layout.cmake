# libFuzzer harness fuzz_layout: the layout reader, then the level set up on the layout and played.
lumaroo_fuzz_harness(layout LIBS lumaroo_rules)
