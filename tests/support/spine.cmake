# Programs of the scanning spine's tests and benchmark (included by tests/support/CMakeLists.txt).
add_executable(locker ${CMAKE_CURRENT_LIST_DIR}/locker.cpp)
if(PURGIX_ARCH STREQUAL "x86")
  return()  # the walk benchmark and the Wine tests belong to the x64 tree
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/bench/walk_bench.cpp)
  add_executable(walk_bench ${CMAKE_SOURCE_DIR}/tests/bench/walk_bench.cpp)
  target_include_directories(walk_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(walk_bench PRIVATE purgix_win purgix_testsupport)
endif()
# Tests whose engine code asks questions need the dialog templates and bitmaps of the program.
# The test targets are made after this folder, so the resources are added once they exist.
foreach(test scan_walk_test scan_driver_test file_checker_test)
  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wine/${test}.cpp)
    # EVAL expands the names now; a deferred call would read them only when it runs.
    cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY \"${CMAKE_SOURCE_DIR}\" CALL target_sources wine_${test} PRIVATE \"${CMAKE_SOURCE_DIR}/res/purgix.rc\")")
  endif()
endforeach()
