// The vector function family: output-parameter functions, operators,
// distances, heading, velocity, interpolation, and their float precision.
#include "testSupport.h"

#include <qvDcm.h>
#include <qvVector.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace Vorant;

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kPi = 3.141592653589793;
}

TEST(VecFuncTest, ComponentWiseFunctionsAreAliasSafe)
{
    const DtVector64 a(1, -2, 3.5), b(0.25, 4, -1);
    DtVector64 out;
    DtVecAdd(a, b, out);
    EXPECT_EQ(out, DtVector64(1.25, 2, 2.5));
    DtVecSub(a, b, out);
    EXPECT_EQ(out, DtVector64(0.75, -6, 4.5));
    DtVecNeg(a, out);
    EXPECT_EQ(out, DtVector64(-1, 2, -3.5));
    DtVecScale(a, 2.0, out);
    EXPECT_EQ(out, DtVector64(2, -4, 7));
    DtVecCopy(b, out);
    EXPECT_EQ(out, b);
    DtVecInit(out);
    EXPECT_EQ(out, DtVector64::zero());

    DtVector64 x = a;
    DtVecAdd(x, b, x);
    EXPECT_EQ(x, a + b);
    x = a;
    DtVecSub(b, x, x);
    EXPECT_EQ(x, b - a);
    x = a;
    DtVecCrossProd(x, b, x);
    EXPECT_EQ(x, a.crossProduct(b));
    x = b;
    DtVecCrossProd(a, x, x);
    EXPECT_EQ(x, a.crossProduct(b));
    DtVector64 n(0, 3, 4);
    DtVecNormalize(n, n);
    EXPECT_EQ(n, DtVector64(0, 0.6, 0.8));

    DtVector32 f(1, 2, 3);
    DtVecCrossProd(f, DtVector32(0, 0, 1), f);
    EXPECT_EQ(f, DtVector32(2, -1, 0));
    DtVecNeg(f, f);
    EXPECT_EQ(f, DtVector32(-2, 1, -0.0f));
    DtVecInit(f);
    EXPECT_EQ(f, DtVector32::zero());
}

TEST(VecFuncTest, NormalizeTolerances)
{
    DtVector64 out(7, 8, 9);
    DtVecNormalize(DtVector64(0, 0, 0), out);
    EXPECT_EQ(out, DtVector64(7, 8, 9));
    DtVecNormalize(DtVector64(1e-5, 0, 0), out);   // squared length 1e-10
    EXPECT_EQ(out, DtVector64(7, 8, 9));
    DtVecNormalize(DtVector64(1, 0, 0), out);
    EXPECT_EQ(out, DtVector64(1, 0, 0));
    // Within 1e-9 of unit length: copied, not divided.
    const DtVector64 almost(1.0 + 4e-10, 0, 0);
    DtVecNormalize(almost, out);
    EXPECT_BITEQ(out.x(), almost.x());
    DtVecNormalize(DtVector64(1.0 + 1e-9, 0, 0), out);
    EXPECT_EQ(out.x(), 1.0);

    // Float: only an exact float squared length of 1 escapes the division.
    const float above = std::nextafter(1.0f, 2.0f);
    DtVector32 fout(5, 5, 5);
    DtVecNormalize(DtVector32(above, 0, 0), fout);
    EXPECT_EQ(fout.x(), above / float(std::sqrt(double(above * above))));
    DtVecNormalize(DtVector32(0.6f, 0.8f, 0), fout);
    const float s = 0.6f * 0.6f + 0.8f * 0.8f;
    const float r = float(std::sqrt(double(s)));
    EXPECT_BITEQ(fout.x(), 0.6f / r);
    EXPECT_BITEQ(fout.y(), 0.8f / r);
    DtVector32 untouched(5, 5, 5);
    DtVecNormalize(DtVector32(1e-5f, 0, 0), untouched);
    EXPECT_EQ(untouched, DtVector32(5, 5, 5));
}

