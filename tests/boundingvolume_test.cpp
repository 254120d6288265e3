// Bounding volumes.
#include "testSupport.h"

#include <3dBoundingVolume.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

using namespace Vorant;

TEST(BoundingVolumeTest, StatesOffsetsAndStretching)
{
    Dt3dBoundingVolume v;
    EXPECT_TRUE(v.length() == 2 && v.width() == 2 && v.height() == 2 && v.boundingRadius() == 1.0 && !v.isOffset() &&
                v.offsetLength() == 0.0);   // radius 1, not the length of (1, 1, 1)
    const Dt3dBoundingVolume a(3, 4, 12), b(3, 4, 12, DtVector64::zero()), c(3, 4, 12, 0, 3, 4);
    EXPECT_TRUE(a.boundingRadius() == 13 && a.halfLength() == 3 && a.halfWidth() == 4 && a.halfHeight() == 12 &&
                !a.isOffset());
    EXPECT_TRUE(b.isOffset() && b.offsetLength() == 0.0 && c.offsetLength() == 5.0);   // a zero offset is in effect
    EXPECT_TRUE(c == Dt3dBoundingVolume(3, 4, 12, DtVector64(0, 3, 4)) && c != b && a != b);
    v.setHalfLength(5);
    EXPECT_NEAR(v.boundingRadius(), 5.1961524, 1e-7);
    v.setToDefault();
    EXPECT_TRUE(v == Dt3dBoundingVolume());
    v.setHalfLengthWidthHeight(3, 4, 12);
    EXPECT_EQ(v.boundingRadius(), 13.0);

    v.setLatticeOffset(DtVector64(0, 0, 5e-10));
    EXPECT_FALSE(v.isOffset());
    v.setLatticeOffset(0, 0, 2e-9);
    EXPECT_TRUE(v.isOffset() && v.offsetLength() == 2e-9);
    v.setLatticeOffset(0, 0, 0);
    EXPECT_TRUE(!v.isOffset() && v.latticeOffset() == DtVector64::zero() && v.boundingRadius() == 13.0);

    Dt3dBoundingVolume f, back, zero;
    f.stretchForward(2, 0.5);
    EXPECT_TRUE(f.halfLength() == 2 && f.halfWidth() == 1.5 && f.halfHeight() == 1 && f.isOffset() &&
                f.latticeOffset() == DtVector64(1, 0.5, 0));
    EXPECT_NEAR(f.offsetLength(), 1.1180340, 1e-7);
    EXPECT_NEAR(f.boundingRadius(), 2.6925824, 1e-7);
    EXPECT_TRUE(f.latticeOffset().x() - f.halfLength() == -1.0);   // the rear face stays
    back.stretchBackward(2, 0.5);
    EXPECT_TRUE(back.latticeOffset() == DtVector64(-1, 0.5, 0) && back.halfLength() == 2 && back.halfWidth() == 1.5 &&
                back.latticeOffset().x() + back.halfLength() == 1.0);   // the front face stays
    zero.stretchForward(0, 0);
    EXPECT_TRUE(zero.isOffset() && zero.boundingRadius() == std::sqrt(3.0));
}

TEST(BoundingVolumeTest, ViolatedPreconditionsAreReportedAndChangeNothing)
{
    Dt3dBoundingVolume v(2, 3, 4, 1, 1, 1), plain;
    const Dt3dBoundingVolume before = v;
    const std::string file = "libsrc/matrix/3dBoundingVolume.cpp";
    const std::string setter = "virtual void Vorant::Dt3dBoundingVolume::setHalfLengthWidthHeight(double, double, double)";
    const struct
    {
        std::function<void()> call;
        std::string condition, signature;
    } cases[] = {
        {[&] { v.setHalfLengthWidthHeight(1, 1e-9, 1); }, "halfWidth > DtENano", setter},
        {[&] { v.setHalfLengthWidthHeight(0, 1, 1); }, "halfLength > DtENano", setter},
        {[&] { v.setHalfLengthWidthHeight(1, 1, std::nan("")); }, "halfHeight > DtENano", setter},
        {[&] { v.setHalfLength(-1); }, "newHalfLength > DtENano",
         "virtual void Vorant::Dt3dBoundingVolume::setHalfLength(double)"},
        {[&] { v.stretchForward(-4, 0); }, "myHalfDimensions[0] > DtENano",
         "virtual void Vorant::Dt3dBoundingVolume::stretchForward(double, double)"},
        {[&] { v.stretchBackward(0, -5); }, "myHalfDimensions[1] > DtENano",
         "virtual void Vorant::Dt3dBoundingVolume::stretchBackward(double, double)"},
        {[&] { v.stretchForward(-10, -10); }, "myHalfDimensions[0] > DtENano",   // the first failing one
         "virtual void Vorant::Dt3dBoundingVolume::stretchForward(double, double)"},
        {[&] { plain.stretchBackward(-2, 0); }, "myHalfDimensions[0] > DtENano",
         "virtual void Vorant::Dt3dBoundingVolume::stretchBackward(double, double)"},
    };
    for (const auto& c : cases) {
        qmtest::Capture fatal(DtFatal);
        c.call();
        const std::string text = fatal.text(), prefix = "Precondition failed: " + c.condition + ", file " + file + ", line ",
                          suffix = ", in " + c.signature + "\n";
        ASSERT_TRUE(text.size() > prefix.size() + suffix.size() && text.compare(0, prefix.size(), prefix) == 0 &&
                    text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0) << text;
        EXPECT_GT(std::stoi(text.substr(prefix.size())), 0);
    }
    EXPECT_TRUE(v == before && plain == Dt3dBoundingVolume() && !plain.isOffset());
}
