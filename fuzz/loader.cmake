# libFuzzer harness fuzz_loader: the definition-script loader, with every sprite class it can create.
lumaroo_fuzz_harness(loader LIBS lumaroo_sprite lumaroo_test_support)
