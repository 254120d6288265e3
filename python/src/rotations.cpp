// Tait-Bryan angles, direction cosine matrices and quaternions on stacked
// arrays (..., 3), (..., 3, 3) and (..., 4), and the UTM grid of a reference
// point with local offsets.
#include "columns.h"
#include "docs.h"

#include <qormatrix.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <thread>

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
// axes) becomes an element of the result, through
// kernel(const double*, double*) -> Outcome; a bad element gets NaN, and the
// first one raises unless errors='nan'. An element holding a NaN is missing
// data: NaN out.
template <class Kernel>
py::array stacked(py::handle value, const char* name, const Trailing& inTrailing, const Trailing& outTrailing,
                  const py::object& out, const py::object& errors, const py::object& threads, const Kernel& kernel)
{
    const qmpy::ErrorPolicy policy = qmpy::errorPolicy(errors);
    py::array_t<double> in = qmpy::asFloat64(value, name);
    const auto k = static_cast<py::ssize_t>(inTrailing.size());
    bool fits = in.ndim() >= k;
    for (py::ssize_t d = 0; fits && d < k; ++d)
        fits = in.shape(in.ndim() - k + d) == inTrailing[static_cast<std::size_t>(d)];
    if (!fits)
        throw py::value_error(std::string(name) + ": expected an array of shape " + trailingText(inTrailing) +
                              ", got " + shapeText(in));
    std::vector<py::ssize_t> shape(in.shape(), in.shape() + in.ndim() - k);
    const std::vector<py::ssize_t> leading = shape;
    shape.insert(shape.end(), outTrailing.begin(), outTrailing.end());
    py::array_t<double> result = out.is_none() ? py::array_t<double>(shape) : qmpy::outArray(out, shape);
    std::size_t inWidth = 1, outWidth = 1;
    for (py::ssize_t s : inTrailing)
        inWidth *= static_cast<std::size_t>(s);
    for (py::ssize_t s : outTrailing)
        outWidth *= static_cast<std::size_t>(s);
    const std::size_t count = static_cast<std::size_t>(in.size()) / inWidth;
    const double* from = in.data();
    double* to = result.mutable_data();
    unsigned workers = qmpy::threadCount(threads, count);
    workers = static_cast<unsigned>(std::max<std::size_t>(1, std::min<std::size_t>(workers, count / 256)));
    std::vector<std::size_t> firstBad(workers, count);
    std::vector<qmpy::Notices> notices(workers);
    const auto work = [&](unsigned t) {
        const qmpy::NoticeScope scope(notices[t]);
        const std::size_t begin = count * t / workers, end = count * (t + 1) / workers;
        for (std::size_t i = begin; i < end; ++i) {
            const double* element = from + i * inWidth;
            double* target = to + i * outWidth;
            Outcome o;
            if (std::any_of(element, element + inWidth, [](double v) { return std::isnan(v); }))
                o = bad(Verdict::Missing, 0);
            else
                o = kernel(element, target);
            if (o.verdict != Verdict::Ok) {
                std::fill(target, target + outWidth, std::numeric_limits<double>::quiet_NaN());
                if (o.verdict != Verdict::Missing && firstBad[t] == count)
                    firstBad[t] = i;
            }
        }
    };
    {
        const qmpy::NoticeCapture capture;
        {
            std::optional<py::gil_scoped_release> release;
            if (count > 1)
                release.emplace();
            std::vector<std::thread> pool;
            for (unsigned t = 1; t < workers; ++t)
                pool.emplace_back(work, t);
            work(0);
            for (std::thread& thread : pool)
                thread.join();
        }
        for (std::size_t t = 1; t < workers; ++t)
            notices[0].merge(notices[t]);
        qmpy::warnAbout(notices[0]);
    }
    const std::size_t first = *std::min_element(firstBad.begin(), firstBad.end());
    if (first < count && policy == qmpy::ErrorPolicy::Raise) {
        std::string index;
        for (std::size_t d = leading.size(), rest = first; d-- > 0;) {
            const auto size = static_cast<std::size_t>(leading[d]);
            index = std::to_string(rest % size) + (index.empty() ? "" : ", ") + index;
            rest /= size;
        }
        Outcome o = kernel(from + first * inWidth, to + first * outWidth);   // again, for its reason
        std::fill(to + first * outWidth, to + (first + 1) * outWidth, std::numeric_limits<double>::quiet_NaN());
        throw py::value_error(std::string(name) + (leading.empty() ? "" : "[" + index + "]") + ": " +
                              (o.why ? o.why : "cannot be converted") +
                              " (errors='nan' gives NaN for such elements instead)");
    }
    return std::move(result);
}

