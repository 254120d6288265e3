// Scalar helpers and periodic reduction.
#include "testSupport.h"

#include <modper.h>
#include <qvScalar.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Vorant;

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
}

TEST(ScalarTest, SquareAbsMaxKeepTheirSignAndTieRules)
{
    EXPECT_EQ(DtSquare(3.0), 9.0);
    EXPECT_EQ(DtSquare(-1.5f), 2.25f);

    EXPECT_BITEQ(DtAbs(-0.0), -0.0);
    EXPECT_BITEQ(DtAbs(0.0), 0.0);
    EXPECT_EQ(DtAbs(-2.5), 2.5);
    EXPECT_EQ(DtAbs(-2.5f), 2.5f);
    EXPECT_TRUE(std::signbit(DtAbs(kNaN)) != std::signbit(kNaN));
    EXPECT_TRUE(std::isnan(DtAbs(kNaN)));

    EXPECT_EQ(DtMax(2.0, 1.0), 2.0);
    EXPECT_EQ(DtMax(1.0, 2.0), 2.0);
    EXPECT_BITEQ(DtMax(0.0, -0.0), -0.0);   // equal: the second argument
    EXPECT_BITEQ(DtMax(-0.0, 0.0), 0.0);
    EXPECT_EQ(DtMax(kNaN, 1.0), 1.0);
    EXPECT_TRUE(std::isnan(DtMax(1.0, kNaN)));
}

TEST(ScalarTest, LimitAcceptsBoundsInEitherOrder)
{
    EXPECT_EQ(DtLimit(5.0, 1.0, 3.0), 3.0);
    EXPECT_EQ(DtLimit(5.0, 3.0, 1.0), 3.0);
    EXPECT_EQ(DtLimit(-5.0, 3.0, 1.0), 1.0);
    EXPECT_EQ(DtLimit(2.0, 1.0, 3.0), 2.0);
    EXPECT_EQ(DtLimit(1.0, 1.0, 3.0), 1.0);
    EXPECT_TRUE(std::isnan(DtLimit(kNaN, 1.0, 3.0)));
    EXPECT_EQ(DtLimit(-kInf, -1.0, 1.0), -1.0);
}

TEST(ScalarTest, AngleConversionsKeepTheirOrder)
{
    const double pi = 3.141592653589793;
    EXPECT_BITEQ(DtDeg2Rad(180.0), pi);
    EXPECT_BITEQ(DtRad2Deg(pi), 180.0);
    EXPECT_BITEQ(DtDeg2Rad(-0.0), -0.0);
    EXPECT_EQ(DtDeg2Rad(720.0), 4.0 * pi);   // no reduction
    // Values where the order of operations shows in the last bit.
    for (double d : {1.0, 3.0, 10.0, 33.3, 45.0, 89.999, 123.456, 271.0, 1e-300, 1e300}) {
        volatile double piv = pi;
        const double mulFirst = (piv * d) / 180.0;
        EXPECT_BITEQ(DtDeg2Rad(d), mulFirst);
        const double divFirst = 180.0 * (d / piv);
        EXPECT_BITEQ(DtRad2Deg(d), divFirst);
    }
    // At least one of them must differ from the other order, or the loop
    // above proves nothing about the order.
    int differs = 0;
    for (int i = 1; i < 1000; ++i) {
        volatile double piv = pi;
        const double d = i * 0.37;
        differs += DtDeg2Rad(d) != piv * (d / 180.0);
        differs += DtRad2Deg(d) != (180.0 * d) / piv;
    }
    EXPECT_GT(differs, 0);
    EXPECT_TRUE(std::isinf(DtDeg2Rad(1.7e308)));   // pi * 1.7e308 overflows before the division
}

