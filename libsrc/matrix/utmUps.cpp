#include "utmUps.h"

#include "diagnostics.h"
#include "fastTrig.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace Vorant {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDegree = kPi / 180;
constexpr double kUtmK0 = 0.9996, kUpsK0 = 0.994;
constexpr double kFalseEasting = 5e5, kFalseNorthingSouth = 1e7, kUpsFalse = 2e6;

const char kBadPosition[] = "Invalid grid position: a latitude beyond +/-pi/2, a value that is not finite, or a "
                            "zone out of range";

double sq(double x)
{
    return x * x;
}

// Krueger's series to n^6 (Karney 2011, eqs. 35 and 36): coefficients of
// n^j, j = 1..6, of alpha_l and beta_l, l = 1..6.
constexpr double kAlpha[6][6] = {
    {1.0 / 2, -2.0 / 3, 5.0 / 16, 41.0 / 180, -127.0 / 288, 7891.0 / 37800},
    {0, 13.0 / 48, -3.0 / 5, 557.0 / 1440, 281.0 / 630, -1983433.0 / 1935360},
    {0, 0, 61.0 / 240, -103.0 / 140, 15061.0 / 26880, 167603.0 / 181440},
    {0, 0, 0, 49561.0 / 161280, -179.0 / 168, 6601661.0 / 7257600},
    {0, 0, 0, 0, 34729.0 / 80640, -3418889.0 / 1995840},
    {0, 0, 0, 0, 0, 212378941.0 / 319334400},
};
constexpr double kBeta[6][6] = {
    {1.0 / 2, -2.0 / 3, 37.0 / 96, -1.0 / 360, -81.0 / 512, 96199.0 / 604800},
    {0, 1.0 / 48, 1.0 / 15, -437.0 / 1440, 46.0 / 105, -1118711.0 / 3870720},
    {0, 0, 17.0 / 480, -37.0 / 840, -209.0 / 4480, 5569.0 / 90720},
    {0, 0, 0, 4397.0 / 161280, -11.0 / 504, -830251.0 / 7257600},
    {0, 0, 0, 0, 4583.0 / 161280, -108847.0 / 3991680},
    {0, 0, 0, 0, 0, 20648693.0 / 638668800},
};

bool finite(double a, double b)
{
    return std::isfinite(a) && std::isfinite(b);
}

// Sine and cosine series as polynomials in cos 2x: sum c[l] sin(2 l x),
// l = 1..n, is sin 2x times sum d[k] cos(2x)^k, k < n (sin(l t) = sin t
// U_(l-1)(cos t)), and sum c[l] cos(2 l x), l = 1..n (the derivatives'
// series have no constant term), is sum d[k] cos(2x)^k, k <= n
// (cos(l t) = T_l(cos t)). Estrin's scheme then evaluates them with a
// chain of three products instead of Clenshaw's n steps.
// (Coefficients of the Chebyshev polynomials up to degree 8, the highest
// order asked; the ones of degree n + 1 are formed and not used.)
using Coefficients = double[10];

// to = from, the whole array.
void copyCoefficients(const Coefficients& from, Coefficients& to)
{
    std::copy(std::begin(from), std::end(from), std::begin(to));
}

void sinePolynomial(const double* c, int n, double* d)
{
    Coefficients previous = {}, current = {1};   // U_(l-2), U_(l-1)
    for (int k = 0; k < n; ++k)
        d[k] = 0;
    for (int l = 1; l <= n; ++l) {
        for (int k = 0; k < l; ++k)
            d[k] += c[l] * current[k];
        Coefficients next = {};
        for (int k = 0; k < l; ++k) {
            next[k + 1] += 2 * current[k];
            next[k] -= previous[k];
        }
        copyCoefficients(current, previous);
        copyCoefficients(next, current);
    }
}

void cosinePolynomial(const double* c, int n, double* d)
{
    Coefficients previous = {1}, current = {0, 1};   // T_(l-1), T_l from l = 1
    for (int k = 0; k <= n; ++k)
        d[k] = 0;
    for (int l = 1; l <= n; ++l) {
        for (int k = 0; k <= l; ++k)
            d[k] += c[l] * current[k];
        Coefficients next = {};
        for (int k = 0; k <= l; ++k) {
            next[k + 1] += 2 * current[k];
            next[k] -= previous[k];
        }
        copyCoefficients(current, previous);
        copyCoefficients(next, current);
    }
}

