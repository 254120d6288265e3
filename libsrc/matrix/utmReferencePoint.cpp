#include <utmReferencePoint.h>

#include "diagnostics.h"

#include <modper.h>
#include <qvScalar.h>
#include <qvutil/dtOutput.h>

#include <climits>
#include <cmath>

namespace Vorant {

double DtUtmReferencePoint::theLongitudeFudgeFactor = 0.0;

namespace {

// Named in the inverse conversion's datum warning.
const char* const kSourcePath = "libsrc/matrix/utmReferencePoint.cpp";

const char* const kNotInitialized = "UTM Reference point must be initialized before used for coord conversions";

const double kDefaultScale = 0.9996;
const double kFalseEasting = 500000.0;
const double kFalseNorthing = 10000000.0;
const double kFalseNorthingCrossover = 8000000.0;

// Built by the default constructor from this file's own copy of DtWGS84.
DtUtmReferencePoint theGlobalUtmRefPt;

// Central meridian of a zone in degrees, 6 Z - 183, in integer arithmetic;
// zone numbers whose product would overflow are computed in double instead.
double centralMeridianDeg(long zone)
{
    if (zone > LONG_MAX / 6 || zone < LONG_MIN / 6 + 31)
        return 6.0 * double(zone) - 183.0;
    const long degrees = zone > 30 ? (zone - 31) * 6 + 3 : zone * 6 - 183;
    return double(degrees);
}

DtDegMinSec zeroAngle()
{
    DtDegMinSec a;
    a.degrees = 0.0;
    a.minutes = 0.0;
    a.seconds = 0.0;
    a.hemisphere = DtHemisphere(0);
    return a;
}

}  // namespace

DtUtmReferencePoint* DtGlobalUtmReferencePoint()
{
    return &theGlobalUtmRefPt;
}

void DtUtmInit(const DtDegMinSec& latRef, const DtDegMinSec& longRef, int standardOffsets, long zone)
{
    theGlobalUtmRefPt.init(latRef, longRef, standardOffsets, zone, DtCurrentMapDatum());
}

int DtUtmGridZoneFromLatLon(double latDeg, double lonDeg)
{
    if (56 <= latDeg && latDeg <= 64 && 3 <= lonDeg && lonDeg <= 12)
        return 32;
    if (72 <= latDeg && latDeg <= 80 && 0 <= lonDeg && lonDeg <= 42)
        return 31 + 2 * int((lonDeg + 3) / 12);
    const double zone = lonDeg / 6 + 31;
    // Truncation toward zero; a NaN or an out-of-range value has no zone.
    if (!(zone > double(INT_MIN) && zone < double(INT_MAX)))
        return 0;
    return int(zone);
}

// ---- construction and set-up ----------------------------------------------------

DtUtmReferencePoint::DtUtmReferencePoint()
    : myInitialized(0),
      myStandardOffsets(1),
      myXOrigin(0.0),
      myYOrigin(0.0),
      myZoneOrigin(0),
      myLatRef(zeroAngle()),
      myLongRef(zeroAngle()),
      myRefEllipsoid(DtWGS84),
      myDatumSemiMajor(0.0),
      myDatumSemiMinor(0.0),
      myEccentricitySq(0.0),
      mySecondEccentricitySq(0.0),
      myThirdFlattening(0.0),
      myScale(kDefaultScale),
      myStandardFalseEasting(kFalseEasting),
      myStandardFalseNorthing(kFalseNorthing),
      myStandardFalseNorthingCrossover(kFalseNorthingCrossover)
{
}

DtUtmReferencePoint::DtUtmReferencePoint(const DtDegMinSec& latRef, const DtDegMinSec& longRef, int standardOffsets,
                                         long zone, const DtMapDatum& datum, double scale)
    : DtUtmReferencePoint()
{
    myRefEllipsoid.useMapDatum(datum);
    myScale = scale;
    init(latRef, longRef, standardOffsets, zone, datum);
}

DtUtmReferencePoint::~DtUtmReferencePoint() = default;

void DtUtmReferencePoint::init(const DtDegMinSec& latRef, const DtDegMinSec& longRef, int standardOffsets,
                               long zone, const DtMapDatum& datum)
{
    DtDegMinSec lon = longRef;
    if (lon.hemisphere == DtWest)
        lon.seconds -= theLongitudeFudgeFactor;
    else
        lon.seconds += theLongitudeFudgeFactor;
    myLongRef = lon;
    myLatRef = latRef;
    myStandardOffsets = standardOffsets;
    myStandardFalseEasting = kFalseEasting;
    myStandardFalseNorthing = kFalseNorthing;
    myStandardFalseNorthingCrossover = kFalseNorthingCrossover;
    myZoneOrigin = zone;
    useMapDatum(datum);
    myInitialized = 1;
}

void DtUtmReferencePoint::useMapDatum(const DtMapDatum& datum)
{
    myRefEllipsoid.useMapDatum(datum);
    initDatumConstants();
    const double lat[4] = {myLatRef.degrees, myLatRef.minutes, myLatRef.seconds,
                           myLatRef.hemisphere == DtNorth ? 1.0 : -1.0};
    const double lon[4] = {myLongRef.degrees, myLongRef.minutes, myLongRef.seconds,
                           myLongRef.hemisphere == DtWest ? 1.0 : -1.0};
    initUtm(lat, lon, myZoneOrigin);
}

void DtUtmReferencePoint::initDatumConstants()
{
    const DtSpheroid& s = mapDatum().spheroid;
    const double a = s.semiMajorAxis;
    const double b = s.semiMinorAxis;
    myDatumSemiMajor = a;
    myDatumSemiMinor = b;
    myEccentricitySq = (a * a - b * b) / (a * a);
    mySecondEccentricitySq = myEccentricitySq / (1 - myEccentricitySq);
    const double f = (a - b) / a;
    myThirdFlattening = f / (2 - f);
}

void DtUtmReferencePoint::initUtm(const double* lat, const double* lon, long zone)
{
    double latDeg, lonDeg;
    degree(lat, &latDeg);
    degree(lon, &lonDeg);
    latDeg = latDeg * lat[3];
    lonDeg = lonDeg * lon[3];
    myXOrigin = 0;
    myYOrigin = 0;
    myZoneOrigin = zone;
    geod2utm(latDeg, -lonDeg, &myZoneOrigin, &myYOrigin, &myXOrigin);
}

void DtUtmReferencePoint::degree(const double* dms, double* out) const
{
    *out = (dms[0] + dms[1] / 60) + dms[2] / 3600;
}

void DtUtmReferencePoint::uninitialize()
{
    myStandardOffsets = 1;
    myRefEllipsoid.useMapDatum(DtWGS84);
    myXOrigin = myYOrigin = 0;
    myDatumSemiMajor = myDatumSemiMinor = 0;
    myEccentricitySq = mySecondEccentricitySq = myThirdFlattening = 0;
    myZoneOrigin = 0;
    myScale = kDefaultScale;
    myStandardFalseEasting = kFalseEasting;
    myStandardFalseNorthing = kFalseNorthing;
    myStandardFalseNorthingCrossover = kFalseNorthingCrossover;
    myInitialized = 0;
    myLatRef.degrees = myLatRef.minutes = myLatRef.seconds = 0;
    myLongRef.degrees = myLongRef.minutes = myLongRef.seconds = 0;
}

// ---- queries and setters -----------------------------------------------------------

const DtMapDatum& DtUtmReferencePoint::mapDatum() const { return myRefEllipsoid.mapDatum(); }
const DtReferenceEllipsoid* DtUtmReferencePoint::ellipsoid() const { return &myRefEllipsoid; }
bool DtUtmReferencePoint::isInitialized() const { return myInitialized != 0; }
double DtUtmReferencePoint::scale() const { return myScale; }
void DtUtmReferencePoint::setScale(double scale) { myScale = scale; }
double DtUtmReferencePoint::xOrigin() const { return myXOrigin; }
void DtUtmReferencePoint::setXOrgin(double xOrigin) { myXOrigin = xOrigin; }
double DtUtmReferencePoint::yOrigin() const { return myYOrigin; }
void DtUtmReferencePoint::setYOrgin(double yOrigin) { myYOrigin = yOrigin; }
int DtUtmReferencePoint::standardOffsets() const { return myStandardOffsets; }
void DtUtmReferencePoint::setStandardOffsets(int standardOffsets) { myStandardOffsets = standardOffsets; }
DtDegMinSec DtUtmReferencePoint::latRef() const { return myLatRef; }
void DtUtmReferencePoint::setLatRef(const DtDegMinSec& latRef) { myLatRef = latRef; }
DtDegMinSec DtUtmReferencePoint::longRef() const { return myLongRef; }
void DtUtmReferencePoint::setLongRef(const DtDegMinSec& longRef) { myLongRef = longRef; }
long DtUtmReferencePoint::zoneOrigin() const { return myZoneOrigin; }
void DtUtmReferencePoint::setZoneOrigin(long zone) { myZoneOrigin = zone; }
double DtUtmReferencePoint::standardFalseEasting() const { return myStandardFalseEasting; }
void DtUtmReferencePoint::setStandardFalseEasting(double easting) { myStandardFalseEasting = easting; }
double DtUtmReferencePoint::standardFalseNorthing() const { return myStandardFalseNorthing; }
void DtUtmReferencePoint::setStandardFalseNorthing(double northing) { myStandardFalseNorthing = northing; }
double DtUtmReferencePoint::standardFalseNorthingCrossover() const { return myStandardFalseNorthingCrossover; }
void DtUtmReferencePoint::setStandardFalseNorthingCrossover(double northing)
{
    myStandardFalseNorthingCrossover = northing;
}

// ---- radian forms ----------------------------------------------------------------------

void DtUtmReferencePoint::geod2utm(double lat, double lon, double* easting, double* northing)
{
    if (myInitialized == 0)
        detail::throwDtException(kNotInitialized,
                                 "virtual void Vorant::DtUtmReferencePoint::geod2utm(double, double, double*, double*)",
                                 __FILE__, __LINE__);
    if (this == &theGlobalUtmRefPt && mapDatum() != DtCurrentMapDatum())
        DtWarn << "This shouldn't happen\n";

    double lonDeg = DtRad2Deg(lon);
    const double latDeg = DtRad2Deg(lat);
    lonDeg = DtModPerHi(lonDeg, -180.0, 180.0);
    geod2utm(latDeg, lonDeg, &myZoneOrigin, northing, easting);

    if (myStandardOffsets == 0) {
        *easting -= myXOrigin;
        *northing -= myYOrigin;
    } else {
        *easting += myStandardFalseEasting;
        if (*northing < 0)
            *northing += myStandardFalseNorthing;
    }
}

void DtUtmReferencePoint::utm2geod(double easting, double northing, double* lat, double* lon)
{
    if (myInitialized == 0)
        detail::throwDtException(kNotInitialized,
                                 "virtual void Vorant::DtUtmReferencePoint::utm2geod(double, double, double*, double*)",
                                 __FILE__, __LINE__);
    if (this == &theGlobalUtmRefPt && mapDatum() != DtCurrentMapDatum())
        DtWarn("This shouldn't happen %s %d\n", kSourcePath, __LINE__);

    if (myStandardOffsets != 0) {
        easting -= myStandardFalseEasting;
        if (northing > myStandardFalseNorthingCrossover)
            northing -= myStandardFalseNorthing;
    } else {
        easting += myXOrigin;
        northing += myYOrigin;
    }
    utm2geod(northing, easting, myZoneOrigin, lat, lon);
    *lat = DtDeg2Rad(*lat);
    *lon = DtDeg2Rad(*lon);
}

// ---- zone forms --------------------------------------------------------------------------

void DtUtmReferencePoint::geod2utm(double latDeg, double lonDeg, long* zone, double* northing, double* easting)
{
    const long z = *zone != 0 ? *zone : long(DtUtmGridZoneFromLatLon(latDeg, lonDeg));

    const double a = myDatumSemiMajor;
    const double e2 = myEccentricitySq;
    const double ep2 = mySecondEccentricitySq;
    const double k0 = myScale;
    const double e4 = e2 * e2;
    const double e6 = e4 * e2;
    const double e8 = e6 * e2;

    // Meridian-arc coefficients, to the e^8 terms.
    const double a0 = 1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256 - 175 * e8 / 16384;
    const double a2 = 3 * e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024 - 1365 * e8 / 32768;
    const double a4 = 15 * e4 / 256 + 45 * e6 / 1024 - 1155 * e8 / 32768;
    const double a6 = 35 * e6 / 3072 - 1435 * e8 / 98304;
    const double a8 = -315 * e8 / 131072;

    const double phi = DtDeg2Rad(latDeg);
    const double lambda = DtDeg2Rad(lonDeg);
    const double lambda0 = DtDeg2Rad(centralMeridianDeg(z));

    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double tanPhi = std::tan(phi);
    const double n = a / std::sqrt(1 - e2 * (sinPhi * sinPhi));
    const double t = tanPhi * tanPhi;
    const double q = ep2 * (cosPhi * cosPhi);
    const double aa = (lambda - lambda0) * cosPhi;

    const double sin2 = std::sin(2 * phi);
    const double cos2 = std::cos(2 * phi);
    const double m = a * (a0 * phi + sin2 * (((8 * a8 * cos2 - 4 * a6) * cos2 + (2 * a4 - 4 * a8)) * cos2 + (a6 - a2)));

    const double aa2 = aa * aa;
    const double aa3 = aa2 * aa;
    const double aa4 = aa3 * aa;
    const double aa5 = aa4 * aa;
    const double aa6 = aa5 * aa;

    *easting = k0 * n * (aa + (1 - t + q) * aa3 / 6 + (5 - 18 * t + t * t + 72 * q - 58 * ep2) * aa5 / 120);
    *northing = k0 * (m + n * tanPhi *
                              (aa2 / 2 + (5 - t + 9 * q + 4 * (q * q)) * aa4 / 24 +
                               (61 - 58 * t + t * t + 600 * q - 330 * ep2) * aa6 / 720));
    *zone = z;
}

void DtUtmReferencePoint::utm2geod(double northing, double easting, long zone, double* latDeg, double* lonDeg)
{
    const double a = myDatumSemiMajor;
    const double e2 = myEccentricitySq;
    const double ep2 = mySecondEccentricitySq;
    const double k0 = myScale;
    const double n = myThirdFlattening;
    const double e4 = e2 * e2;
    const double e6 = e4 * e2;
    const double n2 = n * n;
    const double n3 = n2 * n;
    const double n4 = n3 * n;

    const double j1 = 3 * n / 2 - 27 * n3 / 32;
    const double j2 = 21 * n2 / 16 - 55 * n4 / 32;
    const double j3 = 151 * n3 / 96;
    const double j4 = 1097 * n4 / 512;

    const double lambda0 = DtDeg2Rad(centralMeridianDeg(zone));

    // The rectifying divisor stops at the e^6 term.
    const double mu = (northing / k0) / (a * (1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256));
    const double sin2 = std::sin(2 * mu);
    const double cos2 = std::cos(2 * mu);
    const double phi1 = mu + sin2 * (((8 * j4 * cos2 + 4 * j3) * cos2 + (2 * j2 - 4 * j4)) * cos2 + (j1 - j3));

    const double sinPhi1 = std::sin(phi1);
    const double cosPhi1 = std::cos(phi1);
    const double tanPhi1 = std::tan(phi1);
    const double c1 = ep2 * (cosPhi1 * cosPhi1);
    const double t1 = tanPhi1 * tanPhi1;
    const double w = 1 - e2 * (sinPhi1 * sinPhi1);
    const double n1 = a / std::sqrt(w);
    const double r1 = a * (1 - e2) / (std::sqrt(w) * w);
    const double d = easting / (k0 * n1);

    const double d2 = d * d;
    const double d3 = d2 * d;
    const double d4 = d3 * d;
    const double d5 = d4 * d;
    const double d6 = d5 * d;

    const double phi = phi1 - (n1 * tanPhi1 / r1) *
                                  (d2 / 2 - (5 + 3 * t1 + 10 * c1 - 4 * (c1 * c1) - 9 * ep2) * d4 / 24 +
                                   (61 + 90 * t1 + 298 * c1 + 45 * (t1 * t1) - 252 * ep2 - 3 * (c1 * c1)) * d6 / 720);
    const double lambda = lambda0 + (d - (1 + 2 * t1 + c1) * d3 / 6 +
                                     (5 - 2 * c1 + 28 * t1 - 3 * (c1 * c1) + 8 * ep2 + 24 * (t1 * t1)) * d5 / 120) /
                                        cosPhi1;
    *latDeg = DtRad2Deg(phi);
    *lonDeg = DtRad2Deg(lambda);
}

}  // namespace Vorant
