// qormatrix.MagneticModel, magnetic_field and magnetic_bearings.
#ifndef QORMATRIX_PYTHON_MAGNETIC_H
#define QORMATRIX_PYTHON_MAGNETIC_H

#include <pybind11/pybind11.h>

namespace qmpy {

void bindMagnetic(pybind11::module_& m);

}  // namespace qmpy

#endif
