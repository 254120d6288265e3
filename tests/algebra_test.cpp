// Scalars, vectors, matrices, rotations, Tait-Bryan angles, quaternions and
// rates: conventions on worked examples, independent identities, and every
// message text. The bit patterns over many inputs are the digest suite's.
#include "testSupport.h"

using namespace Vorant;
using namespace qmtest;

namespace {

bool near(const DtDcm& a, const DtDcm& b, double tol)
{
    return a[0].approxEq(b[0], tol) && a[1].approxEq(b[1], tol) && a[2].approxEq(b[2], tol);
}

bool near(const DtTaitBryan& a, double psi, double theta, double phi, double tol)
{
    return std::fabs(a.psi() - psi) <= tol && std::fabs(a.theta() - theta) <= tol && std::fabs(a.phi() - phi) <= tol;
}

// Vector rotation about one axis, built independently of the library.
DtDcm rotation(int axis, double a)
{
    const double c = std::cos(a), s = std::sin(a);
    return axis == 0 ? DtDcm(1, 0, 0, 0, c, -s, 0, s, c)
                     : axis == 1 ? DtDcm(c, 0, s, 0, 1, 0, -s, 0, c) : DtDcm(c, -s, 0, s, c, 0, 0, 0, 1);
}

DtDcm product(const DtDcm& a, const DtDcm& b)
{
    DtDcm r;
    DtDcmDcmMul(a, b, r);
    return r;
}

}  // namespace

TEST(ScalarTest, SignsTiesClampsAndAngleOrder)
{
    EXPECT_TRUE(std::signbit(DtAbs(-0.0)) && std::signbit(DtMax(0.0, -0.0)));   // -0 passes v >= 0; ties give the second
    EXPECT_TRUE(std::signbit(DtAbs(kNaN)) != std::signbit(kNaN) && DtMax(kNaN, 1.0) == 1.0 && std::isnan(DtMax(1.0, kNaN)));
    EXPECT_TRUE(DtLimit(5.0, 3.0, 1.0) == 3.0 && DtLimit(-5.0, 3.0, 1.0) == 1.0 && std::isnan(DtLimit(kNaN, 1.0, 3.0)));
    EXPECT_TRUE(DtDeg2Rad(180.0) == kPi && DtRad2Deg(kPi) == 180.0 && std::isinf(DtDeg2Rad(1.7e308)));
    const struct
    {
        double (*f)(double, double, double);
        double x, lo, hi, expected;
    } cases[] = {
        {DtModPerHi, -180, -180, 180, 180}, {DtModPerHi, 540, -180, 180, 180}, {DtModPerHi, 190, -180, 180, -170},
        {DtModPerLo, 180, -180, 180, -180}, {DtModPerLo, 5, 10, 20, 15},       {DtModPer, 360, 0, 360, 0},
        {DtModPer, -90, 0, 360, 270},       {DtModPer, 180, -180, 180, -180},  {DtModPer, -180, 180, -180, 180},
    };
    for (const auto& c : cases)   // the periodic reductions
        EXPECT_EQ(c.f(c.x, c.lo, c.hi), c.expected) << c.x << " in " << c.lo << ", " << c.hi;
    EXPECT_TRUE(std::signbit(DtModPer(-360, 0, 360)) && std::isnan(DtModPer(1e10, 5, 5)) && std::isnan(DtModPer(1, kNaN, 5)));
}

