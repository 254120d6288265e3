// Shared helpers for the test suites.
#ifndef QORMATRIX_TEST_SUPPORT_H
#define QORMATRIX_TEST_SUPPORT_H

#include <qvutil/dtOutput.h>

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

#endif
