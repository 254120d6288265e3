// Against GeographicLib's exact implementations: geocentric <-> geodetic over
// every latitude band, all longitudes and heights from the centre of the earth
// to 1e9 m; the UTM series against the exact transverse Mercator (k0 = 0.9996,
// WGS 84) and its zone rules; the ground angles against its local frames. The
// bounds are just above the worst differences measured, stated beside them.
#include "testSupport.h"

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/PolygonArea.hpp>
#include <GeographicLib/LocalCartesian.hpp>
#include <GeographicLib/MGRS.hpp>
#include <GeographicLib/PolarStereographic.hpp>
#include <GeographicLib/TransverseMercator.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>
#include <GeographicLib/UTMUPS.hpp>

#ifdef QORMATRIX_HAVE_PROJ
#include <proj.h>
#endif

using namespace Vorant;
using namespace qmtest;

namespace {


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

const std::vector<double> kEarth = {-10000, -1000, 0, 500, 10000, 100000, 500000, 1000000};

}  // namespace

// Bounds just above the worst differences measured (stated beside). On the
// equator the latitude comes from sqrt(|1 - re^2/a^2|) of a difference near
// zero and keeps only about 2e-8 rad. Within about 30 km of the centre the
// start value of the multiplier is meaningless and the iteration settles on
// the wrong foot point: heights off by up to 6.36e6 m (measured).
TEST(GeocentricPeerTest, AgreementByDatumAndHeightBand)
{
    const struct
    {
        const char* band;
        const DtMapDatum& datum;
        std::vector<double> heights;
        bool withEquator;
        double position, ground, height;
    } bands[] = {
        {"WGS 84 near the earth", DtWGS84, kEarth, true, 3e-9, 0.16, 6e-8},   // 2.63e-9, 0.151, 5.81e-8
        {"WGS 84 off the equator", DtWGS84, kEarth, false, 3e-9, 2.5e-7, 6e-8},   // 2.43e-7 ground
        {"WGS 84 far out", DtWGS84, {1e7, 1e8, 1e9}, true, 4e-7, 22.0, 4e-7},   // 3.37e-7, 21.3 (2e-8 rad), 3.58e-7
        {"WGS 84 deep", DtWGS84, {-6300000, -6000000, -3000000}, true, 2e-9, 0.65, 1.2e-7},   // 1.32e-9, 0.614, 1.18e-7
        {"ED50", DtED50, kEarth, true, 3e-9, 0.14, 6.5e-8},   // 2.63e-9, 0.135, 6.04e-8 for all four
        {"NAD27 Alaska", DtNASANAD27, kEarth, true, 3e-9, 0.14, 6.5e-8},
        {"NAD27 Bahamas", DtNASBNAD27, kEarth, true, 3e-9, 0.14, 6.5e-8},
        {"NAD27 CONUS", DtCONUSNAD27, kEarth, true, 3e-9, 0.14, 6.5e-8},
    };
    for (const auto& b : bands) {
        const Worst w = compare(b.datum, b.heights, b.withEquator);
        EXPECT_TRUE(w.position < b.position && w.ground < b.ground && w.height < b.height) << b.band;
    }
    const Worst centre = compare(DtWGS84, {-6356000, -6350000});
    EXPECT_TRUE(centre.height > 1e6 && centre.height < 6.4e6);
}

namespace {

struct SeriesError
{
    double forward = 0;     // metres
    double inverse = 0;     // degrees, from the exact grid coordinates
    double roundTrip = 0;   // degrees, our forward then our inverse
};

// Latitudes 80 S to 84 N every half degree (at most maxAbsLat), offsets from
// the central meridian between minOff and maxOff on both sides, zone 33.
SeriesError measure(double minOff, double maxOff, double maxAbsLat = 90)
{
    const double a = DtWGS84.spheroid.semiMajorAxis;
    const GeographicLib::TransverseMercatorExact exact(a, (a - DtWGS84.spheroid.semiMinorAxis) / a, 0.9996);
    DtUtmReferencePoint p;
    p.useMapDatum(DtWGS84);   // datum constants without initialising
    SeriesError w;
    for (double lat = -80; lat <= std::min(84.0, maxAbsLat); lat += 0.5)
        for (double off = minOff; off <= maxOff + 1e-9 && std::fabs(lat) <= maxAbsLat; off += (maxOff - minOff) / 6)
            for (double lon : {15.0 - off, 15.0 + off}) {
                double x, y, northing, easting, latBack, lonBack;
                long zone = 33;
                exact.Forward(15.0, lat, lon, x, y);
                p.geod2utm(lat, lon, &zone, &northing, &easting);
                w.forward = std::max(w.forward, std::hypot(easting - x, northing - y));
                p.utm2geod(y, x, 33, &latBack, &lonBack);
                w.inverse = std::max(w.inverse, std::hypot(latBack - lat, (lonBack - lon) * std::cos(lat * kDeg)));
                p.utm2geod(northing, easting, 33, &latBack, &lonBack);
                w.roundTrip = std::max(w.roundTrip, std::hypot(latBack - lat, (lonBack - lon) * std::cos(lat * kDeg)));
            }
    std::printf("  offsets %g..%g, |lat| <= %g: forward %.3g m, inverse %.3g deg, round trip %.3g deg\n", minOff,
                maxOff, maxAbsLat, w.forward, w.inverse, w.roundTrip);
    return w;
}

}  // namespace

