// Three-dimensional and homogeneous points.
#include "testSupport.h"

#include <3dPoint.h>
#include <4dPoint.h>
#include <qvutil/dtException.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>

using namespace Vorant;

TEST(PointTest, ValuesIndexingAndArithmetic)
{
    Dt3dPoint p(1, 2, 3);
    EXPECT_EQ(p[0], 1.0);
    EXPECT_EQ(p[2], 3.0);
    p[1] = 7;
    EXPECT_EQ(p.y(), 7.0);
    const Dt3dPoint& cp = p;
    EXPECT_EQ(cp[1], 7.0);
    for (int bad : {3, -1, 1000}) {
        try {
            (void)cp[bad];
            FAIL() << "no exception";
        } catch (const DtException& e) {
            EXPECT_STREQ(e.what(), "DtException: Invalid index (should be 0..2)");
            EXPECT_STREQ(e.signature(), "const double& Vorant::Dt3dPoint::operator[](int) const");
            EXPECT_STREQ(e.file(), "3dPoint.cpp");
            EXPECT_GT(e.line(), 0u);
        }
        try {
            p[bad] = 5;
            FAIL() << "no exception";
        } catch (const DtException& e) {
            EXPECT_STREQ(e.signature(), "double& Vorant::Dt3dPoint::operator[](int)");
        }
    }
    EXPECT_EQ(p.x(), 1.0);   // unchanged by the throwing calls
    EXPECT_EQ(p.z(), 3.0);

    Dt3dPoint v(DtVector64(4, 5, 6));
    EXPECT_EQ(v.z(), 6.0);
    v = DtVector64(-1, -2, -3);
    EXPECT_EQ(v.x(), -1.0);
    v.setX(9);
    v.setY(8);
    v.setZ(7);
    const Dt3dPoint sum = v + Dt3dPoint(1, 1, 1);
    EXPECT_EQ(sum.y(), 9.0);
    v += Dt3dPoint(1, 2, 3);
    v -= Dt3dPoint(10, 10, 10);
    EXPECT_TRUE(v.approxEq(Dt3dPoint(0, 0, 0), 0.0));

    const Dt3dPoint a(5, 5, 5), b(1, 2, 3);
    const Dt3dPoint d = a.differenceAs3dPoint(b);
    EXPECT_TRUE(d.approxEq(Dt3dPoint(4, 3, 2), 0.0));
    EXPECT_EQ(a.difference(b), DtVector64(4, 3, 2));

    EXPECT_TRUE(Dt3dPoint(0, 0, 0).approxEq(Dt3dPoint(0.4, 0, 0), -0.5));
    EXPECT_FALSE(Dt3dPoint(0, 0, 0).approxEq(Dt3dPoint(0.6, 0, 0), -0.5));
    EXPECT_FALSE(Dt3dPoint(0, 0, 0).approxEq(Dt3dPoint(0, 0, std::nan("")), 1.0));
    EXPECT_EQ(Dt3dPoint(1, 2, 2).magnitudeSquared(), 9.0);
    Dt3dPoint n(3, 0, 4);
    n.normalize();
    EXPECT_TRUE(n.approxEq(Dt3dPoint(0.6, 0, 0.8), 1e-16));
    Dt3dPoint zero;
    zero.normalize();
    EXPECT_EQ(zero.x(), 0.0);
}

TEST(PointTest, DistancesInTheXyPlane)
{
    const Dt3dPoint a(-1, 0, 0), b(1, 0, 0);
    EXPECT_EQ(Dt3dPoint(0, 1, 7).xyDistanceToLineSquared(a, b), 1.0);
    EXPECT_EQ(Dt3dPoint(3, 0, 0).xyDistanceToLineSquared(a, b), 4.0);    // clamped at b
    EXPECT_EQ(Dt3dPoint(-4, 4, 0).xyDistanceToLineSquared(a, b), 25.0);  // clamped at a
    EXPECT_EQ(Dt3dPoint(0, 1, 7).xyDistanceToLine(a, Dt3dPoint(1, 0, -100)), 1.0);
    EXPECT_EQ(Dt3dPoint(3, 4, 100).xyDistanceSquaredTo(Dt3dPoint(0, 0, -5)), 25.0);
    // A segment of no x-y length has no direction: NaN.
    EXPECT_TRUE(std::isnan(Dt3dPoint(1, 1, 0).xyDistanceToLineSquared(a, Dt3dPoint(-1, 0, 9))));

    // Against brute force over the segment.
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> u(-10, 10);
    for (int k = 0; k < 200; ++k) {
        const Dt3dPoint p(u(gen), u(gen), u(gen)), s0(u(gen), u(gen), u(gen)), s1(u(gen), u(gen), u(gen));
        double best = std::numeric_limits<double>::infinity();
        for (int i = 0; i <= 20000; ++i) {
            const double t = i / 20000.0;
            const Dt3dPoint q(s0.x() + (s1.x() - s0.x()) * t, s0.y() + (s1.y() - s0.y()) * t, 0);
            best = std::min(best, p.xyDistanceSquaredTo(q));
        }
        EXPECT_NEAR(p.xyDistanceToLineSquared(s0, s1), best, 1e-4 * (1 + best));
        EXPECT_LE(p.xyDistanceToLineSquared(s0, s1), best + 1e-12);
    }
}

