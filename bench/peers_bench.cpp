// Our operations next to peer libraries doing the same job, per call, over
// a few thousand varied inputs. Names: <operation>/<implementation>; the
// implementation "floor" times only the transcendental calls our algorithm
// cannot avoid. bench/compare turns the output into the comparison table.
#include "benchInputs.h"

#include <geodesic.h>
#include <geodeticCoord.h>
#include <geoidGrid.h>
#include <lookAngles.h>
#include <mgrs.h>
#include <qvDcm.h>
#include <qvQuaternion.h>
#include <qvTaitBryan.h>
#include <referenceEllipsoid.h>
#include <topoCoord.h>
#include <utmCoord.h>
#include <utmReferencePoint.h>

#include <Eigen/Dense>
#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>
#include <GeographicLib/LocalCartesian.hpp>
#include <GeographicLib/MGRS.hpp>
#include <GeographicLib/TransverseMercator.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <benchmark/benchmark.h>
#include <proj.h>

#include <cmath>
#include <vector>

using namespace Vorant;

namespace {

constexpr std::size_t kMask = qmbench::kInputs - 1;
const double kDeg = 3.141592653589793 / 180;

struct GeodeticSet
{
    std::vector<double> lat, lon, h;     // radians, metres
    std::vector<double> x, y, z;         // geocentric
    explicit GeodeticSet(bool high)
        : lat(qmbench::uniform(-1.55, 1.55, 1)), lon(qmbench::uniform(-3.14, 3.14, 2)),
          h(high ? qmbench::uniform(2e5, 1e6, 3) : qmbench::uniform(-100, 3000, 3)), x(lat.size()), y(lat.size()),
          z(lat.size())
    {
        for (std::size_t i = 0; i < lat.size(); ++i)
            DtGlobalEllipsoid().geodetic_to_geocentric(lat[i], lon[i], h[i], &x[i], &y[i], &z[i]);
    }
};

struct Proj
{
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* p;
    explicit Proj(const char* definition) : p(proj_create(ctx, definition)) {}
    ~Proj()
    {
        proj_destroy(p);
        proj_context_destroy(ctx);
    }
};

// ---- geocentric -> geodetic ----------------------------------------------------------

void geoc2geod_ours(benchmark::State& s)
{
    const GeodeticSet in(s.range(0));
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    double lat, lon, h;
    std::size_t i = 0;
    for (auto _ : s) {
        e.geocentric_to_geodetic(in.x[i], in.y[i], in.z[i], &lat, &lon, &h);
        benchmark::DoNotOptimize(lat + lon + h);
        i = (i + 1) & kMask;
    }
}
void geoc2geod_geographiclib(benchmark::State& s)
{
    const GeodeticSet in(s.range(0));
    const GeographicLib::Geocentric& g = GeographicLib::Geocentric::WGS84();
    double lat, lon, h;
    std::size_t i = 0;
    for (auto _ : s) {
        g.Reverse(in.x[i], in.y[i], in.z[i], lat, lon, h);
        benchmark::DoNotOptimize(lat + lon + h);
        i = (i + 1) & kMask;
    }
}
void geoc2geod_proj_trans(benchmark::State& s)
{
    const GeodeticSet in(s.range(0));
    Proj cart("+proj=cart +ellps=WGS84");
    std::size_t i = 0;
    for (auto _ : s) {
        const PJ_COORD c = proj_trans(cart.p, PJ_INV, proj_coord(in.x[i], in.y[i], in.z[i], 0));
        benchmark::DoNotOptimize(c);
        i = (i + 1) & kMask;
    }
}
void geoc2geod_proj_generic(benchmark::State& s)
{
    const GeodeticSet in(s.range(0));
    Proj cart("+proj=cart +ellps=WGS84");
    std::size_t i = 0;
    for (auto _ : s) {
        double x = in.x[i], y = in.y[i], z = in.z[i];
        proj_trans_generic(cart.p, PJ_INV, &x, 0, 1, &y, 0, 1, &z, 0, 1, nullptr, 0, 0);
        benchmark::DoNotOptimize(x + y + z);
        i = (i + 1) & kMask;
    }
}
// PROJ's array form, 64 points a call, for the many-element row.
void geoc2geod_proj_generic_many(benchmark::State& s)
{
    const GeodeticSet in(s.range(0));
    Proj cart("+proj=cart +ellps=WGS84");
    double x[64], y[64], z[64];
    std::size_t i = 0;
    for (auto _ : s) {
        std::copy_n(in.x.data() + i, 64, x), std::copy_n(in.y.data() + i, 64, y), std::copy_n(in.z.data() + i, 64, z);
        proj_trans_generic(cart.p, PJ_INV, x, sizeof(double), 64, y, sizeof(double), 64, z, sizeof(double), 64,
                           nullptr, 0, 0);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        benchmark::DoNotOptimize(z);
        i = (i + 64) & kMask;
    }
}
// The many-element call, 64 points an iteration (the table divides).
void geoc2geod_many_ours(benchmark::State& s)
{
    const GeodeticSet in(s.range(0));
    std::vector<DtVector64> points(in.x.size());
    for (std::size_t k = 0; k < points.size(); ++k)
        points[k] = DtVector64(in.x[k], in.y[k], in.z[k]);
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    DtVector64 out[64];
    std::size_t i = 0;
    for (auto _ : s) {
        e.geocentricToGeodetic(64, points.data() + i, out);
        benchmark::DoNotOptimize(out);
        i = (i + 64) & kMask;
    }
}
// The calls our algorithm cannot avoid: one atan2, one atan, the square roots.
void geoc2geod_floor(benchmark::State& s)
{
    const GeodeticSet in(s.range(0));
    std::size_t i = 0;
    for (auto _ : s) {
        const double r2 = in.x[i] * in.x[i] + in.y[i] * in.y[i];
        benchmark::DoNotOptimize(std::atan2(in.y[i], in.x[i]) + std::atan(in.z[i] / std::sqrt(r2)) +
                                 std::sqrt(r2 + in.z[i]) + std::sqrt(in.z[i] * in.z[i] + r2) + std::sqrt(in.x[i] + r2));
        i = (i + 1) & kMask;
    }
}
BENCHMARK(geoc2geod_ours)->Arg(0)->Arg(1);
BENCHMARK(geoc2geod_many_ours)->Arg(0)->Arg(1);
BENCHMARK(geoc2geod_proj_generic_many)->Arg(0)->Arg(1);
BENCHMARK(geoc2geod_geographiclib)->Arg(0)->Arg(1);
BENCHMARK(geoc2geod_proj_trans)->Arg(0)->Arg(1);
BENCHMARK(geoc2geod_proj_generic)->Arg(0)->Arg(1);
BENCHMARK(geoc2geod_floor)->Arg(0)->Arg(1);

// ---- geodetic -> geocentric ----------------------------------------------------------

void geod2geoc_ours(benchmark::State& s)
{
    const GeodeticSet in(false);
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    double x, y, z;
    std::size_t i = 0;
    for (auto _ : s) {
        e.geodetic_to_geocentric(in.lat[i], in.lon[i], in.h[i], &x, &y, &z);
        benchmark::DoNotOptimize(x + y + z);
        i = (i + 1) & kMask;
    }
}
void geod2geoc_geographiclib(benchmark::State& s)
{
    const GeodeticSet in(false);
    const GeographicLib::Geocentric& g = GeographicLib::Geocentric::WGS84();
    double x, y, z;
    std::size_t i = 0;
    for (auto _ : s) {
        g.Forward(in.lat[i] / kDeg, in.lon[i] / kDeg, in.h[i], x, y, z);
        benchmark::DoNotOptimize(x + y + z);
        i = (i + 1) & kMask;
    }
}
void geod2geoc_proj_trans(benchmark::State& s)
{
    const GeodeticSet in(false);
    Proj cart("+proj=cart +ellps=WGS84");
    std::size_t i = 0;
    for (auto _ : s) {
        const PJ_COORD c = proj_trans(cart.p, PJ_FWD, proj_coord(in.lon[i], in.lat[i], in.h[i], 0));
        benchmark::DoNotOptimize(c);
        i = (i + 1) & kMask;
    }
}
// sin and cos of latitude and longitude, one square root.
void geod2geoc_floor(benchmark::State& s)
{
    const GeodeticSet in(false);
    std::size_t i = 0;
    for (auto _ : s) {
        benchmark::DoNotOptimize(std::sin(in.lat[i]) + std::cos(in.lat[i]) + std::sin(in.lon[i]) * std::cos(in.lon[i]) +
                                 std::sqrt(in.h[i] + 7e6));
        i = (i + 1) & kMask;
    }
}
BENCHMARK(geod2geoc_ours);
BENCHMARK(geod2geoc_geographiclib);
BENCHMARK(geod2geoc_proj_trans);
BENCHMARK(geod2geoc_floor);

// ---- UTM -------------------------------------------------------------------------------

struct ZoneSet
{
    std::vector<double> latDeg = qmbench::uniform(-80, 84, 21);
    std::vector<double> lonDeg = qmbench::uniform(-78, -72, 22);
    std::vector<double> northing, easting;   // zone form: from the equator and the central meridian
    DtUtmReferencePoint p{DtDegMinSec{40, 0, 0, DtNorth}, DtDegMinSec{75, 0, 0, DtWest}, 1, 18, DtWGS84, 0.9996};
    ZoneSet() : northing(latDeg.size()), easting(latDeg.size())
    {
        for (std::size_t i = 0; i < latDeg.size(); ++i) {
            long zone = 18;
            p.geod2utm(latDeg[i], lonDeg[i], &zone, &northing[i], &easting[i]);
        }
    }
};

void utm_fwd_ours(benchmark::State& s)
{
    ZoneSet in;
    double n, e;
    std::size_t i = 0;
    for (auto _ : s) {
        long zone = 18;
        in.p.geod2utm(in.latDeg[i], in.lonDeg[i], &zone, &n, &e);
        benchmark::DoNotOptimize(n + e);
        i = (i + 1) & kMask;
    }
}
void utm_fwd_geographiclib(benchmark::State& s)
{
    ZoneSet in;
    const GeographicLib::TransverseMercator& tm = GeographicLib::TransverseMercator::UTM();
    double x, y;
    std::size_t i = 0;
    for (auto _ : s) {
        tm.Forward(-75.0, in.latDeg[i], in.lonDeg[i], x, y);
        benchmark::DoNotOptimize(x + y);
        i = (i + 1) & kMask;
    }
}
void utm_fwd_proj_trans(benchmark::State& s)
{
    ZoneSet in;
    Proj utm("+proj=utm +zone=18 +ellps=WGS84");
    std::size_t i = 0;
    for (auto _ : s) {
        const PJ_COORD c = proj_trans(utm.p, PJ_FWD, proj_coord(in.lonDeg[i] * kDeg, in.latDeg[i] * kDeg, 0, 0));
        benchmark::DoNotOptimize(c);
        i = (i + 1) & kMask;
    }
}
// Two sine/cosine pairs, a tangent, a square root.
void utm_fwd_floor(benchmark::State& s)
{
    ZoneSet in;
    std::size_t i = 0;
    for (auto _ : s) {
        const double phi = in.latDeg[i] * kDeg;
        benchmark::DoNotOptimize(std::sin(phi) + std::cos(phi) + std::sin(2 * phi) * std::cos(2 * phi) + std::tan(phi) +
                                 std::sqrt(1 - phi * 0.006));
        i = (i + 1) & kMask;
    }
}
void utm_inv_ours(benchmark::State& s)
{
    ZoneSet in;
    double lat, lon;
    std::size_t i = 0;
    for (auto _ : s) {
        in.p.utm2geod(in.northing[i], in.easting[i], 18, &lat, &lon);
        benchmark::DoNotOptimize(lat + lon);
        i = (i + 1) & kMask;
    }
}
void utm_inv_geographiclib(benchmark::State& s)
{
    ZoneSet in;
    const GeographicLib::TransverseMercator& tm = GeographicLib::TransverseMercator::UTM();
    double lat, lon;
    std::size_t i = 0;
    for (auto _ : s) {
        tm.Reverse(-75.0, in.easting[i], in.northing[i], lat, lon);
        benchmark::DoNotOptimize(lat + lon);
        i = (i + 1) & kMask;
    }
}
void utm_inv_proj_trans(benchmark::State& s)
{
    ZoneSet in;
    Proj utm("+proj=utm +zone=18 +ellps=WGS84");
    std::size_t i = 0;
    for (auto _ : s) {
        const PJ_COORD c = proj_trans(utm.p, PJ_INV, proj_coord(in.easting[i] + 500000.0, in.northing[i], 0, 0));
        benchmark::DoNotOptimize(c);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(utm_fwd_ours);
BENCHMARK(utm_fwd_geographiclib);
BENCHMARK(utm_fwd_proj_trans);
BENCHMARK(utm_fwd_floor);
BENCHMARK(utm_inv_ours);
BENCHMARK(utm_inv_geographiclib);
BENCHMARK(utm_inv_proj_trans);

void utmr_fwd_ours(benchmark::State& s)
{
    ZoneSet in;
    double e, n;
    std::size_t i = 0;
    for (auto _ : s) {
        in.p.geod2utm(in.latDeg[i] * kDeg, in.lonDeg[i] * kDeg, &e, &n);
        benchmark::DoNotOptimize(e + n);
        i = (i + 1) & kMask;
    }
}
void utmr_fwd_geodtoutm(benchmark::State& s)
{
    ZoneSet in;
    std::vector<DtGeodeticCoord> g;
    g.reserve(qmbench::kInputs);
    for (std::size_t k = 0; k < qmbench::kInputs; ++k)
        g.emplace_back(in.latDeg[k] * kDeg, in.lonDeg[k] * kDeg, 0.0, in.p.ellipsoid());
    DtUtmCoord u(&in.p);
    std::size_t i = 0;
    for (auto _ : s) {
        DtGeodToUtm(g[i], u);
        benchmark::DoNotOptimize(u);
        i = (i + 1) & kMask;
    }
}
void utmr_fwd_geographiclib(benchmark::State& s)
{
    ZoneSet in;
    int zone;
    bool north;
    double x, y;
    std::size_t i = 0;
    for (auto _ : s) {
        GeographicLib::UTMUPS::Forward(in.latDeg[i], in.lonDeg[i], zone, north, x, y, 18);
        benchmark::DoNotOptimize(x + y);
        i = (i + 1) & kMask;
    }
}
void utmr_inv_ours(benchmark::State& s)
{
    ZoneSet in;
    std::vector<double> e(qmbench::kInputs), n(qmbench::kInputs);
    for (std::size_t k = 0; k < e.size(); ++k)
        in.p.geod2utm(in.latDeg[k] * kDeg, in.lonDeg[k] * kDeg, &e[k], &n[k]);
    double lat, lon;
    std::size_t i = 0;
    for (auto _ : s) {
        in.p.utm2geod(e[i], n[i], &lat, &lon);
        benchmark::DoNotOptimize(lat + lon);
        i = (i + 1) & kMask;
    }
}
void utmr_inv_geographiclib(benchmark::State& s)
{
    ZoneSet in;
    std::vector<double> e(qmbench::kInputs), n(qmbench::kInputs);
    for (std::size_t k = 0; k < e.size(); ++k)
        in.p.geod2utm(in.latDeg[k] * kDeg, in.lonDeg[k] * kDeg, &e[k], &n[k]);
    double lat, lon;
    std::size_t i = 0;
    for (auto _ : s) {
        GeographicLib::UTMUPS::Reverse(18, in.latDeg[i] >= 0, e[i], n[i], lat, lon);
        benchmark::DoNotOptimize(lat + lon);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(utmr_fwd_ours);
BENCHMARK(utmr_fwd_geodtoutm);
BENCHMARK(utmr_fwd_geographiclib);
BENCHMARK(utmr_inv_ours);
BENCHMARK(utmr_inv_geographiclib);

// ---- matrices and angles ---------------------------------------------------------------

struct AngleSet
{
    std::vector<DtTaitBryan> a;
    std::vector<DtDcm> m;
    std::vector<Eigen::Matrix3d> em;
    std::vector<DtQuaternion> q;
    std::vector<Eigen::Quaterniond> eq;
    AngleSet()
    {
        const auto psi = qmbench::uniform(-3.1, 3.1, 31), th = qmbench::uniform(-1.5, 1.5, 32),
                   ph = qmbench::uniform(-3.1, 3.1, 33);
        for (std::size_t i = 0; i < qmbench::kInputs; ++i) {
            a.emplace_back(psi[i], th[i], ph[i]);
            m.emplace_back(a.back());
            Eigen::Matrix3d e;
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    e(r, c) = m.back()[r][c];
            em.push_back(e);
            q.emplace_back(a.back());
            eq.emplace_back(q.back().w(), q.back().x(), q.back().y(), q.back().z());
        }
    }
};

void dcmmul_ours(benchmark::State& s)
{
    const AngleSet in;
    DtDcm out;
    std::size_t i = 0;
    for (auto _ : s) {
        DtDcmDcmMul(in.m[i], in.m[(i + 1) & kMask], out);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & kMask;
    }
}
void dcmmul_eigen(benchmark::State& s)
{
    const AngleSet in;
    Eigen::Matrix3d out;
    std::size_t i = 0;
    for (auto _ : s) {
        out.noalias() = in.em[i] * in.em[(i + 1) & kMask];
        benchmark::DoNotOptimize(out);
        i = (i + 1) & kMask;
    }
}
void dcmvec_ours(benchmark::State& s)
{
    const AngleSet in;
    DtVector64 out;
    std::size_t i = 0;
    for (auto _ : s) {
        DtDcmVecMul(in.m[i], in.m[(i + 7) & kMask][1], out);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & kMask;
    }
}
void dcmvec_eigen(benchmark::State& s)
{
    const AngleSet in;
    Eigen::Vector3d out;
    std::size_t i = 0;
    for (auto _ : s) {
        out.noalias() = in.em[i] * in.em[(i + 7) & kMask].row(1).transpose();
        benchmark::DoNotOptimize(out);
        i = (i + 1) & kMask;
    }
}
void tb2mat_ours(benchmark::State& s)
{
    const AngleSet in;
    DtDcm out;
    std::size_t i = 0;
    for (auto _ : s) {
        DtTbToMat(in.a[i], out);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & kMask;
    }
}
void tb2mat_eigen(benchmark::State& s)
{
    const AngleSet in;
    Eigen::Matrix3d out;
    std::size_t i = 0;
    for (auto _ : s) {
        out = (Eigen::AngleAxisd(in.a[i].psi(), Eigen::Vector3d::UnitZ()) *
               Eigen::AngleAxisd(in.a[i].theta(), Eigen::Vector3d::UnitY()) *
               Eigen::AngleAxisd(in.a[i].phi(), Eigen::Vector3d::UnitX()))
                  .toRotationMatrix();
        benchmark::DoNotOptimize(out);
        i = (i + 1) & kMask;
    }
}
void mat2tb_ours(benchmark::State& s)
{
    const AngleSet in;
    DtTaitBryan out;
    std::size_t i = 0;
    for (auto _ : s) {
        DtBodyToRef_to_Euler(in.m[i], &out);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & kMask;
    }
}
void mat2tb_eigen(benchmark::State& s)
{
    const AngleSet in;
    std::size_t i = 0;
    for (auto _ : s) {
        const Eigen::Vector3d ea = in.em[i].eulerAngles(2, 1, 0);
        benchmark::DoNotOptimize(ea);
        i = (i + 1) & kMask;
    }
}
void quat2mat_ours(benchmark::State& s)
{
    const AngleSet in;
    DtDcm out;
    std::size_t i = 0;
    for (auto _ : s) {
        DtDcmFromQuaternion(out, &in.q[i]);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & kMask;
    }
}
void quat2mat_eigen(benchmark::State& s)
{
    const AngleSet in;
    Eigen::Matrix3d out;
    std::size_t i = 0;
    for (auto _ : s) {
        out = in.eq[i].toRotationMatrix();
        benchmark::DoNotOptimize(out);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(dcmmul_ours);
BENCHMARK(dcmmul_eigen);
BENCHMARK(dcmvec_ours);
BENCHMARK(dcmvec_eigen);
BENCHMARK(tb2mat_ours);
BENCHMARK(tb2mat_eigen);
BENCHMARK(mat2tb_ours);
BENCHMARK(mat2tb_eigen);
BENCHMARK(quat2mat_ours);
BENCHMARK(quat2mat_eigen);

// ---- heading over the ground: the whole typical request ------------------------------------

struct StateSet
{
    std::vector<DtVector64> pos;
    std::vector<DtTaitBryan> att;
    StateSet()
    {
        const GeodeticSet g(false);
        const AngleSet a;
        for (std::size_t i = 0; i < qmbench::kInputs; ++i) {
            pos.emplace_back(g.x[i], g.y[i], g.z[i]);
            att.push_back(a.a[i]);
        }
    }
};

void heading_ours(benchmark::State& s)
{
    const StateSet in;
    std::size_t i = 0;
    for (auto _ : s) {
        benchmark::DoNotOptimize(DtGetHeadingFromGeocentric(in.pos[i], in.att[i]));
        i = (i + 1) & kMask;
    }
}
// The same job with the peers: geodetic position and local frame from
// GeographicLib, the body matrix and the angle extraction with Eigen.
void heading_peers(benchmark::State& s)
{
    const StateSet in;
    const GeographicLib::Geocentric& earth = GeographicLib::Geocentric::WGS84();
    Eigen::Matrix3d nedToEnu;
    nedToEnu << 0, 1, 0, 1, 0, 0, 0, 0, -1;
    std::vector<double> m(9);
    std::size_t i = 0;
    for (auto _ : s) {
        double lat, lon, h;
        earth.Reverse(in.pos[i].x(), in.pos[i].y(), in.pos[i].z(), lat, lon, h, m);
        const Eigen::Map<const Eigen::Matrix<double, 3, 3, Eigen::RowMajor>> enuToGeoc(m.data());
        const Eigen::Matrix3d body = (Eigen::AngleAxisd(in.att[i].psi(), Eigen::Vector3d::UnitZ()) *
                                      Eigen::AngleAxisd(in.att[i].theta(), Eigen::Vector3d::UnitY()) *
                                      Eigen::AngleAxisd(in.att[i].phi(), Eigen::Vector3d::UnitX()))
                                         .toRotationMatrix();
        const Eigen::Matrix3d local = (enuToGeoc * nedToEnu).transpose() * body;
        benchmark::DoNotOptimize(local.eulerAngles(2, 1, 0)[0]);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(heading_ours);
BENCHMARK(heading_peers);

}  // namespace

// ---- geoid undulation, EGM96 bilinear ------------------------------------------------

namespace {

void geoid_ours(benchmark::State& s)
{
    const DtGeoidGrid grid("/usr/share/proj/egm96_15.gtx");
    const auto lat = qmbench::uniform(-90, 90, 41), lon = qmbench::uniform(-180, 180, 42);
    std::size_t i = 0;
    for (auto _ : s) {
        benchmark::DoNotOptimize(grid.undulation(lat[i], lon[i]));
        i = (i + 1) & kMask;
    }
}

void geoid_proj_trans(benchmark::State& s)
{
    const Proj shift("+proj=vgridshift +grids=egm96_15.gtx +multiplier=1");
    const auto lat = qmbench::uniform(-90, 90, 41), lon = qmbench::uniform(-180, 180, 42);
    std::size_t i = 0;
    for (auto _ : s) {
        const PJ_COORD c = proj_trans(shift.p, PJ_FWD, proj_coord(lon[i] * kDeg, lat[i] * kDeg, 0, 0));
        benchmark::DoNotOptimize(c.xyz.z);
        i = (i + 1) & kMask;
    }
}

}  // namespace

BENCHMARK(geoid_ours);
BENCHMARK(geoid_proj_trans);

// ---- geodesics: random pairs (the inverse problem), random starts, azimuths
// and distances up to 20,000 km (the direct problem), positions on one line.
namespace {

struct GeodesicSet
{
    std::vector<double> lat1 = qmbench::uniform(-90, 90, 31), lon1 = qmbench::uniform(-180, 180, 32),
                        lat2 = qmbench::uniform(-90, 90, 33), lon2 = qmbench::uniform(-180, 180, 34),
                        azi = qmbench::uniform(-180, 180, 35), s = qmbench::uniform(0, 2e7, 36);
};
const GeodesicSet& geodesicInputs()
{
    static const GeodesicSet set;
    return set;
}

void geodesic_inv_ours(benchmark::State& state)
{
    const GeodesicSet& in = geodesicInputs();
    const DtGeodesic g(6378137, 1 / 298.257223563);
    std::size_t i = 0;
    for (auto _ : state) {
        const DtGeodesicResult r =
            g.inverse(in.lat1[i] * kDeg, in.lon1[i] * kDeg, in.lat2[i] * kDeg, in.lon2[i] * kDeg);
        benchmark::DoNotOptimize(r.s12);
        i = (i + 1) & kMask;
    }
}

void geodesic_inv_geographiclib(benchmark::State& state)
{
    const GeodesicSet& in = geodesicInputs();
    const GeographicLib::Geodesic g(6378137, 1 / 298.257223563);
    std::size_t i = 0;
    for (auto _ : state) {
        double s12, azi1, azi2;
        g.Inverse(in.lat1[i], in.lon1[i], in.lat2[i], in.lon2[i], s12, azi1, azi2);
        benchmark::DoNotOptimize(s12);
        i = (i + 1) & kMask;
    }
}

void geodesic_dir_ours(benchmark::State& state)
{
    const GeodesicSet& in = geodesicInputs();
    const DtGeodesic g(6378137, 1 / 298.257223563);
    std::size_t i = 0;
    for (auto _ : state) {
        const DtGeodesicResult r = g.direct(in.lat1[i] * kDeg, in.lon1[i] * kDeg, in.azi[i] * kDeg, in.s[i]);
        benchmark::DoNotOptimize(r.lat2);
        i = (i + 1) & kMask;
    }
}

void geodesic_dir_geographiclib(benchmark::State& state)
{
    const GeodesicSet& in = geodesicInputs();
    const GeographicLib::Geodesic g(6378137, 1 / 298.257223563);
    std::size_t i = 0;
    for (auto _ : state) {
        double lat2, lon2, azi2;
        g.Direct(in.lat1[i], in.lon1[i], in.azi[i], in.s[i], lat2, lon2, azi2);
        benchmark::DoNotOptimize(lat2);
        i = (i + 1) & kMask;
    }
}

void geodesic_pos_ours(benchmark::State& state)
{
    const GeodesicSet& in = geodesicInputs();
    const DtGeodesicLine line = DtGeodesic(6378137, 1 / 298.257223563).line(0.5, 0.2, 0.7);
    std::size_t i = 0;
    for (auto _ : state) {
        const DtGeodesicResult r = line.position(in.s[i]);
        benchmark::DoNotOptimize(r.lat2);
        i = (i + 1) & kMask;
    }
}

void geodesic_pos_geographiclib(benchmark::State& state)
{
    const GeodesicSet& in = geodesicInputs();
    const GeographicLib::GeodesicLine line =
        GeographicLib::Geodesic(6378137, 1 / 298.257223563).Line(0.5 / kDeg, 0.2 / kDeg, 0.7 / kDeg);
    std::size_t i = 0;
    for (auto _ : state) {
        double lat2, lon2, azi2;
        line.Position(in.s[i], lat2, lon2, azi2);
        benchmark::DoNotOptimize(lat2);
        i = (i + 1) & kMask;
    }
}

}  // namespace

BENCHMARK(geodesic_inv_ours);
BENCHMARK(geodesic_inv_geographiclib);
BENCHMARK(geodesic_dir_ours);
BENCHMARK(geodesic_dir_geographiclib);
BENCHMARK(geodesic_pos_ours);
BENCHMARK(geodesic_pos_geographiclib);

// ---- look angles: one observer, targets at random positions up to 2,000 km
// high; ours against GeographicLib's local frame plus the three formulas.
namespace {

struct LookSet
{
    std::vector<double> lat = qmbench::uniform(-90, 90, 41), lon = qmbench::uniform(-180, 180, 42),
                        h = qmbench::uniform(0, 2e6, 43);
};
const LookSet& lookInputs()
{
    static const LookSet set;
    return set;
}

void look_ours(benchmark::State& state)
{
    const LookSet& in = lookInputs();
    const DtObserver observer(0.7, -1.3, 120, DtWGS84);
    std::size_t i = 0;
    for (auto _ : state) {
        const DtLookAngles look = observer.lookAt(in.lat[i] * kDeg, in.lon[i] * kDeg, in.h[i]);
        benchmark::DoNotOptimize(look.azimuth);
        benchmark::DoNotOptimize(look.elevation);
        benchmark::DoNotOptimize(look.range);
        i = (i + 1) & kMask;
    }
}

// The many-element call, 64 targets an iteration (the table divides).
void look_many_ours(benchmark::State& state)
{
    const LookSet& in = lookInputs();
    std::vector<double> lat(in.lat.size()), lon(in.lon.size());
    for (std::size_t k = 0; k < lat.size(); ++k)
        lat[k] = in.lat[k] * kDeg, lon[k] = in.lon[k] * kDeg;
    const DtObserver observer(0.7, -1.3, 120, DtWGS84);
    DtLookAngles out[64];
    std::size_t i = 0;
    for (auto _ : state) {
        observer.lookAt(64, lat.data() + i, lon.data() + i, in.h.data() + i, out);
        benchmark::DoNotOptimize(out);
        i = (i + 64) & kMask;
    }
}

void look_geographiclib(benchmark::State& state)
{
    const LookSet& in = lookInputs();
    const GeographicLib::LocalCartesian frame(0.7 / kDeg, -1.3 / kDeg, 120, GeographicLib::Geocentric::WGS84());
    std::size_t i = 0;
    for (auto _ : state) {
        double e, n, u;
        frame.Forward(in.lat[i], in.lon[i], in.h[i], e, n, u);
        double azimuth = std::atan2(e, n);
        if (azimuth < 0)
            azimuth += 2 * 3.141592653589793;
        const double horizontal = std::hypot(e, n), elevation = std::atan2(u, horizontal),
                     range = std::sqrt(horizontal * horizontal + u * u);
        benchmark::DoNotOptimize(azimuth);
        benchmark::DoNotOptimize(elevation);
        benchmark::DoNotOptimize(range);
        i = (i + 1) & kMask;
    }
}

}  // namespace

BENCHMARK(look_ours);
BENCHMARK(look_many_ours);
BENCHMARK(look_geographiclib);

// ---- grid references: random points between 80 S and 84 N to 5-digit MGRS
// strings and back; UPS on random points of the polar caps. The same
// ellipsoid on both sides.
namespace {

const DtMapDatum& exactWgs84()
{
    static const DtMapDatum d(DtSpheroid{6378137, 6378137 * (1 - 1 / 298.257223563)}, 0, 0, 0);
    return d;
}

struct GridSet
{
    std::vector<double> lat = qmbench::uniform(-80, 84, 51), lon = qmbench::uniform(-180, 180, 52),
                        polarLat = qmbench::uniform(84, 90, 53);
    std::vector<std::string> text;
    GridSet()
    {
        const DtMgrs mgrs(exactWgs84());
        for (std::size_t i = 0; i < lat.size(); ++i)
            text.push_back(mgrs.encode(lat[i] * kDeg, lon[i] * kDeg, 5));
    }
};
const GridSet& gridInputs()
{
    static const GridSet set;
    return set;
}

void mgrs_forward_ours(benchmark::State& state)
{
    const GridSet& in = gridInputs();
    const DtMgrs mgrs(exactWgs84());
    char text[DtMgrs::kMaxLength + 1];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mgrs.encode(in.lat[i] * kDeg, in.lon[i] * kDeg, 5, text));
        benchmark::ClobberMemory();
        i = (i + 1) & kMask;
    }
}

void mgrs_forward_geographiclib(benchmark::State& state)
{
    const GridSet& in = gridInputs();
    std::string text;
    std::size_t i = 0;
    for (auto _ : state) {
        int zone;
        bool north;
        double x, y;
        GeographicLib::UTMUPS::Forward(in.lat[i], in.lon[i], zone, north, x, y);
        GeographicLib::MGRS::Forward(zone, north, x, y, in.lat[i], 5, text);
        benchmark::DoNotOptimize(text.data());
        i = (i + 1) & kMask;
    }
}

void mgrs_reverse_ours(benchmark::State& state)
{
    const GridSet& in = gridInputs();
    const DtMgrs mgrs(exactWgs84());
    std::size_t i = 0;
    for (auto _ : state) {
        const DtMgrsSquare square = mgrs.decode(in.text[i]);
        benchmark::DoNotOptimize(square.lat);
        benchmark::DoNotOptimize(square.lon);
        i = (i + 1) & kMask;
    }
}

void mgrs_reverse_geographiclib(benchmark::State& state)
{
    const GridSet& in = gridInputs();
    std::size_t i = 0;
    for (auto _ : state) {
        int zone, precision;
        bool north;
        double x, y, lat, lon;
        GeographicLib::MGRS::Reverse(in.text[i], zone, north, x, y, precision);
        GeographicLib::UTMUPS::Reverse(zone, north, x, y, lat, lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
        i = (i + 1) & kMask;
    }
}

void ups_forward_ours(benchmark::State& state)
{
    const GridSet& in = gridInputs();
    const DtUtmUps grid(exactWgs84());
    std::size_t i = 0;
    for (auto _ : state) {
        const DtGridPosition p = grid.forward(in.polarLat[i] * kDeg, in.lon[i] * kDeg);
        benchmark::DoNotOptimize(p.easting);
        benchmark::DoNotOptimize(p.northing);
        i = (i + 1) & kMask;
    }
}

void ups_forward_geographiclib(benchmark::State& state)
{
    const GridSet& in = gridInputs();
    std::size_t i = 0;
    for (auto _ : state) {
        int zone;
        bool north;
        double x, y;
        GeographicLib::UTMUPS::Forward(in.polarLat[i], in.lon[i], zone, north, x, y);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        i = (i + 1) & kMask;
    }
}

}  // namespace

BENCHMARK(mgrs_forward_ours);
BENCHMARK(mgrs_forward_geographiclib);
BENCHMARK(mgrs_reverse_ours);
BENCHMARK(mgrs_reverse_geographiclib);
BENCHMARK(ups_forward_ours);
BENCHMARK(ups_forward_geographiclib);