// Geodesics on WGS 84 (a and f as published, like with like) and on the
// International and Clarke 1866 ellipsoids: random pairs, nearly antipodal
// ones on both sides of the crossover, equatorial and meridional ones and the
// poles; the direct problem from the inverse's azimuth back to the second
// point; polygons of 3 to 50 vertices.
TEST(GeodesicPeerTest, InverseDirectAndAreasAgree)
{
    const double d = kPi / 180;
    Stream draws(23);
    // The earth's flattenings, a sphere and a prolate shape (each has branches of its own).
    for (const double f : {1 / 298.257223563, 1 / 297.0, 1 / 294.978698214, 0.0, -1 / 300.0}) {
        const double a = f == 1 / 297.0 ? 6378388.0 : f < 0.00339 ? 6378137.0 : 6378206.4;
        const DtGeodesic ours(a, f);
        const GeographicLib::Geodesic peer(a, f);
        const GeographicLib::Geocentric ecef(a, f);
        const auto apart = [&](double la1, double lo1, double la2, double lo2) {
            double x1, y1, z1, x2, y2, z2;
            ecef.Forward(la1, lo1, 0, x1, y1, z1);
            ecef.Forward(la2, lo2, 0, x2, y2, z2);
            return std::hypot(x1 - x2, std::hypot(y1 - y2, z1 - z2));
        };
        double worstS = 0, worstAzi = 0, worstBack = 0, worstDirect = 0, worstArea = 0, worstM = 0;
        for (int i = 0; i < (f > 0 ? 40000 : 8000); ++i) {
            double la1 = draws.uniform(-90, 90), lo1 = draws.uniform(-180, 180), la2 = draws.uniform(-90, 90),
                   lo2 = draws.uniform(-180, 180);
            if (i % 4 == 1) {   // nearly antipodal, within 1e-10 rad either side
                la2 = -la1 + draws.uniform(-1e-8, 1e-8) / d;
                lo2 = lo1 + 180 + draws.uniform(-1e-8, 1e-8) / d;
            } else if (i % 4 == 2) {   // along and near the equator, past the crossover
                la1 = 0;
                la2 = draws.uniform(-1e-4, 1e-4);
                lo2 = lo1 + draws.uniform(170, 190);
            } else if (i % 16 == 3) {
                la1 = i % 32 == 3 ? 90 : -90;
            } else if (i % 16 == 7) {
                lo2 = lo1;
            } else if (i % 16 == 11) {   // exactly antipodal
                la2 = -la1;
                lo2 = lo1 + 180;
            }
            double s12, azi1, azi2, m12, M12, M21, S12;
            peer.Inverse(la1, lo1, la2, lo2, s12, azi1, azi2, m12, M12, M21, S12);
            const DtGeodesicResult r = ours.inverse(la1 * d, lo1 * d, la2 * d, lo2 * d, DtGeodesic::All);
            worstS = std::max(worstS, std::fabs(r.s12 - s12));
            // Exactly antipodal: many shortest geodesics, checked by the way back; on
            // the sphere nearly antipodal too: there the azimuth moves by 1e-6 for
            // a rounding of the input (both libraries agree on the distance).
            const bool unique = i % 16 != 11 && !(f == 0 && i % 4 == 1);
            if (unique && s12 > 1e-3 && std::fabs(la1) < 90 && std::fabs(la2) < 90)
                worstAzi = std::max({worstAzi, std::fabs(std::remainder(r.azi1 / d - azi1, 360.0)),
                                     std::fabs(std::remainder(r.azi2 / d - azi2, 360.0))});
            worstM = std::max({worstM, std::fabs(r.m12 - m12), 1e7 * std::fabs(r.M12 - M12), 1e7 * std::fabs(r.M21 - M21)});
            worstArea = unique ? std::max(worstArea, std::fabs(r.S12 - S12) / std::max(1e12, std::fabs(S12))) : worstArea;
            const DtGeodesicResult back = ours.direct(la1 * d, lo1 * d, r.azi1, r.s12);
            worstBack = std::max(worstBack, apart(back.lat2 / d, back.lon2 / d, la2, lo2));
            const double azi = draws.uniform(-180, 180), s = draws.uniform(-2e7, 2e7);
            double la3, lo3;
            peer.Direct(la1, lo1, azi, s, la3, lo3);
            const DtGeodesicResult there = ours.direct(la1 * d, lo1 * d, azi * d, s);
            worstDirect = std::max(worstDirect, apart(there.lat2 / d, there.lon2 / d, la3, lo3));
        }
        // Measured: 1.2e-8 m, 2e-9 degree (nearly antipodal), 1.8e-8 m back and direct, 2e-11 relative areas
        // (of areas from 1e12 m^2; below, against 1e12 m^2).
        EXPECT_LT(worstS, 2e-8) << f;
        EXPECT_LT(worstAzi, 1e-8) << f;
        EXPECT_LT(worstBack, 2e-8) << f;
        EXPECT_LT(worstDirect, 2e-8) << f;
        EXPECT_LT(worstM, 2e-8) << f;
        EXPECT_LT(worstArea, f < 0 ? 5e-10 : 1e-10) << f;   // prolate: 2.6e-10
        double worstPolygon = 0, worstPerimeter = 0;
        for (int i = 0; i < 300; ++i) {
            GeographicLib::PolygonArea theirs(peer);
            DtGeodesicPolygon mine(ours);
            const int vertices = 3 + i % 48;
            const double lat0 = draws.uniform(-70, 70), lon0 = draws.uniform(-180, 180), radius = draws.uniform(0.01, 40);
            for (int k = 0; k < vertices; ++k) {
                const double t = 2 * kPi * k / vertices * (i % 2 ? -1 : 1);
                const double la = std::clamp(lat0 + radius * std::sin(t), -89.0, 89.0), lo = lon0 + 1.5 * radius * std::cos(t);
                theirs.AddPoint(la, lo);
                mine.add(la * d, lo * d);
            }
            double area, perimeter, theirArea, theirPerimeter;
            theirs.Compute(false, true, theirPerimeter, theirArea);
            mine.compute(area, perimeter);
            worstPolygon = std::max(worstPolygon, std::fabs(area - theirArea) / std::max(1.0, std::fabs(theirArea)));
            worstPerimeter = std::max(worstPerimeter, std::fabs(perimeter - theirPerimeter));
        }
        EXPECT_LT(worstPolygon, 1e-10) << f;
        EXPECT_LT(worstPerimeter, 1e-7) << f;
    }
}

