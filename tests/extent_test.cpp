// Chords and extents.
#include "testSupport.h"

#include <3dChord.h>
#include <3dExtent.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace Vorant;

namespace {

const double kInf = std::numeric_limits<double>::infinity();

const Dt3dExtent kUnit(0, 1, 0, 1, 0, 1);

void expectExtent(const Dt3dExtent& e, double x0, double y0, double z0, double x1, double y1, double z1)
{
    EXPECT_EQ(e.minX(), x0);
    EXPECT_EQ(e.minY(), y0);
    EXPECT_EQ(e.minZ(), z0);
    EXPECT_EQ(e.maxX(), x1);
    EXPECT_EQ(e.maxY(), y1);
    EXPECT_EQ(e.maxZ(), z1);
}

// Whether a chord meets a box, by sampling the segment densely.
bool sampledIntersection(const Dt3dExtent& box, const Dt3dChord& c)
{
    for (int i = 0; i <= 4000; ++i)
        if (box.contains(c.computePoint(i / 4000.0)))
            return true;
    return false;
}

}  // namespace

TEST(ChordTest, DirectionExtentAndPoints)
{
    const Dt3dChord c(Dt3dPoint(0, 0, 0), Dt3dPoint(2, 4, 6));
    EXPECT_EQ(c.directedXComponent(), 2.0);
    EXPECT_EQ(c.directedYComponent(), 4.0);
    EXPECT_EQ(c.directedZComponent(), 6.0);
    expectExtent(c.extent(), 0, 0, 0, 2, 4, 6);
    EXPECT_TRUE(c.computePoint(0.5).approxEq(Dt3dPoint(1, 2, 3), 0.0));
    EXPECT_TRUE(c.computePoint(1.5).approxEq(Dt3dPoint(3, 6, 9), 0.0));

    const Dt3dChord back(Dt3dPoint(3, 3, 5), Dt3dPoint(1, 1, 2));
    expectExtent(back.extent(), 1, 1, 2, 3, 3, 5);
    EXPECT_EQ(back.directedZComponent(), -3.0);
    EXPECT_EQ(back.minZ(), 2.0);
    EXPECT_EQ(back.maxZ(), 5.0);

    const Dt3dChord none;
    expectExtent(none.extent(), 0, 0, 0, 0, 0, 0);
    EXPECT_FALSE(none.extent().empty());
    Dt3dChord copy = c;
    copy = copy;
    EXPECT_EQ(copy.endpoint1().z(), 6.0);

    std::ostringstream os;
    os << c;
    EXPECT_EQ(os.str(), "((0, 0, 0), (2, 4, 6))");
}

TEST(ChordTest, CollinearityAndPlanes)
{
    const Dt3dChord c(Dt3dPoint(0, 0, 0), Dt3dPoint(10, 0, 0));
    EXPECT_TRUE(c.isCollinear(Dt3dPoint(5, 5e-8, 0)));
    EXPECT_FALSE(c.isCollinear(Dt3dPoint(5, 2e-7, 0)));
    EXPECT_TRUE(c.collinearPointLiesWithin(Dt3dPoint(10, 0, 0)));
    EXPECT_TRUE(c.collinearPointLiesWithin(Dt3dPoint(0, 0, 0)));
    EXPECT_TRUE(c.collinearPointLiesWithin(Dt3dPoint(3, 0, 0)));
    EXPECT_TRUE(c.isCollinear(Dt3dPoint(10.5, 0, 0)));
    EXPECT_FALSE(c.collinearPointLiesWithin(Dt3dPoint(10.5, 0, 0)));
    EXPECT_FALSE(c.collinearPointLiesWithin(Dt3dPoint(-0.5, 0, 0)));
    EXPECT_FALSE(c.collinearPointLiesWithin(Dt3dPoint(5, 1, 0)));
    // The tolerance is absolute on the cross product: a long chord is stricter.
    const Dt3dChord longChord(Dt3dPoint(0, 0, 0), Dt3dPoint(1e6, 0, 0));
    EXPECT_FALSE(longChord.isCollinear(Dt3dPoint(5, 5e-8, 0)));

    const Dt3dChord vertical(Dt3dPoint(0, 0, 0), Dt3dPoint(0, 0, 10));
    double t = -7;
    EXPECT_TRUE(vertical.intersectsPlaneZEqualsAtPoint(2.5, t));
    EXPECT_EQ(t, 0.25);
    t = -7;
    EXPECT_FALSE(vertical.intersectsPlaneZEqualsAtPoint(11, t));
    EXPECT_EQ(t, -7.0);
    EXPECT_TRUE(vertical.intersectsPlaneZEqualsAtPoint(10, t));
    EXPECT_EQ(t, 1.0);
    EXPECT_FALSE(vertical.parallelToXYPlane());

    const Dt3dChord flat(Dt3dPoint(0, 0, 1), Dt3dPoint(5, 5, 1));
    EXPECT_TRUE(flat.parallelToXYPlane());
    EXPECT_TRUE(flat.inPlaneZEquals(1));
    EXPECT_FALSE(flat.inPlaneZEquals(1.5));
    EXPECT_TRUE(flat.intersectsPlaneZEqualsAtPoint(1, t));
    EXPECT_EQ(t, 2.0);
    EXPECT_FALSE(flat.intersectsPlaneZEqualsAtPoint(1.5, t));
    const Dt3dChord nan(Dt3dPoint(0, 0, std::nan("")), Dt3dPoint(0, 0, std::nan("")));
    EXPECT_FALSE(nan.parallelToXYPlane());
}

