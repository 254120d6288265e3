// Quaternions: orientation (or any quaternion) as four doubles w, x, y, z.
//
// The quaternion of Tait-Bryan angles is the usual yaw-pitch-roll quaternion;
// the matrix of a quaternion (DtDcm(const DtQuaternion&)) is the
// reference-to-body matrix of that orientation. Nothing here normalises.
#ifndef QORMATRIX_QV_QUATERNION_H
#define QORMATRIX_QV_QUATERNION_H

#include <qvutil/dtExport.h>
#include <qvutil/dtString.h>

#include <iosfwd>

namespace Vorant {

class DtTaitBryan;

class DT_EXPORT DtQuaternion
{
public:
    /// The zero quaternion, which is not the identity rotation.
    constexpr DtQuaternion() : myW(0.0), myX(0.0), myY(0.0), myZ(0.0) {}
    constexpr DtQuaternion(double w, double x, double y, double z) : myW(w), myX(x), myY(y), myZ(z) {}
    /// The quaternion of yaw psi, pitch theta, roll phi.
    DtQuaternion(const DtTaitBryan& angles);

    double w() const { return myW; }
    double x() const { return myX; }
    double y() const { return myY; }
    double z() const { return myZ; }

    /// "[ w=.. x= .. y= .. z= .. ]" with the stream's formatting, no line end.
    void printDataToStream(std::ostream& os) const;
    /// "[w, x, y, z]" in fixed notation with six decimals.
    DtString string() const;

private:
    double myW;
    double myX;
    double myY;
    double myZ;
};

DT_EXPORT std::ostream& operator<<(std::ostream& os, const DtQuaternion& q);

/// *out = *a (x) *b, the Hamilton product; out may be a or b.
DT_EXPORT void DtQuatQuatMul(DtQuaternion* out, const DtQuaternion* a, const DtQuaternion* b);
/// *out = *q times s, component by component; out may be q.
DT_EXPORT void DtQuatScale(DtQuaternion* out, const DtQuaternion* q, double s);
/// The text form of *q and a line end on DtInfo.
DT_EXPORT void DtQuaternionDump(const DtQuaternion* q);

}  // namespace Vorant

#endif
