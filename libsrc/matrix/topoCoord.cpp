#include <topoCoord.h>

#include <coordTransform.h>
#include <geodeticCoord.h>
#include <qvDcm.h>
#include <qvTaitBryan.h>

namespace Vorant {

namespace {

// Topographic-to-geocentric rotation: the body-to-reference matrix of
// (lon, -lat, 0) times the permutation that takes north-east-down axes to the
// body axes of that rotation.
void LatLonToTopoToGeoc(double lat, double lon, DtDcm& out)
{
    DtDcm b;
    DtEuler_to_BodyToRef(DtTaitBryan(lon, -lat, 0.0), b);
    const DtDcm p(0.0, 0.0, -1.0, 0.0, 1.0, 0.0, 1.0, 0.0, 0.0);
    DtDcmDcmMul(b, p, out);
}

enum class Angle { Heading, Pitch, Roll };

// The whole computation, afresh on every call: the geodetic position, the
// geocentric-to-topographic rotation there, and the orientation carried into
// it. This is the rotation part of DtGeocToTopoTransform and eulerTrans; the
// transform's offset (a second geodetic-to-geocentric conversion) plays no
// part in the angles, so it is not computed. The results are the same bits.
double angleOverGround(const DtVector64& position, const DtTaitBryan& orientation, Angle which)
{
    DtGeodeticCoord geodetic(&DtGlobalEllipsoid());
    geodetic.setGeocentric(position);
    const double lon = geodetic.lon();
    const double lat = geodetic.lat();
    DtDcm topoToGeoc, geocToTopo;
    LatLonToTopoToGeoc(lat, lon, topoToGeoc);
    DtDcmTranspose(topoToGeoc, geocToTopo);
    DtTaitBryan result;
    DtEulerToEuler(orientation, geocToTopo, &result);
    switch (which) {
    case Angle::Heading:
        return result.psi();
    case Angle::Pitch:
        return result.theta();
    default:
        return result.phi();
    }
}

}  // namespace

void DtLatLon_to_TopoToGeoc(const DtGeodeticCoord& position, DtDcm& out)
{
    LatLonToTopoToGeoc(position.lat(), position.lon(), out);
}

void DtLatLon_to_GeocToTopo(const DtGeodeticCoord& position, DtDcm& out)
{
    DtDcm topoToGeoc;
    LatLonToTopoToGeoc(position.lat(), position.lon(), topoToGeoc);
    DtDcmTranspose(topoToGeoc, out);
}

void DtGeocToTopoTransform(double lat, double lon, DtCoordTransform* transform)
{
    const DtGeodeticCoord origin(lat, lon, 0.0, &DtGlobalEllipsoid());
    transform->setOffset(origin.geocentric());
    DtDcm rotation;
    DtLatLon_to_GeocToTopo(origin, rotation);
    transform->setRotation(rotation);
}

double DtGetHeadingFromGeocentric(DtVector64 position, DtTaitBryan orientation)
{
    return angleOverGround(position, orientation, Angle::Heading);
}

double DtGetPitchFromGeocentric(DtVector64 position, DtTaitBryan orientation)
{
    return angleOverGround(position, orientation, Angle::Pitch);
}

double DtGetRollFromGeocentric(DtVector64 position, DtTaitBryan orientation)
{
    return angleOverGround(position, orientation, Angle::Roll);
}

}  // namespace Vorant
