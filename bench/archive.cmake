# Archive open and directory read, entry reads, and definition-loader throughput.
add_executable(bench_archive ${CMAKE_CURRENT_LIST_DIR}/archive_bench.cpp)
target_link_libraries(bench_archive PRIVATE lumaroo_sprite lumaroo_test_support benchmark::benchmark
    benchmark::benchmark_main)
