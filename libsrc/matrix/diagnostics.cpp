#include "diagnostics.h"

#include <qvutil/dtException.h>
#include <qvutil/dtOutput.h>

namespace Vorant {
namespace detail {

void throwDtException(const char* text, const char* signature, const char* sourcePath, unsigned int line)
{
    throw DtException(DtString("DtException: ") + text, DtString(signature), DtFilename::stripPath(sourcePath),
                      line, nullptr);
}

void reportPrecondition(const char* condition, const char* file, unsigned int line, const char* signature)
{
    DtFatalError("Precondition failed: %s, file %s, line %u, in %s\n", condition, file, line, signature);
}

}  // namespace detail
}  // namespace Vorant