// A direction cosine matrix, as the library takes it, only when it is a
// rotation: orthonormal rows to 1e-6 and a determinant of +1.
Outcome rotationMatrix(const double* m)
{
    double worst = 0;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const double dot = m[3 * r] * m[3 * c] + m[3 * r + 1] * m[3 * c + 1] + m[3 * r + 2] * m[3 * c + 2];
            worst = std::max(worst, std::fabs(dot - (r == c ? 1.0 : 0.0)));
        }
    const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
                       m[2] * (m[3] * m[7] - m[4] * m[6]);
    if (!(worst <= 1e-6) || !(det > 0))
        return bad(Verdict::Untrusted, 0,
                   "not a rotation matrix (rows orthonormal to 1e-6, determinant +1), "
                   "so its angles would mean nothing");
    return {};
}

// A unit quaternion (to 1e-6), or with unit=false any but zero.
Outcome quaternion(const double* q, bool unit)
{
    const double norm2 = q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3];
    if (unit ? !(std::fabs(norm2 - 1.0) <= 2e-6) : !(norm2 > 0 && std::isfinite(norm2)))
        return bad(Verdict::Untrusted, 0,
                   unit ? "not a unit quaternion (|q| differs from 1 by more than 1e-6): normalise it first"
                        : "a zero (or infinite) quaternion is no rotation");
    return {};
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
        : myDatumName(py::str(datum).cast<std::string>()), myDeg(deg),
          myArguments(py::make_tuple(lat0, lon0, zone, local, scale, datum, deg))
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
                    if (Outcome v = qmpy::checkValue(in[i], i); v.verdict != Verdict::Ok)
                        return v;
                if (Outcome v = a.latitude(in[0], 0); v.verdict != Verdict::Ok)
                    return v;
                p->geod2utm(a.in(in[0]), a.in(in[1]), &o[0], &o[1]);
                if (!qmpy::nearMeridian(a.in(in[0]), qmpy::utmLongitude(a.in(in[1])), p->zoneOrigin()))
                    return bad(Verdict::Untrusted, 1, qmpy::kFarFromMeridian);
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
                    if (Outcome v = qmpy::checkValue(in[i], i); v.verdict != Verdict::Ok)
                        return v;
                double lat, lon;
                p->utm2geod(in[0], in[1], &lat, &lon);
                o[0] = a.out(lat), o[1] = a.out(lon);
                if (!qmpy::nearMeridian(lat, DtRad2Deg(lon), p->zoneOrigin()))
                    return bad(Verdict::Untrusted, 0, qmpy::kFarFromMeridian);
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
    // What it was made from: pickles rebuild it from these.
    const py::tuple& arguments() const { return myArguments; }

private:
    std::shared_ptr<const DtUtmReferencePoint> myPoint;
    std::string myDatumName;
    bool myDeg;
    py::tuple myArguments;
};

}  // namespace

