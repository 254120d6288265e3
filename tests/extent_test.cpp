// Chords and extents.
#include "testSupport.h"

#include <3dChord.h>
#include <3dExtent.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

using namespace Vorant;

namespace {

const double kInf = INFINITY;
const Dt3dExtent kUnit(0, 1, 0, 1, 0, 1);

bool same(const Dt3dExtent& e, double x0, double y0, double z0, double x1, double y1, double z1)
{
    return e == Dt3dExtent(x0, x1, y0, y1, z0, z1);
}

Dt3dChord chord(double x0, double y0, double z0, double x1, double y1, double z1)
{
    return Dt3dChord(Dt3dPoint(x0, y0, z0), Dt3dPoint(x1, y1, z1));
}

Dt3dExtent read(const std::string& text)
{
    std::istringstream in(text);
    Dt3dExtent e(9, 9, 9, 9, 9, 9);
    in >> e;
    return e;
}

}  // namespace

TEST(ChordTest, DirectionExtentPlanesAndCollinearity)
{
    const Dt3dChord c = chord(0, 0, 0, 2, 4, 6);
    EXPECT_TRUE(c.directedXComponent() == 2 && c.directedYComponent() == 4 && c.directedZComponent() == 6);
    EXPECT_TRUE(same(c.extent(), 0, 0, 0, 2, 4, 6));
    EXPECT_TRUE(c.computePoint(0.5).approxEq(Dt3dPoint(1, 2, 3), 0.0) && c.computePoint(1.5).approxEq(Dt3dPoint(3, 6, 9), 0.0));
    const Dt3dChord back = chord(3, 3, 5, 1, 1, 2);
    EXPECT_TRUE(same(back.extent(), 1, 1, 2, 3, 3, 5) && back.directedZComponent() == -3 && back.minZ() == 2 &&
                back.maxZ() == 5);
    EXPECT_TRUE(same(Dt3dChord().extent(), 0, 0, 0, 0, 0, 0) && !Dt3dChord().extent().empty());
    std::ostringstream os;
    os << c;
    EXPECT_EQ(os.str(), "((0, 0, 0), (2, 4, 6))");

    const Dt3dChord x = chord(0, 0, 0, 10, 0, 0);
    EXPECT_TRUE(x.isCollinear(Dt3dPoint(5, 5e-8, 0)));    // cross product 5e-7
    EXPECT_FALSE(x.isCollinear(Dt3dPoint(5, 2e-7, 0)));   // 2e-6
    EXPECT_FALSE(chord(0, 0, 0, 1e6, 0, 0).isCollinear(Dt3dPoint(5, 5e-8, 0)));   // absolute: longer is stricter
    for (double at : {0.0, 3.0, 10.0})
        EXPECT_TRUE(x.collinearPointLiesWithin(Dt3dPoint(at, 0, 0)));
    EXPECT_TRUE(x.isCollinear(Dt3dPoint(10.5, 0, 0)) && !x.collinearPointLiesWithin(Dt3dPoint(10.5, 0, 0)));
    EXPECT_FALSE(x.collinearPointLiesWithin(Dt3dPoint(-0.5, 0, 0)) || x.collinearPointLiesWithin(Dt3dPoint(5, 1, 0)));

    const Dt3dChord vertical = chord(0, 0, 0, 0, 0, 10);
    double t = -7;
    EXPECT_TRUE(vertical.intersectsPlaneZEqualsAtPoint(2.5, t) && t == 0.25);
    t = -7;
    EXPECT_TRUE(!vertical.intersectsPlaneZEqualsAtPoint(11, t) && t == -7.0);   // t not written
    EXPECT_TRUE(vertical.intersectsPlaneZEqualsAtPoint(10, t) && t == 1.0 && !vertical.parallelToXYPlane());
    const Dt3dChord flat = chord(0, 0, 1, 5, 5, 1);
    EXPECT_TRUE(flat.parallelToXYPlane() && flat.inPlaneZEquals(1) && !flat.inPlaneZEquals(1.5));
    EXPECT_TRUE(flat.intersectsPlaneZEqualsAtPoint(1, t) && t == 2.0);   // the whole chord in the plane
    EXPECT_FALSE(flat.intersectsPlaneZEqualsAtPoint(1.5, t));
    EXPECT_FALSE(chord(0, 0, std::nan(""), 0, 0, std::nan("")).parallelToXYPlane());
}

