# GoogleTest built from the machine's sources with the cross compiler.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# The Wine loader of the target: 64-bit Wine for x64, the 32-bit Wine of the
# i386 root (scripts/i386root.sh) for x86.
if(SUITE_ARCH STREQUAL "x86")
  set(WINE_LOADER ${CMAKE_SOURCE_DIR}/scripts/wine32.sh)
else()
  set(WINE_LOADER /usr/lib/wine/wine64)
endif()

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
  add_test(NAME ${name} COMMAND ${WINE_LOADER} $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
endfunction()
