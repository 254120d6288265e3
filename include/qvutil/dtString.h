// DtString and DtFilename: the small text values of the utility layer.
#ifndef QORMATRIX_QVUTIL_DT_STRING_H
#define QORMATRIX_QVUTIL_DT_STRING_H

#include <qvutil/dtExport.h>

#include <cstddef>
#include <iosfwd>
#include <string>

namespace Vorant {

/// A text value. Converts implicitly to const char* so that it can be handed to
/// printf-style notification calls and C APIs.
class DT_EXPORT DtString
{
public:
    DtString() = default;
    DtString(const char* text) : myText(text ? text : "") {}   // NOLINT: implicit by design
    /// The decimal digits of the number. Explicit so that a literal 0 is never
    /// mistaken for a null text.
    explicit DtString(unsigned int number);
    explicit DtString(const std::string& text) : myText(text) {}

    DtString& operator+=(const char* text)
    {
        if (text)
            myText += text;
        return *this;
    }
    DtString& operator+=(const DtString& other)
    {
        myText += other.myText;
        return *this;
    }

    operator const char*() const { return myText.c_str(); }   // NOLINT: implicit by design
    const char* c_str() const { return myText.c_str(); }
    std::size_t length() const { return myText.size(); }
    bool isEmpty() const { return myText.empty(); }
    const std::string& stdString() const { return myText; }

    friend bool operator==(const DtString& a, const DtString& b) { return a.myText == b.myText; }
    friend bool operator!=(const DtString& a, const DtString& b) { return a.myText != b.myText; }
    friend bool operator==(const DtString& a, const char* b) { return a.myText == (b ? b : ""); }
    friend bool operator!=(const DtString& a, const char* b) { return !(a == b); }

private:
    std::string myText;
};

DT_EXPORT DtString operator+(const DtString& a, const char* b);
DT_EXPORT DtString operator+(const DtString& a, const DtString& b);
DT_EXPORT std::ostream& operator<<(std::ostream& os, const DtString& s);

/// The name of a file, possibly with directories.
class DT_EXPORT DtFilename : public DtString
{
public:
    DtFilename() = default;
    DtFilename(const char* path) : DtString(path) {}   // NOLINT: implicit by design

    /// The name without its directories: everything after the last '/'.
    static DtFilename stripPath(const char* path);
};

}  // namespace Vorant

#endif
