// Geocentric <-> geodetic against GeographicLib's exact implementation, over a
// grid of every latitude band, all longitudes, heights from -10 km to 1000 km,
// and points far out in space and near the centre of the earth. The bounds
// are just above the worst differences measured on this grid, stated beside.
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
    double ground = 0;     // reverse: the latitude/longitude error as metres on the ground
    double height = 0;     // reverse: metres
};

// Every degree of latitude (odd ones offset) and 7.5 degrees of longitude at
// each height, compared on the datum with a GeographicLib ellipsoid of the
// same semi-axes, the datum shift added on the geocentric side.
Worst compare(const DtMapDatum& datum, const std::vector<double>& heights, bool withEquator = true)
{
    const double a = datum.spheroid.semiMajorAxis;
    const GeographicLib::Geocentric peer(a, (a - datum.spheroid.semiMinorAxis) / a);
    const DtReferenceEllipsoid ours(datum);
    DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(false);   // the exact poles have X = Y = 0
    Worst w;
    for (int latDeg = -90; latDeg <= 90; ++latDeg)
        for (double lonDeg = -180; lonDeg <= 180 && (withEquator || latDeg != 0); lonDeg += 7.5)
            for (double h : heights) {
                const double la = latDeg + (latDeg % 2 ? 0.123456789 : 0.0), lo = lonDeg + 0.01 * latDeg;
                double px, py, pz, lat, lon, ph;
                peer.Forward(la, lo, h, px, py, pz);
                const DtVector64 peerGeocentric(px + datum.deltaX, py + datum.deltaY, pz + datum.deltaZ);
                DtVector64 geocentric, geodetic;
                ours.geodeticToGeocentric(DtVector64(la * kDeg, lo * kDeg, h), geocentric);
                w.position = std::max(w.position, DtDistance(geocentric, peerGeocentric));
                ours.geocentricToGeodetic(peerGeocentric, geodetic);
                peer.Reverse(px, py, pz, lat, lon, ph);
                const double dLat = geodetic[0] - lat * kDeg;
                const double dLon = std::remainder(geodetic[1] / kDeg - lon, 360.0) * kDeg * std::cos(lat * kDeg);
                w.ground = std::max(w.ground, std::hypot(dLat, dLon) * (a + std::fabs(ph)));
                w.height = std::max(w.height, std::fabs(geodetic[2] - ph));
            }
    DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(true);
    std::printf("  position %.3g m, ground %.3g m, height %.3g m\n", w.position, w.ground, w.height);
    return w;
}

const std::vector<double> kEarthHeights = {-10000, -1000, 0, 500, 10000, 100000, 500000, 1000000};

}  // namespace

TEST(GeocentricPeerTest, Wgs84NearTheEarth)
{
    const Worst w = compare(DtWGS84, kEarthHeights);
    EXPECT_LT(w.position, 3e-9);   // measured 2.63e-9 m
    EXPECT_LT(w.height, 6e-8);     // measured 5.81e-8 m
    // On the equator the latitude comes from sqrt(|1 - re^2/a^2|) of a
    // difference near zero and keeps only about 2e-8 rad.
    EXPECT_LT(w.ground, 0.16);   // measured 0.151 m, at latitude 0
    EXPECT_LT(compare(DtWGS84, kEarthHeights, false).ground, 2.5e-7);   // measured 2.43e-7 m off the equator
}

TEST(GeocentricPeerTest, Wgs84FarOutAndNearTheCentre)
{
    const Worst far = compare(DtWGS84, {1e7, 1e8, 1e9});
    EXPECT_LT(far.position, 4e-7);   // measured 3.37e-7 m
    EXPECT_LT(far.ground, 22.0);     // measured 21.3 m at 1e9 m height: 2e-8 rad
    EXPECT_LT(far.height, 4e-7);     // measured 3.58e-7 m
    const Worst deep = compare(DtWGS84, {-6300000, -6200000, -6000000, -5000000, -3000000});
    EXPECT_LT(deep.position, 2e-9);   // measured 1.32e-9 m
    EXPECT_LT(deep.ground, 0.65);     // measured 0.614 m, on the equator
    EXPECT_LT(deep.height, 1.2e-7);   // measured 1.18e-7 m
    // Within about 30 km of the centre the start value of the multiplier is
    // meaningless and the iteration settles on the wrong foot point: heights
    // off by up to 6.36e6 m and latitudes of the wrong hemisphere (measured).
    const Worst centre = compare(DtWGS84, {-6356000, -6350000});
    EXPECT_TRUE(centre.height > 1e6 && centre.height < 6.4e6);
}

TEST(GeocentricPeerTest, OtherDatumsWithTheirShift)
{
    for (const DtMapDatum* d : {&DtED50, &DtNASANAD27, &DtNASBNAD27, &DtCONUSNAD27}) {
        const Worst w = compare(*d, kEarthHeights);
        EXPECT_LT(w.position, 3e-9);   // measured 2.63e-9 m
        EXPECT_LT(w.ground, 0.14);     // measured 0.135 m, on the equator
        EXPECT_LT(w.height, 6.5e-8);   // measured 6.04e-8 m
    }
}
