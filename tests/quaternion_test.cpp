// Quaternions, rotation rates and relative rotation.
#include "testSupport.h"

#include <3dChord.h>
#include <3dExtent.h>
#include <coordTranslation.h>
#include <directedRotRate.h>
#include <geodeticCoord.h>
#include <qvDcm.h>
#include <qvQuaternion.h>
#include <qvTaitBryan.h>
#include <utmCoord.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <type_traits>

using namespace Vorant;

namespace {

const double kPi = 3.141592653589793;

bool near(const DtQuaternion& q, double w, double x, double y, double z, double tol)
{
    return std::fabs(q.w() - w) <= tol && std::fabs(q.x() - x) <= tol && std::fabs(q.y() - y) <= tol &&
           std::fabs(q.z() - z) <= tol;
}

bool near(const DtDcm& a, const DtDcm& b, double tol)
{
    return a[0].approxEq(b[0], tol) && a[1].approxEq(b[1], tol) && a[2].approxEq(b[2], tol);
}

}  // namespace

TEST(QuaternionTest, TextAndConversionsInTheAngleConventions)
{
    std::ostringstream os;
    os << DtQuaternion(1, 0.5, -2, 0);
    EXPECT_EQ(os.str(), "[ w=1 x= 0.5 y= -2 z= 0 ]");
    EXPECT_STREQ(DtQuaternion(-0.5, 0.25, 1e-7, 2).string(), "[-0.500000, 0.250000, 0.000000, 2.000000]");
    {
        qmtest::Capture capture(DtInfo);
        const DtQuaternion q(1, 2, 3, 4);
        DtQuaternionDump(&q);
        EXPECT_EQ(capture.text(), "[1.000000, 2.000000, 3.000000, 4.000000]\n");
    }
    EXPECT_TRUE(near(DtQuaternion(), 0, 0, 0, 0, 0) && near(DtQuaternion(DtTaitBryan(0, 0, 0)), 1, 0, 0, 0, 0));
    EXPECT_TRUE(near(DtDcm(DtQuaternion()), DtDcm::identity(), 0.0));   // although no rotation
    EXPECT_TRUE(near(DtQuaternion(DtTaitBryan(0.8, 0, 0)), std::cos(0.4), 0, 0, std::sin(0.4), 1e-16));
    EXPECT_TRUE(near(DtQuaternion(DtTaitBryan(0, 0.8, 0)), std::cos(0.4), 0, std::sin(0.4), 0, 1e-16));
    EXPECT_TRUE(near(DtQuaternion(DtTaitBryan(0, 0, 0.8)), std::cos(0.4), std::sin(0.4), 0, 0, 1e-16));

    std::mt19937 gen(21);
    std::uniform_real_distribution<double> angle(-kPi, kPi), pitch(-1.55, 1.55);
    for (int n = 0; n < 500; ++n) {
        const DtTaitBryan a(angle(gen), pitch(gen), angle(gen));
        const DtQuaternion q(a);
        EXPECT_NEAR(q.w() * q.w() + q.x() * q.x() + q.y() * q.y() + q.z() * q.z(), 1.0, 1e-15);
        // The quaternion's matrix is the transpose of the angles' matrix.
        DtDcm fromQuat, fromAngles, t;
        DtDcmFromQuaternion(fromQuat, &q);
        DtTbToMat(a, fromAngles);
        DtDcmTranspose(fromAngles, t);
        EXPECT_TRUE(near(fromQuat, t, 1e-15) && near(DtDcm(q), fromQuat, 0.0));
        const DtTaitBryan back(q);
        EXPECT_TRUE(std::fabs(back.psi() - a.psi()) < 1e-6 && std::fabs(back.theta() - a.theta()) < 1e-12 &&
                    std::fabs(back.phi() - a.phi()) < 1e-6);
    }
}

