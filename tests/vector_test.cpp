// Vector classes.
#include "testSupport.h"

#include <qvVector.h>

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <type_traits>

using namespace Vorant;

namespace {
const double kNaN = std::nan("");
}

TEST(VectorTest, PlainThreeNumberValues)
{
    static_assert(sizeof(DtVector64) == 3 * sizeof(double) && sizeof(DtVector32) == 3 * sizeof(float), "size");
    static_assert(std::is_standard_layout<DtVector64>::value && !std::is_polymorphic<DtVector64>::value, "layout");
    static_assert(std::is_trivially_copyable<DtVector64>::value, "copies like three numbers");

    DtVector64 arr[2] = {DtVector64(1, 2, 3), DtVector64(4, 5, 6)};
    const double* p = arr[0];
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(p[i], i + 1.0);   // contiguous, also across elements
    DtVector32 f(1.5f, -2.0f, 3.0f);
    static_cast<float*>(f)[1] = 7.0f;
    f[DtXOffset] = 9.0f;
    EXPECT_TRUE(f.x() == 9.0f && f.y() == 7.0f && f[DtZOffset] == 3.0f);
    double x, y, z;
    arr[1].get(x, y, z);
    EXPECT_TRUE(x == 4 && y == 5 && z == 6);
    arr[1].setToZero();
    EXPECT_TRUE(arr[1].magnitudeIsZero());

    // Exact comparison: +0 equals -0, a NaN equals nothing, not even itself.
    EXPECT_EQ(DtVector64(0.0, 0, 0), DtVector64(-0.0, 0, 0));
    const DtVector64 nan(1, kNaN, 3);
    EXPECT_TRUE(!(nan == nan) && nan != nan);
    EXPECT_TRUE(DtVector64(1, 2, 3) != DtVector64(0, 2, 3) && DtVector64(1, 2, 3) != DtVector64(1, 2, 4));

    // The shared vectors: one object each, with its value.
    EXPECT_TRUE(DtVector64::zero() == DtVector64(0, 0, 0) && DtVector64::ones() == DtVector64(1, 1, 1) &&
                DtVector32::ones() == DtVector32(1, 1, 1) && DtVector32::j() == DtVector32(0, 1, 0) &&
                DtVector32::zero() == DtVector32(0, 0, 0) && DtVector32::i() == DtVector32(1, 0, 0) &&
                DtVector32::k() == DtVector32(0, 0, 1));
    EXPECT_EQ(&DtVector64::k(), &DtVector64::k());
    EXPECT_EQ(DtVector64::i().crossProduct(DtVector64::j()), DtVector64::k());
    EXPECT_EQ(DtVector64::j().crossProduct(DtVector64::i()), DtVector64(0, 0, -1));
}

TEST(VectorTest, MagnitudesAndNormalization)
{
    EXPECT_EQ(DtVector64(1, 2, 2).magnitudeSquared(), 9.0);
    // Float squares are rounded to float before the double sum.
    const DtVector32 tenth(0.1f, 0.0f, 0.0f);
    EXPECT_BITEQ(tenth.magnitudeSquared(), double(0.1f * 0.1f));
    EXPECT_NE(tenth.magnitudeSquared(), double(0.1f) * double(0.1f));

    EXPECT_FALSE(DtVector64(0, 1e-300, 0).magnitudeIsZero());
    EXPECT_FALSE(DtVector64(kNaN, 0, 0).magnitudeIsZero());
    EXPECT_TRUE(DtVector64(1e-9, -1e-9, 0).magnitudeIsZero(1e-9));
    EXPECT_FALSE(DtVector64(0, 0, 2e-9).magnitudeIsZero(1e-9));
    EXPECT_FALSE(DtVector64(0, kNaN, 0).magnitudeIsZero(1.0));
    EXPECT_FALSE(DtVector64(0, 0, 0).magnitudeIsZero(kNaN));
    EXPECT_TRUE(DtVector32(0, 0, 1e-9f).magnitudeIsZero(1e-9));   // 1e-9f widens to just below 1e-9

    DtVector64 v(3, 0, 4);
    v.normalize();
    EXPECT_EQ(v, DtVector64(0.6, 0, 0.8));
    // Squared length exactly 0 (also by underflow) or 1: left untouched.
    for (DtVector64 same : {DtVector64(0, 0, 0), DtVector64(1e-200, 0, 0), DtVector64(0.6, 0.0, 0.8)}) {
        const DtVector64 before = same;
        same.normalize();
        EXPECT_TRUE(qmtest::bits(same.x()) == qmtest::bits(before.x()) && same.z() == before.z());
    }
    DtVector64 nan(kNaN, 1, 1);
    nan.normalize();
    EXPECT_TRUE(std::isnan(nan.y()));
    // Float: square root in double, rounded once, divisions in float.
    DtVector32 f(1.0f, 2.0f, 3.0f);
    const float s = float(std::sqrt(14.0));
    f.normalize();
    EXPECT_TRUE(qmtest::bits(f.x()) == qmtest::bits(1.0f / s) && qmtest::bits(f.z()) == qmtest::bits(3.0f / s));

    EXPECT_TRUE(DtVector64(0.6, 0, 0.8).isNormalized() && DtVector32(0.6f, 0, 0.8f).isNormalized());
    EXPECT_FALSE(DtVector64(1.001, 0, 0).isNormalized());
    EXPECT_TRUE(DtVector64(std::sqrt(1 + 9e-7), 0, 0).isNormalized());
    EXPECT_FALSE(DtVector64(std::sqrt(1 + 1.1e-6), 0, 0).isNormalized());
    EXPECT_FALSE(DtVector64(kNaN, 0, 0).isNormalized());
}

