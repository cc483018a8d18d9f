# libFuzzer harness fuzz_imagepack. The code under test is compiled into the harness itself, so that
# libFuzzer's coverage instrumentation and the sanitizers see it.
add_executable(fuzz_imagepack ${CMAKE_CURRENT_LIST_DIR}/imagepack_fuzz.cpp
    ${PROJECT_SOURCE_DIR}/sprite/ImagePack.cpp)
target_compile_options(fuzz_imagepack PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
target_link_options(fuzz_imagepack PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(fuzz_imagepack PRIVATE lumaroo_io)
