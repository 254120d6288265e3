// Topographic frames and heading, pitch and roll from geocentric data.
#include "testSupport.h"
#include "utmFixture.h"

#include <coordTransform.h>
#include <geodeticCoord.h>
#include <qvDcm.h>
#include <qvTaitBryan.h>
#include <topoCoord.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace Vorant;

namespace {

const double kPi = 3.141592653589793;
const double kDeg = kPi / 180;

void expectRows(const DtDcm& m, const DtVector64& r0, const DtVector64& r1, const DtVector64& r2, double tol)
{
    EXPECT_TRUE(m[0].approxEq(r0, tol)) << m[0];
    EXPECT_TRUE(m[1].approxEq(r1, tol)) << m[1];
    EXPECT_TRUE(m[2].approxEq(r2, tol)) << m[2];
}

// A coordinate whose angles come from elsewhere than its stored numbers.
class FixedAngles : public DtGeodeticCoord
{
public:
    double lat() const override { return 0.0; }
    double lon() const override { return kPi / 2; }
};

}  // namespace

TEST(TopoFrameTest, RotationsAtKnownPlaces)
{
    DtDcm m;
    DtLatLon_to_TopoToGeoc(DtGeodeticCoord(0, 0, 0), m);
    expectRows(m, DtVector64(0, 0, -1), DtVector64(0, 1, 0), DtVector64(1, 0, 0), 0.0);

    // At longitude 90 degrees east: east is -X, down is -Y.
    DtLatLon_to_TopoToGeoc(DtGeodeticCoord(0, kPi / 2, 0), m);
    DtVector64 east, down;
    DtDcmVecMul(m, DtVector64(0, 1, 0), east);
    DtDcmVecMul(m, DtVector64(0, 0, 1), down);
    EXPECT_TRUE(east.approxEq(DtVector64(-1, 0, 0), 1e-16));
    EXPECT_TRUE(down.approxEq(DtVector64(0, -1, 0), 1e-16));

    // Read through the virtual accessors.
    DtDcm viaOverride;
    DtLatLon_to_TopoToGeoc(FixedAngles(), viaOverride);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(viaOverride[r], m[r]);

    std::mt19937 gen(6);
    std::uniform_real_distribution<double> lat(-kPi / 2, kPi / 2), lon(-kPi, kPi);
    for (int n = 0; n < 100; ++n) {
        const DtGeodeticCoord g(lat(gen), lon(gen), 0);
        DtDcm toGeoc, toTopo, product;
        DtLatLon_to_TopoToGeoc(g, toGeoc);
        DtLatLon_to_GeocToTopo(g, toTopo);
        DtDcmDcmMul(toGeoc, toTopo, product);
        expectRows(product, DtVector64(1, 0, 0), DtVector64(0, 1, 0), DtVector64(0, 0, 1), 1e-15);
        const double sp = std::sin(g.lat()), cp = std::cos(g.lat()), sl = std::sin(g.lon()), cl = std::cos(g.lon());
        expectRows(toTopo, DtVector64(-sp * cl, -sp * sl, cp), DtVector64(-sl, cl, 0), DtVector64(-cp * cl, -cp * sl, -sp),
                   1e-15);
        // Down is the negative ellipsoid normal: it points from a point 100 m
        // up to the surface point below it.
        DtVector64 top, bottom, diff;
        DtGeodeticCoord(g.lat(), g.lon(), 100).getGeocentric(top);
        DtGeodeticCoord(g.lat(), g.lon(), 0).getGeocentric(bottom);
        DtVecSub(bottom, top, diff);
        DtVecScale(diff, 0.01, diff);
        EXPECT_TRUE(diff.approxEq(toTopo[2], 1e-9));
    }
}

