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
/// capture or redirect it.
//
/// The stream itself decides from the level whether text is emitted, whatever
/// buffer it writes to and however the text reaches it: its printf-style
/// call, its insertion operators, or code holding it as a plain std::ostream&.
/// Every write passes a gate buffer that tests the level and forwards to the
/// buffer the user sees (rdbuf()). rdbuf() and rdbuf(sb) of this class get
/// and swap that user buffer behind the gate. A buffer swapped in through the
/// std::ios interface instead (code holding the stream as std::ostream&) is
/// gated too: the stream is tied to a hook that puts the gate in front of it
/// for the length of each write, and keeps unitbuf set so that it is taken
/// out again after the write; a caller that clears unitbuf or replaces tie()
/// gives that up. Writing to rdbuf()'s buffer directly bypasses the stream.
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

    /// The buffer the stream's text goes to (standard error's by default).
    std::streambuf* rdbuf() const;
    /// Sends the text to sb from now on (behind the level test) and clears the
    /// stream's state, as std::ios::rdbuf does; returns the previous buffer.
    std::streambuf* rdbuf(std::streambuf* sb);

private:
    /// @cond PRIVATE
    // (The buffers are the stream's own business: not in the reference.)
    // Writes to standard error, unbuffered.
    class StderrBuf : public std::streambuf
    {
    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override;
    };
    // Tests the level and forwards to the user's buffer.
    class GateBuf : public std::streambuf
    {
    public:
        explicit GateBuf(DtOutputStream& owner) : myOwner(owner) {}

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override;

    private:
        DtOutputStream& myOwner;
    };
    // The buffer of the hook stream: the stream's tie flushes it before every
    // write, which puts the gate in front of a buffer swapped in from outside.
    class HookBuf : public std::streambuf
    {
    public:
        explicit HookBuf(DtOutputStream& owner) : myOwner(owner) {}

    protected:
        int sync() override;

    private:
        DtOutputStream& myOwner;
    };
    /// @endcond

    void beforeWrite();
    void afterWrite();

    int myThreshold;
    StderrBuf myStderrBuf;
    GateBuf myGate;
    HookBuf myHookBuf;
    std::ostream myHook;
    std::streambuf* myTarget;    // the user's buffer, set through rdbuf(sb)
    std::streambuf* myForward;   // where the gate writes now: myTarget, or a buffer swapped in from outside
    bool myForeignWrite = false; // the gate stands in front of such a buffer for one write
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
