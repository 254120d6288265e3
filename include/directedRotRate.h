// An angular velocity split into its rate and a unit axis.
#ifndef QORMATRIX_DIRECTED_ROT_RATE_H
#define QORMATRIX_DIRECTED_ROT_RATE_H

#include <qvVector.h>
#include <qvutil/dtExport.h>

namespace Vorant {

class DT_EXPORT DtDirectedRotRate
{
public:
    /// Rate 0, axis zero.
    DtDirectedRotRate() : magnitude(0.0), axis{0.0f, 0.0f, 0.0f} {}
    DtDirectedRotRate(const DtVector32& w) : DtDirectedRotRate() { setFromVec(w); }

    /// Rate and axis of w: squares in float, their sum and root in double. A
    /// zero vector gives rate 0 and a zero axis.
    void setFromVec(const DtVector32& w);

    /// Compares the axes only (as floats); the rates are not compared.
    bool operator==(const DtDirectedRotRate& o) const
    {
        return axis[0] == o.axis[0] && axis[1] == o.axis[1] && axis[2] == o.axis[2];
    }
    bool operator!=(const DtDirectedRotRate& o) const { return !(*this == o); }

    double magnitude;   ///< length of the angular-velocity vector
    float axis[3];      ///< unit axis; zero when the magnitude is zero
};

}  // namespace Vorant

#endif
