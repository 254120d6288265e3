#include "lookAngles.h"

#include "axes.h"
#include "diagnostics.h"
#include "fastTrig.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>

namespace Vorant {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const char kBadPosition[] = "Invalid position: a latitude beyond +/-pi/2 or a value that is not finite";
const char kBadLook[] = "Invalid look angles: a negative range or a value that is not finite";
const char kBadSight[] =
    "Invalid line of sight: a direction of no length, a height at or below -b, or a value that is not finite";

bool finite(std::initializer_list<double> values)
{
    for (const double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

void checkPosition(double lat, double lon, double h, const char* signature, unsigned int line)
{
    if (!(std::fabs(lat) <= kPi / 2 && finite({lon, h})))
        detail::throwDtException(kBadPosition, signature, __FILE__, line);
}

// What the kernels below need, for one element (double) or two at once
// (detail::DoublePair, each lane the one-element bits).
using detail::DoublePair;

inline double rootOf(double v)
{
    return std::sqrt(v);
}

inline DoublePair rootOf(DoublePair v)
{
    return detail::sqrtPair(v);
}

inline double atan2Of(double y, double x)
{
    return detail::fastAtan2(y, x);
}

inline DoublePair atan2Of(DoublePair y, DoublePair x)
{
    return detail::fastAtan2Pair(y, x);
}

inline void sinCosOf(double x, double& s, double& c)
{
    detail::fastSinCos(x, s, c);
}

inline void sinCosOf(DoublePair x, DoublePair& s, DoublePair& c)
{
    detail::fastSinCosPair(x, s, c);
}

// a where m holds, else b, through the bits: kept a select (the compiler
// makes "m ? a : b" a branch, which the sign of random azimuths defeats half
// the time).
inline double pick(bool m, double a, double b)
{
    std::uint64_t ua, ub;
    std::memcpy(&ua, &a, sizeof a);
    std::memcpy(&ub, &b, sizeof b);
    const std::uint64_t mask = 0 - static_cast<std::uint64_t>(m);
    ub = (ua & mask) | (ub & ~mask);
    std::memcpy(&b, &ub, sizeof b);
    return b;
}

inline DoublePair pick(detail::MaskPair m, DoublePair a, DoublePair b)
{
    return detail::selectPair(m, a, b);
}

// The ellipsoid's numbers for the exact conversion.
struct Shape
{
    double a, b, f, e2, ep2;
};

Shape shapeOf(double a, double b)
{
    const double d = (a - b) * (a + b);
    return Shape{a, b, (a - b) / a, d / (a * a), d / (b * b)};
}

// (s, c) scaled to length 1: one division, two products.
template <class T>
inline void normalize(T& s, T& c)
{
    const T r = 1.0 / rootOf(s * s + c * c);
    s *= r;
    c *= r;
}

// One pass of the foot point's iteration (below): the reduced latitude's
// direction (sb, cb) from the latitude's, then the latitude's from it.
template <class T>
inline void footPointPass(const Shape& s, T p, T z, T& sphi, T& cphi, T& sb, T& cb)
{
    sb = (1 - s.f) * sphi;
    cb = cphi;
    normalize(sb, cb);
    sphi = z + s.ep2 * s.b * (sb * sb * sb);
    cphi = p - s.e2 * s.a * (cb * cb * cb);
    cphi = pick(cphi < 0.0, T{}, cphi);   // inside the evolute: not past the pole
}

// The latitude's direction scaled, and the height above the foot point.
template <class T>
inline T footPointHeight(const Shape& s, T p, T z, T& sphi, T& cphi)
{
    normalize(sphi, cphi);
    return p * cphi + z * sphi - s.a * rootOf(1.0 - s.e2 * (sphi * sphi));
}

// Whether two passes of the iteration below reach the rounding, for a point
// whose distance from the centre is the root of distance2.
bool twoPassesReach(const Shape& s, double distance2)
{
    return std::fabs(s.e2) <= 0.0075 && distance2 >= 0.49 * (s.a * s.a);
}

// The foot point's latitude (as its sine and cosine) and the height of a
// point (datum frame) whose distance from the axis is p. Bowring's iteration
// on the reduced latitude, from the surface point's latitude. It converges
// faster than quadratically: on the earth's ellipsoids (|e^2| <= 0.0075) two
// passes reach the rounding of the input from 0.7 a out to 1e10 m (measured
// against the iteration in long double), so there the second pass ends it
// without a third to check it; nearer the centre, a pass that changed less
// than 1e-10 leaves nothing for another. Inside the evolute (within a e^2 of
// the centre) the foot point is not unique: the iteration still ends, at one
// of them.
double footPoint(const Shape& s, double p, double z, double& sphi, double& cphi)
{
    if (p == 0 && z == 0) {
        sphi = 1;
        cphi = 0;
        return -s.b;
    }
    if (z == 0 && p < s.a * s.e2) {
        // In the equatorial plane inside the evolute the iteration cannot
        // leave the equator, whose foot point is not the nearest: the
        // northern of the two that are, in closed form (p = N e^2 cos(phi)).
        cphi = p * std::sqrt(1 - s.e2) / std::sqrt(s.e2 * (s.a * s.a * s.e2 - p * p));
        sphi = std::sqrt((1 - cphi) * (1 + cphi));
        return -(1 - s.e2) * s.a / std::sqrt(1 - s.e2 * sphi * sphi);
    }
    // The latitude's direction (sphi, cphi) is kept unscaled between passes:
    // the reduced latitude, scaled once a pass, is all a pass needs of it.
    sphi = z;
    cphi = p * (1 - s.e2);
    // (NaN before the first pass: no change is measured against it.)
    double sbPrevious = std::numeric_limits<double>::quiet_NaN(), cbPrevious = sbPrevious;
    const bool twoPasses = twoPassesReach(s, p * p + z * z);
    for (int pass = 0; pass < 10; ++pass) {
        double sb, cb;
        footPointPass(s, p, z, sphi, cphi, sb, cb);
        if (twoPasses && pass == 1)
            break;
        const double change = std::fabs(sb - sbPrevious) + std::fabs(cb - cbPrevious);
        if (change < 1e-10)
            break;
        sbPrevious = sb;
        cbPrevious = cb;
    }
    return footPointHeight(s, p, z, sphi, cphi);
}

DtVector64 exactGeodetic(const Shape& s, const DtVector64& v)
{
    const double p = std::sqrt(v[0] * v[0] + v[1] * v[1]);
    double sphi, cphi;
    const double h = footPoint(s, p, v[2], sphi, cphi);
    return DtVector64(detail::fastAtan2(sphi, cphi), detail::fastAtan2(v[1], v[0]), h);
}

DtVector64 shiftOf(const DtMapDatum& d)
{
    return DtVector64(d.deltaX, d.deltaY, d.deltaZ);
}

double dot(const DtVector64& u, const DtVector64& v)
{
    return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
}

// The outward normal of the ellipsoid at a point's foot point, and its height.
double heightAndNormal(const Shape& s, const DtVector64& v, DtVector64& normal)
{
    const double p = std::sqrt(v[0] * v[0] + v[1] * v[1]);
    double sphi, cphi;
    const double h = footPoint(s, p, v[2], sphi, cphi);
    const double cl = p > 0 ? v[0] / p : 1, sl = p > 0 ? v[1] / p : 0;
    normal = DtVector64(cphi * cl, cphi * sl, sphi);
    return h;
}

// Azimuth in [0, 2 pi) (never -0 or 2 pi), elevation and range of an offset.
template <class T>
inline void lookAnglesOf(T n, T e, T d, T& azimuth, T& elevation, T& range)
{
    const T horizontal = rootOf(n * n + e * e);
    const T angle = atan2Of(e, n), wrapped = angle + 2 * kPi;
    azimuth = pick(angle < 0.0, wrapped, angle + 0.0);   // a select, not a branch; no -0
    azimuth = pick(azimuth >= 2 * kPi, T{}, azimuth);     // -tiny rounds to 2 pi
    elevation = atan2Of(-d, horizontal);
    // The range from all three at once: its root runs beside the horizontal one.
    range = rootOf((n * n + e * e) + d * d);
}

// North, east and down of look angles (checked by the caller).
inline DtVector64 nedOf(const DtLookAngles& look)
{
    double sa, ca, se, ce;
    detail::fastSinCos(look.azimuth, sa, ca);
    detail::fastSinCos(look.elevation, se, ce);
    const double horizontal = look.range * ce;
    return DtVector64(horizontal * ca, horizontal * sa, -look.range * se);
}

inline DtLookAngles lookAnglesOf(double n, double e, double d)
{
    DtLookAngles look;
    lookAnglesOf(n, e, d, look.azimuth, look.elevation, look.range);
    return look;
}

}  // namespace

DtLookAngles DtNedToLookAngles(const DtVector64& ned)
{
    return lookAnglesOf(ned[0], ned[1], ned[2]);
}

DtLookAngles DtEnuToLookAngles(const DtVector64& enu)
{
    return DtNedToLookAngles(DtVector64(enu[1], enu[0], -enu[2]));
}

DtVector64 DtLookAnglesToNed(const DtLookAngles& look)
{
    if (!(finite({look.azimuth, look.elevation, look.range}) && look.range >= 0))
        detail::throwDtException(kBadLook, "Vorant::DtVector64 Vorant::DtLookAnglesToNed(const Vorant::DtLookAngles&)",
                                 __FILE__, __LINE__);
    return nedOf(look);
}

DtVector64 DtLookAnglesToEnu(const DtLookAngles& look)
{
    const DtVector64 ned = DtLookAnglesToNed(look);
    return DtVector64(ned[1], ned[0], -ned[2]);
}

DtVector64 DtGeocentricToGeodeticExact(const DtVector64& geocentric, const DtMapDatum& datum)
{
    const DtVector64 v = geocentric - shiftOf(datum);
    return exactGeodetic(shapeOf(datum.spheroid.semiMajorAxis, datum.spheroid.semiMinorAxis), v);
}

DtObserver::DtObserver(double lat, double lon, double h) : DtObserver(lat, lon, h, DtCurrentMapDatum()) {}

DtObserver::DtObserver(double lat, double lon, double h, const DtMapDatum& datum)
    : myEllipsoid(datum), myLat(lat), myLon(lon), myH(h), myPosition(), myLocal(), myA(myEllipsoid.semiMajor()),
      myE2(myEllipsoid.eccentricitySquared()), myNorth(), myEast(), myDown()
{
    checkPosition(lat, lon, h, "Vorant::DtObserver::DtObserver(double, double, double, const Vorant::DtMapDatum&)",
                  __LINE__);
    myEllipsoid.geodeticToGeocentric(DtVector64(lat, lon, h), myPosition);
    myLocal = myPosition - shiftOf(datum);
    const double sp = std::sin(lat), cp = std::cos(lat), sl = std::sin(lon), cl = std::cos(lon);
    const double north[3] = {-sp * cl, -sp * sl, cp}, east[3] = {-sl, cl, 0.0}, down[3] = {-cp * cl, -cp * sl, -sp};
    for (const int i : detail::kAxes) {
        myNorth[i] = north[i];
        myEast[i] = east[i];
        myDown[i] = down[i];
    }
}

DtVector64 DtObserver::toNed(const DtVector64& geocentric) const
{
    const double dx = geocentric[0] - myPosition[0], dy = geocentric[1] - myPosition[1],
                 dz = geocentric[2] - myPosition[2];
    return DtVector64(myNorth[0] * dx + myNorth[1] * dy + myNorth[2] * dz, myEast[0] * dx + myEast[1] * dy,
                      myDown[0] * dx + myDown[1] * dy + myDown[2] * dz);
}

DtVector64 DtObserver::fromNed(const DtVector64& ned) const
{
    const double n = ned[0], e = ned[1], d = ned[2];
    return DtVector64(myPosition[0] + (myNorth[0] * n + myEast[0] * e + myDown[0] * d),
                      myPosition[1] + (myNorth[1] * n + myEast[1] * e + myDown[1] * d),
                      myPosition[2] + (myNorth[2] * n + myDown[2] * d));
}

DtLookAngles DtObserver::lookAt(const DtVector64& geocentric) const
{
    const DtVector64 ned = toNed(geocentric);
    return lookAnglesOf(ned[0], ned[1], ned[2]);
}

void DtObserver::lookAt(std::size_t n, const DtVector64* geocentric, DtLookAngles* out) const
{
    std::size_t i = 0;
    for (; i + 2 <= n; i += 2) {   // toNed's operations in each lane
        const DtVector64 &p = geocentric[i], &q = geocentric[i + 1];
        const DoublePair dx = DoublePair{p[0], q[0]} - myPosition[0], dy = DoublePair{p[1], q[1]} - myPosition[1],
                         dz = DoublePair{p[2], q[2]} - myPosition[2];
        DoublePair azimuth, elevation, range;
        lookAnglesOf(myNorth[0] * dx + myNorth[1] * dy + myNorth[2] * dz, myEast[0] * dx + myEast[1] * dy,
                     myDown[0] * dx + myDown[1] * dy + myDown[2] * dz, azimuth, elevation, range);
        out[i] = DtLookAngles{azimuth[0], elevation[0], range[0]};
        out[i + 1] = DtLookAngles{azimuth[1], elevation[1], range[1]};
    }
    if (i < n)
        out[i] = lookAt(geocentric[i]);
}

// The work of one element, shared by the single calls (after their checks)
// and the loops over many elements (inlined there, so that consecutive
// elements overlap): the same operations, so the same bits. lookAt works on
// one element (T = double) or on two in the lanes of a register (T =
// DoublePair), which halves the instructions of a long loop.
struct ObserverKernels
{
    template <class T>
    [[gnu::always_inline]] static inline void lookAt(const DtObserver& o, T lat, T lon, T h, T& azimuth, T& elevation,
                                                     T& range)
    {
        // The target's position relative to the observer on the datum's own
        // ellipsoid (the shift cancels), from the library's inline sine and
        // cosine: within a few nanometres of the geocentric route, at half its
        // cost. The prime vertical radius a / w by its series in e^2 sin^2 (no
        // root, no division: a shorter chain; exact to 1e-20 on the earth's
        // ellipsoids).
        // The latitude's sine and cosine by their series on [-pi/2, pi/2] (no
        // reduction to a quadrant: a shorter chain), to a few units in the last
        // place (the cosine to 2e-16 absolute at the poles).
        const T s = lat * lat, s2 = s * s, s4 = s2 * s2, s8 = s4 * s4;
        // (Taylor's coefficients, 1/k! with signs: at most 1.2e-18 left out.)
        const T sinSeries = (((-1.0 / 6 + s * (1.0 / 120)) + s2 * (-1.0 / 5040 + s * (1.0 / 362880))) +
                                  s4 * ((-2.505210838544172e-08 + s * 1.6059043836821613e-10) +
                                        s2 * (-7.647163731819816e-13 + s * 2.8114572543455206e-15))) +
                                 s8 * ((-8.22063524662433e-18 + s * 1.9572941063391263e-20) + s2 * -3.868170170630684e-23);
        const T cosSeries = (((1.0 / 24 - s * (1.0 / 720)) + s2 * (1.0 / 40320 - s * (1.0 / 3628800))) +
                                  s4 * ((2.08767569878681e-09 - s * 1.1470745597729725e-11) +
                                        s2 * (4.779477332387385e-14 - s * 1.5619206968586225e-16))) +
                                 s8 * (4.110317623312165e-19 - s * 8.896791392450574e-22);
        const T sp = lat + lat * (s * sinSeries), cp = (1.0 - 0.5 * s) + s2 * cosSeries;
        T sl, cl;
        sinCosOf(lon, sl, cl);
        const T x = o.myE2 * (sp * sp);
        T inverseW;
        if (o.myE2 <= 0.0075) {
            const T x2 = x * x, x4 = x2 * x2, x8 = x4 * x4;
            inverseW = (((1.0 + x * 0.5) + x2 * (3.0 / 8 + x * (5.0 / 16))) +
                        x4 * ((35.0 / 128 + x * (63.0 / 256)) + x2 * (231.0 / 1024 + x * (429.0 / 2048)))) +
                       x8 * (6435.0 / 32768);
        } else {
            inverseW = 1.0 / rootOf(1.0 - x);
        }
        const T n = o.myA * inverseW, r = (n + h) * cp;
        const T dx = r * cl - o.myLocal[0], dy = r * sl - o.myLocal[1], dz = ((1 - o.myE2) * n + h) * sp - o.myLocal[2];
        lookAnglesOf(o.myNorth[0] * dx + o.myNorth[1] * dy + o.myNorth[2] * dz, o.myEast[0] * dx + o.myEast[1] * dy,
                     o.myDown[0] * dx + o.myDown[1] * dy + o.myDown[2] * dz, azimuth, elevation, range);
    }

    [[gnu::always_inline]] static inline DtVector64 geodeticAt(const DtObserver& o, const Shape& s, const DtLookAngles& look)
    {
        const DtVector64 at = o.fromNed(nedOf(look));
        return exactGeodetic(s, DtVector64(at[0] - o.mapDatum().deltaX, at[1] - o.mapDatum().deltaY,
                                           at[2] - o.mapDatum().deltaZ));
    }

    // geodeticAt of two elements in the lanes of a register, each lane the
    // single call's operations; only where both take the foot point's two
    // passes (the earth's ellipsoids from 0.7 a outwards): false, and
    // nothing written, otherwise.
    [[gnu::always_inline]] static inline bool geodeticAt(const DtObserver& o, const Shape& s, const DtLookAngles& l0,
                                                         const DtLookAngles& l1, DtVector64& out0, DtVector64& out1)
    {
        DoublePair sa, ca, se, ce;
        sinCosOf(DoublePair{l0.azimuth, l1.azimuth}, sa, ca);
        sinCosOf(DoublePair{l0.elevation, l1.elevation}, se, ce);
        const DoublePair range = {l0.range, l1.range}, horizontal = range * ce;
        const DoublePair n = horizontal * ca, e = horizontal * sa, d = -range * se;
        const DtMapDatum& datum = o.mapDatum();
        const DoublePair x = (o.myPosition[0] + (o.myNorth[0] * n + o.myEast[0] * e + o.myDown[0] * d)) - datum.deltaX,
                         y = (o.myPosition[1] + (o.myNorth[1] * n + o.myEast[1] * e + o.myDown[1] * d)) - datum.deltaY,
                         z = (o.myPosition[2] + (o.myNorth[2] * n + o.myDown[2] * d)) - datum.deltaZ;
        const DoublePair p = rootOf(x * x + y * y), distance2 = p * p + z * z;
        if (!(twoPassesReach(s, distance2[0]) && twoPassesReach(s, distance2[1])))
            return false;
        DoublePair sphi = z, cphi = p * (1 - s.e2), sb, cb;
        footPointPass(s, p, z, sphi, cphi, sb, cb);
        footPointPass(s, p, z, sphi, cphi, sb, cb);
        const DoublePair h = footPointHeight(s, p, z, sphi, cphi);
        const DoublePair lat = atan2Of(sphi, cphi), lon = atan2Of(y, x);
        out0 = DtVector64(lat[0], lon[0], h[0]);
        out1 = DtVector64(lat[1], lon[1], h[1]);
        return true;
    }

    // A ray's direction in the common frame from its azimuth and elevation.
    [[gnu::always_inline]] static inline DtVector64 directionOf(const DtObserver& o, double azimuth, double elevation)
    {
        double sa, ca, se, ce;
        detail::fastSinCos(azimuth, sa, ca);
        detail::fastSinCos(elevation, se, ce);
        const double n = ce * ca, e = ce * sa;
        return DtVector64(o.myNorth[0] * n + o.myEast[0] * e - o.myDown[0] * se,
                          o.myNorth[1] * n + o.myEast[1] * e - o.myDown[1] * se, o.myNorth[2] * n - o.myDown[2] * se);
    }

    // What a line of sight needs of the observer and the height, whatever
    // the direction: worked out once for many rays.
    struct Sight
    {
        Shape s;
        DtVector64 shift, o;
        double height, A, B, ox, oy, oz, qc, inverseA, inverseB;

        Sight(const DtObserver& observer, double h)
            : s(shapeOf(observer.myEllipsoid.semiMajor(), observer.myEllipsoid.semiMinor())),
              shift(shiftOf(observer.mapDatum())), o(observer.myPosition - shift), height(h),
              // The ellipsoid with both axes longer by the height: exact for
              // height 0, the start of Newton's method on the true height
              // otherwise. In units of the axes, so that the constant term's
              // cancellation costs no more than a rounding of the position.
              A(s.a + h), B(s.b + h), ox(o[0] / A), oy(o[1] / A), oz(o[2] / B),
              qc((ox * ox + oy * oy + oz * oz) - 1), inverseA(1 / A), inverseB(1 / B)
        {
        }
    };

    // Where the ray along the unit vector u first meets the raised ellipsoid.
    [[gnu::always_inline]] static inline DtSightPoint lineOfSight(const Sight& g, const DtVector64& u)
    {
        const Shape& s = g.s;
        const DtVector64& o = g.o;
        const double ux = u[0] * g.inverseA, uy = u[1] * g.inverseA, uz = u[2] * g.inverseB;
        const double qa = ux * ux + uy * uy + uz * uz, qb = 2 * (g.ox * ux + g.oy * uy + g.oz * uz), qc = g.qc;
        const double disc = qb * qb - 4 * qa * qc;
        if (disc < 0)
            return DtSightPoint{false, kNaN, kNaN, kNaN, DtVector64(kNaN, kNaN, kNaN), kNaN};
        const double root = std::sqrt(disc);
        double t;
        if (qc > 0) {   // outside: the nearer crossing ahead, if any
            if (qb >= 0)
                return DtSightPoint{false, kNaN, kNaN, kNaN, DtVector64(kNaN, kNaN, kNaN), kNaN};
            t = qc / (0.5 * (root - qb));
        } else {   // inside or on it: where the ray leaves
            t = qb > 0 ? qc / (-0.5 * (qb + root)) : 0.5 * (root - qb) / qa;
        }
        const double height = g.height;
        if (height != 0) {
            for (int step = 0; step < 8; ++step) {
                DtVector64 normal;
                const DtVector64 at(o[0] + t * u[0], o[1] + t * u[1], o[2] + t * u[2]);
                const double h = heightAndNormal(s, at, normal) - height, slope = dot(u, normal);
                if (slope == 0)
                    break;
                const double dt = h / slope;
                t -= dt;
                if (std::fabs(dt) < 1e-10)
                    break;
            }
        }
        DtSightPoint hit;
        hit.hit = true;
        const DtVector64 at(o[0] + t * u[0], o[1] + t * u[1], o[2] + t * u[2]);
        if (height == 0) {
            // On the ellipsoid (to the rounding of the position) the normal is
            // (x / a^2, y / a^2, z / b^2): tan(lat) = z / ((1 - e^2) p), no iteration.
            hit.lat = detail::fastAtan2(at[2], (1 - s.e2) * std::sqrt(at[0] * at[0] + at[1] * at[1]));
            hit.lon = detail::fastAtan2(at[1], at[0]);
        } else {
            const DtVector64 geodetic = exactGeodetic(s, at);
            hit.lat = geodetic[0];
            hit.lon = geodetic[1];
        }
        hit.h = height;
        hit.geocentric = at + g.shift;
        hit.range = t;
        return hit;
    }
};

DtLookAngles DtObserver::lookAt(double lat, double lon, double h) const
{
    checkPosition(lat, lon, h, "Vorant::DtLookAngles Vorant::DtObserver::lookAt(double, double, double) const",
                  __LINE__);
    DtLookAngles look;
    ObserverKernels::lookAt(*this, lat, lon, h, look.azimuth, look.elevation, look.range);
    return look;
}

void DtObserver::lookAt(std::size_t n, const double* lat, const double* lon, const double* h, DtLookAngles* out) const
{
    const auto good = [&](std::size_t i) {
        return std::fabs(lat[i]) <= kPi / 2 && std::isfinite(lon[i]) && std::isfinite(h[i]);
    };
    const auto one = [&](std::size_t i) {
        DtLookAngles look{kNaN, kNaN, kNaN};
        if (good(i))
            ObserverKernels::lookAt(*this, lat[i], lon[i], h[i], look.azimuth, look.elevation, look.range);
        out[i] = look;
    };
    std::size_t i = 0;
    for (; i + 2 <= n; i += 2) {
        if (good(i) && good(i + 1)) {
            DoublePair azimuth, elevation, range;
            ObserverKernels::lookAt(*this, DoublePair{lat[i], lat[i + 1]}, DoublePair{lon[i], lon[i + 1]},
                                    DoublePair{h[i], h[i + 1]}, azimuth, elevation, range);
            out[i] = DtLookAngles{azimuth[0], elevation[0], range[0]};
            out[i + 1] = DtLookAngles{azimuth[1], elevation[1], range[1]};
        } else {
            one(i);
            one(i + 1);
        }
    }
    if (i < n)
        one(i);
}

DtVector64 DtObserver::geocentricAt(const DtLookAngles& look) const
{
    return fromNed(DtLookAnglesToNed(look));
}

DtVector64 DtObserver::geodeticAt(const DtLookAngles& look) const
{
    return DtGeocentricToGeodeticExact(geocentricAt(look), mapDatum());
}

void DtObserver::geodeticAt(std::size_t n, const DtLookAngles* look, DtVector64* out) const
{
    const Shape s = shapeOf(mapDatum().spheroid.semiMajorAxis, mapDatum().spheroid.semiMinorAxis);
    const auto good = [&](std::size_t i) {
        return finite({look[i].azimuth, look[i].elevation, look[i].range}) && look[i].range >= 0;
    };
    const auto one = [&](std::size_t i) {
        out[i] = good(i) ? ObserverKernels::geodeticAt(*this, s, look[i]) : DtVector64(kNaN, kNaN, kNaN);
    };
    std::size_t i = 0;
    for (; i + 2 <= n; i += 2)
        if (!(good(i) && good(i + 1) && ObserverKernels::geodeticAt(*this, s, look[i], look[i + 1], out[i], out[i + 1]))) {
            one(i);
            one(i + 1);
        }
    if (i < n)
        one(i);
}

DtSightPoint DtObserver::lineOfSight(double azimuth, double elevation, double height) const
{
    if (!(finite({azimuth, elevation, height}) && height > -myEllipsoid.semiMinor()))
        detail::throwDtException(kBadSight, "Vorant::DtSightPoint Vorant::DtObserver::lineOfSight(double, double, double) const",
                                 __FILE__, __LINE__);
    // The direction from the two angles has length 1 to the rounding: used as it is.
    return ObserverKernels::lineOfSight(ObserverKernels::Sight(*this, height),
                                        ObserverKernels::directionOf(*this, azimuth, elevation));
}

void DtObserver::lineOfSight(std::size_t n, const double* azimuth, const double* elevation, double height,
                             DtSightPoint* out) const
{
    const DtSightPoint refused{false, kNaN, kNaN, kNaN, DtVector64(kNaN, kNaN, kNaN), kNaN};
    if (!(std::isfinite(height) && height > -mapDatum().spheroid.semiMinorAxis)) {
        for (std::size_t i = 0; i < n; ++i)
            out[i] = refused;
        return;
    }
    const ObserverKernels::Sight sight(*this, height);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = std::isfinite(azimuth[i]) && std::isfinite(elevation[i])
                     ? ObserverKernels::lineOfSight(sight, ObserverKernels::directionOf(*this, azimuth[i], elevation[i]))
                     : refused;
}

DtSightPoint DtObserver::lineOfSight(const DtVector64& direction, double height) const
{
    const double length = std::sqrt(dot(direction, direction));
    if (!(finite({direction[0], direction[1], direction[2], height}) && length > 0 && std::isfinite(length) &&
          height > -myEllipsoid.semiMinor()))
        detail::throwDtException(kBadSight,
                                 "Vorant::DtSightPoint Vorant::DtObserver::lineOfSight(const Vorant::DtVector64&, double) "
                                 "const",
                                 __FILE__, __LINE__);
    return ObserverKernels::lineOfSight(ObserverKernels::Sight(*this, height),
                                        DtVector64(direction[0] / length, direction[1] / length, direction[2] / length));
}

DtClearance DtObserver::clearance(const DtVector64& target, double height) const
{
    if (!finite({target[0], target[1], target[2], height}))
        detail::throwDtException(kBadPosition,
                                 "Vorant::DtClearance Vorant::DtObserver::clearance(const Vorant::DtVector64&, double) const",
                                 __FILE__, __LINE__);
    const Shape s = shapeOf(myEllipsoid.semiMajor(), myEllipsoid.semiMinor());
    const DtVector64 shift = shiftOf(mapDatum());
    const DtVector64 o = myPosition - shift, d = target - myPosition;
    auto at = [&](double f) { return DtVector64(o[0] + f * d[0], o[1] + f * d[1], o[2] + f * d[2]); };
    // The height along a straight segment is convex (the signed distance to
    // a convex body): its lowest point is an end, or where its slope, the
    // segment's direction along the foot point's normal, changes sign.
    DtVector64 n0, n1;
    const double h0 = heightAndNormal(s, o, n0), h1 = heightAndNormal(s, at(1), n1);
    double lowest = h0, where = 0;
    if (dot(d, n0) < 0 && dot(d, n1) > 0) {
        // Regula falsi on the slope, the Illinois way (the end kept twice
        // has its value halved).
        double fa = 0, fb = 1, ga = dot(d, n0), gb = dot(d, n1);
        int kept = 0;
        for (int step = 0; step < 100 && fb - fa > 1e-16; ++step) {
            const double f = (fa * gb - fb * ga) / (gb - ga);
            DtVector64 normal;
            heightAndNormal(s, at(f), normal);
            const double g = dot(d, normal);
            if (g < 0) {
                fa = f;
                ga = g;
                gb = kept == 1 ? gb / 2 : gb;
                kept = 1;
            } else {
                fb = f;
                gb = g;
                ga = kept == -1 ? ga / 2 : ga;
                kept = -1;
            }
            where = f;
            if (g == 0 || std::fabs(fb - fa) * std::sqrt(dot(d, d)) < 1e-9)
                break;
        }
        DtVector64 normal;
        lowest = heightAndNormal(s, at(where), normal);
    } else if (h1 < h0) {
        lowest = h1;
        where = 1;
    }
    return DtClearance{lowest >= height, lowest, where};
}

DtClearance DtObserver::clearance(double lat, double lon, double h, double height) const
{
    checkPosition(lat, lon, h, "Vorant::DtClearance Vorant::DtObserver::clearance(double, double, double, double) const",
                  __LINE__);
    DtVector64 target;
    myEllipsoid.geodeticToGeocentric(DtVector64(lat, lon, h), target);
    return clearance(target, height);
}

}  // namespace Vorant
