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
        m[r].setAll(u(gen), u(gen), u(gen));
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

bool near(const DtDcm& a, const DtDcm& b, double tol)
{
    return a[0].approxEq(b[0], tol) && a[1].approxEq(b[1], tol) && a[2].approxEq(b[2], tol);
}

}  // namespace

TEST(DcmTest, LayoutSharedMatricesAndLeviCivita)
{
    static_assert(sizeof(DtDcm) == 9 * sizeof(double) && std::is_standard_layout<DtDcm>::value &&
                      std::is_trivially_copyable<DtDcm>::value, "a plain block of nine doubles");
    const DtDcm m(1, 2, 3, 4, 5, 6, 7, 8, 9);
    const double* p = m[0];
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(p[i], i + 1.0);   // row-major
    DtDcm id, z(m);
    DtDcmIdentInit(id);
    DtDcmInit(z);
    EXPECT_TRUE(sameBits(id, DtDcm::identity()) && sameBits(z, DtDcm::zero()) &&
                sameBits(DtDcm::identity(), DtDcm(1, 0, 0, 0, 1, 0, 0, 0, 1)) && sameBits(DtDcm(), DtDcm::zero()));
    EXPECT_TRUE(&DtDcm::zero() == &DtDcm::zero() && &DtDcm::identity() == &DtDcm::identity());

    int nonZero = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) {
                const bool even = (i == 0 && j == 1 && k == 2) || (i == 1 && j == 2 && k == 0) || (i == 2 && j == 0 && k == 1);
                const bool odd = (i == 0 && j == 2 && k == 1) || (i == 1 && j == 0 && k == 2) || (i == 2 && j == 1 && k == 0);
                EXPECT_EQ(DtLevi_Civita[i][j][k], even ? -1.0 : odd ? 1.0 : 0.0) << i << j << k;   // negated signs
                nonZero += even || odd;
            }
    EXPECT_EQ(nonZero, 6);
    DtLevi_Civita[0][0][0] = 5.0;   // writable
    EXPECT_EQ(DtLevi_Civita[0][0][0], 5.0);
    DtLevi_Civita[0][0][0] = 0.0;
}

TEST(DcmTest, ProductsAgainstKnownValuesAndAliasing)
{
    DtDcm c;
    DtDcmDcmMul(DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 10), DtDcm(-1, 0, 2, 3, 1, -2, 0.5, 4, 1), c);
    EXPECT_TRUE(sameBits(c, DtDcm(6.5, 14, 1, 14, 29, 4, 22, 48, 8)));
    DtVector64 v(1, -1, 2);
    DtDcmVecMul(DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 10), v, v);
    EXPECT_EQ(v, DtVector64(5, 11, 19));
    // float: double arithmetic on widened components, then one rounding.
    const DtDcm r(0.1, 0.2, 0.3, -0.4, 0.5, 0.6, 0.7, 0.8, -0.9);
    DtVector32 f(0.3f, 1.7f, -2.2f);
    DtVector64 d;
    DtDcmVecMul(r, DtVector32To64(f), d);
    DtDcmVecMul(r, f, f);
    EXPECT_EQ(f, DtVector64To32(d));

    std::mt19937 gen(7);
    for (int n = 0; n < 50; ++n) {
        const DtDcm x = sample(gen), y = sample(gen);
        DtDcm ref, xa = x, ya = y, sq = x, sqRef;
        DtDcmDcmMul(x, y, ref);
        DtDcmDcmMul(xa, y, xa);
        DtDcmDcmMul(x, ya, ya);
        DtDcmDcmMul(x, x, sqRef);
        DtDcmDcmMul(sq, sq, sq);
        EXPECT_TRUE(sameBits(xa, ref) && sameBits(ya, ref) && sameBits(sq, sqRef));

        // DtMM_Mult against transposes and products, in place too; it
        // returns the trace, and any unknown flag acts as A^T B^T.
        DtDcm xt, yt, t1, t2, tr = x;
        DtDcmTranspose(x, xt);
        DtDcmTranspose(tr, tr);
        EXPECT_TRUE(sameBits(tr, xt));
        DtDcmTranspose(y, yt);
        const DtDcm* lefts[4] = {&x, &xt, &x, &xt};
        const DtDcm* rights[4] = {&y, &y, &yt, &yt};
        for (int flag = 0; flag < 4; ++flag) {
            DtDcmDcmMul(*lefts[flag], *rights[flag], t1);
            const double trace = DtMM_Mult(x, y, t2, generic_mm_multflag(flag));
            DtDcm inPlace = x;
            DtMM_Mult(inPlace, y, inPlace, generic_mm_multflag(flag));
            EXPECT_TRUE(sameBits(t1, t2) && sameBits(inPlace, t1) && trace == (0.0 + t2[0][0] + t2[1][1]) + t2[2][2]);
        }
        DtMM_Mult(x, y, t2, generic_mm_multflag(7));
        EXPECT_TRUE(sameBits(t2, t1));

        DtDcm s = x;
        DtDcmAdd(s, y, s);
        DtDcmSub(s, y, s);
        EXPECT_TRUE(near(s, x, 1e-15));
        DtDcmScale(s, -0.5, s);
        EXPECT_EQ(s[2][1], (x[2][1] + y[2][1] - y[2][1]) * -0.5);
    }
}

