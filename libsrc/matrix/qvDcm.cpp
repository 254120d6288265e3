#include <qvDcm.h>

#include <qvTaitBryan.h>
#include <qvutil/dtOutput.h>

#include <cmath>
#include <ostream>

namespace Vorant {

namespace {

// Constant expressions: both hold their values before any code runs.
const DtDcm theDcmZero;
const DtDcm theDcmIdentity(1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0);

}  // namespace

double DtLevi_Civita[3][3][3] = {
    {{0.0, 0.0, 0.0}, {0.0, 0.0, -1.0}, {0.0, 1.0, 0.0}},
    {{0.0, 0.0, 1.0}, {0.0, 0.0, 0.0}, {-1.0, 0.0, 0.0}},
    {{0.0, -1.0, 0.0}, {1.0, 0.0, 0.0}, {0.0, 0.0, 0.0}},
};

// ---- the class -----------------------------------------------------------------

DtDcm::DtDcm(const DtTaitBryan& angles)
{
    DtTbToMat(angles, *this);
}

const DtDcm& DtDcm::zero() { return theDcmZero; }
const DtDcm& DtDcm::identity() { return theDcmIdentity; }

bool DtDcm::isOrthonormal() const
{
    DtDcm copy(*this);
    for (int i = 0; i < 3; ++i)
        if (!copy[i].isNormalized())
            return false;
    DtDcmTranspose(copy, copy);
    for (int i = 0; i < 3; ++i)
        if (!copy[i].isNormalized())
            return false;
    return true;
}

void DtDcm::print() const
{
    DtInfo << myRows[0].string() << '\n' << myRows[1].string() << '\n' << myRows[2].string() << std::endl;
}

// ---- matrix algebra ----------------------------------------------------------

void DtDcmInit(DtDcm& m)
{
    m.setToZero();
}

void DtDcmIdentInit(DtDcm& m)
{
    m = theDcmIdentity;
}

void DtDcmCopy(const DtDcm& in, DtDcm& out)
{
    out = in;
}

void DtDcmAdd(const DtDcm& a, const DtDcm& b, DtDcm& out)
{
    // Element by element in row-major order; each output element depends only
    // on the same element of the inputs, so out may be a or b.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out[r][c] = a[r][c] + b[r][c];
}

void DtDcmSub(const DtDcm& a, const DtDcm& b, DtDcm& out)
{
    // Element by element in row-major order; each output element depends only
    // on the same element of the inputs, so out may be a or b.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out[r][c] = a[r][c] - b[r][c];
}

void DtDcmScale(const DtDcm& a, double s, DtDcm& out)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out[r][c] = a[r][c] * s;
}

void DtDcmTranspose(const DtDcm& a, DtDcm& out)
{
    const DtDcm t(a[0][0], a[1][0], a[2][0], a[0][1], a[1][1], a[2][1], a[0][2], a[1][2], a[2][2]);
    DtDcmCopy(t, out);
}

void DtDcmDcmMul(const DtDcm& a, const DtDcm& b, DtDcm& out)
{
    DtDcm t;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            t[i][j] = (a[i][0] * b[0][j] + a[i][1] * b[1][j]) + a[i][2] * b[2][j];
    out = t;
}

void DtDcmVecMul(const DtDcm& m, const DtVector64& v, DtVector64& out)
{
    const double r0 = (m[0][0] * v[0] + m[0][1] * v[1]) + m[0][2] * v[2];
    const double r1 = (m[1][0] * v[0] + m[1][1] * v[1]) + m[1][2] * v[2];
    const double r2 = (m[2][0] * v[0] + m[2][1] * v[1]) + m[2][2] * v[2];
    out.setAll(r0, r1, r2);
}

void DtDcmVecMul(const DtDcm& m, const DtVector32& v, DtVector32& out)
{
    const double v0 = v[0], v1 = v[1], v2 = v[2];
    const double r0 = (m[0][0] * v0 + m[0][1] * v1) + m[0][2] * v2;
    const double r1 = (m[1][0] * v0 + m[1][1] * v1) + m[1][2] * v2;
    const double r2 = (m[2][0] * v0 + m[2][1] * v1) + m[2][2] * v2;
    out.setAll(float(r0), float(r1), float(r2));
}

double DtDcmDeterminant(const DtDcm& m)
{
    return m[0][0] * m[1][1] * m[2][2] + m[0][1] * m[1][2] * m[2][0] + m[0][2] * m[1][0] * m[2][1] -
           m[0][0] * m[1][2] * m[2][1] - m[0][1] * m[1][0] * m[2][2] - m[0][2] * m[1][1] * m[2][0];
}

