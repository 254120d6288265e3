#include "magneticModel.h"

#include "diagnostics.h"
#include "fastTrig.h"

#include <geodeticCoord.h>
#include <mapDatum.h>
#include <referenceEllipsoid.h>
#include <utmCoord.h>
#include <utmReferencePoint.h>
#include <qvutil/dtOutput.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

namespace Vorant {

namespace detail {
extern const char kWmm2025Text[];   // data/WMM2025.COF, built into the library (a generated source)
}

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kReferenceRadius = 6371200;   // the model's geomagnetic reference radius, metres
constexpr double kWgs84A = 6378137, kWgs84F = 1 / 298.257223563;
constexpr int kStackDegree = 24;   // models up to this degree are evaluated without allocation

// Two doubles in one register (the compilers' vector extension): a
// coefficient and its rate go through the sums together.
typedef double Pair __attribute__((vector_size(16)));

std::size_t index(int n, int m)
{
    const auto un = static_cast<std::size_t>(n);
    return un * (un + 1) / 2 + static_cast<std::size_t>(m);
}

[[noreturn]] void malformed(const std::string& name, long line, const std::string& what)
{
    const std::string text = "Invalid magnetic model file '" + name + "'" +
                             (line > 0 ? ", line " + std::to_string(line) : std::string()) + ": " + what;
    detail::throwDtException(text.c_str(),
                             "static Vorant::DtMagneticModel Vorant::DtMagneticModel::fromText(const std::string&, "
                             "const std::string&)",
                             __FILE__, __LINE__);
}

bool allNines(const std::string& line)
{
    std::size_t nines = 0;
    for (const char c : line) {
        if (c == '9')
            ++nines;
        else if (c != ' ' && c != '\t' && c != '\r')
            return false;
    }
    return nines >= 9;
}

// A whole number of the text, or false.
bool readNumber(std::istringstream& in, double& value)
{
    std::string word;
    if (!(in >> word))
        return false;
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size() && std::isfinite(value);
}

double reduceAngle(double a)
{
    double r = std::remainder(a, 2 * kPi);
    if (r <= -kPi)
        r += 2 * kPi;
    return r;
}

// A bearing reduced to [0, 2 pi).
double bearing(double a)
{
    double r = std::fmod(a, 2 * kPi);
    if (r < 0)
        r += 2 * kPi;
    return r >= 2 * kPi ? 0.0 : r + 0.0;
}

}  // namespace

struct DtMagneticModel::Warnings
{
    std::atomic<bool> time{false}, height{false};
};

