#include <qvutil/dtOutput.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace Vorant {

int DtNotifyLevel = DtLevelInfo;

DtOutputStream DtInfo(DtLevelInfo);
DtOutputStream DtWarn(DtLevelWarn);
DtOutputStream DtDebug(DtLevelDebug);
DtOutputStream DtFatal(DtLevelAlways);

namespace {

// Measures the text, formats it into a buffer of its size and writes it
// through the stream (notifications are rare: one path for every length).
void writeFormatted(std::ostream& os, const char* format, va_list args)
{
    if (!format)
        return;
    va_list again;
    va_copy(again, args);
    // (The analyzer does not see the va_start of the callers.)
    const int needed = std::vsnprintf(nullptr, 0, format, args);   // NOLINT(clang-analyzer-valist.Uninitialized)
    if (needed > 0) {   // (negative: a conversion the C library cannot encode; nothing is written)
        std::vector<char> text(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        os.write(text.data(), needed);
    }
    va_end(again);
}

}  // namespace

DtOutputStream::DtOutputStream(int threshold)
    : std::ostream(nullptr), myThreshold(threshold), myGate(*this), myHookBuf(*this), myHook(&myHookBuf),
      myTarget(&myStderrBuf), myForward(&myStderrBuf)
{
    std::ios::rdbuf(&myGate);
    tie(&myHook);
    setf(std::ios::unitbuf);
}

DtOutputStream::~DtOutputStream()
{
    // Never leave the stream pointing at buffers that die with it.
    tie(nullptr);
    std::ios::rdbuf(nullptr);
}

std::streambuf* DtOutputStream::rdbuf() const
{
    const std::streambuf* const installed = std::ios::rdbuf();
    if (installed != &myGate)
        return std::ios::rdbuf();   // swapped in through the std::ios interface
    return myForeignWrite ? myForward : myTarget;
}

std::streambuf* DtOutputStream::rdbuf(std::streambuf* sb)
{
    std::streambuf* const previous = rdbuf();
    myTarget = sb;
    myForward = sb;
    myForeignWrite = false;
    std::ios::rdbuf(&myGate);
    return previous;
}

// Before every write (the sentry flushes the tie): the gate goes in front of
// a buffer swapped in through the std::ios interface, for this write only.
// With the gate in place already nothing is written here, so that threads
// emitting at once do not race on the stream.
void DtOutputStream::beforeWrite()
{
    std::streambuf* const installed = std::ios::rdbuf();
    if (installed == &myGate) {
        if (!myForeignWrite && myForward != myTarget)
            myForward = myTarget;   // the gate was put back from outside
        return;
    }
    myForward = installed;
    myForeignWrite = true;
    set_rdbuf(&myGate);   // (keeps the stream's state, unlike rdbuf(sb))
}

// After every write (unitbuf syncs the buffer): the outside buffer goes back.
void DtOutputStream::afterWrite()
{
    if (myForeignWrite) {
        myForeignWrite = false;
        set_rdbuf(myForward);
    }
}

DtOutputStream& DtOutputStream::operator()(const char* format, ...)
{
    if (!enabled())
        return *this;
    va_list args;
    va_start(args, format);
    writeFormatted(*this, format, args);
    va_end(args);
    return *this;
}

// Standard error's failures are not the stream's: a message that cannot be
// written is lost, and the stream stays good for the next one.
DtOutputStream::StderrBuf::int_type DtOutputStream::StderrBuf::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    std::fputc(traits_type::to_char_type(c), stderr);
    return c;
}

std::streamsize DtOutputStream::StderrBuf::xsputn(const char* s, std::streamsize n)
{
    if (n > 0)
        std::fwrite(s, 1, static_cast<std::size_t>(n), stderr);
    return n;
}

int DtOutputStream::StderrBuf::sync()
{
    return std::fflush(stderr);   // 0, or EOF (-1) as a stream buffer reports failure
}

// Text the level holds back counts as written: the stream stays good.
DtOutputStream::GateBuf::int_type DtOutputStream::GateBuf::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    if (!myOwner.enabled())
        return c;
    return myOwner.myForward ? myOwner.myForward->sputc(traits_type::to_char_type(c)) : traits_type::eof();
}

std::streamsize DtOutputStream::GateBuf::xsputn(const char* s, std::streamsize n)
{
    if (!myOwner.enabled())
        return n;
    return myOwner.myForward ? myOwner.myForward->sputn(s, n) : 0;
}

int DtOutputStream::GateBuf::sync()
{
    std::streambuf* const to = myOwner.myForward;
    myOwner.afterWrite();
    return to ? to->pubsync() : 0;
}

int DtOutputStream::HookBuf::sync()
{
    myOwner.beforeWrite();
    return 0;
}

void DtFatalError(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    writeFormatted(DtFatal, format, args);
    va_end(args);
    DtFatal.flush();
}

}  // namespace Vorant
