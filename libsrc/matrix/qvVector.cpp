#include <qvVector.h>

#include <qvDcm.h>
#include <qvutil/dtOutput.h>

#include "axes.h"

#include <cmath>
#include <cstring>

#include <ostream>
#include <sstream>

namespace Vorant {

namespace {

// The shared vectors. Their constructors are constant expressions, so they
// hold their values before any code of the library runs.
const DtVector64 vec_zero(0.0, 0.0, 0.0);
const DtVector64 vec_i(1.0, 0.0, 0.0);
const DtVector64 vec_j(0.0, 1.0, 0.0);
const DtVector64 vec_k(0.0, 0.0, 1.0);
const DtVector64 vec_identity(1.0, 1.0, 1.0);
const DtVector32 vec32_zero(0.0f, 0.0f, 0.0f);
const DtVector32 vec32_i(1.0f, 0.0f, 0.0f);
const DtVector32 vec32_j(0.0f, 1.0f, 0.0f);
const DtVector32 vec32_k(0.0f, 0.0f, 1.0f);
const DtVector32 vec32_identity(1.0f, 1.0f, 1.0f);

}  // namespace

template <class T>
DtString DtVectorT<T>::string() const
{
    std::ostringstream os;
    os.setf(std::ios::fixed, std::ios::floatfield);
    os << "{" << myV[0] << ", " << myV[1] << ", " << myV[2] << "}";
    return DtString(os.str());
}

template <class T>
std::ostream& DtVectorT<T>::printDataToStream(std::ostream& os) const
{
    os << "[ x= " << myV[0] << " y= " << myV[1] << " z= " << myV[2] << " ]";
    return os;
}

template class DtVectorT<float>;
template class DtVectorT<double>;

const DtVector64& DtVector64::zero() { return vec_zero; }
const DtVector64& DtVector64::i() { return vec_i; }
const DtVector64& DtVector64::j() { return vec_j; }
const DtVector64& DtVector64::k() { return vec_k; }
const DtVector64& DtVector64::ones() { return vec_identity; }

const DtVector32& DtVector32::zero() { return vec32_zero; }
const DtVector32& DtVector32::i() { return vec32_i; }
const DtVector32& DtVector32::j() { return vec32_j; }
const DtVector32& DtVector32::k() { return vec32_k; }
const DtVector32& DtVector32::ones() { return vec32_identity; }

// ---- output-parameter family ---------------------------------------------------

void DtVecInit(DtVector64& v) { v.setToZero(); }
void DtVecInit(DtVector32& v) { v.setToZero(); }

void DtVecCopy(const DtVector64& in, DtVector64& out) { out = in; }
void DtVecCopy(const DtVector32& in, DtVector32& out) { out = in; }

void DtVecAdd(const DtVector64& a, const DtVector64& b, DtVector64& out)
{
    out[0] = a[0] + b[0];
    out[1] = a[1] + b[1];
    out[2] = a[2] + b[2];
}

void DtVecAdd(const DtVector32& a, const DtVector32& b, DtVector32& out)
{
    out[0] = a[0] + b[0];
    out[1] = a[1] + b[1];
    out[2] = a[2] + b[2];
}

void DtVecSub(const DtVector64& a, const DtVector64& b, DtVector64& out)
{
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
    out[2] = a[2] - b[2];
}

void DtVecSub(const DtVector32& a, const DtVector32& b, DtVector32& out)
{
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
    out[2] = a[2] - b[2];
}

void DtVecNeg(const DtVector64& in, DtVector64& out)
{
    out[0] = -in[0];
    out[1] = -in[1];
    out[2] = -in[2];
}

void DtVecNeg(const DtVector32& in, DtVector32& out)
{
    out[0] = -in[0];
    out[1] = -in[1];
    out[2] = -in[2];
}

void DtVecScale(const DtVector64& in, double s, DtVector64& out)
{
    out[0] = in[0] * s;
    out[1] = in[1] * s;
    out[2] = in[2] * s;
}

void DtVecScale(const DtVector32& in, double s, DtVector32& out)
{
    out[0] = float(double(in[0]) * s);
    out[1] = float(double(in[1]) * s);
    out[2] = float(double(in[2]) * s);
}

void DtVecScale(const DtVector32& in, double s, DtVector64& out)
{
    const double x = double(in[0]) * s;
    const double y = double(in[1]) * s;
    const double z = double(in[2]) * s;
    out.setAll(x, y, z);
}

void DtVecNormalize(const DtVector64& in, DtVector64& out)
{
    const double s = in[0] * in[0] + in[1] * in[1] + in[2] * in[2];
    if (DtAbs(s) <= 1e-9)
        return;
    if (DtAbs(s - 1.0) <= 1e-9) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        return;
    }
    const double r = std::sqrt(s);
    out[0] = in[0] / r;
    out[1] = in[1] / r;
    out[2] = in[2] / r;
}

