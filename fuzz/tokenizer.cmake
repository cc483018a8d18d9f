# libFuzzer harness fuzz_tokenizer: the tokenizer and readers on arbitrary text.
lumaroo_fuzz_harness(tokenizer LIBS lumaroo_io)
