// Notification streams, the notification level and the fatal-error report.
#ifndef QORMATRIX_QVUTIL_DT_OUTPUT_H
#define QORMATRIX_QVUTIL_DT_OUTPUT_H

#include <qvutil/dtExport.h>

#include <climits>
#include <ostream>
#include <streambuf>

namespace Vorant {

/// Process-wide notification level. A stream emits only when this level is at
/// or above the stream's threshold. Setting it to 10 makes every stream emit.
extern DT_EXPORT int DtNotifyLevel;

/// Thresholds of the streams; the default level is DtLevelInfo, so warnings and
/// information are emitted and debugging text is not. Some conversions add
/// their own test of the level (information only above 1).
enum DtNotifyThreshold
{
    DtLevelAlways = INT_MIN,
    DtLevelWarn = 1,
    DtLevelInfo = 2,
    DtLevelDebug = 3
};

/// A notification stream. Use it printf-style, stream(fmt, ...), or as a
/// std::ostream. Text goes to standard error by default; swap rdbuf() to
/// capture or redirect it. Both uses write through the std::ostream interface,
/// so a swapped buffer receives everything the stream emits.
//
/// The level test happens in the printf-style call and in the stream's own
/// insertion operators below; the default buffer repeats it, so that text
/// inserted through a plain std::ostream& is gated as well while the stream
/// writes to standard error.
class DT_EXPORT DtOutputStream : public std::ostream
{
public:
    explicit DtOutputStream(int threshold);
    ~DtOutputStream() override;
    DtOutputStream(const DtOutputStream&) = delete;
    DtOutputStream& operator=(const DtOutputStream&) = delete;

    /// True when the current notification level lets this stream emit.
    bool enabled() const { return DtNotifyLevel >= myThreshold; }
    int threshold() const { return myThreshold; }

    /// printf-style output of any length; nothing is truncated.
    DtOutputStream& operator()(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    class StderrBuf : public std::streambuf
    {
    public:
        explicit StderrBuf(const DtOutputStream& owner) : myOwner(owner) {}

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override;

    private:
        const DtOutputStream& myOwner;
    };

    int myThreshold;
    StderrBuf myDefaultBuf;
};

/// Insertion into a notification stream honours the level.
template <class T>
DtOutputStream& operator<<(DtOutputStream& os, const T& value)
{
    if (os.enabled())
        static_cast<std::ostream&>(os) << value;
    return os;
}

inline DtOutputStream& operator<<(DtOutputStream& os, std::ostream& (*manipulator)(std::ostream&))
{
    if (os.enabled())
        manipulator(os);
    return os;
}

extern DT_EXPORT DtOutputStream DtInfo;
extern DT_EXPORT DtOutputStream DtWarn;
extern DT_EXPORT DtOutputStream DtDebug;
/// The stream behind DtFatalError: it emits at every level.
extern DT_EXPORT DtOutputStream DtFatal;

/// Reports an impossible request on DtFatal, whatever the level, and returns.
DT_EXPORT void DtFatalError(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace Vorant

#endif
