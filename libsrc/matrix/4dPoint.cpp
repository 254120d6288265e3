#include <4dPoint.h>

#include "diagnostics.h"

#include <3dPoint.h>

namespace Vorant {

namespace {
const char* const kInvalidIndex = "Invalid index (should be 0..3)";
}

Dt4dPoint::~Dt4dPoint() = default;

void Dt4dPoint::set(const double& x, const double& y, const double& z, const double& w)
{
    myX = x;
    myY = y;
    myZ = z;
    myW = w;
}

void Dt4dPoint::unhomogenize()
{
    // w > 0 is the precondition; outside it the point is left as it is.
    if (myW <= 0)
        return;
    if (myW == 1.0)
        return;
    const double f = 1.0 / myW;
    myX *= f;
    myY *= f;
    myZ *= f;
    myW = 1.0;
}

const double& Dt4dPoint::operator[](int i) const
{
    switch (i) {
    case 0:
        return myX;
    case 1:
        return myY;
    case 2:
        return myZ;
    case 3:
        return myW;
    default:
        detail::throwDtException(kInvalidIndex, "const double& Vorant::Dt4dPoint::operator[](int) const", __FILE__,
                                 __LINE__);
    }
}

double& Dt4dPoint::operator[](int i)
{
    // The same components as the const form; only the reported signature differs.
    if (i < 0 || i > 3)
        detail::throwDtException(kInvalidIndex, "double& Vorant::Dt4dPoint::operator[](int)", __FILE__, __LINE__);
    return const_cast<double&>(static_cast<const Dt4dPoint&>(*this)[i]);
}

void Dt4dPoint::setFromVector(const DtVector64& v)
{
    myX = v.x();
    myY = v.y();
    myZ = v.z();
    myW = 1.0;
}

void Dt4dPoint::setFrom3dPoint(const Dt3dPoint& p)
{
    myX = p.x();
    myY = p.y();
    myZ = p.z();
    myW = 1.0;
}

}  // namespace Vorant
