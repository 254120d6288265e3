// DtDcm and the matrix algebra.
#include "testSupport.h"

#include <qvDcm.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <type_traits>

using namespace Vorant;

namespace {

DtDcm sample(std::mt19937& gen)
{
    std::uniform_real_distribution<double> u(-2.0, 2.0);
    DtDcm m;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[r][c] = u(gen);
    return m;
}

bool sameBits(const DtDcm& a, const DtDcm& b)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (qmtest::bits(a[r][c]) != qmtest::bits(b[r][c]))
                return false;
    return true;
}

void expectNear(const DtDcm& a, const DtDcm& b, double tol)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(a[r][c], b[r][c], tol) << "element " << r << "," << c;
}

}  // namespace

TEST(DcmTest, LayoutConstructionAndSharedMatrices)
{
    static_assert(sizeof(DtDcm) == 9 * sizeof(double), "nine doubles");
    static_assert(std::is_standard_layout<DtDcm>::value, "standard layout");
    static_assert(std::is_trivially_copyable<DtDcm>::value, "plain value");

    const DtDcm m(1, 2, 3, 4, 5, 6, 7, 8, 9);
    const double* p = m[0];
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(p[i], i + 1.0);   // one row-major block
    EXPECT_EQ(m[2], DtVector64(7, 8, 9));

    DtDcm z;
    EXPECT_TRUE(sameBits(z, DtDcm::zero()));
    DtDcm id;
    DtDcmIdentInit(id);
    EXPECT_TRUE(sameBits(id, DtDcm::identity()));
    EXPECT_TRUE(sameBits(DtDcm::identity(), DtDcm(1, 0, 0, 0, 1, 0, 0, 0, 1)));
    EXPECT_EQ(&DtDcm::zero(), &DtDcm::zero());
    EXPECT_EQ(&DtDcm::identity(), &DtDcm::identity());

    DtDcm n(m);
    DtDcmInit(n);
    EXPECT_TRUE(sameBits(n, DtDcm::zero()));
    n = m;
    n = n;
    EXPECT_TRUE(sameBits(n, m));
}

TEST(DcmTest, LeviCivitaTableHasTheNegatedSigns)
{
    int nonZero = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) {
                const bool distinct = i != j && j != k && i != k;
                if (!distinct) {
                    EXPECT_EQ(DtLevi_Civita[i][j][k], 0.0);
                    continue;
                }
                ++nonZero;
                // Even permutations of (0, 1, 2) carry -1 here.
                const bool even = (i == 0 && j == 1) || (i == 1 && j == 2) || (i == 2 && j == 0);
                EXPECT_EQ(DtLevi_Civita[i][j][k], even ? -1.0 : 1.0) << i << j << k;
            }
    EXPECT_EQ(nonZero, 6);
    EXPECT_EQ((&DtLevi_Civita[0][0][0])[9 * 0 + 3 * 1 + 2], -1.0);
    // Writable.
    DtLevi_Civita[0][0][0] = 5.0;
    EXPECT_EQ(DtLevi_Civita[0][0][0], 5.0);
    DtLevi_Civita[0][0][0] = 0.0;
}

