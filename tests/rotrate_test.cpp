// Rotation rates, dead reckoning and relative rotation.
#include "testSupport.h"

#include <directedRotRate.h>
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

}  // namespace

TEST(RotRateTest, RateAndAxisInTheirPrecisions)
{
    DtDirectedRotRate r;
    EXPECT_EQ(r.magnitude, 0.0);
    EXPECT_EQ(r.axis[0], 0.0f);
    r.setFromVec(DtVector32(0, 0, 2));
    EXPECT_EQ(r.magnitude, 2.0);
    EXPECT_EQ(r.axis[2], 1.0f);
    r.setFromVec(DtVector32(0, 0, 0));
    EXPECT_EQ(r.magnitude, 0.0);
    EXPECT_EQ(r.axis[0], 0.0f);
    EXPECT_EQ(r.axis[1], 0.0f);
    EXPECT_EQ(r.axis[2], 0.0f);

    const DtDirectedRotRate fast(DtVector32(0, 3, 0)), slow(DtVector32(0, 0.5f, 0));
    EXPECT_TRUE(fast == slow);
    EXPECT_FALSE(fast != slow);
    EXPECT_TRUE(fast != DtDirectedRotRate(DtVector32(0, -1, 0)));

    // Three ways to form the magnitude.
    const DtVector32 w(0.1f, 0.7f, 1.3f);
    const DtDirectedRotRate member(w);
    const DtDirectedRotRate fromDouble = DtDirectRotRate(DtVector32To64(w));
    const DtDirectedRotRate fromFloat = DtDirectRotRate(w);
    const double exact = std::sqrt(double(w[0]) * w[0] + double(w[1]) * w[1] + double(w[2]) * w[2]);
    EXPECT_NEAR(member.magnitude, exact, 1e-7);
    EXPECT_BITEQ(fromDouble.magnitude, exact);
    EXPECT_BITEQ(fromFloat.magnitude, double(std::sqrt((w[0] * w[0] + w[1] * w[1]) + w[2] * w[2])));
    EXPECT_NE(fromFloat.magnitude, fromDouble.magnitude);
    const DtDirectedRotRate zero = DtDirectRotRate(DtVector64(0, 0, 0));
    EXPECT_EQ(zero.magnitude, 0.0);
    EXPECT_EQ(zero.axis[1], 0.0f);
    EXPECT_EQ(DtDirectRotRate(DtVector32(0, 0, 0)).axis[2], 0.0f);
    for (const DtDirectedRotRate* x : {&member, &fromDouble, &fromFloat})
        EXPECT_NEAR(std::sqrt(double(x->axis[0]) * x->axis[0] + double(x->axis[1]) * x->axis[1] +
                              double(x->axis[2]) * x->axis[2]),
                    1.0, 1e-7);
}

TEST(RotRateTest, DeadReckoningMatchesTheFrameRotation)
{
    DtDcm m, expected;
    DtMakeRotationDcm(DtDirectRotRate(DtVector64(0, 0, 1)), 0.5, m);
    DtDcmRotInit(expected, 0.5, 2);
    expectNear(m, expected, 1e-16);
    DtMakeRotationDcm(DtDirectRotRate(DtVector64(0, 0, 1)), 0.0, m);
    expectNear(m, DtDcm::identity(), 0.0);
    DtMakeRotationDcm(DtDirectedRotRate(), 3.0, m);
    expectNear(m, DtDcm::identity(), 0.0);

    // Many small steps compose to one large step about the same axis.
    const DtDirectedRotRate rate = DtDirectRotRate(DtVector64(0.2, -0.5, 0.9));
    DtDcm small, big, acc = DtDcm::identity();
    DtMakeRotationDcm(rate, 0.001, small);
    for (int n = 0; n < 2000; ++n)
        DtDcmDcmMul(small, acc, acc);
    DtMakeRotationDcm(rate, 2.0, big);
    // The float axis is a unit vector only to about 1e-8, and each small step
    // carries that error.
    expectNear(acc, big, 1e-7);
    EXPECT_TRUE(big.isOrthonormal());
}

TEST(RotRateTest, BodyRateDerivative)
{
    const DtVector32 w(0.5f, -1.25f, 2.0f);
    DtDcm out, cross;
    DtBodyToMat(w, DtDcm::identity(), out);
    DtCreateCross(w, cross);
    expectNear(out, cross, 0.0);

    // out = m [w]x, also when out is m.
    DtDcm m;
    DtTbToMat(DtTaitBryan(0.3, 0.1, -0.7), m);
    DtDcm expected;
    DtDcmDcmMul(m, cross, expected);
    DtBodyToMat(w, m, out);
    expectNear(out, expected, 1e-15);
    DtBodyToMat(w, m, m);
    expectNear(m, expected, 1e-15);
}

