// DtException: the exception type of the qormatrix libraries.
#ifndef QORMATRIX_QVUTIL_DT_EXCEPTION_H
#define QORMATRIX_QVUTIL_DT_EXCEPTION_H

#include <qvutil/dtExport.h>
#include <qvutil/dtString.h>

#include <exception>

namespace Vorant {

/// Thrown by value. The message is stored as given (the library's throw sites
/// prefix it with "DtException: "), and what() returns it. A predecessor, when
/// one is given, is copied so that the chain never dangles.
class DT_EXPORT DtException : public std::exception
{
public:
    DtException(const DtString& message, const DtString& signature, const DtString& file,
                unsigned int line, const DtException* predecessor);
    DtException(const DtException& other);
    DtException& operator=(const DtException& other);
    ~DtException() override;

    const char* what() const noexcept override;

    const DtString& message() const { return myMessage; }
    const DtString& signature() const { return mySignature; }
    const DtString& file() const { return myFile; }
    unsigned int line() const { return myLine; }
    /// Null when this exception has no predecessor.
    const DtException* predecessor() const { return myPredecessor; }

private:
    DtString myMessage;
    DtString mySignature;
    DtString myFile;
    unsigned int myLine;
    const DtException* myPredecessor;   ///< owned copy, or null
};

}  // namespace Vorant

#endif
