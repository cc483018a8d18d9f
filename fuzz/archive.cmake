# libFuzzer harness fuzz_archive: the archive's directory reader on arbitrary files.
lumaroo_fuzz_harness(archive LIBS lumaroo_runtime lumaroo_test_support)
