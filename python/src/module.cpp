// qormatrix._core: the library's conversions over NumPy arrays. Every element
// goes through the same single-point call of the library that a C++ caller
// would make; the machinery around it (columns.h) only moves numbers.
#include "columns.h"
#include "docs.h"
#include "geoid.h"
#include "magnetic.h"

#include <qormatrix.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>

namespace py = pybind11;
using namespace Vorant;
using qmpy::Angles;
using qmpy::bad;
using qmpy::Outcome;
using qmpy::Verdict;

namespace {

struct NamedDatum
{
    const char* name;
    const DtMapDatum* datum;
};
const NamedDatum kDatums[] = {{"WGS84", &DtWGS84},
                              {"ED50", &DtED50},
                              {"NASANAD27", &DtNASANAD27},
                              {"NASBNAD27", &DtNASBNAD27},
                              {"CONUSNAD27", &DtCONUSNAD27}};

// Argument names, for messages.
const char* const kGeodeticAt[] = {"lat", "lon", "alt", "lat0", "lon0", "h0"};
const char* const kGeocentricAt[] = {"x", "y", "z", "lat0", "lon0", "h0"};
const char* const kNedAt[] = {"n", "e", "d", "lat0", "lon0", "h0"};
const char* const kEnuAt[] = {"e", "n", "u", "lat0", "lon0", "h0"};
const char* const kEnu1At[] = {"e1", "n1", "u1", "lat0", "lon0", "h0"};
const char* const kGeodeticH[] = {"lat", "lon", "h", "lat0", "lon0", "h0"};
const char* const kLatLonZone[] = {"lat", "lon", "zone"};
const char* const kUtmNames[] = {"easting", "northing", "zone", "hemisphere"};
const char* const kAttitude[] = {"x", "y", "z", "psi", "theta", "phi"};

const DtMapDatum& datumNamed(const py::object& name)
{
    if (py::isinstance<py::str>(name)) {
        std::string n = name.cast<std::string>();
        for (char& ch : n)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        n.erase(std::remove(n.begin(), n.end(), ' '), n.end());
        for (const NamedDatum& d : kDatums)
            if (n == d.name)
                return *d.datum;
    }
    throw py::value_error("datum: expected one of 'WGS84', 'ED50', 'NASANAD27', 'NASBNAD27', 'CONUSNAD27', got " +
                          py::repr(name).cast<std::string>());
}

// The ellipsoid of a call: a named datum's (with its shift to the common
// frame), or any pymap3d-style ellipsoid given as ell= (no shift). Never the
// process-wide one.
struct Earth
{
    DtMapDatum datum;
    DtReferenceEllipsoid ellipsoid;
    // Within a * e^2 (+ 1 m) of the ellipsoid's centre a point has several
    // normals to the ellipsoid and the library's iteration may settle on a
    // far one: measured against GeographicLib, up to 6,400 km off inside,
    // within 0.14 m from 5 cm beyond it outwards.
    double untrustedSquared;   // (a * e^2 + 1 m)^2

    explicit Earth(const DtMapDatum& d) : datum(d), ellipsoid(d), untrustedSquared(0)
    {
        const double a = d.spheroid.semiMajorAxis, b = d.spheroid.semiMinorAxis, radius = (a * a - b * b) / a + 1.0;
        untrustedSquared = radius * radius;
    }
    // Whether the library's geodetic position of a geocentric point is trusted.
    Outcome trusts(const double* g, int argument) const
    {
        const double x = g[0] - datum.deltaX, y = g[1] - datum.deltaY, z = g[2] - datum.deltaZ;
        if (x * x + y * y + z * z < untrustedSquared)
            return bad(Verdict::Untrusted, argument,
                       "within a*e^2 of the ellipsoid's centre (42,699 m on WGS 84), where the geodetic "
                       "conversion may settle on a far point; the result cannot be trusted");
        return {};
    }
};

double axis(const py::object& ell, const char* name)
{
    const py::object value = py::getattr(ell, name, py::none());
    double v = 0;
    if (!value.is_none()) {
        try {
            v = value.cast<double>();
        } catch (const py::cast_error&) {
            v = 0;
        }
    }
    if (!(std::isfinite(v) && v > 0))
        throw py::type_error(std::string("ell: expected an ellipsoid with positive semimajor_axis and "
                                         "semiminor_axis (such as pymap3d.Ellipsoid), got ") +
                             py::repr(ell).cast<std::string>());
    return v;
}

Earth earthOf(const py::object& ell, const py::object& datum)
{
    if (ell.is_none())
        return Earth(datum.is_none() ? DtWGS84 : datumNamed(datum));
    if (!datum.is_none())
        throw py::value_error("give ell= (an ellipsoid) or datum= (a named datum with its shift), not both");
    if (py::isinstance<py::tuple>(ell) && py::len(ell) == 2) {   // (semi-major axis, flattening)
        const py::tuple t = py::reinterpret_borrow<py::tuple>(ell);
        double a = 0, f = 1;
        try {
            a = t[0].cast<double>();
            f = t[1].cast<double>();
        } catch (const py::cast_error&) {
        }
        if (!(std::isfinite(a) && a > 0 && std::isfinite(f) && f < 1))
            throw py::value_error("ell: expected (semi-major axis > 0, flattening < 1), got " +
                                  py::repr(ell).cast<std::string>());
        return Earth(DtMapDatum(DtSpheroid{a, a * (1 - f)}, 0.0, 0.0, 0.0));
    }
    return Earth(DtMapDatum(DtSpheroid{axis(ell, "semimajor_axis"), axis(ell, "semiminor_axis")}, 0.0, 0.0, 0.0));
}

Outcome checkLatitude(const Angles& a, double lat, int argument)
{
    return a.latitude(lat, argument);
}

Outcome checkFinite(const double* in, int from, int count)
{
    for (int i = from; i < from + count; ++i)
        if (Outcome o = qmpy::checkValue(in[i], i); o.verdict != Verdict::Ok)
            return o;
    return {};
}

// ---- geodetic <-> geocentric ---------------------------------------------------------

// The geoid's height at stored angles (radians), as a geodetic coordinate over
// the grid takes it: the angles in degrees through DtRad2Deg.
double undulation(const qmpy::Geoid* geoid, double lat, double lon)
{
    return geoid ? geoid->grid->undulation(DtRad2Deg(lat), DtRad2Deg(lon), geoid->cubic) : 0.0;
}

// With a geoid the height is above it: alt + N in, h - N out (setAlt, alt()).
Outcome geodeticToGeocentric(const DtReferenceEllipsoid& e, const Angles& a, const double* in, double* out,
                             const qmpy::Geoid* geoid = nullptr)
{
    if (Outcome o = checkFinite(in, 0, 3); o.verdict != Verdict::Ok)
        return o;
    if (Outcome o = checkLatitude(a, in[0], 0); o.verdict != Verdict::Ok)
        return o;
    const double lat = a.in(in[0]), lon = a.in(in[1]);
    DtVector64 g;
    e.geodeticToGeocentric(DtVector64(lat, lon, geoid ? in[2] + undulation(geoid, lat, lon) : in[2]), g);
    out[0] = g[0], out[1] = g[1], out[2] = g[2];
    return {};
}

Outcome geocentricIn(const Earth& earth, const double* in)
{
    if (Outcome o = checkFinite(in, 0, 3); o.verdict != Verdict::Ok)
        return o;
    return earth.trusts(in, 0);
}

void geodeticOut(const Angles& a, const DtVector64& g, double* out, const qmpy::Geoid* geoid)
{
    out[0] = a.out(g[0]), out[1] = a.out(g[1]), out[2] = geoid ? g[2] - undulation(geoid, g[0], g[1]) : g[2];
}

Outcome geocentricToGeodetic(const Earth& earth, const Angles& a, const double* in, double* out,
                             const qmpy::Geoid* geoid = nullptr)
{
    if (Outcome o = geocentricIn(earth, in); o.verdict != Verdict::Ok)
        return o;
    DtVector64 g;
    earth.ellipsoid.geocentricToGeodetic(DtVector64(in[0], in[1], in[2]), g);
    geodeticOut(a, g, out, geoid);
    return {};
}

// Kernels to geodetic positions whose blocks go to the library's many-element
// conversion (two points in a register's lanes); geocentric(in, g) gives an
// element's geocentric point and its checks. A block with a point on the
// polar axis goes element by element, so the notice about its longitude is
// given once however the block ends.
template <class Geocentric>
struct GeodeticKernel
{
    const Earth& earth;
    Angles a;
    const qmpy::Geoid* geoid;
    Geocentric geocentric;

