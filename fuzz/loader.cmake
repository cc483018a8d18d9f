# libFuzzer harness fuzz_loader. The code under test is compiled into the harness itself, so that
# libFuzzer's coverage instrumentation and the sanitizers see it.
add_executable(fuzz_loader ${CMAKE_CURRENT_LIST_DIR}/loader_fuzz.cpp
    ${PROJECT_SOURCE_DIR}/sprite/DataLoader.cpp ${PROJECT_SOURCE_DIR}/sprite/ImagePack.cpp
    ${PROJECT_SOURCE_DIR}/sprite/LoaderMedia.cpp ${PROJECT_SOURCE_DIR}/sprite/Sprite.cpp
    ${PROJECT_SOURCE_DIR}/sprite/FancyContainer.cpp ${PROJECT_SOURCE_DIR}/io/StreamTokenizer.cpp
    ${PROJECT_SOURCE_DIR}/io/ByteArrayInputStream.cpp ${PROJECT_SOURCE_DIR}/io/FileInputStream.cpp
    ${PROJECT_SOURCE_DIR}/io/Path.cpp)
target_compile_options(fuzz_loader PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
target_link_options(fuzz_loader PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(fuzz_loader PRIVATE lumaroo_window lumaroo_io)