// Look angles from GeographicLib's local east-north-up frame and the three
// angle formulas, on 100,000 random observer/target pairs (targets up to
// 40,000 km away), and the exact geodetic conversion against its reverse
// conversion, on one ellipsoid (the same semi-axes).
TEST(LookAnglesPeerTest, AnglesRangesAndGeodeticPositionsAgree)
{
    const double a = DtWGS84.spheroid.semiMajorAxis, b = DtWGS84.spheroid.semiMinorAxis;
    const GeographicLib::Geocentric earth(a, (a - b) / a);
    std::mt19937_64 draw(31);
    std::uniform_real_distribution<double> u(-1, 1);
    double worstAngle = 0, worstRange = 0, worstPosition = 0;
    for (int i = 0; i < 100000; ++i) {
        const double lat0 = 90 * u(draw), lon0 = 180 * u(draw), h0 = 5000 * u(draw);
        const double lat = 90 * u(draw), lon = 180 * u(draw), h = std::pow(10.0, 3.5 * (1 + u(draw)));
        const GeographicLib::LocalCartesian frame(lat0, lon0, h0, earth);
        double e, n, up;
        frame.Forward(lat, lon, h, e, n, up);
        const double range = std::sqrt(e * e + n * n + up * up), el = std::atan2(up, std::hypot(e, n));
        const double az = std::fmod(std::atan2(e, n) + 2 * kPi, 2 * kPi);
        const DtLookAngles ours = DtObserver(lat0 * kDeg, lon0 * kDeg, h0, DtWGS84).lookAt(lat * kDeg, lon * kDeg, h);
        const double da = std::fabs(ours.azimuth - az);
        worstAngle = std::max({worstAngle, std::min(da, 2 * kPi - da) * std::cos(el), std::fabs(ours.elevation - el)});
        worstRange = std::max(worstRange, std::fabs(ours.range - range));
        double x, y, z, plat, plon, ph;
        earth.Forward(lat, lon, h - 7e6 * (i % 3 == 0), x, y, z);
        earth.Reverse(x, y, z, plat, plon, ph);
        const DtVector64 g = DtGeocentricToGeodeticExact(DtVector64(x, y, z), DtWGS84);
        worstPosition = std::max({worstPosition, std::fabs(g[0] / kDeg - plat) * 1.1e5,
                                  std::fabs(g[1] / kDeg - plon) * std::cos(plat * kDeg) * 1.1e5, std::fabs(g[2] - ph)});
    }
    // Measured: 2.7e-14 rad, 1.1e-8 m (ranges to 4e7 m), 7.5e-9 m.
    EXPECT_LT(worstAngle, 5e-14);
    EXPECT_LT(worstRange, 2e-8);
    EXPECT_LT(worstPosition, 1e-8);
}

