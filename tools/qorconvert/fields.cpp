#include "fields.h"

#include <utmCoord.h>
#include <utmReferencePoint.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace qorconvert {

namespace {

// A plain decimal such as -74.006 with at most 15 digits: the digits as an
// integer, divided by a power of ten. Both are exact doubles, so the one
// division rounds correctly, as strtod does. False for any other form.
bool parseSimpleDecimal(const char* s, std::size_t n, double& out)
{
    static const double kPow10[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = s;
    const char* const end = s + n;
    const bool negative = p != end && *p == '-';
    p += negative ? 1 : 0;
    std::uint64_t digits = 0;
    int count = 0, decimals = -1;
    for (; p != end; ++p) {
        if (*p >= '0' && *p <= '9') {
            digits = digits * 10 + std::uint64_t(*p - '0');
            if (++count > 15)
                return false;
            decimals += decimals >= 0 ? 1 : 0;
        } else if (*p == '.' && decimals < 0) {
            decimals = 0;
        } else {
            return false;
        }
    }
    if (count == 0)
        return false;
    const double v = decimals > 0 ? double(digits) / kPow10[decimals] : double(digits);
    out = negative ? -v : v;
    return true;
}

std::string quoted(const char* s, std::size_t n)
{
    std::string text(s, n < 40 ? n : 40);
    if (n > 40)
        text += "...";
    return "'" + text + "'";
}

// Degrees, minutes and seconds to decimal degrees through the library's own
// reference-point helper, the sign from the hemisphere.
double dmsToDegrees(const Vorant::DtDegMinSec& a)
{
    static const Vorant::DtUtmReferencePoint helper;
    const double dms[3] = {a.degrees, a.minutes, a.seconds};
    double out;
    helper.degree(dms, &out);
    return (a.hemisphere == Vorant::DtSouth || a.hemisphere == Vorant::DtWest) ? -out : out;
}

bool hemisphereOf(char c, Vorant::DtHemisphere& h)
{
    switch (std::toupper(static_cast<unsigned char>(c))) {
    case 'N':
        h = Vorant::DtNorth;
        return true;
    case 'S':
        h = Vorant::DtSouth;
        return true;
    case 'E':
        h = Vorant::DtEast;
        return true;
    case 'W':
        h = Vorant::DtWest;
        return true;
    default:
        return false;
    }
}

// Reads an unsigned decimal number at s (no sign), advancing s.
bool readUnsigned(const char*& s, const char* end, double& out)
{
    if (s == end || !(std::isdigit(static_cast<unsigned char>(*s)) || *s == '.'))
        return false;
    char buffer[64];
    std::size_t k = 0;
    while (s != end && (std::isdigit(static_cast<unsigned char>(*s)) || *s == '.') && k + 1 < sizeof buffer)
        buffer[k++] = *s++;
    buffer[k] = '\0';
    char* stop = nullptr;
    out = std::strtod(buffer, &stop);
    return stop == buffer + k && std::isfinite(out);
}

bool isDegreeMark(const char*& s, const char* end)
{
    if (s != end && (*s == 'd' || *s == 'D' || *s == ':')) {
        ++s;
        return true;
    }
    // The UTF-8 degree sign.
    if (end - s >= 2 && static_cast<unsigned char>(s[0]) == 0xC2 && static_cast<unsigned char>(s[1]) == 0xB0) {
        s += 2;
        return true;
    }
    return false;
}

}  // namespace

void splitFields(const char* line, std::size_t size, Fields& out)
{
    static const struct Table
    {
        bool separator[256] = {};
        Table()
        {
            for (const char c : {' ', '\t', ',', '\r', '\n'})
                separator[static_cast<unsigned char>(c)] = true;
        }
    } table;
    const auto separator = [](char c) { return table.separator[static_cast<unsigned char>(c)]; };
    out.count = 0;
    out.tooMany = false;
    std::size_t i = 0;
    while (i < size) {
        while (i < size && separator(line[i]))
            ++i;
        if (i == size)
            break;
        const std::size_t start = i;
        while (i < size && !separator(line[i]))
            ++i;
        if (out.count == Fields::kMax) {
            out.tooMany = true;
            return;
        }
        out.begin[out.count] = line + start;
        out.length[out.count] = i - start;
        ++out.count;
    }
}

namespace {

__extension__ typedef unsigned __int128 Wide;   // g++ and clang++ on 64-bit targets

// "%.*f" of v when v * 10^decimals is below 2^64 (the common case here): the
// binary value times 10^decimals exactly in 128 bits, rounded half to even
// like printf. Writes from `end` backwards; returns the start, or null when
// the value is out of this path's range.
char* fixedDigits(double v, int decimals, char* end)
{
    static const std::uint64_t kPow10[16] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000,
                                             1000000000, 10000000000, 100000000000, 1000000000000,
                                             10000000000000, 100000000000000, 1000000000000000};
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const int exponent = int((bits >> 52) & 0x7ff);
    if (decimals < 0 || decimals > 15 || exponent == 0x7ff || exponent > 1075 + 10)
        return nullptr;
    const std::uint64_t mantissa = exponent ? (bits & ((std::uint64_t(1) << 52) - 1)) | (std::uint64_t(1) << 52)
                                            : bits & ((std::uint64_t(1) << 52) - 1);
    const int shift = (exponent ? exponent : 1) - 1075;   // v = mantissa * 2^shift
    Wide n = static_cast<Wide>(mantissa) * kPow10[decimals];
    if (shift >= 0) {
        n <<= shift;
    } else if (shift <= -128) {
        n = 0;   // below half a unit of the last place
    } else {
        const Wide rest = n & ((static_cast<Wide>(1) << -shift) - 1);
        const Wide half = static_cast<Wide>(1) << (-shift - 1);
        n >>= -shift;
        if (rest > half || (rest == half && (n & 1)))
            ++n;
    }
    if (n >> 64)
        return nullptr;
    static const char kPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                 "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                 "8081828384858687888990919293949596979899";
    std::uint64_t q = static_cast<std::uint64_t>(n);
    const bool negative = (bits >> 63) && q != 0;   // a value that rounds to zero is written without a sign
    char* p = end;
    int place = 0;   // the decimals, leading zeros included, two at a time where they can
    for (; place + 1 < decimals; place += 2, q /= 100) {
        p -= 2;
        std::memcpy(p, kPairs + 2 * (q % 100), 2);
    }
    for (; place < decimals; ++place, q /= 10)
        *--p = char('0' + q % 10);
    if (decimals > 0)
        *--p = '.';
    do {   // the integer part, at least one digit
        if (q >= 10) {
            p -= 2;
            std::memcpy(p, kPairs + 2 * (q % 100), 2);
            q /= 100;
        } else {
            *--p = char('0' + q);
            q = 0;
        }
    } while (q != 0);
    if (negative)
        *--p = '-';
    return p;
}

}  // namespace

