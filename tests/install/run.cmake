# Installs the build into a temporary prefix and builds a downstream program
# against it twice: with find_package and with pkg-config.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "install failed")
endif()
foreach(file lib/libqormatrix_64.so.22.0.0 lib/libqormatrix_64.so.22 lib/libqormatrix_64.so lib/libqorqvutil_64.so.22
        include/qormatrix/qormatrix.h include/qormatrix/qvutil/dtString.h bin/qorconvert
        lib/cmake/qormatrix/qormatrixConfig.cmake lib/cmake/qormatrix/qormatrixConfigVersion.cmake
        lib/pkgconfig/qormatrix.pc)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# The CMake package.
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/cmake -DCMAKE_PREFIX_PATH=${prefix}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "configuring against the CMake package failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/cmake RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "building against the CMake package failed")
endif()
execute_process(COMMAND ${WORK_DIR}/cmake/downstream RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the downstream program (CMake package) failed")
endif()

# pkg-config.
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
execute_process(COMMAND ${PKG_CONFIG} --cflags --libs qormatrix OUTPUT_VARIABLE flags RESULT_VARIABLE status
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "pkg-config does not know qormatrix")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
execute_process(COMMAND c++ -std=c++17 ${SOURCE_DIR}/main.cpp ${flags} -Wl,-rpath,${prefix}/lib
                        -o ${WORK_DIR}/downstream-pc RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "building with pkg-config flags failed")
endif()
execute_process(COMMAND ${WORK_DIR}/downstream-pc RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the downstream program (pkg-config) failed")
endif()

# The installed converter finds its libraries.
execute_process(COMMAND ${prefix}/bin/qorconvert 45 30 1000 OUTPUT_VARIABLE out RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT out MATCHES "^3912960.837 ")
  message(FATAL_ERROR "the installed qorconvert failed: ${out}")
endif()
