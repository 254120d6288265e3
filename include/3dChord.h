// A straight segment between two points, with its direction and its box.
#ifndef QORMATRIX_3D_CHORD_H
#define QORMATRIX_3D_CHORD_H

#include <3dExtent.h>
#include <3dPoint.h>
#include <qvutil/dtExport.h>

#include <iosfwd>

namespace Vorant {

/// Fixed at construction. The line of the chord is endpoint0 + t * direction:
/// t = 0 is the first endpoint, t = 1 the second.
class DT_EXPORT Dt3dChord
{
public:
    Dt3dChord();
    Dt3dChord(const Dt3dPoint& p0, const Dt3dPoint& p1);

    const Dt3dPoint& endpoint0() const { return myEndpoint0; }
    const Dt3dPoint& endpoint1() const { return myEndpoint1; }
    double directedXComponent() const { return myDx; }
    double directedYComponent() const { return myDy; }
    double directedZComponent() const { return myDz; }
    const Dt3dExtent& extent() const { return myExtent; }

    /// The point at parameter t (not limited to [0, 1]).
    Dt3dPoint computePoint(double t) const;
    double minZ() const;
    double maxZ() const;
    /// The cross product of the chord and the point's offset has no component
    /// above 1e-6 (an absolute tolerance).
    bool isCollinear(const Dt3dPoint& q) const;
    bool parallelToXYPlane() const { return myEndpoint0.z() == myEndpoint1.z(); }
    bool inPlaneZEquals(double z) const { return parallelToXYPlane() && myEndpoint0.z() == z; }
    /// Whether the chord meets the plane at height z; t is the parameter of the
    /// meeting point, or 2.0 when the whole chord lies in the plane. t is not
    /// written when the chord misses the plane.
    bool intersectsPlaneZEqualsAtPoint(double z, double& t) const;
    /// A collinear point on the closed segment.
    bool collinearPointLiesWithin(const Dt3dPoint& q) const;

private:
    Dt3dPoint myEndpoint0;
    Dt3dPoint myEndpoint1;
    double myDx;
    double myDy;
    double myDz;
    Dt3dExtent myExtent;
};

/// "((x0, y0, z0), (x1, y1, z1))"
DT_EXPORT std::ostream& operator<<(std::ostream& os, const Dt3dChord& chord);

}  // namespace Vorant

#endif