TEST(ExtentTest, EmptyStateGrowingContainmentAndCentre)
{
    Dt3dExtent e;
    EXPECT_TRUE(e.empty() && same(e, kInf, kInf, kInf, -kInf, -kInf, -kInf));
    e.expandToInclude(Dt3dPoint(1, 2, 3));
    EXPECT_TRUE(!e.empty() && same(e, 1, 2, 3, 1, 2, 3));
    e.expandToInclude(Dt3dPoint(-1, 5, 3));
    e.expandToInclude(chord(0, 0, 0, 0, 0, 9));
    EXPECT_TRUE(same(e, -1, 0, 0, 1, 5, 9));
    Dt3dExtent grown;
    grown.expandToInclude(Dt3dExtent());
    EXPECT_TRUE(grown.empty());
    grown.expandToInclude(kUnit);
    grown.expandToInclude(Dt3dExtent());
    EXPECT_TRUE(grown == kUnit);

    EXPECT_TRUE(same(Dt3dExtent(Dt3dPoint(1, 5, 3), Dt3dPoint(4, 2, 6)), 1, 2, 3, 4, 5, 6));
    EXPECT_TRUE(same(Dt3dExtent(chord(3, 0, 0, 0, 3, -1)), 0, 0, -1, 3, 3, 0));
    Dt3dExtent reversed(4, 1, 0, 1, 0, 1);   // kept as given, and empty
    EXPECT_TRUE(reversed.minX() == 4.0 && reversed.empty());
    reversed.guaranteeValidConstruction();
    EXPECT_TRUE(same(reversed, 1, 0, 0, 4, 1, 1));

    EXPECT_TRUE(kUnit.contains(Dt3dPoint(1, 1, 1)) && kUnit.contains(Dt3dPoint(0, 0.5, 0)));
    EXPECT_FALSE(kUnit.contains(Dt3dPoint(1.0000001, 0.5, 0.5)));
    EXPECT_TRUE(kUnit.intersects(Dt3dExtent(1, 2, 1, 2, 1, 2)));   // touching counts
    EXPECT_FALSE(kUnit.intersects(Dt3dExtent(1.000001, 2, 1.000001, 2, 1.000001, 2)));
    EXPECT_TRUE(kUnit.contains(Dt3dExtent()) && Dt3dExtent(5, 5, 5, 5, 5, 5).contains(Dt3dExtent()));
    EXPECT_TRUE(kUnit.contains(Dt3dExtent(0.2, 0.8, 0, 1, 0.5, 0.5)) && !kUnit.contains(Dt3dExtent(0.2, 1.8, 0, 1, 0, 1)));
    EXPECT_TRUE(kUnit.contains(chord(0, 0, 0, 1, 1, 1)) && !kUnit.contains(chord(0, 0, 0, 1, 1, 2)));

    const Dt3dExtent b(1, 3, -2, 2, 0, 10);
    EXPECT_TRUE(b.xSize() == 2 && b.ySize() == 4 && b.zSize() == 10 && b.center().approxEq(Dt3dPoint(2, 0, 5), 0.0) &&
                b.minPoint().approxEq(Dt3dPoint(1, -2, 0), 0.0) && b.maxPoint().approxEq(Dt3dPoint(3, 2, 10), 0.0));
    Dt3dExtent moved = b;
    moved.setCenter(Dt3dPoint(0, 0, 0));
    EXPECT_TRUE(same(moved, -1, -2, -5, 1, 2, 5));
    moved.setFromCenter(Dt3dPoint(1, 1, 1), 2, 4, 6);
    EXPECT_TRUE(same(moved, 0, -1, -2, 2, 3, 4));
    Dt3dExtent empty;
    empty.setCenter(Dt3dPoint(1, 2, 3));   // its sizes are -infinity
    EXPECT_TRUE(empty.empty());
    EXPECT_TRUE(b != Dt3dExtent(1, 3, -2, 2, 0, 10.5));
    const Dt3dExtent nan(std::nan(""), 1, 0, 1, 0, 1);
    EXPECT_FALSE(nan == nan);
}

