#include <mapDatum.h>

#include <referenceEllipsoid.h>
#include <utmReferencePoint.h>

namespace Vorant {

void DtUseMapDatum(const DtMapDatum& datum)
{
    // The global UTM reference point must stay on the process-wide datum.
    DtGlobalEllipsoid().useMapDatum(datum);
    DtGlobalUtmReferencePoint()->useMapDatum(datum);
}

}  // namespace Vorant
