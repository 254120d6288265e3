// Three-dimensional and homogeneous points.
#include "testSupport.h"

#include <3dPoint.h>
#include <4dPoint.h>
#include <qvutil/dtException.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <sstream>
#include <string>

using namespace Vorant;

namespace {

// Expects an index exception with the text, signature and file given.
template <class Call>
void expectBadIndex(Call call, const char* text, const char* signature, const char* file)
{
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const DtException& e) {
        EXPECT_EQ(std::string(e.what()), std::string("DtException: ") + text);
        EXPECT_STREQ(e.signature(), signature);
        EXPECT_STREQ(e.file(), file);
        EXPECT_GT(e.line(), 0u);
    }
}

Dt3dPoint read(const std::string& text, Dt3dPoint p = Dt3dPoint(5, 5, 5))
{
    std::istringstream in(text);
    in >> p;
    return p;
}

}  // namespace

TEST(PointTest, IndexingArithmeticAndDistances)
{
    Dt3dPoint p(1, 2, 3);
    const Dt3dPoint& cp = p;
    p[1] = 7;
    EXPECT_TRUE(cp[0] == 1 && cp[1] == 7 && cp[2] == 3);
    for (int bad : {3, -1}) {
        expectBadIndex([&] { (void)cp[bad]; }, "Invalid index (should be 0..2)",
                       "const double& Vorant::Dt3dPoint::operator[](int) const", "3dPoint.cpp");
        expectBadIndex([&] { p[bad] = 5; }, "Invalid index (should be 0..2)", "double& Vorant::Dt3dPoint::operator[](int)",
                       "3dPoint.cpp");
    }
    EXPECT_TRUE(p.approxEq(Dt3dPoint(1, 7, 3), 0.0));   // unchanged by the throwing calls

    Dt3dPoint v(DtVector64(4, 5, 6));
    v = DtVector64(-1, -2, -3);
    v += Dt3dPoint(10, 10, 10);
    v -= Dt3dPoint(1, 1, 1);
    EXPECT_TRUE((v + Dt3dPoint(1, 1, 1)).approxEq(Dt3dPoint(9, 8, 7), 0.0));
    EXPECT_TRUE(Dt3dPoint(5, 5, 5).differenceAs3dPoint(Dt3dPoint(1, 2, 3)).approxEq(Dt3dPoint(4, 3, 2), 0.0));
    EXPECT_EQ(Dt3dPoint(5, 5, 5).difference(Dt3dPoint(1, 2, 3)), DtVector64(4, 3, 2));
    EXPECT_TRUE(Dt3dPoint(0, 0, 0).approxEq(Dt3dPoint(0.4, 0, 0), -0.5));   // |tolerance|
    EXPECT_FALSE(Dt3dPoint(0, 0, 0).approxEq(Dt3dPoint(0.6, 0, 0), -0.5));
    EXPECT_FALSE(Dt3dPoint(0, 0, 0).approxEq(Dt3dPoint(0, 0, std::nan("")), 1.0));
    Dt3dPoint n(3, 0, 4), zero;
    n.normalize();
    zero.normalize();
    EXPECT_TRUE(n.approxEq(Dt3dPoint(0.6, 0, 0.8), 1e-16) && zero.x() == 0.0 && n.magnitudeSquared() == 1.0);

    const Dt3dPoint a(-1, 0, 0), b(1, 0, 0);
    EXPECT_EQ(Dt3dPoint(0, 1, 7).xyDistanceToLineSquared(a, b), 1.0);
    EXPECT_EQ(Dt3dPoint(3, 0, 0).xyDistanceToLineSquared(a, b), 4.0);     // clamped at b
    EXPECT_EQ(Dt3dPoint(-4, 4, 0).xyDistanceToLineSquared(a, b), 25.0);   // clamped at a
    EXPECT_EQ(Dt3dPoint(0, 1, 7).xyDistanceToLine(a, Dt3dPoint(1, 0, -100)), 1.0);
    EXPECT_TRUE(std::isnan(Dt3dPoint(1, 1, 0).xyDistanceToLineSquared(a, Dt3dPoint(-1, 0, 9))));   // no x-y length
    // Against brute force along the segment.
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> u(-10, 10);
    for (int k = 0; k < 200; ++k) {
        const Dt3dPoint q(u(gen), u(gen), u(gen)), s0(u(gen), u(gen), u(gen)), s1(u(gen), u(gen), u(gen));
        double best = std::numeric_limits<double>::infinity();
        for (int i = 0; i <= 20000; ++i)
            best = std::min(best, q.xyDistanceSquaredTo(Dt3dPoint(s0.x() + (s1.x() - s0.x()) * i / 20000.0,
                                                                  s0.y() + (s1.y() - s0.y()) * i / 20000.0, 99)));
        const double got = q.xyDistanceToLineSquared(s0, s1);
        EXPECT_TRUE(got <= best + 1e-12 && got >= best - 1e-4 * (1 + best));
    }
}

