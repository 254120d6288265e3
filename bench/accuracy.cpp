// Accuracy of our conversions against GeographicLib's exact ones (Geocentric
// with the same semi-axes; TransverseMercatorExact with k0 = 0.9996), and of
// matrix -> Tait-Bryan near its hard places, and the EGM96 geoid grid against
// PROJ's vgridshift and bicubic against bilinear. Prints a Markdown report and
// writes the data of its plots into the directory given.
//
// Usage: qormatrix_accuracy <data-dir>   (bench/accuracy-report runs it)
#include <geodesic.h>
#include <lookAngles.h>
#include <mgrs.h>
#include <geoidGrid.h>
#include <qvDcm.h>
#include <qvTaitBryan.h>
#include <referenceEllipsoid.h>
#include <utmReferencePoint.h>

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/LocalCartesian.hpp>
#include <GeographicLib/MGRS.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>
#include <proj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace Vorant;

namespace {

const double kPi = 3.141592653589793;
const double kDeg = kPi / 180;
const double a = DtWGS84.spheroid.semiMajorAxis;
const double f = (a - DtWGS84.spheroid.semiMinorAxis) / a;

struct Worst
{
    double latMetres = 0, heightMetres = 0, atLat = 0;
};

// Our geocentric -> geodetic of the exact geocentric image of (lat, lon, h).
Worst geodeticErrors(const std::vector<double>& lats, double h)
{
    const GeographicLib::Geocentric exact(a, f);
    const DtReferenceEllipsoid& ours = DtGlobalEllipsoid();
    Worst w;
    for (double lat : lats)
        for (double lon = -175; lon < 180; lon += 10) {
            double x, y, z, la, lo, hh;
            exact.Forward(lat, lon, h, x, y, z);
            ours.geocentric_to_geodetic(x, y, z, &la, &lo, &hh);
            const double latErr = std::fabs(la / kDeg - lat) * kDeg * (a + h);
            if (latErr > w.latMetres) {
                w.latMetres = latErr;
                w.atLat = lat;
            }
            w.heightMetres = std::max(w.heightMetres, std::fabs(hh - h));
        }
    return w;
}

// Points near the centre, in the plane of a meridian (the problem is symmetric
// about the axis): the worst error inside a * e^2 and outside it, where the
// converter and the Python package stop trusting geocentric-to-geodetic.
void centreErrors(const char* name, const DtMapDatum& datum)
{
    const double da = datum.spheroid.semiMajorAxis, db = datum.spheroid.semiMinorAxis;
    const GeographicLib::Geocentric exact(da, (da - db) / da);
    const DtReferenceEllipsoid ours(datum);
    const double ae2 = (da * da - db * db) / da;
    double inside = 0, outside = 0, lastBad = 0;
    bool noNumberInside = false, noNumberOutside = false;
    std::vector<double> radii;
    for (double r = 1.0; r < 7e6; r *= 1.01)
        radii.push_back(r);
    for (int i = -200; i <= 200; ++i)   // every centimetre within 2 m of a * e^2
        radii.push_back(ae2 + 0.01 * i);
    for (double r : radii) {
        const int directions = std::fabs(r - ae2) < 3 ? 2880 : 720;
        for (int k = 0; k <= directions; ++k) {
            const double t = (double(k) / directions - 0.5) * 3.141592653589793, x = r * std::cos(t), z = r * std::sin(t);
            double la, lo, hh, rx, ry, rz, ela, elo, eh;
            ours.geocentric_to_geodetic(x, 0.0, z, &la, &lo, &hh);
            exact.Forward(la / kDeg, lo / kDeg, hh, rx, ry, rz);
            exact.Reverse(x, 0.0, z, ela, elo, eh);
            const double err = std::max(std::hypot(rx - x, std::hypot(ry, rz - z)), std::fabs(hh - eh));
            double& worst = r < ae2 + 1.0 ? inside : outside;   // (where the refusal ends)
            if (std::isfinite(err))
                worst = std::max(worst, err);
            else
                (r < ae2 + 1.0 ? noNumberInside : noNumberOutside) = true;
            if (!(err <= 1.0))
                lastBad = std::max(lastBad, r);
        }
    }
    std::printf("| %s | %.2f m | %.2f m | %.3g m%s | %.3g m%s |\n", name, ae2, lastBad, inside,
                noNumberInside ? " and NaN" : "", outside, noNumberOutside ? " and NaN" : "");
}

// Geodesics against GeographicLib's Geodesic on one ellipsoid: random pairs,
// and as many again nearly antipodal (within 1e-10 rad either way), along and
// near the equator past the crossover, along meridians and from the poles.
void geodesicErrors(const char* name, double ga, double gf, int pairs)
{
    const DtGeodesic ours(ga, gf);
    const GeographicLib::Geodesic peer(ga, gf);
    const GeographicLib::Geocentric ecef(ga, gf);
    const auto apart = [&](double la1, double lo1, double la2, double lo2) {
        double x1, y1, z1, x2, y2, z2;
        ecef.Forward(la1, lo1, 0, x1, y1, z1);
        ecef.Forward(la2, lo2, 0, x2, y2, z2);
        return std::hypot(x1 - x2, std::hypot(y1 - y2, z1 - z2));
    };
    std::mt19937_64 gen(99);
    std::uniform_real_distribution<double> u(0, 1);
    double worstS = 0, worstBack = 0, worstDirect = 0, worstArea = 0;
    for (int i = 0; i < pairs; ++i) {
        double la1 = 180 * u(gen) - 90, lo1 = 360 * u(gen) - 180, la2 = 180 * u(gen) - 90, lo2 = 360 * u(gen) - 180;
        if (i % 4 == 1) {
            la2 = -la1 + (2 * u(gen) - 1) * 1e-10 / kDeg;
            lo2 = lo1 + 180 + (2 * u(gen) - 1) * 1e-10 / kDeg;
        } else if (i % 4 == 2) {
            la1 = 0;
            la2 = (2 * u(gen) - 1) * 1e-4;
            lo2 = lo1 + 170 + 20 * u(gen);
        } else if (i % 8 == 3) {
            lo2 = lo1;
        } else if (i % 8 == 7) {
            la1 = i % 16 == 7 ? 90 : -90;
        }
        double s12, azi1, azi2, m12, M12, M21, S12;
        peer.Inverse(la1, lo1, la2, lo2, s12, azi1, azi2, m12, M12, M21, S12);
        const DtGeodesicResult r = ours.inverse(la1 * kDeg, lo1 * kDeg, la2 * kDeg, lo2 * kDeg, DtGeodesic::Area);
        worstS = std::max(worstS, std::fabs(r.s12 - s12));
        worstArea = std::max(worstArea, std::fabs(r.S12 - S12) / std::max(1e12, std::fabs(S12)));
        const DtGeodesicResult back = ours.direct(la1 * kDeg, lo1 * kDeg, r.azi1, r.s12);
        worstBack = std::max(worstBack, apart(back.lat2 / kDeg, back.lon2 / kDeg, la2, lo2));
        const double azi = 360 * u(gen) - 180, s = 4e7 * u(gen) - 2e7;
        double la3, lo3;
        peer.Direct(la1, lo1, azi, s, la3, lo3);
        const DtGeodesicResult there = ours.direct(la1 * kDeg, lo1 * kDeg, azi * kDeg, s);
        worstDirect = std::max(worstDirect, apart(there.lat2 / kDeg, there.lon2 / kDeg, la3, lo3));
    }
    std::printf("| %s | %d | %.2g m | %.2g m | %.2g m | %.2g |\n", name, pairs, worstS, worstDirect, worstBack,
                worstArea);
}

struct UtmErrors
{
    double forward = 0, inverse = 0, roundTrip = 0;   // metres on the ground
};

UtmErrors utmErrors(double offDeg)
{
    const GeographicLib::TransverseMercatorExact exact(a, f, 0.9996);
    DtUtmReferencePoint p;
    p.useMapDatum(DtWGS84);
    UtmErrors w;
    for (double lat = -80; lat <= 84; lat += 0.25)
        for (double sign : {-1.0, 1.0}) {
            const double lon = 15 + sign * offDeg;
            double x, y, n, e, la, lo;
            long zone = 33;
            exact.Forward(15, lat, lon, x, y);
            p.geod2utm(lat, lon, &zone, &n, &e);
            w.forward = std::max(w.forward, std::hypot(e - x, n - y));
            p.utm2geod(y, x, 33, &la, &lo);
            w.inverse = std::max(w.inverse, std::hypot(la - lat, (lo - lon) * std::cos(lat * kDeg)) * kDeg * a);
            p.utm2geod(n, e, 33, &la, &lo);
            w.roundTrip = std::max(w.roundTrip, std::hypot(la - lat, (lo - lon) * std::cos(lat * kDeg)) * kDeg * a);
        }
    return w;
}

// The largest error of the three angles read back from their matrix.
double angleError(const DtTaitBryan& in)
{
    DtDcm m;
    DtTbToMat(in, m);
    DtTaitBryan out;
    DtBodyToRef_to_Euler(m, &out);
    return std::max({std::fabs(std::remainder(out.psi() - in.psi(), 2 * kPi)), std::fabs(out.theta() - in.theta()),
                     std::fabs(std::remainder(out.phi() - in.phi(), 2 * kPi))});
}

void geoidReport()
{
    const char* const file = "/usr/share/proj/egm96_15.gtx";
    std::printf("\n## Geoid undulation, EGM96 15-minute grid\n\n");
    if (!std::ifstream(file)) {
        std::printf("(%s is not installed: Debian package proj-data)\n", file);
        return;
    }
    const DtGeoidGrid egm96(file);
    PJ_CONTEXT* context = proj_context_create();
    PJ* shift = proj_create(context, "+proj=vgridshift +grids=egm96_15.gtx +multiplier=1");
    std::mt19937_64 gen(96);
    std::uniform_real_distribution<double> lat(-90, 90), lon(-180, 180);
    double worstProj = 0, worstCubic = 0, cubicLat = 0, cubicLon = 0, sumSquares = 0;
    long count = 0;
    const auto cubicAgainstLinear = [&](double la, double lo) {
        const double d = std::fabs(egm96.undulation(la, lo, true) - egm96.undulation(la, lo));
        sumSquares += d * d;
        ++count;
        if (d > worstCubic) {
            worstCubic = d;
            cubicLat = la;
            cubicLon = lo;
        }
    };
    for (int i = 0; i < 1000000; ++i) {
        const double la = lat(gen), lo = lon(gen);
        const PJ_COORD out = proj_trans(shift, PJ_FWD, proj_coord(lo * kDeg, la * kDeg, 0, 0));
        worstProj = std::max(worstProj, std::fabs(egm96.undulation(la, lo) - out.xyz.z));
        cubicAgainstLinear(la, lo);
    }
    for (int row = 0; row < 720; ++row)   // every cell centre, where the two differ most
        for (int column = 0; column < 1440; ++column)
            cubicAgainstLinear(-89.875 + 0.25 * row, -179.875 + 0.25 * column);
    proj_destroy(shift);
    proj_context_destroy(context);
    std::printf("Bilinear against PROJ's `vgridshift` on the same grid, 1,000,000 random points: worst difference\n"
                "%.2g m.\n\n", worstProj);
    std::printf("Bicubic (Catmull-Rom over 16 nodes) against bilinear, over the same random points and every cell\n"
                "centre: largest difference %.3f m (at latitude %.3f, longitude %.3f), root mean square %.3f m.\n"
                "Both pass through the nodes; they part where the geoid bends sharply between nodes 28 km apart.\n",
                worstCubic, cubicLat, cubicLon, std::sqrt(sumSquares / double(count)));
}

}  // namespace

