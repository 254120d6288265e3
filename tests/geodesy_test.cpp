// Datums, the reference ellipsoid (with the published GIGS set), the geoid
// datum, geodetic coordinates, topographic frames, UTM and grid declination:
// worked examples, identities and every message text. The bit patterns over
// many inputs are the digest suite's.
#include "testSupport.h"

#include <fstream>

using namespace Vorant;
using namespace qmtest;

namespace {

struct Geodetic { double lat = 7, lon = 7, h = 7; };

const char* const kNotInitialized = "UTM Reference point must be initialized before used for coord conversions";

Geodetic toGeodetic(double x, double y, double z, const DtReferenceEllipsoid& e = DtGlobalEllipsoid())
{
    Geodetic g;
    e.geocentric_to_geodetic(x, y, z, &g.lat, &g.lon, &g.h);
    return g;
}

// A coordinate whose angles come from elsewhere than its stored numbers.
struct FixedAngles : DtGeodeticCoord
{
    double lat() const override { return 0.0; }
    double lon() const override { return kHalfPi; }
};

// A WGS 84 reference point of the zone, on its central meridian at latDeg.
DtUtmReferencePoint zonePoint(long zone, int standardOffsets, double latDeg = 0.0)
{
    DtDegMinSec lat{}, lon{};
    lat.setLatFromDegrees(latDeg);
    lon.setLonFromDegrees(6.0 * double(zone) - 183.0);
    return DtUtmReferencePoint(lat, lon, standardOffsets, zone, DtWGS84, 0.9996);
}

// Replaces the zone-form projection: the radian forms must follow.
class ShiftedProjection : public DtUtmReferencePoint
{
public:
    using DtUtmReferencePoint::geod2utm;
    using DtUtmReferencePoint::utm2geod;
    void geod2utm(double latDeg, double lonDeg, long* zone, double* northing, double* easting) override
    {
        DtUtmReferencePoint::geod2utm(latDeg, lonDeg, zone, northing, easting);
        *easting += 1000.0;
    }
    void utm2geod(double northing, double easting, long zone, double* latDeg, double* lonDeg) override
    {
        DtUtmReferencePoint::utm2geod(northing, easting - 1000.0, zone, latDeg, lonDeg);
    }
};
}  // namespace

TEST_F(GlobalStateTest, DatumsEllipsoidAndKnownPoints)
{
    EXPECT_TRUE(DtED50.spheroid.semiMajorAxis == 6378388.0 && DtED50.deltaZ == -121 && DtCONUSNAD27.deltaY == 160 &&
                DtNASBNAD27.spheroid.semiMinorAxis == 6356583.8 && DtWGS84Spheroid.semiMinorAxis == 6356752.3142);
    EXPECT_TRUE(DtMapDatum() == DtMapDatum(DtSpheroid{-0.0, 0.0}, 0.0, -0.0, 0.0) && DtMapDatum() != DtWGS84);
    const DtReferenceEllipsoid none((DtMapDatum()));   // equal to its initial datum: everything stays zero
    EXPECT_EQ(none.semiMajor() + none.semiMajorSquared() + none.flattening() + none.semiMinor() + none.semiMinorSquared() +
                  none.polarRadiusOfCurvature() + none.eccentricitySquared() + none.oneMinusFlatteningSquared(), 0.0);
    DtReferenceEllipsoid e(DtWGS84);
    EXPECT_TRUE(std::fabs(e.semiMinor() - 6356752.3142) < 1e-8 && std::fabs(1 / e.flattening() - 298.257223563) < 1e-6);
    e.initialize_ellipsoid(1000.0, 0.5);
    e.useMapDatum(DtWGS84);   // an equal datum derives nothing
    EXPECT_TRUE(e.semiMajor() == 1000.0 && e.semiMinor() == 500.0);

    double x, y, z;
    DtGlobalEllipsoid().geodetic_to_geocentric(45 * kDeg, 30 * kDeg, 1000, &x, &y, &z);
    EXPECT_TRUE(DtVector64(x, y, z).approxEq(DtVector64(3912960.837, 2259148.993, 4488055.516), 1e-3));
    const Geodetic g = toGeodetic(6378137.0, 0, 0);
    EXPECT_TRUE(g.lat == 0.0 && g.lon == 0.0 && g.h == 0.0 && toGeodetic(0.0, -6378137.0, 0).lon == -kHalfPi);
    const DtReferenceEllipsoid ed50(DtED50);   // the International spheroid plus the shift
    DtVector64 geocentric;
    ed50.geodeticToGeocentric(DtVector64(45 * kDeg, 30 * kDeg, 1000), geocentric);
    EXPECT_TRUE(geocentric.approxEq(DtVector64(3913055.565, 2259155.913, 4488015.143), 1e-3));
    ed50.geocentricToGeodetic(geocentric, geocentric);   // in place
    EXPECT_TRUE(geocentric.approxEq(DtVector64(45 * kDeg, 30 * kDeg, 1000), 1e-9));
    double deg, min, sec;
    DtGlobalEllipsoid().rad_to_geo(DtDeg2Rad(-12.5125), &deg, &min, &sec);   // the sign is dropped
    EXPECT_TRUE(deg == 12 && min == 30 && std::fabs(sec - 45) < 1e-9);
}

