#include <qvDcm.h>

#include <qvQuaternion.h>
#include <qvTaitBryan.h>
#include <qvutil/dtOutput.h>

#include "axes.h"

#include <cmath>
#include <ostream>

namespace Vorant {

namespace {

// Constant expressions: both hold their values before any code runs.
const DtDcm theDcmZero;
const DtDcm theDcmIdentity(1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0);

// Tolerances of the relative-rotation axis, by precision of the result.
constexpr double kAxisEpsilon64 = 1e-24;
constexpr double kAxisEpsilon32 = 1e-12;

// |x| < eps, written as two one-sided tests; false for NaN.
bool nearZero(double x, double eps)
{
    if (x < 0)
        return x > -eps;
    return x < eps;
}

// Arc cosine of an argument limited to [-1, 1]. (Double in and out; this
// shadows the C library's long double function here.)
double acosl(double x)
{
    return std::acos(DtLimit(x, -1.0, 1.0));
}

// The single-axis frame-rotation layout; m must be zero and axis valid.
void fillAxisLayout(DtDcm& m, double s, double c, int axis)
{
    switch (axis) {
    case 0:
        m[0][0] = 1.0;
        m[1][1] = c;
        m[2][2] = c;
        m[1][2] = s;
        m[2][1] = -s;
        break;
    case 1:
        m[1][1] = 1.0;
        m[0][0] = c;
        m[2][2] = c;
        m[2][0] = s;
        m[0][2] = -s;
        break;
    default:
        m[2][2] = 1.0;
        m[0][0] = c;
        m[1][1] = c;
        m[0][1] = s;
        m[1][0] = -s;
        break;
    }
}

bool validAxis(int axis)
{
    return axis >= 0 && axis <= 2;
}

// Index of the component of largest absolute value; ties go to the later index.
int largest(double v0, double v1, double v2)
{
    const double a0 = std::fabs(v0), a1 = std::fabs(v1), a2 = std::fabs(v2);
    return a0 > a1 ? (a0 > a2 ? 0 : 2) : (a1 > a2 ? 1 : 2);
}

// The sign that makes the axis agree with the rotation sense of M (the
// rotation matrix minus the identity); warns when the indicator vanishes.
double possNegate(double v0, double v1, double v2, const DtDcm& m, double eps)
{
    double p;
    switch (largest(v0, v1, v2)) {
    case 0:
        p = v0 * m[1][2];
        break;
    case 1:
        p = v1 * m[2][0];
        break;
    default:
        p = v2 * m[0][1];
        break;
    }
    if (nearZero(p, eps))
        DtInfo("DtDcmDcmRotAxis warning: sign indicator near zero: %e\n", p);
    return p < 0 ? -1.0 : 1.0;
}

bool normalize(DtVector64& v, const DtDcm& m)
{
    const double q = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    if (nearZero(q, kAxisEpsilon64))
        return false;
    const double f = possNegate(v[0], v[1], v[2], m, kAxisEpsilon64) / std::sqrt(q);
    v[0] = v[0] * f;
    v[1] = v[1] * f;
    v[2] = v[2] * f;
    return true;
}

bool normalize(DtVector32& v, const DtDcm& m)
{
    const float qf = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    const double q = qf;
    if (nearZero(q, kAxisEpsilon32))
        return false;
    const double f = possNegate(v[0], v[1], v[2], m, kAxisEpsilon32) / std::sqrt(q);
    v[0] = float(double(v[0]) * f);
    v[1] = float(double(v[1]) * f);
    v[2] = float(double(v[2]) * f);
    return true;
}

// b^T a minus the identity, the matrix whose row cross products give the axis.
DtDcm relativeMinusIdentity(const DtDcm& a, const DtDcm& b)
{
    DtDcm bt;
    DtDcmTranspose(b, bt);
    DtDcm m;
    DtDcmDcmMul(bt, a, m);
    m[0][0] -= 1.0;
    m[1][1] -= 1.0;
    m[2][2] -= 1.0;
    return m;
}

template <class Vector>
void relativeRotationAxis(const DtDcm& a, const DtDcm& b, Vector& axis)
{
    if (DtAbs(DtDcmDcmRotTrace(a, b) - 3.0) <= 1e-12) {
        DtVecInit(axis);
        return;
    }
    const DtDcm m = relativeMinusIdentity(a, b);
    DtVecCrossProd(m[0], m[1], axis);
    if (normalize(axis, m))
        return;
    DtVecCrossProd(m[1], m[2], axis);
    if (normalize(axis, m))
        return;
    DtVecCrossProd(m[2], m[0], axis);
    if (normalize(axis, m))
        return;
    DtDebug("DtDcmDcmRotAxis: can't normalize axis\n");
    DtVecInit(axis);
}

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

DtDcm::DtDcm(const DtQuaternion& q)
{
    DtDcmFromQuaternion(*this, &q);
}

const DtDcm& DtDcm::zero() { return theDcmZero; }
const DtDcm& DtDcm::identity() { return theDcmIdentity; }

bool DtDcm::isOrthonormal() const
{
    DtDcm copy(*this);
    for (const int i : detail::kAxes)
        if (!copy[i].isNormalized())
            return false;
    DtDcmTranspose(copy, copy);
    for (const int i : detail::kAxes)
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
    // All nine sums are formed (in registers) before out, which may be a or
    // b, is written.
    const double a00 = a[0][0], a01 = a[0][1], a02 = a[0][2], a10 = a[1][0], a11 = a[1][1], a12 = a[1][2],
                 a20 = a[2][0], a21 = a[2][1], a22 = a[2][2];
    const double b00 = b[0][0], b01 = b[0][1], b02 = b[0][2], b10 = b[1][0], b11 = b[1][1], b12 = b[1][2],
                 b20 = b[2][0], b21 = b[2][1], b22 = b[2][2];
    const double c00 = (a00 * b00 + a01 * b10) + a02 * b20, c01 = (a00 * b01 + a01 * b11) + a02 * b21,
                 c02 = (a00 * b02 + a01 * b12) + a02 * b22;
    const double c10 = (a10 * b00 + a11 * b10) + a12 * b20, c11 = (a10 * b01 + a11 * b11) + a12 * b21,
                 c12 = (a10 * b02 + a11 * b12) + a12 * b22;
    const double c20 = (a20 * b00 + a21 * b10) + a22 * b20, c21 = (a20 * b01 + a21 * b11) + a22 * b21,
                 c22 = (a20 * b02 + a21 * b12) + a22 * b22;
    out[0].setAll(c00, c01, c02);
    out[1].setAll(c10, c11, c12);
    out[2].setAll(c20, c21, c22);
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
    for (const int i : detail::kAxes) {
        for (const int j : detail::kAxes) {
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

// ---- elementary rotations -----------------------------------------------------

void DtDcmRotInit(DtDcm& m, double a, int axis)
{
    m.setToZero();
    if (!validAxis(axis)) {
        DtFatalError("PANIC: dcm_rot_init(): Axis variable unknown.\n");
        return;
    }
    fillAxisLayout(m, std::sin(a), std::cos(a), axis);
}

void DtDcmRotInit2(DtDcm& m, double s, int axis)
{
    m.setToZero();
    const double c = std::sqrt(DtAbs(1.0 - DtSquare(s)));
    if (!validAxis(axis)) {
        DtFatalError("PANIC: dcm_rot_init(): Axis unknown\n");
        return;
    }
    fillAxisLayout(m, s, c, axis);
}

void DtDcmTrigInit(DtDcm& m, double s, double c, int axis)
{
    m.setToZero();
    if (!validAxis(axis)) {
        DtFatalError("PANIC: dcm_trig_init() Axis variable unknown.\n");
        return;
    }
    fillAxisLayout(m, s, c, axis);
}

namespace {

// Shared by both precisions: g0, g1, g2 widened, gg = g2 * g2 as the caller
// formed it.
void levelInit(DtDcm& m, double g0, double g1, double g2, double gg)
{
    const double h = std::sqrt(1.0 - gg);
    m[2][2] = h;
    if (h < 1e-9) {
        m[0][0] = 1.0;
        m[0][1] = 0.0;
    } else {
        m[0][0] = g1 / h;
        m[0][1] = -g0 / h;
    }
    m[0][2] = 0.0;
    m[1].setAll(g0, g1, g2);
    m[2][0] = m[0][1] * g2;
    m[2][1] = m[0][0] * (-g2);
}

}  // namespace

void DtDcmLevelInit(DtDcm& m, const DtVector64& g)
{
    levelInit(m, g[0], g[1], g[2], g[2] * g[2]);
}

void DtDcmLevelInit(DtDcm& m, const DtVector32& g)
{
    const float gg = g[2] * g[2];
    levelInit(m, g[0], g[1], g[2], gg);
}

void DtDcmFixMatrix(DtDcm& m, int k)
{
    if (!validAxis(k)) {
        DtFatalError("PANIC -- impossible axis detected in fix matrix\r\n");
        return;
    }
    DtDcm w(m);
    DtVector64& p = w[k];             // preserved
    DtVector64& q = w[(k + 2) % 3];   // adjusted
    DtVector64& r = w[(k + 1) % 3];   // rebuilt
    DtVecNormalize(p, p);
    const double d = DtVecDotProd(q, p);
    DtVector64 along;
    DtVecScale(p, -d, along);
    q += along;
    DtVecNormalize(q, q);
    DtVecCrossProd(q, p, r);
    m = w;
}

void DtDcmForm(const double* u, double a, DtDcm& m, double* sinOut, double* cosOut)
{
    *cosOut = std::cos(a);
    *sinOut = std::sin(a);
    const double c = *cosOut;
    const double s = *sinOut;
    const double t = 1 - c;
    const double u0 = u[0], u1 = u[1], u2 = u[2];

    m[0][0] = c + (u0 * u0) * t;
    m[0][1] = (u1 * u0) * t - s * u2;
    m[0][2] = (u2 * u0) * t + s * u1;
    m[1][0] = (u1 * u0) * t + s * u2;
    m[1][1] = c + (u1 * u1) * t;
    m[1][2] = (u2 * u1) * t - s * u0;
    m[2][0] = (u2 * u0) * t - s * u1;
    m[2][1] = (u2 * u1) * t + s * u0;
    m[2][2] = c + (u2 * u2) * t;
}

namespace {

template <class Vector>
void rotateAboutAxis(DtDcm& m, const Vector& axis, double a)
{
    const Vector u(axis);   // the axis may be a row of m
    const double c = std::cos(a);
    const double s = std::sin(a);
    DtDcm t;
    DtCreateCross(u, t);
    DtDcmScale(t, s, t);
    t[0][0] += c;
    t[1][1] += c;
    t[2][2] += c;
    DtVV_Product(u, u, m);
    DtDcmScale(m, 1 - c, m);
    DtDcmAdd(m, t, m);
}

}  // namespace

void DtRotate(DtDcm& m, const DtVector64& u, double a)
{
    rotateAboutAxis(m, u, a);
}

void DtRotate(DtDcm& m, const DtVector32& u, double a)
{
    rotateAboutAxis(m, u, a);
}

// ---- Tait-Bryan angles and quaternions -------------------------------------------

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

void DtDcmFromQuaternion(DtDcm& m, const DtQuaternion* q)
{
    const double w = q->w(), x = q->x(), y = q->y(), z = q->z();
    const double xx = DtSquare(x), yy = DtSquare(y), zz = DtSquare(z);

    m[0][0] = 1 - (yy + yy) - (zz + zz);
    m[0][1] = (x + x) * y + (w + w) * z;
    m[0][2] = (x + x) * z - (w + w) * y;
    m[1][0] = (x + x) * y - (w + w) * z;
    m[1][1] = 1 - (xx + xx) - (zz + zz);
    m[1][2] = (y + y) * z + (w + w) * x;
    m[2][0] = (x + x) * z + (w + w) * y;
    m[2][1] = (y + y) * z - (w + w) * x;
    m[2][2] = 1 - (xx + xx) - (yy + yy);
}

// ---- rotation rates and relative rotation ----------------------------------------

DtDirectedRotRate DtDirectRotRate(const DtVector64& w)
{
    DtDirectedRotRate r;   // (a zero axis)
    r.magnitude = std::sqrt((DtSquare(w[0]) + DtSquare(w[1])) + DtSquare(w[2]));
    if (r.magnitude != 0.0) {
        r.axis[0] = float(w[0] * (1.0 / r.magnitude));
        r.axis[1] = float(w[1] * (1.0 / r.magnitude));
        r.axis[2] = float(w[2] * (1.0 / r.magnitude));
    }
    return r;
}

DtDirectedRotRate DtDirectRotRate(const DtVector32& w)
{
    DtDirectedRotRate r;   // (a zero axis)
    const float sum = (DtSquare(w[0]) + DtSquare(w[1])) + DtSquare(w[2]);
    r.magnitude = double(std::sqrt(sum));
    if (r.magnitude != 0.0) {
        for (const int i : detail::kAxes)
            r.axis[i] = float(double(w[i]) * (1.0 / r.magnitude));
    }
    return r;
}

void DtMakeRotationDcm(const DtDirectedRotRate& r, double dt, DtDcm& m)
{
    const double alpha = r.magnitude * dt;
    const double s = std::sin(alpha);
    const double c = std::cos(alpha);
    const double t = 1 - c;
    for (const int i : detail::kAxes)
        for (const int j : detail::kAxes)
            m[i][j] = (i == j ? c : 0.0) + double(r.axis[j] * r.axis[i]) * t;
    const double e0 = double(r.axis[0]) * s;
    const double e1 = double(r.axis[1]) * s;
    const double e2 = double(r.axis[2]) * s;
    m[1][0] -= e2;
    m[0][1] += e2;
    m[2][1] -= e0;
    m[1][2] += e0;
    m[0][2] -= e1;
    m[2][0] += e1;
}

void DtBodyToMat(DtVector32 w, const DtDcm& m, DtDcm& out)
{
    const double w0 = w[0], w1 = w[1], w2 = w[2];
    for (const int i : detail::kAxes) {
        // Row i of out depends on row i of m alone; read it before writing.
        const double m0 = m[i][0], m1 = m[i][1], m2 = m[i][2];
        out[i][0] = m1 * w2 - m2 * w1;
        out[i][1] = m2 * w0 - m0 * w2;
        out[i][2] = m0 * w1 - m1 * w0;
    }
}

double DtDcmDcmRotTrace(const DtDcm& a, const DtDcm& b)
{
    double sum = 0.0;
    for (const int i : detail::kAxes)
        for (const int j : detail::kAxes)
            sum += a[i][j] * b[i][j];
    return sum;
}

double DtDcmDcmRotAngle(const DtDcm& a, const DtDcm& b, double eps)
{
    const double c = 0.5 * (DtDcmDcmRotTrace(a, b) - 1.0);
    if (nearZero(c - 1.0, eps))
        return 0.0;
    return acosl(c);
}

void DtDcmDcmRotAxis(const DtDcm& a, const DtDcm& b, DtVector64& axis)
{
    relativeRotationAxis(a, b, axis);
}

void DtDcmDcmRotAxis(const DtDcm& a, const DtDcm& b, DtVector32& axis)
{
    relativeRotationAxis(a, b, axis);
}

}  // namespace Vorant