void DtVecNormalize(const DtVector32& in, DtVector32& out)
{
    const float s = in[0] * in[0] + in[1] * in[1] + in[2] * in[2];
    if (DtAbs(double(s)) <= 1e-9)
        return;
    if (DtAbs(double(s) - 1.0) <= 1e-9) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        return;
    }
    const float r = float(std::sqrt(double(s)));
    out[0] = in[0] / r;
    out[1] = in[1] / r;
    out[2] = in[2] / r;
}

void DtVecCrossProd(const DtVector64& a, const DtVector64& b, DtVector64& out)
{
    const DtVector64 t(a[1] * b[2] - a[2] * b[1], -(a[0] * b[2] - a[2] * b[0]), a[0] * b[1] - a[1] * b[0]);
    DtVecCopy(t, out);
}

void DtVecCrossProd(const DtVector64& a, const DtVector64& b, DtVector32& out)
{
    const DtVector32 t(float(a[1] * b[2] - a[2] * b[1]), -float(a[0] * b[2] - a[2] * b[0]),
                       float(a[0] * b[1] - a[1] * b[0]));
    DtVecCopy(t, out);
}

void DtVecCrossProd(const DtVector32& a, const DtVector32& b, DtVector32& out)
{
    const DtVector32 t(a[1] * b[2] - a[2] * b[1], -(a[0] * b[2] - a[2] * b[0]), a[0] * b[1] - a[1] * b[0]);
    DtVecCopy(t, out);
}

double DtVecDotProd(const DtVector64& a, const DtVector64& b)
{
    return ((0.0 + a[0] * b[0]) + a[1] * b[1]) + a[2] * b[2];
}

double DtVecDotProd(const DtVector32& a, const DtVector32& b)
{
    const double p0 = a[0] * b[0];
    const double p1 = a[1] * b[1];
    const double p2 = a[2] * b[2];
    return ((0.0 + p0) + p1) + p2;
}

double DtVecBoxProd(const DtVector64& a, const DtVector64& b, const DtVector64& c)
{
    DtVector64 t;
    DtVecCrossProd(a, b, t);
    return DtVecDotProd(c, t);
}

double DtVecBoxProd(const DtVector32& a, const DtVector32& b, const DtVector32& c)
{
    DtVector32 t;
    DtVecCrossProd(a, b, t);
    return DtVecDotProd(c, t);
}

double DtVecCosProd(const DtVector64& a, const DtVector64& b)
{
    const double na = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    const double nb = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
    return DtVecDotProd(a, b) / (na * nb);
}

double DtVecCosProd(const DtVector32& a, const DtVector32& b)
{
    const float sa = a[0] * a[0] + a[1] * a[1] + a[2] * a[2];
    const float sb = b[0] * b[0] + b[1] * b[1] + b[2] * b[2];
    const double na = std::sqrt(double(sa));
    const double nb = std::sqrt(double(sb));
    return DtVecDotProd(a, b) / (na * nb);
}

double DtVecInfNorm(const DtVector64& v)
{
    return DtMax(DtAbs(v[0]), DtMax(DtAbs(v[1]), DtAbs(v[2])));
}

double DtVecInfNorm(const DtVector32& v)
{
    return DtMax(double(DtAbs(v[0])), DtMax(double(DtAbs(v[1])), double(DtAbs(v[2]))));
}

void DtVecDcmMul(const DtVector64& v, const DtDcm& m, DtVector64& out)
{
    const double r0 = (v[0] * m[0][0] + v[1] * m[1][0]) + v[2] * m[2][0];
    const double r1 = (v[0] * m[0][1] + v[1] * m[1][1]) + v[2] * m[2][1];
    const double r2 = (v[0] * m[0][2] + v[1] * m[1][2]) + v[2] * m[2][2];
    out[0] = r0;
    out[1] = r1;
    out[2] = r2;
}

void DtVecDcmMul(const DtVector32& v, const DtDcm& m, DtVector32& out)
{
    const double v0 = v[0], v1 = v[1], v2 = v[2];
    const double r0 = (v0 * m[0][0] + v1 * m[1][0]) + v2 * m[2][0];
    const double r1 = (v0 * m[0][1] + v1 * m[1][1]) + v2 * m[2][1];
    const double r2 = (v0 * m[0][2] + v1 * m[1][2]) + v2 * m[2][2];
    out[0] = float(r0);
    out[1] = float(r1);
    out[2] = float(r2);
}

void DtVV_Product(const DtVector64& a, const DtVector64& b, DtDcm& m)
{
    for (const int i : detail::kAxes)
        for (const int j : detail::kAxes)
            m[i][j] = a[i] * b[j];
}

void DtVV_Product(const DtVector32& a, const DtVector32& b, DtDcm& m)
{
    for (const int i : detail::kAxes)
        for (const int j : detail::kAxes)
            m[i][j] = double(a[i] * b[j]);
}