// Look angles against GeographicLib's local east-north-up frame plus the
// three angle formulas, and the exact geodetic conversion against its reverse
// conversion, by height band of the target, on the same semi-axes.
void lookErrors(double lowest, double highest, int pairs)
{
    const double a = DtWGS84.spheroid.semiMajorAxis, b = DtWGS84.spheroid.semiMinorAxis;
    const GeographicLib::Geocentric earth(a, (a - b) / a);
    std::mt19937_64 gen(7);
    std::uniform_real_distribution<double> u(0, 1);
    double worstAngle = 0, worstRange = 0, worstBack = 0, worstExact = 0;
    for (int i = 0; i < pairs; ++i) {
        const double lat0 = 180 * u(gen) - 90, lon0 = 360 * u(gen) - 180, h0 = 5000 * u(gen);
        const double lat = 180 * u(gen) - 90, lon = 360 * u(gen) - 180, h = lowest + (highest - lowest) * u(gen);
        const GeographicLib::LocalCartesian frame(lat0, lon0, h0, earth);
        double e, n, up;
        frame.Forward(lat, lon, h, e, n, up);
        const double range = std::sqrt(e * e + n * n + up * up), el = std::atan2(up, std::hypot(e, n));
        const double az = std::fmod(std::atan2(e, n) + 2 * M_PI, 2 * M_PI);
        const DtObserver observer(lat0 * kDeg, lon0 * kDeg, h0, DtWGS84);
        const DtLookAngles look = observer.lookAt(lat * kDeg, lon * kDeg, h);
        const double da = std::fabs(look.azimuth - az);
        worstAngle = std::max({worstAngle, std::min(da, 2 * M_PI - da) * std::cos(el) * range,
                               std::fabs(look.elevation - el) * range});
        worstRange = std::max(worstRange, std::fabs(look.range - range));
        const DtVector64 back = observer.geodeticAt(look);
        worstBack = std::max({worstBack, std::fabs(back[0] / kDeg - lat) * 1.1e5,
                              std::fabs(back[1] / kDeg - lon) * std::cos(lat * kDeg) * 1.1e5, std::fabs(back[2] - h)});
        double x, y, z, plat, plon, ph;
        earth.Forward(lat, lon, h, x, y, z);
        earth.Reverse(x, y, z, plat, plon, ph);
        const DtVector64 g = DtGeocentricToGeodeticExact(DtVector64(x, y, z), DtWGS84);
        worstExact = std::max({worstExact, std::fabs(g[0] / kDeg - plat) * 1.1e5,
                               std::fabs(g[1] / kDeg - plon) * std::cos(plat * kDeg) * 1.1e5, std::fabs(g[2] - ph)});
    }
    std::printf("| %.0f to %.0f m | %d | %.2g m | %.2g m | %.2g m | %.2g m |\n", lowest, highest, pairs, worstAngle,
                worstRange, worstBack, worstExact);
}

