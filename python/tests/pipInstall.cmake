# pip install of the package from a copy of the checkout into a plain virtual
# environment (pip's default build isolation, nothing from the network: the
# package's own backend needs no setuptools or wheel), then an import from
# elsewhere without LD_LIBRARY_PATH; the copy must be left as it was.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${PYTHON} -m venv ${WORK_DIR}/venv RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot make a virtual environment")
endif()
file(COPY ${SOURCE_DIR}/ DESTINATION ${WORK_DIR}/src PATTERN .git EXCLUDE PATTERN build EXCLUDE PATTERN "build-*" EXCLUDE)
file(GLOB_RECURSE before RELATIVE ${WORK_DIR}/src ${WORK_DIR}/src/*)
set(ENV{PIP_NO_INDEX} 1)
set(ENV{PIP_NO_CACHE_DIR} 1)   # nothing written outside the work folder
unset(ENV{LD_LIBRARY_PATH})
unset(ENV{PYTHONPATH})
execute_process(COMMAND ${WORK_DIR}/venv/bin/python -m pip install --no-deps ${WORK_DIR}/src/python
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "pip install failed:\n${out}\n${err}")
endif()
file(GLOB_RECURSE after RELATIVE ${WORK_DIR}/src ${WORK_DIR}/src/*)
if(NOT before STREQUAL after)
  list(REMOVE_ITEM after ${before})
  message(FATAL_ERROR "the install left files in the source tree: ${after}")
endif()
# NumPy from Debian's packages, the package from the environment.
execute_process(COMMAND ${WORK_DIR}/venv/bin/python -c
  "import sys; sys.path.append('/usr/lib/python3/dist-packages'); import qormatrix as qm; assert qm.__file__.startswith('${WORK_DIR}/venv'); x, y, z = qm.geodetic2ecef(45.0, 30.0, 1000.0); print(qm.__version__, round(x, 3))"
  WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out STREQUAL "22.0.0 3912960.837\n")
  message(FATAL_ERROR "the installed package does not work:\n${out}\n${err}")
endif()
