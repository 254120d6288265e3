#include <qvutil/dtException.h>

namespace Vorant {

DtException::DtException(const DtString& message, const DtString& signature, const DtString& file,
                         unsigned int line, const DtException* predecessor)
    : myMessage(message),
      mySignature(signature),
      myFile(file),
      myLine(line),
      myPredecessor(predecessor ? std::make_shared<const DtException>(*predecessor) : nullptr)
{
}

DtException::~DtException() = default;

const char* DtException::what() const noexcept
{
    return myMessage.c_str();
}

}  // namespace Vorant
