// Scalar helpers, periodic reduction, the vector classes and the vector
// function family: worked examples and the rules a reader needs to see. The
// bit patterns over many inputs are the digest suite's.
#include "testSupport.h"

#include <modper.h>
#include <qvDcm.h>
#include <qvScalar.h>
#include <qvVector.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <type_traits>

using namespace Vorant;

namespace {
const double kNaN = std::nan("");
const double kPi = 3.141592653589793;
}  // namespace

TEST(ScalarTest, SignsTiesClampsAndAngleOrder)
{
    EXPECT_BITEQ(DtAbs(-0.0), -0.0);   // -0 passes v >= 0
    EXPECT_TRUE(std::isnan(DtAbs(kNaN)) && std::signbit(DtAbs(kNaN)) != std::signbit(kNaN));
    EXPECT_BITEQ(DtMax(0.0, -0.0), -0.0);   // ties and NaNs give the second
    EXPECT_TRUE(DtMax(kNaN, 1.0) == 1.0 && std::isnan(DtMax(1.0, kNaN)));
    EXPECT_TRUE(DtLimit(5.0, 1.0, 3.0) == 3.0 && DtLimit(5.0, 3.0, 1.0) == 3.0 && DtLimit(-5.0, 3.0, 1.0) == 1.0 &&
                DtLimit(2.0, 1.0, 3.0) == 2.0 && std::isnan(DtLimit(kNaN, 1.0, 3.0)));
    EXPECT_TRUE(DtDeg2Rad(180.0) == kPi && DtRad2Deg(kPi) == 180.0 && std::isinf(DtDeg2Rad(1.7e308)));
}

TEST(ScalarTest, PeriodicReductions)
{
    const struct
    {
        double (*f)(double, double, double);
        double x, lo, hi, expected;
    } cases[] = {
        {DtModPerHi, -180, -180, 180, 180}, {DtModPerHi, 540, -180, 180, 180}, {DtModPerHi, 190, -180, 180, -170},
        {DtModPerLo, 180, -180, 180, -180}, {DtModPerLo, 5, 10, 20, 15},       {DtModPer, 360, 0, 360, 0},
        {DtModPer, -90, 0, 360, 270},       {DtModPer, 180, -180, 180, -180},  {DtModPer, -180, 180, -180, 180},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.f(c.x, c.lo, c.hi), c.expected) << c.x << " in " << c.lo << ", " << c.hi;
    EXPECT_BITEQ(DtModPer(-360, 0, 360), -0.0);   // fmod's zero keeps its sign
    for (double v : {DtModPerZero(5, 0), DtModPer(1e10, 5, 5), DtModPer(1, kNaN, 5), DtModPerHi(INFINITY, -180, 180)})
        EXPECT_TRUE(std::isnan(v));
}

TEST(VectorTest, PlainValuesComparisonAndNormalization)
{
    static_assert(sizeof(DtVector32) == 3 * sizeof(float) && std::is_trivially_copyable<DtVector64>::value, "numbers");
    DtVector64 arr[2] = {DtVector64(1, 2, 3), DtVector64(4, 5, 6)};
    EXPECT_TRUE(static_cast<double*>(arr[0])[4] == 5 && arr[1][DtZOffset] == 6);   // contiguous across elements
    EXPECT_EQ(DtVector64(0.0, 0, 0), DtVector64(-0.0, 0, 0));
    const DtVector64 nan(1, kNaN, 3);
    EXPECT_TRUE(!(nan == nan) && nan != nan && !nan.magnitudeIsZero(1.0));
    EXPECT_TRUE(&DtVector64::k() == &DtVector64::k() && DtVector64::i().crossProduct(DtVector64::j()) == DtVector64::k());

    DtVector64 v(3, 0, 4), tiny(1e-200, 0, 0), unit(0.6, 0, 0.8);
    v.normalize();
    tiny.normalize();   // the squared length underflows to 0: untouched
    unit.normalize();   // exactly 1: untouched
    EXPECT_TRUE(v == DtVector64(0.6, 0, 0.8) && tiny.x() == 1e-200 && unit == DtVector64(0.6, 0, 0.8));
    EXPECT_TRUE(DtVector64(std::sqrt(1 + 9e-7), 0, 0).isNormalized() && !DtVector64(std::sqrt(1 + 1.1e-6), 0, 0).isNormalized());
    EXPECT_TRUE(DtVector64(1e-9, -1e-9, 0).magnitudeIsZero(1e-9) && !DtVector64(0, 1e-300, 0).magnitudeIsZero());
    EXPECT_TRUE(!DtVector64(1, 2, 3).approxEq(DtVector64(1, 2, 3), -1e-300));   // a negative tolerance is never met
    EXPECT_BITEQ(DtVector32(0.1f, 0, 0).magnitudeSquared(), double(0.1f * 0.1f));   // float square, double sum
}

