// Geocentric <-> geodetic against GeographicLib's exact implementation, over a
// grid of every latitude band, all longitudes, heights from -10 km to 1000 km,
// and points far out in space and near the centre of the earth.
//
// The bounds asserted are just above the worst differences measured on this
// grid; the measured figures are stated beside each bound.
#include <geodeticCoord.h>
#include <mapDatum.h>
#include <referenceEllipsoid.h>

#include <GeographicLib/Geocentric.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace Vorant;

namespace {

const double kDeg = 3.141592653589793 / 180;

struct Worst
{
    double position = 0;   // forward: metres
    double ground = 0;     // reverse: latitude/longitude error as metres on the ground
    double height = 0;     // reverse: metres
    double groundAt[3] = {0, 0, 0};
    double heightAt[3] = {0, 0, 0};
};

struct Point
{
    double latDeg, lonDeg, h;
};

// Every degree of latitude (odd ones offset), longitudes every 7.5 degrees.
std::vector<Point> grid(const std::vector<double>& heights, bool withEquator = true)
{
    std::vector<Point> pts;
    for (int lat = -90; lat <= 90; ++lat)
        if (withEquator || lat != 0)
        for (double lon = -180; lon <= 180; lon += 7.5)
                for (double h : heights)
                    pts.push_back({double(lat) + (lat % 2 ? 0.123456789 : 0.0), lon + 0.01 * lat, h});
    return pts;
}

// Compares one datum's conversions with a GeographicLib ellipsoid of the same
// semi-axes, the datum shift added on the geocentric side.
Worst compare(const DtMapDatum& datum, const std::vector<Point>& pts)
{
    const double a = datum.spheroid.semiMajorAxis;
    const GeographicLib::Geocentric peer(a, (a - datum.spheroid.semiMinorAxis) / a);
    const DtReferenceEllipsoid ours(datum);
    // The exact poles have X = Y = 0: no notification for each of them.
    DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(false);
    Worst w;
    for (const Point& p : pts) {
        double px, py, pz;
        peer.Forward(p.latDeg, p.lonDeg, p.h, px, py, pz);
        const DtVector64 peerGeocentric(px + datum.deltaX, py + datum.deltaY, pz + datum.deltaZ);

        DtVector64 geocentric;
        ours.geodeticToGeocentric(DtVector64(p.latDeg * kDeg, p.lonDeg * kDeg, p.h), geocentric);
        w.position = std::max(w.position, DtDistance(geocentric, peerGeocentric));

        DtVector64 geodetic;
        ours.geocentricToGeodetic(peerGeocentric, geodetic);
        double lat, lon, h;
        peer.Reverse(px, py, pz, lat, lon, h);
        const double dLat = (geodetic[0] / kDeg - lat) * kDeg;
        double dLonDeg = std::remainder(geodetic[1] / kDeg - lon, 360.0);
        const double dLon = dLonDeg * kDeg * std::cos(lat * kDeg);
        const double ground = std::hypot(dLat, dLon) * (a + std::fabs(h));
        if (ground > w.ground) {
            w.ground = ground;
            w.groundAt[0] = p.latDeg, w.groundAt[1] = p.lonDeg, w.groundAt[2] = p.h;
        }
        const double height = std::fabs(geodetic[2] - h);
        if (height > w.height) {
            w.height = height;
            w.heightAt[0] = p.latDeg, w.heightAt[1] = p.lonDeg, w.heightAt[2] = p.h;
        }
    }
    DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(true);
    std::printf("  position %.3g m, ground %.3g m at (%g, %g, %g), height %.3g m at (%g, %g, %g)\n", w.position,
                w.ground, w.groundAt[0], w.groundAt[1], w.groundAt[2], w.height, w.heightAt[0], w.heightAt[1],
                w.heightAt[2]);
    return w;
}

const std::vector<double> kEarthHeights = {-10000, -1000, 0, 500, 10000, 100000, 500000, 1000000};

}  // namespace

TEST(GeocentricPeerTest, Wgs84NearTheEarth)
{
    const Worst w = compare(DtWGS84, grid(kEarthHeights));
    EXPECT_LT(w.position, 3e-9);   // measured 2.63e-9 m
    EXPECT_LT(w.height, 6e-8);     // measured 5.81e-8 m
    // On the equator the latitude comes from sqrt(|1 - re^2/a^2|) of a
    // difference near zero and keeps only about 2e-8 rad.
    EXPECT_LT(w.ground, 0.16);   // measured 0.151 m, at latitude 0
    const Worst offEquator = compare(DtWGS84, grid(kEarthHeights, false));
    EXPECT_LT(offEquator.ground, 2.5e-7);   // measured 2.43e-7 m
}

TEST(GeocentricPeerTest, Wgs84FarOutInSpace)
{
    const Worst w = compare(DtWGS84, grid({1e7, 1e8, 1e9}));
    EXPECT_LT(w.position, 4e-7);   // measured 3.37e-7 m
    EXPECT_LT(w.ground, 22.0);     // measured 21.3 m at 1e9 m height: 2e-8 rad
    EXPECT_LT(w.height, 4e-7);     // measured 3.58e-7 m
}

TEST(GeocentricPeerTest, Wgs84NearTheCentre)
{
    const Worst deep = compare(DtWGS84, grid({-6300000, -6200000, -6000000, -5000000, -3000000}));
    EXPECT_LT(deep.position, 2e-9);   // measured 1.32e-9 m
    EXPECT_LT(deep.ground, 0.65);     // measured 0.614 m, on the equator
    EXPECT_LT(deep.height, 1.2e-7);   // measured 1.18e-7 m

    // Within about 30 km of the centre the start value of the multiplier is
    // meaningless and the iteration settles on the wrong foot point: heights
    // off by up to 6.36e6 m and latitudes of the wrong hemisphere (measured).
    const Worst centre = compare(DtWGS84, grid({-6356000, -6350000}));
    EXPECT_GT(centre.height, 1e6);
    EXPECT_LT(centre.height, 6.4e6);
}

TEST(GeocentricPeerTest, OtherDatumsWithTheirShift)
{
    for (const DtMapDatum* d : {&DtED50, &DtNASANAD27, &DtNASBNAD27, &DtCONUSNAD27}) {
        const Worst w = compare(*d, grid(kEarthHeights));
        EXPECT_LT(w.position, 3e-9);   // measured 2.63e-9 m
        EXPECT_LT(w.ground, 0.14);     // measured 0.135 m, on the equator
        EXPECT_LT(w.height, 6.5e-8);   // measured 6.04e-8 m
    }
}
