#include <directedRotRate.h>

#include <cmath>

namespace Vorant {

void DtDirectedRotRate::setFromVec(const DtVector32& w)
{
    const float s0 = w[0] * w[0];
    const float s1 = w[1] * w[1];
    const float s2 = w[2] * w[2];
    magnitude = (double(s0) + double(s1)) + double(s2);
    magnitude = std::sqrt(magnitude);
    const double f = magnitude == 0.0 ? 0.0 : 1.0 / magnitude;
    axis[0] = float(double(w[0]) * f);
    axis[1] = float(double(w[1]) * f);
    axis[2] = float(double(w[2]) * f);
}

}  // namespace Vorant
