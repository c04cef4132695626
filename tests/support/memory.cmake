# Programs of the memory-scan, process and service tests (included by tests/support/CMakeLists.txt).
# purgix_sleeper: waits until ended; the tests pad copies of it into running "worm" samples.
add_executable(purgix_sleeper ${CMAKE_CURRENT_LIST_DIR}/sleeper.cpp)
# purgix_test_service: a real service whose answer to a stop request its command line chooses.
add_executable(purgix_test_service ${CMAKE_CURRENT_LIST_DIR}/test_service.cpp)
target_link_libraries(purgix_test_service PRIVATE advapi32)
if(PURGIX_ARCH STREQUAL "x86")
  return()  # the library below serves the Wine tests of the x64 tree only
endif()
# purgix_toolhelp9x.dll: tool-help entry points that give full paths as Windows 9x did.
add_library(purgix_toolhelp9x SHARED ${CMAKE_CURRENT_LIST_DIR}/toolhelp9x.cpp ${CMAKE_CURRENT_LIST_DIR}/toolhelp9x.def)
target_link_libraries(purgix_toolhelp9x PRIVATE psapi)
set_target_properties(purgix_toolhelp9x PROPERTIES PREFIX "")
