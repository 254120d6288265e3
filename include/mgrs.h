// Military grid reference system (MGRS) strings: the grid zone (a UTM zone
// and latitude band, or a polar UPS letter A, B, Y, Z), the 100 km square
// (column and row letters) and digits of easting and northing within it,
// "18TWL8564051721". Positions are truncated to the precision, never rounded
// into the next square. Built on DtUtmUps (Krueger's series, not the
// library's own UTM).
#ifndef QORMATRIX_MGRS_H
#define QORMATRIX_MGRS_H

#include <mapDatum.h>
#include <utmUps.h>
#include <qvutil/dtExport.h>

#include <cstddef>
#include <string>

namespace Vorant {

/// A reference read back: the position of its square (centre or south-west
/// corner) and how many digits per axis it had.
struct DtMgrsSquare
{
    DtGridPosition position;   ///< UTM or UPS (convergence and scale NaN: DtUtmUps::reverse gives them)
    double lat, lon;           ///< radians
    int digits;                ///< per axis: 0 (100 km) to 11 (1 micrometre)
};

class DT_EXPORT DtMgrs
{
public:
    /// The 100 km row letters: the standard lettering, or the older one
    /// shifted by 10 rows that MGRS keeps on the Clarke 1866, Clarke 1880
    /// and Bessel 1841 ellipsoids (ByEllipsoid: told apart by the semi-major axis).
    enum Lettering
    {
        ByEllipsoid,
        Standard,
        Old
    };

    /// The longest reference: 3 letters of zone and band, 2 of square, 2 x 11 digits.
    static constexpr std::size_t kMaxLength = 27;

    explicit DtMgrs(const DtMapDatum& datum, Lettering lettering = ByEllipsoid);

    /// The reference of a geodetic position (radians) on the standard grid,
    /// `digits` per axis (0..11), written into out (kMaxLength + 1 characters,
    /// with a terminating zero); returns its length. No allocation. Throws a
    /// DtException for digits out of range and for positions DtUtmUps refuses.
    std::size_t encode(double lat, double lon, int digits, char* out) const;
    std::string encode(double lat, double lon, int digits = 5) const;
    /// The reference of a grid position; the latitude (radians) gives a UTM
    /// position its band.
    std::size_t encode(const DtGridPosition& position, double lat, int digits, char* out) const;

    /// A reference back: upper or lower case, spaces between the parts
    /// allowed. The centre of its square, or its south-west corner. Throws a
    /// DtException naming the text and what is wrong with it: a zone out of
    /// 1-60, a band letter that is I, O or not one, a 100 km square that does
    /// not exist in the zone, an odd or too long run of digits, a row more
    /// than 100 km (0.9 degree) outside its band.
    DtMgrsSquare decode(const std::string& text, bool centre = true) const;

    bool oldLettering() const { return myOld; }
    const DtUtmUps& grid() const { return myGrid; }

private:
    DtUtmUps myGrid;
    bool myOld;
    double myBandLow[20], myBandHigh[20];   // northings of the bands' edges
};

}  // namespace Vorant

#endif
