#include "geodesic.h"

#include "diagnostics.h"
#include "fastTrig.h"
#include "geodesicSeries.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <utility>

// The series' loops are short with known counts: unrolled, the coefficients
// of one step are evaluated side by side instead of one after another.
#define QORMATRIX_UNROLL _Pragma("GCC unroll 8")

namespace Vorant {

namespace {

using detail::kGeodesicOrder;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPiValue = 3.141592653589793;
constexpr double kDegree = kPiValue / 180;
const double kTiny = std::sqrt(std::numeric_limits<double>::min());
constexpr double kTol0 = std::numeric_limits<double>::epsilon();
constexpr double kTol1 = 200 * kTol0;
const double kTol2 = std::sqrt(kTol0);
const double kTolb = kTol0 * kTol2;   // the bisection's
const double kXthresh = 1000 * kTol2;
constexpr int kMaxit1 = 20;
constexpr int kMaxit2 = 83;   // kMaxit1, the 53 digits of a double and 10 more

double sq(double x)
{
    return x * x;
}

// The length of (x, y) for values of the size of sines and cosines (no
// overflow to guard against: cheaper than std::hypot).
double norm2(double x, double y)
{
    return std::sqrt(x * x + y * y);
}

void normalize(double& s, double& c)
{
    const double r = norm2(s, c);
    s /= r;
    c /= r;
}

// x reduced into [-180, 180] (std::remainder's result, sooner when it is x).
double reduce360(double x)
{
    return std::fabs(x) <= 180 ? x : std::remainder(x, 360.0);
}

// Radians reduced to [-pi, pi].
double reducePi(double x)
{
    return std::fabs(x) <= kPiValue ? x : std::remainder(x, 2 * kPiValue);
}

// An angle in degrees reduced to [-180, 180], with -180 given as 180.
double angNormalize(double x)
{
    const double y = reduce360(x);
    return std::fabs(y) == 180 ? std::copysign(180.0, x) : y;
}

// Exact sum of two numbers: s + t == u + v.
double sumExact(double u, double v, double& t)
{
    const double s = u + v;
    double up = s - v, vpp = s - up;
    up -= u;
    vpp -= v;
    t = s != 0 ? 0.0 - (up + vpp) : s;
    return s;
}

// y - x, reduced to [-180, 180], exactly: the result plus e.
double angDiff(double x, double y, double& e)
{
    double t;
    double d = sumExact(reduce360(-x), reduce360(y), t);
    d = sumExact(reduce360(d), t, e);
    if (d == 0 || std::fabs(d) == 180)
        d = std::copysign(d, e == 0 ? y - x : -e);
    return d;
}

// Small angles rounded to a multiple of 1/16 of their value's ulp away from
// zero, so that tiny values do not lose symmetry.
double angRound(double x)
{
    constexpr double z = 1.0 / 16;
    double y = std::fabs(x);
    const double w = z - y;
    y = w > 0 ? z - w : y;
    return std::copysign(y, x);
}

// Sine and cosine of degrees, exact at multiples of 90.
void sincosd(double x, double& sinx, double& cosx)
{
    // x - 90 q is exact whenever |x - 90 q| <= 45 (Sterbenz), so remquo is
    // needed only for huge angles.
    int q = 0;
    double r = x;
    if (!(std::fabs(x) <= 45)) {
        if (std::fabs(x) < 1e9) {
            // Rounded to the nearest integer (ties to even) by adding and
            // taking away 1.5 * 2^52, without a call.
            constexpr double kRound = 6755399441055744.0;
            const double qd = (x / 90 + kRound) - kRound;
            q = static_cast<int>(qd);
            r = x - 90 * qd;
        } else {
            r = std::remquo(x, 90.0, &q);
        }
    }
    r *= kDegree;
    double s, c;
    detail::sinCosReduced(r, s, c);
    detail::sinCosQuadrant(q, s, c, sinx, cosx);
    cosx += 0.0;   // no -0
    if (sinx == 0)
        sinx = std::copysign(sinx, x);
}

// Sine and cosine of an angle of the size of the flattening (the series'
// corrections): Taylor terms to x^5 are exact to the last bit below 1/256.
inline void smallSinCos(double x, double& sinx, double& cosx)
{
    if (std::fabs(x) < 1.0 / 256) {
        const double x2 = x * x;
        sinx = x - (x * x2) * (1.0 / 6 - x2 * (1.0 / 120));
        cosx = 1 - x2 * (0.5 - x2 * (1.0 / 24));
    } else {
        sinx = std::sin(x);
        cosx = std::cos(x);
    }
}

// atan2 in degrees, exact at multiples of 90.
double atan2d(double y, double x)
{
    int q = 0;
    if (std::fabs(y) > std::fabs(x)) {
        std::swap(x, y);
        q = 2;
    }
    if (std::signbit(x)) {
        x = -x;
        ++q;
    }
    double ang = detail::fastAtan2(y, x) / kDegree;
    switch (q) {
    case 1:
        ang = std::copysign(180.0, y) - ang;
        break;
    case 2:
        ang = 90 - ang;
        break;
    case 3:
        ang = -90 + ang;
        break;
    default:
        break;
    }
    return ang;
}

double latFix(double x)
{
    return std::fabs(x) > 90 ? kNaN : x;
}

// Sum of c[l] sin(2 l x), l = 1..n (sine), or of c[l] cos((2 l + 1) x),
// l = 0..n-1 (cosine), by Clenshaw's recurrence from sin x and cos x.
double sineSeries(double sx, double cx, const double* c, int n)
{
    const double ar = 2 * (cx - sx) * (cx + sx);   // 2 cos 2x
    double b1 = 0, b2 = 0;
    QORMATRIX_UNROLL
    for (int k = n; k >= 1; --k) {
        const double b = (c[k] - b2) + ar * b1;   // the chain runs through one product
        b2 = b1;
        b1 = b;
    }
    return 2 * sx * cx * b1;
}

double cosineSeries(double sx, double cx, const double* c, int n)
{
    const double ar = 2 * (cx - sx) * (cx + sx);
    double b1 = 0, b2 = 0;
    QORMATRIX_UNROLL
    for (int k = n - 1; k >= 0; --k) {
        const double b = (c[k] - b2) + ar * b1;   // the chain runs through one product
        b2 = b1;
        b1 = b;
    }
    return cx * (b1 - b2);
}

// The fixed series as tables built once. Each C_l is eps^l times a
// polynomial in eps^2 (and A1, A2 polynomials in eps^2): stored that way, a
// coefficient costs a few operations.
using detail::kHalfOrder;
struct FixedTables
{
    detail::EvenPolynomial a1 = {}, a2 = {};
    detail::EvenPolynomials c1 = {}, c1p = {}, c2 = {};
    // A1 - A2 and A1 C1_l - A2 C2_l as plain polynomials in eps, cut at
    // eps^6 (what is dropped is below 1e-19 for the earth): the reduced
    // length's integral in one series, for the slope of Newton's method.
    detail::SeriesTerms m0 = {};
    detail::SeriesTermsForEachOrder j = {};
    FixedTables()
    {
        for (const detail::FixedTerm& t : detail::kA1)
            a1[t.i / 2] += t.value;
        for (const detail::FixedTerm& t : detail::kA2)
            a2[t.i / 2] += t.value;
        for (const detail::FixedTerm& t : detail::kC1)
            c1[t.l][(t.i - t.l) / 2] += t.value;
        for (const detail::FixedTerm& t : detail::kC1p)
            c1p[t.l][(t.i - t.l) / 2] += t.value;
        for (const detail::FixedTerm& t : detail::kC2)
            c2[t.l][(t.i - t.l) / 2] += t.value;
        // A1 = P1(eps^2) / (1 - eps), A2 = P2(eps^2) / (1 + eps), expanded.
        detail::SeriesTerms a1full = {}, a2full = {};
        for (int d = 0; d <= kGeodesicOrder; ++d)
            for (int k = 0; 2 * k <= d; ++k) {
                a1full[d] += a1[k];
                a2full[d] += (d % 2 ? -1 : 1) * a2[k];
            }
        for (int d = 0; d <= kGeodesicOrder; ++d)
            m0[d] = a1full[d] - a2full[d];
        for (int l = 1; l <= kGeodesicOrder; ++l)
            for (int k = 0; l + 2 * k <= kGeodesicOrder; ++k)
                for (int d = 0; l + 2 * k + d <= kGeodesicOrder; ++d)
                    j[l][l + 2 * k + d] += a1full[d] * c1[l][k] - a2full[d] * c2[l][k];
    }
};

const FixedTables& tables()
{
    static const FixedTables t;
    return t;
}

double polynomial(const double* c, double x)   // c[0] + c[1] x + ... + c[6] x^6
{
    double y = 0;
    QORMATRIX_UNROLL
    for (int i = kGeodesicOrder; i >= 0; --i)
        y = y * x + c[i];
    return y;
}

// c[0] + c[1] x + ... for the `count` coefficients of c.
double shortPolynomial(const double* c, int count, double x)
{
    double y = 0;
    QORMATRIX_UNROLL
    for (int i = count - 1; i >= 0; --i)
        y = y * x + c[i];
    return y;
}

// c[l] = eps^l P_l(eps^2), l = 1..kGeodesicOrder.
void fixedCoefficients(const detail::EvenPolynomials& table, double eps, double* c)
{
    const double eps2 = eps * eps;
    double d = eps;
    c[0] = 0;
    QORMATRIX_UNROLL
    for (int l = 1; l <= kGeodesicOrder; ++l) {
        c[l] = d * shortPolynomial(table[l], (kGeodesicOrder - l) / 2 + 1, eps2);
        d *= eps;
    }
}

double a1m1(double eps)
{
    return (shortPolynomial(tables().a1, kHalfOrder, eps * eps) - 1 + eps) / (1 - eps);
}

double a2m1(double eps)
{
    return (shortPolynomial(tables().a2, kHalfOrder, eps * eps) - 1 - eps) / (1 + eps);
}

double epsilonOf(double k2)
{
    return k2 / (2 * (1 + std::sqrt(1 + k2)) + k2);
}

// d lambda12 / d alpha1 for Newton's method: the reduced length (Karney
// 2013, eq. 38) over cos(alpha2) cos(beta2), with the integral of the reduced
// length in one series. Only the step depends on it, never the answer.
double newtonSlope(double f1, double eps, double sig12, double ssig1, double csig1, double dn1, double ssig2,
                   double csig2, double dn2, double sbet1, double cbet2, double calp2)
{
    if (calp2 == 0)
        return -2 * f1 * dn1 / sbet1;
    const FixedTables& t = tables();
    detail::SeriesTerms c;   // (c[0] is not used)
    const double m0 = polynomial(t.m0, eps);
    QORMATRIX_UNROLL
    for (int l = 1; l <= kGeodesicOrder; ++l)
        c[l] = polynomial(t.j[l], eps);
    const double j12 = m0 * sig12 + (sineSeries(ssig2, csig2, c, kGeodesicOrder) -
                                     sineSeries(ssig1, csig1, c, kGeodesicOrder));
    const double m12b = dn2 * (csig1 * ssig2) - dn1 * (ssig1 * csig2) - csig1 * csig2 * j12;
    return m12b * f1 / (calp2 * cbet2);
}

// The authalic radius squared (areas), from a, b and e^2 (negative when prolate).
double authalicSquared(double a, double b, double e2)
{
    const double e = std::sqrt(std::fabs(e2));
    return (sq(a) + sq(b) * (e2 == 0 ? 1 : (e2 > 0 ? std::atanh(e) : std::atan(e)) / e)) / 2;
}

// The tolerance of the short-line start, scaled by f (Karney 2013, section 4).
double shortLineTolerance(double f)
{
    return 0.1 * kTol2 / std::sqrt(std::max(0.001, std::fabs(f)) * std::min(1.0, 1 - f / 2) / 2);
}

// The real root k of k^4 + 2 k^3 - (x^2 + y^2 - 1) k^2 - 2 y^2 k - y^2 = 0
// that is positive (the astroid of the antipodal start).
double astroid(double x, double y)
{
    const double p = sq(x), q = sq(y), r = (p + q - 1) / 6;
    if (q == 0 && r <= 0)
        return 0;
    const double s = p * q / 4, r2 = sq(r), r3 = r * r2, disc = s * (s + 2 * r3);
    double u = r;
    if (disc >= 0) {
        double t3 = s + r3;
        t3 += t3 < 0 ? -std::sqrt(disc) : std::sqrt(disc);
        const double t = std::cbrt(t3);
        u += t + (t != 0 ? r2 / t : 0);
    } else {
        const double ang = std::atan2(std::sqrt(-disc), -(s + r3));
        u += 2 * r * std::cos(ang / 3);
    }
    const double v = std::sqrt(sq(u) + q), uv = u < 0 ? q / (v - u) : u + v, w = (uv - q) / (2 * v);
    return uv / (std::sqrt(uv + sq(w)) + w);
}

constexpr unsigned kDistance = 8u;   // internal: lengths() computes s12

const char kSigConstructor[] = "Vorant::DtGeodesic::DtGeodesic(double, double)";
const char kBadInput[] = "Invalid geodesic input: a latitude beyond +/-pi/2 or a value that is not finite";

// Throws for a latitude beyond the poles or a value that is not finite.
void checkInput(std::initializer_list<double> latitudes, std::initializer_list<double> others, const char* signature,
                unsigned int line)
{
    bool ok = true;
    for (const double lat : latitudes)
        ok = ok && std::fabs(lat) <= kPiValue / 2;
    for (const double v : others)
        ok = ok && std::isfinite(v);
    if (!ok)
        detail::throwDtException(kBadInput, signature, __FILE__, line);
}

}  // namespace

struct DtGeodesic::Lengths
{
    double s12b = kNaN, m12b = kNaN, m0 = kNaN, M12 = kNaN, M21 = kNaN;
};

DtGeodesic::DtGeodesic(double a, double f)
    : myA(a), myF(f), myF1(1 - f), myE2(f * (2 - f)), myEp2(myE2 / sq(1 - f)), myN(f / (2 - f)), myB(a * (1 - f)),
      myC2(authalicSquared(myA, myB, myE2)), myEtol2(shortLineTolerance(f)), myA3x(), myC3x(), myC4x()
{
    if (!(std::isfinite(a) && a > 0 && std::isfinite(f) && f < 1))
        detail::throwDtException("Invalid ellipsoid: the semi-major axis must be positive and the flattening below 1",
                                 kSigConstructor, __FILE__, __LINE__);
    detail::SeriesTerms power;   // n^0 .. n^kGeodesicOrder
    double nj = 1;
    for (double& p : power) {
        p = nj;
        nj *= myN;
    }
    for (const detail::MixedTerm& t : detail::kA3)
        myA3x[t.i] += t.value * power[t.j];
    for (const detail::MixedTerm& t : detail::kC3)
        myC3x[t.l][t.i] += t.value * power[t.j];
    for (const detail::MixedTerm& t : detail::kC4)
        myC4x[t.l][t.i] += t.value * power[t.j];
}

DtGeodesic::DtGeodesic(const DtMapDatum& datum)
    : DtGeodesic(datum.spheroid.semiMajorAxis,
                 (datum.spheroid.semiMajorAxis - datum.spheroid.semiMinorAxis) / datum.spheroid.semiMajorAxis)
{
}

double DtGeodesic::ellipsoidArea() const
{
    return 4 * kPiValue * myC2;
}

double DtGeodesic::a3(double eps) const
{
    return polynomial(myA3x, eps);
}

// C3_l and C4_l start at eps^l: eps^l times the polynomial of the rest.
void DtGeodesic::c3(double eps, double* c) const
{
    double d = eps;
    QORMATRIX_UNROLL
    for (int l = 1; l < kGeodesicOrder; ++l) {
        c[l] = d * shortPolynomial(myC3x[l] + l, kGeodesicOrder + 1 - l, eps);
        d *= eps;
    }
}

void DtGeodesic::c4(double eps, double* c) const
{
    double d = 1;
    QORMATRIX_UNROLL
    for (int l = 0; l < kGeodesicOrder; ++l) {
        c[l] = d * shortPolynomial(myC4x[l] + l, kGeodesicOrder + 1 - l, eps);
        d *= eps;
    }
}

void DtGeodesic::lengths(double eps, double sig12, double ssig1, double csig1, double dn1, double ssig2, double csig2,
                         double dn2, double cbet1, double cbet2, unsigned what, Lengths& out) const
{
    detail::SeriesTerms c1, c2;
    double m0x = 0, j12 = 0, a1 = 0, a2 = 0;
    const bool reduced = (what & (ReducedLength | Scales)) != 0;
    if ((what & kDistance) || reduced) {
        a1 = a1m1(eps);
        fixedCoefficients(tables().c1, eps, c1);
        if (reduced) {
            a2 = a2m1(eps);
            fixedCoefficients(tables().c2, eps, c2);
            m0x = a1 - a2;
            a2 = 1 + a2;
        }
        a1 = 1 + a1;
    }
    if (what & kDistance) {
        const double b1 = sineSeries(ssig2, csig2, c1, kGeodesicOrder) - sineSeries(ssig1, csig1, c1, kGeodesicOrder);
        out.s12b = a1 * (sig12 + b1);
        if (reduced) {
            const double b2 =
                sineSeries(ssig2, csig2, c2, kGeodesicOrder) - sineSeries(ssig1, csig1, c2, kGeodesicOrder);
            j12 = m0x * sig12 + (a1 * b1 - a2 * b2);
        }
    } else if (reduced) {
        for (int l = 1; l <= kGeodesicOrder; ++l)
            c2[l] = a1 * c1[l] - a2 * c2[l];
        j12 = m0x * sig12 + (sineSeries(ssig2, csig2, c2, kGeodesicOrder) - sineSeries(ssig1, csig1, c2, kGeodesicOrder));
    }
    if (what & ReducedLength) {
        out.m0 = m0x;
        // Missing a factor of b; the caller scales.
        out.m12b = dn2 * (csig1 * ssig2) - dn1 * (ssig1 * csig2) - csig1 * csig2 * j12;
    }
    if (what & Scales) {
        const double csig12 = csig1 * csig2 + ssig1 * ssig2;
        const double t = myEp2 * (cbet1 - cbet2) * (cbet1 + cbet2) / (dn1 + dn2);
        out.M12 = csig12 + (t * ssig2 - csig2 * j12) * ssig1 / dn1;
        out.M21 = csig12 - (t * ssig1 - csig1 * j12) * ssig2 / dn2;
    }
}

double DtGeodesic::inverseStart(double sbet1, double cbet1, double dn1, double sbet2, double cbet2, double dn2,
                                double lam12, double slam12, double clam12, double& salp1, double& calp1,
                                double& salp2, double& calp2, double& dnm) const
{
    // A first guess at the azimuth: on a sphere of mean radius for short
    // lines, from the astroid for nearly antipodal points. Returns sigma12
    // when the short-line guess is already the answer, else -1.
    double sig12 = -1;
    salp2 = calp2 = dnm = kNaN;
    const double sbet12 = sbet2 * cbet1 - cbet2 * sbet1, cbet12 = cbet2 * cbet1 + sbet2 * sbet1;
    const double sbet12a = sbet2 * cbet1 + cbet2 * sbet1;
    const bool shortline = cbet12 >= 0 && sbet12 < 0.5 && cbet2 * lam12 < 0.5;
    double somg12, comg12;
    if (shortline) {
        double sbetm2 = sq(sbet1 + sbet2);
        sbetm2 /= sbetm2 + sq(cbet1 + cbet2);
        dnm = std::sqrt(1 + myEp2 * sbetm2);
        const double omg12 = lam12 / (myF1 * dnm);
        detail::fastSinCos(omg12, somg12, comg12);
    } else {
        somg12 = slam12;
        comg12 = clam12;
    }
    salp1 = cbet2 * somg12;
    calp1 = comg12 >= 0 ? sbet12 + cbet2 * sbet1 * sq(somg12) / (1 + comg12)
                        : sbet12a - cbet2 * sbet1 * sq(somg12) / (1 - comg12);
    const double ssig12 = norm2(salp1, calp1), csig12 = sbet1 * sbet2 + cbet1 * cbet2 * comg12;
    if (shortline && ssig12 < myEtol2) {
        salp2 = cbet1 * somg12;
        calp2 = sbet12 - cbet1 * sbet2 * (comg12 >= 0 ? sq(somg12) / (1 + comg12) : 1 - comg12);
        normalize(salp2, calp2);
        sig12 = detail::fastAtan2(ssig12, csig12);
    } else if (std::fabs(myN) > 0.1 || csig12 >= 0 || ssig12 >= 6 * std::fabs(myN) * kPiValue * sq(cbet1)) {
        // The spherical guess will do.
    } else {
        // Nearly antipodal: scale to the astroid's frame.
        const double lam12x = detail::fastAtan2(-slam12, -clam12);   // lam12 - pi
        double x, y, lamscale, betscale;
        const bool oblate = myF >= 0;   // (a sphere never comes here: it needs no astroid)
        if (oblate) {
            const double eps = epsilonOf(sq(sbet1) * myEp2);
            lamscale = myF * cbet1 * a3(eps) * kPiValue;
            betscale = lamscale * cbet1;
            x = lam12x / lamscale;
            y = sbet12a / betscale;
        } else {
            const double cbet12a = cbet2 * cbet1 - sbet2 * sbet1, bet12a = detail::fastAtan2(sbet12a, cbet12a);
            Lengths l;
            lengths(myN, kPiValue + bet12a, sbet1, -cbet1, dn1, sbet2, cbet2, dn2, cbet1, cbet2, ReducedLength, l);
            x = -1 + l.m12b / (cbet1 * cbet2 * l.m0 * kPiValue);
            betscale = x < -0.01 ? sbet12a / x : -myF * sq(cbet1) * kPiValue;
            lamscale = betscale / cbet1;
            y = lam12x / lamscale;
        }
        if (y > -kTol1 && x > -1 - kXthresh) {
            if (oblate) {
                salp1 = std::min(1.0, -x);
                calp1 = -std::sqrt(1 - sq(salp1));
            } else {
                calp1 = std::max(x > -kTol1 ? 0.0 : -1.0, x);
                salp1 = std::sqrt(1 - sq(calp1));
            }
        } else {
            const double k = astroid(x, y);
            const double omg12a = lamscale * (oblate ? -x * k / (1 + k) : -y * (1 + k) / k);
            somg12 = std::sin(omg12a);
            comg12 = -std::cos(omg12a);
            salp1 = cbet2 * somg12;
            calp1 = sbet12a - cbet2 * sbet1 * sq(somg12) / (1 - comg12);
        }
    }
    if (!(salp1 <= 0)) {
        normalize(salp1, calp1);
    } else {
        salp1 = 1;
        calp1 = 0;
    }
    return sig12;
}

double DtGeodesic::lambda12(double sbet1, double cbet1, double sbet2, double cbet2,
                            double salp1, double calp1, double slam120, double clam120, double& salp2,
                            double& calp2, double& sig12, double& ssig1, double& csig1, double& ssig2, double& csig2,
                            double& eps, double& domg12) const
{
    // The longitude difference reached from azimuth alp1, less the one wanted.
    if (sbet1 == 0 && calp1 == 0)
        calp1 = -kTiny;   // the equatorial line's limit, from the right side
    const double salp0 = salp1 * cbet1, calp0 = norm2(calp1, salp1 * sbet1);
    double somg1, comg1, somg2, comg2;
    ssig1 = sbet1;
    somg1 = salp0 * sbet1;
    csig1 = comg1 = calp1 * cbet1;
    normalize(ssig1, csig1);
    salp2 = cbet2 != cbet1 ? salp0 / cbet2 : salp1;
    // cos(alp2) cos(bet2) straight from the root: the division by cos(bet2)
    // stays off the chain of dependent steps.
    const bool general = cbet2 != cbet1 || std::fabs(sbet2) != -sbet1;
    const double cc2 = general ? std::sqrt(sq(calp1 * cbet1) + (cbet1 < -sbet1 ? (cbet2 - cbet1) * (cbet1 + cbet2)
                                                                              : (sbet1 - sbet2) * (sbet1 + sbet2)))
                               : std::fabs(calp1) * cbet2;
    calp2 = general ? cc2 / cbet2 : std::fabs(calp1);
    ssig2 = sbet2;
    somg2 = salp0 * sbet2;
    csig2 = comg2 = cc2;
    normalize(ssig2, csig2);
    sig12 = detail::fastAtan2(std::max(0.0, csig1 * ssig2 - ssig1 * csig2) + 0.0, csig1 * csig2 + ssig1 * ssig2);
    const double somg12 = std::max(0.0, comg1 * somg2 - somg1 * comg2) + 0.0,
                 comg12 = comg1 * comg2 + somg1 * somg2;
    const double eta = detail::fastAtan2(somg12 * clam120 - comg12 * slam120, comg12 * clam120 + somg12 * slam120);
    const double k2 = sq(calp0) * myEp2;
    eps = epsilonOf(k2);
    double c[kGeodesicOrder];
    c3(eps, c);
    const double b312 =
        sineSeries(ssig2, csig2, c, kGeodesicOrder - 1) - sineSeries(ssig1, csig1, c, kGeodesicOrder - 1);
    domg12 = -myF * a3(eps) * salp0 * (sig12 + b312);
    return eta + domg12;
}

double DtGeodesic::inverseDegrees(double lat1, double lon1, double lat2, double lon2, unsigned extras, double& s12,
                                  double& salp1, double& calp1, double& salp2, double& calp2, double& m12,
                                  double& M12, double& M21, double& S12, int* iterations) const
{
    // Longitude difference, exact, with its sign taken out (lon12 >= 0).
    double lon12s;
    double lon12 = angDiff(lon1, lon2, lon12s);
    int lonsign = std::signbit(lon12) ? -1 : 1;
    lon12 = lonsign * angRound(lon12);
    lon12s = angRound((180 - lon12) - lonsign * lon12s);
    const double lam12 = lon12 * kDegree;
    double slam12, clam12;
    if (lon12 > 90) {
        sincosd(lon12s, slam12, clam12);
        clam12 = -clam12;
    } else {
        sincosd(lon12, slam12, clam12);
    }
    // The point nearer a pole first, in the southern hemisphere.
    lat1 = angRound(latFix(lat1));
    lat2 = angRound(latFix(lat2));
    const bool swapped = std::fabs(lat1) < std::fabs(lat2) || std::isnan(lat2);
    const int swapp = swapped ? -1 : 1;
    if (swapped) {
        lonsign = -lonsign;
        std::swap(lat1, lat2);
    }
    const int latsign = std::signbit(lat1) ? 1 : -1;
    lat1 = latsign * lat1;
    lat2 = latsign * lat2;
    // The signs the azimuths' sines and cosines take back at the end.
    const double sineSign = swapp * lonsign, cosineSign = swapp * latsign;

    double sbet1, cbet1, sbet2, cbet2;
    sincosd(lat1, sbet1, cbet1);
    sbet1 *= myF1;
    normalize(sbet1, cbet1);
    cbet1 = std::max(kTiny, cbet1);
    sincosd(lat2, sbet2, cbet2);
    sbet2 *= myF1;
    normalize(sbet2, cbet2);
    cbet2 = std::max(kTiny, cbet2);
    // Equal latitudes made exactly equal (the reduced latitude rounds).
    if (cbet1 < -sbet1) {
        if (cbet2 == cbet1)
            sbet2 = std::copysign(sbet1, sbet2);
    } else if (std::fabs(sbet2) == -sbet1) {
        cbet2 = cbet1;
    }
    const double dn1 = std::sqrt(1 + myEp2 * sq(sbet1)), dn2 = std::sqrt(1 + myEp2 * sq(sbet2));

    double a12 = kNaN, sig12, s12x = kNaN, m12x = kNaN;
    double omg12 = 0, somg12 = 2, comg12 = 0;
    const unsigned want = extras | kDistance | ReducedLength;
    bool meridian = lat1 == -90 || slam12 == 0;
    if (meridian) {
        // Along a meridian (or from a pole): the azimuth is known.
        calp1 = clam12;
        salp1 = slam12;
        calp2 = 1;
        salp2 = 0;
        const double ssig1 = sbet1, csig1 = calp1 * cbet1, ssig2 = sbet2, csig2 = calp2 * cbet2;
        sig12 = detail::fastAtan2(std::max(0.0, csig1 * ssig2 - ssig1 * csig2) + 0.0, csig1 * csig2 + ssig1 * ssig2);
        Lengths l;
        lengths(myN, sig12, ssig1, csig1, dn1, ssig2, csig2, dn2, cbet1, cbet2, want, l);
        s12x = l.s12b;
        m12x = l.m12b;
        M12 = l.M12;
        M21 = l.M21;
        if (sig12 < 1 || m12x >= 0) {
            if (sig12 < 3 * kTiny || (sig12 < kTol0 && (s12x < 0 || m12x < 0)))
                sig12 = m12x = s12x = 0;   // coincident points
            m12x *= myB;
            s12x *= myB;
            a12 = sig12 / kDegree;
        } else {
            meridian = false;   // a prolate ellipsoid, nearly antipodal: not the shortest
        }
    }
    if (!meridian && sbet1 == 0 && (myF <= 0 || lon12s >= myF * 180)) {
        // Along the equator.
        calp1 = calp2 = 0;
        salp1 = salp2 = 1;
        s12x = myA * lam12;
        sig12 = omg12 = lam12 / myF1;
        m12x = myB * std::sin(sig12);
        M12 = M21 = std::cos(sig12);
        a12 = lon12 / myF1;
    } else if (!meridian) {
        double dnm;
        sig12 = inverseStart(sbet1, cbet1, dn1, sbet2, cbet2, dn2, lam12, slam12, clam12, salp1, calp1, salp2, calp2,
                             dnm);
        if (sig12 >= 0) {
            // Short lines: the start is the answer.
            s12x = sig12 * myB * dnm;
            m12x = sq(dnm) * myB * std::sin(sig12 / dnm);
            M12 = M21 = std::cos(sig12 / dnm);
            a12 = sig12 / kDegree;
            omg12 = lam12 / (myF1 * dnm);
        } else {
            // Newton's method on alp1, held within a bracket that bisection
            // falls back to.
            double ssig1 = 0, csig1 = 0, ssig2 = 0, csig2 = 0, eps = 0, domg12 = 0;
            double salp1a = kTiny, calp1a = 1, salp1b = kTiny, calp1b = -1;
            bool tripn = false, tripb = false;
            for (int numit = 0; numit < kMaxit2; ++numit) {
                if (iterations)
                    *iterations = numit + 1;
                const double v = lambda12(sbet1, cbet1, sbet2, cbet2, salp1, calp1, slam12, clam12, salp2,
                                          calp2, sig12, ssig1, csig1, ssig2, csig2, eps, domg12);
                if (tripb || !(std::fabs(v) >= (tripn ? 8 : 1) * kTol0))
                    break;
                if (v > 0 && (numit > kMaxit1 || calp1 / salp1 > calp1b / salp1b)) {
                    salp1b = salp1;
                    calp1b = calp1;
                } else if (v < 0 && (numit > kMaxit1 || calp1 / salp1 < calp1a / salp1a)) {
                    salp1a = salp1;
                    calp1a = calp1;
                }
                if (numit < kMaxit1) {   // Newton while the steps are few
                    const double dv = newtonSlope(myF1, eps, sig12, ssig1, csig1, dn1, ssig2, csig2, dn2, sbet1,
                                                  cbet2, calp2);
                    if (dv > 0) {
                        const double dalp1 = -v / dv;
                        if (std::fabs(dalp1) < kPiValue) {
                            double sdalp1, cdalp1;
                            if (std::fabs(dalp1) < 1.0 / 64) {
                                // A small step (the usual one): a short series is
                                // exact enough, the step being only a guess.
                                const double d2 = dalp1 * dalp1;
                                sdalp1 = dalp1 * (1 - d2 / 6);
                                cdalp1 = 1 - d2 / 2 * (1 - d2 / 12);
                            } else {
                                sdalp1 = std::sin(dalp1);
                                cdalp1 = std::cos(dalp1);
                            }
                            const double nsalp1 = salp1 * cdalp1 + calp1 * sdalp1;
                            if (nsalp1 > 0) {
                                calp1 = calp1 * cdalp1 - salp1 * sdalp1;
                                salp1 = nsalp1;
                                normalize(salp1, calp1);
                                tripn = std::fabs(v) <= 16 * kTol0;
                                continue;
                            }
                        }
                    }
                }
                salp1 = (salp1a + salp1b) / 2;
                calp1 = (calp1a + calp1b) / 2;
                normalize(salp1, calp1);
                tripn = false;
                tripb = std::fabs(salp1a - salp1) + (calp1a - calp1) < kTolb ||
                        std::fabs(salp1 - salp1b) + (calp1 - calp1b) < kTolb;
            }
            Lengths l;
            lengths(eps, sig12, ssig1, csig1, dn1, ssig2, csig2, dn2, cbet1, cbet2, extras | kDistance, l);
            s12x = l.s12b * myB;
            m12x = l.m12b * myB;
            M12 = l.M12;
            M21 = l.M21;
            a12 = sig12 / kDegree;
            if (extras & Area) {
                const double sdomg12 = std::sin(domg12), cdomg12 = std::cos(domg12);
                somg12 = slam12 * cdomg12 - clam12 * sdomg12;
                comg12 = clam12 * cdomg12 + slam12 * sdomg12;
            }
        }
    }
    s12 = 0 + s12x;   // no -0
    m12 = 0 + m12x;
    if (extras & Area) {
        const double salp0 = salp1 * cbet1, calp0 = norm2(calp1, salp1 * sbet1);
        if (calp0 != 0 && salp0 != 0) {
            double ssig1 = sbet1, csig1 = calp1 * cbet1, ssig2 = sbet2, csig2 = calp2 * cbet2;
            const double eps = epsilonOf(sq(calp0) * myEp2), a4 = sq(myA) * calp0 * salp0 * myE2;
            normalize(ssig1, csig1);
            normalize(ssig2, csig2);
            double c[kGeodesicOrder];
            c4(eps, c);
            S12 = a4 * (cosineSeries(ssig2, csig2, c, kGeodesicOrder) - cosineSeries(ssig1, csig1, c, kGeodesicOrder));
        } else {
            S12 = 0;   // along the equator or a meridian
        }
        if (!meridian && somg12 == 2) {
            somg12 = std::sin(omg12);
            comg12 = std::cos(omg12);
        }
        double alp12;
        if (!meridian && comg12 > -0.7071 && sbet2 - sbet1 < 1.75) {
            // The azimuth difference from the longitude difference: accurate
            // where the points are not far apart.
            const double domg12 = 1 + comg12, dbet1 = 1 + cbet1, dbet2 = 1 + cbet2;
            alp12 = 2 * std::atan2(somg12 * (sbet1 * dbet2 + sbet2 * dbet1), domg12 * (sbet1 * sbet2 + dbet1 * dbet2));
        } else {
            double salp12 = salp2 * calp1 - calp2 * salp1, calp12 = calp2 * calp1 + salp2 * salp1;
            if (salp12 == 0 && calp12 < 0) {
                salp12 = kTiny * calp1;
                calp12 = -1;
            }
            alp12 = std::atan2(salp12, calp12);
        }
        S12 += myC2 * alp12;
        S12 = latsign * (sineSign * S12);
        S12 += 0;
    }
    if (swapped) {
        std::swap(salp1, salp2);
        std::swap(calp1, calp2);
        std::swap(M12, M21);
    }
    salp1 = sineSign * salp1;
    calp1 = cosineSign * calp1;
    salp2 = sineSign * salp2;
    calp2 = cosineSign * calp2;
    return a12;
}

DtGeodesicResult DtGeodesic::inverse(double lat1, double lon1, double lat2, double lon2, unsigned extras) const
{
    checkInput({lat1, lat2}, {lon1, lon2},
               "Vorant::DtGeodesicResult Vorant::DtGeodesic::inverse(double, double, double, double, unsigned int) const",
               __LINE__);
    const double la1 = lat1 / kDegree, lo1 = lon1 / kDegree, la2 = lat2 / kDegree, lo2 = lon2 / kDegree;
    double s12, salp1, calp1, salp2, calp2, m12 = kNaN, M12 = kNaN, M21 = kNaN, S12 = kNaN;
    DtGeodesicResult r;
    const double a12 =
        inverseDegrees(la1, lo1, la2, lo2, extras, s12, salp1, calp1, salp2, calp2, m12, M12, M21, S12, &r.iterations);
    r.lat1 = lat1;
    r.lon1 = lon1;
    r.lat2 = lat2;
    r.lon2 = lon2;
    r.azi1 = detail::fastAtan2(salp1, calp1);
    r.azi2 = detail::fastAtan2(salp2, calp2);
    r.s12 = s12;
    r.a12 = a12 * kDegree;
    r.m12 = (extras & ReducedLength) ? m12 : kNaN;
    r.M12 = (extras & Scales) ? M12 : kNaN;
    r.M21 = (extras & Scales) ? M21 : kNaN;
    r.S12 = (extras & Area) ? S12 : kNaN;
    return r;
}

DtGeodesicResult DtGeodesic::direct(double lat1, double lon1, double azi1, double s12, unsigned extras) const
{
    checkInput({lat1}, {lon1, azi1, s12},
               "Vorant::DtGeodesicResult Vorant::DtGeodesic::direct(double, double, double, double, unsigned int) const",
               __LINE__);
    // The line built here, its input already checked.
    const double a = angNormalize(azi1 / kDegree);
    double salp1, calp1;
    sincosd(angRound(a), salp1, calp1);
    return DtGeodesicLine(*this, lat1 / kDegree, lon1 / kDegree, a, salp1, calp1, extras).position(s12);
}

DtGeodesicLine DtGeodesic::line(double lat1, double lon1, double azi1, unsigned extras) const
{
    checkInput({lat1}, {lon1, azi1}, "Vorant::DtGeodesicLine Vorant::DtGeodesic::line(double, double, double, unsigned int) const",
               __LINE__);
    const double a = angNormalize(azi1 / kDegree);
    double salp1, calp1;
    sincosd(angRound(a), salp1, calp1);
    return DtGeodesicLine(*this, lat1 / kDegree, lon1 / kDegree, a, salp1, calp1, extras);
}

DtGeodesicLine DtGeodesic::inverseLine(double lat1, double lon1, double lat2, double lon2, unsigned extras) const
{
    checkInput({lat1, lat2}, {lon1, lon2},
               "Vorant::DtGeodesicLine Vorant::DtGeodesic::inverseLine(double, double, double, double, unsigned int) "
               "const",
               __LINE__);
    const double la1 = lat1 / kDegree, lo1 = lon1 / kDegree;
    double s12, salp1, calp1, salp2, calp2, m12, M12, M21, S12;
    inverseDegrees(la1, lo1, lat2 / kDegree, lon2 / kDegree, None, s12, salp1, calp1, salp2, calp2, m12, M12, M21,
                   S12);
    DtGeodesicLine l(*this, la1, lo1, atan2d(salp1, calp1), salp1, calp1, extras);
    l.myS13 = s12;
    return l;
}

// ---- a line ---------------------------------------------------------------------------

DtGeodesicLine::DtGeodesicLine(const DtGeodesic& g, double lat1, double lon1, double azi1, double salp1, double calp1,
                               unsigned extras)
    : myB(g.myB), myF(g.myF), myF1(g.myF1), myC2(g.myC2), myExtras(extras), myLat1(latFix(lat1)), myLon1(lon1), myAzi1(azi1), mySalp1(salp1), myCalp1(calp1)
{
    double sbet1, cbet1;
    sincosd(angRound(myLat1), sbet1, cbet1);
    sbet1 *= g.myF1;
    normalize(sbet1, cbet1);
    cbet1 = std::max(kTiny, cbet1);
    myDn1 = std::sqrt(1 + g.myEp2 * sq(sbet1));
    mySalp0 = salp1 * cbet1;   // the azimuth at the equator
    myCalp0 = norm2(calp1, salp1 * sbet1);
    mySsig1 = sbet1;
    mySomg1 = mySalp0 * sbet1;
    myCsig1 = myComg1 = sbet1 != 0 || calp1 != 0 ? cbet1 * calp1 : 1;
    normalize(mySsig1, myCsig1);
    myK2 = sq(myCalp0) * g.myEp2;
    myEps = epsilonOf(myK2);
    myA1m1 = a1m1(myEps);
    fixedCoefficients(tables().c1, myEps, myC1a);
    myB11 = sineSeries(mySsig1, myCsig1, myC1a, kGeodesicOrder);
    double s, c;
    smallSinCos(myB11, s, c);
    myStau1 = mySsig1 * c + myCsig1 * s;
    myCtau1 = myCsig1 * c - mySsig1 * s;
    fixedCoefficients(tables().c1p, myEps, myC1pa);
    g.c3(myEps, myC3a);
    myA3c = -g.myF * mySalp0 * g.a3(myEps);
    myB31 = sineSeries(mySsig1, myCsig1, myC3a, kGeodesicOrder - 1);
    // The reduced length, the scales and the area only when asked for.
    myA2m1 = myB21 = myA4 = myB41 = 0;
    if (extras & (DtGeodesic::ReducedLength | DtGeodesic::Scales)) {
        myA2m1 = a2m1(myEps);
        fixedCoefficients(tables().c2, myEps, myC2a);
        myB21 = sineSeries(mySsig1, myCsig1, myC2a, kGeodesicOrder);
    }
    if (extras & DtGeodesic::Area) {
        g.c4(myEps, myC4a);
        myA4 = sq(g.myA) * myCalp0 * mySalp0 * g.myE2;
        myB41 = cosineSeries(mySsig1, myCsig1, myC4a, kGeodesicOrder);
    }
}

DtGeodesicResult DtGeodesicLine::position(double s12) const
{
    return generalPosition(false, s12);
}

DtGeodesicResult DtGeodesicLine::arcPosition(double a12) const
{
    return generalPosition(true, a12);
}

void DtGeodesicLine::waypoints(double distance, std::size_t count, DtGeodesicResult* out) const
{
    if (count == 0 || !out)
        return;
    for (std::size_t i = 0; i < count; ++i)
        out[i] = generalPosition(false, count == 1 ? 0.0 : distance * (double(i) / double(count - 1)));
}

DtGeodesicResult DtGeodesicLine::generalPosition(bool arc, double value) const
{
    DtGeodesicResult r;
    r.lat1 = myLat1 * kDegree;
    r.lon1 = myLon1 * kDegree;
    r.azi1 = myAzi1 * kDegree;
    r.m12 = r.M12 = r.M21 = r.S12 = kNaN;
    double sig12, ssig12, csig12, b12 = 0, ab1 = 0;
    if (arc) {
        sig12 = value;
        const double deg = value / kDegree;
        sincosd(deg, ssig12, csig12);
    } else {
        // Distance to the arc on the auxiliary sphere through the reverted series.
        const double tau12 = value / (myB * (1 + myA1m1));
        double s, c;
        detail::fastSinCos(tau12, s, c);
        b12 = -sineSeries(myStau1 * c + myCtau1 * s, myCtau1 * c - myStau1 * s, myC1pa, kGeodesicOrder);
        const double d = b12 - myB11;
        sig12 = tau12 - d;
        // sin and cos of tau12 - d from those of tau12: d is small.
        // 1 - cos d apart, so that only the small corrections round.
        if (std::fabs(d) < 1.0 / 256) {
            const double d2 = d * d;
            const double sd = d - (d * d2) * (1.0 / 6 - d2 * (1.0 / 120)), omcd = d2 * (0.5 - d2 * (1.0 / 24));
            ssig12 = s - (s * omcd + c * sd);
            csig12 = c - (c * omcd - s * sd);
        } else {
            detail::fastSinCos(sig12, ssig12, csig12);
        }
        if (std::fabs(myF) > 0.01) {
            // One Newton step: the reverted series are too rough for such flattening.
            const double ssig2 = mySsig1 * csig12 + myCsig1 * ssig12, csig2 = myCsig1 * csig12 - mySsig1 * ssig12;
            b12 = sineSeries(ssig2, csig2, myC1a, kGeodesicOrder);
            const double serr = (1 + myA1m1) * (sig12 + (b12 - myB11)) - value / myB;
            sig12 = sig12 - serr / std::sqrt(1 + myK2 * sq(ssig2));
            ssig12 = std::sin(sig12);
            csig12 = std::cos(sig12);
        }
    }
    const double ssig2 = mySsig1 * csig12 + myCsig1 * ssig12;
    double csig2 = myCsig1 * csig12 - mySsig1 * ssig12;
    const double dn2 = std::sqrt(1 + myK2 * sq(ssig2));
    if (arc || std::fabs(myF) > 0.01)
        b12 = sineSeries(ssig2, csig2, myC1a, kGeodesicOrder);
    ab1 = (1 + myA1m1) * (b12 - myB11);
    const double sbet2 = myCalp0 * ssig2;
    double cbet2 = norm2(mySalp0, myCalp0 * csig2);
    if (cbet2 == 0)
        cbet2 = csig2 = kTiny;   // at a pole
    const double salp2 = mySalp0, calp2 = myCalp0 * csig2;
    r.s12 = arc ? myB * ((1 + myA1m1) * sig12 + ab1) : value;
    r.a12 = arc ? value : sig12;
    // Longitude.
    const double somg2 = mySalp0 * ssig2, comg2 = csig2;
    const double omg12 = detail::fastAtan2(somg2 * myComg1 - comg2 * mySomg1, comg2 * myComg1 + somg2 * mySomg1);
    const double lam12 =
        omg12 + myA3c * (sig12 + (sineSeries(ssig2, csig2, myC3a, kGeodesicOrder - 1) - myB31));
    r.lon2 = reducePi(angNormalize(myLon1) * kDegree + reducePi(lam12));
    r.lat2 = detail::fastAtan2(sbet2, myF1 * cbet2);
    r.azi2 = detail::fastAtan2(salp2, calp2);
    if (myExtras & (DtGeodesic::ReducedLength | DtGeodesic::Scales)) {
        const double b22 = sineSeries(ssig2, csig2, myC2a, kGeodesicOrder);
        const double ab2 = (1 + myA2m1) * (b22 - myB21);
        const double j12 = (myA1m1 - myA2m1) * sig12 + (ab1 - ab2);
        if (myExtras & DtGeodesic::ReducedLength)
            r.m12 = myB * ((dn2 * (myCsig1 * ssig2) - myDn1 * (mySsig1 * csig2)) - myCsig1 * csig2 * j12);
        if (myExtras & DtGeodesic::Scales) {
            const double t = myK2 * (ssig2 - mySsig1) * (ssig2 + mySsig1) / (myDn1 + dn2);
            r.M12 = csig12 + (t * ssig2 - csig2 * j12) * mySsig1 / myDn1;
            r.M21 = csig12 - (t * mySsig1 - myCsig1 * j12) * ssig2 / dn2;
        }
    }
    if (myExtras & DtGeodesic::Area) {
        const double b42 = cosineSeries(ssig2, csig2, myC4a, kGeodesicOrder);
        double salp12, calp12;
        if (myCalp0 == 0 || mySalp0 == 0) {
            salp12 = salp2 * myCalp1 - calp2 * mySalp1;
            calp12 = calp2 * myCalp1 + salp2 * mySalp1;
        } else {
            // alp12 = alp2 - alp1 without cancellation.
            salp12 = myCalp0 * mySalp0 *
                     (csig12 <= 0 ? myCsig1 * (1 - csig12) + ssig12 * mySsig1
                                  : ssig12 * (myCsig1 * ssig12 / (1 + csig12) + mySsig1));
            calp12 = sq(mySalp0) + sq(myCalp0) * myCsig1 * csig2;
        }
        r.S12 = myC2 * std::atan2(salp12, calp12) + myA4 * (b42 - myB41);
    }
    if (std::isnan(myLat1))
        r.lat2 = r.lon2 = r.azi2 = r.s12 = r.a12 = kNaN;
    return r;
}

// ---- polygons -------------------------------------------------------------------------

namespace {

// Whether the edge from lon1 to lon2 (degrees) crosses the meridian 0, either
// way (only the parity of the crossings matters to the area).
bool transits(double lon1, double lon2)
{
    double e;
    const double lon12 = angDiff(lon1, lon2, e);
    lon1 = angNormalize(lon1);
    lon2 = angNormalize(lon2);
    return (lon12 > 0 && ((lon1 < 0 && lon2 >= 0) || (lon1 > 0 && lon2 == 0))) ||
           (lon12 < 0 && lon1 >= 0 && lon2 < 0);
}

// Kahan-style accumulation of a sum and its rounding error.
void accumulate(double& sum, double& error, double y)
{
    double u;
    const double z = sumExact(y, error, u);
    sum = sumExact(z, sum, error);
    if (sum == 0)
        sum = u;
    else
        error += u;
}

}  // namespace

void DtGeodesicPolygon::add(double lat, double lon)
{
    checkInput({lat}, {lon}, "void Vorant::DtGeodesicPolygon::add(double, double)", __LINE__);
    const double la = lat / kDegree, lo = angNormalize(lon / kDegree);
    if (myCount == 0) {
        myLat0 = myLat1 = la;
        myLon0 = myLon1 = lo;
    } else {
        double s12, salp1, calp1, salp2, calp2, m12, M12, M21, S12;
        myG.inverseDegrees(myLat1, myLon1, la, lo, DtGeodesic::Area, s12, salp1, calp1, salp2, calp2, m12, M12, M21,
                           S12);
        accumulate(myPerimeter, myPerimeterError, s12);
        accumulate(myArea, myAreaError, S12);
        myOddCrossings ^= transits(myLon1, lo);
        myLat1 = la;
        myLon1 = lo;
    }
    ++myCount;
}

void DtGeodesicPolygon::compute(double& area, double& perimeter) const
{
    if (myCount < 2) {
        area = perimeter = 0;
        return;
    }
    double s12, salp1, calp1, salp2, calp2, m12, M12, M21, S12;
    myG.inverseDegrees(myLat1, myLon1, myLat0, myLon0, DtGeodesic::Area, s12, salp1, calp1, salp2, calp2, m12, M12,
                       M21, S12);
    double p = myPerimeter, pe = myPerimeterError, a = myArea, ae = myAreaError;
    accumulate(p, pe, s12);
    accumulate(a, ae, S12);
    const bool oddCrossings = myOddCrossings != transits(myLon1, myLon0);
    perimeter = p + pe;
    // The sum of the edges' areas to the equator, reduced to the polygon's.
    const double whole = myG.ellipsoidArea();
    double total = std::remainder(a + ae, whole);
    if (oddCrossings)
        total += (total < 0 ? 1 : -1) * whole / 2;
    total = -total;   // the edges' areas count clockwise; the polygon's counter-clockwise
    // Within [-whole/2, whole/2] by now (the remainder is, and the half turn
    // for odd crossings moves it towards 0); the edge -whole/2 goes to +whole/2.
    if (total == -whole / 2)
        total = whole / 2;
    area = total + 0.0;
}

void DtGeodesicPolygon::clear()
{
    myCount = 0;
    myArea = myAreaError = myPerimeter = myPerimeterError = 0;
    myOddCrossings = false;
}

}  // namespace Vorant