TEST_F(GlobalStateTest, PublishedGeocentricConversions)
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
            if (toGeographic) {   // angle differences as distances on the ground
                const Geodetic g = toGeodetic(accept[0], accept[1], accept[2]);
                EXPECT_TRUE(std::fabs((g.lon / kDeg - ex[0]) * kDeg * 6378137.0 * std::cos(g.lat)) < 0.01 &&
                            std::fabs((g.lat / kDeg - ex[1]) * kDeg * 6378137.0) < 0.01 && std::fabs(g.h - ex[2]) < 0.01)
                    << line;
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

TEST_F(GlobalStateTest, PolarAxisCentreIterationCapAndTheirMessages)
{
    {
        qmtest::NotifyLevel level(2);
        qmtest::Capture info(DtInfo);
        const Geodetic pole = toGeodetic(0, 0, 6356752.3142), centre = toGeodetic(0, 0, 0);
        EXPECT_TRUE(pole.lon == 0.0 && pole.lat == kHalfPi && std::fabs(pole.h) < 1e-6 && centre.lat == 0.0 &&
                    centre.lon == 0.0 && centre.h == -6378137.0);
        qmtest::NotifyLevel quiet(1);   // the notices need a level above 1
        EXPECT_EQ(toGeodetic(0, 0, -7000000).lat, -kHalfPi);
        EXPECT_EQ(info.text(), "Longitude is undefined when X = Y = 0\nLongitude is undefined when X = Y = 0\n"
                               "Both latitude and h are undefined when X = Y = Z = 0\n");
    }
    DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(false);
    {
        qmtest::NotifyLevel everything(10);
        qmtest::Capture info(DtInfo);
        toGeodetic(0, 0, 6356752.3142);
        EXPECT_EQ(info.text(), "");   // the notices off: none, whatever the level
    }
    DtReferenceEllipsoid::setThrowExceptionOnConversionFrom0Geocentric(true);
    Geodetic g;
    try {
        DtGlobalEllipsoid().geocentric_to_geodetic(0, 0, 6356752.3142, &g.lat, &g.lon, &g.h);
        FAIL() << "no exception";
    } catch (const std::runtime_error& err) {   // not a DtException
        EXPECT_STREQ(err.what(), "Longitude is undefined when X = Y = 0");
    }
    EXPECT_TRUE(g.lat == 7 && g.lon == 7 && g.h == 7);   // nothing written
    DtReferenceEllipsoid::setThrowExceptionOnConversionFrom0Geocentric(false);
    g = toGeodetic(kNaN, 0, 0);   // bad numbers give NaN, never a hang
    EXPECT_TRUE(std::isnan(g.lat) && std::isnan(g.lon) && std::isnan(g.h) && toGeodetic(1, 1, 6356752.3).lon == kPi / 4);

    DtReferenceEllipsoid::setMaxIterationsForConvergence(0);
    EXPECT_NO_THROW(toGeodetic(6378137.0, 1, 1));   // one convergence test is allowed; far out needs two
    expectThrows([&] { DtGlobalEllipsoid().geocentric_to_geodetic(1e8, 1e8, 1e8, &g.lat, &g.lon, &g.h); },
                 "Maximum Iterations exceeded(0), probable error.",
                 "void Vorant::DtReferenceEllipsoid::geocentric_to_geodetic(double, double, double, double*, double*, "
                 "double*) const", "referenceEllipsoid.cpp");
    EXPECT_TRUE(g.lon == kPi / 4 && std::isnan(g.lat));   // only the longitude was written
}

TEST_F(GlobalStateTest, ManyPositionsGiveEachSingleCallsBitsNoticesAndExceptions)
{
    const DtReferenceEllipsoid e(DtCONUSNAD27);   // a datum with a shift
    const DtMapDatum& d = e.mapDatum();
    std::mt19937_64 draw(12);
    std::uniform_real_distribution<double> u(-1, 1);
    std::vector<DtVector64> in(301);   // pairs and one left over
    for (std::size_t i = 0; i < in.size(); ++i) {
        const double h = i % 6 == 0 ? 0.0 : i % 3 == 0 ? 1e4 * u(draw) : i % 3 == 1 ? 1e8 * std::fabs(u(draw)) : -6.3e6 * std::fabs(u(draw));
        e.geodeticToGeocentric(DtVector64(u(draw) * kHalfPi, u(draw) * kPi, h), in[i]);
    }
    // On the polar axis (each beside a point that is not), at the centre, not numbers.
    in[4] = DtVector64(d.deltaX, d.deltaY + 5, d.deltaZ + 6.4e6), in[6] = DtVector64(d.deltaX, d.deltaY, -6.4e6);
    in[9] = DtVector64(d.deltaX, d.deltaY, d.deltaZ), in[20] = DtVector64(7e6, 1e5, d.deltaZ);   // and on the equator
    in[12] = DtVector64(kNaN, 1, 2), in[15] = DtVector64(INFINITY, 1, 2), in[17] = DtVector64(1e5, -INFINITY, 0);
    std::vector<DtVector64> many(in.size()), inPlace = in;
    NotifyLevel level(2);
    Capture info(DtInfo);
    const auto sameBits = [&](const std::vector<DtVector64>& got, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            DtVector64 one;
            e.geocentricToGeodetic(in[i], one);
            const double want[3] = {one[0], one[1], one[2]}, have[3] = {got[i][0], got[i][1], got[i][2]};
            ASSERT_EQ(std::memcmp(want, have, sizeof want), 0) << i;
        }
    };
    e.geocentricToGeodetic(in.size(), in.data(), many.data());
    const std::string notices = info.text();
    e.geocentricToGeodetic(inPlace.size(), inPlace.data(), inPlace.data());
    EXPECT_EQ(info.text(), notices + notices);
    EXPECT_EQ(notices, "Longitude is undefined when X = Y = 0\nLongitude is undefined when X = Y = 0\n"
                       "Both latitude and h are undefined when X = Y = Z = 0\n");
    sameBits(many, in.size());
    sameBits(inPlace, in.size());
    std::fill(many.begin(), many.end(), DtVector64(7, 7, 7));
    e.geocentricToGeodetic(in.size() - 1, in.data(), many.data());   // an even count: all of it, nothing past it
    sameBits(many, in.size() - 1);
    EXPECT_EQ(many.back(), DtVector64(7, 7, 7));
    // With a cap of one pass, a point near the surface settles and a far one
    // throws as the single call does; nothing after it is written.
    DtReferenceEllipsoid::setMaxIterationsForConvergence(0);
    in[0] = DtVector64(6.4e6, 1, 1), in[1] = DtVector64(6.3e6, 1e5, 3e4), in[2] = DtVector64(5e5, -6.3e6, 1e4);
    in[3] = DtVector64(1e8, 1e8, 1e8);
    std::fill(many.begin(), many.end(), DtVector64(7, 7, 7));
    expectThrows([&] { e.geocentricToGeodetic(in.size(), in.data(), many.data()); },
                 "Maximum Iterations exceeded(0), probable error.",
                 "void Vorant::DtReferenceEllipsoid::geocentric_to_geodetic(double, double, double, double*, double*, "
                 "double*) const", "referenceEllipsoid.cpp");
    sameBits(many, 3);
    EXPECT_TRUE(many[3][0] == 7 && many[4] == DtVector64(7, 7, 7));
}