void DtDcmAdjugate(const DtDcm& m, DtDcm& out)
{
    out[0][0] = m[1][1] * m[2][2] - m[2][1] * m[1][2];
    out[0][1] = -(m[1][0] * m[2][2] - m[2][0] * m[1][2]);
    out[0][2] = m[1][0] * m[2][1] - m[2][0] * m[1][1];
    out[1][0] = -(m[0][1] * m[2][2] - m[2][1] * m[0][2]);
    out[1][1] = m[0][0] * m[2][2] - m[2][0] * m[0][2];
    out[1][2] = -(m[0][0] * m[2][1] - m[2][0] * m[0][1]);
    out[2][0] = m[0][1] * m[1][2] - m[1][1] * m[0][2];
    out[2][1] = -(m[0][0] * m[1][2] - m[1][0] * m[0][2]);
    out[2][2] = m[0][0] * m[1][1] - m[1][0] * m[0][1];
}

void DtDcmInverse(const DtDcm& m, DtDcm& out)
{
    DtDcm adjugate;
    DtDcmAdjugate(m, adjugate);
    DtDcmTranspose(adjugate, out);
    const double d = DtDcmDeterminant(m);
    DtDcmScale(out, 1.0 / d, out);
}

double DtMM_Mult(const DtDcm& a, const DtDcm& b, DtDcm& c, generic_mm_multflag flag)
{
    DtDcm t;
    double trace = 0.0;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double p0, p1, p2;
            switch (flag) {
            case DtMM_AB:
                p0 = a[i][0] * b[0][j];
                p1 = a[i][1] * b[1][j];
                p2 = a[i][2] * b[2][j];
                break;
            case DtMM_AtB:
                p0 = a[0][i] * b[0][j];
                p1 = a[1][i] * b[1][j];
                p2 = a[2][i] * b[2][j];
                break;
            case DtMM_ABt:
                p0 = a[i][0] * b[j][0];
                p1 = a[i][1] * b[j][1];
                p2 = a[i][2] * b[j][2];
                break;
            default:   // DtMM_AtBt and any unknown flag
                p0 = a[0][i] * b[j][0];
                p1 = a[1][i] * b[j][1];
                p2 = a[2][i] * b[j][2];
                break;
            }
            t[i][j] = (p0 + p1) + p2;
        }
        trace += t[i][i];
    }
    c = t;
    return trace;
}

void DtM_Init(const DtDcm& src, DtDcm& dst, int flag)
{
    dst = src;
    if (flag) {
        dst[1][1] = 1.0;
        dst[0][0] = 1.0;
        dst[2][2] = 1.0;
    }
}

void DtSetSym(DtDcm& m, double a, double b, double c, double d, double e, double f)
{
    m[0].setAll(a, b, c);
    m[1].setAll(b, d, e);
    m[2].setAll(c, e, f);
}

void DtCreateCross(const DtVector64& v, DtDcm& m)
{
    m[0].setAll(0.0, -v[2], v[1]);
    m[1].setAll(v[2], 0.0, -v[0]);
    m[2].setAll(-v[1], v[0], 0.0);
}

void DtCreateCross(const DtVector32& v, DtDcm& m)
{
    m[0].setAll(0.0, double(-v[2]), double(v[1]));
    m[1].setAll(double(v[2]), 0.0, double(-v[0]));
    m[2].setAll(double(-v[1]), double(v[0]), 0.0);
}

bool DtDcmCheck(const DtDcm& m)
{
    return m.isOrthonormal();
}

void DtDcmDump(const char* label, const DtDcm& m)
{
    DtInfo("%s\n%lf %lf %lf\n%lf %lf %lf\n%lf %lf %lf\n", label, m[0][0], m[0][1], m[0][2], m[1][0], m[1][1],
           m[1][2], m[2][0], m[2][1], m[2][2]);
}

// ---- Tait-Bryan angles -------------------------------------------------------

void DtTbToMat(const DtTaitBryan& angles, DtDcm& m)
{
    const double sps = std::sin(angles.psi()), cps = std::cos(angles.psi());
    const double sth = std::sin(angles.theta()), cth = std::cos(angles.theta());
    const double sph = std::sin(angles.phi()), cph = std::cos(angles.phi());

    m[0][0] = cth * cps;
    m[0][1] = sph * sth * cps - cph * sps;
    m[0][2] = sph * sps + cph * sth * cps;
    m[1][0] = cth * sps;
    m[1][1] = cph * cps + sph * sth * sps;
    m[1][2] = cph * sth * sps - cps * sph;
    m[2][0] = -sth;
    m[2][1] = sph * cth;
    m[2][2] = cph * cth;
}

}  // namespace Vorant
