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

const double kDeg = 3.141592653589793 / 180;

bool rows(const DtDcm& m, const DtVector64& r0, const DtVector64& r1, const DtVector64& r2, double tol)
{
    return m[0].approxEq(r0, tol) && m[1].approxEq(r1, tol) && m[2].approxEq(r2, tol);
}

// A coordinate whose angles come from elsewhere than its stored numbers.
class FixedAngles : public DtGeodeticCoord
{
public:
    double lat() const override { return 0.0; }
    double lon() const override { return 90 * kDeg; }
};

}  // namespace

TEST(TopoFrameTest, RotationsAndTheNedEnuSwap)
{
    DtDcm m, viaOverride;
    DtLatLon_to_TopoToGeoc(DtGeodeticCoord(0, 0, 0), m);   // north +Z, east +Y, down -X
    EXPECT_TRUE(rows(m, DtVector64(0, 0, -1), DtVector64(0, 1, 0), DtVector64(1, 0, 0), 0.0));
    DtLatLon_to_TopoToGeoc(DtGeodeticCoord(0, 90 * kDeg, 0), m);   // east -X, down -Y
    EXPECT_TRUE(rows(m, DtVector64(0, -1, 0), DtVector64(0, 0, -1), DtVector64(1, 0, 0), 1e-16));
    DtLatLon_to_TopoToGeoc(FixedAngles(), viaOverride);   // read through the virtual accessors
    EXPECT_TRUE(rows(viaOverride, m[0], m[1], m[2], 0.0));

    std::mt19937 gen(6);
    std::uniform_real_distribution<double> lat(-90 * kDeg, 90 * kDeg), lon(-180 * kDeg, 180 * kDeg);
    for (int n = 0; n < 100; ++n) {
        const DtGeodeticCoord g(lat(gen), lon(gen), 0);
        DtDcm toGeoc, toTopo, product;
        DtLatLon_to_TopoToGeoc(g, toGeoc);
        DtLatLon_to_GeocToTopo(g, toTopo);
        DtDcmDcmMul(toGeoc, toTopo, product);
        const double sp = std::sin(g.lat()), cp = std::cos(g.lat()), sl = std::sin(g.lon()), cl = std::cos(g.lon());
        EXPECT_TRUE(rows(product, DtVector64(1, 0, 0), DtVector64(0, 1, 0), DtVector64(0, 0, 1), 1e-15) &&
                    rows(toTopo, DtVector64(-sp * cl, -sp * sl, cp), DtVector64(-sl, cl, 0),
                         DtVector64(-cp * cl, -cp * sl, -sp), 1e-15));
        // Down points from a point 100 m up to the surface point below it.
        DtVector64 down = DtGeodeticCoord(g.lat(), g.lon(), 0).geocentric() - DtGeodeticCoord(g.lat(), g.lon(), 100).geocentric();
        DtVecScale(down, 0.01, down);
        EXPECT_TRUE(down.approxEq(toTopo[2], 1e-9));
    }

    const DtDcm& swap = DtNedToEnuDcm();
    DtDcm sq;
    DtDcmDcmMul(swap, swap, sq);
    DtVector64 v;
    DtDcmVecMul(swap, DtVector64(1, 2, 3), v);
    EXPECT_TRUE(&swap == &DtEnuToNedDcm() && rows(sq, DtVector64(1, 0, 0), DtVector64(0, 1, 0), DtVector64(0, 0, 1), 0.0) &&
                v == DtVector64(2, 1, -3));
}

TEST_F(GlobalStateTest, TransformIntoTheTopographicFrameAndGroundAngles)
{
    const double lat = 37.5 * kDeg, lon = -122.25 * kDeg;
    DtCoordTransform t, ed50;
    DtGeocToTopoTransform(lat, lon, &t);
    DtVector64 out;
    t.coordTrans(DtGeodeticCoord(lat, lon, 0).geocentric(), out);
    EXPECT_TRUE(out.approxEq(DtVector64::zero(), 1e-8));
    t.coordTrans(DtGeodeticCoord(lat, lon, 250).geocentric(), out);
    EXPECT_TRUE(out.approxEq(DtVector64(0, 0, -250), 1e-8));
    t.coordTrans(DtGeodeticCoord(lat + 1000 / 6.36e6, lon, 0).geocentric(), out);   // about 1 km north
    EXPECT_TRUE(std::fabs(out[0] - 1000) < 2.0 && std::fabs(out[1]) < 1e-6);

    std::mt19937 gen(10);
    std::uniform_real_distribution<double> la(-1.5, 1.5), lo(-3.14, 3.14), h(-100, 1e5), yaw(-3.1, 3.1), pitch(-1.4, 1.4);
    for (int n = 0; n < 200; ++n) {
        const DtGeodeticCoord g(la(gen), lo(gen), h(gen));
        const DtTaitBryan local(yaw(gen), pitch(gen), yaw(gen));
        DtDcm bodyToNed, nedToGeoc, bodyToGeoc;
        DtTbToMat(local, bodyToNed);
        DtLatLon_to_TopoToGeoc(g, nedToGeoc);
        DtDcmDcmMul(nedToGeoc, bodyToNed, bodyToGeoc);
        DtTaitBryan geocentric;
        DtBodyToRef_to_Euler(bodyToGeoc, &geocentric);
        EXPECT_NEAR(DtGetHeadingFromGeocentric(g.geocentric(), geocentric), local.psi(), 2e-7) << n;
        EXPECT_NEAR(DtGetPitchFromGeocentric(g.geocentric(), geocentric), local.theta(), 1e-9) << n;
        EXPECT_NEAR(DtGetRollFromGeocentric(g.geocentric(), geocentric), local.phi(), 2e-7) << n;
        // Bit for bit the road through the transform into the frame.
        DtGeodeticCoord at;
        at.setGeocentric(g.geocentric());
        DtCoordTransform frame;
        DtGeocToTopoTransform(at.lat(), at.lon(), &frame);
        DtTaitBryan viaTransform;
        frame.eulerTrans(geocentric, &viaTransform);
        EXPECT_BITEQ(DtGetHeadingFromGeocentric(g.geocentric(), geocentric), viaTransform.psi());
        EXPECT_BITEQ(DtGetPitchFromGeocentric(g.geocentric(), geocentric), viaTransform.theta());
        EXPECT_BITEQ(DtGetRollFromGeocentric(g.geocentric(), geocentric), viaTransform.phi());
    }

    DtUseMapDatum(DtED50);   // the transform follows the current datum
    DtGeocToTopoTransform(lat, lon, &ed50);
    EXPECT_FALSE(ed50.offset().approxEq(t.offset(), 1.0));
}
