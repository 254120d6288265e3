// The geoid datum over a DtGeoidGrid that geodetic coordinates hold after
// setGeoidGrid: internal, not installed, not exported. Such a datum is always
// made and deleted here, as its own type.
#ifndef QORMATRIX_GEOID_GRID_DATUM_H
#define QORMATRIX_GEOID_GRID_DATUM_H

#include <memory>

namespace Vorant {

class DtGeoidDatum;
class DtGeoidGrid;

namespace detail {

DtGeoidDatum* newGridGeoidDatum(std::shared_ptr<const DtGeoidGrid> grid, bool cubic);
// A new datum over the same grid when the given one is over a grid, else null.
DtGeoidDatum* copyGridGeoidDatum(DtGeoidDatum* datum);
// The grid of a datum over a grid, else null.
std::shared_ptr<const DtGeoidGrid> gridOfGeoidDatum(DtGeoidDatum* datum);
// Deletes a datum over a grid and says true; leaves any other datum alone.
bool deleteGridGeoidDatum(DtGeoidDatum* datum);

}  // namespace detail
}  // namespace Vorant

#endif
