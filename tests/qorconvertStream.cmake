# Runs qorconvert on a stream with good, bad, blank and comment lines.
set(input "40 -75 100\n\n# a comment\n91 0 0\nabc def\n40d26'47\"N 74d0'21.5\"W\n")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qorconvert-stream.txt "${input}")
execute_process(COMMAND ${QORCONVERT} --to utm
  INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/qorconvert-stream.txt
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
set(expected "18N 500000.000 4427757.219 100.000\n\n# a comment\nerror: latitude '91' is beyond +/-90 degrees\nerror: 'abc' is not a number or an angle\n18N 584295.498 4477778.332 0.000\n")
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "unexpected output:\n${out}\nexpected:\n${expected}")
endif()
if(NOT status EQUAL 1)
  message(FATAL_ERROR "exit status ${status}, expected 1")
endif()
if(NOT err STREQUAL "qorconvert: line 4: latitude '91' is beyond +/-90 degrees\nqorconvert: line 5: 'abc' is not a number or an angle\n")
  message(FATAL_ERROR "unexpected messages:\n${err}")
endif()
execute_process(COMMAND ${QORCONVERT} -f geoc -t geod 6378137 0 0 OUTPUT_VARIABLE one RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT one STREQUAL "0.00000000 0.00000000 0.000\n")
  message(FATAL_ERROR "command-line values: ${status} ${one}")
endif()
execute_process(COMMAND ${QORCONVERT} --datum Mars RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 2)
  message(FATAL_ERROR "an unknown datum should be a usage error, got ${status}")
endif()

# With worker threads: the same output, messages and status.
execute_process(COMMAND ${QORCONVERT} --to utm -j 3
  INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/qorconvert-stream.txt
  OUTPUT_VARIABLE threaded ERROR_VARIABLE threadedErr RESULT_VARIABLE status)
if(NOT threaded STREQUAL expected OR NOT status EQUAL 1 OR NOT threadedErr STREQUAL
   "qorconvert: line 4: latitude '91' is beyond +/-90 degrees\nqorconvert: line 5: 'abc' is not a number or an angle\n")
  message(FATAL_ERROR "-j 3 differs: ${status}\n${threaded}\n${threadedErr}")
endif()

# Output that cannot be written ends the run with a message and status 4; a
# reader that stops early (head) ends it quietly.
set(many "")
foreach(i RANGE 4000)
  string(APPEND many "4${i}.5 -7${i}.25 ${i}\n40 -75 ${i}\n")
endforeach()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qorconvert-many.txt "${many}")
foreach(threads 1 2)
  execute_process(COMMAND ${QORCONVERT} -j ${threads} INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/qorconvert-many.txt
    OUTPUT_FILE /dev/full ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 4 OR NOT err STREQUAL "qorconvert: cannot write the output: No space left on device\n")
    message(FATAL_ERROR "a full disk (-j ${threads}): status ${status}, ${err}")
  endif()
  execute_process(COMMAND ${QORCONVERT} -j ${threads} INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/qorconvert-many.txt
    COMMAND head -n 1 OUTPUT_VARIABLE first ERROR_VARIABLE err)
  if(NOT first STREQUAL "1641205.773 -4571136.695 4120359.889\n" OR err MATCHES "cannot")
    message(FATAL_ERROR "an early reader (-j ${threads}): ${first} ${err}")
  endif()
endforeach()
