# Builds the header probe once without contraction (the reference: the flags
# the library itself is built with) and then the way callers build: with
# contraction allowed, for the host and for an FMA target, optimised and not,
# with g++ and with clang++ when it is installed. Every build must print the
# reference's hashes. A build whose canary (a plain a * b + c) equals the
# reference's did not contract at all; where the machine has FMA that means the
# probe could not have seen a fault, and the test fails rather than pass idly.
#
#   cmake -DCXX=... -DSOURCE=... -DINCLUDE=... -DLIBDIR=... -DWORK_DIR=... -P run.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

file(READ /proc/cpuinfo cpuinfo)
if(cpuinfo MATCHES "[ \t]fma[ \t\n]")
  set(fma ON)
  set(target -march=haswell)
else()
  set(fma OFF)
  set(target -march=native)
  message(STATUS "this machine has no FMA: the contracting builds target it (-march=native) and so compare like with like")
endif()

set(builds reference gxx_o3_fast gxx_o0_fast gxx_o2_gnu_native)
set(flags_reference ${CXX} -std=c++17 -O2 -ffp-contract=off)
set(flags_gxx_o3_fast ${CXX} -std=c++17 -O3 ${target} -ffp-contract=fast)
set(flags_gxx_o0_fast ${CXX} -std=c++17 -O0 ${target} -ffp-contract=fast)   # nothing inlined
set(flags_gxx_o2_gnu_native ${CXX} -std=gnu++17 -O2 -march=native)         # g++'s default contraction
find_program(CLANGXX NAMES clang++ clang++-19 clang++-16 clang++-15 clang++-14)
if(CLANGXX)
  list(APPEND builds clang_o3_fast clang_o1_on)
  set(flags_clang_o3_fast ${CLANGXX} -std=c++17 -O3 ${target} -ffp-contract=fast)
  set(flags_clang_o1_on ${CLANGXX} -std=c++17 -O1 ${target} -ffp-contract=on)
else()
  message(STATUS "clang++ is not installed: g++ builds only")
endif()

# Two builds at a time: the commands of one execute_process run concurrently.
get_filename_component(tests ${SOURCE} DIRECTORY)
set(common -I${INCLUDE} -I${tests}/.. ${SOURCE} -L${LIBDIR} -lqormatrix_64 -lqorqvutil_64 -Wl,-rpath,${LIBDIR})
set(pending ${builds})
while(pending)
  list(POP_FRONT pending a)
  set(commands COMMAND ${flags_${a}} ${common} -o ${WORK_DIR}/${a})
  if(pending)
    list(POP_FRONT pending b)
    list(APPEND commands COMMAND ${flags_${b}} ${common} -o ${WORK_DIR}/${b})
  endif()
  execute_process(${commands} RESULTS_VARIABLE statuses ERROR_VARIABLE errors)
  if(NOT statuses MATCHES "^0(;0)?$")
    message(FATAL_ERROR "the probe does not build (${a} ${b}):\n${errors}")
  endif()
endwhile()
foreach(build IN LISTS builds)
  execute_process(COMMAND ${WORK_DIR}/${build} RESULT_VARIABLE status OUTPUT_VARIABLE out_${build})
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${build}: the probe failed to run")
  endif()
endforeach()
string(REGEX REPLACE "canary [0-9a-f]+\n" "" expected "${out_reference}")
string(REGEX MATCH "canary [0-9a-f]+" canary "${out_reference}")
list(REMOVE_ITEM builds reference)

set(failed "")
foreach(build IN LISTS builds)
  string(REGEX REPLACE "canary [0-9a-f]+\n" "" got "${out_${build}}")
  if(NOT got STREQUAL expected)
    list(APPEND failed ${build})
    message(SEND_ERROR "${build} (${flags_${build}}) gives other bits than the reference:\n"
                       "reference:\n${expected}this build:\n${got}")
  endif()
  if(fma AND NOT build MATCHES "_o0_" AND "${out_${build}}" MATCHES "${canary}")
    message(SEND_ERROR "${build}: the canary was not contracted, so this build proves nothing")
  endif()
  message(STATUS "${build}: ${flags_${build}}")
endforeach()
if(NOT failed)
  message(STATUS "all builds give the reference's bits")
endif()