// UTM/UPS and MGRS against GeographicLib on 100,000 points over the globe, a
// fifth each dense on band edges, on zone edges (the Norway and Svalbard
// zones among them) and in the polar caps: the same zone, coordinates within
// nanometres, convergence and scale, the same string at every precision 0..5,
// and each string read back to the same square.
TEST(GridReferencePeerTest, UtmUpsAndMgrsAgree)
{
    const double a = 6378137, f = 1 / 298.257223563;
    const DtMgrs ours(DtMapDatum(DtSpheroid{a, a * (1 - f)}, 0, 0, 0));
    std::mt19937_64 draw(25);
    std::uniform_real_distribution<double> u(0, 1);
    double worstPosition = 0, worstGamma = 0, worstScale = 0, worstBack = 0;
    long strings = 0, differ = 0;
    for (int i = 0; i < 100000; ++i) {
        double lat = 180 * u(draw) - 90, lon = 360 * u(draw) - 180;
        if (i % 5 == 1)
            lat = std::round(lat / 8) * 8 + (u(draw) - 0.5) * 1e-6;
        else if (i % 5 == 2)
            lon = std::round(lon / 3) * 3 + (u(draw) - 0.5) * 1e-6, lat = i % 2 ? 56 + 28 * u(draw) : lat;
        else if (i % 5 == 3)
            lat = (i % 2 ? 1 : -1) * (78 + 12 * u(draw));
        int zone;
        bool north;
        double x, y, gamma, k;
        GeographicLib::UTMUPS::Forward(lat, lon, zone, north, x, y, gamma, k);
        const DtGridPosition p = ours.grid().forward(lat * kDeg, lon * kDeg);
        ASSERT_TRUE(p.zone == zone && p.north == north) << lat << " " << lon;
        worstPosition = std::max(worstPosition, std::hypot(p.easting - x, p.northing - y));
        worstGamma = std::max(worstGamma, std::fabs(p.convergence / kDeg - gamma));
        worstScale = std::max(worstScale, std::fabs(p.scale - k));
        char text[DtMgrs::kMaxLength + 1];
        for (int digits = 0; digits <= 5; ++digits) {
            std::string theirs;
            GeographicLib::MGRS::Forward(zone, north, x, y, lat, digits, theirs);
            ours.encode(lat * kDeg, lon * kDeg, digits, text);
            ++strings;
            differ += theirs != text;
            int backZone, precision;
            bool backNorth;
            double bx, by;
            GeographicLib::MGRS::Reverse(theirs, backZone, backNorth, bx, by, precision, true);
            const DtMgrsSquare square = ours.decode(theirs);
            worstBack = std::max({worstBack, std::hypot(square.position.easting - bx, square.position.northing - by),
                                  square.digits == precision && square.position.zone == backZone ? 0.0 : 1e9});
        }
    }
    EXPECT_EQ(differ, 0) << " of " << strings;
    // Measured: 5.6e-9 m, 4.4e-14 degree, 1e-15, decoded squares the same to the bit.
    EXPECT_LT(worstPosition, 2e-8);
    EXPECT_LT(worstGamma, 1e-12);
    EXPECT_LT(worstScale, 1e-14);
    EXPECT_LT(worstBack, 1e-8);
}

