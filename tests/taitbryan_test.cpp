// Tait-Bryan angles and their conversions.
#include "testSupport.h"

#include <qvDcm.h>
#include <qvTaitBryan.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>

using namespace Vorant;

namespace {

const double kPi = 3.141592653589793;

// Vector rotation about one axis, built independently of the library.
DtDcm rotation(int axis, double a)
{
    const double c = std::cos(a), s = std::sin(a);
    switch (axis) {
    case 0:
        return DtDcm(1, 0, 0, 0, c, -s, 0, s, c);
    case 1:
        return DtDcm(c, 0, s, 0, 1, 0, -s, 0, c);
    default:
        return DtDcm(c, -s, 0, s, c, 0, 0, 0, 1);
    }
}

DtDcm product(const DtDcm& a, const DtDcm& b)
{
    DtDcm r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return r;
}

void expectAngles(const DtTaitBryan& got, double psi, double theta, double phi, double tol)
{
    EXPECT_NEAR(got.psi(), psi, tol);
    EXPECT_NEAR(got.theta(), theta, tol);
    EXPECT_NEAR(got.phi(), phi, tol);
}

}  // namespace

TEST(TaitBryanTest, ValueAndTextForm)
{
    DtTaitBryan a;
    EXPECT_EQ(a.psi(), 0.0);
    EXPECT_EQ(a.theta(), 0.0);
    EXPECT_EQ(a.phi(), 0.0);
    a.setPsi(7.0);   // stored as given
    a.setTheta(-4.0);
    a.setPhi(100.0);
    EXPECT_EQ(a.psi(), 7.0);
    EXPECT_EQ(a.theta(), -4.0);
    EXPECT_EQ(a.phi(), 100.0);

    std::ostringstream os;
    DtTaitBryan().printDataToStream(os);
    EXPECT_EQ(os.str(), "[ Psi= 0 Theta= 0 Phi= 0 ]");
    std::ostringstream os2;
    os2.precision(3);
    os2 << DtTaitBryan(1.23456, -0.5, 3) << "|";
    EXPECT_EQ(os2.str(), "[ Psi= 1.23 Theta= -0.5 Phi= 3 ]|");
}

TEST(TaitBryanTest, MatrixIsTheComposedVectorRotation)
{
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> any(-kPi, kPi);
    for (int n = 0; n < 200; ++n) {
        const DtTaitBryan a(any(gen), any(gen) / 2, any(gen));
        DtDcm m;
        DtTbToMat(a, m);
        const DtDcm expected = product(product(rotation(2, a.psi()), rotation(1, a.theta())), rotation(0, a.phi()));
        for (int r = 0; r < 3; ++r)
            EXPECT_TRUE(m[r].approxEq(expected[r], 1e-15)) << n;
        EXPECT_TRUE(m.isOrthonormal());
        EXPECT_NEAR(DtDcmDeterminant(m), 1.0, 1e-14);

        const DtDcm viaCtor(a);
        DtDcm viaEuler;
        DtEuler_to_BodyToRef(a, viaEuler);
        for (int r = 0; r < 3; ++r) {
            EXPECT_EQ(viaCtor[r], m[r]);
            EXPECT_EQ(viaEuler[r], m[r]);
        }
        DtDcm refToBody;
        DtEuler_to_RefToBody(a, refToBody);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(refToBody[r][c], m[c][r]);
    }
    // A body x axis rotated by heading 90 degrees points along reference y.
    DtDcm m;
    DtTbToMat(DtTaitBryan(kPi / 2, 0, 0), m);
    DtVector64 out;
    DtDcmVecMul(m, DtVector64(1, 0, 0), out);
    EXPECT_TRUE(out.approxEq(DtVector64(0, 1, 0), 1e-16));
}

TEST(TaitBryanTest, RoundTripsAwayFromVerticalPitch)
{
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> angle(-kPi, kPi);
    std::uniform_real_distribution<double> pitch(-89.9 * kPi / 180, 89.9 * kPi / 180);
    for (int n = 0; n < 1000; ++n) {
        const DtTaitBryan a(angle(gen), pitch(gen), angle(gen));
        DtDcm m;
        DtTbToMat(a, m);
        DtTaitBryan back;
        DtBodyToRef_to_Euler(m, &back);
        // acos near 0 and pi loses about sqrt(eps) of the angle.
        expectAngles(back, a.psi(), a.theta(), a.phi(), 5e-7);

        DtEuler_to_RefToBody(a, m);
        DtTaitBryan back2;
        DtRefToBody_to_Euler(m, &back2);
        EXPECT_EQ(back2.psi(), back.psi());
        EXPECT_EQ(back2.theta(), back.theta());
        EXPECT_EQ(back2.phi(), back.phi());

        DtTaitBryan same;
        DtEulerToEuler(a, DtDcm::identity(), &same);
        EXPECT_EQ(same.psi(), back.psi());
    }
    // Well inside the ranges the round trip is tight.
    DtDcm m;
    DtTbToMat(DtTaitBryan(0.7, -0.3, 1.9), m);
    DtTaitBryan back;
    DtBodyToRef_to_Euler(m, &back);
    expectAngles(back, 0.7, -0.3, 1.9, 1e-14);
}

