// Map datums, the reference ellipsoid, the geoid datum and geodetic coordinates.
#include "testSupport.h"

#include <coordTransform.h>
#include <geodeticCoord.h>
#include <geoidDatum.h>
#include <mapDatum.h>
#include <qvDcm.h>
#include <qvTaitBryan.h>
#include <referenceEllipsoid.h>
#include <topoCoord.h>
#include <qvutil/dtException.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

using namespace Vorant;

namespace {

const double kPi = 3.141592653589793;
const double kDeg = kPi / 180;
const double kHalfPi = 1.5707963267948966;
const double kNaN = std::nan("");

// Restores the process-wide settings of the ellipsoid and the geoid.
class GeodesySettings : public ::testing::Test
{
protected:
    void TearDown() override
    {
        DtReferenceEllipsoid::setMaxIterationsForConvergence(5000);
        DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(true);
        DtReferenceEllipsoid::setThrowExceptionOnConversionFrom0Geocentric(false);
        DtGlobalEllipsoid().useMapDatum(DtWGS84);
        setTheGeoidDatumType(DtGeoidNone);
        setTheGeoidDatumPath("../data/geoids");
    }
};

struct Geodetic
{
    double lat = 7, lon = 7, h = 7;
};

Geodetic toGeodetic(double x, double y, double z, const DtReferenceEllipsoid& e = DtGlobalEllipsoid())
{
    Geodetic g;
    e.geocentric_to_geodetic(x, y, z, &g.lat, &g.lon, &g.h);
    return g;
}

// Smallest iteration cap that lets the point convert: the number of passes.
unsigned passesNeeded(double x, double y, double z)
{
    unsigned passes = 0;
    for (unsigned cap = 0; cap < 50 && passes == 0; ++cap) {
        DtReferenceEllipsoid::setMaxIterationsForConvergence(cap);
        try {
            toGeodetic(x, y, z);
            passes = cap + 1;
        } catch (const DtException&) {
        }
    }
    DtReferenceEllipsoid::setMaxIterationsForConvergence(5000);
    return passes;
}

}  // namespace

TEST_F(GeodesySettings, DatumsEllipsoidAndKnownPoints)
{
    EXPECT_TRUE(DtED50.spheroid.semiMajorAxis == 6378388.0 && DtED50.deltaZ == -121 && DtCONUSNAD27.deltaY == 160 &&
                DtNASBNAD27.spheroid.semiMinorAxis == 6356583.8 && DtWGS84Spheroid.semiMinorAxis == 6356752.3142);
    EXPECT_TRUE(DtMapDatum() == DtMapDatum(DtSpheroid{-0.0, 0.0}, 0.0, -0.0, 0.0) && DtMapDatum() != DtWGS84);
    const DtReferenceEllipsoid e(DtWGS84);
    EXPECT_NEAR(e.semiMinor(), 6356752.3142, 1e-8);   // recomputed from f, not copied
    EXPECT_NEAR(1 / e.flattening(), 298.257223563, 1e-6);
    DtReferenceEllipsoid other(DtED50);
    other.initialize_ellipsoid(1000.0, 0.5);
    other.useMapDatum(DtED50);   // an equal datum derives nothing
    EXPECT_TRUE(other.semiMajor() == 1000.0 && other.semiMinor() == 500.0);

    double x, y, z;
    DtGlobalEllipsoid().geodetic_to_geocentric(45 * kDeg, 30 * kDeg, 1000, &x, &y, &z);
    EXPECT_TRUE(DtVector64(x, y, z).approxEq(DtVector64(3912960.837, 2259148.993, 4488055.516), 1e-3));
    EXPECT_EQ(passesNeeded(x, y, z), 1u);
    const Geodetic g = toGeodetic(6378137.0, 0, 0);
    EXPECT_TRUE(g.lat == 0.0 && g.lon == 0.0 && g.h == 0.0 && toGeodetic(0.0, -6378137.0, 0).lon == -kHalfPi);
    const DtReferenceEllipsoid ed50(DtED50);   // the International spheroid plus the shift
    DtVector64 geocentric, back;
    ed50.geodeticToGeocentric(DtVector64(45 * kDeg, 30 * kDeg, 1000), geocentric);
    EXPECT_TRUE(geocentric.approxEq(DtVector64(3913055.565, 2259155.913, 4488015.143), 1e-3));
    ed50.geocentricToGeodetic(geocentric, geocentric);   // in place
    EXPECT_TRUE(geocentric.approxEq(DtVector64(45 * kDeg, 30 * kDeg, 1000), 1e-9));
    double deg, min, sec;
    e.rad_to_geo(DtDeg2Rad(-12.5125), &deg, &min, &sec);   // the sign is dropped
    EXPECT_TRUE(deg == 12 && min == 30 && std::fabs(sec - 45) < 1e-9);
}

