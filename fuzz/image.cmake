# libFuzzer harness fuzz_image: the decoder dispatch on arbitrary bytes. The decoders are compiled into
# the harness itself, so that libFuzzer's coverage instrumentation and the sanitizers see them.
pkg_check_modules(FUZZ_PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(FUZZ_JPEG REQUIRED IMPORTED_TARGET libjpeg)
add_executable(fuzz_image ${CMAKE_CURRENT_LIST_DIR}/image_fuzz.cpp
    ${PROJECT_SOURCE_DIR}/window/ImageDecoder.cpp ${PROJECT_SOURCE_DIR}/window/ImageDecoderGif.cpp
    ${PROJECT_SOURCE_DIR}/window/ImageDecoderPng.cpp ${PROJECT_SOURCE_DIR}/window/ImageDecoderJpeg.cpp)
target_compile_options(fuzz_image PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
target_link_options(fuzz_image PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(fuzz_image PRIVATE lumaroo_runtime PkgConfig::FUZZ_PNG PkgConfig::FUZZ_JPEG)
