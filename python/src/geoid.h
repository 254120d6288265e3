// qormatrix.GeoidGrid: a geoid grid (GTX) for heights above mean sea level.
#ifndef QORMATRIX_PYTHON_GEOID_H
#define QORMATRIX_PYTHON_GEOID_H

#include <geoidGrid.h>

#include <pybind11/pybind11.h>

#include <memory>

namespace qmpy {

struct Geoid
{
    std::shared_ptr<const Vorant::DtGeoidGrid> grid;
    bool cubic = false;
    pybind11::object area;   // None, or (south, west, north, east) as given: pickles rebuild from the file
};

// The Geoid of a geoid= argument: null for None, TypeError for anything but a GeoidGrid.
const Geoid* geoidArgument(const pybind11::object& geoid);

void bindGeoid(pybind11::module_& m);

}  // namespace qmpy

#endif
