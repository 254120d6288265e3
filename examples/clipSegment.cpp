// Does a line of sight pass through a building's box, and where?
#include <qormatrix.h>

#include <cstdio>
#include <sstream>

int main()
{
    using namespace Vorant;

    const Dt3dExtent building(10.0, 30.0, -5.0, 5.0, 0.0, 25.0);   // x, y, z ranges in metres
    const Dt3dChord lineOfSight(Dt3dPoint(0.0, 0.0, 2.0), Dt3dPoint(50.0, 2.0, 40.0));

    double tNear = 0, tFar = 0;
    if (!building.intersects(lineOfSight) || !building.intersectsLineOfChord(lineOfSight, tNear, tFar)) {
        std::printf("clear line of sight\n");
        return 1;
    }
    std::ostringstream enter, leave;
    enter << lineOfSight.computePoint(tNear);
    leave << lineOfSight.computePoint(tFar);
    std::printf("blocked: enters the box at %s (t = %.3f), leaves at %s (t = %.3f)\n", enter.str().c_str(), tNear,
                leave.str().c_str(), tFar);

    const Dt3dChord overTheRoof(Dt3dPoint(0.0, 0.0, 30.0), Dt3dPoint(50.0, 0.0, 30.0));
    std::printf("over the roof: %s\n", building.intersects(overTheRoof) ? "blocked" : "clear");
    return building.intersects(overTheRoof) ? 1 : 0;
}
