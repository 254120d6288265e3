// An axis-aligned box: one closed interval per axis, with an empty state that
// is the neutral element of growing.
#ifndef QORMATRIX_3D_EXTENT_H
#define QORMATRIX_3D_EXTENT_H

#include <3dPoint.h>
#include <qvutil/dtExport.h>

#include <iosfwd>

namespace Vorant {

class Dt3dChord;

/// An axis-aligned box, one closed interval per axis; empty when a minimum
/// exceeds its maximum.
class DT_EXPORT Dt3dExtent
{
public:
    /// The empty extent: every minimum +infinity, every maximum -infinity.
    Dt3dExtent();
    /// The six values as given, not reordered.
    Dt3dExtent(double minX, double maxX, double minY, double maxY, double minZ, double maxZ)
        : myMinX(minX), myMaxX(maxX), myMinY(minY), myMaxY(maxY), myMinZ(minZ), myMaxZ(maxZ)
    {
    }
    /// The box spanned by two corners, in any order.
    Dt3dExtent(const Dt3dPoint& a, const Dt3dPoint& b);
    Dt3dExtent(const Dt3dChord& chord);
    Dt3dExtent(const Dt3dExtent&) = default;
    Dt3dExtent& operator=(const Dt3dExtent&) = default;
    virtual ~Dt3dExtent();

    /// One process-wide empty extent, made on first use (safely under
    /// concurrent first calls).
    static const Dt3dExtent& nullExtent();

    /// Swaps minimum and maximum on each axis where the minimum is greater.
    void guaranteeValidConstruction();

    /// The six bounds, read and written one by one as they are.
    double minX() const { return myMinX; }
    double maxX() const { return myMaxX; }
    double minY() const { return myMinY; }
    double maxY() const { return myMaxY; }
    double minZ() const { return myMinZ; }
    double maxZ() const { return myMaxZ; }
    void setMinX(double v) { myMinX = v; }
    void setMaxX(double v) { myMaxX = v; }
    void setMinY(double v) { myMinY = v; }
    void setMaxY(double v) { myMaxY = v; }
    void setMinZ(double v) { myMinZ = v; }
    void setMaxZ(double v) { myMaxZ = v; }

    /// A minimum above its maximum on some axis.
    bool empty() const { return myMinX > myMaxX || myMinY > myMaxY || myMinZ > myMaxZ; }
    /// Maximum minus minimum on each axis.
    double xSize() const { return myMaxX - myMinX; }
    double ySize() const { return myMaxY - myMinY; }
    double zSize() const { return myMaxZ - myMinZ; }

    /// Exact comparison of the six values.
    virtual bool operator==(const Dt3dExtent& other) const;
    virtual bool operator!=(const Dt3dExtent& other) const;
    /// The middle of the box.
    virtual Dt3dPoint center() const;
    /// Moves the box to the centre, keeping its size.
    virtual void setCenter(const Dt3dPoint& c);
    virtual void setFromCenter(const Dt3dPoint& c, const double& xSize, const double& ySize, const double& zSize);
    /// The corners of the largest and of the smallest coordinates.
    virtual Dt3dPoint maxPoint() const;
    virtual Dt3dPoint minPoint() const;
    /// Grows the box to include the other box, the point or the chord.
    virtual void expandToInclude(const Dt3dExtent& other);
    virtual void expandToInclude(const Dt3dPoint& p);
    virtual void expandToInclude(const Dt3dChord& chord);
    /// Whether the box holds the whole other box, point or chord.
    virtual bool contains(const Dt3dExtent& other) const;
    /// The boundary belongs to the box.
    virtual bool contains(const Dt3dPoint& p) const;
    virtual bool contains(const Dt3dChord& chord) const;

    /// Boxes that only touch intersect.
    bool doesNotIntersect(const Dt3dExtent& other) const;
    bool intersects(const Dt3dExtent& other) const { return !doesNotIntersect(other); }
    /// Whether any part of the chord (t in [0, 1]) lies in the box.
    bool intersects(const Dt3dChord& chord) const;
    /// Clips the chord's line against the box by slabs; on success tNear and
    /// tFar bound the part of the line inside it.
    bool intersectsLineOfChord(const Dt3dChord& chord, double& tNear, double& tFar) const;
    /// One slab: narrows [tNear, tFar] by the interval [low, high] along one
    /// axis; false once it is empty (equal ends still intersect).
    bool intersectsSoFar(double origin, double direction, double low, double high, double& tNear,
                         double& tFar) const;

private:
    double myMinX;
    double myMaxX;
    double myMinY;
    double myMaxY;
    double myMinZ;
    double myMaxZ;
};

/// "(minX,minY,minZ,maxX,maxY,maxZ)" with the stream's formatting.
DT_EXPORT std::ostream& operator<<(std::ostream& os, const Dt3dExtent& e);
/// Reads the form written by operator<<; each field at most 79 characters
/// through strtod. Nothing is reordered or validated.
DT_EXPORT std::istream& operator>>(std::istream& is, Dt3dExtent& e);

}  // namespace Vorant

#endif