TEST(DcmTest, DeterminantAdjugateInverse)
{
    const DtDcm a(2, -1, 0, -1, 2, -1, 0, -1, 2);
    EXPECT_EQ(DtDcmDeterminant(a), 4.0);
    EXPECT_EQ(DtDcmDeterminant(DtDcm(1, 2, 3, 4, 5, 6, 7, 8, 9)), 0.0);
    DtDcm inv;
    DtDcmInverse(a, inv);
    EXPECT_TRUE(near(inv, DtDcm(0.75, 0.5, 0.25, 0.5, 1.0, 0.5, 0.25, 0.5, 0.75), 1e-15));
    DtDcmInverse(DtDcm::identity(), inv);
    EXPECT_TRUE(near(inv, DtDcm::identity(), 0.0));   // off-diagonal cofactors are -0
    DtDcmInverse(DtDcm::zero(), inv);
    for (int r = 0; r < 3; ++r)
        EXPECT_TRUE(!std::isfinite(inv[r][0]) && !std::isfinite(inv[r][2]));
    // The cofactor matrix of a rotation is the rotation itself.
    const DtDcm rz(0, 1, 0, -1, 0, 0, 0, 0, 1);
    DtDcm adj;
    DtDcmAdjugate(rz, adj);
    EXPECT_TRUE(near(adj, rz, 0.0));

    std::mt19937 gen(11);
    for (int n = 0; n < 50; ++n) {
        const DtDcm x = sample(gen), y = sample(gen);
        DtDcm prod, xy;
        DtDcmInverse(x, inv);
        DtDcmDcmMul(inv, x, prod);
        EXPECT_TRUE(near(prod, DtDcm::identity(), 1e-13 * (1 + 20 / std::fabs(DtDcmDeterminant(x)))));
        DtDcmDcmMul(x, y, xy);
        EXPECT_NEAR(DtDcmDeterminant(xy), DtDcmDeterminant(x) * DtDcmDeterminant(y), 1e-12);
    }
}

TEST(DcmTest, InitSymmetricCrossOrthonormalityAndText)
{
    const DtDcm src(2, 7, 8, 9, 3, 10, 11, 12, 4);
    DtDcm dst, self = src;
    DtM_Init(src, dst, 0);
    EXPECT_TRUE(sameBits(dst, src));
    DtM_Init(self, self, -3);
    EXPECT_TRUE(sameBits(self, DtDcm(1, 7, 8, 9, 1, 10, 11, 12, 1)));
    DtDcm sym;
    DtSetSym(sym, 1, 2, 3, 4, 5, 6);
    EXPECT_TRUE(sameBits(sym, DtDcm(1, 2, 3, 2, 4, 5, 3, 5, 6)));

    const DtVector64 v(0.3, -1.1, 2.5), x(4, 0.5, -3);
    DtDcm cross;
    DtCreateCross(v, cross);
    DtVector64 mx;
    DtDcmVecMul(cross, x, mx);
    EXPECT_TRUE(mx.approxEq(v.crossProduct(x), 1e-15));
    DtCreateCross(DtVector32(0.1f, 0, 0), cross);
    EXPECT_TRUE(qmtest::bits(cross[1][2]) == qmtest::bits(double(-0.1f)) && qmtest::bits(cross[0][0]) == 0u);

    const double h = 1 / std::sqrt(2.0), e = std::sqrt(1 + 5e-7);
    EXPECT_TRUE(DtDcm(h, h, 0, h, 0, h, 0, h, h).isOrthonormal());   // not orthogonal, still passes
    EXPECT_TRUE(DtDcm(e, 0, 0, 0, e, 0, 0, 0, e).isOrthonormal());
    EXPECT_FALSE(DtDcm(2, 0, 0, 0, 2, 0, 0, 0, 2).isOrthonormal());
    EXPECT_FALSE(DtDcm(1, 0, 0, 1, 0, 0, 0, 0, 1).isOrthonormal());   // unit rows, a column of length 0
    EXPECT_TRUE(DtDcmCheck(DtDcm(0, 1, 0, -1, 0, 0, 0, 0, 1)));
    EXPECT_FALSE(DtDcmCheck(DtDcm::zero()));

    qmtest::Capture capture(DtInfo);
    DtDcmDump("M", DtDcm::identity());
    DtDcm(1, 2.5, -3, 0, 0, 0, 1e-7, 0, 1).print();
    EXPECT_EQ(capture.text(), "M\n1.000000 0.000000 0.000000\n0.000000 1.000000 0.000000\n0.000000 0.000000 1.000000\n"
                              "{1.000000, 2.500000, -3.000000}\n{0.000000, 0.000000, 0.000000}\n"
                              "{0.000000, 0.000000, 1.000000}\n");
}
