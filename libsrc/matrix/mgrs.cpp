#include "mgrs.h"

#include "diagnostics.h"
#include "fastTrig.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace Vorant {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDegree = kPi / 180;
constexpr double kSquare = 1e5;
constexpr int kMaxDigits = 11;

constexpr char kBands[] = "CDEFGHJKLMNPQRSTUVWX";
constexpr const char* kColumns[3] = {"ABCDEFGH", "JKLMNPQR", "STUVWXYZ"};
constexpr char kRows[] = "ABCDEFGHJKLMNPQRSTUV";
// UPS: columns and rows by polar letter, and the 100 km index of their first letter.
struct UpsLetters
{
    const char* columns;
    const char* rows;
    int firstColumn, firstRow;
    char zone;
};
constexpr UpsLetters kUps[4] = {
    {"JKLPQRSTUXYZ", "ABCDEFGHJKLMNPQRSTUVWXYZ", 8, 8, 'A'},
    {"ABCFGHJKLPQR", "ABCDEFGHJKLMNPQRSTUVWXYZ", 20, 8, 'B'},
    {"RSTUXYZ", "ABCDEFGHJKLMNP", 13, 13, 'Y'},
    {"ABCFGHJ", "ABCDEFGHJKLMNP", 20, 13, 'Z'},
};

const char kSigEncode[] = "std::size_t Vorant::DtMgrs::encode(const Vorant::DtGridPosition&, double, int, char*) const";
const char kSigDecode[] = "Vorant::DtMgrsSquare Vorant::DtMgrs::decode(const std::string&, bool) const";

// Where each letter A..Z stands in a set of letters (-1: not in it), so that
// reading a reference looks letters up rather than searching for them.
struct LetterIndex
{
    signed char at[26];
};

constexpr LetterIndex indexOf(const char* letters)
{
    LetterIndex index{};
    for (int i = 0; i < 26; ++i)
        index.at[i] = -1;
    for (int i = 0; letters[i] != '\0'; ++i)
        index.at[letters[i] - 'A'] = static_cast<signed char>(i);
    return index;
}

int indexOf(const LetterIndex& index, char c)
{
    return c >= 'A' && c <= 'Z' ? index.at[c - 'A'] : -1;
}

constexpr LetterIndex kBandIndex = indexOf(kBands), kPolarIndex = indexOf("ABYZ"), kRowIndex = indexOf(kRows);
constexpr LetterIndex kColumnIndex[3] = {indexOf(kColumns[0]), indexOf(kColumns[1]), indexOf(kColumns[2])};
constexpr LetterIndex kUpsColumnIndex[4] = {indexOf(kUps[0].columns), indexOf(kUps[1].columns),
                                            indexOf(kUps[2].columns), indexOf(kUps[3].columns)};
constexpr LetterIndex kUpsRowIndex[4] = {indexOf(kUps[0].rows), indexOf(kUps[1].rows), indexOf(kUps[2].rows),
                                         indexOf(kUps[3].rows)};

// (The text is in upper case by then; the C library's tests would ask the locale.)
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(char c)
{
    return c >= 'A' && c <= 'Z';
}

// The band of a latitude in degrees: C from 80 S, X (12 degrees) from 72 N.
// A latitude a hair off a multiple of 8 (radians rounded) counts as on it.
int bandOf(double latDeg)
{
    constexpr double kRound = 6755399441055744.0;   // adding and taking away 1.5 * 2^52 rounds
    const double nearest = (latDeg + kRound) - kRound;
    if (std::fabs(latDeg - nearest) < 1e-12)
        latDeg = nearest;
    const int band = static_cast<int>(detail::fastFloor((latDeg + 80) / 8));
    return band < 0 ? 0 : band > 19 ? 19 : band;
}

// floor(value * 10^(digits - 5)): the position in units of the last digit.
// To metres and coarser by integer division of the whole metres (exact
// truncation); finer in long double, so that a value just below a boundary
// stays below it.
std::int64_t units(double value, int digits)
{
    if (digits < 6) {
        std::int64_t v = static_cast<std::int64_t>(detail::fastFloor(value));
        for (int i = digits; i < 5; ++i)
            v /= 10;   // (non-negative: truncation is the floor)
        return v;
    }
    long double v = value;
    for (int i = 5; i < digits; ++i)
        v *= 10;
    return static_cast<std::int64_t>(std::floor(v));
}

// The last `digits` decimal digits of a value (not negative).
void writeDigits(std::int64_t value, int digits, char* out)
{
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

[[noreturn]] void refuse(const std::string& text, const char* what)
{
    const std::string message = "Invalid MGRS reference '" + text + "': " + what;
    detail::throwDtException(message.c_str(), kSigDecode, __FILE__, __LINE__);
}

bool oldEllipsoid(double a)
{
    // Clarke 1866, Clarke 1880 and Bessel 1841.
    return a == 6378206.4 || a == 6378249.145 || a == 6377397.155;
}

}  // namespace

