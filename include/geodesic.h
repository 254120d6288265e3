// Geodesics on an ellipsoid of revolution: the shortest route between two
// points (inverse problem), where a start, an azimuth and a distance lead
// (direct problem), many points along one geodesic, and the area of polygons
// bounded by geodesics. The method of C. F. F. Karney, "Algorithms for
// geodesics", J. Geodesy 87, 43-55 (2013): series to sixth order in the third
// flattening, Newton's method on the azimuth for the inverse problem, with a
// start from an astroid for nearly antipodal points. Accurate to about 15 nm
// on the earth's ellipsoids, everywhere. Radians and metres; azimuths
// clockwise from north, in (-pi, pi].
#ifndef QORMATRIX_GEODESIC_H
#define QORMATRIX_GEODESIC_H

#include <mapDatum.h>
#include <qvutil/dtExport.h>

#include <cstddef>
#include <limits>

namespace Vorant {

/// What a geodesic calculation gives; the fields not asked for are NaN.
struct DtGeodesicResult
{
    double lat1, lon1, azi1;   ///< the start, radians
    double lat2, lon2, azi2;   ///< the end, radians (lon2 in (-pi, pi])
    double s12;                ///< distance, metres
    double a12;                ///< arc length on the auxiliary sphere, radians
    double m12;                ///< reduced length, metres
    double M12, M21;           ///< geodesic scales
    double S12;                ///< area between the geodesic and the equator, square metres
    int iterations = 0;        ///< the inverse problem's trial azimuths (Newton or bisection); 0 otherwise
};

class DtGeodesicLine;

/// An ellipsoid for geodesics. Cheap to copy; never changes once built, so
/// one serves any number of threads.
class DT_EXPORT DtGeodesic
{
public:
    /// What to compute besides the distance, the end point and the azimuths.
    enum Extras : unsigned
    {
        None = 0,
        ReducedLength = 1u,   ///< m12
        Scales = 2u,          ///< M12, M21
        Area = 4u,            ///< S12
        All = 7u
    };

    /// Semi-major axis a (metres) and flattening f (negative: prolate), with
    /// a > 0 and f < 1; anything else throws a DtException.
    DtGeodesic(double a, double f);
    /// The ellipsoid of a map datum (its centre's shift plays no part).
    explicit DtGeodesic(const DtMapDatum& datum);

    double semiMajorAxis() const { return myA; }
    double flattening() const { return myF; }
    /// Surface area of the whole ellipsoid, square metres.
    double ellipsoidArea() const;

    /// Inverse problem: the shortest geodesic between two points. A latitude
    /// beyond +/-pi/2 or a value that is not finite throws a DtException (so
    /// do direct, line, inverseLine and DtGeodesicPolygon::add).
    DtGeodesicResult inverse(double lat1, double lon1, double lat2, double lon2, unsigned extras = None) const;
    /// Direct problem: from a point along an azimuth for s12 metres (negative
    /// goes backwards, more than a circumference goes round).
    DtGeodesicResult direct(double lat1, double lon1, double azi1, double s12, unsigned extras = None) const;
    /// The geodesic from a point along an azimuth, for many positions on it.
    DtGeodesicLine line(double lat1, double lon1, double azi1, unsigned extras = None) const;
    /// The shortest geodesic between two points, as a line.
    DtGeodesicLine inverseLine(double lat1, double lon1, double lat2, double lon2, unsigned extras = None) const;

private:
    friend class DtGeodesicLine;
    friend class DtGeodesicPolygon;
    struct Lengths;
    double inverseDegrees(double lat1, double lon1, double lat2, double lon2, unsigned extras, double& s12,
                          double& salp1, double& calp1, double& salp2, double& calp2, double& m12, double& M12,
                          double& M21, double& S12, int* iterations = nullptr) const;
    void lengths(double eps, double sig12, double ssig1, double csig1, double dn1, double ssig2, double csig2,
                 double dn2, double cbet1, double cbet2, unsigned what, Lengths& out) const;
    double inverseStart(double sbet1, double cbet1, double dn1, double sbet2, double cbet2, double dn2, double lam12,
                        double slam12, double clam12, double& salp1, double& calp1, double& salp2, double& calp2,
                        double& dnm) const;
    double lambda12(double sbet1, double cbet1, double sbet2, double cbet2, double salp1,
                    double calp1, double slam120, double clam120, double& salp2, double& calp2, double& sig12,
                    double& ssig1, double& csig1, double& ssig2, double& csig2, double& eps,
                    double& domg12) const;
    double a3(double eps) const;
    void c3(double eps, double* c) const;
    void c4(double eps, double* c) const;

    double myA, myF, myF1, myE2, myEp2, myN, myB, myC2, myEtol2;
    double myA3x[7];
    double myC3x[6][7];
    double myC4x[6][7];
};

/// Many positions on one geodesic, each far cheaper than a fresh solution.
class DT_EXPORT DtGeodesicLine
{
public:
    /// The position s12 metres along the line (negative: backwards).
    DtGeodesicResult position(double s12) const;
    /// The position at an arc length a12 (radians on the auxiliary sphere).
    DtGeodesicResult arcPosition(double a12) const;
    /// count >= 2 equally spaced positions from the start to `distance`
    /// metres (for a line from inverseLine: its end), into out[0..count-1].
    void waypoints(double distance, std::size_t count, DtGeodesicResult* out) const;
    /// The distance to the end point of a line made by inverseLine (NaN otherwise).
    double distance() const { return myS13; }

private:
    friend class DtGeodesic;
    DtGeodesicLine(const DtGeodesic& g, double lat1, double lon1, double azi1, double salp1, double calp1,
                   unsigned extras);
    DtGeodesicResult generalPosition(bool arc, double value) const;

    double myB, myF, myF1, myC2;   // of the ellipsoid: a line does not carry all of it
    unsigned myExtras;
    double myLat1, myLon1, myAzi1, mySalp1, myCalp1;
    double mySalp0, myCalp0, myK2, myEps;
    double mySsig1, myCsig1, myDn1, mySomg1, myComg1, myStau1, myCtau1;
    double myA1m1, myA2m1, myA3c, myA4, myB11, myB21, myB31, myB41;
    double myC1a[7], myC1pa[7], myC2a[7], myC3a[6], myC4a[6];
    double myS13 = std::numeric_limits<double>::quiet_NaN();
};

/// The area and perimeter of a polygon with geodesic edges, from its
/// vertices; as a point set, counter-clockwise traversal gives a positive
/// area. Holds only sums: any number of vertices.
class DT_EXPORT DtGeodesicPolygon
{
public:
    explicit DtGeodesicPolygon(const DtGeodesic& g) : myG(g) {}
    /// Adds a vertex (radians).
    void add(double lat, double lon);
    std::size_t count() const { return myCount; }
    /// Area (square metres; counter-clockwise positive) and perimeter
    /// (metres) of the polygon closed back to its first vertex.
    void compute(double& area, double& perimeter) const;
    void clear();

private:
    DtGeodesic myG;
    std::size_t myCount = 0;
    double myLat0 = 0, myLon0 = 0, myLat1 = 0, myLon1 = 0;   // first and last vertex, degrees
    double myArea = 0, myAreaError = 0, myPerimeter = 0, myPerimeterError = 0;
    bool myOddCrossings = false;   // of the meridian 0, by the edges so far
};

}  // namespace Vorant

#endif
