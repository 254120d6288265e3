// Bounding volumes.
#include "testSupport.h"

#include <3dBoundingVolume.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace Vorant;

TEST(BoundingVolumeTest, DefaultAndConstructedStates)
{
    Dt3dBoundingVolume v;
    EXPECT_EQ(v.length(), 2.0);
    EXPECT_EQ(v.width(), 2.0);
    EXPECT_EQ(v.height(), 2.0);
    EXPECT_EQ(v.boundingRadius(), 1.0);   // not the length of (1, 1, 1)
    EXPECT_FALSE(v.isOffset());
    EXPECT_EQ(v.offsetLength(), 0.0);
    EXPECT_EQ(v.latticeOffset(), DtVector64::zero());

    const Dt3dBoundingVolume a(3, 4, 12);
    EXPECT_EQ(a.boundingRadius(), 13.0);
    EXPECT_EQ(a.halfLength(), 3.0);
    EXPECT_EQ(a.halfWidth(), 4.0);
    EXPECT_EQ(a.halfHeight(), 12.0);
    EXPECT_FALSE(a.isOffset());
    const Dt3dBoundingVolume b(3, 4, 12, DtVector64::zero());
    EXPECT_TRUE(b.isOffset());
    EXPECT_EQ(b.offsetLength(), 0.0);
    const Dt3dBoundingVolume c(3, 4, 12, 0, 3, 4);
    EXPECT_EQ(c.offsetLength(), 5.0);
    EXPECT_TRUE(c == Dt3dBoundingVolume(3, 4, 12, DtVector64(0, 3, 4)));
    EXPECT_TRUE(c != b);
    EXPECT_TRUE(a != b);   // the flag differs

    v.setHalfLength(5);
    EXPECT_NEAR(v.boundingRadius(), 5.1961524, 1e-7);
    v.setToDefault();
    EXPECT_TRUE(v == Dt3dBoundingVolume());
    v.setHalfLengthWidthHeight(3, 4, 12);
    EXPECT_EQ(v.boundingRadius(), 13.0);
    Dt3dBoundingVolume self = c;
    self = self;
    EXPECT_TRUE(self == c);
}

TEST(BoundingVolumeTest, LatticeOffsets)
{
    Dt3dBoundingVolume v;
    v.setLatticeOffset(DtVector64(0, 0, 5e-10));
    EXPECT_FALSE(v.isOffset());
    v.setLatticeOffset(0, 0, 2e-9);
    EXPECT_TRUE(v.isOffset());
    EXPECT_EQ(v.offsetLength(), 2e-9);
    v.setLatticeOffset(3, 0, 4);
    EXPECT_EQ(v.offsetLength(), 5.0);
    v.setLatticeOffset(0, 0, 0);
    EXPECT_FALSE(v.isOffset());
    EXPECT_EQ(v.offsetLength(), 0.0);
    EXPECT_EQ(v.latticeOffset(), DtVector64::zero());
    EXPECT_EQ(v.boundingRadius(), 1.0);   // untouched by offsets
}

TEST(BoundingVolumeTest, StretchingKeepsTheOppositeFace)
{
    Dt3dBoundingVolume f;
    f.stretchForward(2, 0.5);
    EXPECT_EQ(f.halfLength(), 2.0);
    EXPECT_EQ(f.halfWidth(), 1.5);
    EXPECT_EQ(f.halfHeight(), 1.0);
    EXPECT_EQ(f.latticeOffset(), DtVector64(1, 0.5, 0));
    EXPECT_NEAR(f.offsetLength(), 1.1180340, 1e-7);
    EXPECT_NEAR(f.boundingRadius(), 2.6925824, 1e-7);
    EXPECT_TRUE(f.isOffset());
    // Rear face: offset x - half length stays at -1; front face moved by 2.
    EXPECT_EQ(f.latticeOffset().x() - f.halfLength(), -1.0);
    EXPECT_EQ(f.latticeOffset().x() + f.halfLength(), 3.0);

    Dt3dBoundingVolume b;
    b.stretchBackward(2, 0.5);
    EXPECT_EQ(b.latticeOffset(), DtVector64(-1, 0.5, 0));
    EXPECT_EQ(b.halfLength(), 2.0);
    EXPECT_EQ(b.halfWidth(), 1.5);
    EXPECT_EQ(b.latticeOffset().x() + b.halfLength(), 1.0);   // front face stays
    // A stretch by zero still marks the offset as in effect.
    Dt3dBoundingVolume z;
    z.stretchForward(0, 0);
    EXPECT_TRUE(z.isOffset());
    EXPECT_EQ(z.boundingRadius(), std::sqrt(3.0));
}

