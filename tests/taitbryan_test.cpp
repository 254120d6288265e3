// Tait-Bryan angles, their conversions, and coordinate transforms.
#include "testSupport.h"

#include <coordTransform.h>
#include <coordTranslation.h>
#include <qvDcm.h>
#include <qvTaitBryan.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

using namespace Vorant;

namespace {

const double kPi = 3.141592653589793;

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
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return r;
}

bool near(const DtTaitBryan& a, double psi, double theta, double phi, double tol)
{
    return std::fabs(a.psi() - psi) <= tol && std::fabs(a.theta() - theta) <= tol && std::fabs(a.phi() - phi) <= tol;
}

DtTaitBryan angles(const DtDcm& m)
{
    DtTaitBryan a;
    DtBodyToRef_to_Euler(m, &a);
    return a;
}

}  // namespace

TEST(TaitBryanTest, MatrixIsTheComposedVectorRotationAndRoundTrips)
{
    std::ostringstream os;
    DtTaitBryan().printDataToStream(os);
    os.precision(3);
    os << "|" << DtTaitBryan(1.23456, -0.5, 3);
    EXPECT_EQ(os.str(), "[ Psi= 0 Theta= 0 Phi= 0 ]|[ Psi= 1.23 Theta= -0.5 Phi= 3 ]");

    std::mt19937 gen(3);
    std::uniform_real_distribution<double> angle(-kPi, kPi), pitch(-89.9 * kPi / 180, 89.9 * kPi / 180);
    for (int n = 0; n < 1000; ++n) {
        const DtTaitBryan a(angle(gen), pitch(gen), angle(gen));
        DtDcm m, viaEuler, refToBody;
        DtTbToMat(a, m);
        const DtDcm expected = product(product(rotation(2, a.psi()), rotation(1, a.theta())), rotation(0, a.phi()));
        const DtDcm viaCtor(a);
        DtEuler_to_BodyToRef(a, viaEuler);
        DtEuler_to_RefToBody(a, refToBody);
        for (int r = 0; r < 3; ++r) {
            EXPECT_TRUE(m[r].approxEq(expected[r], 1e-15) && viaCtor[r] == m[r] && viaEuler[r] == m[r]);
            EXPECT_TRUE(refToBody[r] == DtVector64(m[0][r], m[1][r], m[2][r]));
        }
        // acos near 0 and pi keeps only about sqrt(eps) of the angle.
        const DtTaitBryan back = angles(m);
        EXPECT_TRUE(near(back, a.psi(), a.theta(), a.phi(), 5e-7)) << n;
        DtTaitBryan back2, same;
        DtRefToBody_to_Euler(refToBody, &back2);
        DtEulerToEuler(a, DtDcm::identity(), &same);
        EXPECT_TRUE(near(back2, back.psi(), back.theta(), back.phi(), 0.0) &&
                    near(same, back.psi(), back.theta(), back.phi(), 0.0));
    }
    DtDcm m;
    DtTbToMat(DtTaitBryan(0.7, -0.3, 1.9), m);
    EXPECT_TRUE(near(angles(m), 0.7, -0.3, 1.9, 1e-14));
    // Re-expressed in a frame turned by 30 degrees of heading.
    DtDcm r;
    DtTbToMat(DtTaitBryan(kPi / 6, 0, 0), r);
    DtTaitBryan out;
    DtEulerToEuler(DtTaitBryan(0.2, 0.3, -0.4), r, &out);
    EXPECT_TRUE(near(out, 0.2 + kPi / 6, 0.3, -0.4, 1e-12));
}