// A flatter ellipsoid (f = 1/40) takes the series' other branches (a
// conformal latitude correction past 1/64): UTM and UPS, both ways, against
// GeographicLib's transverse Mercator and polar stereographic projections.
TEST(GridReferencePeerTest, AFlatterEllipsoid)
{
    const double a = 6378137, f = 1 / 40.0;
    const DtUtmUps ours(DtMapDatum(DtSpheroid{a, a * (1 - f)}, 0, 0, 0));
    const GeographicLib::TransverseMercator utm(a, f, 0.9996);
    const GeographicLib::PolarStereographic ups(a, f, 0.994);
    Stream draws(29);
    double worstUtm = 0, worstUps = 0, worstGamma = 0, worstScale = 0, worstBack = 0;
    for (int i = 0; i < 4000; ++i) {
        const bool polar = i % 4 == 0;
        const double lat = polar ? (i % 8 ? 1 : -1) * draws.uniform(84, 90) : draws.uniform(-80, 84),
                     lon = draws.uniform(-180, 180);
        const int zone = polar ? DtUtmUps::Ups : static_cast<int>(std::floor((lon + 180) / 6)) % 60 + 1;
        DtGridPosition p = ours.forward(lat * kDeg, lon * kDeg, zone);
        double x, y, gamma, k;
        if (polar) {
            ups.Forward(lat > 0, lat, lon, x, y, gamma, k);
            worstUps = std::max(worstUps, std::hypot(p.easting - 2e6 - x, p.northing - 2e6 - y));
        } else {
            utm.Forward(6.0 * zone - 183, lat, lon, x, y, gamma, k);
            worstUtm = std::max(worstUtm, std::hypot(p.easting - 5e5 - x, p.northing - (lat < 0 ? 1e7 : 0) - y));
        }
        worstGamma = std::max(worstGamma, std::fabs(std::remainder(p.convergence / kDeg - gamma, 360.0)));
        worstScale = std::max(worstScale, std::fabs(p.scale - k));
        double backLat, backLon;
        ours.reverse(p, backLat, backLon);
        worstBack = std::max(worstBack, std::fabs(backLat / kDeg - lat) +
                                            (std::fabs(lat) < 89.9 ? std::fabs(std::remainder(backLon / kDeg - lon, 360.0)) : 0));
    }
    // Measured: 2.9e-9 m, 1.2e-9 m, 2.3e-14 degree, 1.4e-15; back within 2.6e-11 degree (the
    // inverse series, a term shorter than the forward one, at this flattening).
    EXPECT_LT(worstUtm, 6e-9);
    EXPECT_LT(worstUps, 3e-9);
    EXPECT_LT(worstGamma, 1e-13);
    EXPECT_LT(worstScale, 5e-15);
    EXPECT_LT(worstBack, 5e-11);
}

TEST(UtmPeerTest, SeriesInAndBeyondTheZone)
{
    const SeriesError w = measure(0.0, 3.0);
    EXPECT_LT(w.forward, 0.002);   // measured 1.75e-3 m
    EXPECT_LT(w.inverse, 4e-9);    // measured 3.48e-9 degree
    // The forward meridian arc carries e^8 terms, the inverse divisor stops at
    // e^6: a latitude error of up to 1.42e-8 degree (1.6 mm) around 68 degrees
    // of latitude, on the central meridian too (measured 1.45e-8 overall).
    EXPECT_LT(w.roundTrip, 1.5e-8);
    EXPECT_LT(measure(0.0, 3.0, 54).roundTrip, 1e-8);   // measured 8.96e-9 below 54 degrees
    const SeriesError beyond = measure(3.0, 9.0);
    EXPECT_LT(beyond.forward, 0.2);       // measured 0.193 m
    EXPECT_LT(beyond.inverse, 7.5e-6);    // measured 7.43e-6 degree
    EXPECT_LT(beyond.roundTrip, 7.7e-6);  // measured 7.59e-6 degree
}

TEST(UtmPeerTest, ZonesAgreeWithTheStandardRules)
{
    // The Svalbard rule here ends at 80 degrees north; between 80 and 84 the
    // plain six-degree zones apply (the standard rule covers up to 84).
    int compared = 0;
    for (double lat = -79.75; lat < 80; lat += 0.5)
        for (double lon = -179.8; lon < 180; lon += 0.7, ++compared)
            EXPECT_EQ(DtUtmGridZoneFromLatLon(lat, lon), GeographicLib::UTMUPS::StandardZone(lat, lon)) << lat << " " << lon;
    EXPECT_GT(compared, 100000);
    EXPECT_TRUE(DtUtmGridZoneFromLatLon(80.25, 6.4) == 32 && GeographicLib::UTMUPS::StandardZone(80.25, 6.4) == 31);
}

