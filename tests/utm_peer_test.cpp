// The UTM series and the heading functions against GeographicLib: the exact
// transverse Mercator projection (k0 = 0.9996, WGS 84), its UTM zone rules,
// and the local east-north-up frame of LocalCartesian.
//
// The series is not exact; the bounds asserted are just above the worst
// differences measured on these grids, stated beside them.
#include "utmFixture.h"

#include <geodeticCoord.h>
#include <qvDcm.h>
#include <qvTaitBryan.h>
#include <topoCoord.h>
#include <utmReferencePoint.h>

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/LocalCartesian.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace Vorant;

namespace {

const double kPi = 3.141592653589793;
const double kDeg = kPi / 180;

struct SeriesError
{
    double forward = 0;     // metres, easting and northing
    double inverse = 0;     // degrees, from the exact grid coordinates
    double roundTrip = 0;   // degrees, our forward then our inverse
};

// Every 0.5 degree of latitude from 80 S to 84 N, offsets from the central
// meridian between minOff and maxOff degrees on both sides.
SeriesError measure(double minOff, double maxOff, double maxAbsLat = 90)
{
    const double a = DtWGS84.spheroid.semiMajorAxis;
    const double f = (a - DtWGS84.spheroid.semiMinorAxis) / a;
    const GeographicLib::TransverseMercatorExact exact(a, f, 0.9996);
    DtUtmReferencePoint p;
    p.useMapDatum(DtWGS84);   // datum constants without initialising
    SeriesError worst;
    const long zone = 33;
    const double lon0 = 15.0;
    for (double lat = -80; lat <= 84; lat += 0.5) {
        if (std::fabs(lat) > maxAbsLat)
            continue;
        for (double off = minOff; off <= maxOff + 1e-9; off += (maxOff - minOff) / 6) {
            for (double sign : {-1.0, 1.0}) {
                const double lon = lon0 + sign * off;
                double x, y;
                exact.Forward(lon0, lat, lon, x, y);
                long z = zone;
                double northing, easting;
                p.geod2utm(lat, lon, &z, &northing, &easting);
                worst.forward = std::max(worst.forward, std::hypot(easting - x, northing - y));

                double latBack, lonBack;
                p.utm2geod(y, x, zone, &latBack, &lonBack);
                worst.inverse = std::max(worst.inverse, std::hypot(latBack - lat, (lonBack - lon) * std::cos(lat * kDeg)));

                p.utm2geod(northing, easting, zone, &latBack, &lonBack);
                worst.roundTrip =
                    std::max(worst.roundTrip, std::hypot(latBack - lat, (lonBack - lon) * std::cos(lat * kDeg)));
            }
        }
    }
    std::printf("  offsets %g..%g deg, |lat| <= %g: forward %.3g m, inverse %.3g deg, round trip %.3g deg\n", minOff, maxOff,
                maxAbsLat, worst.forward, worst.inverse, worst.roundTrip);
    return worst;
}

}  // namespace

TEST(UtmPeerTest, SeriesWithinThreeDegreesOfTheCentralMeridian)
{
    const SeriesError w = measure(0.0, 3.0);
    EXPECT_LT(w.forward, 0.002);     // measured 1.75e-3 m
    EXPECT_LT(w.inverse, 4e-9);      // measured 3.48e-9 degree
    // The forward meridian arc carries e^8 terms, the inverse divisor stops at
    // e^6: a latitude error of up to 1.42e-8 degree (1.6 mm) around 68 degrees
    // of latitude, on the central meridian too (measured 1.45e-8 overall).
    // Below 54 degrees of latitude the round trip stays under 1e-8.
    EXPECT_LT(w.roundTrip, 1.5e-8);
    EXPECT_LT(measure(0.0, 3.0, 54).roundTrip, 1e-8);   // measured 8.96e-9
}

TEST(UtmPeerTest, SeriesThreeToNineDegreesOff)
{
    const SeriesError w = measure(3.0, 9.0);
    EXPECT_LT(w.forward, 0.2);       // measured 0.193 m
    EXPECT_LT(w.inverse, 7.5e-6);    // measured 7.43e-6 degree
    EXPECT_LT(w.roundTrip, 7.7e-6);  // measured 7.59e-6 degree
}

