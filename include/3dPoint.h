// A point in three-dimensional space, with distances in the x-y plane.
#ifndef QORMATRIX_3D_POINT_H
#define QORMATRIX_3D_POINT_H

#include <qvVector.h>
#include <qvutil/dtExport.h>

#include <iosfwd>

namespace Vorant {

/// A point in three-dimensional space.
class DT_EXPORT Dt3dPoint
{
public:
    Dt3dPoint() : myX(0.0), myY(0.0), myZ(0.0) {}
    Dt3dPoint(const double& x, const double& y, const double& z) : myX(x), myY(y), myZ(z) {}
    Dt3dPoint(const DtVector64& v) : myX(v.x()), myY(v.y()), myZ(v.z()) {}   // NOLINT: implicit by design
    Dt3dPoint(const Dt3dPoint&) = default;
    Dt3dPoint& operator=(const Dt3dPoint&) = default;
    Dt3dPoint& operator=(const DtVector64& v)
    {
        myX = v.x();
        myY = v.y();
        myZ = v.z();
        return *this;
    }

    /// The coordinates.
    const double& x() const { return myX; }
    const double& y() const { return myY; }
    const double& z() const { return myZ; }
    void setX(const double& x) { myX = x; }
    void setY(const double& y) { myY = y; }
    void setZ(const double& z) { myZ = z; }

    /// 0 is x, 1 is y, 2 is z; any other index throws DtException.
    const double& operator[](int i) const;
    double& operator[](int i);

    /// Each difference within |tolerance| (a negative tolerance acts like its
    /// absolute value).
    bool approxEq(const Dt3dPoint& other, const double& tolerance) const;
    /// x*x + y*y + z*z
    double magnitudeSquared() const { return DtProduct(myX, myX) + DtProduct(myY, myY) + DtProduct(myZ, myZ); }
    /// Unit length; unchanged when the squared magnitude is exactly 0 or 1.
    void normalize();

    /// Squared distance in the x-y plane; z is ignored.
    double xyDistanceSquaredTo(const Dt3dPoint& other) const
    {
        const double dy = other.myY - myY;
        const double dx = other.myX - myX;
        return DtProduct(dy, dy) + DtProduct(dx, dx);
    }
    /// Squared x-y distance to the segment from a to b, clamped at its ends. A
    /// segment of no x-y length gives NaN (its direction is undefined).
    double xyDistanceToLineSquared(const Dt3dPoint& a, const Dt3dPoint& b) const;
    double xyDistanceToLine(const Dt3dPoint& a, const Dt3dPoint& b) const;

    /// Component-wise arithmetic.
    Dt3dPoint operator+(const Dt3dPoint& o) const { return Dt3dPoint(myX + o.myX, myY + o.myY, myZ + o.myZ); }
    Dt3dPoint& operator+=(const Dt3dPoint& o)
    {
        myX += o.myX;
        myY += o.myY;
        myZ += o.myZ;
        return *this;
    }
    Dt3dPoint& operator-=(const Dt3dPoint& o)
    {
        myX -= o.myX;
        myY -= o.myY;
        myZ -= o.myZ;
        return *this;
    }
    /// this - other, as a point and as a vector.
    Dt3dPoint differenceAs3dPoint(const Dt3dPoint& o) const { return Dt3dPoint(myX - o.myX, myY - o.myY, myZ - o.myZ); }
    DtVector64 difference(const Dt3dPoint& o) const { return DtVector64(myX - o.myX, myY - o.myY, myZ - o.myZ); }

private:
    double myX;
    double myY;
    double myZ;
};

/// "(x, y, z)" with the stream's formatting, no line end.
DT_EXPORT std::ostream& operator<<(std::ostream& os, const Dt3dPoint& p);
/// Reads "(x, y, z)": each field up to its delimiter (at most 79 characters)
/// through strtod; text that is not a number gives 0. Nothing is validated.
DT_EXPORT std::istream& operator>>(std::istream& is, Dt3dPoint& p);

}  // namespace Vorant

#endif