TEST(ExtentTest, EmptyStateGrowingAndContainment)
{
    Dt3dExtent e;
    EXPECT_TRUE(e.empty());
    expectExtent(e, kInf, kInf, kInf, -kInf, -kInf, -kInf);
    e.expandToInclude(Dt3dPoint(1, 2, 3));
    EXPECT_FALSE(e.empty());
    expectExtent(e, 1, 2, 3, 1, 2, 3);
    e.expandToInclude(Dt3dPoint(-1, 5, 3));
    expectExtent(e, -1, 2, 3, 1, 5, 3);
    e.expandToInclude(Dt3dChord(Dt3dPoint(0, 0, 0), Dt3dPoint(0, 0, 9)));
    expectExtent(e, -1, 0, 0, 1, 5, 9);
    Dt3dExtent grown;
    grown.expandToInclude(Dt3dExtent());
    EXPECT_TRUE(grown.empty());
    grown.expandToInclude(kUnit);
    EXPECT_TRUE(grown == kUnit);
    grown.expandToInclude(Dt3dExtent());
    EXPECT_TRUE(grown == kUnit);

    expectExtent(Dt3dExtent(Dt3dPoint(1, 5, 3), Dt3dPoint(4, 2, 6)), 1, 2, 3, 4, 5, 6);
    const Dt3dExtent reversed(4, 1, 0, 1, 0, 1);
    EXPECT_EQ(reversed.minX(), 4.0);
    EXPECT_TRUE(reversed.empty());
    Dt3dExtent fixed = reversed;
    fixed.guaranteeValidConstruction();
    EXPECT_FALSE(fixed.empty());
    EXPECT_EQ(fixed.minX(), 1.0);

    EXPECT_TRUE(kUnit.contains(Dt3dPoint(1, 1, 1)));
    EXPECT_TRUE(kUnit.contains(Dt3dPoint(0, 0.5, 0)));
    EXPECT_FALSE(kUnit.contains(Dt3dPoint(1.0000001, 0.5, 0.5)));
    EXPECT_TRUE(kUnit.intersects(Dt3dExtent(1, 2, 1, 2, 1, 2)));
    EXPECT_FALSE(kUnit.intersects(Dt3dExtent(1.000001, 2, 1.000001, 2, 1.000001, 2)));
    EXPECT_TRUE(kUnit.doesNotIntersect(Dt3dExtent(-3, -2, 0, 1, 0, 1)));
    EXPECT_TRUE(kUnit.contains(Dt3dExtent()));
    EXPECT_TRUE(Dt3dExtent(5, 5, 5, 5, 5, 5).contains(Dt3dExtent()));
    EXPECT_TRUE(kUnit.contains(Dt3dExtent(0.2, 0.8, 0, 1, 0.5, 0.5)));
    EXPECT_FALSE(kUnit.contains(Dt3dExtent(0.2, 1.8, 0, 1, 0.5, 0.5)));
    EXPECT_TRUE(kUnit.contains(Dt3dChord(Dt3dPoint(0, 0, 0), Dt3dPoint(1, 1, 1))));
    EXPECT_FALSE(kUnit.contains(Dt3dChord(Dt3dPoint(0, 0, 0), Dt3dPoint(1, 1, 2))));

    const Dt3dExtent chordBox(Dt3dChord(Dt3dPoint(3, 0, 0), Dt3dPoint(0, 3, -1)));
    expectExtent(chordBox, 0, 0, -1, 3, 3, 0);
}

