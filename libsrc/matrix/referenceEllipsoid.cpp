#include <referenceEllipsoid.h>

#include "diagnostics.h"
#include "fastTrig.h"

#include <qvutil/dtOutput.h>
#include <qvutil/dtString.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace Vorant {

std::uint32_t DtReferenceEllipsoid::theMaxIterationsForConvergence = 5000;
bool DtReferenceEllipsoid::theNotifyOnConversionFrom0Geocentric = true;
bool DtReferenceEllipsoid::theThrowExceptionOnConversionFrom0Geocentric = false;

namespace {

const double kHalfPi = 1.5707963267948966;
const double kPi = 3.141592653589793;

// Built from this file's own copy of the datum constant.
DtReferenceEllipsoid theGlobalEllipsoid(DtWGS84);

}  // namespace

DtReferenceEllipsoid& DtGlobalEllipsoid()
{
    return theGlobalEllipsoid;
}

const DtMapDatum& DtCurrentMapDatum()
{
    return theGlobalEllipsoid.mapDatum();
}

DtReferenceEllipsoid::DtReferenceEllipsoid(const DtMapDatum& datum)
    : myDatum(),
      mySemiMajor(0.0),
      mySemiMajorSquared(0.0),
      myFlattening(0.0),
      mySemiMinor(0.0),
      mySemiMinorSquared(0.0),
      myPolarRadiusOfCurvature(0.0),
      myEccentricitySquared(0.0),
      myOneMinusFlatteningSquared(0.0)
{
    useMapDatum(datum);
}

DtReferenceEllipsoid::~DtReferenceEllipsoid() = default;

void DtReferenceEllipsoid::useMapDatum(const DtMapDatum& datum)
{
    if (datum != myDatum) {
        myDatum = datum;
        const double a = myDatum.spheroid.semiMajorAxis;
        const double b0 = myDatum.spheroid.semiMinorAxis;
        initialize_ellipsoid(a, (a - b0) / a);
    }
}

void DtReferenceEllipsoid::initialize_ellipsoid(double a, double f)
{
    mySemiMajor = a;
    mySemiMajorSquared = a * a;
    myFlattening = f;
    mySemiMinor = (1 - f) * a;
    mySemiMinorSquared = mySemiMinor * mySemiMinor;
    myPolarRadiusOfCurvature = a * a / mySemiMinor;
    myEccentricitySquared = (2 - f) * f;
    myOneMinusFlatteningSquared = (1 - f) * (1 - f);
}

void DtReferenceEllipsoid::geodetic_to_geocentric(double lat, double lon, double h, double* x, double* y,
                                                  double* z) const
{
    const double s = std::sin(lat);
    const double n = mySemiMajor / std::sqrt(1 - myEccentricitySquared * s * s);
    *z = (myOneMinusFlatteningSquared * n + h) * s;
    const double p = (n + h) * std::cos(lat);
    *x = std::cos(lon) * p;
    *y = std::sin(lon) * p;
}