TEST(TopoFrameTest, NedEnuSwap)
{
    EXPECT_EQ(&DtNedToEnuDcm(), &DtEnuToNedDcm());
    const DtDcm& m = DtNedToEnuDcm();
    expectRows(m, DtVector64(0, 1, 0), DtVector64(1, 0, 0), DtVector64(0, 0, -1), 0.0);
    DtDcm sq;
    DtDcmDcmMul(m, m, sq);
    expectRows(sq, DtVector64(1, 0, 0), DtVector64(0, 1, 0), DtVector64(0, 0, 1), 0.0);
    DtVector64 v;
    DtDcmVecMul(m, DtVector64(1, 2, 3), v);
    EXPECT_EQ(v, DtVector64(2, 1, -3));
}

TEST_F(GlobalStateTest, TransformIntoTheTopographicFrame)
{
    const double lat = 37.5 * kDeg, lon = -122.25 * kDeg;
    DtCoordTransform t;
    DtGeocToTopoTransform(lat, lon, &t);
    const DtVector64 surface = DtGeodeticCoord(lat, lon, 0).geocentric();
    DtVector64 out;
    t.coordTrans(surface, out);
    EXPECT_TRUE(out.approxEq(DtVector64::zero(), 1e-8));
    t.coordTrans(DtGeodeticCoord(lat, lon, 250).geocentric(), out);
    EXPECT_TRUE(out.approxEq(DtVector64(0, 0, -250), 1e-8));
    // 1 km north along the meridian shows up almost entirely as north.
    t.coordTrans(DtGeodeticCoord(lat + 1000 / 6.36e6, lon, 0).geocentric(), out);
    EXPECT_NEAR(out[0], 1000, 2.0);
    EXPECT_NEAR(out[1], 0, 1e-6);

    // The transform follows the current datum.
    DtUseMapDatum(DtED50);
    DtCoordTransform ed50;
    DtGeocToTopoTransform(lat, lon, &ed50);
    EXPECT_FALSE(ed50.offset().approxEq(t.offset(), 1.0));
}

TEST_F(GlobalStateTest, HeadingPitchRollOverTheGround)
{
    std::mt19937 gen(10);
    std::uniform_real_distribution<double> lat(-1.5, 1.5), lon(-kPi, kPi), h(-100, 1e5);
    std::uniform_real_distribution<double> yaw(-3.1, 3.1), pitch(-1.4, 1.4);
    for (int n = 0; n < 200; ++n) {
        const DtGeodeticCoord g(lat(gen), lon(gen), h(gen));
        const DtVector64 position = g.geocentric();
        // Body-to-NED of the wanted angles, then body-to-geocentric.
        const DtTaitBryan local(yaw(gen), pitch(gen), yaw(gen));
        DtDcm bodyToNed, nedToGeoc, bodyToGeoc;
        DtTbToMat(local, bodyToNed);
        DtLatLon_to_TopoToGeoc(g, nedToGeoc);
        DtDcmDcmMul(nedToGeoc, bodyToNed, bodyToGeoc);
        DtTaitBryan geocentric;
        DtBodyToRef_to_Euler(bodyToGeoc, &geocentric);

        EXPECT_NEAR(DtGetHeadingFromGeocentric(position, geocentric), local.psi(), 2e-7) << n;
        EXPECT_NEAR(DtGetPitchFromGeocentric(position, geocentric), local.theta(), 1e-9) << n;
        EXPECT_NEAR(DtGetRollFromGeocentric(position, geocentric), local.phi(), 2e-7) << n;
    }

    // A body aligned with the local frame has zero angles.
    const DtGeodeticCoord g(0.3, -1.1, 0);
    DtDcm nedToGeoc;
    DtLatLon_to_TopoToGeoc(g, nedToGeoc);
    DtTaitBryan aligned;
    DtBodyToRef_to_Euler(nedToGeoc, &aligned);
    EXPECT_NEAR(DtGetHeadingFromGeocentric(g.geocentric(), aligned), 0.0, 1e-7);
    EXPECT_NEAR(DtGetPitchFromGeocentric(g.geocentric(), aligned), 0.0, 1e-12);
    EXPECT_NEAR(DtGetRollFromGeocentric(g.geocentric(), aligned), 0.0, 1e-7);
}
