// Coordinate transforms and translations.
#include "testSupport.h"

#include <coordTransform.h>
#include <coordTranslation.h>
#include <qvTaitBryan.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace Vorant;

TEST(CoordTransformTest, DefaultIsTheIdentity)
{
    const DtCoordTransform t;
    EXPECT_EQ(t.offset(), DtVector64::zero());
    const DtDcm rot = t.rotation();
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(rot[r], DtDcm::identity()[r]);
    DtVector64 out;
    t.coordTrans(DtVector64(1, -2, 3), out);
    EXPECT_EQ(out, DtVector64(1, -2, 3));
    DtVector32 f;
    t.vecTrans(DtVector32(1, 2, 3), f);
    EXPECT_EQ(f, DtVector32(1, 2, 3));
    DtTaitBryan a;
    t.eulerTrans(DtTaitBryan(0.1, 0.2, 0.3), &a);
    EXPECT_NEAR(a.psi(), 0.1, 1e-13);   // acos-based extraction
    EXPECT_NEAR(a.theta(), 0.2, 1e-13);
    EXPECT_NEAR(a.phi(), 0.3, 1e-13);
}

TEST(CoordTransformTest, OffsetThenRotation)
{
    const DtDcm frameRot(0, 1, 0, -1, 0, 0, 0, 0, 1);
    DtCoordTransform t(DtVector64(1, 0, 0), frameRot);
    DtVector64 p(1, 1, 0);
    t.coordTrans(p, p);   // in place
    EXPECT_EQ(p, DtVector64(1, 0, 0));
    DtVector64 v;
    t.vecTrans(DtVector64(1, 1, 0), v);
    EXPECT_EQ(v, DtVector64(1, -1, 0));

    DtVector64 off;
    DtDcm rot;
    t.getOffset(off);
    t.getOrientation(rot);
    EXPECT_EQ(off, DtVector64(1, 0, 0));
    EXPECT_EQ(rot[1], frameRot[1]);
    t.setOffset(DtVector64(0, 0, 5));
    t.setRotation(DtDcm::identity());
    t.coordTrans(DtVector64(0, 0, 5), p);
    EXPECT_EQ(p, DtVector64::zero());
}

TEST(CoordTransformTest, InverseUndoesTheTransformAlsoInPlace)
{
    std::mt19937 gen(9);
    std::uniform_real_distribution<double> u(-3, 3);
    for (int n = 0; n < 100; ++n) {
        DtDcm rot;
        DtTbToMat(DtTaitBryan(u(gen), u(gen) / 2, u(gen)), rot);
        const DtCoordTransform t(DtVector64(u(gen) * 1e6, u(gen) * 1e6, u(gen) * 1e6), rot);
        DtCoordTransform inv;
        inv.setByInverse(t);
        DtCoordTransform self = t;
        self.setByInverse(self);
        const DtVector64 p(u(gen) * 1e6, u(gen), u(gen));
        DtVector64 q, back, backSelf;
        t.coordTrans(p, q);
        inv.coordTrans(q, back);
        self.coordTrans(q, backSelf);
        EXPECT_TRUE(back.approxEq(p, 1e-8)) << n;
        EXPECT_EQ(back, backSelf);
        // The inverse of the inverse is the original transform.
        DtCoordTransform again;
        again.setByInverse(inv);
        EXPECT_TRUE(again.offset().approxEq(t.offset(), 1e-8));
    }
}

TEST(CoordTranslationTest, SubtractsAndInverts)
{
    DtCoordTranslation t(DtVector64(1, 2, 3));
    DtVector64 out;
    t.coordTrans(DtVector64(1, 2, 3), out);
    EXPECT_EQ(out, DtVector64::zero());
    DtCoordTranslation inv;
    inv.setByInverse(t);
    inv.coordTrans(DtVector64::zero(), out);
    EXPECT_EQ(out, DtVector64(1, 2, 3));
    t.setByInverse(t);
    EXPECT_EQ(t.offset(), DtVector64(-1, -2, -3));
    DtVector64 off;
    t.getOffset(off);
    EXPECT_EQ(off, DtVector64(-1, -2, -3));
    DtVector64 p(5, 5, 5);
    t.coordTrans(p, p);
    EXPECT_EQ(p, DtVector64(6, 7, 8));
    EXPECT_EQ(DtCoordTranslation().offset(), DtVector64::zero());
}