TEST_F(GlobalStateTest, GeoidDatumAndGeodeticCoordinates)
{
    DtGeoidDatum first(true, false);
    setTheGeoidDatumType(DtGeoidEgm96);
    DtGeoidDatum second(DtString("elsewhere"), false, true);
    EXPECT_TRUE(first.geoidType() == DtGeoidNone && first.geoidPath() == "../data/geoids" && first.cubic() &&
                second.geoidType() == DtGeoidEgm96 && second.geoidPath() == "elsewhere" && first.undulation(90, 10) == 0.0);
    setTheGeoidDatumType(DtGeoidNone);

    const DtGeodeticCoord c(kPi / 4, kPi / 6, 1000, &DtGlobalEllipsoid());
    std::ostringstream os;
    os << c;
    EXPECT_EQ(os.str(), "[ lat= 0.785398 lon= 0.523599 alt= 1000 ]");
    for (int level : {0, 1, 2}) {   // printData always calls the override; DtInfo's level decides what shows
        const qmtest::NotifyLevel quiet(level);
        qmtest::Capture info(DtInfo);
        c.printData();
        struct Own : DtGeodeticCoord
        {
            void printDataToStream(std::ostream& o) const override { o << "own" << 1.5 + calls++; }
            mutable int calls = 0;
        } own;
        own.printData();
        EXPECT_EQ(info.text(), level >= 2 ? os.str() + "own1.5" : "") << level;
        EXPECT_EQ(own.calls, 1);
    }
    DtGlobalEllipsoid().useMapDatum(DtED50);   // bound to the global ellipsoid, a coordinate follows the datum
    EXPECT_TRUE(c.mapDatum() == DtED50 && c.geocentric().approxEq(DtVector64(3913055.565, 2259155.913, 4488015.143), 1e-3));
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
                copyOfNone.geoidDatum()->geoidType() == DtGeoidNone && copyOfNone.alt() == 1000.0 &&
                copyOfNone.geoidDatum()->cubic() && !copyOfNone.geoidDatum()->threadsafe());
    setTheGeoidDatumType(DtGeoidEgm2008);   // a selected model gives new coordinates a geoid
    const DtGeodeticCoord selected;
    EXPECT_TRUE(selected.geoidDatum()->geoidType() == DtGeoidEgm2008 && selected.geoidDatum()->cubic() &&
                !selected.geoidDatum()->threadsafe());
}

