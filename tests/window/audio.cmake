# test_audioclip: the audio clips over the real sound engine, checked through OpenAL Soft's wave
# back-end; test sounds are encoded on the spot with libvorbisenc.
pkg_check_modules(AUDIOCLIP_VORBISENC REQUIRED IMPORTED_TARGET vorbisenc vorbis ogg)
lumaroo_test(test_audioclip THREADS SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/audio/AudioClipTest.cpp
    LIBS lumaroo_window lumaroo_test_support PkgConfig::AUDIOCLIP_VORBISENC)
