// Spheroids and map datums.
//
// A map datum is an ellipsoid of revolution plus the shift of its centre
// relative to the library's common geocentric frame (the frame of WGS 84): a
// position computed on the datum's own ellipsoid becomes a common-frame
// position by adding (deltaX, deltaY, deltaZ).
#ifndef QORMATRIX_MAP_DATUM_H
#define QORMATRIX_MAP_DATUM_H

#include <qvutil/dtExport.h>

namespace Vorant {

/// The semi-axes of an ellipsoid of revolution, metres.
struct DtSpheroid
{
    double semiMajorAxis;   ///< equatorial, a
    double semiMinorAxis;   ///< polar, b
};

class DtMapDatum
{
public:
    constexpr DtMapDatum() : spheroid{0.0, 0.0}, deltaX(0.0), deltaY(0.0), deltaZ(0.0) {}
    constexpr DtMapDatum(const DtSpheroid& s, double dx, double dy, double dz)
        : spheroid(s), deltaX(dx), deltaY(dy), deltaZ(dz)
    {
    }

    /// Exact comparison of all five numbers: no tolerance, a NaN anywhere
    /// makes datums unequal, 0.0 equals -0.0.
    bool operator==(const DtMapDatum& o) const
    {
        return spheroid.semiMajorAxis == o.spheroid.semiMajorAxis &&
               spheroid.semiMinorAxis == o.spheroid.semiMinorAxis && deltaX == o.deltaX && deltaY == o.deltaY &&
               deltaZ == o.deltaZ;
    }
    bool operator!=(const DtMapDatum& o) const { return !(*this == o); }

    DtSpheroid spheroid;
    double deltaX;   ///< metres
    double deltaY;
    double deltaZ;
};

/// The constants have internal linkage: every source that includes this header
/// holds its own copies, constant-initialised, so no static object of the
/// library depends on the order in which sources are initialised.
constexpr DtSpheroid DtWGS84Spheroid = {6378137.0, 6356752.3142};
constexpr DtSpheroid DtInternationalSpheroid = {6378388.0, 6356911.946127};
constexpr DtSpheroid DtClark1866Spheroid = {6378206.4, 6356583.8};

constexpr DtMapDatum DtWGS84(DtWGS84Spheroid, 0.0, 0.0, 0.0);
constexpr DtMapDatum DtED50(DtInternationalSpheroid, -87.0, -98.0, -121.0);
constexpr DtMapDatum DtNASANAD27(DtClark1866Spheroid, -8.0, 161.0, 179.0);
constexpr DtMapDatum DtNASBNAD27(DtClark1866Spheroid, -8.0, 159.0, 175.0);
constexpr DtMapDatum DtCONUSNAD27(DtClark1866Spheroid, -8.0, 160.0, 176.0);

/// Makes the datum the process-wide current datum: first the datum of the
/// global reference ellipsoid, then that of the global UTM reference point.
/// Everything bound to the global ellipsoid follows at once.
DT_EXPORT void DtUseMapDatum(const DtMapDatum& datum);

}  // namespace Vorant

#endif
