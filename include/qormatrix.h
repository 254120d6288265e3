// Everything the qormatrix library offers, in one include.
#ifndef QORMATRIX_QORMATRIX_H
#define QORMATRIX_QORMATRIX_H

#include <qvutil/qvutil.h>

#include <qvScalar.h>
#include <modper.h>
#include <qvVector.h>
#include <qvDcm.h>
#include <qvTaitBryan.h>
#include <qvQuaternion.h>
#include <directedRotRate.h>
#include <mapDatum.h>
#include <geoidDatum.h>
#include <geoidGrid.h>
#include <referenceEllipsoid.h>
#include <geodeticCoord.h>
#include <geodesic.h>
#include <lookAngles.h>
#include <utmUps.h>
#include <mgrs.h>
#include <magneticModel.h>
#include <topoCoord.h>
#include <utmCoord.h>
#include <utmReferencePoint.h>
#include <3dPoint.h>
#include <4dPoint.h>
#include <3dChord.h>
#include <3dExtent.h>
#include <3dBoundingVolume.h>
#include <coordTransform.h>
#include <coordTranslation.h>

#endif