TEST(UtmPeerTest, ZonesAgreeWithTheStandardRules)
{
    // The Svalbard rule here ends at 80 degrees north; between 80 and 84 the
    // plain six-degree zones apply (the standard rule covers up to 84).
    int compared = 0;
    for (double lat = -79.75; lat < 80; lat += 0.5)
        for (double lon = -179.8; lon < 180; lon += 0.7) {
            EXPECT_EQ(DtUtmGridZoneFromLatLon(lat, lon), GeographicLib::UTMUPS::StandardZone(lat, lon))
                << lat << " " << lon;
            ++compared;
        }
    EXPECT_GT(compared, 100000);
    EXPECT_EQ(DtUtmGridZoneFromLatLon(80.25, 6.4), 32);
    EXPECT_EQ(GeographicLib::UTMUPS::StandardZone(80.25, 6.4), 31);
}

TEST_F(GlobalStateTest, HeadingPitchRollAgainstTheLocalFrameOfThePeer)
{
    const GeographicLib::Geocentric& earth = GeographicLib::Geocentric::WGS84();
    // The peer's local frame with its origin at latitude 0, longitude 0: there
    // east, north and up are geocentric Y, Z and X. Its matrix M takes the
    // east-north-up axes of a point into that frame.
    const GeographicLib::LocalCartesian origin(0, 0, 0, earth);
    const double originToGeoc[3][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    // NED to ENU, written out here rather than taken from the library.
    const double nedToEnu[3][3] = {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}};
    double worstHeading = 0, worstPitch = 0, worstRoll = 0;
    for (double lat = -85; lat <= 85; lat += 17)
        for (double lon = -175; lon <= 180; lon += 35) {
            const double h = 1000.0;
            std::vector<double> enuToOrigin(9);
            double x, y, z;
            origin.Forward(lat, lon, h, x, y, z, enuToOrigin);
            double enuToGeoc[9];
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    enuToGeoc[3 * r + c] = originToGeoc[r][0] * enuToOrigin[c] + originToGeoc[r][1] * enuToOrigin[3 + c] +
                                           originToGeoc[r][2] * enuToOrigin[6 + c];
            double X, Y, Z;
            earth.Forward(lat, lon, h, X, Y, Z);

            for (double yaw : {-2.5, -0.4, 0.0, 1.2, 3.0})
                for (double pitch : {-1.2, 0.0, 0.7})
                    for (double roll : {-2.0, 0.3}) {
                        // Body-to-NED by the yaw-pitch-roll composition, then
                        // body-to-geocentric through the peer's frame.
                        DtDcm bodyToNed;
                        DtTbToMat(DtTaitBryan(yaw, pitch, roll), bodyToNed);
                        DtDcm bodyToGeoc;
                        for (int r = 0; r < 3; ++r)
                            for (int c = 0; c < 3; ++c) {
                                double sum = 0;
                                for (int k = 0; k < 3; ++k)
                                    for (int j = 0; j < 3; ++j)
                                        sum += enuToGeoc[3 * r + k] * nedToEnu[k][j] * bodyToNed[j][c];
                                bodyToGeoc[r][c] = sum;
                            }
                        DtTaitBryan geocentric;
                        DtBodyToRef_to_Euler(bodyToGeoc, &geocentric);
                        const DtVector64 position(X, Y, Z);
                        const double dh = std::remainder(DtGetHeadingFromGeocentric(position, geocentric) - yaw, 2 * kPi);
                        worstHeading = std::max(worstHeading, std::fabs(dh));
                        worstPitch = std::max(worstPitch,
                                              std::fabs(DtGetPitchFromGeocentric(position, geocentric) - pitch));
                        const double dr = std::remainder(DtGetRollFromGeocentric(position, geocentric) - roll, 2 * kPi);
                        worstRoll = std::max(worstRoll, std::fabs(dr));
                    }
        }
    std::printf("  heading %.3g rad, pitch %.3g rad, roll %.3g rad\n", worstHeading, worstPitch, worstRoll);
    // Measured: heading 6.66e-8, pitch 2.11e-8 (the equator's latitude from
    // the geodetic conversion), roll 7.88e-7 rad (acos-based extraction).
    EXPECT_LT(worstHeading, 7e-8);
    EXPECT_LT(worstPitch, 2.2e-8);
    EXPECT_LT(worstRoll, 8e-7);
}