TEST(VecFuncTest, ProductsAndNorms)
{
    DtVector64 c;
    DtVecCrossProd(DtVector64(1, 0, 0), DtVector64(0, 1, 0), c);
    EXPECT_EQ(c, DtVector64(0, 0, 1));
    DtVecCrossProd(DtVector64(0, 1, 0), DtVector64(1, 0, 0), c);
    EXPECT_EQ(c, DtVector64(0, 0, -1));
    // The middle component is negated after its difference: a zero difference
    // gives -0.
    DtVecCrossProd(DtVector64(1, 0, 0), DtVector64(2, 0, 0), c);
    EXPECT_BITEQ(c.y(), -0.0);

    EXPECT_EQ(DtVecBoxProd(DtVector64::i(), DtVector64::j(), DtVector64::k()), 1.0);
    EXPECT_EQ(DtVecBoxProd(DtVector64::j(), DtVector64::i(), DtVector64::k()), -1.0);
    EXPECT_EQ(DtVecBoxProd(DtVector32::i(), DtVector32::j(), DtVector32::k()), 1.0);
    EXPECT_EQ(DtVecBoxProd(DtVector64(1, 2, 3), DtVector64(4, 5, 6), DtVector64(7, 8, 10)), -3.0);

    EXPECT_EQ(DtVecCosProd(DtVector64(1, 0, 0), DtVector64(2, 0, 0)), 1.0);
    EXPECT_TRUE(std::isnan(DtVecCosProd(DtVector64(1, 0, 0), DtVector64(0, 0, 0))));
    EXPECT_NEAR(DtVecCosProd(DtVector64(1, 1, 0), DtVector64(0, 1, 0)), std::sqrt(0.5), 1e-15);
    EXPECT_NEAR(DtVecCosProd(DtVector32(1, 1, 0), DtVector32(0, 1, 0)), std::sqrt(0.5), 1e-7);

    EXPECT_EQ(DtVecInfNorm(DtVector64(-3, 2, 1)), 3.0);
    EXPECT_EQ(DtVecInfNorm(DtVector32(1, -2, 1.5f)), 2.0);
    EXPECT_EQ(DtVecInfNorm(DtVector64(1, 2, -7)), 7.0);

    // The dot product starts from +0.0, so a sum of negative zeros is +0.
    EXPECT_BITEQ(DtVecDotProd(DtVector64(-0.0, 0, 0), DtVector64(1, 0, 0)), 0.0);
    EXPECT_BITEQ(DtVecDotProd(DtVector32(-0.0f, 0, 0), DtVector32(1, 0, 0)), 0.0);

    EXPECT_EQ(DtVecCheck(DtVector64(0.6, 0, 0.8)), 1);
    EXPECT_EQ(DtVecCheck(DtVector64(1.1, 0, 0)), 0);
    EXPECT_EQ(DtVecCheck(DtVector64(kNaN, 0, 0)), 0);
}

TEST(VecFuncTest, FloatOverloadsRunTheirStepsInTheStatedPrecision)
{
    const DtVector32 a(0.1f, 0.7f, 1.3f), b(0.3f, 0.11f, 2.9f);

    // Dot: float products, double sum.
    const double dot = DtVecDotProd(a, b);
    const double floatProducts = ((0.0 + double(a[0] * b[0])) + double(a[1] * b[1])) + double(a[2] * b[2]);
    const double allDouble = (double(a[0]) * b[0] + double(a[1]) * b[1]) + double(a[2]) * b[2];
    const double allFloat = double((a[0] * b[0] + a[1] * b[1]) + a[2] * b[2]);
    EXPECT_BITEQ(dot, floatProducts);
    EXPECT_NE(dot, allDouble);
    EXPECT_NE(dot, allFloat);

    // Scale to float rounds the double product once; to double keeps it.
    DtVector32 s32;
    DtVecScale(a, 0.1, s32);
    EXPECT_BITEQ(s32.x(), float(double(0.1f) * 0.1));
    EXPECT_NE(s32.x(), 0.1f * float(0.1));
    DtVector64 s64;
    DtVecScale(a, 0.1, s64);
    EXPECT_BITEQ(s64.x(), double(0.1f) * 0.1);

    // Cross of doubles into float: rounded per component, y negated after.
    const DtVector64 da(0.1, 0.2, 0.3), db(1.0 / 3, 2.0 / 3, 0.7);
    DtVector32 c32;
    DtVecCrossProd(da, db, c32);
    DtVector64 c64;
    DtVecCrossProd(da, db, c64);
    EXPECT_BITEQ(c32.x(), float(c64.x()));
    EXPECT_BITEQ(c32.y(), float(c64.y()));
    EXPECT_BITEQ(c32.z(), float(c64.z()));

    // Distances: DtDistSqr widens before squaring; DtDistance squares in float.
    const DtVector32 p(1.1f, 2.3f, -0.7f), q(0.2f, -1.9f, 0.45f);
    const DtVector32 d = p - q;
    EXPECT_BITEQ(DtDistSqr(p, q),
                 double(d[0]) * double(d[0]) + double(d[1]) * double(d[1]) + double(d[2]) * double(d[2]));
    EXPECT_BITEQ(DtDistance(p, q), std::sqrt(DtVecDotProd(d, d)));
    EXPECT_NE(DtDistSqr(p, q), DtDistance(p, q) * DtDistance(p, q));
    EXPECT_NEAR(DtDistSqr(p, q), DtDistance(p, q) * DtDistance(p, q), 1e-5);

    // Row vector times matrix: double arithmetic, one rounding per result.
    const DtDcm m(0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9);
    DtVector32 r32;
    DtVecDcmMul(a, m, r32);
    DtVector64 r64;
    DtVecDcmMul(DtVector32To64(a), m, r64);
    EXPECT_BITEQ(r32.x(), float(r64.x()));
    EXPECT_BITEQ(r32.y(), float(r64.y()));
    EXPECT_BITEQ(r32.z(), float(r64.z()));

    // Outer product: float products stored widened.
    DtDcm outer;
    DtVV_Product(a, b, outer);
    EXPECT_BITEQ(outer[1][2], double(a[1] * b[2]));
    EXPECT_NE(outer[1][2], double(a[1]) * double(b[2]));

    // Interpolation: float difference, double blend, float result.
    const DtVector32 lerp = DtLerpVector(p, q, 0.3);
    EXPECT_BITEQ(lerp.y(), float(double(p[1]) + double(q[1] - p[1]) * 0.3));

    EXPECT_EQ(DtVector64To32(DtVector64(0.1, 1e300, -2)), DtVector32(0.1f, INFINITY, -2.0f));
    EXPECT_EQ(DtVector32To64(DtVector32(0.1f, 0, 0)).x(), double(0.1f));
}

