#include <coordTransform.h>

#include <qvTaitBryan.h>

namespace Vorant {

void DtCoordTransform::coordTrans(const DtVector64& p, DtVector64& out) const
{
    DtVector64 d;
    DtVecSub(p, myOffset, d);
    DtDcmVecMul(myRotation, d, out);
}

void DtCoordTransform::vecTrans(const DtVector64& v, DtVector64& out) const
{
    DtDcmVecMul(myRotation, v, out);
}

void DtCoordTransform::vecTrans(const DtVector32& v, DtVector32& out) const
{
    DtDcmVecMul(myRotation, v, out);
}

void DtCoordTransform::eulerTrans(const DtTaitBryan& in, DtTaitBryan* out) const
{
    DtEulerToEuler(in, myRotation, out);
}

void DtCoordTransform::setByInverse(const DtCoordTransform& t)
{
    // The new offset is computed from t's old offset and rotation before
    // either changes, so t may be this object.
    DtVector64 offset;
    t.coordTrans(DtVector64::zero(), offset);
    myOffset = offset;
    DtDcmTranspose(t.myRotation, myRotation);
}

}  // namespace Vorant