void DtReferenceEllipsoid::geocentric_to_geodetic(double x, double y, double z, double* lat, double* lon,
                                                  double* h) const
{
    const double a = mySemiMajor;
    const double b = mySemiMinor;
    const double aa = mySemiMajorSquared;
    const double bb = mySemiMinorSquared;

    // Longitude, and the polar axis where it is undefined.
    bool longitudeUndefined = false;
    if (!(x == 0)) {
        *lon = std::atan2(y, x);
    } else if (y > 0) {
        *lon = kHalfPi;
    } else if (y < 0) {
        *lon = -kHalfPi;
    } else {
        longitudeUndefined = true;
        if (theThrowExceptionOnConversionFrom0Geocentric)
            throw std::runtime_error("Longitude is undefined when X = Y = 0");
        const bool notify = theNotifyOnConversionFrom0Geocentric && DtNotifyLevel > 1;
        if (notify)
            DtInfo << "Longitude is undefined when X = Y = 0\n";
        *lon = 0;
        if (z > 0) {
            *lat = kHalfPi;
        } else if (z < 0) {
            *lat = -kHalfPi;
        } else if (z == 0) {
            if (notify)
                DtInfo("Both latitude and h are undefined when X = Y = Z = 0\n");
            *lat = 0;
            *lon = 0;
            *h = -a;
            return;
        } else {
            *lat = z;   // a NaN Z gives a NaN latitude
        }
    }

    const double r2 = x * x + y * y;
    const double r = std::sqrt(r2);
    const double z2 = z * z;

    // Start value of the multiplier and of the foot point.
    const double q = bb * r2 + aa * z2;
    double lambda = 0.5 * ((std::sqrt(q) - a * b) * (a * b * q)) / ((bb * bb) * r2 + (aa * aa) * z2);
    const double xe = x / (2 * lambda / aa + 1);
    const double ye = y / (2 * lambda / aa + 1);
    double ze = z / (2 * lambda / bb + 1);
    double d = std::sqrt((x - xe) * (x - xe) + (y - ye) * (y - ye) + (z - ze) * (z - ze));

    std::uint32_t k = 0;
    double re, dPrev;   // (set by the first step)
    do {
        dPrev = d;
        const double capA = 2 * lambda / a + a;
        const double capB = 2 * lambda / b + b;
        const double f = r2 / (capA * capA) + z2 / (capB * capB) - 1;
        const double fPrime = -4 * r2 / (a * capA * (capA * capA)) - 4 * z2 / (b * capB * (capB * capB));
        lambda = lambda - f / fPrime;
        re = r / (2 * lambda / aa + 1);
        ze = z / (2 * lambda / bb + 1);
        d = std::sqrt((r - re) * (r - re) + (z - ze) * (z - ze));
        if (k > maxIterationsForConvergence()) {
            const DtString message = DtString("Maximum Iterations exceeded(") +
                                     DtString(maxIterationsForConvergence()) + "), probable error.";
            detail::throwDtException(message,
                                     "void Vorant::DtReferenceEllipsoid::geocentric_to_geodetic(double, double, "
                                     "double, double*, double*, double*) const",
                                     __FILE__, __LINE__);
        }
        k = k + 1;
    } while (std::fabs(d - dPrev) > 0.5);   // metres; a NaN ends the loop

    *h = (re * re + ze * ze > r2 + z2) ? -d : d;   // negative inside the ellipsoid

    if (longitudeUndefined)
        return;

    double phi = std::atan(std::sqrt(std::fabs(1 - re * re / aa)) * myPolarRadiusOfCurvature / re);
    if (z < 0)
        phi = -phi;
    *lat = phi;
}

void DtReferenceEllipsoid::geodeticToGeocentric(const DtVector64& geodetic, DtVector64& geocentric) const
{
    double x, y, z;
    geodetic_to_geocentric(geodetic[0], geodetic[1], geodetic[2], &x, &y, &z);
    geocentric[0] = x + myDatum.deltaX;
    geocentric[1] = y + myDatum.deltaY;
    geocentric[2] = z + myDatum.deltaZ;
}

void DtReferenceEllipsoid::geocentricToGeodetic(const DtVector64& geocentric, DtVector64& geodetic) const
{
    const double x = geocentric[0] - myDatum.deltaX;
    const double y = geocentric[1] - myDatum.deltaY;
    const double z = geocentric[2] - myDatum.deltaZ;
    geocentric_to_geodetic(x, y, z, &geodetic[0], &geodetic[1], &geodetic[2]);
}