TEST(VectorTest, PlainValuesComparisonAndNormalization)
{
    static_assert(sizeof(DtVector32) == 3 * sizeof(float) && std::is_trivially_copyable<DtVector64>::value, "numbers");
    DtVector64 arr[2] = {DtVector64(1, 2, 3), DtVector64(4, 5, 6)};
    const DtVector64 nan(1, kNaN, 3);
    EXPECT_TRUE(static_cast<double*>(arr[0])[4] == 5 && arr[1][DtZOffset] == 6);   // contiguous across elements
    EXPECT_TRUE(DtVector64(0.0, 0, 0) == DtVector64(-0.0, 0, 0) && !(nan == nan) && nan != nan && !nan.magnitudeIsZero(1.0));

    DtVector64 v(3, 0, 4), tiny(1e-200, 0, 0), unit(0.6, 0, 0.8);
    v.normalize();
    tiny.normalize();   // the squared length underflows to 0: untouched
    unit.normalize();   // exactly 1: untouched
    EXPECT_TRUE(v == DtVector64(0.6, 0, 0.8) && tiny.x() == 1e-200 && unit == DtVector64(0.6, 0, 0.8));
    EXPECT_TRUE(DtVector64(std::sqrt(1 + 9e-7), 0, 0).isNormalized() && !DtVector64(std::sqrt(1 + 1.1e-6), 0, 0).isNormalized());
    EXPECT_TRUE(!DtVector64(1, 2, 3).approxEq(DtVector64(1, 2, 3), -1e-300));   // a negative tolerance is never met
}

TEST(VectorTest, TextForms)
{
    EXPECT_STREQ(DtVector32(1.5f, 0.25f, -2.0f).string(), "{1.500000, 0.250000, -2.000000}");
    std::ostringstream os;
    DtVector64(1, 2.5, -3).printDataToStream(os) << "|" << DtVector64(0.1, 1e20, 0);
    EXPECT_EQ(os.str(), "[ x= 1 y= 2.5 z= -3 ]|[ x= 0.1 y= 1e+20 z= 0 ]");
    qmtest::Capture capture(DtInfo);
    DtVecDump("pos", DtVector64(1, -2.5, 100));
    DtVecDump(std::string(200, 'b').c_str(), DtVector64(1e9, 0, 0));   // cut to 30
    DtVecDump(nullptr, DtVector64(0, 0, 0));                             // no label: the colon alone
    EXPECT_EQ(capture.text(), "pos:" + std::string(21, ' ') + " {        1.000,        -2.500,       100.000}\n" +
                                  std::string(30, 'b') + ": {1000000000.000,         0.000,         0.000}\n" + ":" +
                                  std::string(24, ' ') + " {        0.000,         0.000,         0.000}\n");
}

TEST(VecFuncTest, WorkedExamples)
{
    const DtVector64 a(1, -2, 3.5), b(0.25, 4, -1);
    DtVector64 out, x = a;
    DtVecSub(b, x, x);   // outputs may be inputs
    DtVecCrossProd(DtVector64(1, 0, 0), DtVector64(2, 0, 0), out);
    EXPECT_TRUE(x == DtVector64(-0.75, 6, -4.5) && std::signbit(out.y()));   // the middle difference is negated
    EXPECT_TRUE(DtVecBoxProd(DtVector64(1, 2, 3), DtVector64(4, 5, 6), DtVector64(7, 8, 10)) == -3.0 &&
                std::isnan(DtVecCosProd(DtVector64(1, 0, 0), DtVector64(0, 0, 0))));
    EXPECT_FALSE(std::signbit(DtVecDotProd(DtVector64(-0.0, 0, 0), DtVector64(1, 0, 0))));   // the sum starts from +0
    DtVector64 keep(7, 8, 9);
    DtVecNormalize(DtVector64(1e-5, 0, 0), keep);   // squared length within 1e-9 of 0: untouched
    DtVecDcmMul(DtVector64(1, 0, 0), DtDcm(1, 2, 3, 0, 0, 0, 0, 0, 0), out);   // a row vector times M
    EXPECT_TRUE(keep == DtVector64(7, 8, 9) && out == DtVector64(1, 2, 3) && DtVecCheck(DtVector64(0.6, 0, 0.8)) == 1);
    const DtVector64 o;
    EXPECT_TRUE(DtHeadingFromAToB(o, DtVector64(0, 1, 0)) == 0.0 && DtHeadingFromAToB(o, DtVector64(1, 0, 0)) == kPi / 2 &&
                DtHeadingFromAToB(o, DtVector64(-1, 0, 0)) == 1.5 * kPi && DtHeadingFromAToB(o, o) == 0.0);
    EXPECT_NEAR(DtHeadingFromAToB(DtVector32(1, 1, 5), DtVector32(0, 2, -5)), 1.75 * kPi, 1e-6);   // z is ignored
    const DtVector64 inf = DtVelocityFromAToB(o, DtVector64(1, 0, -1), 0.0);
    EXPECT_TRUE(inf.x() == INFINITY && std::isnan(inf.y()) && DtLerpVector(o, DtVector64(4, 8, 12), 0.25) == DtVector64(1, 2, 3));
}

