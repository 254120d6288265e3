// DtDcm: the 3x3 matrix of doubles, used as a direction cosine matrix and for
// small linear-algebra tasks, and the family of matrix functions around it.
//
// Matrices act on column vectors: (M v)[r] = M[r][0] v[0] + M[r][1] v[1] + M[r][2] v[2].
// The nine elements are one contiguous row-major block of doubles.
#ifndef QORMATRIX_QV_DCM_H
#define QORMATRIX_QV_DCM_H

#include <qvVector.h>
#include <qvutil/dtExport.h>

namespace Vorant {

class DtTaitBryan;
class DtQuaternion;

class DT_EXPORT DtDcm
{
public:
    // All nine elements 0.0.
    constexpr DtDcm() : myRows{} {}
    // The nine elements in row-major order.
    constexpr DtDcm(double m00, double m01, double m02, double m10, double m11, double m12, double m20,
                    double m21, double m22)
        : myRows{DtVector64(m00, m01, m02), DtVector64(m10, m11, m12), DtVector64(m20, m21, m22)}
    {
    }
    // The body-to-reference matrix of the angles (as DtTbToMat).
    explicit DtDcm(const DtTaitBryan& angles);
    // The matrix of the quaternion (as DtDcmFromQuaternion).
    explicit DtDcm(const DtQuaternion& q);

    // Row by index, without a range check.
    DtVector64& operator[](int row) { return myRows[row]; }
    const DtVector64& operator[](int row) const { return myRows[row]; }

    // The shared zero and identity matrices.
    static const DtDcm& zero();
    static const DtDcm& identity();

    void setToZero()
    {
        myRows[0].setToZero();
        myRows[1].setToZero();
        myRows[2].setToZero();
    }

    // Every row and then every column has unit length within 1e-6 (squared).
    // Orthogonality between rows is not tested.
    bool isOrthonormal() const;

    // The three rows in their text form, one per line, on DtInfo.
    void print() const;

private:
    DtVector64 myRows[3];
};

// Writable table of the permutation symbol, indexed [i][j][k], with the
// opposite sign of the common convention: [0][1][2] is -1.
extern DT_EXPORT double DtLevi_Civita[3][3][3];

// Which factors DtMM_Mult transposes. The underlying type is fixed so that any
// int value is a valid flag (unknown values act as DtMM_AtBt).
enum generic_mm_multflag : int
{
    DtMM_AB = 0,
    DtMM_AtB = 1,
    DtMM_ABt = 2,
    DtMM_AtBt = 3
};

// ---- matrix algebra ----------------------------------------------------------
// Unless noted, the output may be the same object as an input.

DT_EXPORT void DtDcmInit(DtDcm& m);
DT_EXPORT void DtDcmIdentInit(DtDcm& m);
DT_EXPORT void DtDcmCopy(const DtDcm& in, DtDcm& out);
DT_EXPORT void DtDcmAdd(const DtDcm& a, const DtDcm& b, DtDcm& out);
DT_EXPORT void DtDcmSub(const DtDcm& a, const DtDcm& b, DtDcm& out);
DT_EXPORT void DtDcmScale(const DtDcm& a, double s, DtDcm& out);
DT_EXPORT void DtDcmTranspose(const DtDcm& a, DtDcm& out);
DT_EXPORT void DtDcmDcmMul(const DtDcm& a, const DtDcm& b, DtDcm& out);
DT_EXPORT void DtDcmVecMul(const DtDcm& m, const DtVector64& v, DtVector64& out);
// Computed in double from the widened components; each result rounded to float.
DT_EXPORT void DtDcmVecMul(const DtDcm& m, const DtVector32& v, DtVector32& out);
DT_EXPORT double DtDcmDeterminant(const DtDcm& m);
// The matrix of cofactors, not transposed. m and out must be distinct objects.
DT_EXPORT void DtDcmAdjugate(const DtDcm& m, DtDcm& out);
// Transposed cofactors over the determinant; a singular matrix is not
// detected. m and out must be distinct objects.
DT_EXPORT void DtDcmInverse(const DtDcm& m, DtDcm& out);
// c = op(a) op(b) as the flag says (any unknown flag acts as DtMM_AtBt);
// returns the trace of c.
DT_EXPORT double DtMM_Mult(const DtDcm& a, const DtDcm& b, DtDcm& c, generic_mm_multflag flag);
// Copy, then a unit diagonal when flag is non-zero.
DT_EXPORT void DtM_Init(const DtDcm& src, DtDcm& dst, int flag);
// Rows (a, b, c), (b, d, e), (c, e, f).
DT_EXPORT void DtSetSym(DtDcm& m, double a, double b, double c, double d, double e, double f);
// m such that m x = v cross x.
DT_EXPORT void DtCreateCross(const DtVector64& v, DtDcm& m);
DT_EXPORT void DtCreateCross(const DtVector32& v, DtDcm& m);
DT_EXPORT bool DtDcmCheck(const DtDcm& m);
// The label and the nine elements on DtInfo, three per line.
DT_EXPORT void DtDcmDump(const char* label, const DtDcm& m);

// ---- Tait-Bryan angles -------------------------------------------------------

// The body-to-reference matrix of yaw psi, pitch theta, roll phi.
DT_EXPORT void DtTbToMat(const DtTaitBryan& angles, DtDcm& m);

}  // namespace Vorant

#endif
