// Elementary rotations and orthonormalisation.
#include "testSupport.h"

#include <qvDcm.h>
#include <qvTaitBryan.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace Vorant;

namespace {

const double kPi = 3.141592653589793;

void expectNear(const DtDcm& a, const DtDcm& b, double tol)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(a[r][c], b[r][c], tol) << "element " << r << "," << c;
}

DtDcm transposed(const DtDcm& m)
{
    DtDcm t;
    DtDcmTranspose(m, t);
    return t;
}

bool allZero(const DtDcm& m)
{
    for (int r = 0; r < 3; ++r)
        if (!m[r].magnitudeIsZero())
            return false;
    return true;
}

}  // namespace

TEST(ElementaryRotationTest, SingleAxisBuildersGiveFrameRotations)
{
    const double a = 0.7;
    const double c = std::cos(a), s = std::sin(a);
    DtDcm m;
    DtDcmRotInit(m, a, 2);
    expectNear(m, DtDcm(c, s, 0, -s, c, 0, 0, 0, 1), 0.0);
    DtDcmRotInit(m, a, 0);
    expectNear(m, DtDcm(1, 0, 0, 0, c, s, 0, -s, c), 0.0);
    DtDcmRotInit(m, a, 1);
    expectNear(m, DtDcm(c, 0, -s, 0, 1, 0, s, 0, c), 0.0);

    // A frame turned by a about z sees a fixed x axis at -a.
    DtDcmRotInit(m, kPi / 2, 2);
    DtVector64 v;
    DtDcmVecMul(m, DtVector64(1, 0, 0), v);
    EXPECT_TRUE(v.approxEq(DtVector64(0, -1, 0), 1e-16));

    // From the sine alone: the cosine is never negative.
    DtDcm fromSine, fromAngle;
    for (int axis = 0; axis < 3; ++axis) {
        DtDcmRotInit2(fromSine, 0.5, axis);
        DtDcmRotInit(fromAngle, kPi / 6, axis);
        expectNear(fromSine, fromAngle, 1e-15);
        DtDcmRotInit2(fromSine, -0.5, axis);
        DtDcmRotInit(fromAngle, -kPi / 6, axis);
        expectNear(fromSine, fromAngle, 1e-15);
        DtDcmTrigInit(fromSine, std::sin(0.3), std::cos(0.3), axis);
        DtDcmRotInit(fromAngle, 0.3, axis);
        expectNear(fromSine, fromAngle, 0.0);
    }
    // |s| > 1 still gives a finite cosine.
    DtDcmRotInit2(m, 2.0, 0);
    EXPECT_EQ(m[1][1], std::sqrt(3.0));
    // The pair is used as given.
    DtDcmTrigInit(m, 3.0, 4.0, 2);
    expectNear(m, DtDcm(4, 3, 0, -3, 4, 0, 0, 0, 1), 0.0);
}

TEST(ElementaryRotationTest, ImpossibleAxisCodesPanic)
{
    DtDcm m(1, 2, 3, 4, 5, 6, 7, 8, 9);
    {
        qmtest::Capture fatal(DtFatal);
        DtDcmRotInit(m, 0.3, 3);
        EXPECT_EQ(fatal.text(), "PANIC: dcm_rot_init(): Axis variable unknown.\n");
        EXPECT_TRUE(allZero(m));
    }
    m = DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 9);
    {
        qmtest::Capture fatal(DtFatal);
        DtDcmRotInit2(m, 0.3, -1);
        EXPECT_EQ(fatal.text(), "PANIC: dcm_rot_init(): Axis unknown\n");
        EXPECT_TRUE(allZero(m));
    }
    m = DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 9);
    {
        qmtest::Capture fatal(DtFatal);
        DtDcmTrigInit(m, 0.3, 0.9, 17);
        EXPECT_EQ(fatal.text(), "PANIC: dcm_trig_init() Axis variable unknown.\n");
        EXPECT_TRUE(allZero(m));
    }
    m = DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 9);
    {
        qmtest::Capture fatal(DtFatal);
        DtDcmFixMatrix(m, -1);
        DtDcmFixMatrix(m, 3);
        EXPECT_EQ(fatal.text(), "PANIC -- impossible axis detected in fix matrix\r\n"
                                "PANIC -- impossible axis detected in fix matrix\r\n");
        expectNear(m, DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 9), 0.0);
    }
}

