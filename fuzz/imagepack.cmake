# libFuzzer harness fuzz_imagepack: the image pack reader on arbitrary files.
lumaroo_fuzz_harness(imagepack LIBS lumaroo_sprite)