TEST_F(GeodesySettings, PublishedGeocentricConversions)
{
    // The surveying community's geographic/geocentric test set (WGS 84,
    // longitude and latitude in degrees, 0.01 m tolerance).
    std::ifstream in(QORMATRIX_TEST_DATA "/gigs-5201-geographic-geocentric.gie");
    ASSERT_TRUE(in.good());
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    bool toGeographic = true, stepSeen = false;
    std::string line;
    double accept[3] = {0, 0, 0};
    int checked = 0;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "operation") {
            stepSeen = false;
        } else if (key == "+step" && !stepSeen) {
            stepSeen = true;
            toGeographic = line.find("4978 +inv") != std::string::npos;
        } else if (key == "accept") {
            words >> accept[0] >> accept[1] >> accept[2];
        } else if (key == "roundtrip") {
            double p[3] = {accept[0], accept[1], accept[2]};
            for (int n = 0; n < 1000; ++n) {
                const Geodetic g = toGeodetic(p[0], p[1], p[2]);
                e.geodetic_to_geocentric(g.lat, g.lon, g.h, &p[0], &p[1], &p[2]);
            }
            EXPECT_TRUE(DtVector64(p[0], p[1], p[2]).approxEq(DtVector64(accept[0], accept[1], accept[2]), 0.01));
            ++checked;
        } else if (key == "expect") {
            double ex[3];
            words >> ex[0] >> ex[1] >> ex[2];
            if (toGeographic) {
                const Geodetic g = toGeodetic(accept[0], accept[1], accept[2]);
                // Angle differences as distances on the ground.
                EXPECT_NEAR((g.lon / kDeg - ex[0]) * kDeg * 6378137.0 * std::cos(g.lat), 0.0, 0.01) << line;
                EXPECT_NEAR((g.lat / kDeg - ex[1]) * kDeg * 6378137.0, 0.0, 0.01) << line;
                EXPECT_NEAR(g.h, ex[2], 0.01) << line;
            } else {
                double x, y, z;
                e.geodetic_to_geocentric(accept[1] * kDeg, accept[0] * kDeg, accept[2], &x, &y, &z);
                EXPECT_TRUE(DtVector64(x, y, z).approxEq(DtVector64(ex[0], ex[1], ex[2]), 0.01)) << line;
            }
            ++checked;
        }
    }
    EXPECT_GE(checked, 80);
}

