# Programs of the robustness and real-software tests (included by tests/support/CMakeLists.txt).
add_executable(exclusive_locker ${CMAKE_CURRENT_LIST_DIR}/exclusive_locker.cpp)
add_executable(record_sizes ${CMAKE_CURRENT_LIST_DIR}/record_sizes.cpp)
target_link_libraries(record_sizes PRIVATE purgix_core)
