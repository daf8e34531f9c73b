# Writes OUTPUT, a header defining SUITE_BUILD_COMMIT as the commit of the
# checkout at SOURCE_DIR ("unknown" outside a git checkout), and touches it
# only when the text changes.
execute_process(
  COMMAND git -C ${SOURCE_DIR} describe --always --abbrev=7 --dirty
  OUTPUT_VARIABLE commit
  OUTPUT_STRIP_TRAILING_WHITESPACE
  ERROR_QUIET
  RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR commit STREQUAL "")
  set(commit unknown)
endif()
set(text "// Written by bench/BuildCommit.cmake at build time.\n#define SUITE_BUILD_COMMIT \"${commit}\"\n")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} previous)
endif()
if(NOT "${previous}" STREQUAL "${text}")
  file(WRITE ${OUTPUT} "${text}")
endif()