int DtVecCheck(const DtVector64& v)
{
    return DtAbs(DtSquare(v[0]) + DtSquare(v[1]) + DtSquare(v[2]) - 1.0) <= 1e-6 ? 1 : 0;
}

void DtVecDump(const char* label, const DtVector64& v)
{
    // Room for a 30-character label, its colon and the terminator; a longer
    // label is cut rather than allowed to overrun.
    char buffer[32];
    std::size_t n = label ? std::strlen(label) : 0;
    if (n > 30)
        n = 30;
    if (n)
        std::memcpy(buffer, label, n);
    buffer[n] = ':';
    buffer[n + 1] = '\0';
    DtInfo("%-25s {%13.3lf, %13.3lf, %13.3lf}\n", buffer, v[0], v[1], v[2]);
}

// ---- value-returning helpers -------------------------------------------------

DtVector64 operator+(const DtVector64& a, const DtVector64& b)
{
    DtVector64 r(a);
    r += b;
    return r;
}

DtVector64 operator-(const DtVector64& a, const DtVector64& b)
{
    DtVector64 r(a);
    r -= b;
    return r;
}

DtVector32 operator+(const DtVector32& a, const DtVector32& b)
{
    DtVector32 r(a);
    r += b;
    return r;
}

DtVector32 operator-(const DtVector32& a, const DtVector32& b)
{
    DtVector32 r(a);
    r -= b;
    return r;
}

DtVector64 operator+(const DtVector32& a, const DtVector64& b)
{
    return DtVector64(double(a[0]) + b[0], double(a[1]) + b[1], double(a[2]) + b[2]);
}

DtVector64 operator-(const DtVector32& a, const DtVector64& b)
{
    return DtVector64(double(a[0]) - b[0], double(a[1]) - b[1], double(a[2]) - b[2]);
}

DtVector64 operator+(const DtVector64& a, const DtVector32& b)
{
    return DtVector64(a[0] + double(b[0]), a[1] + double(b[1]), a[2] + double(b[2]));
}

DtVector64 operator-(const DtVector64& a, const DtVector32& b)
{
    return DtVector64(a[0] - double(b[0]), a[1] - double(b[1]), a[2] - double(b[2]));
}

double DtDistance(const DtVector64& a, const DtVector64& b)
{
    const DtVector64 d = a - b;
    return std::sqrt(DtVecDotProd(d, d));
}

double DtDistance(const DtVector32& a, const DtVector32& b)
{
    const DtVector32 d = a - b;
    return std::sqrt(DtVecDotProd(d, d));
}

double DtDistSqr(const DtVector64& a, const DtVector64& b)
{
    const DtVector64 d = a - b;
    return d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
}

double DtDistSqr(const DtVector32& a, const DtVector32& b)
{
    const DtVector32 d = a - b;
    const double x = d[0], y = d[1], z = d[2];
    return x * x + y * y + z * z;
}

DtVector64 DtVelocityFromAToB(const DtVector64& a, const DtVector64& b, double dt)
{
    const DtVector64 d = b - a;
    const double k = 1.0 / dt;
    DtVector64 result;
    DtVecScale(d, k, result);
    return result;
}

DtVector32 DtVelocityFromAToB(const DtVector32& a, const DtVector32& b, double dt)
{
    const DtVector32 d = b - a;
    const double k = 1.0 / dt;
    DtVector32 result;
    DtVecScale(d, k, result);
    return result;
}

namespace {

double headingFromDifferences(double dx, double dy)
{
    double h = std::atan2(dx, dy);
    if (h < 0)
        h = h + 6.283185307179586;
    return h;
}

}  // namespace

double DtHeadingFromAToB(const DtVector64& a, const DtVector64& b)
{
    return headingFromDifferences(b[0] - a[0], b[1] - a[1]);
}

double DtHeadingFromAToB(const DtVector32& a, const DtVector32& b)
{
    const float dx = b[0] - a[0];
    const float dy = b[1] - a[1];
    return headingFromDifferences(dx, dy);
}

DtVector64 DtLerpVector(DtVector64 a, DtVector64 b, double t)
{
    if (t <= 0)
        return a;
    if (t >= 1)
        return b;
    DtVector64 r;
    for (const int i : detail::kAxes)
        r[i] = a[i] + (b[i] - a[i]) * t;
    return r;
}

DtVector32 DtLerpVector(DtVector32 a, DtVector32 b, double t)
{
    if (t <= 0)
        return a;
    if (t >= 1)
        return b;
    DtVector32 r;
    for (const int i : detail::kAxes) {
        const float d = b[i] - a[i];
        r[i] = float(double(a[i]) + double(d) * t);
    }
    return r;
}

DtVector64 DtVector32To64(const DtVector32& v)
{
    return DtVector64(v[0], v[1], v[2]);
}

DtVector32 DtVector64To32(const DtVector64& v)
{
    return DtVector32(float(v[0]), float(v[1]), float(v[2]));
}

}  // namespace Vorant
