// The earth's main magnetic field from a spherical harmonic model in the
// layout of the World Magnetic Model's coefficient files (.COF: a header line
// "epoch name date", lines "n m g h g-dot h-dot" in nT and nT a year, two
// lines of nines): WMM2020, WMM2025, later releases, or models of higher
// degree. WMM2025 (valid 2025.0 to 2030.0) is built in.
//
// The field at a geodetic position on WGS 84 (radians, metres above the
// ellipsoid) and a time (decimal year): north, east and down components,
// horizontal and total intensity (nT), inclination and declination
// (radians), and the grid variation of polar navigation, each with its rate
// of change a year, as the WMM technical report defines them.
#ifndef QORMATRIX_MAGNETIC_MODEL_H
#define QORMATRIX_MAGNETIC_MODEL_H

#include <qvutil/dtExport.h>

#include <memory>
#include <string>
#include <vector>

namespace Vorant {

/// The field at one place and time; rates of change are per year.
struct DtMagneticField
{
    double north, east, down;          ///< X, Y, Z, nT
    double horizontal, total;          ///< H, F, nT
    double inclination, declination;   ///< I (down from horizontal), D (east of true north), radians
    double gridVariation;              ///< D less the longitude north of 55 N, plus it south of 55 S; NaN between
    double northRate, eastRate, downRate, horizontalRate, totalRate, inclinationRate, declinationRate,
        gridVariationRate;
    /// Where a compass cannot be trusted: the horizontal intensity below
    /// 6,000 nT (Caution) or below 2,000 nT (Unreliable), near the magnetic poles.
    enum Zone
    {
        Good,
        Caution,
        Unreliable
    } zone;
    bool outsideTime;     ///< the time lies outside the model's five years
    bool outsideHeight;   ///< the height lies outside -1 km to 850 km
};

/// True, magnetic and grid north at a point: the declination (magnetic
/// from true), the library's grid declination (grid from true, UTM grid of
/// the point's zone by DtUtmGridZoneFromLatLon; NaN where there is none) and
/// the grid-magnetic angle a map margin prints (magnetic from grid). Bearings
/// in radians clockwise, results in [0, 2 pi).
struct DT_EXPORT DtBearings
{
    double declination, gridDeclination, gridMagneticAngle;

    double trueToMagnetic(double bearing) const;
    double magneticToTrue(double bearing) const;
    double trueToGrid(double bearing) const;
    double gridToTrue(double bearing) const;
    double gridToMagnetic(double bearing) const;
    double magneticToGrid(double bearing) const;
};

class DT_EXPORT DtMagneticModel
{
public:
    /// WMM2025, built into the library.
    static const DtMagneticModel& wmm2025();
    /// A model read from a coefficient file. A file that cannot be read, or
    /// a malformed one (a missing or repeated term, a term beyond the degree
    /// of the others, text that is not a number, a file that ends before its
    /// closing lines), throws a DtException naming the file and the line.
    static DtMagneticModel fromFile(const std::string& path);
    /// The same from the file's text; `name` stands for the file in messages.
    static DtMagneticModel fromText(const std::string& text, const std::string& name);

    /// The field at a geodetic position (radians, metres) at a decimal year.
    /// A time outside the model's five years, or a height outside -1 km to
    /// 850 km, still gives the model's value; the result says so, and the
    /// first such call of each kind says so on DtWarn. A latitude beyond
    /// +/-pi/2 or a value that is not finite throws a DtException.
    DtMagneticField field(double lat, double lon, double h, double year) const;

    /// True, magnetic and grid north at a geodetic position and time.
    DtBearings bearings(double lat, double lon, double h, double year) const;

    /// The decimal year of a calendar date (the day's start), as the WMM
    /// software counts it: year + (day of the year - 1) / days in the year.
    static double decimalYear(int year, int month, int day);

    const std::string& name() const { return myName; }
    double epoch() const { return myEpoch; }
    int degree() const { return myDegree; }

private:
    struct Warnings;
    DtMagneticModel() = default;

    std::string myName;
    double myEpoch = 0;
    int myDegree = 0;
    // g, h, g-dot and h-dot column by column (m, then n); the recursion's
    // factors A and B row by row (n, then m).
    std::vector<double> myCoefficients, myFactors;
    std::shared_ptr<Warnings> myWarnings;
};

}  // namespace Vorant

#endif