    Outcome operator()(const double* in, double* out) const
    {
        DtVector64 g;
        if (Outcome c = geocentric(in, g); c.verdict != Verdict::Ok)
            return c;
        return geocentricToGeodetic(earth, a, &g[0], out, geoid);
    }
    void block(const double (*in)[qmpy::kMaxInputs], double (*out)[qmpy::kMaxOutputs], Outcome* outcomes,
               std::size_t m) const
    {
        const DtMapDatum& d = earth.datum;
        const DtVector64 standIn(d.deltaX + d.spheroid.semiMajorAxis, d.deltaY, d.deltaZ);   // off the axis
        DtVector64 g[qmpy::kBlock];
        bool onAxis = false;
        for (std::size_t k = 0; k < m; ++k) {
            outcomes[k] = geocentric(in[k], g[k]);
            if (outcomes[k].verdict == Verdict::Ok)
                outcomes[k] = geocentricIn(earth, &g[k][0]);
            if (outcomes[k].verdict != Verdict::Ok)
                g[k] = standIn;
            onAxis = onAxis || g[k][0] - d.deltaX == 0;
        }
        if (onAxis) {
            for (std::size_t k = 0; k < m; ++k)
                outcomes[k] = (*this)(in[k], out[k]);
            return;
        }
        earth.ellipsoid.geocentricToGeodetic(m, g, g);
        for (std::size_t k = 0; k < m; ++k)
            if (outcomes[k].verdict == Verdict::Ok)
                geodeticOut(a, g[k], out[k], geoid);
    }
};
template <class Geocentric>
GeodeticKernel<Geocentric> geodeticKernel(const Earth& earth, const Angles& a, const qmpy::Geoid* geoid,
                                          Geocentric geocentric)
{
    return GeodeticKernel<Geocentric>{earth, a, geoid, geocentric};
}

py::object geodetic2ecef(py::object lat, py::object lon, py::object alt, py::object ell, bool deg, py::object datum,
                         py::object geoid, py::object out, py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const DtReferenceEllipsoid& e = earth.ellipsoid;
    const Angles a{deg};
    const qmpy::Geoid* g = qmpy::geoidArgument(geoid);
    return qmpy::convert({lat, lon, alt}, kGeodeticAt, 3, out, errors, threads, [&] {
        return [&e, a, g](const double* in, double* o) { return geodeticToGeocentric(e, a, in, o, g); };
    });
}

py::object ecef2geodetic(py::object x, py::object y, py::object z, py::object ell, bool deg, py::object datum,
                         py::object geoid, py::object out, py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const Angles a{deg};
    const qmpy::Geoid* g = qmpy::geoidArgument(geoid);
    return qmpy::convert({x, y, z}, kGeocentricAt, 3, out, errors, threads, [&] {
        return geodeticKernel(earth, a, g, [](const double* in, DtVector64& p) {
            p = DtVector64(in[0], in[1], in[2]);
            return Outcome{};
        });
    });
}

// ---- local frames --------------------------------------------------------------------

// The north-east-down frame at an origin (latitude, longitude, height), as the
// library builds it: the rotation at the origin's angles, the offset at its
// geocentric position. Rebuilt only when the origin changes.
class LocalFrame
{
public:
    LocalFrame(const DtReferenceEllipsoid& e, const Angles& a) : myEllipsoid(e), myAngles(a) {}

    Outcome at(const double* origin, int firstArgument)
    {
        if (myValid && std::memcmp(origin, myOrigin, sizeof myOrigin) == 0)
            return {};
        myValid = false;
        if (Outcome o = checkFinite(origin, 0, 3); o.verdict != Verdict::Ok)
            return bad(o.verdict, firstArgument + o.argument);
        if (Outcome o = checkLatitude(myAngles, origin[0], firstArgument); o.verdict != Verdict::Ok)
            return o;
        const double lat = myAngles.in(origin[0]), lon = myAngles.in(origin[1]);
        DtGeocToTopoTransform(lat, lon, &myToNed);
        DtVector64 offset;
        myEllipsoid.geodeticToGeocentric(DtVector64(lat, lon, origin[2]), offset);
        myToNed.setOffset(offset);
        myFromNed.setByInverse(myToNed);
        std::memcpy(myOrigin, origin, sizeof myOrigin);
        myValid = true;
        return {};
    }
    const DtCoordTransform& toNed() const { return myToNed; }
    const DtCoordTransform& fromNed() const { return myFromNed; }

private:
    const DtReferenceEllipsoid& myEllipsoid;
    Angles myAngles;
    DtCoordTransform myToNed, myFromNed;
    double myOrigin[3] = {0, 0, 0};
    bool myValid = false;
};

enum class Local
{
    Ned,
    Enu
};

// A local triple in the frame's order: NED as it is, ENU as (e, n, -d).
void toLocal(Local kind, const DtVector64& ned, double* out)
{
    if (kind == Local::Ned)
        out[0] = ned[0], out[1] = ned[1], out[2] = ned[2];
    else
        out[0] = ned[1], out[1] = ned[0], out[2] = -ned[2];
}

DtVector64 fromLocal(Local kind, const double* in)
{
    return kind == Local::Ned ? DtVector64(in[0], in[1], in[2]) : DtVector64(in[1], in[0], -in[2]);
}


// geocentric or geodetic (from) -> local (kind)
py::object toLocalFrame(Local kind, bool fromGeodetic, py::object p, py::object q, py::object r, py::object lat0,
                        py::object lon0, py::object h0, py::object ell, bool deg, py::object datum, py::object out,
                        py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const DtReferenceEllipsoid& e = earth.ellipsoid;
    const Angles a{deg};
    return qmpy::convert({p, q, r, lat0, lon0, h0}, fromGeodetic ? kGeodeticH : kGeocentricAt, 3, out, errors, threads, [&] {
        return [&e, a, kind, fromGeodetic, frame = std::make_shared<LocalFrame>(e, a)](const double* in, double* o) {
            if (Outcome f = frame->at(in + 3, 3); f.verdict != Verdict::Ok)
                return f;
            double g[3] = {in[0], in[1], in[2]};
            if (fromGeodetic)
                if (Outcome c = geodeticToGeocentric(e, a, in, g); c.verdict != Verdict::Ok)
                    return c;
            if (Outcome c = checkFinite(g, 0, 3); c.verdict != Verdict::Ok)
                return c;
            DtVector64 ned;
            frame->toNed().coordTrans(DtVector64(g[0], g[1], g[2]), ned);
            toLocal(kind, ned, o);
            return Outcome{};
        };
    });
}

py::object fromLocalFrame(Local kind, bool toGeodetic, py::object p, py::object q, py::object r, py::object lat0,
                          py::object lon0, py::object h0, py::object ell, bool deg, py::object datum, py::object out,
                          py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const DtReferenceEllipsoid& e = earth.ellipsoid;
    const Angles a{deg};
    const char* const* names = kind == Local::Ned ? kNedAt : toGeodetic ? kEnuAt : kEnu1At;
    // An element's geocentric point, in a frame rebuilt only when the origin changes.
    const auto makeGeocentric = [&] {
        return [kind, frame = std::make_shared<LocalFrame>(e, a)](const double* in, DtVector64& g) {
            if (Outcome f = frame->at(in + 3, 3); f.verdict != Verdict::Ok)
                return f;
            if (Outcome c = checkFinite(in, 0, 3); c.verdict != Verdict::Ok)
                return c;
            frame->fromNed().coordTrans(fromLocal(kind, in), g);
            return Outcome{};
        };
    };
    if (!toGeodetic)
        return qmpy::convert({p, q, r, lat0, lon0, h0}, names, 3, out, errors, threads, [&] {
            return [geocentric = makeGeocentric()](const double* in, double* o) {
                DtVector64 g;
                if (Outcome c = geocentric(in, g); c.verdict != Verdict::Ok)
                    return c;
                o[0] = g[0], o[1] = g[1], o[2] = g[2];
                return Outcome{};
            };
        });
    return qmpy::convert({p, q, r, lat0, lon0, h0}, names, 3, out, errors, threads, [&] {
        return geodeticKernel(earth, a, nullptr, makeGeocentric());
    });
}

// ---- look angles ---------------------------------------------------------------------

const char* const kAerAt[] = {"az", "el", "srange", "lat0", "lon0", "h0"};
const char* const kAerAlt0[] = {"az", "el", "srange", "lat0", "lon0", "alt0"};
const char* const kSightNames[] = {"lat0", "lon0", "h0", "az", "tilt"};
const char* const kClearanceNames[] = {"lat0", "lon0", "h0", "lat", "lon", "h"};
const char kNegativeRange[] = "a negative slant range";

// The observer of a row: rebuilt only when its latitude, longitude or height change.
class ObserverAt
{
public:
    ObserverAt(const DtMapDatum& datum, const Angles& a) : myDatum(datum), myAngles(a) {}

