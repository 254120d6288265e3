// Points, homogeneous points, chords, extents and bounding volumes: worked
// examples, the readers on nasty input, clipping against sampling, and every
// message text. The bit patterns over many inputs are the digest suite's.
#include "testSupport.h"

using namespace Vorant;
using namespace qmtest;

namespace {

const Dt3dExtent kUnit(0, 1, 0, 1, 0, 1);

template <class T>
T read(const std::string& text, T value)
{
    std::istringstream in(text);
    in >> value;
    return value;
}

Dt3dChord chord(double x0, double y0, double z0, double x1, double y1, double z1)
{
    return Dt3dChord(Dt3dPoint(x0, y0, z0), Dt3dPoint(x1, y1, z1));
}

}  // namespace

TEST(PointTest, IndexingDistancesAndHomogeneousPoints)
{
    Dt3dPoint p(1, 2, 3);
    const Dt3dPoint& cp = p;
    expectThrows([&] { (void)cp[3]; }, "Invalid index (should be 0..2)",
                   "const double& Vorant::Dt3dPoint::operator[](int) const", "3dPoint.cpp");
    expectThrows([&] { p[-1] = 5; }, "Invalid index (should be 0..2)", "double& Vorant::Dt3dPoint::operator[](int)",
                   "3dPoint.cpp");
    Dt3dPoint zero(0, 0, 0);
    zero.normalize();   // nothing to scale
    zero[0] = p[0];
    EXPECT_TRUE(zero.approxEq(Dt3dPoint(1, 0, 0), 0.0));
    Dt4dPoint h(2, 4, 6, 2);
    const Dt4dPoint& ch = h;
    expectThrows([&] { (void)ch[4]; }, "Invalid index (should be 0..3)",
                   "const double& Vorant::Dt4dPoint::operator[](int) const", "4dPoint.cpp");
    expectThrows([&] { h[-1] = 0; }, "Invalid index (should be 0..3)", "double& Vorant::Dt4dPoint::operator[](int)",
                   "4dPoint.cpp");
    h[3] = 2;   // the last component is writable (it is already 2)
    EXPECT_TRUE(p.approxEq(Dt3dPoint(1, 2, 3), 0.0) && h == Dt4dPoint(2, 4, 6, 2) &&   // unchanged by the throws
                Dt3dPoint(0, 0, 0).approxEq(Dt3dPoint(0.4, 0, 0), -0.5));   // |tolerance|
    Dt4dPoint w0(2, 4, 6, 0);
    h.unhomogenize();
    w0.unhomogenize();   // w <= 0: unchanged
    EXPECT_TRUE(h == Dt4dPoint(1, 2, 3, 1) && w0 == Dt4dPoint(2, 4, 6, 0));

    const Dt3dPoint a(-1, 0, 0), b(1, 0, 0);
    EXPECT_TRUE(Dt3dPoint(3, 0, 0).xyDistanceToLineSquared(a, b) == 4.0 &&     // clamped at b
                Dt3dPoint(-4, 4, 0).xyDistanceToLineSquared(a, b) == 25.0);    // clamped at a
    EXPECT_TRUE(std::isnan(Dt3dPoint(1, 1, 0).xyDistanceToLineSquared(a, Dt3dPoint(-1, 0, 9))));   // no x-y length
    const Dt3dPoint end(-4.898619485211566, 0, 0);   // t = 1 takes the end itself, not a + (b - a) one ulp off
    EXPECT_EQ(end.xyDistanceToLineSquared(Dt3dPoint(5.275492379532281, 0, 0), end), 0.0);
}

