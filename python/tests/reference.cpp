// The C++ library's own single-point calls, for the Python tests: reads lines
// "<function> <numbers...>" (degrees, metres, WGS 84) and writes the results
// as hexadecimal floats, one line each.
#include <qormatrix.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using namespace Vorant;

int main()
{
    DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(false);
    DtUtmInit(DtUtmLatRefZone10, DtUtmLonRefZone10, 1, 10);
    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream in(line);
        std::string f;
        in >> f;
        std::vector<double> v;
        for (std::string word; in >> word;)
            v.push_back(std::strtod(word.c_str(), nullptr));
        std::vector<double> r;
        if (f == "geodetic2ecef") {
            const DtVector64 g = DtGeodeticCoord(DtDeg2Rad(v[0]), DtDeg2Rad(v[1]), v[2]).geocentric();
            r = {g[0], g[1], g[2]};
        } else if (f == "ecef2geodetic") {
            DtGeodeticCoord c;
            c.setGeocentric(DtVector64(v[0], v[1], v[2]));
            r = {DtRad2Deg(c.lat()), DtRad2Deg(c.lon()), c[2]};
        } else if (f == "ecef2ned") {
            DtCoordTransform t;
            DtGeocToTopoTransform(DtDeg2Rad(v[3]), DtDeg2Rad(v[4]), &t);
            t.setOffset(DtGeodeticCoord(DtDeg2Rad(v[3]), DtDeg2Rad(v[4]), v[5]).geocentric());
            DtVector64 ned;
            t.coordTrans(DtVector64(v[0], v[1], v[2]), ned);
            r = {ned[0], ned[1], ned[2]};
        } else if (f == "geodetic2utm") {
            DtUtmReferencePoint p(DtUtmLatRefZone10, DtUtmLonRefZone10, 1, 10, DtWGS84, 0.9996);
            p.setZoneOrigin(0);
            double e, n;
            p.geod2utm(DtDeg2Rad(v[0]), DtDeg2Rad(v[1]), &e, &n);
            r = {e, n, double(p.zoneOrigin())};
        } else if (f == "grid_declination") {
            DtGlobalUtmReferencePoint()->setZoneOrigin(DtUtmGridZoneFromLatLon(v[0], v[1]));
            r = {DtRad2Deg(DtUtmGridDeclination(DtDeg2Rad(v[0]), DtDeg2Rad(v[1])))};
        } else if (f == "ecef2hpr") {
            const DtVector64 at(v[0], v[1], v[2]);
            const DtTaitBryan tb(DtDeg2Rad(v[3]), DtDeg2Rad(v[4]), DtDeg2Rad(v[5]));
            r = {DtRad2Deg(DtGetHeadingFromGeocentric(at, tb)), DtRad2Deg(DtGetPitchFromGeocentric(at, tb)),
                 DtRad2Deg(DtGetRollFromGeocentric(at, tb))};
        } else if (f == "geodetic2aer") {
            const DtLookAngles l = DtObserver(DtDeg2Rad(v[3]), DtDeg2Rad(v[4]), v[5]).lookAt(DtDeg2Rad(v[0]), DtDeg2Rad(v[1]), v[2]);
            r = {DtRad2Deg(l.azimuth), DtRad2Deg(l.elevation), l.range};
        } else if (f == "aer2geodetic") {
            const DtVector64 g = DtObserver(DtDeg2Rad(v[3]), DtDeg2Rad(v[4]), v[5])
                                     .geodeticAt(DtLookAngles{DtDeg2Rad(v[0]), DtDeg2Rad(v[1]), v[2]});
            r = {DtRad2Deg(g[0]), DtRad2Deg(g[1]), g[2]};
        } else if (f == "taitbryan2dcm") {
            DtDcm m;
            DtTbToMat(DtTaitBryan(DtDeg2Rad(v[0]), DtDeg2Rad(v[1]), DtDeg2Rad(v[2])), m);
            for (int i = 0; i < 9; ++i)
                r.push_back(m[i / 3][i % 3]);
        }
        for (double x : r)
            std::printf("%a ", x);
        std::printf("\n");
    }
}
