// Vector classes.
#include "testSupport.h"

#include <qvVector.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <type_traits>

using namespace Vorant;

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
}

TEST(VectorLayoutTest, PlainThreeNumberValues)
{
    static_assert(sizeof(DtVector64) == 3 * sizeof(double), "three doubles");
    static_assert(sizeof(DtVector32) == 3 * sizeof(float), "three floats");
    static_assert(std::is_standard_layout<DtVector64>::value, "standard layout");
    static_assert(std::is_standard_layout<DtVector32>::value, "standard layout");
    static_assert(!std::is_polymorphic<DtVector64>::value, "no virtual table");
    static_assert(std::is_trivially_copyable<DtVector64>::value, "copies like three numbers");

    DtVector64 arr[2] = {DtVector64(1, 2, 3), DtVector64(4, 5, 6)};
    const double* p = arr[0];
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(p[i], i + 1.0);
    EXPECT_EQ(static_cast<const double*>(arr[1]), &arr[1][0]);
    EXPECT_EQ(&arr[0][2] + 1, &arr[1][0]);

    DtVector32 f(1.5f, -2.0f, 3.0f);
    float* fp = f;
    fp[1] = 7.0f;
    EXPECT_EQ(f.y(), 7.0f);
    EXPECT_EQ(f[DtZOffset], 3.0f);
    f[DtXOffset] = 9.0f;
    EXPECT_EQ(f.x(), 9.0f);
}

TEST(VectorTest, AccessorsSettersAndCopies)
{
    DtVector64 v;
    EXPECT_EQ(v, DtVector64(0, 0, 0));
    v.setX(1);
    v.setY(2);
    v.setZ(3);
    double x, y, z;
    v.get(x, y, z);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
    EXPECT_EQ(z, 3);
    DtVector64 w(v);
    v.setAll(-1, -2, -3);
    EXPECT_EQ(w, DtVector64(1, 2, 3));
    w = v;
    DtVector64& self = (w = w);
    EXPECT_EQ(&self, &w);
    EXPECT_EQ(w, DtVector64(-1, -2, -3));
    w.setToZero();
    EXPECT_TRUE(w.magnitudeIsZero());
    const DtVector64 c(4, 5, 6);
    EXPECT_EQ(c[1], 5);
    EXPECT_EQ(c[DtYOffset], 5);
}

TEST(VectorTest, ExactComparison)
{
    EXPECT_EQ(DtVector64(0.0, 0, 0), DtVector64(-0.0, 0, 0));
    const DtVector64 a(1, kNaN, 3);
    const DtVector64 b(1, kNaN, 3);
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a != b);
    EXPECT_FALSE(a == a);
    EXPECT_TRUE(DtVector64(1, 2, 3) != DtVector64(1, 2, 4));
    EXPECT_TRUE(DtVector64(1, 2, 3) != DtVector64(0, 2, 3));
    EXPECT_FALSE(DtVector32(1, 2, 3) != DtVector32(1, 2, 3));
}

TEST(VectorTest, SharedVectorsHoldTheirValuesAndIdentity)
{
    EXPECT_EQ(DtVector64::zero(), DtVector64(0, 0, 0));
    EXPECT_EQ(DtVector64::i(), DtVector64(1, 0, 0));
    EXPECT_EQ(DtVector64::j(), DtVector64(0, 1, 0));
    EXPECT_EQ(DtVector64::k(), DtVector64(0, 0, 1));
    EXPECT_EQ(DtVector64::ones(), DtVector64(1, 1, 1));
    EXPECT_EQ(DtVector32::zero(), DtVector32(0, 0, 0));
    EXPECT_EQ(DtVector32::i(), DtVector32(1, 0, 0));
    EXPECT_EQ(DtVector32::j(), DtVector32(0, 1, 0));
    EXPECT_EQ(DtVector32::k(), DtVector32(0, 0, 1));
    EXPECT_EQ(DtVector32::ones(), DtVector32(1, 1, 1));
    EXPECT_EQ(&DtVector64::k(), &DtVector64::k());
    EXPECT_EQ(&DtVector32::ones(), &DtVector32::ones());
    EXPECT_EQ(DtVector64::i().crossProduct(DtVector64::j()), DtVector64::k());
    EXPECT_EQ(DtVector64::j().crossProduct(DtVector64::i()), DtVector64(0, 0, -1));
}

TEST(VectorTest, MagnitudesAndZeroTests)
{
    EXPECT_EQ(DtVector64(1, 2, 2).magnitudeSquared(), 9.0);
    // Float squares are rounded to float before the double sum.
    const float big = 16777217.0f;   // rounds to 2^24 in float
    const DtVector32 f(3.0f, big, 0.1f);
    const double expected = (double(3.0f * 3.0f) + double(f.y() * f.y())) + double(0.1f * 0.1f);
    EXPECT_BITEQ(f.magnitudeSquared(), expected);
    const DtVector32 tenth(0.1f, 0.0f, 0.0f);
    EXPECT_BITEQ(tenth.magnitudeSquared(), double(0.1f * 0.1f));
    EXPECT_NE(tenth.magnitudeSquared(), double(0.1f) * double(0.1f));

    EXPECT_FALSE(DtVector64(0, 1e-300, 0).magnitudeIsZero());
    EXPECT_TRUE(DtVector64(-0.0, 0, 0).magnitudeIsZero());
    EXPECT_FALSE(DtVector64(kNaN, 0, 0).magnitudeIsZero());
    EXPECT_TRUE(DtVector64(1e-9, -1e-9, 0).magnitudeIsZero(1e-9));
    EXPECT_FALSE(DtVector64(0, 0, 2e-9).magnitudeIsZero(1e-9));
    EXPECT_FALSE(DtVector64(0, kNaN, 0).magnitudeIsZero(1.0));
    EXPECT_FALSE(DtVector64(0, 0, 0).magnitudeIsZero(kNaN));
    EXPECT_TRUE(DtVector32(1e-7f, -1e-7f, 0).magnitudeIsZero(1e-6));
    EXPECT_FALSE(DtVector32(0, 0, 2e-9f).magnitudeIsZero(1e-9));
    EXPECT_TRUE(DtVector32(0, 0, 1e-9f).magnitudeIsZero(1e-9));   // float 1e-9 widens to just below 1e-9
}

