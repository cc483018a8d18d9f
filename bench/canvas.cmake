# The game canvas: a busy board's frame, a typical frame and an idle one, stepped on a real window.
add_executable(bench_canvas ${CMAKE_CURRENT_LIST_DIR}/canvas_bench.cpp)
target_link_libraries(bench_canvas PRIVATE lumaroo_sprite benchmark::benchmark)