TEST(BoundingVolumeTest, ViolatedPreconditionsAreReportedAndChangeNothing)
{
    const std::string file = "libsrc/matrix/3dBoundingVolume.cpp";
    const auto expectReport = [&file](const std::string& text, const std::string& condition,
                                      const std::string& signature) {
        const std::string prefix = "Precondition failed: " + condition + ", file " + file + ", line ";
        ASSERT_EQ(text.compare(0, prefix.size(), prefix), 0) << text;
        const std::string suffix = ", in " + signature + "\n";
        ASSERT_GT(text.size(), prefix.size() + suffix.size());
        EXPECT_EQ(text.compare(text.size() - suffix.size(), suffix.size(), suffix), 0) << text;
        const std::string line = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
        EXPECT_GT(std::stoi(line), 0);
    };

    Dt3dBoundingVolume v(2, 3, 4, 1, 1, 1);
    const Dt3dBoundingVolume before = v;
    {
        qmtest::Capture fatal(DtFatal);
        v.setHalfLengthWidthHeight(1, 1e-9, 1);
        expectReport(fatal.text(), "halfWidth > DtENano",
                     "virtual void Vorant::Dt3dBoundingVolume::setHalfLengthWidthHeight(double, double, double)");
    }
    {
        qmtest::Capture fatal(DtFatal);
        v.setHalfLengthWidthHeight(0, 1, 1);
        expectReport(fatal.text(), "halfLength > DtENano",
                     "virtual void Vorant::Dt3dBoundingVolume::setHalfLengthWidthHeight(double, double, double)");
    }
    {
        qmtest::Capture fatal(DtFatal);
        v.setHalfLengthWidthHeight(1, 1, std::nan(""));
        expectReport(fatal.text(), "halfHeight > DtENano",
                     "virtual void Vorant::Dt3dBoundingVolume::setHalfLengthWidthHeight(double, double, double)");
    }
    {
        qmtest::Capture fatal(DtFatal);
        v.setHalfLength(-1);
        expectReport(fatal.text(), "newHalfLength > DtENano",
                     "virtual void Vorant::Dt3dBoundingVolume::setHalfLength(double)");
    }
    {
        qmtest::Capture fatal(DtFatal);
        v.stretchForward(-4, 0);   // half length 2 - 2 = 0
        expectReport(fatal.text(), "myHalfDimensions[0] > DtENano",
                     "virtual void Vorant::Dt3dBoundingVolume::stretchForward(double, double)");
    }
    {
        qmtest::Capture fatal(DtFatal);
        v.stretchBackward(0, -5);
        expectReport(fatal.text(), "myHalfDimensions[1] > DtENano",
                     "virtual void Vorant::Dt3dBoundingVolume::stretchBackward(double, double)");
    }
    {
        qmtest::Capture fatal(DtFatal);
        v.stretchForward(-10, -10);   // the first failing condition is reported
        expectReport(fatal.text(), "myHalfDimensions[0] > DtENano",
                     "virtual void Vorant::Dt3dBoundingVolume::stretchForward(double, double)");
    }
    EXPECT_TRUE(v == before);

    // Unflagged volumes stay unflagged after a failed stretch.
    Dt3dBoundingVolume plain;
    qmtest::Capture fatal(DtFatal);
    plain.stretchBackward(-2, 0);
    EXPECT_FALSE(plain.isOffset());
    EXPECT_TRUE(plain == Dt3dBoundingVolume());
}
