# libFuzzer harness fuzz_tokenizer. The code under test is compiled into the harness itself, so that
# libFuzzer's coverage instrumentation and the sanitizers see it.
add_executable(fuzz_tokenizer ${CMAKE_CURRENT_LIST_DIR}/tokenizer_fuzz.cpp
    ${PROJECT_SOURCE_DIR}/io/StreamTokenizer.cpp ${PROJECT_SOURCE_DIR}/io/ByteArrayInputStream.cpp
    ${PROJECT_SOURCE_DIR}/io/BufferedReader.cpp ${PROJECT_SOURCE_DIR}/io/InputStreamReader.cpp)
target_compile_options(fuzz_tokenizer PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
target_link_options(fuzz_tokenizer PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(fuzz_tokenizer PRIVATE lumaroo_runtime)