TEST_F(GlobalStateTest, TopographicFramesAndGroundAngles)
{
    DtDcm m, viaOverride;
    DtLatLon_to_TopoToGeoc(FixedAngles(), viaOverride);   // read through the virtual accessors
    DtLatLon_to_TopoToGeoc(DtGeodeticCoord(0, kHalfPi, 0), m);
    EXPECT_TRUE(viaOverride[0] == m[0] && viaOverride[1] == m[1] && m[0].approxEq(DtVector64(0, -1, 0), 1e-16) &&
                m[1].approxEq(DtVector64(0, 0, -1), 1e-16) && m[2].approxEq(DtVector64(1, 0, 0), 1e-16));
    DtVector64 v;
    DtCoordTransform t;
    DtGeocToTopoTransform(0.6, -2.1, &t);
    t.coordTrans(DtGeodeticCoord(0.6, -2.1, 250).geocentric(), v);
    EXPECT_TRUE(v.approxEq(DtVector64(0, 0, -250), 1e-8) && &DtNedToEnuDcm() == &DtEnuToNedDcm());
    // Angles given over the ground come back over the ground (the peer suite
    // checks them against another library's local frames).
    const DtGeodeticCoord g(0.9, -2.0, 300.0);
    DtDcm bodyToGeoc;
    DtLatLon_to_TopoToGeoc(g, m);
    DtDcmDcmMul(m, DtDcm(DtTaitBryan(2.5, -0.4, 1.1)), bodyToGeoc);
    DtTaitBryan geocentric;
    DtBodyToRef_to_Euler(bodyToGeoc, &geocentric);
    EXPECT_TRUE(std::fabs(DtGetHeadingFromGeocentric(g.geocentric(), geocentric) - 2.5) < 2e-7 &&
                std::fabs(DtGetPitchFromGeocentric(g.geocentric(), geocentric) + 0.4) < 1e-9 &&
                std::fabs(DtGetRollFromGeocentric(g.geocentric(), geocentric) - 1.1) < 2e-7);
}