TEST(PointTest, TextFormAndReader)
{
    std::ostringstream os;
    os << Dt3dPoint(1, 2.5, -3);
    EXPECT_EQ(os.str(), "(1, 2.5, -3)");
    EXPECT_TRUE(read("(1.5, -2, 3e2)").approxEq(Dt3dPoint(1.5, -2, 300), 0.0));
    EXPECT_TRUE(read("  junk (a, 2, 3)").approxEq(Dt3dPoint(0, 2, 3), 0.0));
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> u(-1e6, 1e6);
    for (int k = 0; k < 100; ++k) {   // written with every digit, read back equal
        const Dt3dPoint q(u(gen), u(gen) * 1e-9, u(gen) * 1e9);
        std::stringstream ss;
        ss.precision(17);
        ss << q << " " << q;
        Dt3dPoint r1, r2;
        ss >> r1 >> r2;
        EXPECT_TRUE(r1.approxEq(q, 0.0) && r2.approxEq(q, 0.0));
    }

    // Nasty input: never out of bounds; the fields follow strtod of what was read.
    for (const char* text : {"", "(", "(1", "(1,", "(1, 2", "(1, 2, 3", "no bracket", ")))(((", ",,,"})
        EXPECT_TRUE(std::isfinite(read(text).x())) << text;
    const std::string field79(79, '7'), field80(80, '8');
    EXPECT_TRUE(read("(" + field79 + ", 2, 3)").approxEq(Dt3dPoint(std::strtod(field79.c_str(), nullptr), 2, 3), 0.0));
    std::istringstream tooLong("(" + field80 + ", 2, 3)");   // 79 characters kept, the stream fails
    Dt3dPoint p(1, 1, 1);
    tooLong >> p;
    EXPECT_TRUE(tooLong.fail() && p.approxEq(Dt3dPoint(std::strtod(field80.substr(0, 79).c_str(), nullptr), 0, 0), 0.0));
    EXPECT_EQ(read(std::string(100000, '9')).x(), 0.0);
    const Dt3dPoint special = read("(1e999, -1e999, nan)");
    EXPECT_TRUE(std::isinf(special.x()) && std::isnan(special.z()));
    std::istringstream failed;
    failed.setstate(std::ios::failbit);
    failed >> p;
    EXPECT_EQ(p.x(), 0.0);
}

TEST(HomogeneousPointTest, ArithmeticAndUnhomogenize)
{
    Dt4dPoint p(1, 2, 3, 4);
    const Dt4dPoint& cp = p;
    p[3] = 5;
    EXPECT_EQ(cp[3], 5.0);
    expectBadIndex([&] { (void)cp[4]; }, "Invalid index (should be 0..3)",
                   "const double& Vorant::Dt4dPoint::operator[](int) const", "4dPoint.cpp");
    expectBadIndex([&] { p[-1] = 0; }, "Invalid index (should be 0..3)", "double& Vorant::Dt4dPoint::operator[](int)",
                   "4dPoint.cpp");

    Dt4dPoint q(1, 2, 3, 4);
    const Dt4dPoint doubled = q * 2;
    q *= 2;
    EXPECT_TRUE(q == doubled && q == Dt4dPoint(2, 4, 6, 8));
    EXPECT_TRUE(q + Dt4dPoint(1, 1, 1, 1) == Dt4dPoint(3, 5, 7, 9) && q - Dt4dPoint(1, 1, 1, 1) == Dt4dPoint(1, 3, 5, 7));
    q += Dt4dPoint(1, 1, 1, 1);
    q -= Dt4dPoint(3, 3, 3, 3);
    EXPECT_TRUE(q == Dt4dPoint(0, 2, 4, 6) && q != Dt4dPoint(0, 2, 4, 7));
    const Dt4dPoint nan(std::nan(""), 0, 0, 1);
    EXPECT_FALSE(nan == nan);

    Dt4dPoint h(2, 4, 6, 2);
    h.unhomogenize();
    EXPECT_TRUE(h == Dt4dPoint(1, 2, 3, 1));
    for (double w : {1.0, 0.0, -2.0}) {
        Dt4dPoint same(2, 4, 6, w);
        same.unhomogenize();
        EXPECT_TRUE(same == Dt4dPoint(2, 4, 6, w)) << w;
    }
    Dt4dPoint third(1, 0.7, 0, 3);
    third.unhomogenize();
    EXPECT_BITEQ(third[1], 0.7 * (1.0 / 3.0));   // multiplied by the reciprocal
    h.set(9, 9, 9, 9);
    h.setFromVector(DtVector64(1, 2, 3));
    EXPECT_TRUE(h == Dt4dPoint(1, 2, 3, 1));
    h.set(9, 9, 9, 9);
    h.setFrom3dPoint(Dt3dPoint(4, 5, 6));
    EXPECT_TRUE(h == Dt4dPoint(4, 5, 6, 1));
}
