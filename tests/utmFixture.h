// Saves and restores the process-wide datum and the global UTM reference point.
#ifndef QORMATRIX_UTM_FIXTURE_H
#define QORMATRIX_UTM_FIXTURE_H

#include <mapDatum.h>
#include <referenceEllipsoid.h>
#include <utmReferencePoint.h>

#include <gtest/gtest.h>

class GlobalStateTest : public ::testing::Test
{
protected:
    GlobalStateTest()
        : mySavedDatum(Vorant::DtCurrentMapDatum()), mySavedPoint(*Vorant::DtGlobalUtmReferencePoint())
    {
    }
    ~GlobalStateTest() override
    {
        Vorant::DtGlobalEllipsoid().useMapDatum(mySavedDatum);
        *Vorant::DtGlobalUtmReferencePoint() = mySavedPoint;
        Vorant::DtUtmReferencePoint::setLongitudeFudgeFactor(0.0);
    }

private:
    Vorant::DtMapDatum mySavedDatum;
    Vorant::DtUtmReferencePoint mySavedPoint;
};

#endif