TEST_F(GlobalStateTest, UninitialisedPointsThrowAndInitChoosesZoneAndOrigin)
{
    DtUtmReferencePoint p;
    EXPECT_TRUE(!p.isInitialized() && p.scale() == 0.9996 && p.standardOffsets() == 1 && p.zoneOrigin() == 0 &&
                p.standardFalseEasting() == 500000.0 && p.standardFalseNorthing() == 10000000.0 &&
                p.standardFalseNorthingCrossover() == 8000000.0 && p.datumSemiMajor() == 0.0 && p.xOrigin() == 0.0 &&
                p.yOrigin() == 0.0 && p.eccentricitySq() == 0.0 && p.secondEccentricitySq() == 0.0 &&
                p.datumSemiMinor() == 0.0 && p.thirdFlattening() == 0.0 && p.latRef().hemisphere == DtEast &&
                p.longRef().hemisphere == DtEast && p.latRef().seconds == 0.0 && p.longRef().minutes == 0.0 &&
                p.latRef().degrees == 0.0 && p.longRef().degrees == 0.0 && p.latRef().minutes == 0.0 &&
                p.longRef().seconds == 0.0);
    double e = 7, n = 7;
    expectThrows([&] { p.geod2utm(0.1, 0.2, &e, &n); }, kNotInitialized,
                 "virtual void Vorant::DtUtmReferencePoint::geod2utm(double, double, double*, double*)", "utmReferencePoint.cpp");
    expectThrows([&] { p.utm2geod(500000, 100, &e, &n); }, kNotInitialized,
                 "virtual void Vorant::DtUtmReferencePoint::utm2geod(double, double, double*, double*)", "utmReferencePoint.cpp");
    EXPECT_TRUE(e == 7 && n == 7 && p.zoneOrigin() == 0);
    p.useMapDatum(DtWGS84);   // the constants, but no initialisation
    EXPECT_THROW(p.geod2utm(0.1, 0.2, &e, &n), DtException);
    EXPECT_EQ(p.datumSemiMajor(), 6378137.0);

    p.init(DtUtmLatRefZone10, DtUtmLonRefZone10, 1, 0, DtWGS84);
    EXPECT_TRUE(p.isInitialized() && p.xOrigin() == 0.0 && p.yOrigin() == 0.0 && p.zoneOrigin() == 10 &&
                std::fabs(p.thirdFlattening() - 0.00167922039) < 1e-11);
    DtUtmReferencePoint::setLongitudeFudgeFactor(1.0);   // seconds towards the east
    p.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);
    EXPECT_TRUE(p.longRef().minutes == 3 && p.longRef().seconds == 58 && p.longRef().hemisphere == DtWest);
    DtUtmReferencePoint::setLongitudeFudgeFactor(0.0);
    p.setStandardFalseEasting(0.0);
    p.setStandardOffsets(0);
    p.setLatRef(DtDegMinSec{1, 2, 3, DtSouth});
    p.setXOrgin(123);
    p.setYOrgin(-456);
    p.uninitialize();
    EXPECT_TRUE(p.xOrigin() == 0 && p.yOrigin() == 0);
    EXPECT_TRUE(!p.isInitialized() && p.mapDatum() == DtWGS84 && p.standardFalseEasting() == 500000.0 &&
                p.standardOffsets() == 1 && p.zoneOrigin() == 0 && p.thirdFlattening() == 0.0 &&
                p.datumSemiMinor() == 0.0 && p.datumSemiMajor() == 0.0 && p.eccentricitySq() == 0.0 &&
                p.secondEccentricitySq() == 0.0);
    EXPECT_TRUE(p.latRef().degrees == 0 && p.latRef().seconds == 0 && p.latRef().hemisphere == DtSouth);   // codes kept
}

