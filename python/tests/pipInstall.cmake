# pip install --no-build-isolation of the package into a fresh virtual
# environment (Debian's packages seen through --system-site-packages, nothing
# from the network), then an import from elsewhere without LD_LIBRARY_PATH.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${PYTHON} -m venv --system-site-packages --without-pip ${WORK_DIR}/venv RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot make a virtual environment")
endif()
# A copy of the checkout: pip builds inside the package directory.
file(COPY ${SOURCE_DIR}/ DESTINATION ${WORK_DIR}/src PATTERN .git EXCLUDE PATTERN build EXCLUDE PATTERN "build-*" EXCLUDE)
set(ENV{PIP_NO_INDEX} 1)
unset(ENV{LD_LIBRARY_PATH})
unset(ENV{PYTHONPATH})
execute_process(COMMAND ${WORK_DIR}/venv/bin/python -m pip install --no-build-isolation ${WORK_DIR}/src/python
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "pip install failed:\n${out}\n${err}")
endif()
execute_process(COMMAND ${WORK_DIR}/venv/bin/python -c
  "import qormatrix as qm; assert qm.__file__.startswith('${WORK_DIR}/venv'); x, y, z = qm.geodetic2ecef(45.0, 30.0, 1000.0); print(qm.__version__, round(x, 3))"
  WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out STREQUAL "22.0.0 3912960.837\n")
  message(FATAL_ERROR "the installed package does not work:\n${out}\n${err}")
endif()