TEST(VecFuncTest, RowVectorTimesMatrixAndOuterProduct)
{
    const DtDcm m(1, 2, 3, 0, 0, 0, 0, 0, 0);
    DtVector64 out;
    DtVecDcmMul(DtVector64(1, 0, 0), m, out);
    EXPECT_EQ(out, DtVector64(1, 2, 3));
    DtVecDcmMul(DtVector64(0, 1, 0), m, out);
    EXPECT_EQ(out, DtVector64(0, 0, 0));

    // v M equals M^T v, and the output may be the input.
    const DtDcm g(0.3, -1.2, 2.0, 0.7, 0.1, -0.4, 1.5, 0.2, 0.9);
    DtDcm gt;
    DtDcmTranspose(g, gt);
    DtVector64 v(0.5, -2, 3), expected;
    DtDcmVecMul(gt, v, expected);
    DtVecDcmMul(v, g, v);
    EXPECT_EQ(v, expected);

    DtDcm outer;
    DtVV_Product(DtVector64(1, 2, 3), DtVector64(4, 5, 6), outer);
    EXPECT_EQ(outer[0], DtVector64(4, 5, 6));
    EXPECT_EQ(outer[2], DtVector64(12, 15, 18));
}

TEST(VecFuncTest, OperatorsAndMixedPrecision)
{
    EXPECT_EQ(DtVector64(1, 2, 3) + DtVector64(1, 1, 1), DtVector64(2, 3, 4));
    EXPECT_EQ(DtVector64(1, 2, 3) - DtVector64(1, 1, 1), DtVector64(0, 1, 2));
    EXPECT_EQ(DtVector32(1, 2, 3) - DtVector32(1, 1, 1), DtVector32(0, 1, 2));
    // The float side is widened before the double arithmetic.
    const DtVector64 mixed = DtVector32(0.1f, 0, 0) - DtVector64(0.1, 0, 0);
    EXPECT_BITEQ(mixed.x(), double(0.1f) - 0.1);
    EXPECT_NE(mixed.x(), 0.0);
    EXPECT_BITEQ((DtVector64(0.1, 0, 0) + DtVector32(0.1f, 0, 0)).x(), 0.1 + double(0.1f));
    EXPECT_BITEQ((DtVector64(0.1, 0, 0) - DtVector32(0.1f, 0, 0)).x(), 0.1 - double(0.1f));
    EXPECT_BITEQ((DtVector32(0.1f, 0, 0) + DtVector64(0.1, 0, 0)).x(), double(0.1f) + 0.1);

    EXPECT_EQ(DtDistance(DtVector64(1, 2, 3), DtVector64(4, 6, 3)), 5.0);
    EXPECT_EQ(DtDistSqr(DtVector64(1, 2, 3), DtVector64(4, 6, 3)), 25.0);
    EXPECT_EQ(DtDistance(DtVector32(1, 2, 3), DtVector32(4, 6, 3)), 5.0);
}

