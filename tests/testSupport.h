// What every suite includes: the library, GoogleTest, the standard headers the
// suites use, and the shared helpers.
#ifndef QORMATRIX_TEST_SUPPORT_H
#define QORMATRIX_TEST_SUPPORT_H

#include "digest.h"

#include <qormatrix.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace qmtest {

// Captures everything a stream writes while in scope, by swapping its buffer.
class Capture
{
public:
    explicit Capture(std::ostream& os) : myStream(os), mySaved(os.rdbuf(myBuffer.rdbuf())) {}
    ~Capture() { myStream.rdbuf(mySaved); }
    Capture(const Capture&) = delete;   // (and so no assignment)

    std::string text() const { return myBuffer.str(); }

private:
    std::ostream& myStream;
    std::ostringstream myBuffer;
    std::streambuf* mySaved;
};

// The call throws a DtException as the library builds them: the text after
// "DtException: ", the signature, the file's base name, a line, no predecessor.
inline void expectThrows(const std::function<void()>& call, const std::string& text, const char* signature, const char* file)
{
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const Vorant::DtException& e) {
        EXPECT_EQ(std::string(e.what()), "DtException: " + text);
        EXPECT_TRUE(e.signature() == signature && e.file() == file && e.line() > 0 && !e.predecessor()) << e.signature();
    }
}

// Sets the notification level for a scope and restores it afterwards.
class NotifyLevel
{
public:
    explicit NotifyLevel(int level) : mySaved(Vorant::DtNotifyLevel) { Vorant::DtNotifyLevel = level; }
    ~NotifyLevel() { Vorant::DtNotifyLevel = mySaved; }
    NotifyLevel(const NotifyLevel&) = delete;

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
