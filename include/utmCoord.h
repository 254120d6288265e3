// Degrees-minutes-seconds angles, the UTM reference angles, UTM coordinates
// and grid declination.
#ifndef QORMATRIX_UTM_COORD_H
#define QORMATRIX_UTM_COORD_H

#include <qvVector.h>
#include <qvutil/dtExport.h>

namespace Vorant {

class DtDcm;
class DtGeodeticCoord;
class DtUtmReferencePoint;

/// Which side of the equator or of the prime meridian an angle lies on.
enum DtHemisphere : int
{
    DtEast = 0,
    DtWest = 1,
    DtNorth = 2,
    DtSouth = 3
};

/// An angle as whole degrees, minutes and seconds of arc; the magnitude is in
/// the three numbers, the sign only in the hemisphere. An aggregate, so that
/// constants of it can be initialised statically.
struct DT_EXPORT DtDegMinSec
{
    /// Splits signed decimal degrees with no rounding and no carry (10.999999999
    /// gives 10 degrees, 59 minutes and just under 60 seconds); the hemisphere
    /// is left as it is.
    void setFromDegrees(double deg);
    /// As setFromDegrees, then DtNorth for deg >= 0, else DtSouth (also NaN).
    void setLatFromDegrees(double deg);
    /// As setFromDegrees, then DtEast for deg >= 0, else DtWest (also NaN).
    void setLonFromDegrees(double deg);

    double degrees;
    double minutes;
    double seconds;
    DtHemisphere hemisphere;
};

/// Reference angles for DtUtmInit and DtUtmReferencePoint::init, in pairs.
/// Internal linkage: each source that includes this header has its own copy.
constexpr DtDegMinSec DtUtmLatRef1_1 = {35, 15, 0, DtNorth};
constexpr DtDegMinSec DtUtmLonRef1_1 = {122, 3, 59, DtWest};
constexpr DtDegMinSec DtUtmLatRef_IITSEC_93 = {35, 15, 0, DtNorth};
constexpr DtDegMinSec DtUtmLonRef_IITSEC_93 = {122, 4, 0, DtWest};
/// The equator on the central meridian of zone 10: grid origin (0, 0).
constexpr DtDegMinSec DtUtmLatRefZone10 = {0, 0, 0, DtNorth};
constexpr DtDegMinSec DtUtmLonRefZone10 = {123, 0, 0, DtWest};

/// A position as grid easting, northing (in the style of its reference point)
/// and height, tied to a reference point that it does not own and that must
/// outlive it.
class DT_EXPORT DtUtmCoord : public DtVector64
{
public:
    DtUtmCoord(DtUtmReferencePoint* refPoint);
    DtUtmCoord(double east, double north, double up, DtUtmReferencePoint* refPoint);
    /// Bound to the reference point, then set from the geodetic coordinate.
    DtUtmCoord(const DtGeodeticCoord& geodetic, DtUtmReferencePoint* refPoint);
    DtUtmCoord(const DtUtmCoord& other) = default;
    /// Copies the numbers and takes over the other's reference point.
    DtUtmCoord& operator=(const DtUtmCoord& other);
    DtUtmCoord& operator=(const DtGeodeticCoord& geodetic);
    virtual ~DtUtmCoord();

    /// Projects the geodetic latitude and longitude through the reference
    /// point (no datum shift: a datum mismatch is only warned about) and takes
    /// the altitude as up.
    virtual DtUtmCoord& setGeodetic(const DtGeodeticCoord& geodetic);
    /// Writes latitude and longitude into the geodetic coordinate's own numbers
    /// and sets its altitude from up; its datum is kept.
    virtual void getGeodetic(DtGeodeticCoord& geodetic) const;
    virtual DtGeodeticCoord geodetic() const;
    virtual DtUtmCoord& setGeocentric(const DtVector64& geocentric);
    virtual void getGeocentric(DtVector64& geocentric) const;
    virtual DtVector64 geocentric() const;
    /// Easting, northing and up: the three components of the vector.
    virtual void setEast(double east);
    virtual double east() const;
    virtual void setNorth(double north);
    virtual double north() const;
    virtual void setUp(double up);
    virtual double up() const;
    /// Angle from true north to grid north, radians, positive clockwise;
    /// measured by stepping 0.0001 rad north and projecting.
    virtual double gridDeclination() const;

    /// The reference point of the grid.
    DtUtmReferencePoint* refPoint() const { return myRefPoint; }

private:
    DtUtmReferencePoint* myRefPoint;
};

/// The four conversions, each one virtual call of the UTM coordinate.
DT_EXPORT void DtGeodToUtm(const DtGeodeticCoord& geodetic, DtUtmCoord& utm);
DT_EXPORT void DtUtmToGeod(const DtUtmCoord& utm, DtGeodeticCoord& geodetic);
DT_EXPORT void DtGeocToUtm(const DtVector64& geocentric, DtUtmCoord& utm);
DT_EXPORT void DtUtmToGeoc(const DtUtmCoord& utm, DtVector64& geocentric);

/// The coordinate's gridDeclination().
DT_EXPORT double DtUtmGridDeclination(const DtUtmCoord& utm);
/// Grid declination at a latitude and longitude (radians) on the current datum
/// and in the zone of the global UTM reference point, which must be
/// initialised.
DT_EXPORT double DtUtmGridDeclination(double lat, double lon);
/// Rotation from north-east-down into grid east, grid north, up.
DT_EXPORT void DtGridDeclinationDcm(double gridDeclination, DtDcm& out);

}  // namespace Vorant

#endif