TEST_F(GlobalStateTest, KnownPointsStylesCrossoverAndZoneChoice)
{
    DtUtmReferencePoint p = zonePoint(18, 1, 40);
    double e, n, lat, lon;
    p.geod2utm(40 * kDeg, -75 * kDeg, &e, &n);
    EXPECT_TRUE(std::fabs(e - 500000.0) < 1e-6 && std::fabs(n - 4427757.22) < 0.005);
    // South: the false northing less the scaled arc (1105854.83 m to 10 degrees).
    p.geod2utm(-10 * kDeg, -75 * kDeg, &e, &n);
    p.utm2geod(e, n, &lat, &lon);
    EXPECT_TRUE(std::fabs(n - (10000000.0 - 0.9996 * 1105854.83)) < 0.01 && std::fabs(lat / kDeg + 10) < 1e-8);
    p.geod2utm(-18.2 * kDeg, -75 * kDeg, &e, &n);   // the crossover reads it back as northern
    p.utm2geod(e, n, &lat, &lon);
    EXPECT_GT(lat, 0.0);
    // The fourth element of a reference latitude or longitude multiplies its degrees (the sign, as a rule).
    const double twiceLat[4] = {20, 0, 0, 2}, twiceLon[4] = {36.5, 0, 0, 2}, lat40[4] = {40, 0, 0, 1},
                 lon73[4] = {73, 0, 0, 1};
    DtUtmReferencePoint scaled = p, plain = p;
    scaled.initUtm(twiceLat, twiceLon, 18);
    plain.initUtm(lat40, lon73, 18);
    EXPECT_TRUE(scaled.xOrigin() == plain.xOrigin() && scaled.yOrigin() == plain.yOrigin() && plain.xOrigin() != 0);
    p.utm2geod(500000.0, 8000000.0, &lat, &lon);   // at the crossover itself: still northern
    EXPECT_NEAR(lat / kDeg, 72.0992225, 1e-7);   // (PROJ: 72.09922252511)
    DtDegMinSec la{}, lo{};
    la.setLatFromDegrees(35.3);
    lo.setLonFromDegrees(-121.7);
    DtUtmReferencePoint local(la, lo, 0, 0, DtWGS84, 0.9996);
    local.geod2utm(35.3 * kDeg, -121.7 * kDeg, &e, &n);   // local offsets: the reference point is (0, 0)
    EXPECT_TRUE(local.zoneOrigin() == 10 && std::fabs(e) < 1e-6 && std::fabs(n) < 1e-6);
    // A zero zone is fixed by the first conversion, then kept.
    p.setZoneOrigin(0);
    p.geod2utm(10 * kDeg, 20 * kDeg, &e, &n);
    p.geod2utm(10 * kDeg, -75 * kDeg, &e, &n);
    EXPECT_TRUE(p.zoneOrigin() == 34 && e < 0.0);
    long zone = 18;   // zone forms: degrees, northing first, no offsets
    p.geod2utm(40.0, -75.0, &zone, &n, &e);
    EXPECT_TRUE(std::fabs(n - 4427757.22) < 0.005 && std::fabs(e) < 1e-6);
    EXPECT_TRUE(DtUtmGridZoneFromLatLon(64, 12) == 32 && DtUtmGridZoneFromLatLon(64, 12.001) == 33);   // Norway's edge
    EXPECT_TRUE(DtUtmGridZoneFromLatLon(64, 5) == 32 && DtUtmGridZoneFromLatLon(78, 9) == 33 &&   // Norway, Svalbard
                DtUtmGridZoneFromLatLon(0, 180) == 61 && DtUtmGridZoneFromLatLon(0, std::nan("")) == 0);
}