TEST(PointTest, TextFormsAndReaders)
{
    std::ostringstream os;
    os << Dt3dPoint(1, 2.5, -3) << chord(0, 0, 0, 2, 4, 6) << Dt3dExtent(0, 1, 0, 2, 0, 3);
    EXPECT_EQ(os.str(), "(1, 2.5, -3)((0, 0, 0), (2, 4, 6))(0,0,0,1,2,3)");
    EXPECT_TRUE(read("  junk (a, 2, 3e2)", Dt3dPoint(5, 5, 5)).approxEq(Dt3dPoint(0, 2, 300), 0.0));
    EXPECT_TRUE(read("(0,0,0,1,2,3)", Dt3dExtent()) == Dt3dExtent(0, 1, 0, 2, 0, 3));
    for (const char* text : {"", "(", "(1, 2", "no bracket", ")))(((", "(,,,,,)", "(x,y,z,a,b,c)"}) {
        EXPECT_TRUE(std::isfinite(read(text, Dt3dPoint(5, 5, 5)).x())) << text;   // never out of bounds
        EXPECT_TRUE(std::isfinite(read(text, Dt3dExtent(9, 9, 9, 9, 9, 9)).minX())) << text;
    }
    // Fields of 80 characters: 79 are kept and the stream fails.
    const std::string field80(80, '8'), kept = field80.substr(0, 79);
    std::istringstream tooLong("(" + field80 + ", 2, 3)");
    Dt3dPoint p(1, 1, 1);
    tooLong >> p;
    EXPECT_TRUE(tooLong.fail() && p.approxEq(Dt3dPoint(std::strtod(kept.c_str(), nullptr), 0, 0), 0.0));
    // Before the bracket: at most 79 characters for a point, no limit for an extent.
    EXPECT_EQ(read(std::string(100, ' ') + "(1, 2, 3)", Dt3dPoint(5, 5, 5)).x(), 0.0);
    EXPECT_TRUE(read(std::string(300, 'x') + "(1,2,3,4,5,6)", Dt3dExtent()) == Dt3dExtent(1, 4, 2, 5, 3, 6));
    std::stringstream ss;   // written with every digit, read back equal
    ss.precision(17);
    ss << Dt3dPoint(0.1, -1.0 / 3, 2e300) << " " << Dt3dExtent(0.1, 1e-300, -1.0 / 3, 7, 1e22, -0.0);
    EXPECT_TRUE(read(ss.str(), Dt3dPoint()).approxEq(Dt3dPoint(0.1, -1.0 / 3, 2e300), 0.0) &&
                read(ss.str().substr(ss.str().find(' ')), Dt3dExtent()) == Dt3dExtent(0.1, 1e-300, -1.0 / 3, 7, 1e22, -0.0));
}

TEST(ExtentTest, ChordsGrowingContainmentAndClipping)
{
    const Dt3dChord x = chord(0, 0, 0, 10, 0, 0);   // collinear: an absolute test
    double t = -7;
    EXPECT_TRUE(x.isCollinear(Dt3dPoint(5, 5e-8, 0)) && !x.isCollinear(Dt3dPoint(5, 2e-7, 0)) &&
                !chord(0, 0, 0, 0, 0, 10).intersectsPlaneZEqualsAtPoint(11, t) && t == -7.0);   // t not written
    Dt3dExtent e;
    e.expandToInclude(Dt3dPoint(1, 2, 3));
    e.expandToInclude(chord(0, 0, 0, 0, 0, 9));
    e.expandToInclude(Dt3dExtent());
    EXPECT_TRUE(Dt3dExtent().empty() && e == Dt3dExtent(0, 1, 0, 2, 0, 9) && kUnit.contains(Dt3dExtent()) &&
                kUnit.contains(Dt3dPoint(1, 1, 1)) && kUnit.intersects(Dt3dExtent(1, 2, 1, 2, 1, 2)) && &Dt3dExtent::nullExtent() == &Dt3dExtent::nullExtent());

    double tNear, tFar;
    EXPECT_TRUE(kUnit.intersectsLineOfChord(chord(-1, 0.5, 0.5, 2, 0.5, 0.5), tNear, tFar) &&
                std::fabs(tNear - 1.0 / 3) < 1e-15 && std::fabs(tFar - 2.0 / 3) < 1e-15);
    EXPECT_TRUE(!kUnit.intersects(chord(-3, 0.5, 0.5, -1, 0.5, 0.5)));   // the line meets the box, the chord not
    std::mt19937 gen(8);
    std::uniform_real_distribution<double> u(-1.5, 2.5);
    int hits = 0;
    for (int k = 0; k < 2000; ++k) {   // against dense sampling
        const Dt3dChord c = chord(u(gen), u(gen), u(gen), u(gen), u(gen), u(gen));
        bool sampled = false;
        for (int i = 0; i <= 4000 && !sampled; ++i)
            sampled = kUnit.contains(c.computePoint(i / 4000.0));
        EXPECT_TRUE(!sampled || kUnit.intersects(c)) << c;
        hits += sampled;
    }
    EXPECT_GT(hits, 300);
}