TEST(TaitBryanTest, VerticalPitchClampingAndSigns)
{
    DtDcm m;
    DtTbToMat(DtTaitBryan(0.5, kPi / 2, 0.2), m);
    m[2][0] = -1.0;   // pitch up 90 degrees: roll 0, heading takes yaw minus roll
    DtTaitBryan a = angles(m);
    EXPECT_TRUE(a.theta() == kPi / 2 && qmtest::bits(a.phi()) == 0u && std::fabs(a.psi() - 0.3) < 1e-12);
    m[2][0] = -1.0000000001;   // clamped, never NaN
    EXPECT_EQ(angles(m).theta(), kPi / 2);
    m[2][0] = 1.0000000001;
    EXPECT_EQ(angles(m).theta(), -kPi / 2);
    // The 1e6 threshold on 1/cos(theta): roll read just inside, dropped beyond.
    DtTbToMat(DtTaitBryan(0.4, kPi / 2 - 1.2e-6, 0.1), m);
    EXPECT_NE(angles(m).phi(), 0.0);
    DtTbToMat(DtTaitBryan(0.4, kPi / 2 - 0.8e-6, 0.1), m);
    a = angles(m);
    EXPECT_TRUE(qmtest::bits(a.phi()) == 0u && std::fabs(a.psi() - 0.3) < 1e-5);

    // copysign sign sources: -0 gives a negative angle.
    a = angles(DtDcm(1, 0, 0, -0.0, 1, 0, 0, 0, 1));
    EXPECT_TRUE(qmtest::bits(a.psi()) == qmtest::bits(-0.0) && qmtest::bits(a.theta()) == qmtest::bits(-0.0) &&
                qmtest::bits(a.phi()) == 0u);
    EXPECT_EQ(angles(DtDcm(-1, 0, 0, 0.0, -1, 0, 0, 0, 1)).psi(), kPi);
    EXPECT_NEAR(angles(DtDcm(0, 0.0, 1, 0, 0.5, 0, -1, 0, 0)).psi(), -std::acos(0.5), 1e-15);   // vertical: -m01
    a = angles(DtDcm(1, 0, 0, 0, 1, 0, std::nan(""), 0, 1));   // NaN pitch: on to step 4, all NaN
    EXPECT_TRUE(std::isnan(a.theta()) && std::isnan(a.phi()) && std::isnan(a.psi()));
}

TEST(CoordTransformTest, PointsVectorsAnglesAndInverse)
{
    const DtCoordTransform identity;
    DtVector64 out;
    identity.coordTrans(DtVector64(1, -2, 3), out);
    EXPECT_TRUE(out == DtVector64(1, -2, 3) && identity.offset() == DtVector64::zero() &&
                identity.rotation()[1] == DtVector64(0, 1, 0));
    DtTaitBryan a;
    identity.eulerTrans(DtTaitBryan(0.1, 0.2, 0.3), &a);
    EXPECT_TRUE(near(a, 0.1, 0.2, 0.3, 1e-13));   // acos-based extraction

    DtCoordTransform t(DtVector64(1, 0, 0), DtDcm(0, 1, 0, -1, 0, 0, 0, 0, 1));
    DtVector64 p(1, 1, 0);
    t.coordTrans(p, p);   // in place
    EXPECT_EQ(p, DtVector64(1, 0, 0));
    t.vecTrans(DtVector64(1, 1, 0), out);
    DtVector32 f;
    t.vecTrans(DtVector32(1, 1, 0), f);
    EXPECT_TRUE(out == DtVector64(1, -1, 0) && f == DtVector32(1, -1, 0));
    DtVector64 off;
    DtDcm rot;
    t.getOffset(off);
    t.getOrientation(rot);
    EXPECT_TRUE(off == DtVector64(1, 0, 0) && rot[1] == DtVector64(-1, 0, 0));

    std::mt19937 gen(9);
    std::uniform_real_distribution<double> u(-3, 3);
    for (int n = 0; n < 100; ++n) {
        DtTbToMat(DtTaitBryan(u(gen), u(gen) / 2, u(gen)), rot);
        const DtCoordTransform tr(DtVector64(u(gen) * 1e6, u(gen) * 1e6, u(gen) * 1e6), rot);
        DtCoordTransform inv, self = tr;
        inv.setByInverse(tr);
        self.setByInverse(self);   // in place
        const DtVector64 q(u(gen) * 1e6, u(gen), u(gen));
        DtVector64 there, back, backSelf;
        tr.coordTrans(q, there);
        inv.coordTrans(there, back);
        self.coordTrans(there, backSelf);
        EXPECT_TRUE(back.approxEq(q, 1e-8) && back == backSelf);
    }

    DtCoordTranslation shift(DtVector64(1, 2, 3)), undo;
    shift.coordTrans(DtVector64(1, 2, 3), out);
    EXPECT_EQ(out, DtVector64::zero());
    undo.setByInverse(shift);
    undo.coordTrans(DtVector64::zero(), out);
    EXPECT_EQ(out, DtVector64(1, 2, 3));
    shift.setByInverse(shift);
    shift.getOffset(off);
    EXPECT_TRUE(off == DtVector64(-1, -2, -3) && DtCoordTranslation().offset() == DtVector64::zero());
}