TEST_F(GlobalStateTest, RadianFormsAndTheGlobalPointWarning)
{
    ShiftedProjection shifted;
    DtUtmReferencePoint plain;
    shifted.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);
    plain.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);
    double e1, n1, e2, n2, lat, lon;
    shifted.geod2utm(35 * kDeg, -121 * kDeg, &e1, &n1);
    plain.geod2utm(35 * kDeg, -121 * kDeg, &e2, &n2);
    shifted.utm2geod(e1, n1, &lat, &lon);
    EXPECT_TRUE(std::fabs(shifted.xOrigin() - plain.xOrigin() - 1000.0) < 1e-9 && std::fabs(e1 - e2 - 1000.0) < 1e-9 &&
                n1 == n2 && std::fabs(lon / kDeg + 121.0) < 1e-9);

    DtUtmInit(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0);
    DtUtmReferencePoint* global = DtGlobalUtmReferencePoint();
    DtUseMapDatum(DtED50);   // reaches the global point
    EXPECT_TRUE(global->isInitialized() && global->mapDatum() == DtED50 && global->datumSemiMajor() == 6378388.0);
    qmtest::Capture warn(DtWarn);
    global->geod2utm(35 * kDeg, -121 * kDeg, &e1, &n1);
    EXPECT_EQ(warn.text(), "");
    DtGlobalEllipsoid().useMapDatum(DtWGS84);   // changed behind the global point's back
    global->geod2utm(35 * kDeg, -121 * kDeg, &e1, &n1);
    EXPECT_EQ(warn.text(), "This shouldn't happen\n");
    global->utm2geod(e1, n1, &lat, &lon);
    const std::string inverse = warn.text().substr(22);
    const std::string prefix = "This shouldn't happen libsrc/matrix/utmReferencePoint.cpp ";
    ASSERT_EQ(inverse.compare(0, prefix.size(), prefix), 0) << inverse;
    const std::string line = inverse.substr(prefix.size());
    EXPECT_TRUE(std::stoi(line) > 0 && line.find_first_not_of("0123456789") == line.size() - 1 && line.back() == '\n');
}

TEST_F(GlobalStateTest, UtmCoordinatesAndGridDeclination)
{
    DtUtmReferencePoint p = zonePoint(18, 1, 40);
    const DtGeodeticCoord start(41 * kDeg, -74 * kDeg, 123.5, p.ellipsoid());
    DtUtmCoord v(&p), w(&p);
    v = start;
    DtGeocToUtm(start.geocentric(), w);
    EXPECT_TRUE(static_cast<const DtVector64&>(w).approxEq(v, 1e-3) && v.up() == 123.5);
    // A datum mismatch warns, both ways, and converts without a shift.
    const DtReferenceEllipsoid ed50(DtED50);
    const std::string mismatch =
        "The geodetic coord passed to DtUtmCoord::setGeodetic is not using the same reference ellipsoid\n";
    DtGeodeticCoord target(&ed50);
    {
        qmtest::Capture warn(DtWarn);
        w.setGeodetic(DtGeodeticCoord(41 * kDeg, -74 * kDeg, 0, &ed50));
        w.getGeodetic(target);
        EXPECT_EQ(warn.text(), mismatch + mismatch);
    }
    EXPECT_TRUE(w.x() == v.x() && target.mapDatum() == DtED50);
    DtUtmReferencePoint bare;   // an uninitialised point: the exception passes, nothing changes
    DtUtmCoord q(1, 2, 3, &bare);
    EXPECT_THROW(q.setGeodetic(start), DtException);
    EXPECT_EQ(static_cast<const DtVector64&>(q), DtVector64(1, 2, 3));
    q = v;   // the numbers and the reference point
    EXPECT_TRUE(static_cast<const DtVector64&>(q) == v && q.refPoint() == &p);
    q.setNorth(-1.5);
    q.setEast(2.5);
    q.setUp(-3.5);
    EXPECT_EQ(static_cast<const DtVector64&>(q), DtVector64(2.5, -1.5, -3.5));
    EXPECT_TRUE(q.east() == 2.5 && q.north() == -1.5 && q.up() == -3.5);

    const auto declination = [&p](double latDeg, double lonDeg) {
        const DtUtmCoord u(DtGeodeticCoord(latDeg * kDeg, lonDeg * kDeg, 0, p.ellipsoid()), &p);
        return u.gridDeclination() / kDeg;
    };
    EXPECT_TRUE(std::fabs(declination(45, -75)) < 1e-9 && std::fabs(declination(45, -72) - 2.1224) < 1e-4 &&
                std::fabs(declination(45, -78) + 2.1224) < 1e-4);
    DtUtmInit(DtUtmLatRef1_1, DtDegMinSec{75, 0, 0, DtWest}, 1, 18);   // the global point and its zone
    EXPECT_NEAR(DtUtmGridDeclination(-45 * kDeg, -72 * kDeg) / kDeg, -2.1222, 1e-4);
    DtGlobalUtmReferencePoint()->uninitialize();
    EXPECT_THROW(DtUtmGridDeclination(45 * kDeg, -72 * kDeg), DtException);
}
