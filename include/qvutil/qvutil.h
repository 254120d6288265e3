// The utility layer in one include.
#ifndef QORMATRIX_QVUTIL_H
#define QORMATRIX_QVUTIL_H

#include <qvutil/dtException.h>
#include <qvutil/dtOutput.h>
#include <qvutil/dtString.h>

#endif
