// The vector function family: output-parameter functions, operators,
// distances, heading, velocity, interpolation, and their float precision.
#include "testSupport.h"

#include <qvDcm.h>
#include <qvVector.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace Vorant;

namespace {
const double kPi = 3.141592653589793;
const double kTwoPi = 6.283185307179586;
}

TEST(VecFuncTest, ResultsAndAliasing)
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
    DtVecInit(out);
    EXPECT_EQ(out, DtVector64::zero());
    // Outputs that are inputs.
    DtVector64 x = a;
    DtVecSub(b, x, x);
    EXPECT_EQ(x, b - a);
    x = a;
    DtVecCrossProd(x, b, x);
    EXPECT_EQ(x, a.crossProduct(b));
    x = b;
    DtVecCrossProd(a, x, x);
    EXPECT_EQ(x, a.crossProduct(b));
    DtVector32 f(1, 2, 3);
    DtVecCrossProd(f, DtVector32(0, 0, 1), f);
    EXPECT_EQ(f, DtVector32(2, -1, 0));
    // The middle component is negated after its difference: -0 for a zero one.
    DtVecCrossProd(DtVector64(1, 0, 0), DtVector64(2, 0, 0), out);
    EXPECT_BITEQ(out.y(), -0.0);

    EXPECT_EQ(DtVecBoxProd(DtVector64::i(), DtVector64::j(), DtVector64::k()), 1.0);
    EXPECT_EQ(DtVecBoxProd(DtVector64::j(), DtVector64::i(), DtVector64::k()), -1.0);
    EXPECT_EQ(DtVecBoxProd(DtVector32::i(), DtVector32::j(), DtVector32::k()), 1.0);
    EXPECT_EQ(DtVecBoxProd(DtVector64(1, 2, 3), DtVector64(4, 5, 6), DtVector64(7, 8, 10)), -3.0);
    EXPECT_EQ(DtVecCosProd(DtVector64(1, 0, 0), DtVector64(2, 0, 0)), 1.0);
    EXPECT_TRUE(std::isnan(DtVecCosProd(DtVector64(1, 0, 0), DtVector64(0, 0, 0))));
    EXPECT_NEAR(DtVecCosProd(DtVector32(1, 1, 0), DtVector32(0, 1, 0)), std::sqrt(0.5), 1e-7);
    EXPECT_EQ(DtVecInfNorm(DtVector64(-3, 2, 1)), 3.0);
    EXPECT_EQ(DtVecInfNorm(DtVector32(1, -2, 1.5f)), 2.0);
    // The dot product starts from +0.0: a sum of negative zeros is +0.
    EXPECT_BITEQ(DtVecDotProd(DtVector64(-0.0, 0, 0), DtVector64(1, 0, 0)), 0.0);
    EXPECT_EQ(DtVecCheck(DtVector64(0.6, 0, 0.8)), 1);
    EXPECT_EQ(DtVecCheck(DtVector64(1.1, 0, 0)), 0);
    EXPECT_EQ(DtVecCheck(DtVector64(std::nan(""), 0, 0)), 0);
}

TEST(VecFuncTest, NormalizeTolerances)
{
    DtVector64 out(7, 8, 9);
    DtVecNormalize(DtVector64(0, 0, 0), out);
    DtVecNormalize(DtVector64(1e-5, 0, 0), out);   // squared length 1e-10: out untouched
    EXPECT_EQ(out, DtVector64(7, 8, 9));
    const DtVector64 almost(1.0 + 4e-10, 0, 0);   // within 1e-9 of unit: copied, not divided
    DtVecNormalize(almost, out);
    EXPECT_BITEQ(out.x(), almost.x());
    DtVecNormalize(DtVector64(1.0 + 1e-9, 0, 0), out);
    EXPECT_EQ(out.x(), 1.0);
    DtVector64 self(0, 3, 4);
    DtVecNormalize(self, self);
    EXPECT_EQ(self, DtVector64(0, 0.6, 0.8));
    // Float: only an exact float squared length of 1 escapes the division.
    const float above = std::nextafter(1.0f, 2.0f);
    DtVector32 fout(5, 5, 5);
    DtVecNormalize(DtVector32(above, 0, 0), fout);
    EXPECT_EQ(fout.x(), above / float(std::sqrt(double(above * above))));
    DtVecNormalize(DtVector32(0.6f, 0.8f, 0), fout);
    const float r = float(std::sqrt(double(0.6f * 0.6f + 0.8f * 0.8f)));
    EXPECT_TRUE(qmtest::bits(fout.x()) == qmtest::bits(0.6f / r) && qmtest::bits(fout.y()) == qmtest::bits(0.8f / r));
}