TEST(PointTest, TextFormAndReader)
{
    std::ostringstream os;
    os << Dt3dPoint(1, 2.5, -3);
    EXPECT_EQ(os.str(), "(1, 2.5, -3)");

    Dt3dPoint p(9, 9, 9);
    std::istringstream in("(1.5, -2, 3e2)");
    in >> p;
    EXPECT_TRUE(p.approxEq(Dt3dPoint(1.5, -2, 300), 0.0));
    std::istringstream letters("  junk (a, 2, 3)");
    letters >> p;
    EXPECT_TRUE(p.approxEq(Dt3dPoint(0, 2, 3), 0.0));

    // Written with full precision, read back equal.
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> u(-1e6, 1e6);
    for (int k = 0; k < 100; ++k) {
        const Dt3dPoint q(u(gen), u(gen) * 1e-9, u(gen) * 1e9);
        std::stringstream ss;
        ss.precision(17);
        ss << q << " " << q;
        Dt3dPoint r1, r2;
        ss >> r1 >> r2;
        EXPECT_TRUE(r1.approxEq(q, 0.0));
        EXPECT_TRUE(r2.approxEq(q, 0.0));
    }
}

TEST(PointTest, ReaderSurvivesNastyInput)
{
    const std::string field79(79, '7');
    const std::string field80(80, '8');
    const std::string huge(100000, '9');
    const char* const cases[] = {"", "(", "(1", "(1,", "(1, 2", "(1, 2, 3", "no bracket at all", ")))(((", ",,,"};
    for (const char* text : cases) {
        std::istringstream in(text);
        Dt3dPoint p(5, 5, 5);
        in >> p;   // must not crash or overrun; values follow strtod of what was read
        EXPECT_TRUE(std::isfinite(p.x())) << text;
    }
    {
        std::istringstream in("(" + field79 + ", 2, 3)");
        Dt3dPoint p;
        in >> p;
        EXPECT_EQ(p.x(), std::strtod(field79.c_str(), nullptr));
        EXPECT_EQ(p.y(), 2.0);
    }
    {
        // 80 characters do not fit: the buffer keeps 79 and the stream fails.
        std::istringstream in("(" + field80 + ", 2, 3)");
        Dt3dPoint p(1, 1, 1);
        in >> p;
        EXPECT_EQ(p.x(), std::strtod(field80.substr(0, 79).c_str(), nullptr));
        EXPECT_TRUE(in.fail());
        EXPECT_EQ(p.y(), 0.0);
        EXPECT_EQ(p.z(), 0.0);
    }
    {
        std::istringstream in(huge);
        Dt3dPoint p(1, 1, 1);
        in >> p;
        EXPECT_EQ(p.x(), 0.0);
    }
    {
        std::istringstream in("(1e999, -1e999, nan)");
        Dt3dPoint p;
        in >> p;
        EXPECT_TRUE(std::isinf(p.x()));
        EXPECT_TRUE(std::isnan(p.z()));
    }
    {
        std::istringstream in;
        in.setstate(std::ios::failbit);
        Dt3dPoint p(4, 4, 4);
        in >> p;
        EXPECT_EQ(p.x(), 0.0);
    }
}

TEST(HomogeneousPointTest, ArithmeticAndUnhomogenize)
{
    Dt4dPoint p(1, 2, 3, 4);
    EXPECT_EQ(p[3], 4.0);
    p[3] = 5;
    EXPECT_EQ(p[3], 5.0);
    const Dt4dPoint& cp = p;
    try {
        (void)cp[4];
        FAIL() << "no exception";
    } catch (const DtException& e) {
        EXPECT_STREQ(e.what(), "DtException: Invalid index (should be 0..3)");
        EXPECT_STREQ(e.signature(), "const double& Vorant::Dt4dPoint::operator[](int) const");
        EXPECT_STREQ(e.file(), "4dPoint.cpp");
    }
    try {
        p[-1] = 0;
        FAIL() << "no exception";
    } catch (const DtException& e) {
        EXPECT_STREQ(e.signature(), "double& Vorant::Dt4dPoint::operator[](int)");
    }

    Dt4dPoint q(1, 2, 3, 4);
    const Dt4dPoint doubled = q * 2;
    q *= 2;
    EXPECT_TRUE(q == doubled);
    EXPECT_TRUE(q == Dt4dPoint(2, 4, 6, 8));
    EXPECT_TRUE(q + Dt4dPoint(1, 1, 1, 1) == Dt4dPoint(3, 5, 7, 9));
    EXPECT_TRUE(q - Dt4dPoint(1, 1, 1, 1) == Dt4dPoint(1, 3, 5, 7));
    q += Dt4dPoint(1, 1, 1, 1);
    q -= Dt4dPoint(3, 3, 3, 3);
    EXPECT_TRUE(q == Dt4dPoint(0, 2, 4, 6));
    EXPECT_TRUE(q != Dt4dPoint(0, 2, 4, 7));
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
    // Multiplied by the reciprocal, not divided.
    Dt4dPoint third(1, 0.7, 0, 3);
    third.unhomogenize();
    EXPECT_BITEQ(third[1], 0.7 * (1.0 / 3.0));

    h.set(9, 9, 9, 9);
    h.setFromVector(DtVector64(1, 2, 3));
    EXPECT_TRUE(h == Dt4dPoint(1, 2, 3, 1));
    h.set(9, 9, 9, 9);
    h.setFrom3dPoint(Dt3dPoint(4, 5, 6));
    EXPECT_TRUE(h == Dt4dPoint(4, 5, 6, 1));
}
