// A position as latitude, longitude (radians) and height above the ellipsoid
// (metres), bound to the reference ellipsoid that converts it.
//
// The coordinate is itself a DtVector64 holding (lat, lon, h). It keeps only a
// pointer to its ellipsoid, so a coordinate bound to the global ellipsoid
// follows every later change of the current map datum.
#ifndef QORMATRIX_GEODETIC_COORD_H
#define QORMATRIX_GEODETIC_COORD_H

#include <geoidDatum.h>
#include <geoidGrid.h>
#include <mapDatum.h>
#include <qvVector.h>
#include <referenceEllipsoid.h>
#include <qvutil/dtExport.h>

#include <iosfwd>
#include <memory>

namespace Vorant {

class DT_EXPORT DtGeodeticCoord : public DtVector64
{
public:
    /// (0, 0, 0) on the given ellipsoid, which must outlive the coordinate.
    /// A geoid datum is created when theGeoidDatumType is not 0.
    DtGeodeticCoord(const DtReferenceEllipsoid* ellipsoid = &DtGlobalEllipsoid());
    /// Latitude and longitude in radians, height above the ellipsoid in metres.
    DtGeodeticCoord(double lat, double lon, double h, const DtReferenceEllipsoid* ellipsoid = &DtGlobalEllipsoid());
    /// Same values and ellipsoid, and a geoid datum of its own (over the same
    /// grid when the other uses one).
    DtGeodeticCoord(const DtGeodeticCoord& other);
    /// Copies the values and rebinds to the other's ellipsoid; keeps this
    /// coordinate's own geoid datum.
    DtGeodeticCoord& operator=(const DtGeodeticCoord& other);
    virtual ~DtGeodeticCoord();

    /// From a common-frame geocentric position, through the ellipsoid.
    virtual DtGeodeticCoord& setGeocentric(const DtVector64& geocentric);
    virtual void getGeocentric(DtVector64& geocentric) const;
    virtual DtVector64 geocentric() const;
    /// The text form on DtInfo.
    virtual void printData() const;
    /// "[ lat= .. lon= .. alt= .. ]" (radians, metres), no line end.
    virtual void printDataToStream(std::ostream& os) const;
    virtual void setLat(double lat);
    virtual double lat() const;
    virtual void setLon(double lon);
    virtual double lon() const;
    /// Altitude above the geoid when a geoid datum is held, else the height
    /// above the ellipsoid.
    virtual void setAlt(double alt);
    virtual double alt() const;
    virtual const DtMapDatum& mapDatum() const;
    /// Replaces the geoid datum by a new one of the given type (also for 0).
    virtual void setGeoidDatumType(DtGeoidType type);

    /// From now on alt() and setAlt() work with heights above the geoid of
    /// the grid (bilinear, or bicubic when cubic): replaces the geoid datum
    /// by one over the grid, which it shares. A null grid removes the datum.
    void setGeoidGrid(std::shared_ptr<const DtGeoidGrid> grid, bool cubic = false);
    /// The grid in use, or null.
    std::shared_ptr<const DtGeoidGrid> geoidGrid() const;

    const DtReferenceEllipsoid* ellipsoid() const { return myEllipsoid; }
    /// The geoid datum held, or null.
    DtGeoidDatum* geoidDatum() const { return myGeoid; }

private:
    const DtReferenceEllipsoid* myEllipsoid;
    DtGeoidDatum* myGeoid;
};

DT_EXPORT std::ostream& operator<<(std::ostream& os, const DtGeodeticCoord& coord);

/// target.setGeocentric(geocentric)
DT_EXPORT void DtGeocToGeod(const DtVector64& geocentric, DtGeodeticCoord& target);
/// source.getGeocentric(geocentric)
DT_EXPORT void DtGeodToGeoc(const DtGeodeticCoord& source, DtVector64& geocentric);

}  // namespace Vorant

#endif
