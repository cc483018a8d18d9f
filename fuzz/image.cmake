# libFuzzer harness fuzz_image: the decoder dispatch on arbitrary bytes.
lumaroo_fuzz_harness(image LIBS lumaroo_window)