TEST(DcmTest, WorkedExamplesAndText)
{
    const DtDcm a(2, -1, 0, -1, 2, -1, 0, -1, 2);
    DtDcm inv, out;
    DtDcmInverse(a, inv);
    EXPECT_TRUE(DtDcmDeterminant(a) == 4.0 && near(inv, DtDcm(0.75, 0.5, 0.25, 0.5, 1.0, 0.5, 0.25, 0.5, 0.75), 1e-15));
    EXPECT_TRUE(DtMM_Mult(a, inv, out, DtMM_AB) == 3.0 && DtLevi_Civita[0][1][2] == -1.0);   // returns the trace
    const double h = 1 / std::sqrt(2.0);   // unit rows and columns suffice
    EXPECT_TRUE(DtDcm(h, h, 0, h, 0, h, 0, h, h).isOrthonormal() && !DtDcm(1, 0, 0, 1, 0, 0, 0, 0, 1).isOrthonormal());
    qmtest::Capture capture(DtInfo);
    DtDcmDump("M", DtDcm::identity());
    DtDcm(1, 2.5, -3, 0, 0, 0, 1e-7, 0, 1).print();
    EXPECT_EQ(capture.text(), "M\n1.000000 0.000000 0.000000\n0.000000 1.000000 0.000000\n0.000000 0.000000 1.000000\n"
                              "{1.000000, 2.500000, -3.000000}\n{0.000000, 0.000000, 0.000000}\n"
                              "{0.000000, 0.000000, 1.000000}\n");
}

TEST(ElementaryRotationTest, FrameAndVectorRotationsAndPanics)
{
    const double a = 0.7, c = std::cos(a), s = std::sin(a);
    DtDcm m, form;
    DtDcmRotInit(m, a, 2);   // frame rotation
    EXPECT_TRUE(near(m, DtDcm(c, s, 0, -s, c, 0, 0, 0, 1), 0.0));
    const double z[3] = {0, 0, 1};
    double sn = 0, cs = 0;
    DtDcmForm(z, a, form, &sn, &cs);   // vector rotation: the transpose
    EXPECT_TRUE(near(form, rotation(2, a), 1e-16) && sn == s && cs == c);
    DtDcm skewed = product(rotation(0, 0.3), rotation(1, -0.2));   // repair keeps the chosen row's direction
    skewed[0] += DtVector64(0.01, -0.02, 0.005);
    DtDcmFixMatrix(skewed, 2);
    EXPECT_TRUE(skewed.isOrthonormal() && skewed[2].approxEq(product(rotation(0, 0.3), rotation(1, -0.2))[2], 1e-15));
    qmtest::Capture fatal(DtFatal);
    m = DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 9);
    DtDcmFixMatrix(m, 3);   // unchanged
    EXPECT_TRUE(near(m, DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 9), 0.0));
    DtDcmRotInit(m, 0.3, 3);   // all zero
    EXPECT_TRUE(near(m, DtDcm::zero(), 0.0));
    DtDcmRotInit2(m, 0.3, -1);
    DtDcmTrigInit(m, 0.3, 0.9, 17);
    EXPECT_EQ(fatal.text(), "PANIC -- impossible axis detected in fix matrix\r\n"
                            "PANIC: dcm_rot_init(): Axis variable unknown.\n"
                            "PANIC: dcm_rot_init(): Axis unknown\n"
                            "PANIC: dcm_trig_init() Axis variable unknown.\n");
}

