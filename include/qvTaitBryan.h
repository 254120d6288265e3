// Tait-Bryan angles in the yaw-pitch-roll sequence and their conversions to
// and from direction cosine matrices.
//
// A body-to-reference matrix maps body coordinates into the reference frame;
// reference-to-body is its transpose.
#ifndef QORMATRIX_QV_TAIT_BRYAN_H
#define QORMATRIX_QV_TAIT_BRYAN_H

#include <qvutil/dtExport.h>

#include <iosfwd>

namespace Vorant {

class DtDcm;
class DtQuaternion;

/// psi (heading, about the third axis), theta (pitch, second axis) and phi
/// (roll, first axis), in radians, applied in that order. Angles are stored as
/// given, never normalised.
class DT_EXPORT DtTaitBryan
{
public:
    constexpr DtTaitBryan() : myPsi(0.0), myTheta(0.0), myPhi(0.0) {}
    constexpr DtTaitBryan(double psi, double theta, double phi) : myPsi(psi), myTheta(theta), myPhi(phi) {}
    /// The angles of a quaternion: its matrix read back as reference-to-body.
    DtTaitBryan(const DtQuaternion& q);

    double psi() const { return myPsi; }
    double theta() const { return myTheta; }
    double phi() const { return myPhi; }
    void setPsi(double psi) { myPsi = psi; }
    void setTheta(double theta) { myTheta = theta; }
    void setPhi(double phi) { myPhi = phi; }

    /// "[ Psi= .. Theta= .. Phi= .. ]" with the stream's formatting, no line end.
    void printDataToStream(std::ostream& os) const;

private:
    double myPsi;
    double myTheta;
    double myPhi;
};

DT_EXPORT std::ostream& operator<<(std::ostream& os, const DtTaitBryan& angles);

/// Same as DtTbToMat.
DT_EXPORT void DtEuler_to_BodyToRef(const DtTaitBryan& angles, DtDcm& m);
/// The transpose of the body-to-reference matrix.
DT_EXPORT void DtEuler_to_RefToBody(const DtTaitBryan& angles, DtDcm& m);
/// Angles of a body-to-reference matrix. Theta lies in [-pi/2, pi/2], psi and
/// phi in [-pi, pi]; within about 1e-6 rad of +-90 degrees pitch the roll is
/// set to 0 and the heading carries the combined angle.
DT_EXPORT void DtBodyToRef_to_Euler(const DtDcm& m, DtTaitBryan* out);
/// Angles of a reference-to-body matrix.
DT_EXPORT void DtRefToBody_to_Euler(const DtDcm& m, DtTaitBryan* out);
/// The orientation `in`, relative to frame F, re-expressed relative to frame G,
/// where r maps F coordinates into G coordinates.
DT_EXPORT void DtEulerToEuler(const DtTaitBryan& in, const DtDcm& r, DtTaitBryan* out);

}  // namespace Vorant

#endif
