// Shared helpers for the test suites.
#ifndef QORMATRIX_TEST_SUPPORT_H
#define QORMATRIX_TEST_SUPPORT_H

#include <qvutil/dtOutput.h>

#include <cstdint>
#include <cstring>
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

inline std::uint64_t bits(double v)
{
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

inline std::uint32_t bits(float v)
{
    std::uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

}  // namespace qmtest

// Bit-for-bit equality: tells -0.0 from +0.0 and matches NaN with NaN of the
// same payload.
#define EXPECT_BITEQ(a, b) EXPECT_EQ(qmtest::bits(a), qmtest::bits(b)) << #a " = " << (a) << ", " #b " = " << (b)

#endif
