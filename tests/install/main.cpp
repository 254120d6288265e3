// A program outside the project, built against the installed library.
#include <qormatrix.h>

#include <cmath>
#include <cstdio>

int main()
{
    using namespace Vorant;
    DtGeodeticCoord where(DtDeg2Rad(45.0), DtDeg2Rad(30.0), 1000.0);
    const DtVector64 g = where.geocentric();
    std::printf("%.3f %.3f %.3f\n", g.x(), g.y(), g.z());
    return std::fabs(g.x() - 3912960.837) < 1e-3 ? 0 : 1;
}
