// Reading the fields of one input line of qorconvert: numbers, angles in
// decimal degrees, radians or degrees-minutes-seconds with a hemisphere
// letter, and UTM zones.
#ifndef QORCONVERT_FIELDS_H
#define QORCONVERT_FIELDS_H

#include <cstddef>
#include <string>

namespace qorconvert {

// The whitespace- or comma-separated fields of a line, as views into it.
struct Fields
{
    static constexpr std::size_t kMax = 8;   // more than any mode takes
    const char* begin[kMax];
    std::size_t length[kMax];
    std::size_t count = 0;
    bool tooMany = false;

    std::string text(std::size_t i) const { return std::string(begin[i], length[i]); }
};

// Splits a line; stops counting at kMax fields and sets tooMany.
void splitFields(const char* line, std::size_t size, Fields& out);

// Appends v as "%.*f" would print it with `decimals` (0 to 30) decimals, in
// full, without the sign of a value that rounds to zero.
void appendFixed(std::string& out, double v, int decimals);

// A finite decimal number filling the whole field.
bool parseNumber(const char* s, std::size_t n, double& out);

enum class AngleKind { Latitude, Longitude, Plain };

// An angle in degrees from a field: a decimal number (in degrees, or radians
// when inRadians), optionally followed by a hemisphere letter, or degrees,
// minutes and seconds such as 40d26'47"N or 74:0:21.5W. On failure `why`
// says what is wrong.
bool parseAngle(const char* s, std::size_t n, AngleKind kind, bool inRadians, double& degrees, std::string& why);

// A UTM zone with its hemisphere, such as 18N, 33s or 32U (a latitude band
// letter: C to M is south, N to X north).
bool parseZone(const char* s, std::size_t n, long& zone, bool& north, std::string& why);

}  // namespace qorconvert

#endif
