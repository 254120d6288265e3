// A point in homogeneous coordinates (x, y, z, w).
#ifndef QORMATRIX_4D_POINT_H
#define QORMATRIX_4D_POINT_H

#include <qvVector.h>
#include <qvutil/dtExport.h>

namespace Vorant {

class Dt3dPoint;

/// The arithmetic treats w like the other components and never renormalises.
class DT_EXPORT Dt4dPoint
{
public:
    Dt4dPoint(const double& x, const double& y, const double& z, const double& w) : myX(x), myY(y), myZ(z), myW(w) {}
    Dt4dPoint(const Dt4dPoint&) = default;
    Dt4dPoint& operator=(const Dt4dPoint&) = default;
    virtual ~Dt4dPoint();

    virtual void set(const double& x, const double& y, const double& z, const double& w);
    /// Divides x, y, z by w (multiplying by 1 / w) and sets w to 1. A point
    /// with w <= 0 (outside the precondition w > 0) or w == 1 is unchanged.
    virtual void unhomogenize();

    /// 0 is x, 1 is y, 2 is z, 3 is w; any other index throws DtException.
    const double& operator[](int i) const;
    double& operator[](int i);

    bool operator==(const Dt4dPoint& o) const
    {
        if (!(myX == o.myX))
            return false;
        if (!(myY == o.myY))
            return false;
        if (!(myZ == o.myZ))
            return false;
        return myW == o.myW;
    }
    bool operator!=(const Dt4dPoint& o) const { return !(*this == o); }

    Dt4dPoint operator*(const double& s) const
    {
        return Dt4dPoint(DtProduct(s, myX), DtProduct(s, myY), DtProduct(s, myZ), DtProduct(s, myW));
    }
    Dt4dPoint& operator*=(const double& s)
    {
        myX = DtProduct(myX, s);
        myY = DtProduct(myY, s);
        myZ = DtProduct(myZ, s);
        myW = DtProduct(myW, s);
        return *this;
    }
    Dt4dPoint operator+(const Dt4dPoint& o) const { return Dt4dPoint(myX + o.myX, myY + o.myY, myZ + o.myZ, myW + o.myW); }
    Dt4dPoint operator-(const Dt4dPoint& o) const { return Dt4dPoint(myX - o.myX, myY - o.myY, myZ - o.myZ, myW - o.myW); }
    Dt4dPoint& operator+=(const Dt4dPoint& o)
    {
        myX += o.myX;
        myY += o.myY;
        myZ += o.myZ;
        myW += o.myW;
        return *this;
    }
    Dt4dPoint& operator-=(const Dt4dPoint& o)
    {
        myX -= o.myX;
        myY -= o.myY;
        myZ -= o.myZ;
        myW -= o.myW;
        return *this;
    }

    /// x, y, z from the argument and w = 1.
    void setFromVector(const DtVector64& v);
    void setFrom3dPoint(const Dt3dPoint& p);

private:
    double myX;
    double myY;
    double myZ;
    double myW;
};

}  // namespace Vorant

#endif
