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
#include <fstream>
#include <memory>
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

// Writes a GTX geoid grid into the test's temporary directory and returns its
// path: the header, then value(row, column) for rows from the south, all
// big-endian; extraBytes (may be negative) makes the size wrong on purpose.
inline std::string writeGtx(const std::string& name, double south, double west, double dLat, double dLon, int rows,
                            int columns, const std::function<float(int, int)>& value, long extraBytes = 0)
{
    std::string bytes;
    const auto put = [&](const void* p, std::size_t n) {
        for (std::size_t i = n; i-- > 0;)
            bytes += static_cast<const char*>(p)[i];
    };
    for (double d : {south, west, dLat, dLon})
        put(&d, 8);
    for (std::int32_t n : {std::int32_t(rows), std::int32_t(columns)})
        put(&n, 4);
    const std::size_t size = std::size_t(40 + 4L * rows * columns + extraBytes);
    for (int r = 0; r < rows && bytes.size() < size; ++r)
        for (int c = 0; c < columns; ++c) {
            const float v = value(r, c);
            put(&v, 4);
        }
    bytes.resize(size, '\0');
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return path;
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
