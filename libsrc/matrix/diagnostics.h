// How this library reports failures: internal, not installed, not exported.
#ifndef QORMATRIX_DIAGNOSTICS_H
#define QORMATRIX_DIAGNOSTICS_H

namespace Vorant {
namespace detail {

// Throws DtException("DtException: " + text, signature, base name of
// sourcePath, line, no predecessor). Call it as
//   throwDtException("Invalid index (should be 0..2)", signature, __FILE__, __LINE__);
[[noreturn]] void throwDtException(const char* text, const char* signature, const char* sourcePath,
                                   unsigned int line);

// Reports a violated precondition through DtFatalError, which always emits:
//   "Precondition failed: <condition>, file <file>, line <line>, in <signature>\n"
// The caller then abandons the operation.
void reportPrecondition(const char* condition, const char* file, unsigned int line, const char* signature);

}  // namespace detail
}  // namespace Vorant

#endif