TEST(DcmTest, ProductsAgainstIndependentValuesAndAliasing)
{
    const DtDcm a(1, 2, 3, 4, 5, 6, 7, 8, 10);
    const DtDcm b(-1, 0, 2, 3, 1, -2, 0.5, 4, 1);
    DtDcm c;
    DtDcmDcmMul(a, b, c);
    EXPECT_TRUE(sameBits(c, DtDcm(6.5, 14, 1, 14, 29, 4, 22, 48, 8)));

    std::mt19937 gen(7);
    for (int n = 0; n < 50; ++n) {
        const DtDcm x = sample(gen), y = sample(gen);
        DtDcm ref;
        DtDcmDcmMul(x, y, ref);
        DtDcm xa = x;
        DtDcmDcmMul(xa, y, xa);
        EXPECT_TRUE(sameBits(xa, ref));
        DtDcm ya = y;
        DtDcmDcmMul(x, ya, ya);
        EXPECT_TRUE(sameBits(ya, ref));
        DtDcm sq = x, sqRef;
        DtDcmDcmMul(x, x, sqRef);
        DtDcmDcmMul(sq, sq, sq);
        EXPECT_TRUE(sameBits(sq, sqRef));

        // DtMM_Mult agrees with transposes and products, in place too.
        DtDcm xt, yt, t1, t2;
        DtDcmTranspose(x, xt);
        DtDcmTranspose(y, yt);
        const DtDcm* lefts[4] = {&x, &xt, &x, &xt};
        const DtDcm* rights[4] = {&y, &y, &yt, &yt};
        for (int f = 0; f < 4; ++f) {
            DtDcmDcmMul(*lefts[f], *rights[f], t1);
            const double trace = DtMM_Mult(x, y, t2, static_cast<generic_mm_multflag>(f));
            EXPECT_TRUE(sameBits(t1, t2)) << "flag " << f;
            EXPECT_EQ(trace, (0.0 + t2[0][0] + t2[1][1]) + t2[2][2]);
            DtDcm inPlace = x;
            DtMM_Mult(inPlace, y, inPlace, static_cast<generic_mm_multflag>(f));
            EXPECT_TRUE(sameBits(inPlace, t1)) << "flag " << f;
        }
        DtDcm seven;
        DtMM_Mult(x, y, seven, static_cast<generic_mm_multflag>(7));
        DtMM_Mult(x, y, t2, DtMM_AtBt);
        EXPECT_TRUE(sameBits(seven, t2));

        // Transpose in place.
        DtDcm tr = x;
        DtDcmTranspose(tr, tr);
        EXPECT_TRUE(sameBits(tr, xt));

        // Sum, difference and scale, in place.
        DtDcm s = x;
        DtDcmAdd(s, y, s);
        DtDcmSub(s, y, s);
        expectNear(s, x, 1e-15);
        DtDcm sc = x;
        DtDcmScale(sc, -0.5, sc);
        EXPECT_EQ(sc[2][1], x[2][1] * -0.5);
    }
}

TEST(DcmTest, MatrixVectorProducts)
{
    const DtDcm m(1, 2, 3, 4, 5, 6, 7, 8, 10);
    DtVector64 v(1, -1, 2);
    DtDcmVecMul(m, v, v);
    EXPECT_EQ(v, DtVector64(5, 11, 19));
    // float: double arithmetic on widened components, then one rounding.
    const DtDcm r(0.1, 0.2, 0.3, -0.4, 0.5, 0.6, 0.7, 0.8, -0.9);
    DtVector32 f(0.3f, 1.7f, -2.2f);
    const DtVector32 f0 = f;
    DtDcmVecMul(r, f, f);
    DtVector64 d;
    DtDcmVecMul(r, DtVector32To64(f0), d);
    EXPECT_BITEQ(f.x(), float(d.x()));
    EXPECT_BITEQ(f.y(), float(d.y()));
    EXPECT_BITEQ(f.z(), float(d.z()));
}

TEST(DcmTest, DeterminantAdjugateInverse)
{
    const DtDcm a(2, -1, 0, -1, 2, -1, 0, -1, 2);
    EXPECT_EQ(DtDcmDeterminant(a), 4.0);
    EXPECT_EQ(DtDcmDeterminant(DtDcm::identity()), 1.0);
    EXPECT_EQ(DtDcmDeterminant(DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 9)), 0.0);

    DtDcm inv;
    DtDcmInverse(a, inv);
    expectNear(inv, DtDcm(0.75, 0.5, 0.25, 0.5, 1.0, 0.5, 0.25, 0.5, 0.75), 1e-15);

    DtDcmInverse(DtDcm::identity(), inv);
    expectNear(inv, DtDcm::identity(), 0.0);   // off-diagonal cofactors are -0
    DtDcmInverse(DtDcm::zero(), inv);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_FALSE(std::isfinite(inv[r][c]));

    // The cofactor matrix of a rotation is the rotation itself.
    const DtDcm rz(0, 1, 0, -1, 0, 0, 0, 0, 1);
    DtDcm adj;
    DtDcmAdjugate(rz, adj);
    expectNear(adj, rz, 0.0);

    std::mt19937 gen(11);
    for (int n = 0; n < 50; ++n) {
        const DtDcm x = sample(gen);
        DtDcmInverse(x, inv);
        DtDcm prod;
        DtDcmDcmMul(inv, x, prod);
        const double scale = std::fabs(1.0 / DtDcmDeterminant(x)) * 20;
        expectNear(prod, DtDcm::identity(), 1e-13 * (1 + scale));
        // det(A B) = det A det B
        const DtDcm y = sample(gen);
        DtDcm xy;
        DtDcmDcmMul(x, y, xy);
        EXPECT_NEAR(DtDcmDeterminant(xy), DtDcmDeterminant(x) * DtDcmDeterminant(y), 1e-12);
    }
}