TEST(VectorTest, ProductsApproximateEqualityAndSums)
{
    const DtVector64 a(1, 2, 3), b(4, -5, 6);
    EXPECT_EQ(a.dotProduct(b), 12.0);
    EXPECT_EQ(a.crossProduct(b), DtVector64(27, 6, -13));
    const DtVector32 fa(0.1f, 0.2f, 0.3f), fb(0.7f, 0.11f, 0.13f);
    static_assert(std::is_same<decltype(fa.dotProduct(fb)), float>::value, "float arithmetic and result");
    EXPECT_BITEQ(fa.dotProduct(fb), (0.1f * 0.7f + 0.2f * 0.11f) + 0.3f * 0.13f);

    EXPECT_TRUE(a.approxEq(a, 0.0) && a.approxEq(DtVector64(1, 2, 3.0000001), 1e-6));
    EXPECT_FALSE(a.approxEq(DtVector64(1, 2, 3.0000001), 0.0));
    EXPECT_FALSE(a.approxEq(a, -1e-300));   // a negative tolerance is never met
    EXPECT_FALSE(a.approxEq(DtVector64(1, kNaN, 3), 1.0));
    EXPECT_TRUE(DtVector32(1.0f, 0, 0).approxEq(DtVector32(1.5f, 0, 0), 0.5));
    EXPECT_FALSE(DtVector32(1.0f, 0, 0).approxEq(DtVector32(1.5f, 0, 0), 0.4999999));
    EXPECT_FALSE(DtVector32(1, 2, 3).approxEq(DtVector32(1, 2, 3), -1.0));

    DtVector64 acc(1, 1, 1);
    EXPECT_EQ(&(acc += DtVector64(1, 2, 3)), &acc);
    acc -= DtVector64(0.5, 0.5, 0.5);
    EXPECT_EQ(acc, DtVector64(1.5, 2.5, 3.5));
    DtVector32 facc(1, 1, 1);
    (facc += DtVector32(1, 2, 3)) -= DtVector32(2, 2, 2);
    EXPECT_EQ(facc, DtVector32(0, 1, 2));
}

TEST(VectorTest, TextForms)
{
    EXPECT_STREQ(DtVector64(1, 2.5, -3).string(), "{1.000000, 2.500000, -3.000000}");
    EXPECT_STREQ(DtVector64(0.0000006, 1e7, -0.0000004).string(), "{0.000001, 10000000.000000, -0.000000}");
    EXPECT_STREQ(DtVector32(1.5f, 0.25f, -2.0f).string(), "{1.500000, 0.250000, -2.000000}");
    std::ostringstream os;
    DtVector64(1, 2.5, -3).printDataToStream(os) << "|" << DtVector64(0.1, 1e20, 0);
    EXPECT_EQ(os.str(), "[ x= 1 y= 2.5 z= -3 ]|[ x= 0.1 y= 1e+20 z= 0 ]");
    std::ostringstream fixed;
    fixed.setf(std::ios::fixed, std::ios::floatfield);
    fixed.precision(2);
    fixed << DtVector32(1.0f, 2.5f, -3.0f);
    EXPECT_EQ(fixed.str(), "[ x= 1.00 y= 2.50 z= -3.00 ]");
}
