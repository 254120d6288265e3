// What an observer sees: azimuth, elevation and slant range to a target, the
// target back from them, where a line of sight first meets the earth, and
// whether the straight segment between two points clears it (radio and radar
// horizon without refraction: the segment is a straight line, not a bent ray).
//
// Angles are those of the library's north-east-down frame at the observer's
// geodetic position (DtGeocToTopoTransform): azimuth clockwise from north in
// [0, 2 pi), elevation above the plane normal to the ellipsoid, in
// [-pi/2, pi/2]. Radians and metres; geocentric vectors are in the common
// frame of the datums (a datum's shift is added to its ellipsoid's
// coordinates, as DtReferenceEllipsoid::geodeticToGeocentric does).
//
// Where an angle is undefined the result is still a number: a target at the
// observer has azimuth 0, elevation 0 and range 0; straight up or down the
// azimuth is that of whatever horizontal offset rounding leaves (0 when none).
#ifndef QORMATRIX_LOOK_ANGLES_H
#define QORMATRIX_LOOK_ANGLES_H

#include <mapDatum.h>
#include <qvVector.h>
#include <referenceEllipsoid.h>
#include <qvutil/dtExport.h>

#include <cstddef>

namespace Vorant {

/// Azimuth and elevation (radians) and slant range (metres).
struct DtLookAngles
{
    double azimuth, elevation, range;
};

/// Look angles of a north-east-down (or east-north-up) offset, and back.
/// Back from angles, a range that is negative or a value that is not finite
/// throws a DtException.
DT_EXPORT DtLookAngles DtNedToLookAngles(const DtVector64& ned);
DT_EXPORT DtLookAngles DtEnuToLookAngles(const DtVector64& enu);
DT_EXPORT DtVector64 DtLookAnglesToNed(const DtLookAngles& look);
DT_EXPORT DtVector64 DtLookAnglesToEnu(const DtLookAngles& look);

/// Where a line of sight first meets the ellipsoid raised by a height.
struct DtSightPoint
{
    bool hit;               ///< false: the ray misses (the other fields are NaN)
    double lat, lon, h;     ///< the point, geodetic (h is the height asked for)
    DtVector64 geocentric;  ///< the point, common-frame geocentric
    double range;           ///< from the observer, metres
};

/// The lowest point of a straight segment over the ellipsoid.
struct DtClearance
{
    bool visible;          ///< the whole segment is at or above the height asked for
    double lowestHeight;   ///< the least height above the ellipsoid along the segment, metres
    double lowestAt;       ///< where: 0 at the observer, 1 at the target
};

/// An observer at a geodetic position on one datum: the north-east-down
/// frame there, built once for any number of targets. Immutable; one serves
/// any number of threads.
class DT_EXPORT DtObserver
{
public:
    /// Latitude and longitude (radians), height above the ellipsoid (metres),
    /// on the datum given or the current map datum (read now). A latitude
    /// beyond +/-pi/2 or a value that is not finite throws a DtException.
    DtObserver(double lat, double lon, double h);
    DtObserver(double lat, double lon, double h, const DtMapDatum& datum);

    double lat() const { return myLat; }
    double lon() const { return myLon; }
    double height() const { return myH; }
    const DtMapDatum& mapDatum() const { return myEllipsoid.mapDatum(); }
    /// The observer's own common-frame geocentric position.
    const DtVector64& geocentric() const { return myPosition; }

    /// North, east and down offsets of a common-frame geocentric point.
    DtVector64 toNed(const DtVector64& geocentric) const;
    /// The common-frame geocentric point at north-east-down offsets.
    DtVector64 fromNed(const DtVector64& ned) const;
    /// Look angles to a common-frame geocentric point, or to a geodetic
    /// position on the observer's datum (checked like the constructor's).
    DtLookAngles lookAt(const DtVector64& geocentric) const;
    DtLookAngles lookAt(double lat, double lon, double h) const;
    /// The target at the given look angles: common-frame geocentric, or
    /// geodetic (lat, lon, h) on the observer's datum, exact to about a
    /// nanometre (not the fixed iteration of DtReferenceEllipsoid).
    DtVector64 geocentricAt(const DtLookAngles& look) const;
    DtVector64 geodeticAt(const DtLookAngles& look) const;

    /// The first point where the ray from the observer along the azimuth and
    /// elevation (or along a common-frame geocentric direction of any length)
    /// meets the surface at height `height` above the ellipsoid, within a
    /// nanometre. An observer below that surface looks out from inside: the
    /// point is where the ray leaves it. A ray that misses gives hit false; a
    /// ray that grazes the surface hits it at the touching point when the
    /// rounded discriminant of the crossing is not negative, and misses
    /// otherwise (within a few nanometres of tangent, either may happen).
    DtSightPoint lineOfSight(double azimuth, double elevation, double height = 0) const;
    DtSightPoint lineOfSight(const DtVector64& direction, double height = 0) const;

    /// Many elements at once: out[i] is, bit for bit, what the single call
    /// gives for element i, from a loop that takes two elements a step in
    /// the lanes of a register where it can (lookAt, geodeticAt) and works
    /// out the observer's part once (lineOfSight): faster over long arrays.
    /// An element the single call would refuse gives NaN (a miss for
    /// lineOfSight) instead of an exception.
    void lookAt(std::size_t n, const double* lat, const double* lon, const double* h, DtLookAngles* out) const;
    void lookAt(std::size_t n, const DtVector64* geocentric, DtLookAngles* out) const;
    void geodeticAt(std::size_t n, const DtLookAngles* look, DtVector64* out) const;
    void lineOfSight(std::size_t n, const double* azimuth, const double* elevation, double height,
                     DtSightPoint* out) const;

    /// Whether the straight segment to a target (common-frame geocentric, or
    /// geodetic on the observer's datum) stays at or above `height` over the
    /// ellipsoid, with its lowest point.
    DtClearance clearance(const DtVector64& target, double height = 0) const;
    DtClearance clearance(double lat, double lon, double h, double height = 0) const;

private:
    friend struct ObserverKernels;   // the work of one element, for the single and the many-element calls
    DtReferenceEllipsoid myEllipsoid;
    double myLat, myLon, myH;
    DtVector64 myPosition;   // common-frame geocentric
    DtVector64 myLocal;      // the same without the datum's shift
    double myA, myE2;
    double myNorth[3], myEast[3], myDown[3];
};

/// Geodetic (lat, lon, h) of a geocentric point on a datum's ellipsoid (the
/// datum's shift removed first), exact to about a nanometre near the surface
/// and to 1e-15 of the distance from the centre anywhere: Bowring's iteration
/// to convergence, not the fixed iteration of DtReferenceEllipsoid. Within a
/// e^2 (43 km) of the centre a point has several foot points: one of them,
/// whose position is the point's own. The centre itself gives a pole at
/// height -b.
DT_EXPORT DtVector64 DtGeocentricToGeodeticExact(const DtVector64& geocentric, const DtMapDatum& datum);

}  // namespace Vorant

#endif
