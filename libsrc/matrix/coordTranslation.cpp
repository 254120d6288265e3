#include <coordTranslation.h>

namespace Vorant {

void DtCoordTranslation::coordTrans(const DtVector64& p, DtVector64& out) const
{
    out = p - myOffset;
}

void DtCoordTranslation::setByInverse(const DtCoordTranslation& t)
{
    DtVecNeg(t.myOffset, myOffset);
}

}  // namespace Vorant
