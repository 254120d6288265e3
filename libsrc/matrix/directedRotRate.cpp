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
    for (int i = 0; i < 3; ++i)
        axis[i] = float(double(w[i]) * f);
}

}  // namespace Vorant
