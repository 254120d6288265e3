// Heading, pitch and roll over the ground of an entity whose state is kept
// in the earth-centred frame: a geocentric position and Tait-Bryan angles
// relative to the geocentric axes.
#include <qormatrix.h>

#include <cmath>
#include <cstdio>

int main()
{
    using namespace Vorant;

    // An aircraft 3000 m above a point near Denver, flying north-east (45
    // degrees), nose 5 degrees up, wings level: build its geocentric state.
    const DtGeodeticCoord where(DtDeg2Rad(39.7), DtDeg2Rad(-104.9), 3000.0);
    const DtVector64 position = where.geocentric();

    DtDcm nedToGeocentric, bodyToNed, bodyToGeocentric;
    DtLatLon_to_TopoToGeoc(where, nedToGeocentric);
    DtTbToMat(DtTaitBryan(DtDeg2Rad(45.0), DtDeg2Rad(5.0), 0.0), bodyToNed);
    DtDcmDcmMul(nedToGeocentric, bodyToNed, bodyToGeocentric);
    DtTaitBryan geocentricAttitude;
    DtBodyToRef_to_Euler(bodyToGeocentric, &geocentricAttitude);

    // What a simulation asks every frame: the angles over the ground.
    const double heading = DtRad2Deg(DtGetHeadingFromGeocentric(position, geocentricAttitude));
    const double pitch = DtRad2Deg(DtGetPitchFromGeocentric(position, geocentricAttitude));
    const double roll = DtRad2Deg(DtGetRollFromGeocentric(position, geocentricAttitude));
    std::printf("position  %.1f %.1f %.1f m\n", position.x(), position.y(), position.z());
    std::printf("heading %.4f  pitch %.4f  roll %.4f degrees\n", heading, pitch, roll);
    return std::fabs(heading - 45.0) < 1e-5 && std::fabs(pitch - 5.0) < 1e-5 && std::fabs(roll) < 1e-5 ? 0 : 1;
}