TEST(TaitBryanTest, ComposedRotationsRoundTripsAndTheVerticalCase)
{
    std::ostringstream os;
    os.precision(3);
    os << DtTaitBryan(1.23456, -0.5, 3) << DtQuaternion(1, 0.5, -2, 0);
    EXPECT_EQ(os.str(), "[ Psi= 1.23 Theta= -0.5 Phi= 3 ][ w=1 x= 0.5 y= -2 z= 0 ]");
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> angle(-kPi, kPi), pitch(-1.56, 1.56);
    for (int n = 0; n < 500; ++n) {
        const DtTaitBryan t(angle(gen), pitch(gen), angle(gen));
        const DtDcm m(t), expected = product(product(rotation(2, t.psi()), rotation(1, t.theta())), rotation(0, t.phi()));
        DtTaitBryan back, viaRefToBody;
        DtBodyToRef_to_Euler(m, &back);
        DtDcm refToBody;
        DtEuler_to_RefToBody(t, refToBody);
        DtRefToBody_to_Euler(refToBody, &viaRefToBody);
        EXPECT_TRUE(near(m, expected, 1e-15) && near(back, t.psi(), t.theta(), t.phi(), 5e-7) &&   // acos keeps ~sqrt(eps)
                    near(viaRefToBody, back.psi(), back.theta(), back.phi(), 0.0)) << n;
        // The quaternion's matrix is reference-to-body; products compose in reverse.
        const DtQuaternion q(t), p(DtTaitBryan(t.phi(), t.theta() / 2, t.psi()));
        DtQuaternion qp;
        DtQuatQuatMul(&qp, &q, &p);
        EXPECT_TRUE(near(DtDcm(q), refToBody, 1e-15) && near(DtDcm(qp), product(DtDcm(p), DtDcm(q)), 1e-14) &&
                    near(DtTaitBryan(q), t.psi(), t.theta(), t.phi(), 1e-6)) << n;
    }
    DtTaitBryan out;   // re-expressed in a frame turned by 30 degrees of heading
    DtEulerToEuler(DtTaitBryan(0.2, 0.3, -0.4), DtDcm(DtTaitBryan(kPi / 6, 0, 0)), &out);
    EXPECT_TRUE(near(out, 0.2 + kPi / 6, 0.3, -0.4, 1e-12));
    DtDcm m(DtTaitBryan(0.5, kPi / 2, 0.2));
    m[2][0] = -1.0000000001;   // straight up, clamped: roll 0, heading yaw minus roll
    DtBodyToRef_to_Euler(m, &out);
    EXPECT_TRUE(out.theta() == kPi / 2 && out.phi() == 0.0 && std::fabs(out.psi() - 0.3) < 1e-12);
}

TEST(QuaternionTest, ConventionsAndText)
{
    const DtQuaternion yaw(DtTaitBryan(0.8, 0, 0)), i(0, 1, 0, 0), j(0, 0, 1, 0), q(1, 2, 3, 4);
    DtQuaternion r;
    DtQuatQuatMul(&r, &i, &j);
    EXPECT_TRUE(std::fabs(yaw.w() - std::cos(0.4)) < 1e-16 && std::fabs(yaw.z() - std::sin(0.4)) < 1e-16 && r.z() == 1);
    EXPECT_STREQ(DtQuaternion(-0.5, 0.25, 1e-7, 2).string(), "[-0.500000, 0.250000, 0.000000, 2.000000]");
    qmtest::Capture capture(DtInfo);
    DtQuaternionDump(&q);
    EXPECT_EQ(capture.text(), "[1.000000, 2.000000, 3.000000, 4.000000]\n");
}