// sum d[k] y^k, k = 0..7.
double estrin8(const double* d, double y)
{
    const double y2 = y * y, y4 = y2 * y2;
    return ((d[0] + d[1] * y) + y2 * (d[2] + d[3] * y)) + y4 * ((d[4] + d[5] * y) + y2 * (d[6] + d[7] * y));
}

// sum d[l] sin(2 l x) from sin x and cos x, with d the polynomial of sinePolynomial (8 terms).
double sineSeries8(double sx, double cx, const double* d)
{
    return 2 * sx * cx * estrin8(d, (cx - sx) * (cx + sx));
}

}  // namespace

DtUtmUps::DtUtmUps(const DtMapDatum& datum)
    : myA(datum.spheroid.semiMajorAxis),
      myF((datum.spheroid.semiMajorAxis - datum.spheroid.semiMinorAxis) / datum.spheroid.semiMajorAxis),
      myE2(myF * (2 - myF)), myE(std::sqrt(myE2)), myN(myF / (2 - myF)), myScaledA(0), myPolarC(0), myAlpha(),
      myBeta()
{
    const double n2 = sq(myN);
    // The rectifying radius times k0.
    myScaledA = kUtmK0 * myA / (1 + myN) * (1 + n2 * (1.0 / 4 + n2 * (1.0 / 64 + n2 / 256)));
    // Each coefficient a polynomial in n: sum of c[j] n^(j + 1).
    const auto kruger = [this](const double(&table)[6][6], double* out) {
        for (const auto& row : table) {
            double power = 1, sum = 0;
            for (const double c : row) {
                power *= myN;
                sum += c * power;
            }
            *++out = sum;
        }
    };
    kruger(kAlpha, myAlpha);
    kruger(kBeta, myBeta);
    // Polar stereographic: 2 a k0 / sqrt((1 + e)^(1 + e) (1 - e)^(1 - e)).
    myPolarC = 2 * myA * kUpsK0 / std::sqrt(std::pow(1 + myE, 1 + myE) * std::pow(1 - myE, 1 - myE));
    // The conformal latitude as the geodetic one plus a sine series, and
    // back: both differences are odd with period pi, so their coefficients
    // are the trapezoid sums of 64 exact values (exact for the first 31
    // terms; the eighth is of order n^8, 1e-22 on the earth).
    constexpr int kSamples = 64;
    Coefficients toSeries = {}, fromSeries = {};
    for (int m = 1; m < kSamples; ++m) {   // (m = 0 is the pole, where both vanish)
        const double x = -kPi / 2 + m * kPi / kSamples, t = std::tan(x);
        const double toConformal = std::atan(conformalFromTau(t)) - x, fromConformal = std::atan(tauFromConformal(t)) - x;
        for (int l = 1; l <= 8; ++l) {
            toSeries[l] += 2.0 / kSamples * toConformal * std::sin(2 * l * x);
            fromSeries[l] += 2.0 / kSamples * fromConformal * std::sin(2 * l * x);
        }
    }
    sinePolynomial(toSeries, 8, myToConformal);
    sinePolynomial(fromSeries, 8, myFromConformal);
    // Krueger's series and their derivatives (2 l c_l cos 2 l z) likewise.
    double derivative[7] = {};
    sinePolynomial(myAlpha, 6, myAlphaSine);
    for (int l = 1; l <= 6; ++l)
        derivative[l] = 2 * l * myAlpha[l];
    cosinePolynomial(derivative, 6, myAlphaCosine);
    sinePolynomial(myBeta, 6, myBetaSine);
    for (int l = 1; l <= 6; ++l)
        derivative[l] = 2 * l * myBeta[l];
    cosinePolynomial(derivative, 6, myBetaCosine);
}

// tan of the conformal latitude from tan of the geodetic one.
double DtUtmUps::conformalFromTau(double tau) const
{
    // |tau| stays below 1e17 (the tangent of a latitude short of the pole): no overflow to guard.
    const double tau1 = std::sqrt(1 + tau * tau), sig = std::sinh(myE * std::atanh(myE * tau / tau1));
    return std::sqrt(1 + sig * sig) * tau - sig * tau1;
}