TEST(ExtentTest, CentreSizesAndComparison)
{
    const Dt3dExtent e(1, 3, -2, 2, 0, 10);
    EXPECT_EQ(e.xSize(), 2.0);
    EXPECT_EQ(e.ySize(), 4.0);
    EXPECT_EQ(e.zSize(), 10.0);
    EXPECT_TRUE(e.center().approxEq(Dt3dPoint(2, 0, 5), 0.0));
    EXPECT_TRUE(e.minPoint().approxEq(Dt3dPoint(1, -2, 0), 0.0));
    EXPECT_TRUE(e.maxPoint().approxEq(Dt3dPoint(3, 2, 10), 0.0));
    Dt3dExtent moved = e;
    moved.setCenter(Dt3dPoint(0, 0, 0));
    expectExtent(moved, -1, -2, -5, 1, 2, 5);
    moved.setFromCenter(Dt3dPoint(1, 1, 1), 2, 4, 6);
    expectExtent(moved, 0, -1, -2, 2, 3, 4);
    Dt3dExtent empty;
    empty.setCenter(Dt3dPoint(1, 2, 3));
    EXPECT_TRUE(empty.empty());

    EXPECT_TRUE(e == Dt3dExtent(1, 3, -2, 2, 0, 10));
    EXPECT_TRUE(e != Dt3dExtent(1, 3, -2, 2, 0, 10.5));
    const Dt3dExtent nan(std::nan(""), 1, 0, 1, 0, 1);
    EXPECT_FALSE(nan == nan);
    Dt3dExtent self = e;
    self = self;
    EXPECT_TRUE(self == e);
}

TEST(ExtentTest, ChordClipping)
{
    double tNear, tFar;
    const Dt3dChord through(Dt3dPoint(-1, 0.5, 0.5), Dt3dPoint(2, 0.5, 0.5));
    EXPECT_TRUE(kUnit.intersects(through));
    EXPECT_TRUE(kUnit.intersectsLineOfChord(through, tNear, tFar));
    EXPECT_DOUBLE_EQ(tNear, 1.0 / 3);
    EXPECT_DOUBLE_EQ(tFar, 2.0 / 3);

    const Dt3dChord grazing(Dt3dPoint(2, 0, 0.5), Dt3dPoint(0, 2, 0.5));
    EXPECT_TRUE(kUnit.intersects(grazing));
    EXPECT_TRUE(kUnit.intersectsLineOfChord(grazing, tNear, tFar));
    EXPECT_EQ(tNear, 0.5);
    EXPECT_EQ(tFar, 0.5);

    const Dt3dChord missing(Dt3dPoint(2.5, 0, 0.5), Dt3dPoint(0, 2.5, 0.5));
    EXPECT_FALSE(kUnit.intersects(missing));
    EXPECT_FALSE(kUnit.intersectsLineOfChord(missing, tNear, tFar));
    EXPECT_DOUBLE_EQ(tNear, 0.6);
    EXPECT_DOUBLE_EQ(tFar, 0.4);   // after the Y slab

    const Dt3dChord outside(Dt3dPoint(-3, 0.5, 0.5), Dt3dPoint(-1, 0.5, 0.5));
    EXPECT_FALSE(kUnit.intersects(outside));
    EXPECT_TRUE(kUnit.intersectsLineOfChord(outside, tNear, tFar));   // the line does, the chord not
    EXPECT_GT(tNear, 1.0);

    const Dt3dChord inside(Dt3dPoint(0.1, 0.2, 0.3), Dt3dPoint(0.9, 0.8, 0.7));
    EXPECT_TRUE(kUnit.intersects(inside));

    // A slab with zero direction: in or out as a whole.
    tNear = -1;
    tFar = 1;
    EXPECT_TRUE(kUnit.intersectsSoFar(0.5, 0.0, 0, 1, tNear, tFar));
    EXPECT_EQ(tNear, -1.0);
    EXPECT_FALSE(kUnit.intersectsSoFar(1.5, 0.0, 0, 1, tNear, tFar));
    EXPECT_FALSE(kUnit.intersectsSoFar(std::nan(""), 0.0, 0, 1, tNear, tFar));
    EXPECT_EQ(tFar, 1.0);

    // Against dense sampling of random chords.
    std::mt19937 gen(8);
    std::uniform_real_distribution<double> u(-1.5, 2.5);
    int hits = 0;
    for (int k = 0; k < 2000; ++k) {
        const Dt3dChord c(Dt3dPoint(u(gen), u(gen), u(gen)), Dt3dPoint(u(gen), u(gen), u(gen)));
        const bool sampled = sampledIntersection(kUnit, c);
        if (sampled) {
            EXPECT_TRUE(kUnit.intersects(c)) << c;
        }
        hits += sampled;
    }
    EXPECT_GT(hits, 300);
}

