# The sprite engine's frame: stepping and painting the piece pool of a full board, and text redraws.
add_executable(bench_sprites ${CMAKE_CURRENT_LIST_DIR}/sprites_bench.cpp)
target_link_libraries(bench_sprites PRIVATE lumaroo_sprite benchmark::benchmark benchmark::benchmark_main)
