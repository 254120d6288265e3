// Shared helpers for the test suites.
#ifndef QORMATRIX_TEST_SUPPORT_H
#define QORMATRIX_TEST_SUPPORT_H

#include <geoidDatum.h>
#include <referenceEllipsoid.h>
#include <utmReferencePoint.h>
#include <qvutil/dtOutput.h>

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>

namespace qmtest {

// Captures everything a stream writes while in scope, by swapping its buffer.
class Capture
{
public:
    explicit Capture(std::ostream& os) : myStream(os), mySaved(os.rdbuf(myBuffer.rdbuf())) {}
    ~Capture() { myStream.rdbuf(mySaved); }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    std::string text() const { return myBuffer.str(); }

private:
    std::ostream& myStream;
    std::ostringstream myBuffer;
    std::streambuf* mySaved;
};

// Sets the notification level for a scope and restores it afterwards.
class NotifyLevel
{
public:
    explicit NotifyLevel(int level) : mySaved(Vorant::DtNotifyLevel) { Vorant::DtNotifyLevel = level; }
    ~NotifyLevel() { Vorant::DtNotifyLevel = mySaved; }
    NotifyLevel(const NotifyLevel&) = delete;
    NotifyLevel& operator=(const NotifyLevel&) = delete;

private:
    int mySaved;
};

}  // namespace qmtest

// Restores the process-wide map datum, UTM reference point and settings.
class GlobalStateTest : public ::testing::Test
{
protected:
    GlobalStateTest() : mySavedDatum(Vorant::DtCurrentMapDatum()), mySavedPoint(*Vorant::DtGlobalUtmReferencePoint()) {}
    ~GlobalStateTest() override
    {
        using namespace Vorant;
        DtGlobalEllipsoid().useMapDatum(mySavedDatum);
        *DtGlobalUtmReferencePoint() = mySavedPoint;
        DtUtmReferencePoint::setLongitudeFudgeFactor(0.0);
        DtReferenceEllipsoid::setMaxIterationsForConvergence(5000);
        DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(true);
        DtReferenceEllipsoid::setThrowExceptionOnConversionFrom0Geocentric(false);
        setTheGeoidDatumType(DtGeoidNone);
        setTheGeoidDatumPath("../data/geoids");
    }

private:
    Vorant::DtMapDatum mySavedDatum;
    Vorant::DtUtmReferencePoint mySavedPoint;
};

#endif