TEST(ElementaryRotationTest, ArbitraryAxisBuildersGiveVectorRotations)
{
    const double a = 0.9;
    const double z[3] = {0, 0, 1};
    DtDcm form, frame, rot;
    double s = 0, c = 0;
    DtDcmForm(z, a, form, &s, &c);
    EXPECT_EQ(s, std::sin(a));
    EXPECT_EQ(c, std::cos(a));
    DtDcmRotInit(frame, a, 2);
    expectNear(form, transposed(frame), 1e-16);
    DtRotate(rot, DtVector64(0, 0, 1), a);
    expectNear(rot, form, 1e-15);
    DtRotate(rot, DtVector32(0, 0, 1), a);
    expectNear(rot, form, 1e-15);

    // Angle zero gives the identity for any axis.
    const double any[3] = {0.48, -0.6, 0.64};
    DtDcmForm(any, 0.0, form, &s, &c);
    expectNear(form, DtDcm::identity(), 0.0);

    // Rodrigues against the composed Tait-Bryan matrix for the same rotation:
    // about the body x axis by phi is DtTbToMat(0, 0, phi).
    DtDcm tb;
    DtTbToMat(DtTaitBryan(0, 0, 0.4), tb);
    const double x[3] = {1, 0, 0};
    DtDcmForm(x, 0.4, form, &s, &c);
    expectNear(form, tb, 1e-16);

    // An axis that is a row of the output matrix itself.
    std::mt19937 gen(2);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int n = 0; n < 50; ++n) {
        DtVector64 axis(u(gen), u(gen), u(gen));
        axis.normalize();
        const double angle = 3 * u(gen);
        DtDcmForm(static_cast<const double*>(axis), angle, form, &s, &c);
        DtRotate(rot, axis, angle);
        expectNear(rot, form, 1e-15);
        EXPECT_TRUE(rot.isOrthonormal());
        DtVector64 turned;
        DtDcmVecMul(rot, axis, turned);
        EXPECT_TRUE(turned.approxEq(axis, 1e-15));   // the axis stays put
        DtDcm self;
        self[1] = axis;
        DtRotate(self, self[1], angle);
        expectNear(self, rot, 0.0);
    }
}

TEST(ElementaryRotationTest, LevelFrames)
{
    DtDcm m;
    DtDcmLevelInit(m, DtVector64(0, 0, 1));
    expectNear(m, DtDcm(1, 0, 0, 0, 0, 1, 0, -1, 0), 0.0);
    DtDcmLevelInit(m, DtVector64(1, 0, 0));
    expectNear(m, DtDcm(0, -1, 0, 1, 0, 0, 0, 0, 1), 0.0);
    DtDcmLevelInit(m, DtVector32(0, 0, 1));
    expectNear(m, DtDcm(1, 0, 0, 0, 0, 1, 0, -1, 0), 0.0);

    std::mt19937 gen(4);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int n = 0; n < 50; ++n) {
        DtVector64 g(u(gen), u(gen), u(gen));
        g.normalize();
        DtDcmLevelInit(m, g);
        EXPECT_EQ(m[1], g);
        EXPECT_EQ(m[0][2], 0.0);
        EXPECT_TRUE(m.isOrthonormal());
        // h = sqrt(1 - g2^2) cancels when g is steep, so only ~1e-12 here.
        EXPECT_NEAR(DtDcmDeterminant(m), 1.0, 1e-12);
        EXPECT_TRUE(m[2].approxEq(m[0].crossProduct(m[1]), 1e-12));
    }
    // Not a unit vector: NaN, no report.
    DtDcmLevelInit(m, DtVector64(0, 0, 2));
    EXPECT_TRUE(std::isnan(m[2][2]));
    // Float: g2 * g2 in float before widening.
    const DtVector32 gf(0.6f, 0.0f, 0.8f);
    DtDcmLevelInit(m, gf);
    EXPECT_BITEQ(m[2][2], std::sqrt(1.0 - double(gf[2] * gf[2])));
}

TEST(ElementaryRotationTest, FixMatrixRestoresOrthonormality)
{
    DtDcm exact;
    DtTbToMat(DtTaitBryan(0.3, -0.2, 1.1), exact);
    for (int k = 0; k < 3; ++k) {
        DtDcm m = exact;
        DtDcmFixMatrix(m, k);
        expectNear(m, exact, 1e-15);
    }

    // Row 2 of length 2, rows 0 and 1 skewed: row 2 keeps its direction,
    // row 1 stays in the plane of the given rows 1 and 2.
    DtDcm m = exact;
    m[2] = DtVector64(2 * exact[2][0], 2 * exact[2][1], 2 * exact[2][2]);
    m[0] += DtVector64(0.01, -0.02, 0.005);
    m[1] += DtVector64(-0.015, 0.01, 0.02);
    const DtDcm given = m;
    DtDcmFixMatrix(m, 2);
    EXPECT_TRUE(m.isOrthonormal());
    EXPECT_NEAR(std::fabs(DtVecDotProd(m[0], m[1])), 0.0, 1e-15);
    EXPECT_NEAR(DtDcmDeterminant(m), 1.0, 1e-14);
    EXPECT_TRUE(m[2].approxEq(exact[2], 1e-15));
    EXPECT_NEAR(DtVecBoxProd(given[1], given[2], m[1]), 0.0, 1e-15);

    // Repeated drift and repair stays a rotation.
    DtDcm drifting = exact;
    DtDcm step;
    DtDcmRotInit(step, 1e-3, 1);
    for (int n = 0; n < 10000; ++n) {
        DtDcmDcmMul(step, drifting, drifting);
        drifting[0][0] *= 1.0 + 1e-9;
        if (n % 100 == 0)
            DtDcmFixMatrix(drifting, n % 3);
    }
    DtDcmFixMatrix(drifting, 0);
    EXPECT_TRUE(drifting.isOrthonormal());
    DtDcm prod;
    DtMM_Mult(drifting, drifting, prod, DtMM_ABt);
    expectNear(prod, DtDcm::identity(), 1e-14);
}
