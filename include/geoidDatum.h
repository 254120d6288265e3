// The geoid datum: the height of the geoid above the reference ellipsoid.
//
// This is the base implementation: it records a model type, a data directory
// and two flags, reads nothing, and its undulation is 0.0 everywhere.
#ifndef QORMATRIX_GEOID_DATUM_H
#define QORMATRIX_GEOID_DATUM_H

#include <qvutil/dtExport.h>
#include <qvutil/dtString.h>

namespace Vorant {

/// Geoid models. DtGeoidNone (0) is the default of the process-wide setting:
/// new geodetic coordinates then carry no geoid datum.
enum DtGeoidType : int
{
    DtGeoidNone = 0,
    DtGeoidEgm96 = 1,
    DtGeoidEgm2008 = 2,
    DtGeoidGtxGrid = 3   ///< a grid read from a GTX file (see DtGeodeticCoord::setGeoidGrid)
};

/// Process-wide settings; they affect only geoid datums created afterwards.
extern DT_EXPORT DtGeoidType theGeoidDatumType;
extern DT_EXPORT DtString theGeoidDataPath;   ///< default "../data/geoids"
DT_EXPORT void setTheGeoidDatumType(DtGeoidType type);
DT_EXPORT void setTheGeoidDatumPath(DtString path);

/// The destructor is deliberately not virtual: geodetic coordinates own and
/// delete the base type only.
class DT_EXPORT DtGeoidDatum
{
public:
    /// Type from theGeoidDatumType, path from theGeoidDataPath.
    DtGeoidDatum(bool cubic, bool threadsafe);
    /// Path from theGeoidDataPath.
    DtGeoidDatum(DtGeoidType type, bool cubic, bool threadsafe);
    /// Type from theGeoidDatumType.
    DtGeoidDatum(DtString path, bool cubic, bool threadsafe);
    ~DtGeoidDatum();
    DtGeoidDatum(const DtGeoidDatum&) = delete;
    DtGeoidDatum& operator=(const DtGeoidDatum&) = delete;

    /// Stores the four values; nothing is read from disk.
    void initGeoid(DtGeoidType type, DtString path, bool cubic, bool threadsafe);

    /// Geoid height above the ellipsoid at a latitude and longitude in degrees.
    virtual double undulation(double latDeg, double lonDeg);
    /// Preloading hooks for gridded models (south, west, north, east in degrees);
    /// nothing to do here.
    virtual void cacheArea(double south, double west, double north, double east);
    virtual void cacheAll();
    virtual DtGeoidType geoidType();
    virtual DtString geoidPath();
    virtual bool cubic();
    virtual bool threadsafe();

protected:
    float* gridData;   ///< owned grid storage of a gridded model (a single delete)

private:
    DtGeoidType myType;
    DtString myPath;
    bool myCubic;
    bool myThreadsafe;
};

}  // namespace Vorant

#endif
