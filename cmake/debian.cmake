# Debian packages of the install components (cpack -G DEB in a build
# configured with QORMATRIX_DEBIAN_PACKAGES=ON, CMAKE_INSTALL_PREFIX=/usr):
#
#   libqorqvutil-64-22   the utility layer (named after its SONAME, as Debian names libraries)
#   libqormatrix-64-22   the library
#   libqormatrix-dev     headers, the .so links, the CMake package and the pkg-config file
#   qormatrix-tools      qorconvert and its manual page
#   python3-qormatrix    the Python module for Debian's python3 (when the module is built)
#
# Each carries its copyright and changelog; the libraries their shlibs file;
# dpkg-shlibdeps finds the dependencies on the system's libraries.

set(QORMATRIX_DEB_QORQVUTIL libqorqvutil-64-${PROJECT_VERSION_MAJOR})
set(QORMATRIX_DEB_QORMATRIX libqormatrix-64-${PROJECT_VERSION_MAJOR})
set(QORMATRIX_DEB_DEV libqormatrix-dev)
set(QORMATRIX_DEB_TOOLS qormatrix-tools)
set(QORMATRIX_DEB_PYTHON python3-qormatrix)

set(QORMATRIX_DEB_COMPONENTS qorqvutil qormatrix dev tools)
if(QORMATRIX_BUILD_PYTHON)
  list(APPEND QORMATRIX_DEB_COMPONENTS python)
endif()

# The copyright and the changelog (compressed without a time stamp) of every package.
set(QORMATRIX_DEB_CHANGELOG ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${QORMATRIX_DEB_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${QORMATRIX_DEB_CHANGELOG}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(qormatrix_deb_changelog ALL DEPENDS ${QORMATRIX_DEB_CHANGELOG})
foreach(component IN LISTS QORMATRIX_DEB_COMPONENTS)
  string(TOUPPER ${component} upper)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${QORMATRIX_DEB_CHANGELOG}
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${QORMATRIX_DEB_${upper}} COMPONENT ${component})
endforeach()
# "lon" (for longitude) is a word of the interfaces, not a misspelling of "long".
foreach(component IN ITEMS tools python)
  string(TOUPPER ${component} upper)
  set(overrides ${PROJECT_BINARY_DIR}/packaging/${QORMATRIX_DEB_${upper}})
  file(WRITE ${overrides} "${QORMATRIX_DEB_${upper}}: spelling-error-in-binary lon long *\n")
  install(FILES ${overrides} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qormatrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "qormatrix developers <developers@qormatrix.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${QORMATRIX_DEB_COMPONENTS})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Our own libraries, for dpkg-shlibdeps; the dependencies on them are stated below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR})
# shlibs files for the two libraries (the only files with a SONAME).
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(same "(= ${PROJECT_VERSION})")
# The libraries run ldconfig by trigger (scripts/build-debs takes out the
# postinst and postrm that cpack writes to call it).
set(CPACK_DEBIAN_QORQVUTIL_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_DEBIAN_QORMATRIX_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_DEBIAN_QORQVUTIL_PACKAGE_NAME ${QORMATRIX_DEB_QORQVUTIL})
set(CPACK_DEBIAN_QORQVUTIL_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_QORQVUTIL_DESCRIPTION "utility layer of the qormatrix geodesy library
Strings, file names, the exception type and the notification streams
(info, warning, debug and fatal-error output) that the qormatrix library
of three-dimensional mathematics and geodesy is built on.")

set(CPACK_DEBIAN_QORMATRIX_PACKAGE_NAME ${QORMATRIX_DEB_QORMATRIX})
set(CPACK_DEBIAN_QORMATRIX_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_QORMATRIX_PACKAGE_DEPENDS "${QORMATRIX_DEB_QORQVUTIL} ${same}")
set(CPACK_DEBIAN_QORMATRIX_DESCRIPTION "three-dimensional mathematics and geodesy for simulations
A C++ library for software that moves entities over the earth: geocentric
positions and orientations to latitude, longitude and altitude on a map
datum, UTM, UPS and MGRS grid references, heading, pitch and roll over the
local ground, geodesics, look angles and lines of sight, the World Magnetic
Model, with the vector, matrix, Euler-angle and quaternion algebra this
needs.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME ${QORMATRIX_DEB_DEV})
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "${QORMATRIX_DEB_QORMATRIX} ${same}, ${QORMATRIX_DEB_QORQVUTIL} ${same}")
set(CPACK_DEBIAN_DEV_DESCRIPTION "development files of the qormatrix geodesy library
Headers, the shared-library links, the CMake package (find_package(qormatrix),
target qormatrix::qormatrix) and the pkg-config file (qormatrix) for
building programs on the qormatrix library of three-dimensional mathematics
and geodesy.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME ${QORMATRIX_DEB_TOOLS})
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION science)
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "${QORMATRIX_DEB_QORMATRIX} ${same}, ${QORMATRIX_DEB_QORQVUTIL} ${same}")
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "coordinate converter of the qormatrix geodesy library
qorconvert converts positions given on its command line or one per line of
its input between geodetic, geocentric, UTM, UPS and MGRS coordinates,
north-east-down offsets and look angles from an origin, and gives headings,
geodesics and the World Magnetic Model's field.")

if(QORMATRIX_BUILD_PYTHON)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME ${QORMATRIX_DEB_PYTHON})
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  math(EXPR next "${Python3_VERSION_MINOR} + 1")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
    "python3 (>= ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}), python3 (<< ${Python3_VERSION_MAJOR}.${next}), python3-numpy, ${QORMATRIX_DEB_QORMATRIX} ${same}, ${QORMATRIX_DEB_QORQVUTIL} ${same}")
  set(CPACK_DEBIAN_PYTHON_DESCRIPTION "qormatrix geodesy on NumPy arrays for Python 3
The conversions, grids, geodesics, look angles, magnetic field and
rotations of the qormatrix library as functions over NumPy arrays, with
pymap3d's names and conventions where pymap3d has the same function.")
endif()

include(CPack)