TEST(DcmTest, InitSymmetricCrossAndOrthonormality)
{
    const DtDcm src(2, 7, 8, 9, 3, 10, 11, 12, 4);
    DtDcm dst;
    DtM_Init(src, dst, 1);
    EXPECT_TRUE(sameBits(dst, DtDcm(1, 7, 8, 9, 1, 10, 11, 12, 1)));
    DtM_Init(src, dst, 0);
    EXPECT_TRUE(sameBits(dst, src));
    DtDcm self = src;
    DtM_Init(self, self, -3);
    EXPECT_TRUE(sameBits(self, DtDcm(1, 7, 8, 9, 1, 10, 11, 12, 1)));

    DtDcm sym;
    DtSetSym(sym, 1, 2, 3, 4, 5, 6);
    EXPECT_TRUE(sameBits(sym, DtDcm(1, 2, 3, 2, 4, 5, 3, 5, 6)));

    // The cross matrix reproduces the cross product.
    const DtVector64 v(0.3, -1.1, 2.5), x(4, 0.5, -3);
    DtDcm cross;
    DtCreateCross(v, cross);
    DtVector64 mx, vx;
    DtDcmVecMul(cross, x, mx);
    DtVecCrossProd(v, x, vx);
    EXPECT_TRUE(mx.approxEq(vx, 1e-15));
    DtCreateCross(DtVector32(0.1f, 0, 0), cross);
    EXPECT_BITEQ(cross[1][2], double(-0.1f));
    EXPECT_BITEQ(cross[0][0], 0.0);

    EXPECT_TRUE(DtDcm::identity().isOrthonormal());
    const double h = 1 / std::sqrt(2.0);
    EXPECT_TRUE(DtDcm(h, h, 0, h, 0, h, 0, h, h).isOrthonormal());   // not orthogonal, still passes
    EXPECT_FALSE(DtDcm(2, 0, 0, 0, 2, 0, 0, 0, 2).isOrthonormal());
    const double e = std::sqrt(1 + 5e-7);
    EXPECT_TRUE(DtDcm(e, 0, 0, 0, e, 0, 0, 0, e).isOrthonormal());
    // Rows of unit length but a column that is not.
    EXPECT_FALSE(DtDcm(1, 0, 0, 1, 0, 0, 0, 0, 1).isOrthonormal());
    EXPECT_TRUE(DtDcmCheck(DtDcm(0, 1, 0, -1, 0, 0, 0, 0, 1)));
    EXPECT_FALSE(DtDcmCheck(DtDcm::zero()));
}

TEST(DcmTest, TextOutputOnInfo)
{
    {
        qmtest::Capture capture(DtInfo);
        DtDcmDump("M", DtDcm::identity());
        EXPECT_EQ(capture.text(), "M\n1.000000 0.000000 0.000000\n0.000000 1.000000 0.000000\n0.000000 0.000000 1.000000\n");
    }
    {
        qmtest::Capture capture(DtInfo);
        DtDcm(1, 2.5, -3, 0, 0, 0, 1e-7, 0, 1).print();
        EXPECT_EQ(capture.text(), "{1.000000, 2.500000, -3.000000}\n{0.000000, 0.000000, 0.000000}\n"
                                  "{0.000000, 0.000000, 1.000000}\n");
    }
}
