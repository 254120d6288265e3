// A translation-only change of coordinates: a point p maps to p - offset.
#ifndef QORMATRIX_COORD_TRANSLATION_H
#define QORMATRIX_COORD_TRANSLATION_H

#include <qvVector.h>
#include <qvutil/dtExport.h>

namespace Vorant {

/// A translation between two frames.
class DT_EXPORT DtCoordTranslation
{
public:
    DtCoordTranslation() = default;
    DtCoordTranslation(const DtVector64& offset) { setOffset(offset); }

    /// The offset: the new frame's origin in the old frame.
    void setOffset(const DtVector64& offset) { myOffset = offset; }
    DtVector64 offset() const { return myOffset; }
    void getOffset(DtVector64& offset) const { offset = myOffset; }

    /// out = p - offset; out may be p.
    void coordTrans(const DtVector64& p, DtVector64& out) const;
    /// offset = -(t's offset); t may be this object.
    void setByInverse(const DtCoordTranslation& t);

private:
    DtVector64 myOffset;
};

}  // namespace Vorant

#endif