void bindRotations(py::module_& m)
{
    using namespace py::literals;
    using qmpy::withSignature;
    namespace docs = qmpy::docs;
    const char* const kTail = "out=None, errors='raise', threads=None)";
    m.def(
        "taitbryan2dcm",
        qmpy::dispatching("taitbryan2dcm", +[](py::object angles, bool deg, py::object out, py::object errors, py::object threads) {
            const Angles a{deg};
            return stacked(angles, "angles", kThree, kMatrix, out, errors, threads, [&](const double* in, double* o) {
                if (!std::all_of(in, in + 3, [](double v) { return std::isfinite(v); }))
                    return bad(Verdict::Untrusted, 0, "not a finite angle");
                DtDcm dcm;
                DtTbToMat(getAngles(a, in), dcm);
                putDcm(dcm, o, false);
                return Outcome{};
            });
        }),
        "angles"_a, py::kw_only(), "deg"_a = true, "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
        withSignature("taitbryan2dcm", "(angles, *, deg=True, ", kTail, docs::kTaitBryan2Dcm));
    m.def(
        "dcm2taitbryan",
        qmpy::dispatching("dcm2taitbryan", +[](py::object dcm, bool deg, py::object out, py::object errors, py::object threads) {
            const Angles a{deg};
            return stacked(dcm, "dcm", kMatrix, kThree, out, errors, threads, [&](const double* in, double* o) {
                if (Outcome v = rotationMatrix(in); v.verdict != Verdict::Ok)
                    return v;
                DtTaitBryan t;
                DtBodyToRef_to_Euler(getDcm(in), &t);
                putAngles(a, t, o);
                return Outcome{};
            });
        }),
        "dcm"_a, py::kw_only(), "deg"_a = true, "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
        withSignature("dcm2taitbryan", "(dcm, *, deg=True, ", kTail, docs::kDcm2TaitBryan));
    m.def(
        "taitbryan2quat",
        qmpy::dispatching("taitbryan2quat", +[](py::object angles, bool deg, py::object out, py::object errors, py::object threads) {
            const Angles a{deg};
            return stacked(angles, "angles", kThree, kFour, out, errors, threads, [&](const double* in, double* o) {
                if (!std::all_of(in, in + 3, [](double v) { return std::isfinite(v); }))
                    return bad(Verdict::Untrusted, 0, "not a finite angle");
                putQuaternion(DtQuaternion(getAngles(a, in)), o);
                return Outcome{};
            });
        }),
        "angles"_a, py::kw_only(), "deg"_a = true, "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
        withSignature("taitbryan2quat", "(angles, *, deg=True, ", kTail, docs::kTaitBryan2Quat));
    m.def(
        "quat2taitbryan",
        qmpy::dispatching("quat2taitbryan", +[](py::object q, bool deg, py::object out, py::object errors, py::object threads) {
            const Angles a{deg};
            return stacked(q, "quat", kFour, kThree, out, errors, threads, [&](const double* in, double* o) {
                if (Outcome v = quaternion(in, true); v.verdict != Verdict::Ok)
                    return v;
                putAngles(a, DtTaitBryan(getQuaternion(in)), o);
                return Outcome{};
            });
        }),
        "quat"_a, py::kw_only(), "deg"_a = true, "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
        withSignature("quat2taitbryan", "(quat, *, deg=True, ", kTail, docs::kQuat2TaitBryan));
    m.def(
        "quat2dcm",
        qmpy::dispatching("quat2dcm", +[](py::object q, py::object out, py::object errors, py::object threads) {
            return stacked(q, "quat", kFour, kMatrix, out, errors, threads, [&](const double* in, double* o) {
                if (Outcome v = quaternion(in, false); v.verdict != Verdict::Ok)
                    return v;
                const DtQuaternion quat = getQuaternion(in);
                DtDcm refToBody;
                DtDcmFromQuaternion(refToBody, &quat);
                putDcm(refToBody, o, true);   // the transpose: body to reference, as taitbryan2dcm
                return Outcome{};
            });
        }),
        "quat"_a, py::kw_only(), "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
        withSignature("quat2dcm", "(quat, *, ", kTail, docs::kQuat2Dcm));
    m.def(
        "dcm2quat",
        qmpy::dispatching("dcm2quat", +[](py::object dcm, py::object out, py::object errors, py::object threads) {
            return stacked(dcm, "dcm", kMatrix, kFour, out, errors, threads, [&](const double* in, double* o) {
                if (Outcome v = rotationMatrix(in); v.verdict != Verdict::Ok)
                    return v;
                DtTaitBryan t;
                DtBodyToRef_to_Euler(getDcm(in), &t);
                putQuaternion(DtQuaternion(t), o);
                return Outcome{};
            });
        }),
        "dcm"_a, py::kw_only(), "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
        withSignature("dcm2quat", "(dcm, *, ", kTail, docs::kDcm2Quat));
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
             "datum"_a = "WGS84", "deg"_a = true,
             qmpy::withSignature("__init__",
                                 "(self, lat0, lon0, *, zone=None, local=True, scale=0.9996, datum='WGS84', deg=True)",
                                 "", "\n\nMakes the grid (see the class).\n"))
        .def("forward",
             qmpy::dispatching("UtmGrid.forward", +[](const UtmGrid* g, py::object lat, py::object lon, py::object out,
                                                      py::object errors, py::object threads) {
                 return g->forward(lat, lon, out, errors, threads);
             }),
             "lat"_a, "lon"_a, py::kw_only(), "out"_a = py::none(),
             "errors"_a = "raise", "threads"_a = py::none(),
             qmpy::withSignature("forward", "(self, lat, lon, *, ", "out=None, errors='raise', threads=None)",
                                 qmpy::docs::kUtmGridForward))
        .def("inverse",
             qmpy::dispatching("UtmGrid.inverse", +[](const UtmGrid* g, py::object e, py::object n, py::object out,
                                                      py::object errors, py::object threads) {
                 return g->inverse(e, n, out, errors, threads);
             }),
             "easting"_a, "northing"_a, py::kw_only(), "out"_a = py::none(),
             "errors"_a = "raise", "threads"_a = py::none(),
             qmpy::withSignature("inverse", "(self, easting, northing, *, ", "out=None, errors='raise', threads=None)",
                                 qmpy::docs::kUtmGridInverse))
        .def(py::pickle([](const UtmGrid& g) { return g.arguments(); },
                        [datumNamed](const py::tuple& t) {
                            return UtmGrid(t[0].cast<double>(), t[1].cast<double>(), t[2], t[3].cast<bool>(),
                                           t[4].cast<double>(), t[5], t[6].cast<bool>(), datumNamed);
                        }))
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
