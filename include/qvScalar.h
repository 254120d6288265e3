// Scalar helpers used throughout the library: square, absolute value, maximum,
// clamp, and the conversions between degrees and radians.
//
// The tests are written exactly as below on purpose: DtAbs(-0.0) is -0.0, a
// NaN fails every comparison, and the angle conversions keep their order of
// operations so that DtDeg2Rad(180.0) is exactly the double pi.
#ifndef QORMATRIX_QV_SCALAR_H
#define QORMATRIX_QV_SCALAR_H

#include <qvutil/dtExport.h>

namespace Vorant {

/// The double nearest to pi.
constexpr double DtPi = 3.141592653589793;

template <class T>
inline T DtSquare(const T& v)
{
    return v * v;
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
    return 180.0 * (radians / DtPi);
}

}  // namespace Vorant

#endif
