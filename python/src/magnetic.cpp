// qormatrix.MagneticModel and the magnetic field on arrays: the World Magnetic
// Model (WMM2025 built in, or any .COF file) at latitudes, longitudes, heights
// and decimal years broadcast together.
#include "magnetic.h"

#include "columns.h"
#include "docs.h"

#include <magneticModel.h>
#include <qvScalar.h>
#include <qvutil/dtException.h>

#include <cmath>
#include <memory>
#include <string>

namespace py = pybind11;
using namespace pybind11::literals;
using namespace Vorant;

namespace qmpy {

namespace {

struct Magnetic
{
    std::shared_ptr<const DtMagneticModel> model;
};

const char* const kMagneticNames[] = {"lat", "lon", "alt", "year"};

const DtMagneticModel& modelArgument(const py::object& model)
{
    if (model.is_none())
        return DtMagneticModel::wmm2025();
    if (!py::isinstance<Magnetic>(model))
        throw py::type_error("model: expected a qormatrix.MagneticModel or None (WMM2025), got " +
                             py::repr(model).cast<std::string>());
    return *model.cast<const Magnetic&>().model;
}

Outcome checkPoint(const Angles& a, const double* in)
{
    for (int i = 0; i < 4; ++i)
        if (Outcome o = checkValue(in[i], i); o.verdict != Verdict::Ok)
            return o;
    return a.latitude(in[0], 0);
}

py::object magneticField(py::object lat, py::object lon, py::object alt, py::object year, bool deg, py::object model,
                         bool rates, py::object out, py::object errors, py::object threads)
{
    const DtMagneticModel& m = modelArgument(model);
    const Angles a{deg};
    return convert({lat, lon, alt, year}, kMagneticNames, 7, out, errors, threads, [&] {
        return [&m, a, rates](const double* in, double* o) {
            if (Outcome c = checkPoint(a, in); c.verdict != Verdict::Ok)
                return c;
            const DtMagneticField f = m.field(a.in(in[0]), a.in(in[1]), in[2], in[3]);
            if (rates) {
                o[0] = f.northRate, o[1] = f.eastRate, o[2] = f.downRate, o[3] = f.horizontalRate;
                o[4] = f.totalRate, o[5] = a.out(f.inclinationRate), o[6] = a.out(f.declinationRate);
            } else {
                o[0] = f.north, o[1] = f.east, o[2] = f.down, o[3] = f.horizontal, o[4] = f.total;
                o[5] = a.out(f.inclination), o[6] = a.out(f.declination);
            }
            return Outcome{};
        };
    });
}

py::object magneticBearings(py::object lat, py::object lon, py::object alt, py::object year, bool deg,
                            py::object model, py::object out, py::object errors, py::object threads)
{
    const DtMagneticModel& m = modelArgument(model);
    const Angles a{deg};
    return convert({lat, lon, alt, year}, kMagneticNames, 5, out, errors, threads, [&] {
        return [&m, a](const double* in, double* o) {
            if (Outcome c = checkPoint(a, in); c.verdict != Verdict::Ok)
                return c;
            const double la = a.in(in[0]), lo = a.in(in[1]);
            const DtBearings b = m.bearings(la, lo, in[2], in[3]);
            const DtMagneticField f = m.field(la, lo, in[2], in[3]);
            o[0] = a.out(b.declination), o[1] = a.out(b.gridDeclination), o[2] = a.out(b.gridMagneticAngle);
            o[3] = a.out(f.gridVariation), o[4] = static_cast<double>(f.zone);
            return Outcome{};
        };
    });
}

}  // namespace

void bindMagnetic(py::module_& m)
{
    const auto load = [](const py::object& file) {
        const std::string path = py::str(py::module_::import("os").attr("fspath")(file)).cast<std::string>();
        try {
            return Magnetic{std::make_shared<const DtMagneticModel>(DtMagneticModel::fromFile(path))};
        } catch (const DtException& e) {
            const std::string what = e.what();
            PyErr_SetString(what.find("cannot be opened") != std::string::npos ? PyExc_OSError : PyExc_ValueError,
                            what.substr(what.find(": ") + 2).c_str());
            throw py::error_already_set();
        }
    };
    py::class_<Magnetic>(m, "MagneticModel", docs::kMagneticModel)
        .def(py::init(load), "file"_a,
             withSignature("__init__", "(self, file)", "", "\n\nReads the coefficient file (see the class).\n"))
        .def_property_readonly("name", [](const Magnetic& g) { return g.model->name(); })
        .def_property_readonly("epoch", [](const Magnetic& g) { return g.model->epoch(); })
        .def_property_readonly("degree", [](const Magnetic& g) { return g.model->degree(); })
        .def("__repr__", [](const Magnetic& g) {
            return "MagneticModel(" + g.model->name() + ", epoch " + std::to_string(g.model->epoch()).substr(0, 6) +
                   ", degree " + std::to_string(g.model->degree()) + ")";
        });
    const char* const tail = "out=None, errors='raise', threads=None)";
    m.def("magnetic_field", dispatching("magnetic_field", &magneticField), "lat"_a, "lon"_a, "alt"_a, "year"_a,
          "deg"_a = true, py::kw_only(), "model"_a = py::none(), "rates"_a = false, "out"_a = py::none(),
          "errors"_a = "raise", "threads"_a = py::none(),
          withSignature("magnetic_field", "(lat, lon, alt, year, deg=True, *, model=None, rates=False, ", tail,
                        docs::kMagneticField));
    m.def("magnetic_bearings", dispatching("magnetic_bearings", &magneticBearings), "lat"_a, "lon"_a, "alt"_a, "year"_a,
          "deg"_a = true, py::kw_only(), "model"_a = py::none(), "out"_a = py::none(), "errors"_a = "raise",
          "threads"_a = py::none(),
          withSignature("magnetic_bearings", "(lat, lon, alt, year, deg=True, *, model=None, ", tail,
                        docs::kMagneticBearings));
}

}  // namespace qmpy
