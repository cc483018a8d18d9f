# Software drawing and GIF decoding against pixman, giflib, memcpy and memset (the references are
# linked here only).
find_package(GIF REQUIRED)
pkg_check_modules(BENCH_PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
add_executable(bench_graphics ${CMAKE_CURRENT_LIST_DIR}/graphics_bench.cpp)
target_link_libraries(bench_graphics PRIVATE lumaroo_window GIF::GIF PkgConfig::BENCH_PIXMAN benchmark::benchmark
                      benchmark::benchmark_main)
