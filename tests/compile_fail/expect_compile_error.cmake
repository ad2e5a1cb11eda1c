# Builds a target that must not compile, and passes only when its build
# fails with the expected complaint as the compiler's one error; a build
# that fails for another reason (a typo, a missing header), alone or besides
# the complaint, fails the test.
#   cmake -DBUILD_DIR=DIR -DTARGET=NAME -DEXPECTED=TEXT -P expect_compile_error.cmake
foreach(variable BUILD_DIR TARGET EXPECTED)
  if(NOT DEFINED ${variable} OR "${${variable}}" STREQUAL "")
    message(FATAL_ERROR "expect_compile_error.cmake needs -D${variable}=...")
  endif()
endforeach()

execute_process(
  COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)

if(result EQUAL 0)
  message(FATAL_ERROR "${TARGET} compiled, but must not.\n${output}")
endif()
string(FIND "${output}" "${EXPECTED}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "${TARGET} did not compile, but without \"${EXPECTED}\":\n${output}")
endif()
# Both clang and GCC start each error (a fatal one too) with "error: ".
string(REGEX MATCHALL "error: " errors "${output}")
list(LENGTH errors errorCount)
if(NOT errorCount EQUAL 1)
  message(FATAL_ERROR "${TARGET} did not compile, with ${errorCount} errors where the one expected "
                      "should be all:\n${output}")
endif()
message(STATUS "${TARGET} did not compile, as it must not: \"${EXPECTED}\"")
