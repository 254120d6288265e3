#include <3dExtent.h>

#include <3dChord.h>

#include "textFields.h"

#include <algorithm>
#include <cstdlib>
#include <istream>
#include <limits>
#include <ostream>
#include <utility>

namespace Vorant {

namespace {

const double kInfinity = std::numeric_limits<double>::infinity();
const double kLargest = 1.7976931348623157e308;
}  // namespace

Dt3dExtent::Dt3dExtent()
    : myMinX(kInfinity), myMaxX(-kInfinity), myMinY(kInfinity), myMaxY(-kInfinity), myMinZ(kInfinity),
      myMaxZ(-kInfinity)
{
}

Dt3dExtent::Dt3dExtent(const Dt3dPoint& a, const Dt3dPoint& b)
    : myMinX(a.x()), myMaxX(b.x()), myMinY(a.y()), myMaxY(b.y()), myMinZ(a.z()), myMaxZ(b.z())
{
    guaranteeValidConstruction();
}

Dt3dExtent::Dt3dExtent(const Dt3dChord& chord) : Dt3dExtent(chord.endpoint0(), chord.endpoint1()) {}

Dt3dExtent::~Dt3dExtent() = default;

const Dt3dExtent& Dt3dExtent::nullExtent()
{
    static const Dt3dExtent theNullExtent;   // initialisation is thread-safe
    return theNullExtent;
}

void Dt3dExtent::guaranteeValidConstruction()
{
    if (myMinX > myMaxX)
        std::swap(myMinX, myMaxX);
    if (myMinY > myMaxY)
        std::swap(myMinY, myMaxY);
    if (myMinZ > myMaxZ)
        std::swap(myMinZ, myMaxZ);
}

bool Dt3dExtent::operator==(const Dt3dExtent& o) const
{
    return myMinX == o.myMinX && myMaxX == o.myMaxX && myMinY == o.myMinY && myMaxY == o.myMaxY &&
           myMinZ == o.myMinZ && myMaxZ == o.myMaxZ;
}

bool Dt3dExtent::operator!=(const Dt3dExtent& o) const
{
    return !(*this == o);
}

Dt3dPoint Dt3dExtent::center() const
{
    return Dt3dPoint(myMinX + xSize() / 2, myMinY + ySize() / 2, myMinZ + zSize() / 2);
}

void Dt3dExtent::setCenter(const Dt3dPoint& c)
{
    setFromCenter(c, xSize(), ySize(), zSize());
}

void Dt3dExtent::setFromCenter(const Dt3dPoint& c, const double& xSize, const double& ySize, const double& zSize)
{
    // Read the sizes first: they may be references to values of this box.
    const double hx = xSize / 2, hy = ySize / 2, hz = zSize / 2;
    myMaxX = c.x() + hx;
    myMinX = c.x() - hx;
    myMaxY = c.y() + hy;
    myMinY = c.y() - hy;
    myMaxZ = c.z() + hz;
    myMinZ = c.z() - hz;
}

Dt3dPoint Dt3dExtent::maxPoint() const
{
    return Dt3dPoint(myMaxX, myMaxY, myMaxZ);
}

Dt3dPoint Dt3dExtent::minPoint() const
{
    return Dt3dPoint(myMinX, myMinY, myMinZ);
}

void Dt3dExtent::expandToInclude(const Dt3dExtent& o)
{
    if (o.myMaxX > myMaxX)
        myMaxX = o.myMaxX;
    if (o.myMinX < myMinX)
        myMinX = o.myMinX;
    if (o.myMaxY > myMaxY)
        myMaxY = o.myMaxY;
    if (o.myMinY < myMinY)
        myMinY = o.myMinY;
    if (o.myMaxZ > myMaxZ)
        myMaxZ = o.myMaxZ;
    if (o.myMinZ < myMinZ)
        myMinZ = o.myMinZ;
}

void Dt3dExtent::expandToInclude(const Dt3dPoint& p)
{
    if (empty()) {
        myMinX = myMaxX = p.x();
        myMinY = myMaxY = p.y();
        myMinZ = myMaxZ = p.z();
        return;
    }
    if (myMinX > p.x())
        myMinX = p.x();
    else if (p.x() > myMaxX)
        myMaxX = p.x();
    if (myMinY > p.y())
        myMinY = p.y();
    else if (p.y() > myMaxY)
        myMaxY = p.y();
    if (myMinZ > p.z())
        myMinZ = p.z();
    else if (p.z() > myMaxZ)
        myMaxZ = p.z();
}

void Dt3dExtent::expandToInclude(const Dt3dChord& chord)
{
    expandToInclude(chord.endpoint0());
    expandToInclude(chord.endpoint1());
}

bool Dt3dExtent::contains(const Dt3dExtent& o) const
{
    return o.myMinX >= myMinX && myMaxX >= o.myMaxX && o.myMinY >= myMinY && myMaxY >= o.myMaxY &&
           o.myMinZ >= myMinZ && myMaxZ >= o.myMaxZ;
}

bool Dt3dExtent::contains(const Dt3dPoint& p) const
{
    return myMinX <= p.x() && p.x() <= myMaxX && myMinY <= p.y() && p.y() <= myMaxY && myMinZ <= p.z() &&
           p.z() <= myMaxZ;
}

bool Dt3dExtent::contains(const Dt3dChord& chord) const
{
    return contains(chord.endpoint0()) && contains(chord.endpoint1());
}

bool Dt3dExtent::doesNotIntersect(const Dt3dExtent& o) const
{
    return o.myMinX > myMaxX || myMinX > o.myMaxX || o.myMinY > myMaxY || myMinY > o.myMaxY ||
           o.myMinZ > myMaxZ || myMinZ > o.myMaxZ;
}

bool Dt3dExtent::intersects(const Dt3dChord& chord) const
{
    if (doesNotIntersect(chord.extent()))
        return false;
    if (contains(chord))
        return true;
    double tNear, tFar;
    return intersectsLineOfChord(chord, tNear, tFar) && tNear <= 1.0 && tFar >= 0.0;
}

bool Dt3dExtent::intersectsLineOfChord(const Dt3dChord& chord, double& tNear, double& tFar) const
{
    tNear = -kLargest;
    tFar = kLargest;
    const Dt3dPoint& o = chord.endpoint0();
    return intersectsSoFar(o.x(), chord.directedXComponent(), myMinX, myMaxX, tNear, tFar) &&
           intersectsSoFar(o.y(), chord.directedYComponent(), myMinY, myMaxY, tNear, tFar) &&
           intersectsSoFar(o.z(), chord.directedZComponent(), myMinZ, myMaxZ, tNear, tFar);
}

bool Dt3dExtent::intersectsSoFar(double origin, double direction, double low, double high, double& tNear,
                                 double& tFar) const
{
    double enter, exit;
    if (!(direction == 0)) {
        const double inv = 1 / direction;
        const double t1 = (high - origin) * inv;
        const double t2 = (low - origin) * inv;
        if (t1 > t2) {
            enter = t2;
            exit = t1;
        } else {
            enter = t1;
            exit = t2;
        }
    } else {
        if (!(high >= origin && origin >= low))
            return false;
        enter = -kLargest;
        exit = kLargest;
    }
    tNear = std::max(tNear, enter);   // (a NaN on either side keeps tNear, as a comparison would)
    tFar = std::min(tFar, exit);
    return !(tNear > tFar);
}

std::ostream& operator<<(std::ostream& os, const Dt3dExtent& e)
{
    os << "(" << e.minX() << "," << e.minY() << "," << e.minZ() << "," << e.maxX() << "," << e.maxY() << ","
       << e.maxZ() << ")";
    return os;
}

std::istream& operator>>(std::istream& is, Dt3dExtent& e)
{
    detail::skipPastOpeningBracket(is);
    e.setMinX(detail::readField(is, ','));
    e.setMinY(detail::readField(is, ','));
    e.setMinZ(detail::readField(is, ','));
    e.setMaxX(detail::readField(is, ','));
    e.setMaxY(detail::readField(is, ','));
    e.setMaxZ(detail::readField(is, ')'));
    return is;
}

}  // namespace Vorant
