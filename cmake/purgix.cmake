# Helpers the subsystem folders use to add their files to the right library.
# Pure files (no windows.h) build in every tree; platform files only for Windows.
function(purgix_pure_sources)
  foreach(f ${ARGN})
    set_property(GLOBAL APPEND PROPERTY PURGIX_PURE_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${f})
  endforeach()
endfunction()

function(purgix_win_sources)
  if(WIN32)
    foreach(f ${ARGN})
      set_property(GLOBAL APPEND PROPERTY PURGIX_WIN_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${f})
    endforeach()
  endif()
endfunction()

# The window front end's platform files: a library of their own, so that nothing but the programs
# themselves (and the tests of the window) links them.
function(purgix_app_sources)
  if(WIN32)
    foreach(f ${ARGN})
      set_property(GLOBAL APPEND PROPERTY PURGIX_APP_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${f})
    endforeach()
  endif()
endfunction()

# The console front end's platform files: a library of their own, linked by PurgixCmd and its tests.
function(purgix_console_sources)
  if(WIN32)
    foreach(f ${ARGN})
      set_property(GLOBAL APPEND PROPERTY PURGIX_CONSOLE_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${f})
    endforeach()
  endif()
endfunction()

# GoogleTest from Debian's source package, built with this tree's compiler.
macro(purgix_add_gtest)
  if(NOT TARGET gtest)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
endmacro()
