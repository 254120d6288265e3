#include <utmCoord.h>

#include <geodeticCoord.h>
#include <qvDcm.h>
#include <topoCoord.h>
#include <utmReferencePoint.h>
#include <qvutil/dtOutput.h>

#include <cmath>

namespace Vorant {

namespace {

// North-east-down to east-north-up and back: the matrix is its own inverse.
const DtDcm aNedEnuDcm(0.0, 1.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, -1.0);

const double kDeclinationStep = 0.0001;   // radians of latitude, about 20.6"

const char* const kDatumMismatch =
    "The geodetic coord passed to DtUtmCoord::setGeodetic is not using the same reference ellipsoid\n";

// Grid declination from a UTM position and its geodetic twin; moves the
// geodetic coordinate north by the step.
double DtCalculateGridDeclination(const DtUtmCoord& utm, DtGeodeticCoord& geodetic)
{
    geodetic.setLat(geodetic.lat() + kDeclinationStep);
    DtUtmCoord stepped(utm);
    DtGeodToUtm(geodetic, stepped);
    const double dN = stepped.north() - utm.north();
    const double dE = stepped.east() - utm.east();
    return std::atan2(-dE, dN);
}

}  // namespace

const DtDcm& DtNedToEnuDcm()
{
    return aNedEnuDcm;
}

const DtDcm& DtEnuToNedDcm()
{
    return aNedEnuDcm;
}

// ---- degrees, minutes, seconds ------------------------------------------------------

void DtDegMinSec::setFromDegrees(double deg)
{
    if (deg < 0) {
        degrees = std::ceil(deg);
        const double r = 60 * (deg - degrees);
        minutes = std::ceil(r);
        seconds = 60 * (r - minutes);
        degrees = std::fabs(degrees);
        minutes = std::fabs(minutes);
        seconds = std::fabs(seconds);
    } else {
        degrees = std::floor(deg);
        const double r = 60 * (deg - degrees);
        minutes = std::floor(r);
        seconds = 60 * (r - minutes);
    }
}

void DtDegMinSec::setLatFromDegrees(double deg)
{
    setFromDegrees(deg);
    hemisphere = deg >= 0 ? DtNorth : DtSouth;
}

void DtDegMinSec::setLonFromDegrees(double deg)
{
    setFromDegrees(deg);
    hemisphere = deg >= 0 ? DtEast : DtWest;
}

// ---- UTM coordinate ---------------------------------------------------------------------

DtUtmCoord::DtUtmCoord(DtUtmReferencePoint* refPoint) : DtVector64(), myRefPoint(refPoint) {}

DtUtmCoord::DtUtmCoord(double east, double north, double up, DtUtmReferencePoint* refPoint)
    : DtVector64(east, north, up), myRefPoint(refPoint)
{
}

DtUtmCoord::DtUtmCoord(const DtGeodeticCoord& geodetic, DtUtmReferencePoint* refPoint)
    : DtVector64(), myRefPoint(refPoint)
{
    // During construction this class's own conversion is the one meant.
    DtUtmCoord::setGeodetic(geodetic);
}

DtUtmCoord& DtUtmCoord::operator=(const DtUtmCoord& other)
{
    if (this != &other) {
        DtVector64::operator=(other);
        myRefPoint = other.myRefPoint;
    }
    return *this;
}

DtUtmCoord& DtUtmCoord::operator=(const DtGeodeticCoord& geodetic)
{
    return setGeodetic(geodetic);
}

DtUtmCoord::~DtUtmCoord() = default;

DtUtmCoord& DtUtmCoord::setGeodetic(const DtGeodeticCoord& geodetic)
{
    if (geodetic.mapDatum() != myRefPoint->mapDatum())
        DtWarn << kDatumMismatch;
    myRefPoint->geod2utm(geodetic.lat(), geodetic.lon(), &myV[0], &myV[1]);
    setUp(geodetic.alt());   // NOLINT(clang-analyzer-optin.cplusplus.VirtualCall): see the constructor
    return *this;
}

void DtUtmCoord::getGeodetic(DtGeodeticCoord& geodetic) const
{
    if (geodetic.mapDatum() != myRefPoint->mapDatum())
        DtWarn << kDatumMismatch;
    myRefPoint->utm2geod(east(), north(), &geodetic[0], &geodetic[1]);
    geodetic.setAlt(up());
}

DtGeodeticCoord DtUtmCoord::geodetic() const
{
    DtGeodeticCoord result(myRefPoint->ellipsoid());
    getGeodetic(result);
    return result;
}

DtUtmCoord& DtUtmCoord::setGeocentric(const DtVector64& geocentric)
{
    DtGeodeticCoord g(myRefPoint->ellipsoid());
    g.setGeocentric(geocentric);
    return setGeodetic(g);
}

void DtUtmCoord::getGeocentric(DtVector64& geocentric) const
{
    DtGeodeticCoord g(myRefPoint->ellipsoid());
    getGeodetic(g);
    g.getGeocentric(geocentric);
}

DtVector64 DtUtmCoord::geocentric() const
{
    DtVector64 result;
    getGeocentric(result);
    return result;
}

void DtUtmCoord::setEast(double east) { myV[0] = east; }
double DtUtmCoord::east() const { return myV[0]; }
void DtUtmCoord::setNorth(double north) { myV[1] = north; }
double DtUtmCoord::north() const { return myV[1]; }
void DtUtmCoord::setUp(double up) { myV[2] = up; }
double DtUtmCoord::up() const { return myV[2]; }

double DtUtmCoord::gridDeclination() const
{
    DtGeodeticCoord g(myRefPoint->ellipsoid());
    getGeodetic(g);
    g.setLat(g.lat() + kDeclinationStep);
    DtUtmCoord stepped(myRefPoint);
    DtGeodToUtm(g, stepped);
    const double dN = stepped.north() - north();
    const double dE = stepped.east() - east();
    return std::atan2(-dE, dN);
}

void DtGeodToUtm(const DtGeodeticCoord& geodetic, DtUtmCoord& utm)
{
    utm.setGeodetic(geodetic);
}

void DtUtmToGeod(const DtUtmCoord& utm, DtGeodeticCoord& geodetic)
{
    utm.getGeodetic(geodetic);
}

void DtGeocToUtm(const DtVector64& geocentric, DtUtmCoord& utm)
{
    utm.setGeocentric(geocentric);
}

void DtUtmToGeoc(const DtUtmCoord& utm, DtVector64& geocentric)
{
    utm.getGeocentric(geocentric);
}

// ---- grid declination ---------------------------------------------------------------------

double DtUtmGridDeclination(const DtUtmCoord& utm)
{
    return utm.gridDeclination();
}

double DtUtmGridDeclination(double lat, double lon)
{
    DtGeodeticCoord g(lat, lon, 0.0, &DtGlobalEllipsoid());
    DtUtmCoord utm(DtGlobalUtmReferencePoint());
    DtGeodToUtm(g, utm);
    return DtCalculateGridDeclination(utm, g);
}

void DtGridDeclinationDcm(double gridDeclination, DtDcm& out)
{
    const double c = std::cos(gridDeclination);
    const double s = std::sin(gridDeclination);
    out[0].setAll(-s, c, 0.0);
    out[1].setAll(c, s, 0.0);
    out[2].setAll(0.0, 0.0, -1.0);
}

}  // namespace Vorant
