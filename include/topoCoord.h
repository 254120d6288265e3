// The local topographic frame (north-east-down) and its relation to the
// geocentric frame; heading, pitch and roll over the ground from geocentric
// data. Radians throughout; latitudes and longitudes are geodetic.
#ifndef QORMATRIX_TOPO_COORD_H
#define QORMATRIX_TOPO_COORD_H

#include <qvVector.h>
#include <qvutil/dtExport.h>

namespace Vorant {

class DtCoordTransform;
class DtDcm;
class DtGeodeticCoord;
class DtTaitBryan;

/// Topographic-to-geocentric rotation at the position: its columns are the
/// north, east and down unit vectors in geocentric axes.
DT_EXPORT void DtLatLon_to_TopoToGeoc(const DtGeodeticCoord& position, DtDcm& out);
/// Geocentric-to-topographic rotation: rows north, east, down.
DT_EXPORT void DtLatLon_to_GeocToTopo(const DtGeodeticCoord& position, DtDcm& out);
/// A transform that maps geocentric points to north, east and down distances
/// from the surface point at (lat, lon) on the current datum.
DT_EXPORT void DtGeocToTopoTransform(double lat, double lon, DtCoordTransform* transform);
/// Heading, pitch and roll over the ground under a geocentric position, of a
/// body whose orientation is given relative to the geocentric axes.
DT_EXPORT double DtGetHeadingFromGeocentric(DtVector64 position, DtTaitBryan orientation);
DT_EXPORT double DtGetPitchFromGeocentric(DtVector64 position, DtTaitBryan orientation);
DT_EXPORT double DtGetRollFromGeocentric(DtVector64 position, DtTaitBryan orientation);
/// The one shared matrix that swaps north-east-down and east-north-up (it is
/// its own inverse): rows (0, 1, 0), (1, 0, 0), (0, 0, -1).
DT_EXPORT const DtDcm& DtNedToEnuDcm();
DT_EXPORT const DtDcm& DtEnuToNedDcm();

}  // namespace Vorant

#endif
