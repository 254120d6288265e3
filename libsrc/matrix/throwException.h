// The one way this library throws: internal, not installed, not exported.
#ifndef QORMATRIX_THROW_EXCEPTION_H
#define QORMATRIX_THROW_EXCEPTION_H

namespace Vorant {
namespace detail {

// Throws DtException("DtException: " + text, signature, base name of
// sourcePath, line, no predecessor). Call it as
//   throwDtException("Invalid index (should be 0..2)", signature, __FILE__, __LINE__);
[[noreturn]] void throwDtException(const char* text, const char* signature, const char* sourcePath,
                                   unsigned int line);

}  // namespace detail
}  // namespace Vorant

#endif
