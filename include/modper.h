// Reduction of a value into a periodic interval.
#ifndef QORMATRIX_MODPER_H
#define QORMATRIX_MODPER_H

#include <qvutil/dtExport.h>

namespace Vorant {

/// x reduced into [0, period).
DT_EXPORT double DtModPerZero(double x, double period);
/// x reduced into [lo, hi).
DT_EXPORT double DtModPerLo(double x, double lo, double hi);
/// x reduced into (lo, hi]: an exact multiple of the period above lo lands on hi.
DT_EXPORT double DtModPerHi(double x, double lo, double hi);
/// Ascending bounds give [a, b) (through DtModPerZero when a is zero);
/// descending, equal or NaN bounds give (b, a].
DT_EXPORT double DtModPer(double x, double a, double b);

}  // namespace Vorant

#endif
