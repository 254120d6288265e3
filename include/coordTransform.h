// A rigid change of coordinates: an offset (the new frame's origin in the old
// frame) followed by a rotation. A point p maps to rotation (p - offset), a
// free vector v to rotation v.
#ifndef QORMATRIX_COORD_TRANSFORM_H
#define QORMATRIX_COORD_TRANSFORM_H

#include <qvDcm.h>
#include <qvVector.h>
#include <qvutil/dtExport.h>

namespace Vorant {

class DtTaitBryan;

/// Offset then rotation between two frames.
class DT_EXPORT DtCoordTransform
{
public:
    /// Zero offset, identity rotation.
    DtCoordTransform() : myOffset(), myRotation(DtDcm::identity()) {}
    DtCoordTransform(const DtVector64& offset, const DtDcm& rotation) : myOffset(offset), myRotation(rotation) {}

    /// The offset (the new frame's origin in the old frame) and the rotation.
    void setOffset(const DtVector64& offset) { myOffset = offset; }
    void setRotation(const DtDcm& rotation) { myRotation = rotation; }
    DtVector64 offset() const { return myOffset; }
    DtDcm rotation() const { return myRotation; }
    void getOffset(DtVector64& offset) const { offset = myOffset; }
    void getOrientation(DtDcm& rotation) const { rotation = myRotation; }

    /// Point transform; out may be p.
    void coordTrans(const DtVector64& p, DtVector64& out) const;
    /// Free-vector transform (rotation only); out may be v.
    void vecTrans(const DtVector64& v, DtVector64& out) const;
    void vecTrans(const DtVector32& v, DtVector32& out) const;
    /// The orientation given by the angles in the old frame, in the new frame.
    void eulerTrans(const DtTaitBryan& in, DtTaitBryan* out) const;
    /// Becomes the inverse of t (using the transpose of its rotation). t may
    /// be this object.
    void setByInverse(const DtCoordTransform& t);

private:
    DtVector64 myOffset;
    DtDcm myRotation;
};

}  // namespace Vorant

#endif