TEST(QuaternionTest, ProductComposesRotationsAndIsAliasSafe)
{
    const DtQuaternion i(0, 1, 0, 0), j(0, 0, 1, 0), k(0, 0, 0, 1);
    DtQuaternion r;
    DtQuatQuatMul(&r, &i, &j);
    EXPECT_TRUE(near(r, 0, 0, 0, 1, 0));
    DtQuatQuatMul(&r, &j, &i);
    EXPECT_TRUE(near(r, 0, 0, 0, -1, 0));
    DtQuatQuatMul(&r, &k, &k);
    EXPECT_TRUE(near(r, -1, 0, 0, 0, 0));
    std::mt19937 gen(8);
    std::uniform_real_distribution<double> u(-2, 2);
    for (int n = 0; n < 100; ++n) {
        const DtQuaternion a(DtTaitBryan(u(gen), u(gen) / 2, u(gen))), b(DtTaitBryan(u(gen), u(gen) / 2, u(gen)));
        DtQuaternion ab, x = a, y = b, sq, self = a;
        DtQuatQuatMul(&ab, &a, &b);
        const DtVector64 av(a.x(), a.y(), a.z()), bv(b.x(), b.y(), b.z()), c = av.crossProduct(bv);
        EXPECT_TRUE(near(ab, a.w() * b.w() - av.dotProduct(bv), a.w() * b.x() + b.w() * a.x() + c.x(),
                         a.w() * b.y() + b.w() * a.y() + c.y(), a.w() * b.z() + b.w() * a.z() + c.z(), 1e-15));
        DtDcm ma(a), mb(b), prod;   // reference-to-body matrices compose in reverse
        DtDcmDcmMul(mb, ma, prod);
        EXPECT_TRUE(near(DtDcm(ab), prod, 1e-14));
        DtQuatQuatMul(&x, &x, &b);
        DtQuatQuatMul(&y, &a, &y);
        DtQuatQuatMul(&sq, &a, &a);
        DtQuatQuatMul(&self, &self, &self);
        EXPECT_TRUE(near(x, ab.w(), ab.x(), ab.y(), ab.z(), 0) && near(y, ab.w(), ab.x(), ab.y(), ab.z(), 0) &&
                    near(self, sq.w(), sq.x(), sq.y(), sq.z(), 0));
    }
    DtQuaternion q(1, -2, 3, 0.5), out;
    DtQuatScale(&out, &q, 2.0);
    DtQuatScale(&q, &q, 0.0);
    EXPECT_TRUE(near(out, 2, -4, 6, 1, 0) && near(q, 0, 0, 0, 0, 0));
}

