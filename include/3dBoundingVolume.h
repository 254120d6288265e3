// The box that bounds an entity in its own body axes: half length (x), half
// width (y) and half height (z), and a lattice offset of the box centre from
// the entity's reference point.
#ifndef QORMATRIX_3D_BOUNDING_VOLUME_H
#define QORMATRIX_3D_BOUNDING_VOLUME_H

#include <qvVector.h>
#include <qvutil/dtExport.h>

namespace Vorant {

/// The smallest half dimension the changing operations accept.
constexpr double DtENano = 1e-9;

/// A half dimension at or below DtENano is a programming error: the operation
/// reports the violated condition through DtFatalError (condition, source file,
/// line and signature) and leaves the volume as it was before the call.
class DT_EXPORT Dt3dBoundingVolume
{
public:
    /// Half dimensions (1, 1, 1), no offset, bounding radius 1.0 (not the
    /// length of (1, 1, 1)).
    Dt3dBoundingVolume();
    Dt3dBoundingVolume(double halfLength, double halfWidth, double halfHeight);
    /// With an offset, which is in effect even when it is zero.
    Dt3dBoundingVolume(double halfLength, double halfWidth, double halfHeight, const DtVector64& offset);
    Dt3dBoundingVolume(double halfLength, double halfWidth, double halfHeight, double offsetX, double offsetY,
                       double offsetZ);
    Dt3dBoundingVolume(const Dt3dBoundingVolume&) = default;
    Dt3dBoundingVolume& operator=(const Dt3dBoundingVolume&) = default;
    virtual ~Dt3dBoundingVolume();

    /// All five values equal.
    bool operator==(const Dt3dBoundingVolume& o) const;
    bool operator!=(const Dt3dBoundingVolume& o) const { return !(*this == o); }

    /// Back to the default state.
    virtual void setToDefault();
    /// Full and half dimensions along x, y, z, and the length of the half dimensions.
    virtual double length() const;
    virtual double width() const;
    virtual double height() const;
    virtual double halfLength() const;
    virtual double halfWidth() const;
    virtual double halfHeight() const;
    virtual double boundingRadius() const;
    /// Replace half dimensions; each must exceed DtENano.
    virtual void setHalfLengthWidthHeight(double halfLength, double halfWidth, double halfHeight);
    virtual void setHalfLength(double newHalfLength);
    /// Moves the front face forward by deltaLength (the rear face stays) and
    /// the face at the largest y outwards by twice deltaWidth.
    virtual void stretchForward(double deltaLength, double deltaWidth);
    /// Moves the rear face back by deltaLength (the front face stays); the
    /// width changes as in stretchForward.
    virtual void stretchBackward(double deltaLength, double deltaWidth);
    /// An offset with no component above 1e-9 clears the offset.
    virtual void setLatticeOffset(const DtVector64& offset);
    virtual void setLatticeOffset(double x, double y, double z);
    /// Offset (0, 0, 0), not in effect.
    virtual void clearLatticeOffset();
    /// The offset of the box centre, whether it is in effect, and its length.
    virtual const DtVector64& latticeOffset() const;
    virtual bool isOffset() const;
    virtual double offsetLength() const;

private:
    void stretch(double offsetDeltaX, double deltaLength, double deltaWidth, const char* signature);

    DtVector64 myHalfDimensions;
    DtVector64 myLatticeOffset;
    bool myIsOffset;
    double myOffsetLength;
    double myBoundingRadius;
};

}  // namespace Vorant

#endif