TEST_F(GeodesySettings, PolarAxisCentreIterationCapAndTheirMessages)
{
    {
        qmtest::NotifyLevel level(2);
        qmtest::Capture info(DtInfo);
        const Geodetic pole = toGeodetic(0, 0, 6356752.3142), centre = toGeodetic(0, 0, 0);
        EXPECT_TRUE(pole.lon == 0.0 && pole.lat == kHalfPi && std::fabs(pole.h) < 1e-6 && centre.lat == 0.0 &&
                    centre.h == -6378137.0);
        qmtest::NotifyLevel quiet(1);   // the notices need a level above 1
        EXPECT_EQ(toGeodetic(0, 0, -7000000).lat, -kHalfPi);
        EXPECT_EQ(info.text(), "Longitude is undefined when X = Y = 0\nLongitude is undefined when X = Y = 0\n"
                               "Both latitude and h are undefined when X = Y = Z = 0\n");
    }
    DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(false);
    DtReferenceEllipsoid::setThrowExceptionOnConversionFrom0Geocentric(true);
    Geodetic g;
    try {
        DtGlobalEllipsoid().geocentric_to_geodetic(0, 0, 6356752.3142, &g.lat, &g.lon, &g.h);
        FAIL() << "no exception";
    } catch (const DtException&) {
        FAIL() << "wrong exception type";
    } catch (const std::runtime_error& err) {
        EXPECT_STREQ(err.what(), "Longitude is undefined when X = Y = 0");
    }
    EXPECT_TRUE(g.lat == 7 && g.lon == 7 && g.h == 7);   // nothing written
    DtReferenceEllipsoid::setThrowExceptionOnConversionFrom0Geocentric(false);
    g = toGeodetic(kNaN, 0, 0);   // bad numbers give NaN, never a hang
    EXPECT_TRUE(std::isnan(g.lat) && std::isnan(g.lon) && std::isnan(g.h));

    EXPECT_EQ(passesNeeded(1e8, 1e8, 1e8), 2u);   // far out, the start value is poor
    EXPECT_EQ(passesNeeded(1e5, 1e5, 1e5), 4u);   // near the centre, poorer
    EXPECT_EQ(passesNeeded(0, 0, 1e12), 1u);      // on the axis the multiplier is exact at once
    DtReferenceEllipsoid::setMaxIterationsForConvergence(0);
    EXPECT_NO_THROW(toGeodetic(6378137.0, 1, 1));   // one convergence test is allowed
    try {
        DtGlobalEllipsoid().geocentric_to_geodetic(1e8, 1e8, 1e8, &g.lat, &g.lon, &g.h);
        FAIL() << "no exception";
    } catch (const DtException& ex) {
        EXPECT_STREQ(ex.what(), "DtException: Maximum Iterations exceeded(0), probable error.");
        EXPECT_STREQ(ex.signature(), "void Vorant::DtReferenceEllipsoid::geocentric_to_geodetic(double, double, "
                                     "double, double*, double*, double*) const");
        EXPECT_TRUE(std::string(ex.file()) == "referenceEllipsoid.cpp" && ex.line() > 0 && ex.predecessor() == nullptr);
    }
    EXPECT_TRUE(g.lon == kPi / 4 && std::isnan(g.lat));   // only the longitude was written
}

TEST_F(GeodesySettings, GeoidDatumAndGeodeticCoordinates)
{
    DtGeoidDatum first(true, false);
    setTheGeoidDatumPath("/srv/geoids");
    setTheGeoidDatumType(DtGeoidEgm96);
    DtGeoidDatum second(DtString("elsewhere"), false, true);
    EXPECT_TRUE(first.geoidType() == DtGeoidNone && first.geoidPath() == "../data/geoids" && first.cubic() &&
                second.geoidType() == DtGeoidEgm96 && second.geoidPath() == "elsewhere" && second.threadsafe() &&
                first.undulation(90, 10) == 0.0);
    setTheGeoidDatumType(DtGeoidNone);

    const DtGeodeticCoord c(kPi / 4, kPi / 6, 1000, &DtGlobalEllipsoid());
    std::ostringstream os;
    os << c;
    EXPECT_EQ(os.str(), "[ lat= 0.785398 lon= 0.523599 alt= 1000 ]");
    for (int level : {0, 2}) {   // the stream decides what is emitted, not printData
        const qmtest::NotifyLevel quiet(level);
        qmtest::Capture info(DtInfo);
        c.printData();
        EXPECT_EQ(info.text(), os.str());
        struct Own : DtGeodeticCoord
        {
            void printDataToStream(std::ostream& o) const override { o << "own"; }
        } own;
        own.printData();
        EXPECT_EQ(info.text(), os.str() + "own");
    }
    // Bound to the global ellipsoid, a coordinate follows the datum.
    const DtVector64 onWgs84 = c.geocentric();
    DtGlobalEllipsoid().useMapDatum(DtED50);
    EXPECT_TRUE(c.mapDatum() == DtED50 && c.geocentric().approxEq(DtVector64(3913055.565, 2259155.913, 4488015.143), 1e-3));
    DtGlobalEllipsoid().useMapDatum(DtWGS84);
    EXPECT_EQ(c.geocentric(), onWgs84);
    // Assignment rebinds to the source's ellipsoid and keeps the target's geoid;
    // a copy always gets a geoid of its own.
    const DtReferenceEllipsoid nad27(DtCONUSNAD27);
    DtGeodeticCoord target(0, 0, 0);
    target.setGeoidDatumType(DtGeoidEgm2008);
    target.setGeoidDatumType(DtGeoidEgm96);   // the first one is released (the sanitizers check)
    DtGeoidDatum* own = target.geoidDatum();
    target = DtGeodeticCoord(0.5, 0.5, 10, &nad27);
    const DtGeodeticCoord copy(target), copyOfNone(c);
    EXPECT_TRUE(target.ellipsoid() == &nad27 && target.geoidDatum() == own && target == DtVector64(0.5, 0.5, 10) &&
                copy.geoidDatum() != own && copy.geoidDatum()->geoidType() == DtGeoidEgm96 &&
                copyOfNone.geoidDatum()->geoidType() == DtGeoidNone && copyOfNone.alt() == 1000.0);
    setTheGeoidDatumType(DtGeoidEgm2008);   // a selected model gives new coordinates a geoid
    EXPECT_EQ(DtGeodeticCoord().geoidDatum()->geoidType(), DtGeoidEgm2008);
}

