# Configures tests/consumer and reads its compilation database: every unit the
# build would compile is there. It must hold the library sources (with the one
# generated from data/WMM2025.COF) and the
# consumer's own file, nothing of our tests, benchmarks, examples, fuzzers or
# converter.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consumer -B ${WORK_DIR} -DQORMATRIX_SOURCE=${SOURCE_DIR}
                        -DCMAKE_EXPORT_COMPILE_COMMANDS=ON RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "configuring the consumer failed")
endif()
file(READ ${WORK_DIR}/compile_commands.json database)
string(JSON count LENGTH "${database}")
math(EXPR last "${count} - 1")
set(units "")
foreach(i RANGE ${last})
  string(JSON unit GET "${database}" ${i} file)
  file(RELATIVE_PATH unit ${SOURCE_DIR} ${unit})
  list(APPEND units ${unit})
endforeach()
# The built-in magnetic model is a source generated into the build tree.
list(FILTER units EXCLUDE REGEX "/generated/wmm2025\\.cpp$")
math(EXPR count "${count} - 1")
file(GLOB_RECURSE expected RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/libsrc/*.cpp)
list(APPEND expected tests/install/main.cpp)
list(SORT units)
list(SORT expected)
if(NOT units STREQUAL expected)
  message(FATAL_ERROR "the consumer compiles ${count} units:\n${units}\nexpected:\n${expected}")
endif()
message(STATUS "the consumer compiles ${count} units: the two libraries and its own file")