DtMagneticModel DtMagneticModel::fromText(const std::string& text, const std::string& name)
{
    DtMagneticModel model;
    std::istringstream lines(text);
    std::string line;
    long number = 0;
    // The header: epoch, name, date.
    while (std::getline(lines, line)) {
        ++number;
        if (line.find_first_not_of(" \t\r") != std::string::npos)
            break;
    }
    {
        std::istringstream in(line);
        double epoch;
        std::string modelName;
        if (!readNumber(in, epoch) || !(in >> modelName))
            malformed(name, number, "expected a header line \"epoch name date\"");
        model.myEpoch = epoch;
        model.myName = modelName;
    }
    struct Term
    {
        int n, m;
        double g, h, gDot, hDot;
    };
    std::vector<Term> terms;
    bool closed = false;
    long closing = number;
    while (std::getline(lines, line)) {
        ++number;
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        if (allNines(line)) {
            closed = true;
            closing = number;
            break;
        }
        std::istringstream in(line);
        double v[6];
        for (double& x : v)
            if (!readNumber(in, x))
                malformed(name, number, "expected \"n m g h g-dot h-dot\" (six numbers)");
        std::string rest;
        if (in >> rest)
            malformed(name, number, "more than six numbers");
        // (In range before any conversion to an integer.)
        if (!(v[0] >= 1 && v[0] <= 1000 && v[1] >= 0 && v[1] <= v[0] && v[0] == std::floor(v[0]) &&
              v[1] == std::floor(v[1])))
            malformed(name, number, "n must be a whole number from 1 and m one from 0 to n");
        const int n = static_cast<int>(v[0]), m = static_cast<int>(v[1]);
        if (m == 0 && (v[3] != 0 || v[5] != 0))
            malformed(name, number, "a term of order 0 has no h");
        terms.push_back(Term{n, m, v[2], v[3], v[4], v[5]});
    }
    if (!closed)
        malformed(name, number, "the file ends before its closing line of nines (truncated?)");
    int degree = 0;
    for (const Term& t : terms)
        degree = std::max(degree, t.n);
    if (degree == 0)
        malformed(name, closing, "no coefficients");
    const std::size_t size = index(degree, degree) + 1;
    std::vector<char> seen(size, 0);
    model.myGPair.assign(2 * size, 0.0);
    model.myHPair.assign(2 * size, 0.0);
    for (const Term& t : terms) {
        const std::size_t k = index(t.n, t.m);
        if (seen[k])
            malformed(name, 0, "the term n=" + std::to_string(t.n) + " m=" + std::to_string(t.m) + " appears twice");
        seen[k] = 1;
        model.myGPair[2 * k] = t.g;
        model.myGPair[2 * k + 1] = t.gDot;
        model.myHPair[2 * k] = t.h;
        model.myHPair[2 * k + 1] = t.hDot;
    }
    for (int n = 1; n <= degree; ++n)
        for (int m = 0; m <= n; ++m)
            if (!seen[index(n, m)])
                malformed(name, closing,
                          "the term n=" + std::to_string(n) + " m=" + std::to_string(m) + " is missing (degree " +
                              std::to_string(degree) + ")");
    model.myDegree = degree;
    // The recursion of the Schmidt semi-normalised functions: S(n, m) =
    // A x S(n-1, m) - B S(n-2, m), and S(n, n) = A cos S(n-1, n-1).
    model.myRootA.assign(size, 0.0);
    model.myRootB.assign(size, 0.0);
    for (int n = 1; n <= degree; ++n)
        for (int m = 0; m <= n; ++m) {
            const std::size_t k = index(n, m);
            if (m == n) {
                model.myRootA[k] = n == 1 ? 1.0 : std::sqrt((2.0 * n - 1) / (2.0 * n));
            } else {
                const double d = std::sqrt(double(n + m) * double(n - m));
                model.myRootA[k] = (2.0 * n - 1) / d;
                model.myRootB[k] = std::sqrt(double(n - 1 + m) * double(n - 1 - m)) / d;
            }
        }
    model.myWarnings = std::make_shared<Warnings>();
    return model;
}

DtMagneticModel DtMagneticModel::fromFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        malformed(path, 0, "cannot be opened");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        malformed(path, 0, "cannot be read");
    return fromText(text.str(), path);
}

const DtMagneticModel& DtMagneticModel::wmm2025()
{
    static const DtMagneticModel model = fromText(detail::kWmm2025Text, "WMM2025.COF (built in)");
    return model;
}

double DtMagneticModel::decimalYear(int year, int month, int day)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (!(month >= 1 && month <= 12 && day >= 1 && day <= kDays[month - 1] + (leap && month == 2 ? 1 : 0)))
        detail::throwDtException("Invalid date: a month from 1 to 12 and a day of that month",
                                 "static double Vorant::DtMagneticModel::decimalYear(int, int, int)", __FILE__,
                                 __LINE__);
    int dayOfYear = day;
    for (int i = 0; i < month - 1; ++i)
        dayOfYear += kDays[i] + (i == 1 && leap ? 1 : 0);
    return year + (dayOfYear - 1) / (leap ? 366.0 : 365.0);
}

