// Symbol visibility for the qormatrix libraries.
//
// Both libraries are built with hidden visibility; only what is marked with
// DT_EXPORT is part of the binary interface.
#ifndef QORMATRIX_DT_EXPORT_H
#define QORMATRIX_DT_EXPORT_H

#if defined(__GNUC__) || defined(__clang__)
#define DT_EXPORT __attribute__((visibility("default")))
#else
#define DT_EXPORT
#endif

#endif
