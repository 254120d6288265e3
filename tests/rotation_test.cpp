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

bool near(const DtDcm& a, const DtDcm& b, double tol)
{
    return a[0].approxEq(b[0], tol) && a[1].approxEq(b[1], tol) && a[2].approxEq(b[2], tol);
}

DtDcm transposed(const DtDcm& m)
{
    DtDcm t;
    DtDcmTranspose(m, t);
    return t;
}

}  // namespace

TEST(ElementaryRotationTest, SingleAxisBuildersGiveFrameRotations)
{
    const double a = 0.7, c = std::cos(a), s = std::sin(a);
    DtDcm m;
    DtDcmRotInit(m, a, 2);
    EXPECT_TRUE(near(m, DtDcm(c, s, 0, -s, c, 0, 0, 0, 1), 0.0));
    DtDcmRotInit(m, a, 0);
    EXPECT_TRUE(near(m, DtDcm(1, 0, 0, 0, c, s, 0, -s, c), 0.0));
    DtDcmRotInit(m, a, 1);
    EXPECT_TRUE(near(m, DtDcm(c, 0, -s, 0, 1, 0, s, 0, c), 0.0));
    DtDcm fromSine, fromAngle;
    for (int axis = 0; axis < 3; ++axis) {
        DtDcmRotInit2(fromSine, 0.5, axis);   // the cosine is never negative
        DtDcmRotInit(fromAngle, kPi / 6, axis);
        EXPECT_TRUE(near(fromSine, fromAngle, 1e-15));
        DtDcmRotInit2(fromSine, -0.5, axis);
        DtDcmRotInit(fromAngle, -kPi / 6, axis);
        EXPECT_TRUE(near(fromSine, fromAngle, 1e-15));
        DtDcmTrigInit(fromSine, std::sin(0.3), std::cos(0.3), axis);
        DtDcmRotInit(fromAngle, 0.3, axis);
        EXPECT_TRUE(near(fromSine, fromAngle, 0.0));
    }
    DtDcmRotInit2(m, 2.0, 0);   // |s| > 1 still gives a finite cosine
    EXPECT_EQ(m[1][1], std::sqrt(3.0));
    DtDcmTrigInit(m, 3.0, 4.0, 2);   // used as given
    EXPECT_TRUE(near(m, DtDcm(4, 3, 0, -3, 4, 0, 0, 0, 1), 0.0));

    // Impossible axis codes: the panic text, and the stated matrix.
    qmtest::Capture fatal(DtFatal);
    m = DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 9);
    DtDcmRotInit(m, 0.3, 3);
    EXPECT_TRUE(near(m, DtDcm::zero(), 0.0));
    m = DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 9);
    DtDcmRotInit2(m, 0.3, -1);
    EXPECT_TRUE(near(m, DtDcm::zero(), 0.0));
    m = DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 9);
    DtDcmTrigInit(m, 0.3, 0.9, 17);
    EXPECT_TRUE(near(m, DtDcm::zero(), 0.0));
    m = DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 9);
    DtDcmFixMatrix(m, -1);
    DtDcmFixMatrix(m, 3);
    EXPECT_TRUE(near(m, DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 9), 0.0));   // unchanged
    EXPECT_EQ(fatal.text(), "PANIC: dcm_rot_init(): Axis variable unknown.\n"
                            "PANIC: dcm_rot_init(): Axis unknown\n"
                            "PANIC: dcm_trig_init() Axis variable unknown.\n"
                            "PANIC -- impossible axis detected in fix matrix\r\n"
                            "PANIC -- impossible axis detected in fix matrix\r\n");
}