// The text of "%.*f" (exactly rounded, and whatever the locale), in full.
void appendFixed(std::string& out, double v, int decimals)
{
    char digits[48];
    if (const char* p = fixedDigits(v, decimals, digits + sizeof digits)) {
        out.append(p, std::size_t(digits + sizeof digits - p));
        return;
    }
    char buffer[400];   // 309 integer digits, a point, 30 decimals at the most
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    const std::size_t length = std::size_t(r.ptr - buffer);
    // A value that rounds to zero is written without a sign ("-0.000" reads badly).
    bool negativeZero = buffer[0] == '-';
    for (std::size_t i = 1; i < length && negativeZero; ++i)
        negativeZero = buffer[i] == '0' || buffer[i] == '.';
    out.append(buffer + (negativeZero ? 1 : 0), length - (negativeZero ? 1 : 0));
}

bool parseNumber(const char* s, std::size_t n, double& out)
{
    char buffer[64];
    if (n == 0 || n >= sizeof buffer)
        return false;
    // The plainest form first; from_chars reads the other common forms,
    // correctly rounded like strtod and whatever the locale; the rest (a
    // leading +, hexadecimal, values beyond the range) goes to strtod, which
    // settles them as it always has.
    if (parseSimpleDecimal(s, n, out))
        return true;
    const std::from_chars_result fast = std::from_chars(s, s + n, out);
    if (fast.ec == std::errc() && fast.ptr == s + n)
        return std::isfinite(out);
    std::memcpy(buffer, s, n);
    buffer[n] = '\0';
    char* stop = nullptr;
    out = std::strtod(buffer, &stop);
    return stop == buffer + n && std::isfinite(out);
}