// MGRS and UTM/UPS against GeographicLib on the same ellipsoid: points over
// the globe, a fifth each dense on band edges, on zone edges and in the polar
// caps; every precision 0..5; the disagreements listed.
void gridErrors(int points)
{
    const double a = 6378137, f = 1 / 298.257223563;
    const DtMgrs ours(DtMapDatum(DtSpheroid{a, a * (1 - f)}, 0, 0, 0));
    std::mt19937_64 gen(13);
    std::uniform_real_distribution<double> u(0, 1);
    double worstUtm = 0, worstUps = 0;
    long strings = 0, differ = 0;
    for (int i = 0; i < points; ++i) {
        double lat = 180 * u(gen) - 90, lon = 360 * u(gen) - 180;
        if (i % 5 == 1)
            lat = std::round(lat / 8) * 8 + (u(gen) - 0.5) * 1e-6;
        else if (i % 5 == 2)
            lon = std::round(lon / 3) * 3 + (u(gen) - 0.5) * 1e-6, lat = i % 2 ? 56 + 28 * u(gen) : lat;
        else if (i % 5 == 3)
            lat = (i % 2 ? 1 : -1) * (78 + 12 * u(gen));
        int zone;
        bool north;
        double x, y;
        GeographicLib::UTMUPS::Forward(lat, lon, zone, north, x, y);
        const DtGridPosition p = ours.grid().forward(lat * kDeg, lon * kDeg);
        double& worst = zone == 0 ? worstUps : worstUtm;
        worst = std::max(worst, std::hypot(p.easting - x, p.northing - y));
        char text[DtMgrs::kMaxLength + 1];
        for (int digits = 0; digits <= 5; ++digits) {
            std::string theirs;
            GeographicLib::MGRS::Forward(zone, north, x, y, lat, digits, theirs);
            ours.encode(lat * kDeg, lon * kDeg, digits, text);
            ++strings;
            if (theirs != text && ++differ <= 10) {
                if (differ == 1)
                    std::printf("\n| latitude | longitude | digits | ours | GeographicLib |\n|---:|---:|---:|---|---|\n");
                std::printf("| %.12f | %.12f | %d | %s | %s |\n", lat, lon, digits, text, theirs.c_str());
            }
        }
    }
    std::printf("\n%ld strings, %ld different; UTM coordinates within %.2g m, UPS within %.2g m.\n", strings, differ,
                worstUtm, worstUps);
}