TEST(VectorTest, TextForms)
{
    EXPECT_STREQ(DtVector64(1, 2.5, -3).string(), "{1.000000, 2.500000, -3.000000}");
    EXPECT_STREQ(DtVector32(1.5f, 0.25f, -2.0f).string(), "{1.500000, 0.250000, -2.000000}");
    std::ostringstream os;
    DtVector64(1, 2.5, -3).printDataToStream(os) << "|" << DtVector64(0.1, 1e20, 0);
    EXPECT_EQ(os.str(), "[ x= 1 y= 2.5 z= -3 ]|[ x= 0.1 y= 1e+20 z= 0 ]");
    qmtest::Capture capture(DtInfo);
    DtVecDump("pos", DtVector64(1, -2.5, 100));
    DtVecDump(std::string(200, 'b').c_str(), DtVector64(1e9, 0, 0));   // cut to 30
    EXPECT_EQ(capture.text(), "pos:" + std::string(21, ' ') + " {        1.000,        -2.500,       100.000}\n" +
                                  std::string(30, 'b') + ": {1000000000.000,         0.000,         0.000}\n");
}

TEST(VecFuncTest, WorkedExamples)
{
    const DtVector64 a(1, -2, 3.5), b(0.25, 4, -1);
    DtVector64 out, x = a;
    DtVecSub(b, x, x);   // outputs may be inputs
    EXPECT_EQ(x, DtVector64(-0.75, 6, -4.5));
    DtVecCrossProd(DtVector64(1, 0, 0), DtVector64(2, 0, 0), out);
    EXPECT_BITEQ(out.y(), -0.0);   // the middle difference is negated
    EXPECT_EQ(DtVecBoxProd(DtVector64(1, 2, 3), DtVector64(4, 5, 6), DtVector64(7, 8, 10)), -3.0);
    EXPECT_TRUE(std::isnan(DtVecCosProd(DtVector64(1, 0, 0), DtVector64(0, 0, 0))));
    EXPECT_BITEQ(DtVecDotProd(DtVector64(-0.0, 0, 0), DtVector64(1, 0, 0)), 0.0);   // the sum starts from +0
    DtVector64 keep(7, 8, 9);
    DtVecNormalize(DtVector64(1e-5, 0, 0), keep);   // squared length within 1e-9 of 0: untouched
    EXPECT_EQ(keep, DtVector64(7, 8, 9));
    DtVecDcmMul(DtVector64(1, 0, 0), DtDcm(1, 2, 3, 0, 0, 0, 0, 0, 0), out);   // a row vector times M
    EXPECT_EQ(out, DtVector64(1, 2, 3));
    const DtVector64 o;
    EXPECT_TRUE(DtHeadingFromAToB(o, DtVector64(0, 1, 0)) == 0.0 && DtHeadingFromAToB(o, DtVector64(1, 0, 0)) == kPi / 2 &&
                DtHeadingFromAToB(o, DtVector64(-1, 0, 0)) == 1.5 * kPi && DtHeadingFromAToB(o, o) == 0.0);
    for (int deg = 0; deg < 360; deg += 15) {
        const double h = deg * kPi / 180;   // z is ignored
        EXPECT_NEAR(DtHeadingFromAToB(DtVector32(1, 1, 5), DtVector32(float(1 + std::sin(h)), float(1 + std::cos(h)), -5)),
                    h, 1e-6);
    }
    const DtVector64 inf = DtVelocityFromAToB(o, DtVector64(1, 0, -1), 0.0);
    EXPECT_TRUE(inf.x() == INFINITY && std::isnan(inf.y()) && inf.z() == -INFINITY);
    EXPECT_TRUE(DtLerpVector(o, DtVector64(4, 8, 12), 0.25) == DtVector64(1, 2, 3) &&
                DtLerpVector(o, DtVector64(4, 8, 12), 2) == DtVector64(4, 8, 12));
}