DtMagneticField DtMagneticModel::field(double lat, double lon, double h, double year) const
{
    if (!(std::fabs(lat) <= kPi / 2 && std::isfinite(lon) && std::isfinite(h) && std::isfinite(year)))
        detail::throwDtException("Invalid position or time: a latitude beyond +/-pi/2 or a value that is not finite",
                                 "Vorant::DtMagneticField Vorant::DtMagneticModel::field(double, double, double, "
                                 "double) const",
                                 __FILE__, __LINE__);
    DtMagneticField f{};
    const double dt = year - myEpoch;
    f.outsideTime = !(dt >= 0 && dt <= 5);
    f.outsideHeight = !(h >= -1000 && h <= 850000);
    if (f.outsideTime && !myWarnings->time.exchange(true))
        DtWarn << "Magnetic model " << myName << ": the time " << year << " lies outside the model's years "
               << myEpoch << " to " << myEpoch + 5 << "; its values there are an extrapolation\n";
    if (f.outsideHeight && !myWarnings->height.exchange(true))
        DtWarn << "Magnetic model " << myName << ": the height " << h
               << " m lies outside -1 km to 850 km, where the model is meant to be used\n";

    // Geodetic to geocentric spherical coordinates on WGS 84.
    double sphi, cphi, sl, cl;
    detail::fastSinCos(lat, sphi, cphi);
    detail::fastSinCos(lon, sl, cl);
    const double e2 = kWgs84F * (2 - kWgs84F);
    const double nu = kWgs84A / std::sqrt(1 - e2 * sphi * sphi);
    const double p = (nu + h) * cphi, z = (nu * (1 - e2) + h) * sphi, r = std::sqrt(p * p + z * z);
    const double x = z / r;   // sine of the geocentric latitude
    const double c = std::max(p / r, 1e-12);   // its cosine (kept off zero at the poles: Y has c^m / c)

    // The Schmidt semi-normalised functions S(n, m)(x) and their derivatives
    // in the geocentric latitude, by the recursion in n (and the diagonal);
    // cos(m lon) and sin(m lon) once for all n.
    const int N = myDegree;
    const std::size_t size = index(N, N) + 1;
    constexpr std::size_t kStack = (kStackDegree + 1) * (kStackDegree + 2) / 2;
    // (S, dS) side by side, a pair a term.
    Pair stackSD[kStack];
    double stackC[kStackDegree + 1], stackSn[kStackDegree + 1];
    std::vector<Pair> heapSD;
    std::vector<double> heapCS;
    Pair* SD = stackSD;
    double *cm = stackC, *sm = stackSn;
    if (N > kStackDegree) {
        heapSD.assign(size, Pair{0, 0});
        heapCS.assign(2 * static_cast<std::size_t>(N + 1), 0.0);
        SD = heapSD.data();
        cm = heapCS.data();
        sm = cm + N + 1;
    }
    cm[0] = 1;
    sm[0] = 0;
    for (int m = 1; m <= N; ++m) {
        cm[m] = cm[m - 1] * cl - sm[m - 1] * sl;
        sm[m] = sm[m - 1] * cl + cm[m - 1] * sl;
    }
    // Row by row: the functions of degree n from those of n - 1 and n - 2,
    // then the row's terms at once. The coefficients at the time are g + dt
    // g-dot: the sums of g and of g-dot are taken apart, the field is the one
    // plus dt times the other, the rate the other.
    SD[0] = Pair{1, 0};
    const Pair offDiagonal = {0, c}, diagonal = {0, -x}, zero = {0, 0};
    double xs = 0, ys = 0, zs = 0, xr = 0, yr = 0, zr = 0;
    const double ratio = kReferenceRadius / r;
    double power = ratio * ratio;   // (a / r)^(n + 2) from n = 0
    for (int n = 1; n <= N; ++n) {
        const std::size_t base = index(n, 0), base1 = index(n - 1, 0), base2 = n >= 2 ? index(n - 2, 0) : 0;
        for (int m = 0; m < n; ++m) {
            // S = A x S1 - B S2, dS = A (x dS1 + c S1) - B dS2.
            const std::size_t k = base + static_cast<std::size_t>(m), k1 = base1 + static_cast<std::size_t>(m);
            const Pair p1 = SD[k1], p2 = m <= n - 2 ? SD[base2 + static_cast<std::size_t>(m)] : zero;
            const Pair s1 = {p1[0], p1[0]};
            SD[k] = myRootA[k] * (x * p1 + offDiagonal * s1) - myRootB[k] * p2;
        }
        {
            // S = A c S1, dS = A (c dS1 - x S1).
            const std::size_t k = base + static_cast<std::size_t>(n), d = base1 + static_cast<std::size_t>(n - 1);
            const Pair p1 = SD[d], s1 = {p1[0], p1[0]};
            SD[k] = myRootA[k] * (c * p1 + diagonal * s1);
        }
        power *= ratio;
        // Two lanes: the coefficients and their rates side by side.
        Pair xv = {0, 0}, yv = {0, 0}, zv = {0, 0};
        for (int m = 0; m <= n; ++m) {
            const std::size_t k = base + static_cast<std::size_t>(m);
            Pair g, hh;
            std::memcpy(&g, &myGPair[2 * k], sizeof g);
            std::memcpy(&hh, &myHPair[2 * k], sizeof hh);
            const Pair a = g * cm[m] + hh * sm[m], b = (g * sm[m] - hh * cm[m]) * static_cast<double>(m);
            const double Sk = SD[k][0], Dk = SD[k][1];
            xv += a * Dk;
            yv += b * Sk;
            zv += a * Sk;
        }
        const double xn = xv[0], yn = yv[0], zn = zv[0], xnr = xv[1], ynr = yv[1], znr = zv[1];
        xs -= power * (xn + dt * xnr);
        ys += power * (yn + dt * ynr);
        zs -= (n + 1) * power * (zn + dt * znr);
        xr -= power * xnr;
        yr += power * ynr;
        zr -= (n + 1) * power * znr;
    }
    ys /= c;
    yr /= c;
    // From the geocentric to the geodetic frame: a turn by the difference of the latitudes.
    const double cpsi = c * cphi + x * sphi, spsi = x * cphi - c * sphi;
    f.north = xs * cpsi - zs * spsi;
    f.east = ys;
    f.down = xs * spsi + zs * cpsi;
    f.northRate = xr * cpsi - zr * spsi;
    f.eastRate = yr;
    f.downRate = xr * spsi + zr * cpsi;
    // (Field values in nT: no overflow for the plain square roots.)
    f.horizontal = std::sqrt(f.north * f.north + f.east * f.east);
    f.total = std::sqrt(f.horizontal * f.horizontal + f.down * f.down);
    f.inclination = detail::fastAtan2(f.down, f.horizontal);
    f.declination = detail::fastAtan2(f.east, f.north);
    f.horizontalRate = (f.north * f.northRate + f.east * f.eastRate) / f.horizontal;
    f.totalRate = (f.north * f.northRate + f.east * f.eastRate + f.down * f.downRate) / f.total;
    f.inclinationRate = (f.horizontal * f.downRate - f.down * f.horizontalRate) / (f.total * f.total);
    f.declinationRate = (f.north * f.eastRate - f.east * f.northRate) / (f.horizontal * f.horizontal);
    constexpr double kPolar = 55 * kPi / 180;
    if (lat >= kPolar || lat <= -kPolar) {
        f.gridVariation = reduceAngle(lat >= kPolar ? f.declination - lon : f.declination + lon);
        f.gridVariationRate = f.declinationRate;
    } else {
        f.gridVariation = f.gridVariationRate = std::numeric_limits<double>::quiet_NaN();
    }
    f.zone = f.horizontal < 2000 ? DtMagneticField::Unreliable
             : f.horizontal < 6000 ? DtMagneticField::Caution
                                   : DtMagneticField::Good;
    return f;
}

}  // namespace Vorant

