// Scalar helpers and periodic reduction.
#include "testSupport.h"

#include <modper.h>
#include <qvScalar.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace Vorant;

namespace {
const double kNaN = std::nan("");
const double kInf = INFINITY;
}

TEST(ScalarTest, SignTieAndClampRules)
{
    EXPECT_BITEQ(DtAbs(-0.0), -0.0);   // -0 passes the test v >= 0
    EXPECT_TRUE(DtAbs(-2.5) == 2.5 && DtAbs(-2.5f) == 2.5f && DtSquare(-1.5f) == 2.25f);
    EXPECT_TRUE(std::isnan(DtAbs(kNaN)) && std::signbit(DtAbs(kNaN)) != std::signbit(kNaN));
    EXPECT_BITEQ(DtMax(0.0, -0.0), -0.0);   // ties and NaNs give the second
    EXPECT_BITEQ(DtMax(-0.0, 0.0), 0.0);
    EXPECT_TRUE(DtMax(2.0, 1.0) == 2.0 && DtMax(kNaN, 1.0) == 1.0 && std::isnan(DtMax(1.0, kNaN)));
    EXPECT_TRUE(DtLimit(5.0, 1.0, 3.0) == 3.0 && DtLimit(5.0, 3.0, 1.0) == 3.0 && DtLimit(-5.0, 3.0, 1.0) == 1.0 &&
                DtLimit(2.0, 1.0, 3.0) == 2.0 && DtLimit(-kInf, -1.0, 1.0) == -1.0);
    EXPECT_TRUE(std::isnan(DtLimit(kNaN, 1.0, 3.0)));
}

TEST(ScalarTest, AngleConversionsKeepTheirOrder)
{
    const double pi = 3.141592653589793;
    EXPECT_BITEQ(DtDeg2Rad(180.0), pi);
    EXPECT_BITEQ(DtRad2Deg(pi), 180.0);
    EXPECT_BITEQ(DtDeg2Rad(-0.0), -0.0);
    EXPECT_EQ(DtDeg2Rad(720.0), 4.0 * pi);   // no reduction
    EXPECT_TRUE(std::isinf(DtDeg2Rad(1.7e308)));   // pi * 1.7e308 overflows before the division
    // Bit for bit the stated order, over values where the other order differs.
    int differs = 0;
    for (int i = 1; i < 1000; ++i) {
        volatile double piv = pi;
        const double d = i * 0.37;
        EXPECT_BITEQ(DtDeg2Rad(d), (piv * d) / 180.0);
        EXPECT_BITEQ(DtRad2Deg(d), 180.0 * (d / piv));
        differs += DtDeg2Rad(d) != piv * (d / 180.0);
        differs += DtRad2Deg(d) != (180.0 * d) / piv;
    }
    EXPECT_GT(differs, 0);
}

TEST(ModPerTest, ReductionsAndTheirBounds)
{
    const struct
    {
        double (*f)(double, double, double);
        double x, lo, hi, expected;
    } cases[] = {
        {DtModPerHi, -180, -180, 180, 180}, {DtModPerHi, 540, -180, 180, 180}, {DtModPerHi, 190, -180, 180, -170},
        {DtModPerHi, 180, -180, 180, 180},  {DtModPerHi, -190, -180, 180, 170}, {DtModPerHi, 1090, -180, 180, 10},
        {DtModPerLo, 180, -180, 180, -180}, {DtModPerLo, -190, -180, 180, 170}, {DtModPerLo, 540, -180, 180, -180},
        {DtModPerLo, 5, 10, 20, 15},        {DtModPer, 360, 0, 360, 0},         {DtModPer, -90, 0, 360, 270},
        {DtModPer, 180, -180, 180, -180},   {DtModPer, -180, 180, -180, 180},   {DtModPer, 370, 10, 370, 10},
        {DtModPer, 10, 370, 10, 370},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.f(c.x, c.lo, c.hi), c.expected) << c.x << " in " << c.lo << ", " << c.hi;
    // In range: returned untouched, bit for bit.
    EXPECT_BITEQ(DtModPerHi(-0.0, -180, 180), -0.0);
    EXPECT_BITEQ(DtModPerLo(12.25, 10, 20), 12.25);
    EXPECT_BITEQ(DtModPerZero(-0.0, 360), -0.0);   // -0 is not below zero
    EXPECT_BITEQ(DtModPerZero(-360, 360), -0.0);   // fmod's zero keeps its sign
    EXPECT_BITEQ(DtModPer(-360, 0, 360), -0.0);
    EXPECT_TRUE(DtModPerZero(360, 360) == 0 && DtModPerZero(725, 360) == 5 && DtModPerZero(-90, 360) == 270);
    for (double v : {DtModPerZero(5, 0), DtModPerZero(-5, 0), DtModPerZero(-kInf, 360), DtModPerZero(kInf, 360),
                     DtModPerZero(kNaN, 360), DtModPerHi(kNaN, -180, 180), DtModPerHi(kInf, -180, 180),
                     DtModPer(-5, 5, 5), DtModPer(1e10, 5, 5), DtModPer(1, kNaN, 5), DtModPer(1, 5, kNaN)})
        EXPECT_TRUE(std::isnan(v));
    for (int i = -2000; i <= 2000; ++i) {
        const double x = i * 0.731, lo = DtModPer(x, -180, 180), hi = DtModPer(x, 180, -180);
        EXPECT_TRUE(lo >= -180 && lo < 180 && hi > -180 && hi <= 180) << x;
        EXPECT_TRUE(std::fabs(std::remainder(x - lo, 360.0)) < 1e-9 && std::fabs(std::remainder(x - hi, 360.0)) < 1e-9);
    }
}
