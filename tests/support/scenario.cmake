# Programs of the infected-machine GUI scenarios (included by tests/support/CMakeLists.txt).
# scenario_setup: plants samples, autorun values, services and locks in a prefix and reads it back.
add_executable(scenario_setup ${CMAKE_CURRENT_LIST_DIR}/scenario_setup.cpp)
target_link_libraries(scenario_setup PRIVATE purgix_testsupport psapi advapi32)
# planted_library.dll: copied beside Purgix under the name of a system DLL it must never load.
add_library(planted_library SHARED ${CMAKE_CURRENT_LIST_DIR}/planted_library.cpp)
set_target_properties(planted_library PROPERTIES PREFIX "")