// The inverse, by Newton's method (two or three steps from tau = taup).
double DtUtmUps::tauFromConformal(double taup) const
{
    double tau = taup;
    for (int i = 0; i < 8; ++i) {
        const double taupa = conformalFromTau(tau);
        const double dtau = (taup - taupa) * (1 + (1 - myE2) * sq(tau)) /
                            ((1 - myE2) * std::sqrt(1 + tau * tau) * std::sqrt(1 + taupa * taupa));
        tau += dtau;
        if (!(std::fabs(dtau) >= 1e-15 * std::max(1.0, std::fabs(tau))))
            break;
    }
    return tau;
}

namespace {

// A sine series and (when asked for) its derivative at a complex angle
// z = xi + i eta: s = sin(2 z) P(w) and d = 1 + sign Q(w), w = cos 2z, with
// the polynomials P (degree 5) and Q (degree 6) of sinePolynomial and
// cosinePolynomial, by Estrin's scheme in plain doubles (std::complex
// multiplies through a library call). One sine, cosine and exponential.
void complexSeries(const double* sine, const double* cosine, double sign, double s2, double c2, double e,
                   bool derivative, double& sr, double& si, double& dr, double& di)
{
    // (s2, c2: the sine and cosine of 2 xi; e = exp(2 eta): the callers have
    // them at hand, or cheaply.)
    const double sh2 = (e - 1 / e) / 2, ch2 = (e + 1 / e) / 2;
    const double wr = c2 * ch2, wi = -s2 * sh2;                        // w = cos 2z
    const double w2r = wr * wr - wi * wi, w2i = 2 * wr * wi;          // w^2
    const double w4r = w2r * w2r - w2i * w2i, w4i = 2 * w2r * w2i;    // w^4
    // (a + b w): real a, b.
    const auto linear = [&](double a, double b, double& r, double& i) {
        r = a + b * wr;
        i = b * wi;
    };
    double ar, ai, br, bi, cr, ci;
    linear(sine[0], sine[1], ar, ai);
    linear(sine[2], sine[3], br, bi);
    linear(sine[4], sine[5], cr, ci);
    // P = a + w^2 b + w^4 c
    const double pr = (ar + (w2r * br - w2i * bi)) + (w4r * cr - w4i * ci),
                 pi = (ai + (w2r * bi + w2i * br)) + (w4r * ci + w4i * cr);
    const double sinr = s2 * ch2, sini = c2 * sh2;   // sin 2z
    sr = sinr * pr - sini * pi;
    si = sinr * pi + sini * pr;
    dr = 1;
    di = 0;
    if (!derivative)
        return;
    linear(cosine[0], cosine[1], ar, ai);
    linear(cosine[2], cosine[3], br, bi);
    linear(cosine[4], cosine[5], cr, ci);
    const double w6r = w4r * w2r - w4i * w2i, w6i = w4r * w2i + w4i * w2r;
    const double qr = ((ar + (w2r * br - w2i * bi)) + (w4r * cr - w4i * ci)) + cosine[6] * w6r,
                 qi = ((ai + (w2r * bi + w2i * br)) + (w4r * ci + w4i * cr)) + cosine[6] * w6i;
    dr = 1 + sign * qr;
    di = sign * qi;
}

}  // namespace