TEST(VectorTest, NormalizationRules)
{
    DtVector64 v(3, 0, 4);
    v.normalize();
    EXPECT_EQ(v, DtVector64(0.6, 0, 0.8));
    DtVector64 zero;
    zero.normalize();
    EXPECT_BITEQ(zero.x(), 0.0);
    DtVector64 tiny(1e-200, 0, 0);   // squared length underflows to 0
    tiny.normalize();
    EXPECT_EQ(tiny.x(), 1e-200);
    DtVector64 unit(1, 0, 0);
    unit.normalize();
    EXPECT_EQ(unit, DtVector64(1, 0, 0));
    DtVector64 nan(kNaN, 1, 1);
    nan.normalize();
    EXPECT_TRUE(std::isnan(nan.y()));
    // A squared length of exactly 1 that is not a unit axis: no division.
    DtVector64 exact(0.6, 0.0, 0.8);
    ASSERT_EQ(exact.magnitudeSquared(), 1.0);
    exact.normalize();
    EXPECT_EQ(exact, DtVector64(0.6, 0.0, 0.8));

    // Float: square root in double, rounded once, divisions in float.
    DtVector32 f(1.0f, 2.0f, 3.0f);
    const float s = float(std::sqrt(14.0));
    f.normalize();
    EXPECT_BITEQ(f.x(), 1.0f / s);
    EXPECT_BITEQ(f.y(), 2.0f / s);
    EXPECT_BITEQ(f.z(), 3.0f / s);

    for (double len : {1e-6, 0.5, 7.0, 1e6}) {
        DtVector64 w(len * 0.3, -len * 0.4, len * 1.2);
        w.normalize();
        EXPECT_NEAR(w.magnitudeSquared(), 1.0, 4e-16);
    }

    EXPECT_TRUE(DtVector64(1, 0, 0).isNormalized());
    EXPECT_TRUE(DtVector64(0.6, 0, 0.8).isNormalized());
    EXPECT_FALSE(DtVector64(1.001, 0, 0).isNormalized());
    EXPECT_TRUE(DtVector64(std::sqrt(1 + 9e-7), 0, 0).isNormalized());
    EXPECT_FALSE(DtVector64(std::sqrt(1 + 1.1e-6), 0, 0).isNormalized());
    EXPECT_FALSE(DtVector64(kNaN, 0, 0).isNormalized());
    EXPECT_TRUE(DtVector32(0.6f, 0, 0.8f).isNormalized());
}

TEST(VectorTest, DotCrossAndApproximateEquality)
{
    const DtVector64 a(1, 2, 3), b(4, -5, 6);
    EXPECT_EQ(a.dotProduct(b), 12.0);
    EXPECT_EQ(a.crossProduct(b), DtVector64(27, 6, -13));
    EXPECT_EQ(a.crossProduct(b).dotProduct(a), 0.0);
    // float dot product: arithmetic and result in float.
    const DtVector32 fa(0.1f, 0.2f, 0.3f), fb(0.7f, 0.11f, 0.13f);
    const float fd = fa.dotProduct(fb);
    static_assert(std::is_same<decltype(fa.dotProduct(fb)), float>::value, "float result");
    EXPECT_BITEQ(fd, (0.1f * 0.7f + 0.2f * 0.11f) + 0.3f * 0.13f);

    EXPECT_TRUE(a.approxEq(a, 0.0));
    EXPECT_FALSE(a.approxEq(DtVector64(1, 2, 3.0000001), 0.0));
    EXPECT_TRUE(a.approxEq(DtVector64(1, 2, 3.0000001), 1e-6));
    EXPECT_FALSE(a.approxEq(a, -1e-300));
    EXPECT_FALSE(a.approxEq(DtVector64(1, kNaN, 3), 1.0));
    EXPECT_TRUE(DtVector32(1, 2, 3).approxEq(DtVector32(1, 2, 3), 0.0));
    EXPECT_FALSE(DtVector32(1, 2, 3).approxEq(DtVector32(1, 2, 3), -1.0));
    // The float difference is exact here; the double tolerance decides.
    EXPECT_TRUE(DtVector32(1.0f, 0, 0).approxEq(DtVector32(1.5f, 0, 0), 0.5));
    EXPECT_FALSE(DtVector32(1.0f, 0, 0).approxEq(DtVector32(1.5f, 0, 0), 0.4999999));

    DtVector64 acc(1, 1, 1);
    DtVector64& r = (acc += DtVector64(1, 2, 3));
    EXPECT_EQ(&r, &acc);
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
    DtVector64(1, 2.5, -3).printDataToStream(os) << "|";
    os << DtVector64(0.1, 1e20, 0);
    EXPECT_EQ(os.str(), "[ x= 1 y= 2.5 z= -3 ]|[ x= 0.1 y= 1e+20 z= 0 ]");

    std::ostringstream fixed;
    fixed.setf(std::ios::fixed, std::ios::floatfield);
    fixed.precision(2);
    fixed << DtVector32(1.0f, 2.5f, -3.0f);
    EXPECT_EQ(fixed.str(), "[ x= 1.00 y= 2.50 z= -3.00 ]");
}
