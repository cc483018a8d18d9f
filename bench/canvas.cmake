# The game canvas: a busy board's frame, a typical frame and an idle one, stepped on a real window; and
# the game's own canvas playing a cascade on a real level's board.
add_executable(bench_canvas ${CMAKE_CURRENT_LIST_DIR}/canvas_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/canvas_cascade_bench.cpp)
target_link_libraries(bench_canvas PRIVATE lumaroo_game benchmark::benchmark)
target_compile_definitions(bench_canvas PRIVATE LUMAROO_BOARDS_DIR="${PROJECT_SOURCE_DIR}/data/boards")