void DtUtmUps::utmForward(double lat, double dlon, bool extras, double& x, double& y, double& gamma, double& k) const
{
    // The conformal latitude chi (a sine series in the latitude), the
    // transverse Mercator of the sphere (xi', eta'), then Krueger's series;
    // the derivative p + i q of the series turns the sphere's convergence and
    // scale into the ellipsoid's (only when asked for).
    double sphi, cphi, slam, clam, schi, cchi;
    detail::fastSinCos(lat, sphi, cphi);
    detail::fastSinCos(dlon, slam, clam);
    // chi = phi + d, d of the size of e^2 / 2: its sine and cosine from
    // those of phi and a short series in d (exact below 1/64 to 1e-17).
    const double d = sineSeries8(sphi, cphi, myToConformal);
    if (std::fabs(d) < 1.0 / 64) {
        const double d2 = d * d, sd = d - (d * d2) * (1.0 / 6 - d2 * (1.0 / 120 - d2 * (1.0 / 5040))),
                     omcd = d2 * (0.5 - d2 * (1.0 / 24 - d2 * (1.0 / 720)));
        schi = sphi - (sphi * omcd - cphi * sd);
        cchi = cphi - (cphi * omcd + sphi * sd);
    } else {
        detail::fastSinCos(lat + d, schi, cchi);
    }
    // On the sphere, with A = sin chi, B = cos chi cos lambda and C = cos chi
    // sin lambda (A^2 + B^2 + C^2 = 1): xi' = atan2(A, B), eta' = atanh(C),
    // exp(2 eta') = (1 + C) / (1 - C), and 2 xi' has sine 2AB / (A^2 + B^2)
    // and cosine (B^2 - A^2) / (A^2 + B^2): no root on the way.
    const double A = schi, B = cchi * clam, C = cchi * slam;
    const double xip = detail::fastAtan2(A, B);
    // atanh(C) by its series: within 9 degrees of the meridian |C| < 0.16,
    // where eleven terms are exact to 1e-19.
    const double c2 = C * C, c4 = c2 * c2, c8 = c4 * c4, c16 = c8 * c8;
    const double etap =
        std::fabs(C) < 0.16
            ? C * ((((1 + c2 * (1.0 / 3)) + c4 * (1.0 / 5 + c2 * (1.0 / 7))) +
                    c8 * ((1.0 / 9 + c2 * (1.0 / 11)) + c4 * (1.0 / 13 + c2 * (1.0 / 15)))) +
                   c16 * ((1.0 / 17 + c2 * (1.0 / 19)) + c4 * (1.0 / 21)))
            : std::atanh(C);
    const double inverse = 1 / (A * A + B * B);
    double sr, si, p, q;
    complexSeries(myAlphaSine, myAlphaCosine, 1, 2 * A * B * inverse, (B - A) * (B + A) * inverse, (1 + C) / (1 - C),
                  extras, sr, si, p, q);
    y = myScaledA * (xip + sr);
    x = myScaledA * (etap + si);
    if (!extras)
        return;
    const bool pole = std::fabs(lat) == kPi / 2;
    const double tau = pole ? std::copysign(1e300, lat) : sphi / cphi, taup = pole ? tau : conformalFromTau(tau);
    gamma = std::atan2(taup * slam, clam * std::hypot(1.0, taup)) - std::atan2(q, p);   // (xi, eta) is a reflection
    k = pole ? (myScaledA / myA) * std::sqrt(1 - myE2) * std::hypot(p, q) *
                   std::exp(myE * std::atanh(myE))   // the limit at the pole
             : (myScaledA / myA) * std::sqrt(1 - myE2 * sq(sphi)) * std::hypot(1.0, tau) /
                   std::hypot(taup, clam) * std::hypot(p, q);   // (not from A and B: taup may be huge)
}

void DtUtmUps::utmReverse(double x, double y, bool extras, double& lat, double& dlon, double& gamma, double& k) const
{
    const double xi = y / myScaledA, eta = x / myScaledA;
    double sr, si, p, q;
    double s2, c2;
    detail::fastSinCos(2 * xi, s2, c2);
    // exp(eta): within a zone |eta| < 0.1, where Taylor's series to the 12th
    // power is exact to 1e-23 (a shorter chain than the exponential's).
    double expEta;
    if (std::fabs(eta) < 0.1) {
        const double t = eta, t2 = t * t, t4 = t2 * t2, t8 = t4 * t4;
        const double odd = t * (((1 + t2 * (1.0 / 6)) + t4 * (1.0 / 120 + t2 * (1.0 / 5040))) +
                                t8 * ((1.0 / 362880 + t2 * (1.0 / 39916800))));
        const double even = ((1 + t2 * 0.5) + t4 * (1.0 / 24 + t2 * (1.0 / 720))) +
                            t8 * ((1.0 / 40320 + t2 * (1.0 / 3628800)) + t4 * (1.0 / 479001600));
        expEta = even + odd;
    } else {
        expEta = std::exp(eta);
    }
    complexSeries(myBetaSine, myBetaCosine, -1, s2, c2, expEta * expEta, extras, sr, si, p, q);
    const double xip = xi - sr, etap = eta - si;
    double sxip, cxip;
    detail::fastSinCos(xip, sxip, cxip);
    // sinh(eta') from exp(eta) exp(-si), si of the size of n: a short series
    // (exact to 1e-17 below 1/64); the absolute error of the difference is a
    // rounding of 1, a nanometre on the ground.
    double shetap;
    if (std::fabs(si) < 1.0 / 64) {
        const double t = -si,
                     ex = 1 + t * (1 + t * (0.5 + t * (1.0 / 6 + t * (1.0 / 24 + t * (1.0 / 120 + t * (1.0 / 720 + t / 5040))))));
        const double w = expEta * ex;
        shetap = (w - 1 / w) / 2;
    } else {
        shetap = std::sinh(etap);
    }
    // tan(chi) = sin(xi') / r; the latitude from chi (its atan2 needs no
    // normalising, the series does: both norms at once, not one from the other).
    const double r2 = shetap * shetap + cxip * cxip, r = std::sqrt(r2), inverse = 1 / std::sqrt(sxip * sxip + r2);
    lat = detail::fastAtan2(sxip, r) + sineSeries8(sxip * inverse, r * inverse, myFromConformal);
    dlon = detail::fastAtan2(shetap, cxip);
    if (!extras)
        return;
    if (r != 0) {
        const double tau = std::tan(lat);
        k = (myScaledA / myA) * std::sqrt(1 - myE2 * sq(std::sin(lat))) * std::hypot(1.0, tau) * r /
            std::hypot(p, q);
    } else {   // a pole
        k = (myScaledA / myA) * std::sqrt(1 - myE2) * std::exp(myE * std::atanh(myE)) / std::hypot(p, q);
    }
    gamma = std::atan2(sxip * std::tanh(etap), cxip) + std::atan2(q, p);
}

