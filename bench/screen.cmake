# The screen copy: a typical dirty area and a full frame, copied to the window and presented.
add_executable(bench_screen ${CMAKE_CURRENT_LIST_DIR}/screen_bench.cpp)
target_link_libraries(bench_screen PRIVATE lumaroo_window benchmark::benchmark)
