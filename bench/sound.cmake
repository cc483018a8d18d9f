# bench_sound: the engine thread's CPU while the game's typical sounds play; test sounds are encoded
# on the spot with libvorbisenc.
pkg_check_modules(BENCH_VORBISENC REQUIRED IMPORTED_TARGET vorbisenc vorbis ogg)
add_executable(bench_sound sound_bench.cpp)
target_link_libraries(bench_sound PRIVATE lumaroo_sound lumaroo_test_support PkgConfig::BENCH_VORBISENC
    benchmark::benchmark benchmark::benchmark_main)
