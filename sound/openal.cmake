# The sound engine's libraries: OpenAL Soft for output, vorbisfile, libmpg123 and libxmp for decoding.
pkg_check_modules(OPENAL REQUIRED IMPORTED_TARGET openal)
pkg_check_modules(VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(XMP REQUIRED IMPORTED_TARGET libxmp)
target_link_libraries(${LUMAROO_LAYER_CODE} PRIVATE PkgConfig::OPENAL PkgConfig::VORBISFILE PkgConfig::MPG123
    PkgConfig::XMP Threads::Threads)