DtMgrs::DtMgrs(const DtMapDatum& datum, Lettering lettering)
    : myGrid(datum), myOld(lettering == Old || (lettering == ByEllipsoid && oldEllipsoid(datum.spheroid.semiMajorAxis))),
      myBandLow(), myBandHigh()
{
    // The northings of each band's edges on a central meridian (0 N is
    // 10,000 km in the south), for telling which time round a row letter is.
    for (int band = 0; band < 20; ++band) {
        const double south = (-80.0 + 8 * band) * kDegree, north = band == 19 ? 84 * kDegree : south + 8 * kDegree;
        myBandLow[band] = myGrid.forward(south, 3 * kDegree, 31, false).northing;
        myBandHigh[band] = band == 9 ? 1e7 : myGrid.forward(north, 3 * kDegree, 31, false).northing;
    }
}

std::size_t DtMgrs::encode(double lat, double lon, int digits, char* out) const
{
    return encode(myGrid.forward(lat, lon, DtUtmUps::Standard, false), lat, digits, out);
}

std::string DtMgrs::encode(double lat, double lon, int digits) const
{
    char text[kMaxLength + 1];
    return std::string(text, encode(lat, lon, digits, text));
}

std::size_t DtMgrs::encode(const DtGridPosition& p, double lat, int digits, char* out) const
{
    // (Eastings and northings of any grid lie within 0 to 10,000 km.)
    if (!(digits >= 0 && digits <= kMaxDigits && p.easting >= 0 && p.easting < 1e8 && p.northing >= 0 &&
          p.northing < 1e8 && std::fabs(lat) <= kPi / 2 && p.zone >= 0 && p.zone <= 60))
        detail::throwDtException("Invalid MGRS request: digits out of 0..11, a zone out of 0..60, a latitude beyond "
                                 "the poles, or a position off every grid",
                                 kSigEncode, __FILE__, __LINE__);
    const std::int64_t e = units(p.easting, digits), n = units(p.northing, digits);
    // The 100 km square, floor(value / 100 km) (the digits of e before its
    // last ones, without integer divisions): the quotient is correctly rounded and
    // exact at the multiples, and a value below a multiple is below it by at
    // least its own unit in the last place, more than half the spacing of
    // the doubles below the quotient, so it never rounds up onto the multiple.
    const auto square = [](double value) { return static_cast<std::int64_t>(detail::fastFloor(value / kSquare)); };
    const std::int64_t column = square(p.easting), row = square(p.northing);
    std::size_t length = 0;
    if (p.zone == 0) {
        const UpsLetters& u = kUps[(p.north ? 2 : 0) + (p.easting >= 2e6 ? 1 : 0)];
        const std::int64_t c = column - u.firstColumn, r = row - u.firstRow;
        if (!(c >= 0 && c < static_cast<std::int64_t>(std::strlen(u.columns)) && r >= 0 &&
              r < static_cast<std::int64_t>(std::strlen(u.rows))))
            detail::throwDtException("Invalid MGRS request: the position is outside the lettered UPS grid", kSigEncode,
                                     __FILE__, __LINE__);
        out[length++] = u.zone;
        out[length++] = u.columns[c];
        out[length++] = u.rows[r];
    } else {
        if (!(column >= 1 && column <= 8 && row >= 0))
            detail::throwDtException("Invalid MGRS request: the position is outside the lettered UTM grid", kSigEncode,
                                     __FILE__, __LINE__);
        out[length++] = static_cast<char>('0' + p.zone / 10);   // two digits, "02" for zone 2
        out[length++] = static_cast<char>('0' + p.zone % 10);
        out[length++] = kBands[bandOf(lat / kDegree)];
        out[length++] = kColumns[(p.zone - 1) % 3][column - 1];
        out[length++] = kRows[(row + (p.zone % 2 == 0 ? 5 : 0) + (myOld ? 10 : 0)) % 20];
    }
    // The digits within the square are the scaled values' last ones. They
    // belong to the same square as the letters: the scaled values are floors
    // of the same value as the square's (exact to metres and coarser;
    // finer, the long double products round by less than 2^-60 of the
    // value, far less than its distance below the square's next edge, at
    // least 2^-53 of it).
    static_assert(std::numeric_limits<long double>::digits >= 64, "finer digits need a wider long double");
    writeDigits(e, digits, out + length);
    writeDigits(n, digits, out + length + digits);
    length += 2 * static_cast<std::size_t>(digits);
    out[length] = '\0';
    return length;
}

