// DtDcm: the 3x3 matrix of doubles, used as a direction cosine matrix and for
// small linear-algebra tasks, and the family of matrix functions around it.
//
// Matrices act on column vectors: (M v)[r] = M[r][0] v[0] + M[r][1] v[1] + M[r][2] v[2].
// The nine elements are one contiguous row-major block of doubles.
#ifndef QORMATRIX_QV_DCM_H
#define QORMATRIX_QV_DCM_H

#include <directedRotRate.h>
#include <qvVector.h>
#include <qvutil/dtExport.h>

namespace Vorant {

class DtTaitBryan;
class DtQuaternion;

/// A 3x3 matrix of doubles: three DtVector64 rows, one row-major block.
class DT_EXPORT DtDcm
{
public:
    /// All nine elements 0.0.
    constexpr DtDcm() : myRows{} {}
    /// The nine elements in row-major order.
    constexpr DtDcm(double m00, double m01, double m02, double m10, double m11, double m12, double m20,
                    double m21, double m22)
        : myRows{DtVector64(m00, m01, m02), DtVector64(m10, m11, m12), DtVector64(m20, m21, m22)}
    {
    }
    /// The body-to-reference matrix of the angles (as DtTbToMat).
    DtDcm(const DtTaitBryan& angles);
    /// The matrix of the quaternion (as DtDcmFromQuaternion).
    DtDcm(const DtQuaternion& q);

    /// Row by index, without a range check.
    DtVector64& operator[](int row) { return myRows[row]; }
    const DtVector64& operator[](int row) const { return myRows[row]; }

    /// The shared zero and identity matrices.
    static const DtDcm& zero();
    static const DtDcm& identity();

    /// All nine elements 0.0.
    void setToZero()
    {
        myRows[0].setToZero();
        myRows[1].setToZero();
        myRows[2].setToZero();
    }

    /// Every row and then every column has unit length within 1e-6 (squared).
    /// Orthogonality between rows is not tested.
    bool isOrthonormal() const;

