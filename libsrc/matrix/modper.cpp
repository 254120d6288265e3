#include <modper.h>

#include <cmath>

namespace Vorant {

double DtModPerZero(double x, double period)
{
    if (x >= period)
        return std::fmod(x, period);
    if (x < 0) {
        double r = std::fmod(x, period);
        // A NaN counts as non-zero; a negative exact multiple keeps fmod's -0.
        if (!(r == 0))
            r += period;
        return r;
    }
    return x;
}

double DtModPerLo(double x, double lo, double hi)
{
    if (lo <= x && x < hi)
        return x;
    const double d = hi - lo;
    double r = std::fmod(x - lo, d);
    if (r < 0)
        r += d;
    return r + lo;
}

double DtModPerHi(double x, double lo, double hi)
{
    if (lo < x && x <= hi)
        return x;
    const double d = hi - lo;
    double r = std::fmod(x - lo, d);
    if (r <= 0)
        r += d;
    return r + lo;
}

double DtModPer(double x, double a, double b)
{
    if (b > a) {
        if (a == 0)
            return DtModPerZero(x, b);
        return DtModPerLo(x, a, b);
    }
    return DtModPerHi(x, b, a);
}

}  // namespace Vorant
