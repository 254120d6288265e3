#include "throwException.h"

#include <qvutil/dtException.h>

namespace Vorant {
namespace detail {

void throwDtException(const char* text, const char* signature, const char* sourcePath, unsigned int line)
{
    throw DtException(DtString("DtException: ") + text, DtString(signature), DtFilename::stripPath(sourcePath),
                      line, nullptr);
}

}  // namespace detail
}  // namespace Vorant
