// Quaternions and their conversions.
#include "testSupport.h"

#include <qvDcm.h>
#include <qvQuaternion.h>
#include <qvTaitBryan.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

using namespace Vorant;

namespace {

const double kPi = 3.141592653589793;

void expectQuat(const DtQuaternion& q, double w, double x, double y, double z, double tol)
{
    EXPECT_NEAR(q.w(), w, tol);
    EXPECT_NEAR(q.x(), x, tol);
    EXPECT_NEAR(q.y(), y, tol);
    EXPECT_NEAR(q.z(), z, tol);
}

}  // namespace

TEST(QuaternionTest, ValuesAndTextForms)
{
    const DtQuaternion zero;
    expectQuat(zero, 0, 0, 0, 0, 0);
    DtQuaternion q(1, 2, 3, 4);
    DtQuaternion copy(q);
    copy = copy;
    expectQuat(copy, 1, 2, 3, 4, 0);

    EXPECT_STREQ(DtQuaternion(1, 0, 0, 0).string(), "[1.000000, 0.000000, 0.000000, 0.000000]");
    EXPECT_STREQ(DtQuaternion(-0.5, 0.25, 1e-7, 2).string(), "[-0.500000, 0.250000, 0.000000, 2.000000]");
    std::ostringstream os;
    os << DtQuaternion(1, 0.5, -2, 0) << "|";
    EXPECT_EQ(os.str(), "[ w=1 x= 0.5 y= -2 z= 0 ]|");

    qmtest::Capture capture(DtInfo);
    DtQuaternionDump(&q);
    EXPECT_EQ(capture.text(), "[1.000000, 2.000000, 3.000000, 4.000000]\n");
}

TEST(QuaternionTest, ConversionsAgreeWithTheAngleConventions)
{
    const DtQuaternion identity(DtTaitBryan(0, 0, 0));
    expectQuat(identity, 1, 0, 0, 0, 0);
    const DtDcm idm(identity);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(idm[r], DtDcm::identity()[r]);
    // The zero quaternion gives the identity matrix although it is no rotation.
    const DtDcm zm{DtQuaternion()};
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(zm[r], DtDcm::identity()[r]);

    // Heading alone: rotation about z by psi has w = cos(psi/2), z = sin(psi/2).
    expectQuat(DtQuaternion(DtTaitBryan(0.8, 0, 0)), std::cos(0.4), 0, 0, std::sin(0.4), 1e-16);
    expectQuat(DtQuaternion(DtTaitBryan(0, 0, 0.8)), std::cos(0.4), std::sin(0.4), 0, 0, 1e-16);
    expectQuat(DtQuaternion(DtTaitBryan(0, 0.8, 0)), std::cos(0.4), 0, std::sin(0.4), 0, 1e-16);

    std::mt19937 gen(21);
    std::uniform_real_distribution<double> angle(-kPi, kPi);
    std::uniform_real_distribution<double> pitch(-1.55, 1.55);
    for (int n = 0; n < 500; ++n) {
        const DtTaitBryan a(angle(gen), pitch(gen), angle(gen));
        const DtQuaternion q(a);
        EXPECT_NEAR(q.w() * q.w() + q.x() * q.x() + q.y() * q.y() + q.z() * q.z(), 1.0, 1e-15);

        // The matrix of the quaternion is the transpose of the angles' matrix.
        DtDcm fromQuat, fromAngles;
        DtDcmFromQuaternion(fromQuat, &q);
        DtTbToMat(a, fromAngles);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(fromQuat[r][c], fromAngles[c][r], 1e-15);
        const DtDcm viaCtor(q);
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(viaCtor[r], fromQuat[r]);

        const DtTaitBryan back(q);
        EXPECT_NEAR(back.psi(), a.psi(), 1e-6);
        EXPECT_NEAR(back.theta(), a.theta(), 1e-12);
        EXPECT_NEAR(back.phi(), a.phi(), 1e-6);
    }
}

TEST(QuaternionTest, ProductComposesRotationsAndIsAliasSafe)
{
    const DtQuaternion i(0, 1, 0, 0), j(0, 0, 1, 0), k(0, 0, 0, 1);
    DtQuaternion r;
    DtQuatQuatMul(&r, &i, &j);
    expectQuat(r, 0, 0, 0, 1, 0);
    DtQuatQuatMul(&r, &j, &i);
    expectQuat(r, 0, 0, 0, -1, 0);
    DtQuatQuatMul(&r, &k, &k);
    expectQuat(r, -1, 0, 0, 0, 0);

    std::mt19937 gen(8);
    std::uniform_real_distribution<double> u(-2, 2);
    for (int n = 0; n < 100; ++n) {
        const DtQuaternion a(DtTaitBryan(u(gen), u(gen) / 2, u(gen)));
        const DtQuaternion b(DtTaitBryan(u(gen), u(gen) / 2, u(gen)));
        DtQuaternion ab;
        DtQuatQuatMul(&ab, &a, &b);
        // Hamilton product as scalar and vector parts.
        const DtVector64 av(a.x(), a.y(), a.z()), bv(b.x(), b.y(), b.z());
        const DtVector64 cross = av.crossProduct(bv);
        expectQuat(ab, a.w() * b.w() - av.dotProduct(bv), a.w() * b.x() + b.w() * a.x() + cross.x(),
                   a.w() * b.y() + b.w() * a.y() + cross.y(), a.w() * b.z() + b.w() * a.z() + cross.z(), 1e-15);
        // Reference-to-body matrices compose in reverse order.
        DtDcm ma(a), mb(b), mab(ab), prod;
        DtDcmDcmMul(mb, ma, prod);
        for (int rr = 0; rr < 3; ++rr)
            EXPECT_TRUE(mab[rr].approxEq(prod[rr], 1e-14));

        DtQuaternion x = a;
        DtQuatQuatMul(&x, &x, &b);
        expectQuat(x, ab.w(), ab.x(), ab.y(), ab.z(), 0);
        DtQuaternion y = b;
        DtQuatQuatMul(&y, &a, &y);
        expectQuat(y, ab.w(), ab.x(), ab.y(), ab.z(), 0);
        DtQuaternion sq, self = a;
        DtQuatQuatMul(&sq, &a, &a);
        DtQuatQuatMul(&self, &self, &self);
        expectQuat(self, sq.w(), sq.x(), sq.y(), sq.z(), 0);
    }

    DtQuaternion q(1, -2, 3, 0.5), out;
    DtQuatScale(&out, &q, 2.0);
    expectQuat(out, 2, -4, 6, 1, 0);
    DtQuatScale(&q, &q, 0.0);
    expectQuat(q, 0, 0, 0, 0, 0);
}
