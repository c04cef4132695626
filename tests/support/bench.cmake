# Programs of `make bench` (included by tests/support/CMakeLists.txt): the baseline scan, the file
# checking run and the writer of the benchmark tree's samples and signature database.
add_executable(baseline_scan ${CMAKE_SOURCE_DIR}/tests/bench/baseline_scan.cpp)
target_link_libraries(baseline_scan PRIVATE user32 gdi32)
add_executable(check_bench ${CMAKE_SOURCE_DIR}/tests/bench/check_bench.cpp)
target_link_libraries(check_bench PRIVATE purgix_win purgix_testsupport)
add_executable(bench_samples ${CMAKE_SOURCE_DIR}/tests/bench/bench_samples.cpp)
target_link_libraries(bench_samples PRIVATE purgix_testsupport)
