// Tait-Bryan angles, direction cosine matrices and quaternions on stacked
// arrays (..., 3), (..., 3, 3) and (..., 4), and the UTM grid of a reference
// point with local offsets.
#include "columns.h"
#include "docs.h"

#include <qormatrix.h>

#include <array>
#include <cmath>
#include <memory>
#include <optional>

namespace py = pybind11;
using namespace Vorant;
using qmpy::Angles;
using qmpy::bad;
using qmpy::Outcome;
using qmpy::Verdict;

namespace {

using Trailing = std::vector<py::ssize_t>;

std::string shapeText(const py::array& a)
{
    std::string text = "(";
    for (py::ssize_t d = 0; d < a.ndim(); ++d)
        text += std::to_string(a.shape(d)) + (a.ndim() == 1 ? "," : d + 1 < a.ndim() ? ", " : "");
    return text + ")";
}

std::string trailingText(const Trailing& t)
{
    std::string text = "(...";
    for (py::ssize_t s : t)
        text += ", " + std::to_string(s);
    return text + ")";
}

// One stacked input, one stacked output: each element of `in` (the trailing
// axes) becomes an element of the result, through kernel(const double*, double*).
template <class Kernel>
py::array stacked(py::handle value, const char* name, const Trailing& inTrailing, const Trailing& outTrailing,
                  const py::object& out, const Kernel& kernel)
{
    py::array_t<double> in = qmpy::asFloat64(value, name);
    const auto k = static_cast<py::ssize_t>(inTrailing.size());
    bool fits = in.ndim() >= k;
    for (py::ssize_t d = 0; fits && d < k; ++d)
        fits = in.shape(in.ndim() - k + d) == inTrailing[static_cast<std::size_t>(d)];
    if (!fits)
        throw py::value_error(std::string(name) + ": expected an array of shape " + trailingText(inTrailing) +
                              ", got " + shapeText(in));
    std::vector<py::ssize_t> shape(in.shape(), in.shape() + in.ndim() - k);
    shape.insert(shape.end(), outTrailing.begin(), outTrailing.end());
    py::array_t<double> result;
    if (out.is_none()) {
        result = py::array_t<double>(shape);
    } else {
        if (!py::isinstance<py::array>(out))
            throw py::type_error("out: expected a float64 array, got " + py::repr(out).cast<std::string>());
        py::array o = py::reinterpret_borrow<py::array>(out);
        if (!o.dtype().is(py::dtype::of<double>()) || !(o.flags() & py::array::c_style) || !o.writeable())
            throw py::type_error("out: expected a writeable C-contiguous float64 array");
        if (std::vector<py::ssize_t>(o.shape(), o.shape() + o.ndim()) != shape)
            throw py::value_error("out: expected an array of shape " + shapeText(py::array_t<double>(shape)) +
                                  ", got " + shapeText(o));
        result = py::reinterpret_borrow<py::array_t<double>>(out);
    }
    std::size_t inWidth = 1, outWidth = 1;
    for (py::ssize_t s : inTrailing)
        inWidth *= static_cast<std::size_t>(s);
    for (py::ssize_t s : outTrailing)
        outWidth *= static_cast<std::size_t>(s);
    const std::size_t count = static_cast<std::size_t>(in.size()) / inWidth;
    const double* from = in.data();
    double* to = result.mutable_data();
    {
        std::optional<py::gil_scoped_release> release;
        if (count > 1)
            release.emplace();
        for (std::size_t i = 0; i < count; ++i)
            kernel(from + i * inWidth, to + i * outWidth);
    }
    return std::move(result);
}

void putDcm(const DtDcm& m, double* out, bool transpose)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out[3 * r + c] = transpose ? m[c][r] : m[r][c];
}

DtDcm getDcm(const double* in)
{
    return DtDcm(in[0], in[1], in[2], in[3], in[4], in[5], in[6], in[7], in[8]);
}

DtTaitBryan getAngles(const Angles& a, const double* in)
{
    return DtTaitBryan(a.in(in[0]), a.in(in[1]), a.in(in[2]));
}

void putAngles(const Angles& a, const DtTaitBryan& t, double* out)
{
    out[0] = a.out(t.psi()), out[1] = a.out(t.theta()), out[2] = a.out(t.phi());
}

void putQuaternion(const DtQuaternion& q, double* out)
{
    out[0] = q.w(), out[1] = q.x(), out[2] = q.y(), out[3] = q.z();
}

