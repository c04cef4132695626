# Host-side tools built from the test support code: make_sample writes sample files for other tests.
add_executable(make_sample ${CMAKE_CURRENT_LIST_DIR}/make_sample_main.cpp ${PURGIX_SAMPLE_BUILDER_SOURCES})
target_link_libraries(make_sample PRIVATE purgix_core)