TEST(ElementaryRotationTest, ArbitraryAxisBuildersGiveVectorRotations)
{
    const double z[3] = {0, 0, 1}, x[3] = {1, 0, 0};
    DtDcm form, frame, rot, tb;
    double s = 0, c = 0;
    DtDcmForm(z, 0.9, form, &s, &c);
    EXPECT_TRUE(s == std::sin(0.9) && c == std::cos(0.9));
    DtDcmRotInit(frame, 0.9, 2);
    EXPECT_TRUE(near(form, transposed(frame), 1e-16));
    DtRotate(rot, DtVector32(0, 0, 1), 0.9);
    EXPECT_TRUE(near(rot, form, 1e-15));
    const double any[3] = {0.48, -0.6, 0.64};
    DtDcmForm(any, 0.0, form, &s, &c);
    EXPECT_TRUE(near(form, DtDcm::identity(), 0.0));
    DtTbToMat(DtTaitBryan(0, 0, 0.4), tb);   // about the body x axis by phi
    DtDcmForm(x, 0.4, form, &s, &c);
    EXPECT_TRUE(near(form, tb, 1e-16));

    std::mt19937 gen(2);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int n = 0; n < 50; ++n) {
        DtVector64 axis(u(gen), u(gen), u(gen));
        axis.normalize();
        const double angle = 3 * u(gen);
        DtDcmForm(static_cast<const double*>(axis), angle, form, &s, &c);
        DtRotate(rot, axis, angle);
        DtVector64 turned;
        DtDcmVecMul(rot, axis, turned);
        EXPECT_TRUE(near(rot, form, 1e-15) && rot.isOrthonormal() && turned.approxEq(axis, 1e-15));
        DtDcm self;   // the axis may be a row of the output
        self[1] = axis;
        DtRotate(self, self[1], angle);
        EXPECT_TRUE(near(self, rot, 0.0));
    }
}

TEST(ElementaryRotationTest, LevelFrames)
{
    DtDcm m;
    DtDcmLevelInit(m, DtVector64(0, 0, 1));
    EXPECT_TRUE(near(m, DtDcm(1, 0, 0, 0, 0, 1, 0, -1, 0), 0.0));
    DtDcmLevelInit(m, DtVector64(1, 0, 0));
    EXPECT_TRUE(near(m, DtDcm(0, -1, 0, 1, 0, 0, 0, 0, 1), 0.0));
    std::mt19937 gen(4);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int n = 0; n < 50; ++n) {
        DtVector64 g(u(gen), u(gen), u(gen));
        g.normalize();
        DtDcmLevelInit(m, g);
        // h = sqrt(1 - g2^2) cancels when g is steep: only about 1e-12 here.
        EXPECT_TRUE(m[1] == g && m[0][2] == 0.0 && m.isOrthonormal() && m[2].approxEq(m[0].crossProduct(m[1]), 1e-12));
    }
    DtDcmLevelInit(m, DtVector64(0, 0, 2));   // not a unit vector: NaN, no report
    EXPECT_TRUE(std::isnan(m[2][2]));
    const DtVector32 gf(0.6f, 0.0f, 0.8f);   // g2 * g2 in float before widening
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
        EXPECT_TRUE(near(m, exact, 1e-15));
    }
    // Row 2 of length 2, rows 0 and 1 skewed: row 2 keeps its direction and
    // row 1 stays in the plane of the given rows 1 and 2.
    DtDcm m = exact;
    m[2] = DtVector64(2 * exact[2][0], 2 * exact[2][1], 2 * exact[2][2]);
    m[0] += DtVector64(0.01, -0.02, 0.005);
    m[1] += DtVector64(-0.015, 0.01, 0.02);
    const DtDcm given = m;
    DtDcmFixMatrix(m, 2);
    EXPECT_TRUE(m.isOrthonormal() && std::fabs(DtVecDotProd(m[0], m[1])) < 1e-15 && m[2].approxEq(exact[2], 1e-15));
    EXPECT_NEAR(DtDcmDeterminant(m), 1.0, 1e-14);
    EXPECT_NEAR(DtVecBoxProd(given[1], given[2], m[1]), 0.0, 1e-15);

    // Repeated drift and repair stays a rotation.
    DtDcm drifting = exact, step, prod;
    DtDcmRotInit(step, 1e-3, 1);
    for (int n = 0; n < 10000; ++n) {
        DtDcmDcmMul(step, drifting, drifting);
        drifting[0][0] *= 1.0 + 1e-9;
        if (n % 100 == 0)
            DtDcmFixMatrix(drifting, n % 3);
    }
    DtDcmFixMatrix(drifting, 0);
    DtMM_Mult(drifting, drifting, prod, DtMM_ABt);
    EXPECT_TRUE(near(prod, DtDcm::identity(), 1e-14));
}