DtMgrsSquare DtMgrs::decode(const std::string& text, bool centre) const
{
    // The text without spaces, in upper case, in a buffer of its own (no
    // allocation); anything longer than the longest reference is refused below.
    struct Text
    {
        char c[2 * kMaxLength];
        std::size_t n = 0;
        std::size_t size() const { return n; }
        char operator[](std::size_t i) const { return c[i]; }
    } s;
    for (const char c : text)
        if (c != ' ') {
            if (s.n == sizeof s.c)
                refuse(text, "more than 11 digits per axis");
            s.c[s.n++] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
    std::size_t i = 0;
    int zone = 0;
    while (i < s.size() && i < 3 && isDigit(s[i]))
        zone = 10 * zone + (s[i++] - '0');
    const bool utm = i > 0;
    if (utm && !(zone >= 1 && zone <= 60 && i <= 2))
        refuse(text, "the zone is not 1 to 60");
    if (i >= s.size())
        refuse(text, "no latitude band or polar letter");
    const char zoneLetter = s[i++];
    if (zoneLetter == 'I' || zoneLetter == 'O')
        refuse(text, "I and O are not letters of the grid");
    // The band (C = 0 .. X = 19) after a zone, the polar zone (A, B, Y, Z = 0..3) without one.
    const int band = indexOf(utm ? kBandIndex : kPolarIndex, zoneLetter), polar = band;
    if (band < 0)
        refuse(text, utm ? "not a latitude band letter (C to X)" : "not a grid zone (a zone and band, or A, B, Y, Z)");
    if (i + 2 > s.size() || !isLetter(s[i]) || !isLetter(s[i + 1]))
        refuse(text, "no 100 km square (two letters)");
    const char columnLetter = s[i], rowLetter = s[i + 1];
    i += 2;
    const std::size_t count = s.size() - i;
    for (std::size_t k = i; k < s.size(); ++k)
        if (!isDigit(s[k]))
            refuse(text, "characters after the square that are not digits");
    if (count % 2 != 0)
        refuse(text, "an odd number of digits");
    if (count > 2 * static_cast<std::size_t>(kMaxDigits))
        refuse(text, "more than 11 digits per axis");
    const int digits = static_cast<int>(count / 2);
    double eIn = 0, nIn = 0;
    for (int k = 0; k < digits; ++k) {
        eIn = 10 * eIn + (s[i + static_cast<std::size_t>(k)] - '0');
        nIn = 10 * nIn + (s[i + static_cast<std::size_t>(digits + k)] - '0');
    }
    // The digits in metres: exact to 1 m, one rounding finer.
    constexpr double kUnits[6] = {1e5, 1e4, 1e3, 1e2, 10, 1}, kTens[7] = {1, 10, 1e2, 1e3, 1e4, 1e5, 1e6};
    if (digits <= 5) {
        eIn *= kUnits[digits];
        nIn *= kUnits[digits];
    } else {
        eIn /= kTens[digits - 5];
        nIn /= kTens[digits - 5];
    }
    const double unit = digits <= 5 ? kUnits[digits] : 1 / kTens[digits - 5];
    const double inside = centre ? unit / 2 : 0.0;

    DtMgrsSquare out{};
    out.digits = digits;
    DtGridPosition& p = out.position;
    if (!utm) {
        const UpsLetters& u = kUps[polar];
        const int c = indexOf(kUpsColumnIndex[polar], columnLetter), r = indexOf(kUpsRowIndex[polar], rowLetter);
        if (c < 0 || r < 0)
            refuse(text, "the 100 km square does not exist in this polar zone");
        p.zone = 0;
        p.north = polar >= 2;
        p.easting = (u.firstColumn + c) * kSquare + eIn + inside;
        p.northing = (u.firstRow + r) * kSquare + nIn + inside;
    } else {
        const int c = indexOf(kColumnIndex[(zone - 1) % 3], columnLetter), r = indexOf(kRowIndex, rowLetter);
        if (c < 0 || r < 0)
            refuse(text, "the 100 km square does not exist in this zone");
        p.zone = zone;
        p.north = band >= 10;
        p.easting = (c + 1) * kSquare + eIn + inside;
        // The row letters repeat every 2,000 km: the band says which time round.
        const int row = ((r - (zone % 2 == 0 ? 5 : 0) - (myOld ? 10 : 0)) % 20 + 40) % 20;
        const double base = row * kSquare + nIn + inside;
        const double low = myBandLow[band], high = myBandHigh[band];
        constexpr double kRound = 6755399441055744.0;   // adding and taking away 1.5 * 2^52 rounds
        const double cycles = ((((low + high) / 2 - base) / 2e6) + kRound) - kRound;
        p.northing = base + 2e6 * cycles;
        if (!(p.northing >= low - kSquare && p.northing <= high + kSquare))
            refuse(text, "the 100 km row is more than 100 km outside its latitude band");
    }
    myGrid.reverse(p, out.lat, out.lon, false);
    return out;
}

}  // namespace Vorant
