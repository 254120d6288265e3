#include <geodeticCoord.h>

#include "geoidGridDatum.h"

#include <qvutil/dtOutput.h>

#include <ostream>

namespace Vorant {

namespace {

// New coordinates get a geoid datum only when a geoid model is selected.
DtGeoidDatum* defaultGeoid()
{
    return theGeoidDatumType != DtGeoidNone ? new DtGeoidDatum(true, false) : nullptr;
}

// DtGeoidDatum has no virtual destructor by design: a datum over a grid is
// deleted as its own type, any other is the base type the coordinate made.
void deleteGeoid(DtGeoidDatum* geoid)
{
    if (detail::deleteGridGeoidDatum(geoid))
        return;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdelete-non-virtual-dtor"
    delete geoid;
#pragma GCC diagnostic pop
}

}  // namespace

DtGeodeticCoord::DtGeodeticCoord(const DtReferenceEllipsoid* ellipsoid)
    : DtVector64(), myEllipsoid(ellipsoid), myGeoid(defaultGeoid())
{
}

DtGeodeticCoord::DtGeodeticCoord(double lat, double lon, double h, const DtReferenceEllipsoid* ellipsoid)
    : DtVector64(lat, lon, h), myEllipsoid(ellipsoid), myGeoid(defaultGeoid())
{
}

DtGeodeticCoord::DtGeodeticCoord(const DtGeodeticCoord& other)
    : DtVector64(other), myEllipsoid(other.myEllipsoid), myGeoid(detail::copyGridGeoidDatum(other.myGeoid))
{
    if (myGeoid)   // over the same grid
        return;
    if (other.myGeoid)
        myGeoid = new DtGeoidDatum(other.myGeoid->geoidType(), other.myGeoid->cubic(), other.myGeoid->threadsafe());
    else
        myGeoid = new DtGeoidDatum(true, false);
}

DtGeodeticCoord& DtGeodeticCoord::operator=(const DtGeodeticCoord& other)
{
    if (this != &other) {
        DtVector64::operator=(other);
        myEllipsoid = other.myEllipsoid;
    }
    return *this;
}

DtGeodeticCoord::~DtGeodeticCoord()
{
    deleteGeoid(myGeoid);
}

DtGeodeticCoord& DtGeodeticCoord::setGeocentric(const DtVector64& geocentric)
{
    myEllipsoid->geocentricToGeodetic(geocentric, *this);
    return *this;
}

void DtGeodeticCoord::getGeocentric(DtVector64& geocentric) const
{
    myEllipsoid->geodeticToGeocentric(*this, geocentric);
}

DtVector64 DtGeodeticCoord::geocentric() const
{
    DtVector64 result;
    getGeocentric(result);
    return result;
}

// Always through the virtual table: DtInfo itself decides what is emitted.
void DtGeodeticCoord::printData() const
{
    printDataToStream(DtInfo);
}

void DtGeodeticCoord::printDataToStream(std::ostream& os) const
{
    os << "[ lat= " << lat() << " lon= " << lon() << " alt= " << alt() << " ]";
}

void DtGeodeticCoord::setLat(double lat)
{
    myV[0] = lat;
}

double DtGeodeticCoord::lat() const
{
    return myV[0];
}

void DtGeodeticCoord::setLon(double lon)
{
    myV[1] = lon;
}

double DtGeodeticCoord::lon() const
{
    return myV[1];
}

void DtGeodeticCoord::setAlt(double alt)
{
    if (myGeoid)
        myV[2] = alt + myGeoid->undulation(DtRad2Deg(myV[0]), DtRad2Deg(myV[1]));
    else
        myV[2] = alt;
}

double DtGeodeticCoord::alt() const
{
    if (myGeoid)
        return myV[2] - myGeoid->undulation(DtRad2Deg(myV[0]), DtRad2Deg(myV[1]));
    return myV[2];
}

const DtMapDatum& DtGeodeticCoord::mapDatum() const
{
    return myEllipsoid->mapDatum();
}

void DtGeodeticCoord::setGeoidGrid(std::shared_ptr<const DtGeoidGrid> grid, bool cubic)
{
    DtGeoidDatum* replacement = grid ? detail::newGridGeoidDatum(std::move(grid), cubic) : nullptr;
    deleteGeoid(myGeoid);
    myGeoid = replacement;
}

std::shared_ptr<const DtGeoidGrid> DtGeodeticCoord::geoidGrid() const
{
    return detail::gridOfGeoidDatum(myGeoid);
}

void DtGeodeticCoord::setGeoidDatumType(DtGeoidType type)
{
    deleteGeoid(myGeoid);
    myGeoid = nullptr;
    myGeoid = new DtGeoidDatum(type, true, false);
}

std::ostream& operator<<(std::ostream& os, const DtGeodeticCoord& coord)
{
    coord.printDataToStream(os);
    return os;
}

void DtGeocToGeod(const DtVector64& geocentric, DtGeodeticCoord& target)
{
    target.setGeocentric(geocentric);
}

void DtGeodToGeoc(const DtGeodeticCoord& source, DtVector64& geocentric)
{
    source.getGeocentric(geocentric);
}

}  // namespace Vorant