// The polar grids work with colatitudes: near a pole they keep full relative
// precision (pi/2 is taken in two parts), which the distance from the pole
// and the scale both need.
constexpr double kHalfPiLow = 6.123233995736766e-17;   // pi/2 - kPi / 2

void DtUtmUps::upsForward(bool north, double lat, double lon, bool extras, double& x, double& y, double& gamma,
                          double& k) const
{
    // rho = C t, t = tan(pi/4 - chi/2) of the conformal latitude chi.
    // (The double nearest pi/2 is the pole itself, not 4e-10 m from it.)
    const double phi = north ? lat : -lat, colat = phi == kPi / 2 ? 0.0 : (kPi / 2 - phi) + kHalfPiLow;
    double sphi, cphi, s, c, sc, cc;
    detail::fastSinCos(colat, cphi, sphi);
    detail::fastSinCos(lon, s, c);
    detail::fastSinCos(colat - sineSeries8(sphi, cphi, myToConformal), sc, cc);
    const double t = colat == 0 || sc <= 0 ? 0.0 : sc / (1 + cc);   // tan of half the conformal colatitude
    const double rho = myPolarC * t;
    x = kUpsFalse + rho * s;
    y = north ? kUpsFalse - rho * c : kUpsFalse + rho * c;
    if (!extras)
        return;
    gamma = north ? lon : -lon;
    // Point scale: rho / (a m), m = cos(phi) / sqrt(1 - e^2 sin^2 phi); k0 at the pole.
    k = t == 0 ? kUpsK0 : rho * std::sqrt(1 - myE2 * sq(sphi)) / (myA * cphi);
}

void DtUtmUps::upsReverse(bool north, double x, double y, bool extras, double& lat, double& lon, double& gamma,
                          double& k) const
{
    const double dx = x - kUpsFalse, dy = north ? kUpsFalse - y : y - kUpsFalse;   // (+0 at the pole: longitude 0)
    const double rho = std::sqrt(dx * dx + dy * dy), t = rho / myPolarC;
    const double colatChi = 2 * detail::fastAtan2(t, 1.0);
    double sc, cc;
    detail::fastSinCos(colatChi, sc, cc);
    const double colat = colatChi - sineSeries8(cc, sc, myFromConformal);   // phi - chi, at chi
    const double phi = colat == 0 ? kPi / 2 : (kPi / 2 - colat) + kHalfPiLow;
    lat = north ? phi : -phi;
    lon = detail::fastAtan2(dx, dy);
    if (!extras)
        return;
    gamma = north ? lon : -lon;
    double sphi, cphi;
    detail::fastSinCos(colat, cphi, sphi);
    k = t == 0 ? kUpsK0 : rho * std::sqrt(1 - myE2 * sq(sphi)) / (myA * cphi);
}