    /// The three rows in their text form, one per line, on DtInfo.
    void print() const;

private:
    DtVector64 myRows[3];
};

/// Writable table of the permutation symbol, indexed [i][j][k], with the
/// opposite sign of the common convention: [0][1][2] is -1.
extern DT_EXPORT double DtLevi_Civita[3][3][3];

/// Which factors DtMM_Mult transposes. The underlying type is fixed so that any
/// int value is a valid flag (unknown values act as DtMM_AtBt).
enum generic_mm_multflag : int
{
    DtMM_AB = 0,
    DtMM_AtB = 1,
    DtMM_ABt = 2,
    DtMM_AtBt = 3
};

/// ---- matrix algebra ----------------------------------------------------------
/// Unless noted, the output may be the same object as an input.

/// m = 0
DT_EXPORT void DtDcmInit(DtDcm& m);
/// m = the identity
DT_EXPORT void DtDcmIdentInit(DtDcm& m);
/// out = in
DT_EXPORT void DtDcmCopy(const DtDcm& in, DtDcm& out);
/// out = a + b
DT_EXPORT void DtDcmAdd(const DtDcm& a, const DtDcm& b, DtDcm& out);
/// out = a - b
DT_EXPORT void DtDcmSub(const DtDcm& a, const DtDcm& b, DtDcm& out);
/// out = a s
DT_EXPORT void DtDcmScale(const DtDcm& a, double s, DtDcm& out);
/// out = a^T
DT_EXPORT void DtDcmTranspose(const DtDcm& a, DtDcm& out);
/// out = a b
DT_EXPORT void DtDcmDcmMul(const DtDcm& a, const DtDcm& b, DtDcm& out);
/// out = m v
DT_EXPORT void DtDcmVecMul(const DtDcm& m, const DtVector64& v, DtVector64& out);
/// Computed in double from the widened components; each result rounded to float.
DT_EXPORT void DtDcmVecMul(const DtDcm& m, const DtVector32& v, DtVector32& out);
/// det m, by the rule of Sarrus
DT_EXPORT double DtDcmDeterminant(const DtDcm& m);
/// The matrix of cofactors, not transposed. m and out must be distinct objects.
DT_EXPORT void DtDcmAdjugate(const DtDcm& m, DtDcm& out);
/// Transposed cofactors over the determinant; a singular matrix is not
/// detected. m and out must be distinct objects.
DT_EXPORT void DtDcmInverse(const DtDcm& m, DtDcm& out);
/// c = op(a) op(b) as the flag says (any unknown flag acts as DtMM_AtBt);
/// returns the trace of c.
DT_EXPORT double DtMM_Mult(const DtDcm& a, const DtDcm& b, DtDcm& c, generic_mm_multflag flag);
/// Copy, then a unit diagonal when flag is non-zero.
DT_EXPORT void DtM_Init(const DtDcm& src, DtDcm& dst, int flag);
/// Rows (a, b, c), (b, d, e), (c, e, f).
DT_EXPORT void DtSetSym(DtDcm& m, double a, double b, double c, double d, double e, double f);
/// m such that m x = v cross x.
DT_EXPORT void DtCreateCross(const DtVector64& v, DtDcm& m);
DT_EXPORT void DtCreateCross(const DtVector32& v, DtDcm& m);
/// m.isOrthonormal()
DT_EXPORT bool DtDcmCheck(const DtDcm& m);
/// The label and the nine elements on DtInfo, three per line.
DT_EXPORT void DtDcmDump(const char* label, const DtDcm& m);

/// ---- elementary rotations -----------------------------------------------------
/// Axis codes: 0 is x, 1 is y, 2 is z. The single-axis builders give the frame
/// rotation (about z by a: rows (c, s, 0), (-s, c, 0), (0, 0, 1)); the
/// arbitrary-axis builders DtDcmForm and DtRotate give the vector rotation, its
/// transpose. An impossible axis code is reported through DtFatalError.

/// Frame rotation by angle a about an axis; all zero for a bad axis code.
DT_EXPORT void DtDcmRotInit(DtDcm& m, double a, int axis);
/// Frame rotation from the sine of an angle in [-90, 90] degrees (the cosine
/// is taken non-negative); all zero for a bad axis code.
DT_EXPORT void DtDcmRotInit2(DtDcm& m, double s, int axis);
/// Frame rotation from a sine and cosine, used as given; all zero for a bad
/// axis code.
DT_EXPORT void DtDcmTrigInit(DtDcm& m, double s, double c, int axis);
/// Right-handed orthonormal matrix whose row 1 is the unit vector g and whose
/// row 0 lies in the plane of the first two axes.
DT_EXPORT void DtDcmLevelInit(DtDcm& m, const DtVector64& g);
DT_EXPORT void DtDcmLevelInit(DtDcm& m, const DtVector32& g);
/// Restores orthonormality in place, keeping the direction of row k; m is
/// unchanged for a bad row code.
DT_EXPORT void DtDcmFixMatrix(DtDcm& m, int k);
/// Vector rotation by a about the unit axis at u (three doubles); also stores
/// sin a and cos a.
DT_EXPORT void DtDcmForm(const double* u, double a, DtDcm& m, double* sinOut, double* cosOut);
/// Vector rotation by a about the unit axis u: c I + s [u]x + (1 - c) u u^T.
DT_EXPORT void DtRotate(DtDcm& m, const DtVector64& u, double a);
DT_EXPORT void DtRotate(DtDcm& m, const DtVector32& u, double a);

/// ---- Tait-Bryan angles and quaternions -------------------------------------------

/// The body-to-reference matrix of yaw psi, pitch theta, roll phi.
DT_EXPORT void DtTbToMat(const DtTaitBryan& angles, DtDcm& m);
/// The matrix of a quaternion (reference-to-body for a unit quaternion).
DT_EXPORT void DtDcmFromQuaternion(DtDcm& m, const DtQuaternion* q);

/// ---- rotation rates and relative rotation ----------------------------------------

/// Rate and unit axis of an angular velocity, in double.
DT_EXPORT DtDirectedRotRate DtDirectRotRate(const DtVector64& w);
/// Squares, sum and root in float before widening.
DT_EXPORT DtDirectedRotRate DtDirectRotRate(const DtVector32& w);
/// The frame rotation for one step of dt at the rate r (dead reckoning).
DT_EXPORT void DtMakeRotationDcm(const DtDirectedRotRate& r, double dt, DtDcm& m);
/// out = m [w]x, the rate of change of a body-to-reference matrix m under the
/// body angular velocity w. (out may be m.)
DT_EXPORT void DtBodyToMat(DtVector32 w, const DtDcm& m, DtDcm& out);
/// Sum of a[i][j] b[i][j]: 1 + 2 cos(angle) for two rotations.
DT_EXPORT double DtDcmDcmRotTrace(const DtDcm& a, const DtDcm& b);
/// The angle in [0, pi] of the rotation between a and b; 0 when the cosine is
/// within eps of 1.
DT_EXPORT double DtDcmDcmRotAngle(const DtDcm& a, const DtDcm& b, double eps);
/// The unit axis of the rotation b^T a; zero when a and b coincide.
DT_EXPORT void DtDcmDcmRotAxis(const DtDcm& a, const DtDcm& b, DtVector64& axis);
DT_EXPORT void DtDcmDcmRotAxis(const DtDcm& a, const DtDcm& b, DtVector32& axis);

}  // namespace Vorant

#endif
