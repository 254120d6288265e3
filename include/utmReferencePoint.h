// The UTM reference point: a reference latitude and longitude, a zone, a map
// datum and a central scale factor, and the projection between geodetic
// latitude/longitude and UTM grid coordinates.
//
// Grid coordinates come with standard offsets (false easting 500 000 m, false
// northing 10 000 000 m in the south) or with local offsets measured from the
// reference point. Once the zone is set, every conversion uses it, so an area
// across a zone boundary keeps one continuous grid.
#ifndef QORMATRIX_UTM_REFERENCE_POINT_H
#define QORMATRIX_UTM_REFERENCE_POINT_H

#include <mapDatum.h>
#include <referenceEllipsoid.h>
#include <utmCoord.h>
#include <qvutil/dtExport.h>

namespace Vorant {

/// The grid of an area: reference angles, zone, datum, scale and offsets.
class DT_EXPORT DtUtmReferencePoint
{
public:
    /// Uninitialised, on WGS 84, datum constants zero.
    DtUtmReferencePoint();
    /// Binds the datum, stores the scale, then init(latRef, longRef,
    /// standardOffsets, zone, datum).
    DtUtmReferencePoint(const DtDegMinSec& latRef, const DtDegMinSec& longRef, int standardOffsets, long zone,
                        const DtMapDatum& datum, double scale);
    DtUtmReferencePoint(const DtUtmReferencePoint&) = default;
    DtUtmReferencePoint& operator=(const DtUtmReferencePoint&) = default;
    virtual ~DtUtmReferencePoint();

    /// Radian form: latitude and longitude in radians to easting and northing
    /// in this point's style. Throws DtException while uninitialised.
    virtual void geod2utm(double lat, double lon, double* easting, double* northing);
    /// Radian form: easting and northing in this point's style to latitude and
    /// longitude in radians. Throws DtException while uninitialised.
    virtual void utm2geod(double easting, double northing, double* lat, double* lon);
    /// The datum of the point's own ellipsoid.
    virtual const DtMapDatum& mapDatum() const;
    /// Rebinds the datum and recomputes the datum constants and the origin.
    virtual void useMapDatum(const DtMapDatum& datum);
    /// The point's own ellipsoid.
    virtual const DtReferenceEllipsoid* ellipsoid() const;
    /// Back to the defaults (the hemisphere codes of the reference angles stay).
    virtual void uninitialize();
    /// Whether init has run (conversions throw until then).
    virtual bool isInitialized() const;
    /// Central scale factor k0 (0.9996).
    virtual double scale() const;
    virtual void setScale(double scale);
    /// Easting and northing of the reference point in its zone, without
    /// false easting or northing (the setters are spelled Orgin).
    virtual double xOrigin() const;
    virtual void setXOrgin(double xOrigin);
    virtual double yOrigin() const;
    virtual void setYOrgin(double yOrigin);
    /// Nonzero: false easting and northing; 0: offsets from the reference point.
    virtual int standardOffsets() const;
    virtual void setStandardOffsets(int standardOffsets);
    /// The reference latitude and longitude.
    virtual DtDegMinSec latRef() const;
    virtual void setLatRef(const DtDegMinSec& latRef);
    virtual DtDegMinSec longRef() const;
    virtual void setLongRef(const DtDegMinSec& longRef);
    /// The zone of every conversion; 0 until one is chosen.
    virtual long zoneOrigin() const;
    virtual void setZoneOrigin(long zone);
    /// False easting (500 000 m), false northing (10 000 000 m) and the
    /// northing above which a point reads back as southern (8 000 000 m).
    virtual double standardFalseEasting() const;
    virtual void setStandardFalseEasting(double easting);
    virtual double standardFalseNorthing() const;
    virtual void setStandardFalseNorthing(double northing);
    virtual double standardFalseNorthingCrossover() const;
    virtual void setStandardFalseNorthingCrossover(double northing);
    /// Zone form: degrees in; *zone 0 chooses the zone of the point. Northing
    /// from the equator and easting from the central meridian, no offsets.
    virtual void geod2utm(double latDeg, double lonDeg, long* zone, double* northing, double* easting);
    /// Zone form: northing from the equator, easting from the central meridian
    /// in the given zone, to degrees.
    virtual void utm2geod(double northing, double easting, long zone, double* latDeg, double* lonDeg);

    /// Sets the reference point up: reference angles (the longitude moved by
    /// theLongitudeFudgeFactor seconds), style, zone (0 = the reference
    /// point's own) and datum. Resets the false easting, northing and crossover.
    void init(const DtDegMinSec& latRef, const DtDegMinSec& longRef, int standardOffsets, long zone,
              const DtMapDatum& datum);
    /// The five datum constants from mapDatum().
    void initDatumConstants();
    /// Zone and origin from {deg, min, sec, sign} arrays; the longitude sign is
    /// positive towards the west.
    void initUtm(const double* lat, const double* lon, long zone);
    /// (dms[0] + dms[1] / 60) + dms[2] / 3600
    void degree(const double* dms, double* out) const;

    /// The datum constants: a, b, e^2, e'^2 and n; zero until useMapDatum.
    double datumSemiMajor() const { return myDatumSemiMajor; }
    double datumSemiMinor() const { return myDatumSemiMinor; }
    double eccentricitySq() const { return myEccentricitySq; }
    double secondEccentricitySq() const { return mySecondEccentricitySq; }
    double thirdFlattening() const { return myThirdFlattening; }

    /// Seconds of arc added to the reference longitude by init (towards the
    /// east for a positive value).
    static double theLongitudeFudgeFactor;
    static void setLongitudeFudgeFactor(double seconds) { theLongitudeFudgeFactor = seconds; }

private:
    int myInitialized;
    int myStandardOffsets;
    double myXOrigin;
    double myYOrigin;
    long myZoneOrigin;
    DtDegMinSec myLatRef;
    DtDegMinSec myLongRef;
    DtReferenceEllipsoid myRefEllipsoid;
    double myDatumSemiMajor;
    double myDatumSemiMinor;
    double myEccentricitySq;
    double mySecondEccentricitySq;
    double myThirdFlattening;
    double myScale;
    double myStandardFalseEasting;
    double myStandardFalseNorthing;
    double myStandardFalseNorthingCrossover;
};

/// The process-wide reference point, built uninitialised on WGS 84.
DT_EXPORT DtUtmReferencePoint* DtGlobalUtmReferencePoint();
/// init of the global reference point on the current map datum.
DT_EXPORT void DtUtmInit(const DtDegMinSec& latRef, const DtDegMinSec& longRef, int standardOffsets, long zone);
/// The UTM zone of a latitude and longitude in degrees, with the Norway and
/// Svalbard exceptions; 0 for a longitude that is not a number or beyond any
/// zone number.
DT_EXPORT int DtUtmGridZoneFromLatLon(double latDeg, double lonDeg);

}  // namespace Vorant

#endif