namespace {

using detail::BitsPair;
using detail::DoublePair;
using detail::bitsOf;
using detail::pairOf;
using detail::selectPair;
using detail::sqrtPair;

inline DoublePair fabsPair(DoublePair v)
{
    return pairOf(bitsOf(v) & ~bitsOf(DoublePair{-0.0, -0.0}));
}

// Two positions (datum shift removed) through geocentric_to_geodetic's steps,
// one in each lane, in that function's order of operations; a lane that has
// settled keeps its values while the other goes on. A lane on the polar axis,
// or one still moving after the passes the iteration cap allows, is left to
// the one-value call: done[k] says which lanes were finished.
void geodeticPair(const DtReferenceEllipsoid& e, const double (&x)[2], const double (&y)[2], const double (&z)[2],
                  DtVector64 (&out)[2], bool (&done)[2])
{
    const double a = e.semiMajor();
    const double b = e.semiMinor();
    const double aa = e.semiMajorSquared();
    const double bb = e.semiMinorSquared();
    const DoublePair px{x[0], x[1]}, py{y[0], y[1]}, pz{z[0], z[1]};

    const DoublePair r2 = px * px + py * py;
    const DoublePair r = sqrtPair(r2);
    const DoublePair z2 = pz * pz;
    const DoublePair q = bb * r2 + aa * z2;
    DoublePair lambda = 0.5 * ((sqrtPair(q) - a * b) * (a * b * q)) / ((bb * bb) * r2 + (aa * aa) * z2);
    const DoublePair xe = px / (2 * lambda / aa + 1);
    const DoublePair ye = py / (2 * lambda / aa + 1);
    DoublePair ze = pz / (2 * lambda / bb + 1);
    DoublePair d = sqrtPair((px - xe) * (px - xe) + (py - ye) * (py - ye) + (pz - ze) * (pz - ze));

    // Passes 0 to the cap never throw; a lane still moving after them is
    // taken again by the one-value call, which throws where it would.
    const std::uint64_t passes = std::uint64_t{DtReferenceEllipsoid::maxIterationsForConvergence()} + 1;
    BitsPair moving = ~BitsPair{};
    DoublePair re{};
    for (std::uint64_t k = 0; k < passes && (moving[0] | moving[1]); ++k) {
        const DoublePair dPrev = d;
        const DoublePair capA = 2 * lambda / a + a;
        const DoublePair capB = 2 * lambda / b + b;
        const DoublePair f = r2 / (capA * capA) + z2 / (capB * capB) - 1;
        const DoublePair fPrime = -4 * r2 / (a * capA * (capA * capA)) - 4 * z2 / (b * capB * (capB * capB));
        lambda = lambda - f / fPrime;   // (a settled lane's is never read again)
        const DoublePair nextRe = r / (2 * lambda / aa + 1);
        const DoublePair nextZe = pz / (2 * lambda / bb + 1);
        const DoublePair nextD = sqrtPair((r - nextRe) * (r - nextRe) + (pz - nextZe) * (pz - nextZe));
        re = selectPair(moving, nextRe, re);
        ze = selectPair(moving, nextZe, ze);
        d = selectPair(moving, nextD, d);
        moving &= bitsOf(fabsPair(nextD - dPrev) > 0.5);   // a NaN settles
    }

    const DoublePair h = selectPair(re * re + ze * ze > r2 + z2, -d, d);
    const DoublePair t = sqrtPair(fabsPair(1 - re * re / aa)) * e.polarRadiusOfCurvature() / re;
    const auto finish = [&](int k) {
        done[k] = !(x[k] == 0) && moving[k] == 0;
        if (done[k]) {
            const double phi = std::atan(t[k]);
            out[k] = DtVector64(z[k] < 0 ? -phi : phi, std::atan2(y[k], x[k]), h[k]);
        }
    };
    finish(0), finish(1);
}

}  // namespace

void DtReferenceEllipsoid::geocentricToGeodetic(std::size_t n, const DtVector64* geocentric,
                                                DtVector64* geodetic) const
{
    std::size_t i = 0;
    for (; i + 1 < n; i += 2) {
        const DtVector64 in[2] = {geocentric[i], geocentric[i + 1]};   // before any output is written
        const double x[2] = {in[0][0] - myDatum.deltaX, in[1][0] - myDatum.deltaX};
        const double y[2] = {in[0][1] - myDatum.deltaY, in[1][1] - myDatum.deltaY};
        const double z[2] = {in[0][2] - myDatum.deltaZ, in[1][2] - myDatum.deltaZ};
        DtVector64 out[2];
        bool done[2];
        geodeticPair(*this, x, y, z, out, done);
        const auto write = [&](std::size_t k) {
            if (done[k])
                geodetic[i + k] = out[k];
            else
                geocentricToGeodetic(in[k], geodetic[i + k]);
        };
        write(0), write(1);
    }
    if (i < n)
        geocentricToGeodetic(geocentric[i], geodetic[i]);
}

void DtReferenceEllipsoid::geo_to_rad(double deg, double min, double sec, double* rad) const
{
    *rad = (deg + min / 60 + sec / 3600) * kPi / 180;
}

void DtReferenceEllipsoid::rad_to_geo(double rad, double* deg, double* min, double* sec) const
{
    const double v = std::fabs(rad * 180 / kPi);
    *deg = std::floor(v);
    const double m = 60 * (v - *deg);
    *min = std::floor(m);
    *sec = 60 * (m - *min);
}

}  // namespace Vorant
