// UTM and UPS as the grid references of the world use them: the universal
// transverse Mercator zones (k0 = 0.9996) between 80 S and 84 N and the
// universal polar stereographic grids (k0 = 0.994, false easting and northing
// 2,000,000 m) over the poles, on the ellipsoid of any map datum, with the
// grid convergence and the point scale.
//
// The transverse Mercator here is Krueger's series to sixth order in the third
// flattening (as in Karney, "Transverse Mercator with an accuracy of a few
// nanometers", J. Geodesy 85, 2011): within 5 nm anywhere in a zone and well
// beyond it, which grid references need (a truncated digit must not change
// with the method). It is not the library's own UTM of DtUtmReferencePoint,
// whose fixed series keep their own results. Radians and metres.
#ifndef QORMATRIX_UTM_UPS_H
#define QORMATRIX_UTM_UPS_H

#include <mapDatum.h>
#include <qvutil/dtExport.h>

namespace Vorant {

/// A position on the UTM or UPS grid.
struct DtGridPosition
{
    int zone;             ///< 1 to 60 for UTM, 0 for UPS
    bool north;           ///< hemisphere (UTM: the false northing; UPS: the pole)
    double easting;       ///< metres, false easting included
    double northing;      ///< metres, false northing included
    double convergence;   ///< grid north from true north, clockwise, radians
    double scale;         ///< point scale
};

class DT_EXPORT DtUtmUps
{
public:
    /// Which grid: the standard one for the position (UTM from 80 S to 84 N,
    /// with the Norway and Svalbard zones; UPS beyond), UPS, a UTM zone of the
    /// standard rule for the longitude (no exceptions), or a given zone 1..60.
    enum : int
    {
        Standard = -1,
        Ups = 0,
        Utm = -2
    };

    /// The ellipsoid of the datum (its shift plays no part).
    explicit DtUtmUps(const DtMapDatum& datum);

    /// Geodetic to grid. Throws a DtException for a latitude beyond +/-pi/2,
    /// a value that is not finite, a zone out of range, or a position the
    /// chosen grid does not cover: UTM up to 84.5 N and 80.5 S (9 degrees
    /// from the zone's central meridian at most), UPS up to 83.5 N and 79.5 S
    /// (the overlaps the standard allows). Without convergenceAndScale those
    /// two are NaN, and the position comes sooner.
    DtGridPosition forward(double lat, double lon, int grid = Standard, bool convergenceAndScale = true) const;
    /// Grid to geodetic (lat, lon in (-pi, pi]); convergence and scale of the
    /// position are filled in (or set NaN, and the position comes sooner).
    /// Throws for a zone out of 0..60 or values that are not finite.
    void reverse(DtGridPosition& position, double& lat, double& lon, bool convergenceAndScale = true) const;

    /// The standard zone: 0 (UPS) beyond 80 S and from 84 N, else the UTM
    /// zone with the Norway (32V) and Svalbard (31X, 33X, 35X, 37X) exceptions;
    /// 0 also for a latitude or longitude that is not a number (or infinite).
    static int standardZone(double lat, double lon);

    double semiMajorAxis() const { return myA; }
    double flattening() const { return myF; }

private:
    // (extras: the convergence gamma and scale k too.)
    void utmForward(double lat, double dlon, bool extras, double& x, double& y, double& gamma, double& k) const;
    void utmReverse(double x, double y, bool extras, double& lat, double& dlon, double& gamma, double& k) const;
    void upsForward(bool north, double lat, double lon, bool extras, double& x, double& y, double& gamma,
                    double& k) const;
    void upsReverse(bool north, double x, double y, bool extras, double& lat, double& lon, double& gamma,
                    double& k) const;
    double tauFromConformal(double taup) const;
    double conformalFromTau(double tau) const;

    double myA, myF, myE2, myE, myN, myScaledA, myPolarC;
    double myAlpha[7], myBeta[7];
    // chi - phi and phi - chi as sine series, then as polynomials in cos 2x;
    // Krueger's series and their derivatives as polynomials in cos 2z.
    double myToConformal[9], myFromConformal[9];
    double myAlphaSine[6], myAlphaCosine[7], myBetaSine[6], myBetaCosine[7];
};

}  // namespace Vorant

#endif
