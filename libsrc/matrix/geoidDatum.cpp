#include <geoidDatum.h>

namespace Vorant {

DtGeoidType theGeoidDatumType = DtGeoidNone;
DtString theGeoidDataPath("../data/geoids");

void setTheGeoidDatumType(DtGeoidType type)
{
    theGeoidDatumType = type;
}

void setTheGeoidDatumPath(DtString path)
{
    theGeoidDataPath = path;
}

DtGeoidDatum::DtGeoidDatum(bool cubic, bool threadsafe) : gridData(nullptr)
{
    initGeoid(theGeoidDatumType, theGeoidDataPath, cubic, threadsafe);
}

DtGeoidDatum::DtGeoidDatum(DtGeoidType type, bool cubic, bool threadsafe) : gridData(nullptr)
{
    initGeoid(type, theGeoidDataPath, cubic, threadsafe);
}

DtGeoidDatum::DtGeoidDatum(DtString path, bool cubic, bool threadsafe) : gridData(nullptr)
{
    initGeoid(theGeoidDatumType, path, cubic, threadsafe);
}

DtGeoidDatum::~DtGeoidDatum()
{
    if (gridData) {
        delete gridData;
        gridData = nullptr;
    }
}

void DtGeoidDatum::initGeoid(DtGeoidType type, DtString path, bool cubic, bool threadsafe)
{
    myType = type;
    myPath = path;
    myCubic = cubic;
    myThreadsafe = threadsafe;
}

double DtGeoidDatum::undulation(double, double)
{
    return 0.0;
}

void DtGeoidDatum::cacheArea(double, double, double, double) {}

void DtGeoidDatum::cacheAll() {}

DtGeoidType DtGeoidDatum::geoidType()
{
    return myType;
}

DtString DtGeoidDatum::geoidPath()
{
    return myPath;
}

bool DtGeoidDatum::cubic()
{
    return myCubic;
}

bool DtGeoidDatum::threadsafe()
{
    return myThreadsafe;
}

}  // namespace Vorant