TEST(TaitBryanTest, VerticalPitchAndItsThreshold)
{
    // Pitch up 90 degrees: roll is zero, the heading carries yaw minus roll.
    DtDcm m;
    DtTbToMat(DtTaitBryan(0.5, kPi / 2, 0.2), m);
    m[2][0] = -1.0;
    DtTaitBryan a;
    DtBodyToRef_to_Euler(m, &a);
    EXPECT_EQ(a.theta(), kPi / 2);
    EXPECT_BITEQ(a.phi(), 0.0);
    EXPECT_NEAR(a.psi(), 0.3, 1e-12);
    // A rounding error outside [-1, 1] is clamped, never NaN.
    m[2][0] = -1.0000000001;
    DtBodyToRef_to_Euler(m, &a);
    EXPECT_EQ(a.theta(), kPi / 2);
    m[2][0] = 1.0000000001;
    DtBodyToRef_to_Euler(m, &a);
    EXPECT_EQ(a.theta(), -kPi / 2);

    // Just below the 1e6 threshold of 1/cos(theta) the roll is still read;
    // just above it the roll is dropped.
    const double inside = kPi / 2 - 1.2e-6, beyond = kPi / 2 - 0.8e-6;
    DtTbToMat(DtTaitBryan(0.4, inside, 0.1), m);
    DtBodyToRef_to_Euler(m, &a);
    EXPECT_NE(a.phi(), 0.0);
    DtTbToMat(DtTaitBryan(0.4, beyond, 0.1), m);
    DtBodyToRef_to_Euler(m, &a);
    EXPECT_BITEQ(a.phi(), 0.0);
    EXPECT_NEAR(a.psi(), 0.3, 1e-5);
}

TEST(TaitBryanTest, SignsComeFromCopysignIncludingNegativeZero)
{
    DtTaitBryan a;
    DtDcm m(1, 0, 0, -0.0, 1, 0, 0, 0, 1);   // m00 k = 1, m10 = -0
    DtBodyToRef_to_Euler(m, &a);
    EXPECT_BITEQ(a.psi(), -0.0);
    EXPECT_BITEQ(a.theta(), -0.0);   // asin(-m20) with m20 = +0
    EXPECT_BITEQ(a.phi(), 0.0);

    DtDcm flip(-1, 0, 0, 0.0, -1, 0, 0, 0, 1);   // m00 k = -1, m10 = +0
    DtBodyToRef_to_Euler(flip, &a);
    EXPECT_EQ(a.psi(), kPi);

    // Vertical branch: the sign source is -m01, so m01 = +0 gives a negative angle.
    DtDcm vertical(0, 0.0, 1, 0, 0.5, 0, -1, 0, 0);
    DtBodyToRef_to_Euler(vertical, &a);
    EXPECT_LT(a.psi(), 0.0);
    EXPECT_NEAR(a.psi(), -std::acos(0.5), 1e-15);

    // A NaN pitch skips the vertical branch and gives NaN angles.
    DtDcm nan(1, 0, 0, 0, 1, 0, std::numeric_limits<double>::quiet_NaN(), 0, 1);
    DtBodyToRef_to_Euler(nan, &a);
    EXPECT_TRUE(std::isnan(a.theta()));
    EXPECT_TRUE(std::isnan(a.phi()));
    EXPECT_TRUE(std::isnan(a.psi()));
}

TEST(TaitBryanTest, EulerToEulerReexpressesInAnotherFrame)
{
    // Frame G is frame F turned by 30 degrees of heading: r maps F into G.
    const double turn = kPi / 6;
    DtDcm r;
    DtTbToMat(DtTaitBryan(turn, 0, 0), r);
    DtTaitBryan out;
    DtEulerToEuler(DtTaitBryan(0.2, 0.3, -0.4), r, &out);
    expectAngles(out, 0.2 + turn, 0.3, -0.4, 1e-12);
}
