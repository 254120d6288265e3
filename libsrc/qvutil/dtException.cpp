#include <qvutil/dtException.h>

namespace Vorant {

DtException::DtException(const DtString& message, const DtString& signature, const DtString& file,
                         unsigned int line, const DtException* predecessor)
    : myMessage(message),
      mySignature(signature),
      myFile(file),
      myLine(line),
      myPredecessor(predecessor ? new DtException(*predecessor) : nullptr)   // NOLINT(bugprone-throw-keyword-missing): a copy kept, not thrown
{
}

DtException::DtException(const DtException& other)
    : std::exception(other),
      myMessage(other.myMessage),
      mySignature(other.mySignature),
      myFile(other.myFile),
      myLine(other.myLine),
      myPredecessor(other.myPredecessor ? new DtException(*other.myPredecessor) : nullptr)   // NOLINT(bugprone-throw-keyword-missing)
{
}

DtException& DtException::operator=(const DtException& other)
{
    if (this != &other) {
        const DtException* copy = other.myPredecessor ? new DtException(*other.myPredecessor) : nullptr;   // NOLINT(bugprone-throw-keyword-missing)
        delete myPredecessor;
        myPredecessor = copy;
        myMessage = other.myMessage;
        mySignature = other.mySignature;
        myFile = other.myFile;
        myLine = other.myLine;
    }
    return *this;
}

DtException::~DtException()
{
    delete myPredecessor;
}

const char* DtException::what() const noexcept
{
    return myMessage.c_str();
}

}  // namespace Vorant
