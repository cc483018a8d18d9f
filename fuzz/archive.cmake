# libFuzzer harness fuzz_archive. The code under test is compiled into the harness itself, so that
# libFuzzer's coverage instrumentation and the sanitizers see it.
add_executable(fuzz_archive ${CMAKE_CURRENT_LIST_DIR}/archive_fuzz.cpp
    ${PROJECT_SOURCE_DIR}/lang/ResourceFile.cpp ${PROJECT_SOURCE_DIR}/lang/ProgramPath.cpp)
target_compile_options(fuzz_archive PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
target_link_options(fuzz_archive PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(fuzz_archive PRIVATE lumaroo_runtime)