namespace {
// A coordinate whose angles come from elsewhere than its stored numbers.
struct FixedAngles : DtGeodeticCoord
{
    double lat() const override { return 0.0; }
    double lon() const override { return kHalfPi; }
};
}  // namespace

TEST_F(GeodesySettings, TopographicFramesAndGroundAngles)
{
    DtDcm m, viaOverride;
    DtLatLon_to_TopoToGeoc(FixedAngles(), viaOverride);   // read through the virtual accessors
    DtLatLon_to_TopoToGeoc(DtGeodeticCoord(0, kHalfPi, 0), m);
    EXPECT_TRUE(viaOverride[0] == m[0] && viaOverride[1] == m[1] && m[0].approxEq(DtVector64(0, -1, 0), 1e-16) &&
                m[1].approxEq(DtVector64(0, 0, -1), 1e-16) && m[2].approxEq(DtVector64(1, 0, 0), 1e-16));
    DtVector64 v;
    DtDcmVecMul(DtNedToEnuDcm(), DtVector64(1, 2, 3), v);
    EXPECT_TRUE(&DtNedToEnuDcm() == &DtEnuToNedDcm() && v == DtVector64(2, 1, -3));
    DtCoordTransform t;
    DtGeocToTopoTransform(0.6, -2.1, &t);
    t.coordTrans(DtGeodeticCoord(0.6, -2.1, 250).geocentric(), v);
    EXPECT_TRUE(v.approxEq(DtVector64(0, 0, -250), 1e-8));
    std::mt19937 gen(10);
    std::uniform_real_distribution<double> la(-1.5, 1.5), lo(-3.14, 3.14), h(-100, 1e5), yaw(-3.1, 3.1), pitch(-1.4, 1.4);
    for (int n = 0; n < 200; ++n) {   // angles given over the ground come back over the ground
        const DtGeodeticCoord g(la(gen), lo(gen), h(gen));
        const DtTaitBryan local(yaw(gen), pitch(gen), yaw(gen));
        DtDcm bodyToGeoc;
        DtLatLon_to_TopoToGeoc(g, m);
        DtDcmDcmMul(m, DtDcm(local), bodyToGeoc);
        DtTaitBryan geocentric;
        DtBodyToRef_to_Euler(bodyToGeoc, &geocentric);
        EXPECT_NEAR(DtGetHeadingFromGeocentric(g.geocentric(), geocentric), local.psi(), 2e-7) << n;
        EXPECT_NEAR(DtGetPitchFromGeocentric(g.geocentric(), geocentric), local.theta(), 1e-9) << n;
        EXPECT_NEAR(DtGetRollFromGeocentric(g.geocentric(), geocentric), local.phi(), 2e-7) << n;
    }
}
