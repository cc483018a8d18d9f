# Image decoding: libpng (with zlib) for PNG and libjpeg-turbo for JPEG; GIF is our own decoder.
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
target_link_libraries(${LUMAROO_LAYER_CODE} PRIVATE PkgConfig::PNG PkgConfig::JPEG)
