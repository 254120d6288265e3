#include "geoid.h"

#include "columns.h"
#include "docs.h"

#include <qvutil/dtException.h>

#include <cmath>
#include <cstring>

namespace py = pybind11;
using namespace Vorant;

namespace qmpy {

namespace {

const char* const kLatLon[] = {"lat", "lon"};

}  // namespace

const Geoid* geoidArgument(const py::object& geoid)
{
    if (geoid.is_none())
        return nullptr;
    if (!py::isinstance<Geoid>(geoid))
        throw py::type_error("geoid: expected a qormatrix.GeoidGrid or None, got " + py::repr(geoid).cast<std::string>());
    return geoid.cast<const Geoid*>();
}

void bindGeoid(py::module_& m)
{
    using namespace py::literals;
    const auto make = [](py::object file, py::object area, bool cubic) {
        // A path of any kind (str, pathlib.Path, os.PathLike), as open() takes it.
        const std::string path = py::str(py::module_::import("os").attr("fspath")(file)).cast<std::string>();
        double box[4] = {0, 0, 0, 0};
        if (!area.is_none()) {
            if (!py::isinstance<py::sequence>(area) || py::isinstance<py::str>(area) ||
                py::len(py::reinterpret_borrow<py::sequence>(area)) != 4)
                throw py::type_error("area: expected (south, west, north, east) in degrees, got " +
                                     py::repr(area).cast<std::string>());
            const py::sequence s = py::reinterpret_borrow<py::sequence>(area);
            for (std::size_t i = 0; i < 4; ++i)
                box[i] = s[i].cast<double>();
        }
        try {
            if (area.is_none())
                return Geoid{std::make_shared<const DtGeoidGrid>(path), cubic, area};
            return Geoid{std::make_shared<const DtGeoidGrid>(path, box[0], box[1], box[2], box[3]), cubic,
                         py::tuple(area)};
        } catch (const DtException& e) {
            // A file that is not there is an OSError to Python users; the rest a ValueError.
            PyErr_SetString(std::strstr(e.what(), "cannot open it") ? PyExc_OSError : PyExc_ValueError, e.what());
            throw py::error_already_set();
        }
    };
    py::class_<Geoid>(m, "GeoidGrid", docs::kGeoidGrid)
        .def(py::init(make), "file"_a, py::kw_only(), "area"_a = py::none(), "cubic"_a = false,
             withSignature("__init__", "(self, file, *, area=None, cubic=False)", "",
                           "\n\nLoads the grid (see the class).\n"))
        .def(py::pickle([](const Geoid& g) { return py::make_tuple(g.grid->file(), g.area, g.cubic); },
                        [make](const py::tuple& t) { return make(t[0], t[1], t[2].cast<bool>()); }))
        .def(
            "undulation",
            dispatching("GeoidGrid.undulation", +[](const Geoid* g, py::object lat, py::object lon, bool deg,
                                                    py::object out, py::object errors, py::object threads) {
                const Angles a{deg};
                return convert({lat, lon}, kLatLon, 1, out, errors, threads, [&] {
                    return [grid = g->grid.get(), cubic = g->cubic, a](const double* in, double* o) {
                        if (std::isnan(in[0]) || std::isnan(in[1]))
                            return bad(Verdict::Missing, 0);
                        o[0] = grid->undulation(a.deg ? in[0] : DtRad2Deg(in[0]), a.deg ? in[1] : DtRad2Deg(in[1]),
                                                cubic);
                        return Outcome{};
                    };
                });
            }),
            "lat"_a, "lon"_a, py::kw_only(), "deg"_a = true, "out"_a = py::none(), "errors"_a = "raise",
            "threads"_a = py::none(),
            withSignature("undulation", "(self, lat, lon, *, deg=True, ", "out=None, errors='raise', threads=None)",
                          docs::kGeoidUndulation))
        .def_property_readonly("file", [](const Geoid& g) { return g.grid->file(); })
        .def_property_readonly("cubic", [](const Geoid& g) { return g.cubic; })
        .def_property_readonly("shape", [](const Geoid& g) { return py::make_tuple(g.grid->rows(), g.grid->columns()); })
        .def_property_readonly("is_global", [](const Geoid& g) { return g.grid->global(); })
        .def_property_readonly("memory_bytes", [](const Geoid& g) { return g.grid->memoryBytes(); })
        .def("__repr__", [](const Geoid& g) {
            return "GeoidGrid('" + g.grid->file() + "', cubic=" + (g.cubic ? "True" : "False") + ")";
        });
}

}  // namespace qmpy
