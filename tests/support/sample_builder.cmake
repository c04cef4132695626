# Pure sample-builder sources (no windows.h), compiled into the host tests and the Windows test support.
set(PURGIX_SAMPLE_BUILDER_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/sample_builder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runnable_sample.cpp)