TEST(RotRateTest, DeadReckoningAndRelativeRotation)
{
    DtDcm m, acc = DtDcm::identity(), small, big;
    DtMakeRotationDcm(DtDirectRotRate(DtVector64(0.2, -0.5, 0.9)), 0.001, small);   // many small steps make one large one
    for (int n = 0; n < 2000; ++n)
        DtDcmDcmMul(small, acc, acc);
    DtMakeRotationDcm(DtDirectRotRate(DtVector64(0.2, -0.5, 0.9)), 2.0, big);
    EXPECT_TRUE(near(acc, big, 1e-7));
    const DtDirectedRotRate unit = DtDirectRotRate(DtVector64(0, 0.6, 0.8));   // magnitude exactly 1: an axis all the same
    EXPECT_TRUE(unit.magnitude == 1.0 && unit.axis[1] == 0.6f && unit.axis[2] == 0.8f);
    const DtDirectedRotRate unit32 = DtDirectRotRate(DtVector32(0, 0, 1));   // the same in single precision
    EXPECT_TRUE(unit32.magnitude == 1.0 && unit32.axis[0] == 0 && unit32.axis[2] == 1.0f);
    DtVector64 axis, k(0.3, -0.5, 0.8);
    DtVector32 axis32;
    k.normalize();
    DtRotate(m, k, -1.1);   // a frame rotation of 1.1 about k
    DtDcmDcmRotAxis(m, DtDcm::identity(), axis);
    DtDcmDcmRotAxis(m, DtDcm::identity(), axis32);
    EXPECT_TRUE(std::fabs(DtDcmDcmRotAngle(m, DtDcm::identity(), 1e-12) - 1.1) < 1e-12 && axis.approxEq(k, 1e-12) &&
                axis32.approxEq(DtVector64To32(k), 1e-7));
    // The sign indicator reads one element: near half a turn the axis can
    // come out reversed (documented; up to 90 degrees it is always right).
    DtVector64 q(0.84261318740183833, 0.47363784498758982, -0.25626199135265126);
    q.normalize();
    DtRotate(m, q, -2.92);
    DtDcmDcmRotAxis(m, DtDcm::identity(), axis);
    EXPECT_TRUE(axis.approxEq(DtVector64(-q.x(), -q.y(), -q.z()), 1e-7));
    DtDcmRotInit(m, kPi, 2);
    qmtest::Capture info(DtInfo);
    DtDcmDcmRotAxis(m, DtDcm::identity(), axis);   // the double tolerance does not warn, the float one does
    DtDcmDcmRotAxis(m, DtDcm::identity(), axis32);
    EXPECT_EQ(info.text().rfind("DtDcmDcmRotAxis warning: sign indicator near zero: ", 0), 0u);
    DtDcmDcmRotAxis(DtDcm(-1, 0, 0, 0, -1, 0, 0, 0, 1), DtDcm::identity(), axis);   // an exact zero warns in double too
    EXPECT_EQ(info.text().substr(info.text().find('\n') + 1),
              "DtDcmDcmRotAxis warning: sign indicator near zero: 0.000000e+00\n");
    for (const int about : {0, 1}) {   // each axis's indicator element
        const std::size_t before = info.text().size();
        DtDcmRotInit(m, kPi, about);
        DtDcmDcmRotAxis(m, DtDcm::identity(), axis32);
        EXPECT_NE(info.text().find("sign indicator near zero", before), std::string::npos) << about;
    }
    qmtest::NotifyLevel all(10);
    qmtest::Capture debug(DtDebug);
    DtDcmDcmRotAxis(DtDcm(2, 0, 0, 0, 1, 0, 0, 0, 1), DtDcm::identity(), axis);
    EXPECT_TRUE(axis == DtVector64::zero() && debug.text() == "DtDcmDcmRotAxis: can't normalize axis\n");
}

// The plain constructors are conversions, as code written against the
// documented interface uses them.
TEST(ConversionTest, PlainConstructorsConvertImplicitly)
{
    const DtTaitBryan tb(0.3, -0.2, 0.1);
    const DtDcm m = tb;
    const DtQuaternion q = tb;
    const DtDcm mq = q;   // the quaternion's matrix is the other direction
    const DtTaitBryan back = q;
    DtDcm r, expected;
    DtMakeRotationDcm(DtVector32(0, 0, 1), 0.5, r);   // a frame rotation about z
    DtDcmRotInit(expected, 0.5, 2);
    EXPECT_TRUE(near(r, expected, 1e-16) && std::fabs(m[0][1] - mq[1][0]) < 1e-15 && std::fabs(back.psi() - 0.3) < 1e-14);
    static_assert(std::is_convertible<DtVector64, DtCoordTranslation>::value &&
                      std::is_convertible<DtMapDatum, DtReferenceEllipsoid>::value &&
                      std::is_convertible<const DtReferenceEllipsoid*, DtGeodeticCoord>::value &&
                      std::is_convertible<DtUtmReferencePoint*, DtUtmCoord>::value &&
                      std::is_convertible<Dt3dChord, Dt3dExtent>::value,
                  "plain constructors convert");
}
