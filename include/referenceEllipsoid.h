// The reference ellipsoid: conversion between geodetic (latitude, longitude,
// height above the ellipsoid) and geocentric (earth-centred, earth-fixed X, Y,
// Z) positions on one map datum. Radians and metres throughout.
#ifndef QORMATRIX_REFERENCE_ELLIPSOID_H
#define QORMATRIX_REFERENCE_ELLIPSOID_H

#include <mapDatum.h>
#include <qvVector.h>
#include <qvutil/dtExport.h>

#include <cstddef>
#include <cstdint>

namespace Vorant {

/// One map datum's ellipsoid and the conversions on it.
class DT_EXPORT DtReferenceEllipsoid
{
public:
    /// Bound to the datum.
    DtReferenceEllipsoid(const DtMapDatum& datum);
    virtual ~DtReferenceEllipsoid();
    DtReferenceEllipsoid(const DtReferenceEllipsoid&) = default;
    DtReferenceEllipsoid& operator=(const DtReferenceEllipsoid&) = default;

    /// Binds another datum; the derived values are recomputed only when it
    /// differs from the held one.
    void useMapDatum(const DtMapDatum& datum);
    /// The held datum.
    const DtMapDatum& mapDatum() const { return myDatum; }

    /// Sets every derived value from the semi-major axis and the flattening.
    void initialize_ellipsoid(double a, double f);

    /// Closed form, no datum shift.
    void geodetic_to_geocentric(double lat, double lon, double h, double* x, double* y, double* z) const;
    /// Newton iteration on the Lagrange multiplier of the foot point, no datum
    /// shift. Throws std::runtime_error for X = Y = 0 when so configured, and
    /// DtException when the iteration cap is exceeded.
    void geocentric_to_geodetic(double x, double y, double z, double* lat, double* lon, double* h) const;
    /// (lat, lon, h) to common-frame (X, Y, Z): the datum shift is added.
    void geodeticToGeocentric(const DtVector64& geodetic, DtVector64& geocentric) const;
    /// Common-frame (X, Y, Z) to (lat, lon, h): the datum shift is removed first.
    void geocentricToGeodetic(const DtVector64& geocentric, DtVector64& geodetic) const;
    /// Many positions: element i as the call above gives it for geocentric[i]
    /// (the same bits, notices and exceptions; an exception leaves the
    /// elements after the one that threw unwritten). Two positions share a
    /// register's lanes where they can, which makes long arrays faster. The
    /// arrays may be the same array.
    void geocentricToGeodetic(std::size_t n, const DtVector64* geocentric, DtVector64* geodetic) const;

    /// Degrees, minutes and seconds (all of one sign) to radians.
    void geo_to_rad(double deg, double min, double sec, double* rad) const;
    /// Radians to non-negative degrees, minutes and seconds (the sign is dropped).
    void rad_to_geo(double rad, double* deg, double* min, double* sec) const;

    /// The derived values: a, a^2, f, b = (1 - f) a, b^2, a^2 / b, e^2 and (1 - f)^2.
    double semiMajor() const { return mySemiMajor; }
    double semiMajorSquared() const { return mySemiMajorSquared; }
    double flattening() const { return myFlattening; }
    double semiMinor() const { return mySemiMinor; }
    double semiMinorSquared() const { return mySemiMinorSquared; }
    double polarRadiusOfCurvature() const { return myPolarRadiusOfCurvature; }
    double eccentricitySquared() const { return myEccentricitySquared; }
    double oneMinusFlatteningSquared() const { return myOneMinusFlatteningSquared; }

    /// The iteration cap of geocentric_to_geodetic (passes 0 to cap are allowed).
    static void setMaxIterationsForConvergence(unsigned int cap) { theMaxIterationsForConvergence = cap; }
    static unsigned int maxIterationsForConvergence() { return theMaxIterationsForConvergence; }
    /// Whether X = Y = 0 is noticed on DtInfo (at a level above 1).
    static void setNotifyConversionFrom0Geocentric(bool notify) { theNotifyOnConversionFrom0Geocentric = notify; }
    /// Whether X = Y = 0 throws std::runtime_error.
    static void setThrowExceptionOnConversionFrom0Geocentric(bool doThrow)
    {
        theThrowExceptionOnConversionFrom0Geocentric = doThrow;
    }

    /// Process-wide settings of the geocentric-to-geodetic conversion.
    static std::uint32_t theMaxIterationsForConvergence;          ///< default 5000
    static bool theNotifyOnConversionFrom0Geocentric;             ///< default true
    static bool theThrowExceptionOnConversionFrom0Geocentric;     ///< default false

private:
    DtMapDatum myDatum;
    double mySemiMajor;
    double mySemiMajorSquared;
    double myFlattening;
    double mySemiMinor;
    double mySemiMinorSquared;
    double myPolarRadiusOfCurvature;
    double myEccentricitySquared;
    double myOneMinusFlatteningSquared;
};

/// The process-wide ellipsoid, built at load on WGS 84. Its datum is the
/// current map datum of the library.
DT_EXPORT DtReferenceEllipsoid& DtGlobalEllipsoid();
/// The datum of the global ellipsoid; the reference stays valid and shows
/// later changes.
DT_EXPORT const DtMapDatum& DtCurrentMapDatum();

}  // namespace Vorant

#endif
