#include <3dChord.h>

#include <ostream>

namespace Vorant {

Dt3dChord::Dt3dChord()
    : myEndpoint0(), myEndpoint1(), myDx(0.0), myDy(0.0), myDz(0.0), myExtent(myEndpoint0, myEndpoint1)
{
}

Dt3dChord::Dt3dChord(const Dt3dPoint& p0, const Dt3dPoint& p1)
    : myEndpoint0(p0),
      myEndpoint1(p1),
      myDx(p1.x() - p0.x()),
      myDy(p1.y() - p0.y()),
      myDz(p1.z() - p0.z()),
      myExtent(p0, p1)
{
}

Dt3dPoint Dt3dChord::computePoint(double t) const
{
    return Dt3dPoint(myEndpoint0.x() + myDx * t, myEndpoint0.y() + myDy * t, myEndpoint0.z() + myDz * t);
}

double Dt3dChord::minZ() const
{
    return myEndpoint1.z() >= myEndpoint0.z() ? myEndpoint0.z() : myEndpoint1.z();
}

double Dt3dChord::maxZ() const
{
    return myEndpoint0.z() >= myEndpoint1.z() ? myEndpoint0.z() : myEndpoint1.z();
}

bool Dt3dChord::isCollinear(const Dt3dPoint& q) const
{
    const DtVector64 u = myEndpoint0.difference(myEndpoint1);
    const DtVector64 v = myEndpoint0.difference(q);
    return u.crossProduct(v).magnitudeIsZero(1e-6);
}

bool Dt3dChord::intersectsPlaneZEqualsAtPoint(double z, double& t) const
{
    if (minZ() > z || z > maxZ())
        return false;
    if (inPlaneZEquals(z)) {
        t = 2.0;   // the whole chord lies in the plane
        return true;
    }
    t = (z - myEndpoint0.z()) / myDz;
    return true;
}

bool Dt3dChord::collinearPointLiesWithin(const Dt3dPoint& q) const
{
    if (!isCollinear(q))
        return false;
    const Dt3dPoint mid((myEndpoint1.x() + myEndpoint0.x()) / 2, (myEndpoint1.y() + myEndpoint0.y()) / 2,
                        (myEndpoint1.z() + myEndpoint0.z()) / 2);
    return mid.differenceAs3dPoint(myEndpoint0).magnitudeSquared() >= mid.differenceAs3dPoint(q).magnitudeSquared();
}

std::ostream& operator<<(std::ostream& os, const Dt3dChord& chord)
{
    os << "(" << chord.endpoint0() << ", " << chord.endpoint1() << ")";
    return os;
}

}  // namespace Vorant
