#include <qvutil/dtString.h>

#include <cstdio>
#include <cstring>
#include <ostream>

namespace Vorant {

DtString::DtString(unsigned int number)
{
    char digits[16];
    const int n = std::snprintf(digits, sizeof digits, "%u", number);
    myText.assign(digits, n > 0 ? std::size_t(n) : 0);
}

DtString operator+(const DtString& a, const char* b)
{
    DtString result(a);
    result += b;
    return result;
}

DtString operator+(const DtString& a, const DtString& b)
{
    DtString result(a);
    result += b;
    return result;
}

std::ostream& operator<<(std::ostream& os, const DtString& s)
{
    return os << s.stdString();
}

DtFilename DtFilename::stripPath(const char* path)
{
    if (!path)
        return DtFilename();
    const char* slash = std::strrchr(path, '/');
    return DtFilename(slash ? slash + 1 : path);
}

}  // namespace Vorant