    Outcome at(const double* origin, int firstArgument)
    {
        if (myObserver && std::memcmp(origin, myOrigin, sizeof myOrigin) == 0)
            return {};
        myObserver.reset();
        if (Outcome o = checkFinite(origin, 0, 3); o.verdict != Verdict::Ok)
            return bad(o.verdict, firstArgument + o.argument);
        if (Outcome o = checkLatitude(myAngles, origin[0], firstArgument); o.verdict != Verdict::Ok)
            return o;
        myObserver.emplace(myAngles.in(origin[0]), myAngles.in(origin[1]), origin[2], myDatum);
        std::memcpy(myOrigin, origin, sizeof myOrigin);
        return {};
    }
    const DtObserver& operator*() const { return *myObserver; }

private:
    DtMapDatum myDatum;
    Angles myAngles;
    std::optional<DtObserver> myObserver;
    double myOrigin[3] = {0, 0, 0};
};

void lookOut(const Angles& a, const DtLookAngles& look, double* o)
{
    o[0] = a.out(look.azimuth), o[1] = a.out(look.elevation), o[2] = look.range;
}

// Whether every element of a block has the observer of the first (bit for
// bit): then the block goes to the library's many-element call.
bool oneObserver(const double (*in)[qmpy::kMaxInputs], std::size_t m, int first)
{
    std::uint64_t bits[3], other[3];
    std::memcpy(bits, in[0] + first, sizeof bits);
    for (std::size_t k = 1; k < m; ++k) {
        std::memcpy(other, in[k] + first, sizeof other);
        if (((other[0] ^ bits[0]) | (other[1] ^ bits[1]) | (other[2] ^ bits[2])) != 0)
            return false;
    }
    return true;
}

// A kernel whose blocks with one observer go through the many-element call;
// Element(in, out) is the element on its own, Many(observer, in, out,
// outcomes, m) the checks and the call (an element that fails its check
// computes a stand-in that its NaN outputs replace).
template <class Element, class Many>
struct ObserverKernel
{
    Element element;
    Many many;
    std::shared_ptr<ObserverAt> observer;
    int first;   // the observer's first argument