namespace {

// The zone of degrees (latitude, longitude in [-180, 180]).
int zoneOfDegrees(double latDeg, double lonDeg)
{
    if (!(latDeg >= -80 && latDeg < 84) || std::isnan(lonDeg))
        return 0;   // (a longitude that is not a number has no zone: 0, as for a latitude that is not one)
    int zone = static_cast<int>(detail::fastFloor((lonDeg + 180) / 6)) + 1;
    if (zone > 60)
        zone = 1;   // 180 itself
    const int band = static_cast<int>(detail::fastFloor(latDeg / 8));   // 56..64: 7, 72..84: 9 or 10
    if (band == 7 && zone == 31 && lonDeg >= 3)
        zone = 32;   // Norway
    else if (band >= 9 && lonDeg >= 0 && lonDeg < 42)
        zone = 2 * static_cast<int>((lonDeg + 3) / 12) + 31;   // Svalbard: 31, 33, 35, 37
    return zone;
}

// Whether x is within 1e-9 of an integer (rounding by adding 1.5 * 2^52).
bool nearInteger(double x)
{
    constexpr double kRound = 6755399441055744.0;
    return std::fabs(x - ((x + kRound) - kRound)) < 1e-9;
}

}  // namespace

int DtUtmUps::standardZone(double lat, double lon)
{
    // Degrees by a product, which is all the zone needs unless the point is
    // within a hair of an edge (every edge is at a multiple of 4 degrees of
    // latitude or 3 of longitude): there, degrees by division, as exact as
    // the radians allow.
    const double lonR = detail::reduceAngle(lon);
    constexpr double kToDegrees = 180 / kPi;
    const double latDeg = lat * kToDegrees, lonDeg = lonR * kToDegrees;
    if (nearInteger(latDeg * 0.25) || nearInteger(lonDeg * (1.0 / 3)))
        return zoneOfDegrees(lat / kDegree, lonR / kDegree);
    return zoneOfDegrees(latDeg, lonDeg);
}

DtGridPosition DtUtmUps::forward(double lat, double lon, int grid, bool convergenceAndScale) const
{
    const char* signature = "Vorant::DtGridPosition Vorant::DtUtmUps::forward(double, double, int, bool) const";
    if (!(finite(lat, lon) && std::fabs(lat) <= kPi / 2 && grid >= Utm && grid <= 60))
        detail::throwDtException(kBadPosition, signature, __FILE__, __LINE__);
    const double latDeg = lat / kDegree;
    int zone = grid == Standard ? standardZone(lat, lon) : grid;
    if (zone == Utm)
        zone = standardZone(0.0, lon);   // the longitude's own zone, no exceptions
    constexpr double kNotAsked = std::numeric_limits<double>::quiet_NaN();
    DtGridPosition p{zone, lat >= 0, 0, 0, kNotAsked, kNotAsked};
    if (zone == 0) {
        if (!(latDeg >= 83.5 || latDeg <= -79.5))
            detail::throwDtException("Invalid grid position: UPS covers latitudes from 83.5 N and from 79.5 S only",
                                     signature, __FILE__, __LINE__);
        upsForward(p.north, lat, detail::reduceAngle(lon), convergenceAndScale, p.easting, p.northing, p.convergence,
                   p.scale);
        return p;
    }
    const double centre = (6.0 * zone - 183) * kDegree;
    const double dlon = detail::reduceAngle(lon - centre);
    if (!(latDeg >= -80.5 && latDeg <= 84.5 && std::fabs(dlon) <= 9 * kDegree))
        detail::throwDtException("Invalid grid position: UTM covers 80.5 S to 84.5 N and 9 degrees either side of "
                                 "the zone's central meridian",
                                 signature, __FILE__, __LINE__);
    double x, y;
    utmForward(lat, dlon, convergenceAndScale, x, y, p.convergence, p.scale);
    p.easting = kFalseEasting + x;
    p.northing = (p.north ? 0.0 : kFalseNorthingSouth) + y;
    return p;
}

void DtUtmUps::reverse(DtGridPosition& p, double& lat, double& lon, bool convergenceAndScale) const
{
    if (!convergenceAndScale)
        p.convergence = p.scale = std::numeric_limits<double>::quiet_NaN();
    if (!(finite(p.easting, p.northing) && p.zone >= 0 && p.zone <= 60))
        detail::throwDtException(kBadPosition,
                                 "void Vorant::DtUtmUps::reverse(Vorant::DtGridPosition&, double&, double&, bool) const",
                                 __FILE__, __LINE__);
    if (p.zone == 0) {
        upsReverse(p.north, p.easting, p.northing, convergenceAndScale, lat, lon, p.convergence, p.scale);
        return;
    }
    double dlon;
    utmReverse(p.easting - kFalseEasting, p.northing - (p.north ? 0.0 : kFalseNorthingSouth), convergenceAndScale, lat,
               dlon, p.convergence, p.scale);
    lon = detail::reduceAngle((6.0 * p.zone - 183) * kDegree + dlon);
}

}  // namespace Vorant