TEST_F(GlobalStateTest, HeadingPitchRollAgainstTheLocalFrameOfThePeer)
{
    const GeographicLib::Geocentric& earth = GeographicLib::Geocentric::WGS84();
    // The peer's frame at latitude 0, longitude 0 has east, north and up along
    // geocentric Y, Z and X; its matrix M takes a point's east-north-up axes
    // into that frame. NED to ENU is written out here, not taken from us.
    const GeographicLib::LocalCartesian origin(0, 0, 0, earth);
    const DtDcm originToGeoc(0, 0, 1, 1, 0, 0, 0, 1, 0), nedToEnu(0, 1, 0, 1, 0, 0, 0, 0, -1);
    double worstHeading = 0, worstPitch = 0, worstRoll = 0;
    for (double lat = -85; lat <= 85; lat += 17)
        for (double lon = -175; lon <= 180; lon += 35) {
            std::vector<double> m(9);
            double x, y, z, X, Y, Z;
            origin.Forward(lat, lon, 1000.0, x, y, z, m);
            earth.Forward(lat, lon, 1000.0, X, Y, Z);
            DtDcm nedToOrigin, nedToGeoc;
            DtDcmDcmMul(DtDcm(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8]), nedToEnu, nedToOrigin);
            DtDcmDcmMul(originToGeoc, nedToOrigin, nedToGeoc);
            for (double yaw : {-2.5, -0.4, 0.0, 1.2, 3.0})
                for (double pitch : {-1.2, 0.0, 0.7})
                    for (double roll : {-2.0, 0.3}) {
                        DtDcm bodyToGeoc;
                        DtDcmDcmMul(nedToGeoc, DtDcm(DtTaitBryan(yaw, pitch, roll)), bodyToGeoc);
                        DtTaitBryan geocentric;
                        DtBodyToRef_to_Euler(bodyToGeoc, &geocentric);
                        const DtVector64 position(X, Y, Z);
                        worstHeading = std::max(worstHeading, std::fabs(std::remainder(
                                                                  DtGetHeadingFromGeocentric(position, geocentric) - yaw, 2 * kPi)));
                        worstPitch = std::max(worstPitch, std::fabs(DtGetPitchFromGeocentric(position, geocentric) - pitch));
                        worstRoll = std::max(worstRoll, std::fabs(std::remainder(
                                                            DtGetRollFromGeocentric(position, geocentric) - roll, 2 * kPi)));
                    }
        }
    std::printf("  heading %.3g rad, pitch %.3g rad, roll %.3g rad\n", worstHeading, worstPitch, worstRoll);
    // Measured: heading 6.66e-8, pitch 2.11e-8 (the equator's latitude from
    // the geodetic conversion), roll 7.88e-7 rad (acos-based extraction).
    EXPECT_TRUE(worstHeading < 7e-8 && worstPitch < 2.2e-8 && worstRoll < 8e-7);
}

#ifdef QORMATRIX_HAVE_PROJ
// PROJ's vertical grid shift over the same EGM96 grid, bilinear as ours.
TEST(PeerTest, GeoidUndulationAgainstProjVgridshift)
{
    const char* const file = "/usr/share/proj/egm96_15.gtx";
    if (!std::ifstream(file))
        GTEST_SKIP() << file << " is not installed";
    PJ_CONTEXT* context = proj_context_create();
    PJ* shift = proj_create(context, "+proj=vgridshift +grids=egm96_15.gtx +multiplier=1");
    ASSERT_NE(shift, nullptr) << proj_context_errno_string(context, proj_context_errno(context));
    const DtGeoidGrid egm96(file);
    Stream draws(96);
    double worst = 0;
    for (int i = 0; i < 10000; ++i) {
        const double lat = i < 100 ? 90.0 * (i % 3 - 1) : draws.uniform(-90, 90), lon = draws.uniform(-180, 180);
        const PJ_COORD out = proj_trans(shift, PJ_FWD, proj_coord(lon * kDeg, lat * kDeg, 0, 0));
        worst = std::max(worst, std::fabs(egm96.undulation(lat, lon) - out.xyz.z));
    }
    EXPECT_LT(worst, 1e-3);   // measured 7.9e-13 m
    proj_destroy(shift);
    proj_context_destroy(context);
}
#endif