    Outcome operator()(const double* in, double* out) const { return element(in, out); }
    void block(const double (*in)[qmpy::kMaxInputs], double (*out)[qmpy::kMaxOutputs], Outcome* outcomes,
               std::size_t m) const
    {
        if (!oneObserver(in, m, first)) {
            for (std::size_t k = 0; k < m; ++k)
                outcomes[k] = element(in[k], out[k]);
            return;
        }
        if (Outcome f = observer->at(in[0] + first, first); f.verdict != Verdict::Ok) {
            std::fill(outcomes, outcomes + m, f);
            return;
        }
        many(**observer, in, out, outcomes, m);
    }
};
template <class Element, class Many>
ObserverKernel<Element, Many> observerKernel(Element element, Many many, std::shared_ptr<ObserverAt> observer,
                                             int first)
{
    return ObserverKernel<Element, Many>{element, many, std::move(observer), first};
}

// Angles and a range in (azimuth, elevation, range), checked: radians out.
Outcome lookIn(const Angles& a, const double* in, DtLookAngles& look)
{
    if (Outcome c = checkFinite(in, 0, 3); c.verdict != Verdict::Ok)
        return c;
    if (!(in[2] >= 0))
        return bad(Verdict::Domain, 2, kNegativeRange);
    look = DtLookAngles{a.in(in[0]), a.in(in[1]), in[2]};
    return {};
}

// geodetic or geocentric target -> azimuth, elevation, range
template <bool fromGeodetic>
py::object toAer(py::object p, py::object q, py::object r, py::object lat0, py::object lon0, py::object h0,
                 py::object ell, bool deg, py::object datum, py::object out, py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const Angles a{deg};
    return qmpy::convert({p, q, r, lat0, lon0, h0}, fromGeodetic ? kGeodeticH : kGeocentricAt, 3, out, errors,
                         threads, [&] {
        const auto observer = std::make_shared<ObserverAt>(earth.datum, a);
        const auto target = [a](const double* in) {
            if (Outcome c = checkFinite(in, 0, 3); c.verdict != Verdict::Ok)
                return c;
            return fromGeodetic ? checkLatitude(a, in[0], 0) : Outcome{};
        };
        const auto element = [a, observer, target](const double* in, double* o) {
            if (Outcome f = observer->at(in + 3, 3); f.verdict != Verdict::Ok)
                return f;
            if (Outcome c = target(in); c.verdict != Verdict::Ok)
                return c;
            lookOut(a, fromGeodetic ? (**observer).lookAt(a.in(in[0]), a.in(in[1]), in[2])
                                    : (**observer).lookAt(DtVector64(in[0], in[1], in[2])), o);
            return Outcome{};
        };
        const auto many = [a, target](const DtObserver& seer, const double (*in)[qmpy::kMaxInputs],
                                      double (*o)[qmpy::kMaxOutputs], Outcome* outcomes, std::size_t m) {
            DtLookAngles look[qmpy::kBlock];
            if (fromGeodetic) {
                double lat[qmpy::kBlock], lon[qmpy::kBlock], h[qmpy::kBlock];
                for (std::size_t k = 0; k < m; ++k) {
                    outcomes[k] = target(in[k]);
                    const bool good = outcomes[k].verdict == Verdict::Ok;
                    lat[k] = good ? a.in(in[k][0]) : 0.0, lon[k] = good ? a.in(in[k][1]) : 0.0,
                    h[k] = good ? in[k][2] : 0.0;
                }
                seer.lookAt(m, lat, lon, h, look);
            } else {
                DtVector64 g[qmpy::kBlock];
                for (std::size_t k = 0; k < m; ++k) {
                    outcomes[k] = target(in[k]);
                    g[k] = outcomes[k].verdict == Verdict::Ok ? DtVector64(in[k][0], in[k][1], in[k][2])
                                                              : seer.geocentric();
                }
                seer.lookAt(m, g, look);
            }
            for (std::size_t k = 0; k < m; ++k)
                lookOut(a, look[k], o[k]);
        };
        return observerKernel(element, many, observer, 3);
    });
}

// azimuth, elevation, range -> geodetic or geocentric target
template <bool toGeodetic>
py::object fromAer(py::object az, py::object el, py::object srange, py::object lat0, py::object lon0, py::object h0,
                   py::object ell, bool deg, py::object datum, py::object out, py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const Angles a{deg};
    return qmpy::convert({az, el, srange, lat0, lon0, h0}, toGeodetic ? kAerAt : kAerAlt0, 3, out, errors, threads, [&] {
        const auto observer = std::make_shared<ObserverAt>(earth.datum, a);
        const auto element = [a, observer](const double* in, double* o) {
            if (Outcome f = observer->at(in + 3, 3); f.verdict != Verdict::Ok)
                return f;
            DtLookAngles look{};
            if (Outcome c = lookIn(a, in, look); c.verdict != Verdict::Ok)
                return c;
            if (toGeodetic) {
                const DtVector64 g = (**observer).geodeticAt(look);
                o[0] = a.out(g[0]), o[1] = a.out(g[1]), o[2] = g[2];
            } else {
                const DtVector64 g = (**observer).geocentricAt(look);
                o[0] = g[0], o[1] = g[1], o[2] = g[2];
            }
            return Outcome{};
        };
        const auto many = [a, element](const DtObserver& seer, const double (*in)[qmpy::kMaxInputs],
                                       double (*o)[qmpy::kMaxOutputs], Outcome* outcomes, std::size_t m) {
            if (!toGeodetic) {
                for (std::size_t k = 0; k < m; ++k)
                    outcomes[k] = element(in[k], o[k]);
                return;
            }
            DtLookAngles look[qmpy::kBlock];
            for (std::size_t k = 0; k < m; ++k) {
                outcomes[k] = lookIn(a, in[k], look[k]);
                if (outcomes[k].verdict != Verdict::Ok)
                    look[k] = DtLookAngles{0, 0, 0};
            }
            DtVector64 g[qmpy::kBlock];
            seer.geodeticAt(m, look, g);
            for (std::size_t k = 0; k < m; ++k)
                o[k][0] = a.out(g[k][0]), o[k][1] = a.out(g[k][1]), o[k][2] = g[k][2];
        };
        return observerKernel(element, many, observer, 3);
    });
}

// local offsets (kind) <-> azimuth, elevation, range: no ellipsoid
template <Local kind>
py::object localToAer(py::object p, py::object q, py::object r, bool deg, py::object out, py::object errors,
                      py::object threads)
{
    const Angles a{deg};
    return qmpy::convert({p, q, r}, kind == Local::Ned ? kNedAt : kEnuAt, 3, out, errors, threads, [&] {
        return [a](const double* in, double* o) {
            if (Outcome c = checkFinite(in, 0, 3); c.verdict != Verdict::Ok)
                return c;
            lookOut(a, DtNedToLookAngles(fromLocal(kind, in)), o);
            return Outcome{};
        };
    });
}

template <Local kind>
py::object aerToLocal(py::object az, py::object el, py::object srange, bool deg, py::object out, py::object errors,
                      py::object threads)
{
    const Angles a{deg};
    return qmpy::convert({az, el, srange}, kAerAt, 3, out, errors, threads, [&] {
        return [a](const double* in, double* o) {
            DtLookAngles look{};
            if (Outcome c = lookIn(a, in, look); c.verdict != Verdict::Ok)
                return c;
            toLocal(kind, DtLookAnglesToNed(look), o);
            return Outcome{};
        };
    });
}

// Where the line of sight meets the ellipsoid (raised by height): NaN where it misses.
py::object lookAtSpheroid(py::object lat0, py::object lon0, py::object h0, py::object az, py::object tilt,
                          py::object ell, bool deg, double height, py::object datum, py::object out,
                          py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const Angles a{deg};
    if (!(std::isfinite(height) && height > -earth.datum.spheroid.semiMinorAxis))
        throw py::value_error("height: expected a finite height above -b (the semi-minor axis), got " +
                              std::to_string(height));
    return qmpy::convert({lat0, lon0, h0, az, tilt}, kSightNames, 3, out, errors, threads, [&] {
        const auto observer = std::make_shared<ObserverAt>(earth.datum, a);
        // Tilt from the nadir: the elevation is the tilt less a quarter turn.
        const auto element = [a, height, observer](const double* in, double* o) {
            if (Outcome f = observer->at(in, 0); f.verdict != Verdict::Ok)
                return f;
            if (Outcome c = checkFinite(in, 3, 2); c.verdict != Verdict::Ok)
                return c;
            const DtSightPoint p = (**observer).lineOfSight(a.in(in[3]), a.in(in[4]) - 1.5707963267948966, height);
            o[0] = a.out(p.lat), o[1] = a.out(p.lon), o[2] = p.range;
            return Outcome{};
        };
        const auto many = [a, height](const DtObserver& seer, const double (*in)[qmpy::kMaxInputs],
                                      double (*o)[qmpy::kMaxOutputs], Outcome* outcomes, std::size_t m) {
            double azimuth[qmpy::kBlock], elevation[qmpy::kBlock];
            for (std::size_t k = 0; k < m; ++k) {
                outcomes[k] = checkFinite(in[k], 3, 2);
                const bool good = outcomes[k].verdict == Verdict::Ok;
                azimuth[k] = good ? a.in(in[k][3]) : 0.0;
                elevation[k] = good ? a.in(in[k][4]) - 1.5707963267948966 : 0.0;
            }
            DtSightPoint p[qmpy::kBlock];
            seer.lineOfSight(m, azimuth, elevation, height, p);
            for (std::size_t k = 0; k < m; ++k)
                o[k][0] = a.out(p[k].lat), o[k][1] = a.out(p[k].lon), o[k][2] = p[k].range;
        };
        return observerKernel(element, many, observer, 0);
    });
}

// Whether the straight segment from each observer to each target stays at or above height.
py::object clearance(py::object lat0, py::object lon0, py::object h0, py::object lat, py::object lon, py::object h,
                     py::object ell, bool deg, double height, py::object datum, py::object out, py::object errors,
                     py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const Angles a{deg};
    if (!std::isfinite(height))
        throw py::value_error("height: expected a finite number, got " + std::to_string(height));
    return qmpy::convert({lat0, lon0, h0, lat, lon, h}, kClearanceNames, 3, out, errors, threads, [&] {
        return [a, height, observer = std::make_shared<ObserverAt>(earth.datum, a)](const double* in, double* o) {
            if (Outcome f = observer->at(in, 0); f.verdict != Verdict::Ok)
                return f;
            if (Outcome c = checkFinite(in, 3, 3); c.verdict != Verdict::Ok)
                return c;
            if (Outcome c = checkLatitude(a, in[3], 3); c.verdict != Verdict::Ok)
                return c;
            const DtClearance c = (**observer).clearance(a.in(in[3]), a.in(in[4]), in[5], height);
            o[0] = c.visible ? 1.0 : 0.0, o[1] = c.lowestHeight, o[2] = c.lowestAt;
            return Outcome{};
        };
    });
}

// ---- UPS and MGRS --------------------------------------------------------------------

const char* const kLatLon[] = {"lat", "lon"};
const char* const kEastNorth[] = {"easting", "northing"};
const char kOutsideUps[] = "outside the polar caps UPS covers (from 83.5 N and from 79.5 S)";

bool northFrom(const py::object& hemisphere)
{
    if (py::isinstance<py::str>(hemisphere)) {
        const std::string h = hemisphere.cast<std::string>();
        if (h == "N" || h == "n" || h == "S" || h == "s")
            return h == "N" || h == "n";
    }
    throw py::value_error("hemisphere: expected 'N' or 'S', got " + py::repr(hemisphere).cast<std::string>());
}

py::object geodetic2ups(py::object lat, py::object lon, py::object ell, bool deg, py::object datum, py::object out,
                        py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const Angles a{deg};
    const DtUtmUps grid(earth.datum);
    return qmpy::convert({lat, lon}, kLatLon, 2, out, errors, threads, [&] {
        return [a, &grid](const double* in, double* o) {
            if (Outcome c = checkFinite(in, 0, 2); c.verdict != Verdict::Ok)
                return c;
            if (Outcome c = checkLatitude(a, in[0], 0); c.verdict != Verdict::Ok)
                return c;
            const double latR = a.in(in[0]);
            if (!(latR >= DtDeg2Rad(83.5) || latR <= DtDeg2Rad(-79.5)))
                return bad(Verdict::Domain, 0, kOutsideUps);
            const DtGridPosition p = grid.forward(latR, a.in(in[1]), DtUtmUps::Ups, false);
            o[0] = p.easting, o[1] = p.northing;
            return Outcome{};
        };
    });
}

py::object ups2geodetic(py::object easting, py::object northing, py::object hemisphere, py::object ell, bool deg,
                        py::object datum, py::object out, py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const Angles a{deg};
    const DtUtmUps grid(earth.datum);
    const bool north = northFrom(hemisphere);
    return qmpy::convert({easting, northing}, kEastNorth, 2, out, errors, threads, [&] {
        return [a, north, &grid](const double* in, double* o) {
            if (Outcome c = checkFinite(in, 0, 2); c.verdict != Verdict::Ok)
                return c;
            DtGridPosition p{0, north, in[0], in[1], 0, 0};
            double lat, lon;
            grid.reverse(p, lat, lon, false);
            o[0] = a.out(lat), o[1] = a.out(lon);
            return Outcome{};
        };
    });
}

// Strings in NumPy: a unicode array is UCS-4, a char each in 4 bytes.
py::object unicodeArray(const std::vector<std::string>& texts, const std::vector<py::ssize_t>& shape, bool scalar)
{
    if (scalar)
        return py::str(texts.at(0));
    std::size_t width = 1;
    for (const std::string& t : texts)
        width = std::max(width, t.size());
    std::vector<py::ssize_t> full(shape);
    full.push_back(static_cast<py::ssize_t>(width));
    py::array_t<std::uint32_t> codes(full);
    std::uint32_t* w = codes.mutable_data();
    for (const std::string& t : texts)
        for (std::size_t i = 0; i < width; ++i)
            *w++ = i < t.size() ? static_cast<unsigned char>(t[i]) : 0u;
    py::object view = codes.attr("view")("<U" + std::to_string(width));
    py::tuple dims(shape.size());
    for (std::size_t i = 0; i < shape.size(); ++i)
        dims[i] = py::int_(shape[i]);
    return view.attr("reshape")(dims);
}

py::object geodetic2mgrs(py::object lat, py::object lon, int digits, py::object ell, bool deg, py::object datum,
                         py::object errors)
{
    const Earth earth = earthOf(ell, datum);
    const Angles a{deg};
    const bool raise = qmpy::errorPolicy(errors) == qmpy::ErrorPolicy::Raise;
    if (digits < 0 || digits > 11)
        throw py::value_error("digits: expected 0 to 11 per axis, got " + std::to_string(digits));
    const DtMgrs mgrs(earth.datum);
    py::module_ np = py::module_::import("numpy");
    const bool scalar = np.attr("ndim")(lat).cast<int>() == 0 && np.attr("ndim")(lon).cast<int>() == 0;
    py::tuple both = np.attr("broadcast_arrays")(np.attr("asarray")(lat, "float64"), np.attr("asarray")(lon, "float64"));
    const py::array_t<double> la = np.attr("ascontiguousarray")(both[0]), lo = np.attr("ascontiguousarray")(both[1]);
    const std::size_t n = static_cast<std::size_t>(la.size());
    std::vector<std::string> texts(n);
    std::vector<py::ssize_t> shape(la.shape(), la.shape() + la.ndim());
    std::size_t firstBad = n;
    std::string reason;
    {
        py::gil_scoped_release release;
        char text[DtMgrs::kMaxLength + 1];
        for (std::size_t i = 0; i < n; ++i) {
            const double y = la.data()[i], x = lo.data()[i];
            if (std::isnan(y) || std::isnan(x))
                continue;   // missing: an empty string
            try {
                if (!(std::isfinite(y) && std::isfinite(x) && std::fabs(y) <= a.quarter()))
                    throw std::invalid_argument("a latitude beyond the poles or a value that is not finite");
                texts[i].assign(text, mgrs.encode(a.in(y), a.in(x), digits, text));
            } catch (const std::exception& e) {
                if (firstBad == n) {
                    firstBad = i;
                    reason = e.what();
                }
            }
        }
    }
    if (raise && firstBad < n)
        throw py::value_error("lat, lon at element " + std::to_string(firstBad) + " (" +
                              py::repr(py::float_(la.data()[firstBad])).cast<std::string>() + ", " +
                              py::repr(py::float_(lo.data()[firstBad])).cast<std::string>() + "): " + reason +
                              " (errors='nan' gives an empty string for such elements instead)");
    return unicodeArray(texts, shape, scalar);
}

py::tuple mgrs2geodetic(py::object text, bool centre, py::object ell, bool deg, py::object datum, py::object errors)
{
    const Earth earth = earthOf(ell, datum);
    const Angles a{deg};
    const bool raise = qmpy::errorPolicy(errors) == qmpy::ErrorPolicy::Raise;
    const DtMgrs mgrs(earth.datum);
    py::module_ np = py::module_::import("numpy");
    const bool scalar = py::isinstance<py::str>(text);
    py::array strings = np.attr("asarray")(text);
    if (strings.dtype().kind() != 'U')
        throw py::type_error("text: expected strings, got " + py::repr(text).cast<std::string>().substr(0, 80));
    std::vector<py::ssize_t> shape(strings.shape(), strings.shape() + strings.ndim());
    py::list flat = strings.attr("ravel")().attr("tolist")();
    const std::size_t n = py::len(flat);
    py::array_t<double> lat(shape), lon(shape), digits(shape);
    double* out[3] = {lat.mutable_data(), lon.mutable_data(), digits.mutable_data()};
    for (std::size_t i = 0; i < n; ++i) {
        const std::string t = flat[i].cast<std::string>();
        try {
            if (t.empty())
                throw std::invalid_argument("an empty reference");
            const DtMgrsSquare square = mgrs.decode(t, centre);
            out[0][i] = a.out(square.lat), out[1][i] = a.out(square.lon), out[2][i] = square.digits;
        } catch (const std::exception& e) {
            if (raise) {
                std::string what = e.what();
                const std::string prefix = "DtException: ";
                if (what.compare(0, prefix.size(), prefix) == 0)
                    what = what.substr(prefix.size());
                throw py::value_error("text[" + std::to_string(i) + "]: " + what +
                                      " (errors='nan' gives NaN for such elements instead)");
            }
            out[0][i] = out[1][i] = out[2][i] = std::numeric_limits<double>::quiet_NaN();
        }
    }
    if (scalar)
        return py::make_tuple(out[0][0], out[1][0], out[2][0]);
    return py::make_tuple(lat, lon, digits);
}

// ---- UTM -----------------------------------------------------------------------------

// The converter's reference point on a datum: the grid's own origin (zone 10
// at the equator) with standard offsets, the zone set per point.
DtUtmReferencePoint standardUtm(const DtMapDatum& datum)
{
    return DtUtmReferencePoint(DtUtmLatRefZone10, DtUtmLonRefZone10, 1, 10, datum, 0.9996);
}

// Zones 1 to 60, and 61: the library reduces longitudes into (-180, 180], so
// the meridian 180 itself lands in zone 61, which is zone 1's grid.
Outcome zoneOf(double zone, int argument)
{
    if (Outcome o = qmpy::checkValue(zone, argument); o.verdict != Verdict::Ok)
        return o;
    if (!(zone >= 1 && zone <= 61 && zone == std::floor(zone)))
        return bad(Verdict::NotAZone, argument);
    return {};
}

// The zone of the standard rule (as pyproj and MGRS have it): longitudes in
// [-180, 180), the Norway zone 32 for 56 to 64 N and 3 to 12 E, and the
// Svalbard zones 31, 33, 35 and 37 for 72 to 84 N; each lower bound inclusive.
long standardZone(double latDeg, double lonDeg)
{
    const double lon = DtModPerLo(lonDeg, -180.0, 180.0);
    long zone = static_cast<long>(std::floor((lon + 180.0) / 6.0)) + 1;
    zone = std::min(zone, 60L);
    if (latDeg >= 56.0 && latDeg < 64.0 && lon >= 3.0 && lon < 12.0)
        zone = 32;
    if (latDeg >= 72.0 && latDeg < 84.0 && lon >= 0.0 && lon < 42.0)
        zone = lon < 9.0 ? 31 : lon < 21.0 ? 33 : lon < 33.0 ? 35 : 37;
    return zone;
}

bool standardRule(const py::object& rule)
{
    if (py::isinstance<py::str>(rule)) {
        const std::string r = rule.cast<std::string>();
        if (r == "library" || r == "standard")
            return r == "standard";
    }
    throw py::value_error("zone_rule: expected 'library' or 'standard', got " + py::repr(rule).cast<std::string>());
}

py::object geodetic2utm(py::object lat, py::object lon, py::object zone, py::object zoneRule, py::object ell,
                        bool deg, py::object datum, py::object out, py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const Angles a{deg};
    const bool ownZone = zone.is_none(), standard = standardRule(zoneRule);
    py::object zones = ownZone ? py::object(py::float_(0.0)) : zone;
    const DtUtmReferencePoint prototype = standardUtm(earth.datum);
    return qmpy::convert({lat, lon, zones}, kLatLonZone, 3, out, errors, threads, [&] {
        return [a, ownZone, standard, utm = std::make_shared<DtUtmReferencePoint>(prototype)](const double* in,
                                                                                              double* o) {
            if (Outcome c = checkFinite(in, 0, 2); c.verdict != Verdict::Ok)
                return c;
            if (Outcome c = checkLatitude(a, in[0], 0); c.verdict != Verdict::Ok)
                return c;
            if (!ownZone)
                if (Outcome z = zoneOf(in[2], 2); z.verdict != Verdict::Ok)
                    return z;
            const double latR = a.in(in[0]), lonR = a.in(in[1]), lonDeg = qmpy::utmLongitude(lonR);
            // 0: the point's own zone by the library's rule. The standard rule puts
            // the meridian 180 in zone 1; the library, which takes it as +180,
            // projects it there as zone 61 (zone 1's grid).
            long z = !ownZone ? static_cast<long>(in[2]) : standard ? standardZone(DtRad2Deg(latR), lonDeg) : 0;
            const bool zoneOneAt180 = z == 1 && lonDeg > 0;
            utm->setZoneOrigin(zoneOneAt180 ? 61 : z);
            utm->geod2utm(latR, lonR, &o[0], &o[1]);
            z = utm->zoneOrigin();
            o[2] = static_cast<double>(zoneOneAt180 ? 1 : z);
            if (!qmpy::nearMeridian(latR, lonDeg, z))
                return bad(Verdict::Untrusted, 1, qmpy::kFarFromMeridian);
            return Outcome{};
        };
    });
}

// hemisphere: 'N' or 'S'; band: a latitude band letter C..X (N and above north).
py::object northFlags(py::object hemisphere, py::object band)
{
    if (hemisphere.is_none() == band.is_none())
        throw py::type_error("utm2geodetic: give either hemisphere ('N' or 'S') or band (a letter C to X)");
    const bool isBand = !band.is_none();
    py::object given = isBand ? band : hemisphere;
    if (qmpy::isForeign(given))
        throw qmpy::ForeignArrays();
    py::array letters = py::module_::import("numpy").attr("asarray")(given);
    const char kind = letters.dtype().kind();
    if (kind != 'U' && kind != 'S')
        throw py::type_error(std::string(isBand ? "band" : "hemisphere") + ": expected letters, got " +
                             py::repr(given).cast<std::string>());
    py::array upper = py::module_::import("numpy").attr("char").attr("upper")(letters.attr("astype")("U"));
    py::array north, valid;
    if (isBand) {
        valid = py::module_::import("numpy").attr("isin")(upper, py::make_tuple("C", "D", "E", "F", "G", "H", "J", "K", "L",
                                                                                "M", "N", "P", "Q", "R", "S", "T", "U",
                                                                                "V", "W", "X"));
        north = upper.attr("__ge__")("N");
    } else {
        valid = py::module_::import("numpy").attr("isin")(upper, py::make_tuple("N", "S"));
        north = upper.attr("__eq__")("N");
    }
    if (!py::module_::import("numpy").attr("all")(valid).cast<bool>())
        throw py::value_error(isBand ? "band: expected latitude band letters C to X (without I and O), got " +
                                           py::repr(given).cast<std::string>()
                                     : "hemisphere: expected 'N' or 'S', got " + py::repr(given).cast<std::string>());
    return north.attr("astype")("float64");
}

py::object utm2geodetic(py::object easting, py::object northing, py::object zone, py::object hemisphere,
                        py::object band, py::object ell, bool deg, py::object datum, py::object out,
                        py::object errors, py::object threads)
{
    const DtMapDatum d = earthOf(ell, datum).datum;
    const Angles a{deg};
    py::object north = northFlags(hemisphere, band);
    if (py::cast<py::array>(north).ndim() == 0)
        north = py::float_(py::cast<py::array>(north).attr("item")());
    const DtUtmReferencePoint prototype = standardUtm(d);
    return qmpy::convert({easting, northing, zone, north}, kUtmNames, 2, out,
                         errors, threads, [&] {
                             return [a, utm = std::make_shared<DtUtmReferencePoint>(prototype)](const double* in,
                                                                                                 double* o) {
                                 if (Outcome c = checkFinite(in, 0, 2); c.verdict != Verdict::Ok)
                                     return c;
                                 if (Outcome z = zoneOf(in[2], 2); z.verdict != Verdict::Ok)
                                     return z;
                                 // The hemisphere decides the false northing, not the northing.
                                 utm->setZoneOrigin(static_cast<long>(in[2]));
                                 utm->setStandardFalseNorthingCrossover(in[3] != 0.0 ? INFINITY : -INFINITY);
                                 double lat, lon;
                                 utm->utm2geod(in[0], in[1], &lat, &lon);
                                 o[0] = a.out(lat);
                                 o[1] = a.out(DtDeg2Rad(DtModPerHi(DtRad2Deg(lon), -180.0, 180.0)));
                                 if (!qmpy::nearMeridian(lat, DtRad2Deg(lon), utm->zoneOrigin()))
                                     return bad(Verdict::Untrusted, std::fabs(lat) > 1.5707963267948966 ? 1 : 0,
                                                qmpy::kFarFromMeridian);
                                 return Outcome{};
                             };
                         });
}

py::object gridDeclination(py::object lat, py::object lon, py::object zone, py::object ell, bool deg,
                           py::object datum, py::object out, py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const DtMapDatum& d = earth.datum;
    const DtReferenceEllipsoid& e = earth.ellipsoid;
    const Angles a{deg};
    const bool ownZone = zone.is_none();
    py::object zones = ownZone ? py::object(py::float_(0.0)) : zone;
    const DtUtmReferencePoint prototype = standardUtm(d);
    return qmpy::convert({lat, lon, zones}, kLatLonZone, 1, out, errors, threads, [&] {
        return [&e, a, ownZone, utm = std::make_shared<DtUtmReferencePoint>(prototype)](const double* in, double* o) {
            if (Outcome c = checkFinite(in, 0, 2); c.verdict != Verdict::Ok)
                return c;
            if (Outcome c = checkLatitude(a, in[0], 0); c.verdict != Verdict::Ok)
                return c;
            if (!ownZone)
                if (Outcome z = zoneOf(in[2], 2); z.verdict != Verdict::Ok)
                    return z;
            const double latR = a.in(in[0]), lonR = a.in(in[1]);
            const double lonDeg = DtModPerHi(DtRad2Deg(lonR), -180.0, 180.0);
            utm->setZoneOrigin(ownZone ? DtUtmGridZoneFromLatLon(DtRad2Deg(latR), lonDeg) : static_cast<long>(in[2]));
            // DtUtmGridDeclination(lat, lon), on this datum and reference point.
            DtGeodeticCoord g(latR, lonR, 0.0, &e);
            DtUtmCoord at(utm.get());
            DtGeodToUtm(g, at);
            g.setLat(g.lat() + 0.0001);
            DtUtmCoord stepped(at);
            DtGeodToUtm(g, stepped);
            o[0] = a.out(std::atan2(-(stepped.east() - at.east()), stepped.north() - at.north()));
            return Outcome{};
        };
    });
}

// ---- orientation over the ground -----------------------------------------------------

py::object ecef2hpr(py::object x, py::object y, py::object z, py::object psi, py::object theta, py::object phi,
                    py::object ell, bool deg, py::object datum, py::object out, py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const DtReferenceEllipsoid& e = earth.ellipsoid;
    const Angles a{deg};
    return qmpy::convert({x, y, z, psi, theta, phi}, kAttitude, 3, out, errors, threads,
                         [&] {
                             return [&earth, &e, a](const double* in, double* o) {
                                 if (Outcome c = checkFinite(in, 0, 6); c.verdict != Verdict::Ok)
                                     return c;
                                 // (the ground frame needs the position's latitude)
                                 if (Outcome c = earth.trusts(in, 0); c.verdict != Verdict::Ok)
                                     return c;
                                 // DtGetHeadingFromGeocentric and its siblings, on this datum.
                                 DtGeodeticCoord at(&e);
                                 at.setGeocentric(DtVector64(in[0], in[1], in[2]));
                                 DtDcm geocToTopo;
                                 DtLatLon_to_GeocToTopo(at, geocToTopo);
                                 DtTaitBryan ground;
                                 DtEulerToEuler(DtTaitBryan(a.in(in[3]), a.in(in[4]), a.in(in[5])), geocToTopo,
                                                &ground);
                                 o[0] = a.out(ground.psi()), o[1] = a.out(ground.theta()), o[2] = a.out(ground.phi());
                                 return Outcome{};
                             };
                         });
}

// ---- geodesics -----------------------------------------------------------------------

// The ellipsoid's series are worth keeping between calls: a single point
// costs little more than building them. One per thread, for the last ellipsoid.
const DtGeodesic& geodesicOf(const DtMapDatum& datum)
{
    thread_local std::optional<DtGeodesic> last;
    thread_local double lastA = 0, lastB = 0;
    if (!last || datum.spheroid.semiMajorAxis != lastA || datum.spheroid.semiMinorAxis != lastB) {
        last.emplace(datum);
        lastA = datum.spheroid.semiMajorAxis;
        lastB = datum.spheroid.semiMinorAxis;
    }
    return *last;
}

const char* const kInverseNames[] = {"lat1", "lon1", "lat2", "lon2"};
const char* const kDirectNames[] = {"lat1", "lon1", "azimuth", "distance"};

py::object geodesicInverse(py::object lat1, py::object lon1, py::object lat2, py::object lon2, py::object ell,
                           bool deg, py::object datum, bool full, py::object out, py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const DtGeodesic& g = geodesicOf(earth.datum);
    const Angles a{deg};
    return qmpy::convert({lat1, lon1, lat2, lon2}, kInverseNames, full ? 7 : 3, out, errors, threads, [&] {
        return [&g, a, full](const double* in, double* o) {
            if (Outcome c = checkFinite(in, 0, 4); c.verdict != Verdict::Ok)
                return c;
            for (int i : {0, 2})
                if (Outcome c = checkLatitude(a, in[i], i); c.verdict != Verdict::Ok)
                    return c;
            const DtGeodesicResult r = g.inverse(a.in(in[0]), a.in(in[1]), a.in(in[2]), a.in(in[3]),
                                                 full ? DtGeodesic::All : DtGeodesic::None);
            o[0] = r.s12, o[1] = a.out(r.azi1), o[2] = a.out(r.azi2);
            if (full)
                o[3] = r.m12, o[4] = r.M12, o[5] = r.M21, o[6] = r.S12;
            return Outcome{};
        };
    });
}

// n equally spaced points on the shortest geodesic between two points, ends included.
py::tuple geodesicWaypoints(double lat1, double lon1, double lat2, double lon2, py::ssize_t n, py::object ell, bool deg,
                            py::object datum)
{
    const Earth earth = earthOf(ell, datum);
    const DtGeodesic& g = geodesicOf(earth.datum);
    const Angles a{deg};
    const double ends[4] = {lat1, lon1, lat2, lon2};
    for (int i = 0; i < 4; ++i)
        if (!std::isfinite(ends[i]) || ((i == 0 || i == 2) && !(std::fabs(ends[i]) <= a.quarter())))
            throw py::value_error(std::string(kInverseNames[i]) + " = " + py::repr(py::float_(ends[i])).cast<std::string>() +
                                  (std::isfinite(ends[i]) ? ": a latitude beyond the poles" : ": not a finite number"));
    if (n < 2)
        throw py::value_error("n: expected at least 2 points (the two ends), got " + std::to_string(n));
    const DtGeodesicLine line = g.inverseLine(a.in(lat1), a.in(lon1), a.in(lat2), a.in(lon2));
    py::array_t<double> lat(n), lon(n), azimuth(n), distance(n);
    std::vector<DtGeodesicResult> points(static_cast<std::size_t>(n));
    {
        py::gil_scoped_release release;
        line.waypoints(line.distance(), points.size(), points.data());
    }
    for (py::ssize_t i = 0; i < n; ++i) {
        const DtGeodesicResult& p = points[static_cast<std::size_t>(i)];
        lat.mutable_at(i) = a.out(p.lat2), lon.mutable_at(i) = a.out(p.lon2), azimuth.mutable_at(i) = a.out(p.azi2);
        distance.mutable_at(i) = p.s12;
    }
    return py::make_tuple(lat, lon, azimuth, distance);
}

py::object geodesicDirect(py::object lat1, py::object lon1, py::object azimuth, py::object distance, py::object ell,
                          bool deg, py::object datum, py::object out, py::object errors, py::object threads)
{
    const Earth earth = earthOf(ell, datum);
    const DtGeodesic& g = geodesicOf(earth.datum);
    const Angles a{deg};
    return qmpy::convert({lat1, lon1, azimuth, distance}, kDirectNames, 3, out, errors, threads, [&] {
        return [&g, a](const double* in, double* o) {
            if (Outcome c = checkFinite(in, 0, 4); c.verdict != Verdict::Ok)
                return c;
            if (Outcome c = checkLatitude(a, in[0], 0); c.verdict != Verdict::Ok)
                return c;
            const DtGeodesicResult r = g.direct(a.in(in[0]), a.in(in[1]), a.in(in[2]), in[3]);
            o[0] = a.out(r.lat2), o[1] = a.out(r.lon2), o[2] = a.out(r.azi2);
            return Outcome{};
        };
    });
}

// The area and perimeter of one polygon from its vertices.
py::tuple geodesicPolygon(py::object lat, py::object lon, py::object ell, bool deg, py::object datum)
{
    const Earth earth = earthOf(ell, datum);
    const DtGeodesic& g = geodesicOf(earth.datum);
    const Angles a{deg};
    const py::array_t<double> la = qmpy::asFloat64(lat, "lat"), lo = qmpy::asFloat64(lon, "lon");
    if (la.ndim() != 1 || lo.ndim() != 1 || la.size() != lo.size())
        throw py::value_error("lat, lon: expected two 1-D arrays of the same length (the vertices), got shapes " +
                              py::repr(py::make_tuple(la.attr("shape"), lo.attr("shape"))).cast<std::string>());
    DtGeodesicPolygon polygon(g);
    for (py::ssize_t i = 0; i < la.size(); ++i) {
        const double v[2] = {la.at(i), lo.at(i)};
        for (int k = 0; k < 2; ++k)
            if (!std::isfinite(v[k]) || (k == 0 && !(std::fabs(v[0]) <= a.quarter())))
                throw py::value_error(std::string(k == 0 ? "lat" : "lon") + "[" + std::to_string(i) + "] = " +
                                      py::repr(py::float_(v[k])).cast<std::string>() +
                                      (k == 0 && std::isfinite(v[0]) ? ": a latitude beyond the poles" : ": not a finite number"));
        polygon.add(a.in(v[0]), a.in(v[1]));
    }
    double area, perimeter;
    polygon.compute(area, perimeter);
    return py::make_tuple(area, perimeter);
}

template <Local K, bool Geodetic, bool From>
py::object localFunction(py::object p, py::object q, py::object r, py::object lat0, py::object lon0, py::object h0,
                         py::object ell, bool deg, py::object datum, py::object out, py::object errors,
                         py::object threads)
{
    return From ? fromLocalFrame(K, Geodetic, p, q, r, lat0, lon0, h0, ell, deg, datum, out, errors, threads)
                : toLocalFrame(K, Geodetic, p, q, r, lat0, lon0, h0, ell, deg, datum, out, errors, threads);
}

}  // namespace