TEST(RotRateTest, RelativeAngleAndAxis)
{
    DtDcm a, b;
    DtTbToMat(DtTaitBryan(0.4, -0.3, 1.2), a);
    EXPECT_EQ(DtDcmDcmRotAngle(a, a, 1e-9), 0.0);
    DtDcmRotInit(b, 0.3, 0);
    EXPECT_NEAR(DtDcmDcmRotAngle(DtDcm::identity(), b, 1e-9), 0.3, 1e-15);
    EXPECT_NEAR(DtDcmDcmRotTrace(DtDcm::identity(), b), 1 + 2 * std::cos(0.3), 1e-15);

    DtVector64 axis(9, 9, 9);
    DtDcmDcmRotAxis(a, a, axis);
    EXPECT_EQ(axis, DtVector64::zero());
    DtDcmRotInit(b, 0.3, 2);
    DtDcmDcmRotAxis(b, DtDcm::identity(), axis);
    EXPECT_TRUE(axis.approxEq(DtVector64(0, 0, 1), 1e-15));
    DtDcmDcmRotAxis(DtDcm::identity(), b, axis);
    EXPECT_TRUE(axis.approxEq(DtVector64(0, 0, -1), 1e-15));
    DtVector32 axis32;
    DtDcmDcmRotAxis(b, DtDcm::identity(), axis32);
    EXPECT_TRUE(axis32.approxEq(DtVector32(0, 0, 1), 1e-7));

    // Random pairs: angle and axis reproduce the relative rotation.
    std::mt19937 gen(12);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int n = 0; n < 100; ++n) {
        DtVector64 k(u(gen), u(gen), u(gen));
        k.normalize();
        // Up to 90 degrees the skew part of M decides the sign indicator.
        const double angle = 0.1 + 1.47 * (u(gen) + 1) / 2;
        DtDcm rel, base, moved;
        DtRotate(rel, k, -angle);   // frame rotation about k by angle
        DtTbToMat(DtTaitBryan(3 * u(gen), 1.5 * u(gen), 3 * u(gen)), base);
        DtDcmDcmMul(base, rel, moved);
        EXPECT_NEAR(DtDcmDcmRotAngle(moved, base, 1e-12), angle, 1e-7);
        DtDcmDcmRotAxis(moved, base, axis);
        EXPECT_TRUE(axis.approxEq(k, 1e-7)) << n << " " << axis << " " << k << " " << angle;
    }

    // Near half a turn the symmetric part can outweigh the skew part in the
    // single element read for the sign, and the axis comes out reversed.
    DtVector64 k(0.84261318740183833, 0.47363784498758982, -0.25626199135265126);
    k.normalize();
    DtDcm rel;
    DtRotate(rel, k, -2.92);
    DtDcmDcmRotAxis(rel, DtDcm::identity(), axis);
    EXPECT_TRUE(axis.approxEq(DtVector64(-k.x(), -k.y(), -k.z()), 1e-7)) << axis;
    DtRotate(rel, k, -1.5);
    DtDcmDcmRotAxis(rel, DtDcm::identity(), axis);
    EXPECT_TRUE(axis.approxEq(k, 1e-7)) << axis;
}

TEST(RotRateTest, AxisNotificationsDependOnPrecision)
{
    DtDcm half;
    DtDcmRotInit(half, kPi, 2);
    DtVector64 axis;
    DtVector32 axis32;
    {
        qmtest::Capture info(DtInfo);
        DtDcmDcmRotAxis(half, DtDcm::identity(), axis);
        EXPECT_EQ(info.text(), "");
    }
    {
        qmtest::Capture info(DtInfo);
        DtDcmDcmRotAxis(half, DtDcm::identity(), axis32);
        EXPECT_EQ(info.text().rfind("DtDcmDcmRotAxis warning: sign indicator near zero: ", 0), 0u) << info.text();
        EXPECT_EQ(info.text().back(), '\n');
    }
    EXPECT_TRUE(axis.approxEq(DtVector64(0, 0, 1), 1e-15));
    EXPECT_TRUE(axis32.approxEq(DtVector32(0, 0, 1), 1e-7));

    // No row pair gives a usable axis: a debug notification and a zero axis.
    qmtest::NotifyLevel all(10);
    qmtest::Capture debug(DtDebug);
    axis.setAll(5, 5, 5);
    DtDcmDcmRotAxis(DtDcm(2, 0, 0, 0, 1, 0, 0, 0, 1), DtDcm::identity(), axis);
    EXPECT_EQ(axis, DtVector64::zero());
    EXPECT_EQ(debug.text(), "DtDcmDcmRotAxis: can't normalize axis\n");
}
