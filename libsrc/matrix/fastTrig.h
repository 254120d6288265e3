// Sine, cosine and atan2 for the hot loops of the geodesic code: within a few
// units in the last place (the standard functions are within one, at twice
// the cost; the geodesics need 1e-15), exact where the standard ones are
// exact (zero, the multiples of pi/4 for atan2), with their signs of zero and
// quadrants. Inline and branch-free in the common case, so that the several
// angles of one step overlap. Internal to the library.
#ifndef QORMATRIX_FAST_TRIG_H
#define QORMATRIX_FAST_TRIG_H

#include <cmath>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace Vorant {
namespace detail {

// The ratio t = min(|x|, |y|) / max(|x|, |y|) is taken to u = (t - c) / (1 + t c),
// |u| <= tan(pi/16), with c = 0, tan(pi/8) (rounded) or 1; atan(u) is a
// polynomial there, and the angle is a base plus or minus atan(u). The
// polynomial is a Chebyshev fit of (atan(u)/u - 1)/u^2 in u^2, error 8e-18
// (relative 3e-19 in atan(u)); scripts/trig-coefficients.py prints it and the
// bases, each in two parts.
struct AtanBase
{
    double hi, lo, sign;
};

constexpr double kAtanC1 = 0.41421356237309503;   // tan(pi/8)
constexpr double kAtanT1 = 0.19891236737965800;   // tan(pi/16)
constexpr double kAtanT2 = 0.66817863791929892;   // tan(3 pi/16)
constexpr double kAtanC[3] = {0.0, kAtanC1, 1.0};

// Index 4 k + (|y| > |x|) + 2 (x < 0): the base is atan(c_k), pi/2 less it,
// pi less it, or pi/2 plus it.
constexpr AtanBase kAtanBases[12] = {
    {0.0, 0.0, 1},
    {1.5707963267948966, 6.123233995736766e-17, -1},
    {3.141592653589793, 1.2246467991473532e-16, -1},
    {1.5707963267948966, 6.123233995736766e-17, 1},
    {0.39269908169872414, 3.060132146563891e-18, 1},
    {1.1780972450961724, 5.817220781080377e-17, -1},
    {2.748893571891069, 1.1940454776817144e-16, -1},
    {1.9634954084936207, 6.429247210393156e-17, 1},
    {0.7853981633974483, 3.061616997868383e-17, 1},
    {0.7853981633974483, 3.061616997868383e-17, -1},
    {2.356194490192345, 9.184850993605148e-17, -1},
    {2.356194490192345, 9.184850993605148e-17, 1},
};

inline double fastAtan2(double y, double x)
{
    const double ax = std::fabs(x), ay = std::fabs(y);
    // min, max and the comparisons below compile to instructions without
    // branches: the octant of random directions is not predictable.
    const double num = ay < ax ? ay : ax, den = ax < ay ? ay : ax;
    // Zeros, infinities, NaN and the extremes of the range: the standard function.
    if (!(den >= 1e-300 && den <= 1e300 && ay == ay))
        return std::atan2(y, x);
    const int k = static_cast<int>(num > kAtanT1 * den) + static_cast<int>(num > kAtanT2 * den);
    const double c = kAtanC[k];
    const double u = (num - c * den) / (den + c * num);
    const double s = u * u, s2 = s * s, s4 = s2 * s2;
    // Estrin's scheme, for a short chain of dependent operations.
    const double g = ((-0.3333333333333333 + 0.1999999999999729 * s) +
                      s2 * (-0.1428571428427355 + 0.11111110818998077 * s)) +
                     s4 * ((-0.0909087995193466 + 0.07690724472468718 * s) +
                           s2 * (-0.06618732486766733 + 0.05115745967981171 * s));
    const double a = u + u * (s * g);
    const AtanBase& b = kAtanBases[4 * k + static_cast<int>(ay > ax) + (std::signbit(x) ? 2 : 0)];
    return std::copysign(b.hi + (b.lo + b.sign * a), y);
}

// sin and cos of |r| <= pi/4: r + r s S(s) and 1 - s/2 + s^2 C(s), s = r^2,
// Chebyshev fits (scripts/trig-coefficients.py) whose errors are below 0.1
// unit in the last place.
inline void sinCosReduced(double r, double& sinr, double& cosr)
{
    const double s = r * r, s2 = s * s, s4 = s2 * s2;
    const double ps = ((-0.16666666666666666 + 0.008333333333330948 * s) +
                       s2 * (-0.00019841269836758574 + 2.755731610255244e-06 * s)) +
                      s4 * (-2.5051131845003624e-08 + 1.5918129294866608e-10 * s);
    const double pc = ((0.041666666666666664 - 0.0013888888888887398 * s) +
                       s2 * (2.480158729876569e-05 - 2.7557317271729793e-07 * s)) +
                      s4 * (2.08761462684032e-09 - 1.1382632425521717e-11 * s);
    sinr = r == 0 ? r : r + r * (s * ps);   // keeps the sign of zero
    cosr = (1 - 0.5 * s) + s2 * pc;
}

// The quadrant q (mod 4) applied to sin and cos of the reduced angle, without
// branches (the quadrant of random angles is not predictable): odd quadrants
// swap the two, and each changes sign in two of the four.
inline void sinCosQuadrant(int q, double s, double c, double& sinx, double& cosx)
{
    const double pair[2] = {s, c};
    const unsigned u = static_cast<unsigned>(q);
    sinx = pair[u & 1u] * static_cast<double>(1 - static_cast<int>(u & 2u));
    cosx = pair[(u & 1u) ^ 1u] * static_cast<double>(1 - static_cast<int>((u + 1u) & 2u));
}

// sin and cos of x radians: x less q pi/2 with pi/2 in three parts (the first
// two of 33 bits, so that q times them is exact for |x| < 1e5); beyond that,
// and for NaN, the standard functions.
inline void fastSinCos(double x, double& sinx, double& cosx)
{
    if (!(std::fabs(x) < 1e5)) {
        sinx = std::sin(x);
        cosx = std::cos(x);
        return;
    }
    constexpr double kRound = 6755399441055744.0;   // 1.5 * 2^52: adding it rounds to an integer
    const double qd = (x * 0.6366197723675814 + kRound) - kRound;
    const double r = ((x - qd * 1.5707963267341256) - qd * 6.077100506303966e-11) - qd * 2.0222662487959506e-21;
    double s, c;
    sinCosReduced(r, s, c);
    sinCosQuadrant(static_cast<int>(qd), s, c, sinx, cosx);
}

// ---- Two values at once: the functions above on a pair of doubles held in
// one register where the processor has them (SSE2: every x86-64), element by
// element elsewhere. Each lane goes through the operations of the one-value
// function in its order, so it gives that function's bits; the loops over
// many elements use them to halve their instructions.
typedef double DoublePair __attribute__((vector_size(16)));
typedef decltype(DoublePair{} < DoublePair{}) MaskPair;   // a comparison's: lanes of all ones or zeros
typedef unsigned long long BitsPair __attribute__((vector_size(16)));

inline BitsPair bitsOf(DoublePair v)
{
    return reinterpret_cast<BitsPair>(v);
}

inline BitsPair bitsOf(MaskPair m)
{
    return reinterpret_cast<BitsPair>(m);
}

inline DoublePair pairOf(BitsPair b)
{
    return reinterpret_cast<DoublePair>(b);
}

// The lanes of a where the mask m is all ones, of b where it is zero.
inline DoublePair selectPair(BitsPair m, DoublePair a, DoublePair b)
{
    return pairOf((m & bitsOf(a)) | (~m & bitsOf(b)));
}

inline DoublePair selectPair(MaskPair m, DoublePair a, DoublePair b)
{
    return selectPair(bitsOf(m), a, b);
}

inline DoublePair sqrtPair(DoublePair v)
{
#ifdef __SSE2__
    return _mm_sqrt_pd(v);
#else
    return DoublePair{std::sqrt(v[0]), std::sqrt(v[1])};
#endif
}

inline DoublePair fastAtan2Pair(DoublePair y, DoublePair x)
{
    const BitsPair signBit = bitsOf(DoublePair{-0.0, -0.0});
    const DoublePair ax = pairOf(bitsOf(x) & ~signBit), ay = pairOf(bitsOf(y) & ~signBit);
    const DoublePair num = selectPair(ay < ax, ay, ax), den = selectPair(ax < ay, ay, ax);
    const BitsPair above1 = bitsOf(num > kAtanT1 * den), above2 = bitsOf(num > kAtanT2 * den);   // 2 implies 1
    const DoublePair c = selectPair(above2, DoublePair{1.0, 1.0}, pairOf(above1 & bitsOf(DoublePair{kAtanC1, kAtanC1})));
    const DoublePair u = (num - c * den) / (den + c * num);
    const DoublePair s = u * u, s2 = s * s, s4 = s2 * s2;
    const DoublePair g = ((-0.3333333333333333 + 0.1999999999999729 * s) +
                          s2 * (-0.1428571428427355 + 0.11111110818998077 * s)) +
                         s4 * ((-0.0909087995193466 + 0.07690724472468718 * s) +
                               s2 * (-0.06618732486766733 + 0.05115745967981171 * s));
    const DoublePair a = u + u * (s * g);
    // fastAtan2's index of the base, 4 k + (|y| > |x|) + 2 (x < 0) (masks are -1).
    const BitsPair index = -(4 * (above1 + above2) + bitsOf(ay > ax)) + 2 * (bitsOf(x) >> 63);
    const AtanBase &b0 = kAtanBases[index[0]], &b1 = kAtanBases[index[1]];
    const DoublePair r = DoublePair{b0.hi, b1.hi} + (DoublePair{b0.lo, b1.lo} + DoublePair{b0.sign, b1.sign} * a);
    DoublePair angle = pairOf((bitsOf(r) & ~signBit) | (bitsOf(y) & signBit));   // copysign(r, y)
    // Zeros, infinities, NaN and the extremes of the range: the standard function.
    for (int i = 0; i < 2; ++i)
        if (!(den[i] >= 1e-300 && den[i] <= 1e300 && ay[i] == ay[i]))
            angle[i] = std::atan2(y[i], x[i]);
    return angle;
}

inline void fastSinCosPair(DoublePair x, DoublePair& sinx, DoublePair& cosx)
{
    constexpr double kRound = 6755399441055744.0;
    const DoublePair rounded = x * 0.6366197723675814 + kRound, qd = rounded - kRound;
    const DoublePair r = ((x - qd * 1.5707963267341256) - qd * 6.077100506303966e-11) - qd * 2.0222662487959506e-21;
    const DoublePair s = r * r, s2 = s * s, s4 = s2 * s2;
    const DoublePair ps = ((-0.16666666666666666 + 0.008333333333330948 * s) +
                           s2 * (-0.00019841269836758574 + 2.755731610255244e-06 * s)) +
                          s4 * (-2.5051131845003624e-08 + 1.5918129294866608e-10 * s);
    const DoublePair pc = ((0.041666666666666664 - 0.0013888888888887398 * s) +
                           s2 * (2.480158729876569e-05 - 2.7557317271729793e-07 * s)) +
                          s4 * (2.08761462684032e-09 - 1.1382632425521717e-11 * s);
    const DoublePair sinr = selectPair(r == 0, r, r + r * (s * ps)), cosr = (1 - 0.5 * s) + s2 * pc;
    // The quadrant's last two bits are those of the rounded sum's mantissa
    // (2^51 + q there); multiplying by -1 flips the sign bit.
    const BitsPair q = bitsOf(rounded), odd = -(q & 1);
    sinx = pairOf(bitsOf(selectPair(odd, cosr, sinr)) ^ ((q & 2) << 62));
    cosx = pairOf(bitsOf(selectPair(odd, sinr, cosr)) ^ (((q + 1) & 2) << 62));
    for (int i = 0; i < 2; ++i)
        if (!(std::fabs(x[i]) < 1e5)) {
            sinx[i] = std::sin(x[i]);
            cosx[i] = std::cos(x[i]);
        }
}

// An angle in radians reduced to (-pi, pi] (as it is, when it is already).
inline double reduceAngle(double a)
{
    constexpr double kPi = 3.141592653589793;
    if (a > -kPi && a <= kPi)
        return a;
    double r = std::remainder(a, 2 * kPi);
    if (r <= -kPi)
        r += 2 * kPi;
    return r;
}

// floor(x) without a library call for |x| < 4e18 (std::floor is one where
// the processor baseline has no rounding instruction).
inline double fastFloor(double x)
{
    if (!(std::fabs(x) < 4e18))
        return std::floor(x);   // huge, infinite or NaN: no conversion to an integer
    const double t = static_cast<double>(static_cast<long long>(x));   // toward zero
    return t > x ? t - 1 : t;
}

}  // namespace detail
}  // namespace Vorant

#endif
