// Scalar helpers used throughout the library: square, absolute value, maximum,
// clamp, and the conversions between degrees and radians.
//
// The tests are written exactly as below on purpose: DtAbs(-0.0) is -0.0, a
// NaN fails every comparison, and the angle conversions keep their order of
// operations so that DtDeg2Rad(180.0) is exactly the double pi.
#ifndef QORMATRIX_QV_SCALAR_H
#define QORMATRIX_QV_SCALAR_H

#include <qvutil/dtExport.h>

#include <type_traits>

namespace Vorant {

/// The double nearest to pi.
constexpr double DtPi = 3.141592653589793;

/// a * b rounded to T, then hidden from the optimiser. The library is built
/// without contraction, but arithmetic in a header is compiled with the
/// caller's flags, and a compiler allowed to fuse a product with an addition
/// (g++ does by default where the target has FMA) rounds once instead of
/// twice. The empty asm makes the product an opaque value, so every formula in
/// the headers gives the same bits whatever the caller's compiler, flags or
/// inlining, also when the caller adds to a result that ends in a product. It
/// emits no instruction. Other types pass untouched: integer products are
/// exact, and long double is never fused on these targets.
template <class T>
inline T DtProduct(T a, T b)
{
    T p = a * b;
    if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
#if defined(__GNUC__) && defined(__x86_64__)
        __asm__("" : "+x"(p));
#elif defined(__GNUC__) && defined(__aarch64__)
        __asm__("" : "+w"(p));
#elif defined(__GNUC__)
        __asm__("" : "+m"(p));
#else
        volatile T held = p;
        p = held;
#endif
    }
    return p;
}

template <class T>
inline T DtSquare(const T& v)
{
    return DtProduct(v, v);
}

/// v when v >= 0, otherwise -v: negative zero stays negative, a NaN has its
/// sign flipped.
template <class T>
inline T DtAbs(T v)
{
    return v >= 0 ? v : -v;
}

/// a when a > b, otherwise b (ties and NaNs give b).
template <class T>
inline T DtMax(T a, T b)
{
    return a > b ? a : b;
}

/// v clamped to the interval between lo and hi, given in either order. A NaN v
/// is returned unchanged.
template <class T>
inline T DtLimit(T v, T lo, T hi)
{
    if (lo > hi)
        return DtLimit(v, hi, lo);
    if (v > hi)
        return hi;
    if (lo > v)
        return lo;
    return v;
}

/// (pi * degrees) / 180: multiply first, divide second.
inline double DtDeg2Rad(double degrees)
{
    return (DtPi * degrees) / 180.0;
}

/// 180 * (radians / pi): divide first, multiply second.
inline double DtRad2Deg(double radians)
{
    return DtProduct(180.0, radians / DtPi);
}

}  // namespace Vorant

#endif