DtQuaternion getQuaternion(const double* in)
{
    return DtQuaternion(in[0], in[1], in[2], in[3]);
}

const Trailing kThree{3}, kMatrix{3, 3}, kFour{4};
const char* const kLatLon[] = {"lat", "lon"};
const char* const kGridNames[] = {"easting", "northing"};

// ---- a UTM grid with its own reference point ------------------------------------------

class UtmGrid
{
public:
    UtmGrid(double lat0, double lon0, py::object zone, bool local, double scale, py::object datum, bool deg,
            const DtMapDatum& (*datumNamed)(const py::object&))
        : myDatumName(py::str(datum).cast<std::string>()), myDeg(deg)
    {
        const double latDeg = deg ? lat0 : DtRad2Deg(lat0), lonDeg = deg ? lon0 : DtRad2Deg(lon0);
        if (!(latDeg >= -80.0 && latDeg <= 84.0) || !std::isfinite(lonDeg))
            throw py::value_error("lat0, lon0: expected a point of the UTM grid (latitudes -80 to 84 degrees), got " +
                                  py::repr(py::make_tuple(lat0, lon0)).cast<std::string>());
        long z = 0;
        if (!zone.is_none()) {
            z = zone.cast<long>();
            if (z < 1 || z > 60)
                throw py::value_error("zone: expected 1 to 60 or None, got " + std::to_string(z));
        }
        if (!(scale > 0.0 && std::isfinite(scale)))
            throw py::value_error("scale: expected a positive factor, got " + std::to_string(scale));
        DtDegMinSec latRef{}, lonRef{};
        latRef.setLatFromDegrees(latDeg);
        lonRef.setLonFromDegrees(lonDeg);
        myPoint = std::make_shared<const DtUtmReferencePoint>(latRef, lonRef, local ? 0 : 1, z, datumNamed(datum),
                                                              scale);
    }

    py::object forward(py::object lat, py::object lon, py::object out, py::object errors, py::object threads) const
    {
        const Angles a{myDeg};
        return qmpy::convert({lat, lon}, kLatLon, 2, out, errors, threads, [&] {
            return [a, p = std::make_shared<DtUtmReferencePoint>(*myPoint)](const double* in, double* o) {
                for (int i = 0; i < 2; ++i)
                    if (!std::isfinite(in[i]))
                        return bad(Verdict::NotFinite, i);
                if (!(std::fabs(in[0]) <= a.quarter()))
                    return bad(Verdict::LatitudeRange, 0);
                p->geod2utm(a.in(in[0]), a.in(in[1]), &o[0], &o[1]);
                return Outcome{};
            };
        });
    }

    py::object inverse(py::object easting, py::object northing, py::object out, py::object errors,
                       py::object threads) const
    {
        const Angles a{myDeg};
        return qmpy::convert({easting, northing}, kGridNames, 2, out, errors, threads, [&] {
            return [a, p = std::make_shared<DtUtmReferencePoint>(*myPoint)](const double* in, double* o) {
                for (int i = 0; i < 2; ++i)
                    if (!std::isfinite(in[i]))
                        return bad(Verdict::NotFinite, i);
                double lat, lon;
                p->utm2geod(in[0], in[1], &lat, &lon);
                o[0] = a.out(lat), o[1] = a.out(lon);
                return Outcome{};
            };
        });
    }

    long zone() const { return myPoint->zoneOrigin(); }
    double xOrigin() const { return myPoint->xOrigin(); }
    double yOrigin() const { return myPoint->yOrigin(); }
    double scale() const { return myPoint->scale(); }
    bool local() const { return myPoint->standardOffsets() == 0; }
    const std::string& datum() const { return myDatumName; }

private:
    std::shared_ptr<const DtUtmReferencePoint> myPoint;
    std::string myDatumName;
    bool myDeg;
};

}  // namespace