TEST(VecFuncTest, FloatOverloadsRunTheirStepsInTheStatedPrecision)
{
    const DtVector32 a(0.1f, 0.7f, 1.3f), b(0.3f, 0.11f, 2.9f);
    // Dot: float products, double sum; neither all-float nor all-double.
    const double dot = DtVecDotProd(a, b);
    EXPECT_BITEQ(dot, ((0.0 + double(a[0] * b[0])) + double(a[1] * b[1])) + double(a[2] * b[2]));
    EXPECT_NE(dot, (double(a[0]) * b[0] + double(a[1]) * b[1]) + double(a[2]) * b[2]);
    EXPECT_NE(dot, double((a[0] * b[0] + a[1] * b[1]) + a[2] * b[2]));
    // Scale to float rounds the double product once; to double keeps it.
    DtVector32 s32;
    DtVector64 s64;
    DtVecScale(a, 0.1, s32);
    DtVecScale(a, 0.1, s64);
    EXPECT_BITEQ(s32.x(), float(double(0.1f) * 0.1));
    EXPECT_NE(s32.x(), 0.1f * float(0.1));
    EXPECT_BITEQ(s64.x(), double(0.1f) * 0.1);
    // Double cross product rounded per component into float.
    const DtVector64 da(0.1, 0.2, 0.3), db(1.0 / 3, 2.0 / 3, 0.7);
    DtVector32 c32;
    DtVector64 c64;
    DtVecCrossProd(da, db, c32);
    DtVecCrossProd(da, db, c64);
    EXPECT_EQ(c32, DtVector64To32(c64));
    // DtDistSqr widens before squaring; DtDistance squares in float.
    const DtVector32 p(1.1f, 2.3f, -0.7f), q(0.2f, -1.9f, 0.45f), d = p - q;
    EXPECT_BITEQ(DtDistSqr(p, q), double(d[0]) * double(d[0]) + double(d[1]) * double(d[1]) + double(d[2]) * double(d[2]));
    EXPECT_BITEQ(DtDistance(p, q), std::sqrt(DtVecDotProd(d, d)));
    EXPECT_NE(DtDistSqr(p, q), DtDistance(p, q) * DtDistance(p, q));
    // Row vector times matrix: double arithmetic, one rounding per result.
    const DtDcm m(0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9);
    DtVector32 r32;
    DtVector64 r64;
    DtVecDcmMul(a, m, r32);
    DtVecDcmMul(DtVector32To64(a), m, r64);
    EXPECT_EQ(r32, DtVector64To32(r64));
    // Outer product: float products stored widened.
    DtDcm outer;
    DtVV_Product(a, b, outer);
    EXPECT_BITEQ(outer[1][2], double(a[1] * b[2]));
    EXPECT_NE(outer[1][2], double(a[1]) * double(b[2]));
    // Interpolation: float difference, double blend, float result.
    EXPECT_BITEQ(DtLerpVector(p, q, 0.3).y(), float(double(p[1]) + double(q[1] - p[1]) * 0.3));
    // Mixed precision: the float side is widened first.
    EXPECT_BITEQ((DtVector32(0.1f, 0, 0) - DtVector64(0.1, 0, 0)).x(), double(0.1f) - 0.1);
    EXPECT_BITEQ((DtVector64(0.1, 0, 0) + DtVector32(0.1f, 0, 0)).x(), 0.1 + double(0.1f));
    EXPECT_EQ(DtVector64To32(DtVector64(0.1, 1e300, -2)), DtVector32(0.1f, INFINITY, -2.0f));
}

TEST(VecFuncTest, RowVectorTimesMatrix)
{
    DtVector64 out;
    DtVecDcmMul(DtVector64(1, 0, 0), DtDcm(1, 2, 3, 0, 0, 0, 0, 0, 0), out);
    EXPECT_EQ(out, DtVector64(1, 2, 3));
    // v M equals M^T v, also in place.
    const DtDcm g(0.3, -1.2, 2.0, 0.7, 0.1, -0.4, 1.5, 0.2, 0.9);
    DtDcm gt;
    DtDcmTranspose(g, gt);
    DtVector64 v(0.5, -2, 3), expected;
    DtDcmVecMul(gt, v, expected);
    DtVecDcmMul(v, g, v);
    EXPECT_EQ(v, expected);
    DtDcm outer;
    DtVV_Product(DtVector64(1, 2, 3), DtVector64(4, 5, 6), outer);
    EXPECT_TRUE(outer[0] == DtVector64(4, 5, 6) && outer[2] == DtVector64(12, 15, 18));
}

