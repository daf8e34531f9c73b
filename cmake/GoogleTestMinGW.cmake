# GoogleTest built from the machine's sources with the cross compiler.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# The Wine loader runs the 64-bit tests; 32-bit code cannot run on this kernel.
set(WINE_LOADER /usr/lib/wine/wine64 CACHE FILEPATH "Wine 64-bit loader")

# add_suite_test(<name> SOURCES ... LIBS ...)
# One test executable, registered as one CTest entry (a Wine process start
# costs about a second, so the cases are not split into separate entries).
function(add_suite_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest suite_testing)
  make_self_contained(${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  if(SUITE_ARCH STREQUAL "x64")
    add_test(NAME ${name} COMMAND ${WINE_LOADER} $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  endif()
endfunction()