TEST(ExtentTest, ChordClipping)
{
    double tNear, tFar;
    const Dt3dChord through = chord(-1, 0.5, 0.5, 2, 0.5, 0.5);
    EXPECT_TRUE(kUnit.intersects(through) && kUnit.intersectsLineOfChord(through, tNear, tFar));
    EXPECT_DOUBLE_EQ(tNear, 1.0 / 3);
    EXPECT_DOUBLE_EQ(tFar, 2.0 / 3);
    const Dt3dChord grazing = chord(2, 0, 0.5, 0, 2, 0.5);   // touches the edge at t = 0.5
    EXPECT_TRUE(kUnit.intersects(grazing) && kUnit.intersectsLineOfChord(grazing, tNear, tFar) && tNear == 0.5 &&
                tFar == 0.5);
    const Dt3dChord missing = chord(2.5, 0, 0.5, 0, 2.5, 0.5);
    EXPECT_FALSE(kUnit.intersects(missing) || kUnit.intersectsLineOfChord(missing, tNear, tFar));
    EXPECT_DOUBLE_EQ(tNear, 0.6);   // after the Y slab
    EXPECT_DOUBLE_EQ(tFar, 0.4);
    const Dt3dChord outside = chord(-3, 0.5, 0.5, -1, 0.5, 0.5);   // the line meets the box, the chord not
    EXPECT_TRUE(!kUnit.intersects(outside) && kUnit.intersectsLineOfChord(outside, tNear, tFar) && tNear > 1.0);
    EXPECT_TRUE(kUnit.intersects(chord(0.1, 0.2, 0.3, 0.9, 0.8, 0.7)));

    tNear = -1;
    tFar = 1;   // a slab with zero direction: in or out as a whole
    EXPECT_TRUE(kUnit.intersectsSoFar(0.5, 0.0, 0, 1, tNear, tFar) && tNear == -1.0);
    EXPECT_FALSE(kUnit.intersectsSoFar(1.5, 0.0, 0, 1, tNear, tFar) || kUnit.intersectsSoFar(std::nan(""), 0.0, 0, 1, tNear, tFar));
    EXPECT_EQ(tFar, 1.0);

    // Against dense sampling of random chords.
    std::mt19937 gen(8);
    std::uniform_real_distribution<double> u(-1.5, 2.5);
    int hits = 0;
    for (int k = 0; k < 2000; ++k) {
        const Dt3dChord c = chord(u(gen), u(gen), u(gen), u(gen), u(gen), u(gen));
        bool sampled = false;
        for (int i = 0; i <= 4000 && !sampled; ++i)
            sampled = kUnit.contains(c.computePoint(i / 4000.0));
        EXPECT_TRUE(!sampled || kUnit.intersects(c)) << c;
        hits += sampled;
    }
    EXPECT_GT(hits, 300);
}

TEST(ExtentTest, TextFormReaderAndSharedEmptyExtent)
{
    std::ostringstream os;
    os << Dt3dExtent(0, 1, 0, 2, 0, 3);
    EXPECT_EQ(os.str(), "(0,0,0,1,2,3)");
    EXPECT_TRUE(read(os.str()) == Dt3dExtent(0, 1, 0, 2, 0, 3));
    std::mt19937 gen(2);
    std::uniform_real_distribution<double> u(-1e7, 1e7);
    for (int k = 0; k < 100; ++k) {
        const Dt3dExtent x(u(gen), u(gen), u(gen) * 1e-12, u(gen), u(gen), u(gen) * 1e12);
        std::stringstream ss;
        ss.precision(17);
        ss << x;
        EXPECT_TRUE(read(ss.str()) == x);
    }
    // Nasty input: never out of bounds; the fields follow strtod of what was read.
    for (const char* text : {"", "(", "(1,2,3", "(1,2,3,4,5", "no brackets", "(,,,,,)", "(x,y,z,a,b,c)"})
        EXPECT_TRUE(std::isfinite(read(text).minX())) << text;
    const std::string long80(80, '1');
    std::istringstream longField("(" + long80 + ",1,1,1,1,1)");
    Dt3dExtent r;
    longField >> r;
    EXPECT_TRUE(longField.fail() && r.minX() == std::strtod(long80.substr(0, 79).c_str(), nullptr) && r.maxZ() == 0.0);
    // The text before the bracket has no length limit (unlike a point's).
    EXPECT_TRUE(same(read(std::string(300, 'x') + "(1,2,3,4,5,6)"), 1, 2, 3, 4, 5, 6));
    const Dt3dExtent inf = read("(inf,-inf,1,2,3,4)");
    EXPECT_TRUE(inf.minX() == kInf && inf.minY() == -kInf);

    EXPECT_EQ(&Dt3dExtent::nullExtent(), &Dt3dExtent::nullExtent());
    EXPECT_TRUE(Dt3dExtent::nullExtent().empty() && Dt3dExtent::nullExtent() == Dt3dExtent());
}