TEST(VecFuncTest, DistancesHeadingVelocityAndInterpolation)
{
    EXPECT_EQ(DtDistance(DtVector64(1, 2, 3), DtVector64(4, 6, 3)), 5.0);
    EXPECT_EQ(DtDistSqr(DtVector64(1, 2, 3), DtVector64(4, 6, 3)), 25.0);
    EXPECT_EQ(DtDistance(DtVector32(1, 2, 3), DtVector32(4, 6, 3)), 5.0);

    const DtVector64 o;
    EXPECT_EQ(DtHeadingFromAToB(o, DtVector64(0, 1, 0)), 0.0);
    EXPECT_EQ(DtHeadingFromAToB(o, DtVector64(1, 0, 0)), kPi / 2);
    EXPECT_EQ(DtHeadingFromAToB(o, DtVector64(0, -1, 0)), kPi);
    EXPECT_EQ(DtHeadingFromAToB(o, DtVector64(-1, 0, 0)), -kPi / 2 + kTwoPi);
    EXPECT_EQ(DtHeadingFromAToB(o, o), 0.0);
    EXPECT_EQ(DtHeadingFromAToB(DtVector32(0, 0, 0), DtVector32(-1, 0, 0)), -kPi / 2 + kTwoPi);
    for (int deg = 0; deg < 360; deg += 15) {
        const double h = deg * kPi / 180;   // z is ignored
        EXPECT_NEAR(DtHeadingFromAToB(DtVector64(1, 1, 5), DtVector64(1 + std::sin(h), 1 + std::cos(h), -5)), h, 1e-12);
    }

    EXPECT_EQ(DtVelocityFromAToB(o, DtVector64(10, 0, 0), 2.0), DtVector64(5, 0, 0));
    EXPECT_EQ(DtVelocityFromAToB(DtVector32(1, 1, 1), DtVector32(3, 1, 0), 0.5), DtVector32(4, 0, -2));
    const DtVector64 inf = DtVelocityFromAToB(o, DtVector64(1, 0, -1), 0.0);
    EXPECT_TRUE(inf.x() == INFINITY && std::isnan(inf.y()) && inf.z() == -INFINITY);
    EXPECT_BITEQ(DtVelocityFromAToB(o, DtVector64(0.7, 0, 0), 3.0).x(), 0.7 * (1.0 / 3.0));   // by the reciprocal

    const DtVector64 a(0, 0, 0), b(4, 8, 12);
    EXPECT_TRUE(DtLerpVector(a, b, -1) == a && DtLerpVector(a, b, 0) == a && DtLerpVector(a, b, 1) == b &&
                DtLerpVector(a, b, 2) == b && DtLerpVector(a, b, 0.25) == DtVector64(1, 2, 3));
    EXPECT_TRUE(std::isnan(DtLerpVector(a, b, std::nan("")).z()));
    EXPECT_EQ(DtLerpVector(DtVector32(0, 0, 0), DtVector32(4, 8, 12), 0.25), DtVector32(1, 2, 3));
}

TEST(VecFuncTest, DumpFormatAndLongLabels)
{
    qmtest::Capture capture(DtInfo);
    DtVecDump("pos", DtVector64(1, -2.5, 100));
    DtVecDump(std::string(30, 'a').c_str(), DtVector64(0, 0, 0));    // fits with its colon
    DtVecDump(std::string(200, 'b').c_str(), DtVector64(1e9, 0, 0)); // cut to 30
    EXPECT_EQ(capture.text(), "pos:" + std::string(21, ' ') + " {        1.000,        -2.500,       100.000}\n" +
                                  std::string(30, 'a') + ": {        0.000,         0.000,         0.000}\n" +
                                  std::string(30, 'b') + ": {1000000000.000,         0.000,         0.000}\n");
    const std::size_t before = capture.text().size();
    qmtest::NotifyLevel quiet(0);
    DtVecDump("x", DtVector64(1, 2, 3));
    EXPECT_EQ(capture.text().size(), before);
}