int main(int argc, char** argv)
{
    const std::string dir = argc > 1 ? argv[1] : ".";
    DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(false);   // the poles are ordinary points here

    std::printf("## Geocentric to geodetic, by height band\n\n");
    std::printf("Worst latitude error (as metres along the meridian) and height error over latitudes -90..90 in\n"
                "steps of 0.25 degree and longitudes all round, against GeographicLib's exact `Geocentric`.\n\n");
    std::printf("The square root cancels near the equator: the third column takes 1,001 latitudes within 1e-5\n"
                "degree of it (steps of 1e-8 degree), where the worst cases sit; the others the 0.25-degree grid.\n\n");
    std::printf("| height | latitude error, all latitudes | at latitude | within 1e-5 deg of the equator | height "
                "error | latitude error, 0.25..90 deg |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|\n");
    std::vector<double> all, offEquator, nearEquator;
    for (double lat = -90; lat <= 90; lat += 0.25) {
        all.push_back(lat);
        if (std::fabs(lat) >= 0.25)
            offEquator.push_back(lat);
    }
    for (int i = -500; i <= 500; ++i)
        nearEquator.push_back(i * 1e-8);
    for (double h : {-10e3, -1e3, 0.0, 1e3, 10e3, 100e3, 500e3, 1000e3, 10000e3, 100000e3}) {
        const Worst w = geodeticErrors(all, h), off = geodeticErrors(offEquator, h), eq = geodeticErrors(nearEquator, h);
        std::printf("| %.0f km | %.3g m | %g | %.3g m (at %.2g) | %.3g m | %.3g m |\n", h / 1000,
                    std::max(w.latMetres, eq.latMetres), eq.latMetres > w.latMetres ? eq.atLat : w.atLat,
                    eq.latMetres, eq.atLat, std::max(w.heightMetres, eq.heightMetres), off.latMetres);
    }
    std::printf("\n");

    std::printf("## Geocentric to geodetic near the earth's centre\n\n");
    std::printf("Inside a * e^2 of the ellipsoid's centre a point has several normals to the ellipsoid and the\n"
                "iteration may settle on a far foot point. Points in a meridian plane at radii from 1 m to\n"
                "7,000 km in steps of 1 % (721 directions each) and every centimetre within 2 m of a * e^2\n"
                "(2,881 directions each); the error is the larger of the round\n"
                "trip through GeographicLib's exact forward conversion and the height difference from its\n"
                "exact reverse one. `qorconvert` and the Python package refuse points within a * e^2 + 1 m.\n\n");
    std::printf("| ellipsoid | a * e^2 | last radius with an error above 1 m (or no number) | worst within a * e^2 + 1 m "
                "| worst beyond |\n");
    std::printf("|---|---:|---:|---:|---:|\n");
    centreErrors("WGS 84", DtWGS84);
    centreErrors("International 1924 (ED50)", DtED50);
    centreErrors("Clarke 1866 (NAD 27)", DtCONUSNAD27);
    std::printf("\n");

    std::printf("## Geodesics against GeographicLib\n\n");
    std::printf("Pairs of points, a quarter random, a quarter nearly antipodal (within 1e-10 rad either way), a\n"
                "quarter along and near the equator past the crossover, the rest along meridians and from the\n"
                "poles; for each also a direct problem from a random azimuth over up to 20,000 km either way.\n"
                "Inverse: the distance; direct: the end points apart; back: the direct problem from the\n"
                "inverse's azimuth and distance to the second point; area: the area to the equator, relative\n"
                "(against at least 1e12 m^2).\n\n");
    std::printf("| ellipsoid | pairs | inverse | direct | back | area |\n|---|---:|---:|---:|---:|---:|\n");
    geodesicErrors("WGS 84 (a, 1/f = 298.257223563)", 6378137, 1 / 298.257223563, 1000000);
    geodesicErrors("International 1924", 6378388, 1 / 297.0, 200000);
    geodesicErrors("Clarke 1866", 6378206.4, 1 / 294.978698214, 200000);
    std::printf("\n");

    std::printf("## Look angles against GeographicLib\n\n");
    std::printf("Random observers (any latitude, up to 5 km high) and targets, on WGS 84 (the library's semi-axes\n"
                "on both sides). Angles: the azimuth and elevation errors as metres at the target's range; back:\n"
                "the target's geodetic position from our look angles (`geodeticAt`); exact: our geocentric-to-\n"
                "geodetic conversion against GeographicLib's reverse conversion of the same geocentric point.\n\n");
    std::printf("| target height | pairs | angles | range | back | exact |\n|---|---:|---:|---:|---:|---:|\n");
    lookErrors(-500, 1e4, 200000);
    lookErrors(1e4, 1e6, 200000);
    lookErrors(1e6, 4e7, 200000);
    std::printf("\n");
    std::printf("Lines of sight and clearance have no peer in GeographicLib: the tests check each intersection\n"
                "point's exact height against the height asked for (within 1e-8 m, rays from 9 km up, heights -500 to\n"
                "2,500 m), `lookAtSpheroid` against pymap3d's (within 2.8e-5 m, the rounded semi-minor axis), and each\n"
                "clearance against the lowest of 4,001 samples of the segment (never above it, within 5 cm below it).\n\n");

    std::printf("## Grid references (MGRS, UTM/UPS) against GeographicLib\n\n");
    std::printf("1,000,000 points, a fifth each dense on band edges (within 5e-7 degree), on zone edges (the\n"
                "Norway and Svalbard zones among them) and in the polar caps, on the exact WGS 84 ellipsoid on\n"
                "both sides; the MGRS string at every precision 0 to 5. Disagreements, if any, would be listed\n"
                "below with the point (the first ten).\n");
    gridErrors(1000000);
    std::printf("\n");

    // Plot data: latitude error against latitude near the equator.
    if (std::FILE* out = std::fopen((dir + "/equator.dat").c_str(), "w")) {
        for (double e = -9; e <= 1.0001; e += 0.05) {
            const double lat = std::pow(10.0, e);
            const Worst w = geodeticErrors({lat, -lat}, 0.0);
            std::fprintf(out, "%.6g %.6g\n", lat, std::max(w.latMetres, 1e-12));
        }
        std::fclose(out);
    }

    std::printf("## UTM, zone form, against the exact transverse Mercator\n\n");
    std::printf("Latitudes -80..84 in steps of 0.25 degree, WGS 84, k0 = 0.9996. Errors as metres on the ground.\n\n");
    std::printf("| from the central meridian | forward | inverse | round trip (ours both ways) |\n|---|---:|---:|---:|\n");
    UtmErrors within;
    for (double off = 0; off <= 3.0001; off += 0.25) {
        const UtmErrors u = utmErrors(off);
        within.forward = std::max(within.forward, u.forward);
        within.inverse = std::max(within.inverse, u.inverse);
        within.roundTrip = std::max(within.roundTrip, u.roundTrip);
    }
    std::printf("| within 3 degrees (the zone) | %.3g m | %.3g m | %.3g m |\n", within.forward, within.inverse,
                within.roundTrip);
    for (double off : {4.0, 6.0, 9.0}) {
        const UtmErrors u = utmErrors(off);
        std::printf("| %g degrees | %.3g m | %.3g m | %.3g m |\n", off, u.forward, u.inverse, u.roundTrip);
    }
    if (std::FILE* out = std::fopen((dir + "/utm.dat").c_str(), "w")) {
        for (double off = 0; off <= 9.0001; off += 0.25) {
            const UtmErrors u = utmErrors(off);
            std::fprintf(out, "%g %.6g %.6g %.6g\n", off, std::max(u.forward, 1e-6), std::max(u.inverse, 1e-6),
                         std::max(u.roundTrip, 1e-6));
        }
        std::fclose(out);
    }

    std::printf("\n## Matrix to Tait-Bryan angles near the hard places\n\n");
    std::printf("Largest error (radians) of the three angles read back from the matrix of the given angles; the\n"
                "other angles are 0.3 and -0.2. Yaw and roll come from arc cosines, pitch from an arc sine.\n\n");
    std::printf("| distance d | yaw d | yaw pi - d | roll d | roll pi - d | pitch pi/2 - d |\n|---:|---:|---:|---:|---:|---:|\n");
    for (int k = 1; k <= 9; ++k) {
        const double d = std::pow(10.0, -k);
        std::printf("| 1e-%d | %.2g | %.2g | %.2g | %.2g | %.2g |\n", k, angleError(DtTaitBryan(d, 0.3, -0.2)),
                    angleError(DtTaitBryan(kPi - d, 0.3, -0.2)), angleError(DtTaitBryan(0.3, -0.2, d)),
                    angleError(DtTaitBryan(0.3, -0.2, kPi - d)), angleError(DtTaitBryan(0.3, kPi / 2 - d, -0.2)));
    }
    std::printf("\nWithin about 1e-6 rad of vertical pitch the roll is set to 0 and the heading carries the combined\n"
                "angle, so the pitch column measures the sum there, not the separate angles.\n");
    geoidReport();
    return 0;
}
