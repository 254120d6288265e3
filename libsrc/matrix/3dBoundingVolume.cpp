#include <3dBoundingVolume.h>

#include "diagnostics.h"

#include <cmath>

namespace Vorant {

namespace {

// Named in the precondition reports.
const char* const kSourcePath = "libsrc/matrix/3dBoundingVolume.cpp";

double lengthOf(const DtVector64& v)
{
    return std::sqrt(v.magnitudeSquared());
}

}  // namespace

// Checks a precondition; on violation reports it and abandons the operation.
#define DT_REQUIRE(condition, signature)                                                       \
    if (!(condition)) {                                                                        \
        detail::reportPrecondition(#condition, kSourcePath, __LINE__, signature);              \
        return;                                                                                \
    }

Dt3dBoundingVolume::Dt3dBoundingVolume()
    : myHalfDimensions(DtVector64::ones()), myLatticeOffset(), myIsOffset(false), myOffsetLength(0.0),
      myBoundingRadius(1.0)
{
}

Dt3dBoundingVolume::Dt3dBoundingVolume(double halfLength, double halfWidth, double halfHeight)
    : myHalfDimensions(halfLength, halfWidth, halfHeight), myLatticeOffset(), myIsOffset(false),
      myOffsetLength(0.0), myBoundingRadius(lengthOf(myHalfDimensions))
{
}

Dt3dBoundingVolume::Dt3dBoundingVolume(double halfLength, double halfWidth, double halfHeight,
                                       const DtVector64& offset)
    : myHalfDimensions(halfLength, halfWidth, halfHeight), myLatticeOffset(offset), myIsOffset(true),
      myOffsetLength(lengthOf(offset)), myBoundingRadius(lengthOf(myHalfDimensions))
{
}

Dt3dBoundingVolume::Dt3dBoundingVolume(double halfLength, double halfWidth, double halfHeight, double offsetX,
                                       double offsetY, double offsetZ)
    : Dt3dBoundingVolume(halfLength, halfWidth, halfHeight, DtVector64(offsetX, offsetY, offsetZ))
{
}

Dt3dBoundingVolume::~Dt3dBoundingVolume() = default;

bool Dt3dBoundingVolume::operator==(const Dt3dBoundingVolume& o) const
{
    return myHalfDimensions == o.myHalfDimensions && myLatticeOffset == o.myLatticeOffset &&
           myIsOffset == o.myIsOffset && myOffsetLength == o.myOffsetLength && myBoundingRadius == o.myBoundingRadius;
}

void Dt3dBoundingVolume::setToDefault()
{
    *this = Dt3dBoundingVolume();
}

double Dt3dBoundingVolume::length() const { return 2 * myHalfDimensions[0]; }
double Dt3dBoundingVolume::width() const { return 2 * myHalfDimensions[1]; }
double Dt3dBoundingVolume::height() const { return 2 * myHalfDimensions[2]; }
double Dt3dBoundingVolume::halfLength() const { return myHalfDimensions[0]; }
double Dt3dBoundingVolume::halfWidth() const { return myHalfDimensions[1]; }
double Dt3dBoundingVolume::halfHeight() const { return myHalfDimensions[2]; }
double Dt3dBoundingVolume::boundingRadius() const { return myBoundingRadius; }

void Dt3dBoundingVolume::setHalfLengthWidthHeight(double halfLength, double halfWidth, double halfHeight)
{
    const char* const signature =
        "virtual void Vorant::Dt3dBoundingVolume::setHalfLengthWidthHeight(double, double, double)";
    DT_REQUIRE(halfLength > DtENano, signature)
    DT_REQUIRE(halfWidth > DtENano, signature)
    DT_REQUIRE(halfHeight > DtENano, signature)
    myHalfDimensions.setAll(halfLength, halfWidth, halfHeight);
    myBoundingRadius = lengthOf(myHalfDimensions);
}

void Dt3dBoundingVolume::setHalfLength(double newHalfLength)
{
    DT_REQUIRE(newHalfLength > DtENano, "virtual void Vorant::Dt3dBoundingVolume::setHalfLength(double)")
    myHalfDimensions[0] = newHalfLength;
    myBoundingRadius = lengthOf(myHalfDimensions);
}

void Dt3dBoundingVolume::stretch(double offsetDeltaX, double deltaLength, double deltaWidth, const char* signature)
{
    const Dt3dBoundingVolume before(*this);
    myIsOffset = true;
    myLatticeOffset[0] += offsetDeltaX;
    myLatticeOffset[1] += deltaWidth;
    myHalfDimensions[0] += 0.5 * deltaLength;
    myHalfDimensions[1] += deltaWidth;
    // On a violation the volume goes back to its state before the call.
    if (!(myHalfDimensions[0] > DtENano)) {
        *this = before;
        detail::reportPrecondition("myHalfDimensions[0] > DtENano", kSourcePath, __LINE__, signature);
        return;
    }
    if (!(myHalfDimensions[1] > DtENano)) {
        *this = before;
        detail::reportPrecondition("myHalfDimensions[1] > DtENano", kSourcePath, __LINE__, signature);
        return;
    }
    myOffsetLength = lengthOf(myLatticeOffset);
    myBoundingRadius = lengthOf(myHalfDimensions);
}

void Dt3dBoundingVolume::stretchForward(double deltaLength, double deltaWidth)
{
    stretch(0.5 * deltaLength, deltaLength, deltaWidth,
            "virtual void Vorant::Dt3dBoundingVolume::stretchForward(double, double)");
}

void Dt3dBoundingVolume::stretchBackward(double deltaLength, double deltaWidth)
{
    stretch(-(0.5 * deltaLength), deltaLength, deltaWidth,
            "virtual void Vorant::Dt3dBoundingVolume::stretchBackward(double, double)");
}

void Dt3dBoundingVolume::setLatticeOffset(const DtVector64& offset)
{
    if (offset.magnitudeIsZero(1e-9)) {
        clearLatticeOffset();
        return;
    }
    myLatticeOffset = offset;
    myIsOffset = true;
    myOffsetLength = lengthOf(myLatticeOffset);
}

void Dt3dBoundingVolume::setLatticeOffset(double x, double y, double z)
{
    setLatticeOffset(DtVector64(x, y, z));
}

void Dt3dBoundingVolume::clearLatticeOffset()
{
    myLatticeOffset.setToZero();
    myIsOffset = false;
    myOffsetLength = 0.0;
}

const DtVector64& Dt3dBoundingVolume::latticeOffset() const { return myLatticeOffset; }
bool Dt3dBoundingVolume::isOffset() const { return myIsOffset; }
double Dt3dBoundingVolume::offsetLength() const { return myOffsetLength; }

}  // namespace Vorant
