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

// Formats into a stack buffer when the text fits, on the heap otherwise, and
// writes the whole text through the stream.
void writeFormatted(std::ostream& os, const char* format, va_list args)
{
    if (!format)
        return;
    char small[512];
    va_list again;
    va_copy(again, args);
    // (The analyzer does not see the va_start of the callers.)
    const int needed = std::vsnprintf(small, sizeof small, format, args);   // NOLINT(clang-analyzer-valist.Uninitialized)
    if (needed < 0) {
        va_end(again);
        return;
    }
    if (static_cast<std::size_t>(needed) < sizeof small) {
        os.write(small, needed);
    } else {
        std::vector<char> big(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(big.data(), big.size(), format, again);
        os.write(big.data(), needed);
    }
    va_end(again);
}

}  // namespace

DtOutputStream::DtOutputStream(int threshold)
    : std::ostream(nullptr), myThreshold(threshold), myDefaultBuf(*this)
{
    rdbuf(&myDefaultBuf);
}

DtOutputStream::~DtOutputStream()
{
    // Never leave the stream pointing at a buffer that dies with it.
    rdbuf(nullptr);
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

DtOutputStream::StderrBuf::int_type DtOutputStream::StderrBuf::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    if (myOwner.enabled())
        std::fputc(traits_type::to_char_type(c), stderr);
    return c;
}

std::streamsize DtOutputStream::StderrBuf::xsputn(const char* s, std::streamsize n)
{
    if (n > 0 && myOwner.enabled())
        std::fwrite(s, 1, static_cast<std::size_t>(n), stderr);
    return n;
}

int DtOutputStream::StderrBuf::sync()
{
    std::fflush(stderr);
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