namespace Vorant {

DtBearings DtMagneticModel::bearings(double lat, double lon, double h, double year) const
{
    const DtMagneticField f = field(lat, lon, h, year);
    // The library's grid declination on a reference point of the point's
    // own zone (not the process-wide one, which stays as it is).
    double grid = std::numeric_limits<double>::quiet_NaN();
    const double latDeg = lat * 180 / kPi, lonDeg = std::remainder(lon, 2 * kPi) * 180 / kPi;
    const int zone = DtUtmGridZoneFromLatLon(latDeg, lonDeg);
    if (zone >= 1 && zone <= 60 && latDeg >= -80 && latDeg <= 84) {
        // As DtUtmGridDeclination does it (the point and the point 1e-4 rad
        // north of it, both projected), on a reference point of its own.
        static const DtReferenceEllipsoid wgs84(DtWGS84);
        DtUtmReferencePoint reference(DtUtmLatRefZone10, DtUtmLonRefZone10, 1, 10, DtWGS84, 0.9996);
        reference.setZoneOrigin(zone);
        DtGeodeticCoord g(lat, lon, 0.0, &wgs84);
        DtUtmCoord at(&reference), stepped(&reference);
        DtGeodToUtm(g, at);
        g.setLat(g.lat() + 0.0001);
        DtGeodToUtm(g, stepped);
        grid = std::atan2(-(stepped.east() - at.east()), stepped.north() - at.north());
    }
    return DtBearings{f.declination, grid, f.declination - grid};
}

double DtBearings::trueToMagnetic(double b) const
{
    return bearing(b - declination);
}

double DtBearings::magneticToTrue(double b) const
{
    return bearing(b + declination);
}

double DtBearings::trueToGrid(double b) const
{
    return bearing(b - gridDeclination);
}

double DtBearings::gridToTrue(double b) const
{
    return bearing(b + gridDeclination);
}

double DtBearings::gridToMagnetic(double b) const
{
    return bearing(b - gridMagneticAngle);
}

double DtBearings::magneticToGrid(double b) const
{
    return bearing(b + gridMagneticAngle);
}

}  // namespace Vorant