TEST(ExtentTest, TextFormAndReader)
{
    std::ostringstream os;
    os << Dt3dExtent(0, 1, 0, 2, 0, 3);
    EXPECT_EQ(os.str(), "(0,0,0,1,2,3)");
    Dt3dExtent e;
    std::istringstream in(os.str());
    in >> e;
    EXPECT_TRUE(e == Dt3dExtent(0, 1, 0, 2, 0, 3));

    std::mt19937 gen(2);
    std::uniform_real_distribution<double> u(-1e7, 1e7);
    for (int k = 0; k < 100; ++k) {
        const Dt3dExtent x(u(gen), u(gen), u(gen) * 1e-12, u(gen), u(gen), u(gen) * 1e12);
        std::stringstream ss;
        ss.precision(17);
        ss << x;
        Dt3dExtent back;
        ss >> back;
        EXPECT_TRUE(back == x);
    }

    // Nasty input: never out of bounds; fields follow strtod of what was read.
    const std::string long80(80, '1');
    const char* const cases[] = {"", "(", "(1,2,3", "(1,2,3,4,5", "no brackets", "(,,,,,)", "(x,y,z,a,b,c)"};
    for (const char* text : cases) {
        std::istringstream bad(text);
        Dt3dExtent r(9, 9, 9, 9, 9, 9);
        bad >> r;
        EXPECT_TRUE(std::isfinite(r.minX())) << text;
    }
    std::istringstream longField("(" + long80 + ",1,1,1,1,1)");
    Dt3dExtent r;
    longField >> r;
    EXPECT_EQ(r.minX(), std::strtod(long80.substr(0, 79).c_str(), nullptr));
    EXPECT_TRUE(longField.fail());
    EXPECT_EQ(r.maxZ(), 0.0);
    std::istringstream infinities("(inf,-inf,1,2,3,4)");
    infinities >> r;
    EXPECT_TRUE(std::isinf(r.minX()));
    EXPECT_EQ(r.minY(), -kInf);
}

TEST(ExtentTest, NullExtentIsOneSharedEmptyExtent)
{
    // Concurrent first calls (when this test runs first in its process).
    std::vector<std::thread> threads;
    std::vector<const Dt3dExtent*> seen(8, nullptr);
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&seen, i] { seen[std::size_t(i)] = &Dt3dExtent::nullExtent(); });
    for (auto& t : threads)
        t.join();
    for (const Dt3dExtent* p : seen)
        EXPECT_EQ(p, &Dt3dExtent::nullExtent());
    EXPECT_TRUE(Dt3dExtent::nullExtent().empty());
    EXPECT_TRUE(Dt3dExtent::nullExtent() == Dt3dExtent());
}
