// Reading the text forms of points and extents: internal, not installed.
#ifndef QORMATRIX_TEXT_FIELDS_H
#define QORMATRIX_TEXT_FIELDS_H

#include <cstdlib>
#include <istream>
#include <limits>

namespace Vorant {
namespace detail {

// One field of a text form: up to the delimiter, at most 79 characters,
// through strtod (0 for text that is not a number). Whatever state getline
// leaves on the stream stays there.
inline double readField(std::istream& is, char delimiter)
{
    char buffer[80];
    buffer[0] = '\0';
    is.getline(buffer, sizeof buffer, delimiter);
    buffer[sizeof buffer - 1] = '\0';
    return std::strtod(buffer, nullptr);
}

// Reads and discards the text up to and including the opening bracket, as
// getline into an 80-character buffer: a longer prefix fails the stream (points).
inline void skipToOpeningBracket(std::istream& is)
{
    char skip[80];
    is.getline(skip, sizeof skip, '(');
}

// The same without a limit on the prefix (extents).
inline void skipPastOpeningBracket(std::istream& is)
{
    is.ignore(std::numeric_limits<std::streamsize>::max(), '(');
}

}  // namespace detail
}  // namespace Vorant

#endif
