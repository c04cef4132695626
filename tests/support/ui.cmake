# Programs of the window's GUI tests: the message dialog probe (it needs Purgix's resources).
add_executable(dialog_probe dialog_probe.cpp ${CMAKE_SOURCE_DIR}/res/purgix.rc)
target_link_libraries(dialog_probe PRIVATE purgix_win)
# Infected samples at chosen places, for scans that fill the result list.
add_executable(plant_samples plant_samples.cpp)
target_link_libraries(plant_samples PRIVATE purgix_testsupport)
