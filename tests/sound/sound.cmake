# The sound tests encode their own Ogg Vorbis test sounds with libvorbisenc.
pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc vorbis ogg)
target_link_libraries(test_sound PRIVATE PkgConfig::VORBISENC)