TEST(VecFuncTest, HeadingVelocityAndInterpolation)
{
    const DtVector64 o;
    EXPECT_EQ(DtHeadingFromAToB(o, DtVector64(0, 1, 0)), 0.0);
    EXPECT_EQ(DtHeadingFromAToB(o, DtVector64(1, 0, 0)), kPi / 2);
    EXPECT_EQ(DtHeadingFromAToB(o, DtVector64(0, -1, 0)), kPi);
    EXPECT_EQ(DtHeadingFromAToB(o, DtVector64(-1, 0, 0)), -kPi / 2 + 6.283185307179586);
    EXPECT_EQ(DtHeadingFromAToB(o, o), 0.0);
    EXPECT_EQ(DtHeadingFromAToB(DtVector64(5, 5, 100), DtVector64(6, 6, -100)), kPi / 4);
    EXPECT_EQ(DtHeadingFromAToB(DtVector32(0, 0, 0), DtVector32(-1, 0, 0)), -kPi / 2 + 6.283185307179586);
    for (int deg = 0; deg < 360; deg += 15) {
        const double h = deg * kPi / 180;
        const double got = DtHeadingFromAToB(o, DtVector64(std::sin(h), std::cos(h), 0));
        EXPECT_GE(got, 0.0);
        EXPECT_LT(got, 2 * kPi);
        EXPECT_NEAR(got, h, 1e-12) << deg;
    }

    EXPECT_EQ(DtVelocityFromAToB(o, DtVector64(10, 0, 0), 2.0), DtVector64(5, 0, 0));
    EXPECT_EQ(DtVelocityFromAToB(DtVector32(1, 1, 1), DtVector32(3, 1, 0), 0.5), DtVector32(4, 0, -2));
    const DtVector64 inf = DtVelocityFromAToB(o, DtVector64(1, 0, -1), 0.0);
    EXPECT_TRUE(std::isinf(inf.x()) && inf.x() > 0);
    EXPECT_TRUE(std::isnan(inf.y()));
    EXPECT_TRUE(std::isinf(inf.z()) && inf.z() < 0);
    // Scaled by the reciprocal, not divided: 1/3 rounds first.
    EXPECT_BITEQ(DtVelocityFromAToB(o, DtVector64(0.7, 0, 0), 3.0).x(), 0.7 * (1.0 / 3.0));

    const DtVector64 a(0, 0, 0), b(4, 8, 12);
    EXPECT_EQ(DtLerpVector(a, b, -1), a);
    EXPECT_EQ(DtLerpVector(a, b, 2), b);
    EXPECT_EQ(DtLerpVector(a, b, 0.25), DtVector64(1, 2, 3));
    EXPECT_EQ(DtLerpVector(a, b, 0.0), a);
    EXPECT_EQ(DtLerpVector(a, b, 1.0), b);
    const DtVector64 nan = DtLerpVector(a, b, kNaN);
    EXPECT_TRUE(std::isnan(nan.x()) && std::isnan(nan.z()));
    EXPECT_EQ(DtLerpVector(DtVector32(0, 0, 0), DtVector32(4, 8, 12), 0.25), DtVector32(1, 2, 3));
}

TEST(VecFuncTest, DumpFormatAndLongLabels)
{
    {
        qmtest::Capture capture(DtInfo);
        DtVecDump("pos", DtVector64(1, -2.5, 100));
        EXPECT_EQ(capture.text(), "pos:" + std::string(21, ' ') + " {        1.000,        -2.500,       100.000}\n");
    }
    {
        // 30 characters fit with the colon; longer labels are cut to 30.
        const std::string label30(30, 'a');
        const std::string label200(200, 'b');
        qmtest::Capture capture(DtInfo);
        DtVecDump(label30.c_str(), DtVector64(0, 0, 0));
        DtVecDump(label200.c_str(), DtVector64(1e9, 0, 0));
        EXPECT_EQ(capture.text(), label30 + ": {        0.000,         0.000,         0.000}\n" +
                                      std::string(30, 'b') + ": {1000000000.000,         0.000,         0.000}\n");
    }
    {
        qmtest::NotifyLevel quiet(0);
        qmtest::Capture capture(DtInfo);
        DtVecDump("x", DtVector64(1, 2, 3));
        EXPECT_EQ(capture.text(), "");
    }
}