bool parseAngle(const char* s, std::size_t n, AngleKind kind, bool inRadians, double& degrees, std::string& why)
{
    const char* const end = s + n;
    Vorant::DtHemisphere hemisphere = Vorant::DtNorth;
    bool haveLetter = false;
    double value;
    if (parseNumber(s, n, value)) {
        // A plain signed number.
        degrees = inRadians ? Vorant::DtRad2Deg(value) : value;
    } else if (n > 1 && hemisphereOf(s[n - 1], hemisphere) && parseNumber(s, n - 1, value)) {
        // Decimal degrees with a hemisphere letter.
        haveLetter = true;
        if (value < 0) {
            why = "a hemisphere letter needs a positive angle in " + quoted(s, n);
            return false;
        }
        degrees = (hemisphere == Vorant::DtSouth || hemisphere == Vorant::DtWest) ? -value : value;
    } else {
        // Degrees, minutes and seconds, read into the library's own type.
        const char* p = s;
        bool negative = false;
        if (p != end && (*p == '-' || *p == '+')) {
            negative = *p == '-';
            ++p;
        }
        Vorant::DtDegMinSec a{0.0, 0.0, 0.0, Vorant::DtNorth};
        if (!readUnsigned(p, end, a.degrees) || !isDegreeMark(p, end)) {
            why = quoted(s, n) + " is not a number or an angle";
            return false;
        }
        if (p != end && (std::isdigit(static_cast<unsigned char>(*p)) || *p == '.')) {
            if (!readUnsigned(p, end, a.minutes) || p == end || !(*p == '\'' || *p == 'm' || *p == ':')) {
                why = "cannot read the minutes of " + quoted(s, n);
                return false;
            }
            ++p;
            if (p != end && (std::isdigit(static_cast<unsigned char>(*p)) || *p == '.')) {
                if (!readUnsigned(p, end, a.seconds)) {
                    why = "cannot read the seconds of " + quoted(s, n);
                    return false;
                }
                if (end - p >= 2 && p[0] == '\'' && p[1] == '\'')
                    p += 2;
                else if (p != end && (*p == '"' || *p == 's'))
                    ++p;
            }
        }
        if (p != end) {
            if (end - p != 1 || !hemisphereOf(*p, hemisphere)) {
                why = "cannot read " + quoted(s, n) + " as degrees, minutes and seconds";
                return false;
            }
            if (negative) {
                why = "a hemisphere letter needs a positive angle in " + quoted(s, n);
                return false;
            }
            haveLetter = true;
            a.hemisphere = hemisphere;
        } else if (negative) {
            a.hemisphere = Vorant::DtSouth;   // only the sign matters here
        }
        if (a.minutes >= 60 || a.seconds >= 60) {
            why = "minutes and seconds must be below 60 in " + quoted(s, n);
            return false;
        }
        degrees = dmsToDegrees(a);
    }

    if (haveLetter) {
        const bool latitudeLetter = hemisphere == Vorant::DtNorth || hemisphere == Vorant::DtSouth;
        if (kind == AngleKind::Plain || (kind == AngleKind::Latitude) != latitudeLetter) {
            why = "the hemisphere letter of " + quoted(s, n) + " does not fit " +
                  (kind == AngleKind::Latitude ? "a latitude" : kind == AngleKind::Longitude ? "a longitude" : "an angle");
            return false;
        }
    }
    if (kind == AngleKind::Latitude && !(degrees >= -90.0 && degrees <= 90.0)) {
        why = "latitude " + quoted(s, n) + " is beyond +/-90 degrees";
        return false;
    }
    return true;
}

bool parseZone(const char* s, std::size_t n, long& zone, bool& north, std::string& why)
{
    std::size_t digits = 0;
    while (digits < n && std::isdigit(static_cast<unsigned char>(s[digits])))
        ++digits;
    if (digits == 0 || digits > 2 || n - digits != 1) {
        why = quoted(s, n) + " is not a UTM zone such as 18N or 33S";
        return false;
    }
    zone = digits == 1 ? s[0] - '0' : (s[0] - '0') * 10 + (s[1] - '0');
    if (zone < 1 || zone > 60) {
        why = "zone " + std::to_string(zone) + " is not a UTM zone (1 to 60)";
        return false;
    }
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(s[digits])));
    if (letter == 'N' || letter == 'S') {
        north = letter == 'N';
        return true;
    }
    // Latitude band letters: C to X without I and O.
    if (letter >= 'C' && letter <= 'X' && letter != 'I' && letter != 'O') {
        north = letter >= 'N';
        return true;
    }
    why = std::string("unknown zone letter '") + s[digits] + "' in " + quoted(s, n);
    return false;
}

}  // namespace qorconvert