void bindRotations(py::module_& m)
{
    using namespace py::literals;
    m.def(
        "taitbryan2dcm",
        [](py::object angles, bool deg, py::object out) {
            const Angles a{deg};
            return stacked(angles, "angles", kThree, kMatrix, out, [&](const double* in, double* o) {
                DtDcm dcm;
                DtTbToMat(getAngles(a, in), dcm);
                putDcm(dcm, o, false);
            });
        },
        "angles"_a, py::kw_only(), "deg"_a = true, "out"_a = py::none(), qmpy::docs::kTaitBryan2Dcm);
    m.def(
        "dcm2taitbryan",
        [](py::object dcm, bool deg, py::object out) {
            const Angles a{deg};
            return stacked(dcm, "dcm", kMatrix, kThree, out, [&](const double* in, double* o) {
                DtTaitBryan t;
                DtBodyToRef_to_Euler(getDcm(in), &t);
                putAngles(a, t, o);
            });
        },
        "dcm"_a, py::kw_only(), "deg"_a = true, "out"_a = py::none(), qmpy::docs::kDcm2TaitBryan);
    m.def(
        "taitbryan2quat",
        [](py::object angles, bool deg, py::object out) {
            const Angles a{deg};
            return stacked(angles, "angles", kThree, kFour, out,
                           [&](const double* in, double* o) { putQuaternion(DtQuaternion(getAngles(a, in)), o); });
        },
        "angles"_a, py::kw_only(), "deg"_a = true, "out"_a = py::none(), qmpy::docs::kTaitBryan2Quat);
    m.def(
        "quat2taitbryan",
        [](py::object q, bool deg, py::object out) {
            const Angles a{deg};
            return stacked(q, "quat", kFour, kThree, out,
                           [&](const double* in, double* o) { putAngles(a, DtTaitBryan(getQuaternion(in)), o); });
        },
        "quat"_a, py::kw_only(), "deg"_a = true, "out"_a = py::none(), qmpy::docs::kQuat2TaitBryan);
    m.def(
        "quat2dcm",
        [](py::object q, py::object out) {
            return stacked(q, "quat", kFour, kMatrix, out, [&](const double* in, double* o) {
                const DtQuaternion quat = getQuaternion(in);
                DtDcm refToBody;
                DtDcmFromQuaternion(refToBody, &quat);
                putDcm(refToBody, o, true);   // the transpose: body to reference, as taitbryan2dcm
            });
        },
        "quat"_a, py::kw_only(), "out"_a = py::none(), qmpy::docs::kQuat2Dcm);
    m.def(
        "dcm2quat",
        [](py::object dcm, py::object out) {
            return stacked(dcm, "dcm", kMatrix, kFour, out, [&](const double* in, double* o) {
                DtTaitBryan t;
                DtBodyToRef_to_Euler(getDcm(in), &t);
                putQuaternion(DtQuaternion(t), o);
            });
        },
        "dcm"_a, py::kw_only(), "out"_a = py::none(), qmpy::docs::kDcm2Quat);
}

void bindUtmGrid(py::module_& m, const DtMapDatum& (*datumNamed)(const py::object&))
{
    using namespace py::literals;
    py::class_<UtmGrid>(m, "UtmGrid", qmpy::docs::kUtmGrid)
        .def(py::init([datumNamed](double lat0, double lon0, py::object zone, bool local, double scale,
                                   py::object datum, bool deg) {
                 return UtmGrid(lat0, lon0, zone, local, scale, datum, deg, datumNamed);
             }),
             "lat0"_a, "lon0"_a, py::kw_only(), "zone"_a = py::none(), "local"_a = true, "scale"_a = 0.9996,
             "datum"_a = "WGS84", "deg"_a = true)
        .def("forward", &UtmGrid::forward, "lat"_a, "lon"_a, py::kw_only(), "out"_a = py::none(),
             "errors"_a = "raise", "threads"_a = py::none(), qmpy::docs::kUtmGridForward)
        .def("inverse", &UtmGrid::inverse, "easting"_a, "northing"_a, py::kw_only(), "out"_a = py::none(),
             "errors"_a = "raise", "threads"_a = py::none(), qmpy::docs::kUtmGridInverse)
        .def_property_readonly("zone", &UtmGrid::zone, "The grid's UTM zone.")
        .def_property_readonly("x_origin", &UtmGrid::xOrigin,
                               "Easting of the reference point from the zone's central meridian, metres.")
        .def_property_readonly("y_origin", &UtmGrid::yOrigin,
                               "Northing of the reference point from the equator, metres.")
        .def_property_readonly("scale", &UtmGrid::scale, "Scale factor on the central meridian.")
        .def_property_readonly("local", &UtmGrid::local,
                               "True: coordinates from the reference point; False: standard UTM offsets.")
        .def_property_readonly("datum", &UtmGrid::datum, "The datum's name.")
        .def("__repr__", [](const UtmGrid& g) {
            return "UtmGrid(zone=" + std::to_string(g.zone()) + ", local=" + (g.local() ? "True" : "False") +
                   ", datum='" + g.datum() + "')";
        });
}