TEST(RotRateTest, RatesAndDeadReckoning)
{
    DtDirectedRotRate r(DtVector32(0, 0, 2));
    EXPECT_TRUE(r.magnitude == 2.0 && r.axis[2] == 1.0f);
    r.setFromVec(DtVector32(0, 0, 0));
    EXPECT_TRUE(r.magnitude == 0.0 && r.axis[0] == 0.0f && r.axis[1] == 0.0f && r.axis[2] == 0.0f);
    EXPECT_TRUE(DtDirectedRotRate(DtVector32(0, 3, 0)) == DtDirectedRotRate(DtVector32(0, 0.5f, 0)));   // axes only
    EXPECT_TRUE(DtDirectedRotRate(DtVector32(0, 3, 0)) != DtDirectedRotRate(DtVector32(0, -1, 0)));
    // Three ways to form the magnitude.
    const DtVector32 w(0.1f, 0.7f, 1.3f);
    const double exact = std::sqrt(double(w[0]) * w[0] + double(w[1]) * w[1] + double(w[2]) * w[2]);
    EXPECT_NEAR(DtDirectedRotRate(w).magnitude, exact, 1e-7);
    EXPECT_BITEQ(DtDirectRotRate(DtVector32To64(w)).magnitude, exact);
    EXPECT_BITEQ(DtDirectRotRate(w).magnitude, double(std::sqrt((w[0] * w[0] + w[1] * w[1]) + w[2] * w[2])));
    EXPECT_NE(DtDirectRotRate(w).magnitude, exact);
    EXPECT_TRUE(DtDirectRotRate(DtVector64(0, 0, 0)).axis[1] == 0.0f && DtDirectRotRate(DtVector32(0, 0, 0)).magnitude == 0.0);

    DtDcm m, expected;
    DtMakeRotationDcm(DtDirectRotRate(DtVector64(0, 0, 1)), 0.5, m);
    DtDcmRotInit(expected, 0.5, 2);
    EXPECT_TRUE(near(m, expected, 1e-16));
    DtMakeRotationDcm(DtDirectedRotRate(), 3.0, m);
    EXPECT_TRUE(near(m, DtDcm::identity(), 0.0));
    // Many small steps compose to one large step; the float axis is a unit
    // vector only to about 1e-8, and each small step carries that error.
    const DtDirectedRotRate rate = DtDirectRotRate(DtVector64(0.2, -0.5, 0.9));
    DtDcm small, big, acc = DtDcm::identity();
    DtMakeRotationDcm(rate, 0.001, small);
    for (int n = 0; n < 2000; ++n)
        DtDcmDcmMul(small, acc, acc);
    DtMakeRotationDcm(rate, 2.0, big);
    EXPECT_TRUE(near(acc, big, 1e-7) && big.isOrthonormal());

    // out = m [w]x, also when out is m.
    DtDcm cross, b, prod;
    DtCreateCross(w, cross);
    DtBodyToMat(w, DtDcm::identity(), b);
    EXPECT_TRUE(near(b, cross, 0.0));
    DtTbToMat(DtTaitBryan(0.3, 0.1, -0.7), m);
    DtDcmDcmMul(m, cross, prod);
    DtBodyToMat(w, m, m);
    EXPECT_TRUE(near(m, prod, 1e-15));
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
    DtVector32 axis32;
    DtDcmDcmRotAxis(a, a, axis);
    EXPECT_EQ(axis, DtVector64::zero());
    DtDcmRotInit(b, 0.3, 2);
    DtDcmDcmRotAxis(b, DtDcm::identity(), axis);
    DtDcmDcmRotAxis(b, DtDcm::identity(), axis32);
    EXPECT_TRUE(axis.approxEq(DtVector64(0, 0, 1), 1e-15) && axis32.approxEq(DtVector32(0, 0, 1), 1e-7));
    DtDcmDcmRotAxis(DtDcm::identity(), b, axis);
    EXPECT_TRUE(axis.approxEq(DtVector64(0, 0, -1), 1e-15));

    std::mt19937 gen(12);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int n = 0; n < 100; ++n) {
        DtVector64 k(u(gen), u(gen), u(gen));
        k.normalize();
        const double angle = 0.1 + 1.47 * (u(gen) + 1) / 2;   // up to 90 degrees
        DtDcm rel, base, moved;
        DtRotate(rel, k, -angle);   // frame rotation about k
        DtTbToMat(DtTaitBryan(3 * u(gen), 1.5 * u(gen), 3 * u(gen)), base);
        DtDcmDcmMul(base, rel, moved);
        DtDcmDcmRotAxis(moved, base, axis);
        EXPECT_TRUE(std::fabs(DtDcmDcmRotAngle(moved, base, 1e-12) - angle) < 1e-7 && axis.approxEq(k, 1e-7)) << n;
    }
    // Near half a turn the symmetric part can outweigh the skew part in the
    // single element read for the sign: the axis comes out reversed.
    DtVector64 k(0.84261318740183833, 0.47363784498758982, -0.25626199135265126);
    k.normalize();
    DtDcm rel;
    DtRotate(rel, k, -2.92);
    DtDcmDcmRotAxis(rel, DtDcm::identity(), axis);
    EXPECT_TRUE(axis.approxEq(DtVector64(-k.x(), -k.y(), -k.z()), 1e-7));

    // Half a turn: the float tolerance (1e-12) warns about the sign, the
    // double one (1e-24) does not; both give (0, 0, 1).
    DtDcm half;
    DtDcmRotInit(half, kPi, 2);
    qmtest::Capture info(DtInfo);
    DtDcmDcmRotAxis(half, DtDcm::identity(), axis);
    EXPECT_EQ(info.text(), "");
    DtDcmDcmRotAxis(half, DtDcm::identity(), axis32);
    EXPECT_EQ(info.text().rfind("DtDcmDcmRotAxis warning: sign indicator near zero: ", 0), 0u);
    EXPECT_TRUE(axis.approxEq(DtVector64(0, 0, 1), 1e-15) && axis32.approxEq(DtVector32(0, 0, 1), 1e-7));
    // No row pair gives a usable axis: a debug notice and a zero axis.
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
    EXPECT_TRUE(std::fabs(m[0][1] - mq[1][0]) < 1e-15 && std::fabs(m[2][0] - mq[0][2]) < 1e-15);
    EXPECT_TRUE(std::fabs(back.psi() - 0.3) < 1e-14 && std::fabs(back.phi() - 0.1) < 1e-14);
    DtDcm r, expected;
    DtMakeRotationDcm(DtVector32(0, 0, 1), 0.5, r);
    DtDcmRotInit(expected, 0.5, 2);
    EXPECT_TRUE(near(r, expected, 1e-7));
    static_assert(std::is_convertible<DtVector64, DtCoordTranslation>::value &&
                      std::is_convertible<DtMapDatum, DtReferenceEllipsoid>::value &&
                      std::is_convertible<const DtReferenceEllipsoid*, DtGeodeticCoord>::value &&
                      std::is_convertible<DtUtmReferencePoint*, DtUtmCoord>::value &&
                      std::is_convertible<Dt3dChord, Dt3dExtent>::value,
                  "plain constructors convert");
}