TEST(BoundingVolumeTest, SizesStretchingAndViolatedPreconditions)
{
    Dt3dBoundingVolume f, back;
    f.stretchForward(2, 0.5);   // the rear face stays
    back.stretchBackward(2, 0.5);   // the front face stays
    EXPECT_TRUE(f.halfLength() == 2 && f.halfWidth() == 1.5 && f.latticeOffset() == DtVector64(1, 0.5, 0) &&
                back.latticeOffset() == DtVector64(-1, 0.5, 0) && back.isOffset() && std::fabs(f.boundingRadius() - 2.6925824) < 1e-7);
    f.setLatticeOffset(DtVector64(0, 0, 5e-10));
    EXPECT_TRUE(!f.isOffset() && Dt3dBoundingVolume(3, 4, 12, DtVector64::zero()).isOffset() &&   // a zero offset is in effect
                Dt3dBoundingVolume(3, 4, 12, 0, 3, 4) != Dt3dBoundingVolume(3, 4, 12, 0, 0, 5));
    Dt3dBoundingVolume v(2, 3, 4, 1, 1, 1), plain;
    const Dt3dBoundingVolume before = v;
    const std::string setter = "virtual void Vorant::Dt3dBoundingVolume::setHalfLengthWidthHeight(double, double, double)";
    const struct { std::function<void()> call; std::string condition, signature; } cases[] = {
        {[&] { v.setHalfLengthWidthHeight(1, 1e-9, 1); }, "halfWidth > DtENano", setter},
        {[&] { v.setHalfLengthWidthHeight(0, 1, 1); }, "halfLength > DtENano", setter},
        {[&] { v.setHalfLengthWidthHeight(1, 1, std::nan("")); }, "halfHeight > DtENano", setter},
        {[&] { v.setHalfLength(-1); }, "newHalfLength > DtENano",
         "virtual void Vorant::Dt3dBoundingVolume::setHalfLength(double)"},
        {[&] { v.stretchForward(-10, -10); }, "myHalfDimensions[0] > DtENano",   // the first failing one
         "virtual void Vorant::Dt3dBoundingVolume::stretchForward(double, double)"},
        {[&] { plain.stretchBackward(0, -5); }, "myHalfDimensions[1] > DtENano",
         "virtual void Vorant::Dt3dBoundingVolume::stretchBackward(double, double)"},
    };
    for (const auto& c : cases) {
        qmtest::Capture fatal(DtFatal);
        c.call();
        const std::string text = fatal.text(),
                          prefix = "Precondition failed: " + c.condition + ", file libsrc/matrix/3dBoundingVolume.cpp, line ",
                          suffix = ", in " + c.signature + "\n";
        ASSERT_TRUE(text.size() > prefix.size() + suffix.size() && text.compare(0, prefix.size(), prefix) == 0 &&
                    text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0) << text;
        EXPECT_GT(std::stoi(text.substr(prefix.size())), 0);
    }
    EXPECT_TRUE(v == before && plain == Dt3dBoundingVolume() && !plain.isOffset());
}