TEST(ModPerTest, UpperClosedInterval)
{
    EXPECT_EQ(DtModPerHi(-180, -180, 180), 180);
    EXPECT_EQ(DtModPerHi(540, -180, 180), 180);
    EXPECT_EQ(DtModPerHi(190, -180, 180), -170);
    EXPECT_EQ(DtModPerHi(180, -180, 180), 180);
    EXPECT_EQ(DtModPerHi(45, -180, 180), 45);
    EXPECT_EQ(DtModPerHi(-540, -180, 180), 180);
    EXPECT_EQ(DtModPerHi(-190, -180, 180), 170);
    EXPECT_EQ(DtModPerHi(3.0 * 360 + 10, -180, 180), 10);
    // A value already in range comes back untouched, bit for bit.
    EXPECT_BITEQ(DtModPerHi(-0.0, -180, 180), -0.0);
    EXPECT_BITEQ(DtModPerHi(0.1, -180, 180), 0.1);
    EXPECT_TRUE(std::isnan(DtModPerHi(kNaN, -180, 180)));
    EXPECT_TRUE(std::isnan(DtModPerHi(kInf, -180, 180)));
}

TEST(ModPerTest, LowerClosedIntervalAndZeroBased)
{
    EXPECT_EQ(DtModPerLo(180, -180, 180), -180);
    EXPECT_EQ(DtModPerLo(-180, -180, 180), -180);
    EXPECT_EQ(DtModPerLo(-190, -180, 180), 170);
    EXPECT_EQ(DtModPerLo(540, -180, 180), -180);
    EXPECT_EQ(DtModPerLo(5, 10, 20), 15);
    EXPECT_BITEQ(DtModPerLo(12.25, 10, 20), 12.25);

    EXPECT_EQ(DtModPerZero(360, 360), 0);
    EXPECT_EQ(DtModPerZero(725, 360), 5);
    EXPECT_EQ(DtModPerZero(-90, 360), 270);
    EXPECT_BITEQ(DtModPerZero(-360, 360), -0.0);   // fmod's zero keeps the sign
    EXPECT_BITEQ(DtModPerZero(-0.0, 360), -0.0);   // -0 is not below zero
    EXPECT_EQ(DtModPerZero(-1080, 360), 0);
    EXPECT_TRUE(std::isnan(DtModPerZero(5, 0)));
    EXPECT_TRUE(std::isnan(DtModPerZero(-5, 0)));
    EXPECT_TRUE(std::isnan(DtModPerZero(-kInf, 360)));
    EXPECT_TRUE(std::isnan(DtModPerZero(kInf, 360)));
    EXPECT_TRUE(std::isnan(DtModPerZero(kNaN, 360)));
}

TEST(ModPerTest, DispatchFollowsTheOrderOfTheBounds)
{
    EXPECT_EQ(DtModPer(360, 0, 360), 0);
    EXPECT_EQ(DtModPer(-90, 0, 360), 270);
    EXPECT_EQ(DtModPer(-360, 0, 360), 0);
    EXPECT_BITEQ(DtModPer(-360, 0, 360), -0.0);
    EXPECT_EQ(DtModPer(180, -180, 180), -180);
    EXPECT_EQ(DtModPer(-180, 180, -180), 180);
    EXPECT_EQ(DtModPer(180, 180, -180), 180);
    EXPECT_EQ(DtModPer(370, 10, 370), 10);   // non-zero lower bound: [a, b)
    EXPECT_EQ(DtModPer(10, 370, 10), 370);   // descending: (b, a]
    for (double x : {-5.0, 0.0, 5.0, 1e10})
        EXPECT_TRUE(std::isnan(DtModPer(x, 5, 5))) << x;
    EXPECT_TRUE(std::isnan(DtModPer(1.0, kNaN, 5)));
    EXPECT_TRUE(std::isnan(DtModPer(1.0, 5, kNaN)));

    // Every result lies in its interval, and differs from x by whole periods.
    for (int i = -2000; i <= 2000; ++i) {
        const double x = i * 0.731;
        const double lo = DtModPer(x, -180, 180);
        const double hi = DtModPer(x, 180, -180);
        EXPECT_TRUE(lo >= -180 && lo < 180) << x;
        EXPECT_TRUE(hi > -180 && hi <= 180) << x;
        EXPECT_NEAR(std::remainder(x - lo, 360.0), 0.0, 1e-9) << x;
        EXPECT_NEAR(std::remainder(x - hi, 360.0), 0.0, 1e-9) << x;
    }
}
