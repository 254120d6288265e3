// Arbitrary doubles (NaN, infinities, subnormals, huge values) through the
// conversions. Nothing may crash; the only exceptions allowed are the
// documented ones: DtException and std::runtime_error.
#include <3dChord.h>
#include <3dExtent.h>
#include <geodeticCoord.h>
#include <mapDatum.h>
#include <qvDcm.h>
#include <qvQuaternion.h>
#include <qvTaitBryan.h>
#include <referenceEllipsoid.h>
#include <topoCoord.h>
#include <utmReferencePoint.h>
#include <qvutil/dtException.h>
#include <qvutil/dtOutput.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>

using namespace Vorant;

namespace {

struct Reader
{
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    double next()
    {
        double v = 0;
        if (at + sizeof v <= size) {
            std::memcpy(&v, data + at, sizeof v);
            at += sizeof v;
        }
        return v;
    }
    std::uint8_t byte() { return at < size ? data[at++] : 0; }
};

const DtMapDatum* const kDatums[] = {&DtWGS84, &DtED50, &DtNASANAD27, &DtNASBNAD27, &DtCONUSNAD27};

void conversions(Reader& r)
{
    const std::uint8_t flags = r.byte();
    DtReferenceEllipsoid::setThrowExceptionOnConversionFrom0Geocentric(flags & 1);
    DtReferenceEllipsoid::setMaxIterationsForConvergence(flags & 2 ? 3 : 50);
    const DtReferenceEllipsoid e(*kDatums[r.byte() % 5]);

    const double a = r.next(), b = r.next(), c = r.next();
    DtVector64 out;
    e.geodeticToGeocentric(DtVector64(a, b, c), out);
    DtGeodeticCoord g(&e);
    try {
        g.setGeocentric(DtVector64(a, b, c));
    } catch (const DtException&) {
    } catch (const std::runtime_error&) {
    }

    DtUtmReferencePoint utm(DtUtmLatRef1_1, DtUtmLonRef1_1, flags & 4 ? 1 : 0, long(r.byte()) - 5, e.mapDatum(),
                            0.9996);
    double x, y;
    utm.geod2utm(a, b, &x, &y);
    utm.utm2geod(a, b, &x, &y);
    long zone = long(r.next() > 0 ? 1e6 : 0);
    utm.geod2utm(c, a, &zone, &x, &y);
    utm.utm2geod(c, a, long(r.byte()) * 1000000007L, &x, &y);
    (void)DtUtmGridZoneFromLatLon(a, b);

    const DtTaitBryan angles(a, b, c);
    DtDcm m(angles);
    DtTaitBryan back;
    DtBodyToRef_to_Euler(m, &back);
    const DtQuaternion q(angles);
    const DtTaitBryan fromQ(q);
    DtDcm fromQuat(q);
    DtDcmFixMatrix(fromQuat, r.byte() % 3);
    DtVector64 axis;
    DtDcmDcmRotAxis(m, fromQuat, axis);
    (void)DtDcmDcmRotAngle(m, fromQuat, 1e-9);

    const Dt3dExtent box(a, b, c, r.next(), r.next(), r.next());
    const Dt3dChord chord(Dt3dPoint(r.next(), r.next(), r.next()), Dt3dPoint(a, c, b));
    double tNear, tFar, t;
    (void)box.intersects(chord);
    (void)box.intersectsLineOfChord(chord, tNear, tFar);
    (void)chord.intersectsPlaneZEqualsAtPoint(c, t);
    (void)chord.collinearPointLiesWithin(Dt3dPoint(b, a, c));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = [] {
        DtNotifyLevel = 0;   // the notices of the polar axis are not under test
        return true;
    }();
    (void)quiet;
    Reader r{data, size};
    try {
        conversions(r);
    } catch (const DtException&) {
        // the iteration cap
    } catch (const std::runtime_error&) {
        // an undefined longitude, when so configured
    }
    return 0;
}