void bindRotations(py::module_& m);
void bindUtmGrid(py::module_& m, const DtMapDatum& (*datumNamed)(const py::object&));

PYBIND11_MODULE(_core, m)
{
    namespace docs = qmpy::docs;
    using namespace py::literals;
    using qmpy::withSignature;
    py::options options;
    options.disable_function_signatures();   // each docstring starts with its own text signature
    m.doc() = docs::kModule;
    m.attr("__version__") = QORMATRIX_VERSION;
    m.attr("DATUMS") = py::make_tuple("WGS84", "ED50", "NASANAD27", "NASBNAD27", "CONUSNAD27");
    m.attr("LibraryWarning") = py::reinterpret_steal<py::object>(PyErr_NewExceptionWithDoc(
        "qormatrix.LibraryWarning",
        "What the C++ library reported during a call (at most one warning per call).", PyExc_UserWarning, nullptr));

    const char* const kTail = "out=None, errors='raise', threads=None)";
    m.def("geodetic2ecef", qmpy::dispatching("geodetic2ecef", &geodetic2ecef), "lat"_a, "lon"_a, "alt"_a = 0.0, "ell"_a = py::none(), "deg"_a = true,
          py::kw_only(), "datum"_a = py::none(), "geoid"_a = py::none(), "out"_a = py::none(), "errors"_a = "raise",
          "threads"_a = py::none(),
          withSignature("geodetic2ecef", "(lat, lon, alt=0.0, ell=None, deg=True, *, datum=None, geoid=None, ", kTail,
                        docs::kGeodetic2Ecef));
    m.def("ecef2geodetic", qmpy::dispatching("ecef2geodetic", &ecef2geodetic), "x"_a, "y"_a, "z"_a, "ell"_a = py::none(), "deg"_a = true, py::kw_only(),
          "datum"_a = py::none(), "geoid"_a = py::none(), "out"_a = py::none(), "errors"_a = "raise",
          "threads"_a = py::none(),
          withSignature("ecef2geodetic", "(x, y, z, ell=None, deg=True, *, datum=None, geoid=None, ", kTail,
                        docs::kEcef2Geodetic));
    using LocalFunction = py::object (*)(py::object, py::object, py::object, py::object, py::object, py::object,
                                         py::object, bool, py::object, py::object, py::object, py::object);
    const auto local = [&](const char* name, LocalFunction f, std::array<const char*, 3> args, const char* doc) {
        const std::string head = std::string("(") + args[0] + ", " + args[1] + ", " + args[2] +
                                 ", lat0, lon0, h0=0.0, ell=None, deg=True, *, datum=None, ";
        m.def(name, qmpy::dispatching(name, f), py::arg(args[0]), py::arg(args[1]), py::arg(args[2]), "lat0"_a,
              "lon0"_a, "h0"_a = 0.0, "ell"_a = py::none(), "deg"_a = true, py::kw_only(), "datum"_a = py::none(),
              "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
              withSignature(name, head.c_str(), kTail, doc));
    };
    local("ecef2ned", &localFunction<Local::Ned, false, false>, {"x", "y", "z"}, docs::kEcef2Ned);
    local("ecef2enu", &localFunction<Local::Enu, false, false>, {"x", "y", "z"}, docs::kEcef2Enu);
    local("geodetic2ned", &localFunction<Local::Ned, true, false>, {"lat", "lon", "h"}, docs::kGeodetic2Ned);
    local("geodetic2enu", &localFunction<Local::Enu, true, false>, {"lat", "lon", "h"}, docs::kGeodetic2Enu);
    local("ned2ecef", &localFunction<Local::Ned, false, true>, {"n", "e", "d"}, docs::kNed2Ecef);
    local("enu2ecef", &localFunction<Local::Enu, false, true>, {"e1", "n1", "u1"}, docs::kEnu2Ecef);
    local("ned2geodetic", &localFunction<Local::Ned, true, true>, {"n", "e", "d"}, docs::kNed2Geodetic);
    local("enu2geodetic", &localFunction<Local::Enu, true, true>, {"e", "n", "u"}, docs::kEnu2Geodetic);

    const auto aerTarget = [&](const char* name, LocalFunction f, std::array<const char*, 6> args, const char* doc) {
        const std::string head = std::string("(") + args[0] + ", " + args[1] + ", " + args[2] + ", " + args[3] + ", " +
                                 args[4] + ", " + args[5] + ", ell=None, deg=True, *, datum=None, ";
        m.def(name, qmpy::dispatching(name, f), py::arg(args[0]), py::arg(args[1]), py::arg(args[2]), py::arg(args[3]),
              py::arg(args[4]), py::arg(args[5]), "ell"_a = py::none(), "deg"_a = true, py::kw_only(),
              "datum"_a = py::none(), "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
              withSignature(name, head.c_str(), kTail, doc));
    };
    aerTarget("geodetic2aer", &toAer<true>, {"lat", "lon", "h", "lat0", "lon0", "h0"}, docs::kGeodetic2Aer);
    aerTarget("ecef2aer", &toAer<false>, {"x", "y", "z", "lat0", "lon0", "h0"}, docs::kEcef2Aer);
    aerTarget("aer2geodetic", &fromAer<true>, {"az", "el", "srange", "lat0", "lon0", "h0"}, docs::kAer2Geodetic);
    aerTarget("aer2ecef", &fromAer<false>, {"az", "el", "srange", "lat0", "lon0", "alt0"}, docs::kAer2Ecef);
    using OffsetFunction = py::object (*)(py::object, py::object, py::object, bool, py::object, py::object, py::object);
    const auto offsets = [&](const char* name, OffsetFunction f, std::array<const char*, 3> args, const char* doc) {
        const std::string head = std::string("(") + args[0] + ", " + args[1] + ", " + args[2] + ", deg=True, *, ";
        m.def(name, qmpy::dispatching(name, f), py::arg(args[0]), py::arg(args[1]), py::arg(args[2]), "deg"_a = true,
              py::kw_only(), "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
              withSignature(name, head.c_str(), kTail, doc));
    };
    offsets("enu2aer", &localToAer<Local::Enu>, {"e", "n", "u"}, docs::kEnu2Aer);
    offsets("ned2aer", &localToAer<Local::Ned>, {"n", "e", "d"}, docs::kNed2Aer);
    offsets("aer2enu", &aerToLocal<Local::Enu>, {"az", "el", "srange"}, docs::kAer2Enu);
    offsets("aer2ned", &aerToLocal<Local::Ned>, {"az", "elev", "slantRange"}, docs::kAer2Ned);
    m.def("lookAtSpheroid", qmpy::dispatching("lookAtSpheroid", &lookAtSpheroid), "lat0"_a, "lon0"_a, "h0"_a, "az"_a,
          "tilt"_a, "ell"_a = py::none(), "deg"_a = true, py::kw_only(), "height"_a = 0.0, "datum"_a = py::none(),
          "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
          withSignature("lookAtSpheroid", "(lat0, lon0, h0, az, tilt, ell=None, deg=True, *, height=0.0, datum=None, ",
                        kTail, docs::kLookAtSpheroid));
    m.def("clearance", qmpy::dispatching("clearance", &clearance), "lat0"_a, "lon0"_a, "h0"_a, "lat"_a, "lon"_a, "h"_a,
          "ell"_a = py::none(), "deg"_a = true, py::kw_only(), "height"_a = 0.0, "datum"_a = py::none(),
          "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
          withSignature("clearance", "(lat0, lon0, h0, lat, lon, h, ell=None, deg=True, *, height=0.0, datum=None, ",
                        kTail, docs::kClearance));
    m.def("geodetic2ups", qmpy::dispatching("geodetic2ups", &geodetic2ups), "lat"_a, "lon"_a, "ell"_a = py::none(),
          "deg"_a = true, py::kw_only(), "datum"_a = py::none(), "out"_a = py::none(), "errors"_a = "raise",
          "threads"_a = py::none(),
          withSignature("geodetic2ups", "(lat, lon, ell=None, deg=True, *, datum=None, ", kTail, docs::kGeodetic2Ups));
    m.def("ups2geodetic", qmpy::dispatching("ups2geodetic", &ups2geodetic), "easting"_a, "northing"_a, "hemisphere"_a,
          "ell"_a = py::none(), "deg"_a = true, py::kw_only(), "datum"_a = py::none(), "out"_a = py::none(),
          "errors"_a = "raise", "threads"_a = py::none(),
          withSignature("ups2geodetic", "(easting, northing, hemisphere, ell=None, deg=True, *, datum=None, ", kTail,
                        docs::kUps2Geodetic));
    m.def("geodetic2mgrs", &geodetic2mgrs, "lat"_a, "lon"_a, "digits"_a = 5, "ell"_a = py::none(), "deg"_a = true,
          py::kw_only(), "datum"_a = py::none(), "errors"_a = "raise",
          withSignature("geodetic2mgrs", "(lat, lon, digits=5, ell=None, deg=True, *, datum=None, errors='raise')", "",
                        docs::kGeodetic2Mgrs));
    m.def("mgrs2geodetic", &mgrs2geodetic, "text"_a, "centre"_a = true, "ell"_a = py::none(), "deg"_a = true,
          py::kw_only(), "datum"_a = py::none(), "errors"_a = "raise",
          withSignature("mgrs2geodetic", "(text, centre=True, ell=None, deg=True, *, datum=None, errors='raise')", "",
                        docs::kMgrs2Geodetic));
    m.def("geodetic2utm", qmpy::dispatching("geodetic2utm", &geodetic2utm), "lat"_a, "lon"_a, py::kw_only(), "zone"_a = py::none(),
          "zone_rule"_a = "library", "ell"_a = py::none(), "deg"_a = true, "datum"_a = py::none(), "out"_a = py::none(),
          "errors"_a = "raise", "threads"_a = py::none(),
          withSignature("geodetic2utm", "(lat, lon, *, zone=None, zone_rule='library', ell=None, deg=True, datum=None, ",
                        kTail, docs::kGeodetic2Utm));
    m.def("utm2geodetic", qmpy::dispatching("utm2geodetic", &utm2geodetic), "easting"_a, "northing"_a, "zone"_a, py::kw_only(),
          "hemisphere"_a = py::none(), "band"_a = py::none(), "ell"_a = py::none(), "deg"_a = true,
          "datum"_a = py::none(), "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
          withSignature("utm2geodetic",
                        "(easting, northing, zone, *, hemisphere=None, band=None, ell=None, deg=True, datum=None, ",
                        kTail, docs::kUtm2Geodetic));
    m.def("grid_declination", qmpy::dispatching("grid_declination", &gridDeclination), "lat"_a, "lon"_a, py::kw_only(), "zone"_a = py::none(),
          "ell"_a = py::none(), "deg"_a = true, "datum"_a = py::none(), "out"_a = py::none(), "errors"_a = "raise",
          "threads"_a = py::none(),
          withSignature("grid_declination", "(lat, lon, *, zone=None, ell=None, deg=True, datum=None, ", kTail,
                        docs::kGridDeclination));
    m.def("ecef2hpr", qmpy::dispatching("ecef2hpr", &ecef2hpr), "x"_a, "y"_a, "z"_a, "psi"_a, "theta"_a, "phi"_a, py::kw_only(),
          "ell"_a = py::none(), "deg"_a = true, "datum"_a = py::none(), "out"_a = py::none(), "errors"_a = "raise",
          "threads"_a = py::none(),
          withSignature("ecef2hpr", "(x, y, z, psi, theta, phi, *, ell=None, deg=True, datum=None, ", kTail,
                        docs::kEcef2Hpr));
    m.def("geodesic_inverse", qmpy::dispatching("geodesic_inverse", &geodesicInverse), "lat1"_a, "lon1"_a, "lat2"_a,
          "lon2"_a, "ell"_a = py::none(), "deg"_a = true, py::kw_only(), "datum"_a = py::none(), "full"_a = false,
          "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
          withSignature("geodesic_inverse", "(lat1, lon1, lat2, lon2, ell=None, deg=True, *, datum=None, full=False, ",
                        kTail, docs::kGeodesicInverse));
    m.def("geodesic_waypoints", &geodesicWaypoints, "lat1"_a, "lon1"_a, "lat2"_a, "lon2"_a, "n"_a,
          "ell"_a = py::none(), "deg"_a = true, py::kw_only(), "datum"_a = py::none(),
          withSignature("geodesic_waypoints", "(lat1, lon1, lat2, lon2, n, ell=None, deg=True, *, datum=None)", "",
                        docs::kGeodesicWaypoints));
    m.def("geodesic_direct", qmpy::dispatching("geodesic_direct", &geodesicDirect), "lat1"_a, "lon1"_a, "azimuth"_a,
          "distance"_a, "ell"_a = py::none(), "deg"_a = true, py::kw_only(), "datum"_a = py::none(),
          "out"_a = py::none(), "errors"_a = "raise", "threads"_a = py::none(),
          withSignature("geodesic_direct", "(lat1, lon1, azimuth, distance, ell=None, deg=True, *, datum=None, ",
                        kTail, docs::kGeodesicDirect));
    m.def("geodesic_polygon", &geodesicPolygon, "lat"_a, "lon"_a, "ell"_a = py::none(), "deg"_a = true, py::kw_only(),
          "datum"_a = py::none(),
          withSignature("geodesic_polygon", "(lat, lon, ell=None, deg=True, *, datum=None)", "", docs::kGeodesicPolygon));
    bindRotations(m);
    bindUtmGrid(m, &datumNamed);
    qmpy::bindGeoid(m);
    qmpy::bindMagnetic(m);
}
