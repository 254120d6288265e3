#include <3dPoint.h>

#include "diagnostics.h"
#include "textFields.h"

#include <cmath>
#include <cstdlib>
#include <istream>
#include <ostream>

namespace Vorant {

namespace {

const char* const kInvalidIndex = "Invalid index (should be 0..2)";
}  // namespace

const double& Dt3dPoint::operator[](int i) const
{
    switch (i) {
    case 0:
        return myX;
    case 1:
        return myY;
    case 2:
        return myZ;
    default:
        detail::throwDtException(kInvalidIndex, "const double& Vorant::Dt3dPoint::operator[](int) const", __FILE__,
                                 __LINE__);
    }
}

double& Dt3dPoint::operator[](int i)
{
    // The same components as the const form; only the reported signature differs.
    if (i < 0 || i > 2)
        detail::throwDtException(kInvalidIndex, "double& Vorant::Dt3dPoint::operator[](int)", __FILE__, __LINE__);
    return const_cast<double&>(static_cast<const Dt3dPoint&>(*this)[i]);
}

bool Dt3dPoint::approxEq(const Dt3dPoint& other, const double& tolerance) const
{
    const double t = std::fabs(tolerance);
    return t >= std::fabs(myX - other.myX) && t >= std::fabs(myY - other.myY) && t >= std::fabs(myZ - other.myZ);
}

void Dt3dPoint::normalize()
{
    const double m = magnitudeSquared();
    if (m == 0.0 || m == 1.0)
        return;
    const double s = std::sqrt(m);
    myX /= s;
    myY /= s;
    myZ /= s;
}

double Dt3dPoint::xyDistanceToLineSquared(const Dt3dPoint& a, const Dt3dPoint& b) const
{
    const double length = a.xyDistanceSquaredTo(b);
    const double t = ((myX - a.myX) * (b.myX - a.myX) + (myY - a.myY) * (b.myY - a.myY)) / length;
    Dt3dPoint closest;
    if (t <= 0) {
        closest = a;
    } else if (t >= 1) {
        closest = b;
    } else {
        closest.myX = a.myX + (b.myX - a.myX) * t;
        closest.myY = a.myY + (b.myY - a.myY) * t;
    }
    return xyDistanceSquaredTo(closest);
}

double Dt3dPoint::xyDistanceToLine(const Dt3dPoint& a, const Dt3dPoint& b) const
{
    return std::sqrt(xyDistanceToLineSquared(a, b));
}

std::ostream& operator<<(std::ostream& os, const Dt3dPoint& p)
{
    os << "(" << p.x() << ", " << p.y() << ", " << p.z() << ")";
    return os;
}

std::istream& operator>>(std::istream& is, Dt3dPoint& p)
{
    detail::skipToOpeningBracket(is);
    p.setX(detail::readField(is, ','));
    p.setY(detail::readField(is, ','));
    p.setZ(detail::readField(is, ')'));
    return is;
}

}  // namespace Vorant
