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

// Two and four doubles in one register (the compilers' vector extension).
// Without the wider registers, four doubles are two pairs, kept apart so that
// they stay in registers; either way each lane sees the same operations.
typedef double Pair __attribute__((vector_size(16)));
typedef double Quad __attribute__((vector_size(32)));

struct Halves
{
    Pair lo, hi;
    double operator[](int i) const { return i < 2 ? lo[i] : hi[i - 2]; }
    Halves& operator+=(const Halves& o)
    {
        lo += o.lo;
        hi += o.hi;
        return *this;
    }
};
inline Halves operator+(const Halves& a, const Halves& b) { return {a.lo + b.lo, a.hi + b.hi}; }
inline Halves operator-(const Halves& a, const Halves& b) { return {a.lo - b.lo, a.hi - b.hi}; }
inline Halves operator*(const Halves& a, const Halves& b) { return {a.lo * b.lo, a.hi * b.hi}; }
inline Halves operator*(const Halves& a, double b) { return {a.lo * b, a.hi * b}; }
inline Halves operator*(double a, const Halves& b) { return {a * b.lo, a * b.hi}; }

// Loading, storing and building either kind (by reference: a wide vector
// passed by value would change the calling convention).
template <class Q>
inline void load(Q& q, const double* p)
{
    std::memcpy(&q, p, sizeof q);
}
template <class Q>
inline void store(double* p, const Q& q)
{
    std::memcpy(p, &q, sizeof q);
}
inline void make(Quad& q, double a, double b, double c, double d)
{
    q = Quad{a, b, c, d};
}
inline void make(Halves& q, double a, double b, double c, double d)
{
    q = Halves{Pair{a, b}, Pair{c, d}};
}

// The coefficients are kept in the order the sums read them, column by
// column (m, then n from max(m, 1)), g, h, g-dot and h-dot side by side; the
// factors of the recursion in tables by rows like the one it fills.
constexpr int kStackDegree = 24;   // models up to this degree are evaluated without allocation

std::size_t index(int n, int m)
{
    const auto un = static_cast<std::size_t>(n);
    return un * (un + 1) / 2 + static_cast<std::size_t>(m);
}

// Where row n of a table by rows starts: rows of n + 1 terms, each padded
// to a multiple of four so that four orders go together.
constexpr std::size_t rowStart(int n)
{
    constexpr std::size_t kPads[4] = {0, 3, 5, 6};   // the pads of the rows before, after whole fours of rows
    const auto un = static_cast<std::size_t>(n);
    return un * (un + 1) / 2 + 6 * (un / 4) + kPads[un % 4];
}

constexpr std::size_t rowLength(int n)
{
    return static_cast<std::size_t>(n + 4) & ~std::size_t{3};
}

// The tables of a call: T and its derivative, each behind four zeros and
// with a row of room after the last.
constexpr std::size_t tableSize(int N)
{
    return 4 + rowStart(N + 2);
}

struct Sums
{
    double xv, xr, yv, yr, zv, zr;   // X, Y c and Z sums of the coefficients and of their rates
};

// The sums over all terms. T(n, m) = (a/r)^(n+2) S(n, m), with S the Schmidt
// semi-normalised function of the geocentric latitude (sine x, cosine c),
// follows the recursion of S with x and c scaled by a/r and the older term
// by (a/r)^2, so no power is kept apart. It runs four orders at once, down
// the rows; the derivative in latitude comes afterwards from each term's
// neighbours in its row, dT(n, m) = beta T(n, m+1) - alpha T(n, m-1). The
// sums run column by column, which share cos(m lon) and sin(m lon).
template <class Q>
inline __attribute__((always_inline)) Sums fieldSums(const double* coefficients, const double* factors, int N,
                                                     double xr, double cr, double r2, double cl, double sl,
                                                     double* table)
{
    // The factors by rows: A and B of the recursion (0 from the diagonal
    // on), alpha and beta, then the diagonal's own A by n.
    const std::size_t stride = rowStart(N + 1);
    const double *fa = factors, *fb = fa + stride, *falpha = fb + stride, *fbeta = falpha + stride,
                 *fdiagonal = fbeta + stride;
    const std::size_t size = tableSize(N);
    double *t = table, *d = table + size;
    Q zero, unit[4];
    make(zero, 0, 0, 0, 0);
    make(unit[0], 1, 0, 0, 0);
    make(unit[1], 0, 1, 0, 0);
    make(unit[2], 0, 0, 1, 0);
    make(unit[3], 0, 0, 0, 1);
    store(t, zero);
    store(d, zero);
    // The diagonal first, a chain of its own: T(n, n) = A cr T(n-1, n-1).
    double diagonals[kStackDegree + 1];
    std::vector<double> heapDiagonals;
    double* diagonal = diagonals;
    if (N > kStackDegree) {
        heapDiagonals.resize(static_cast<std::size_t>(N) + 1);
        diagonal = heapDiagonals.data();
    }
    diagonal[0] = r2;
    for (int n = 1; n <= N; ++n)
        diagonal[n] = diagonal[n - 1] * (fdiagonal[n] * cr);
    // Then four orders at a time, down the rows: T = A xr T1 - B r2 T2, the
    // diagonal put in its lane (A and B are 0 there, so is the rest). Each
    // group of four orders is a chain along n kept in registers; the groups
    // are independent of one another.
    std::size_t rowAt = 0;   // rowStart(n) for the group's first row
    for (int j = 0; j <= N; j += 4) {
        Q p1 = zero, p2 = zero;
        std::size_t at = rowAt;
        for (int n = j; n <= N; ++n) {
            const std::size_t k = at + static_cast<std::size_t>(j);
            Q aj, bj;
            load(aj, fa + k);
            load(bj, fb + k);
            Q v = (aj * xr) * p1 - (bj * r2) * p2;
            if (n < j + 4)
                v += unit[n - j] * diagonal[n];
            store(t + 4 + k, v);
            p2 = p1;
            p1 = v;
            at += rowLength(n);
        }
        for (int n = j; n < j + 4 && n <= N; ++n)
            rowAt += rowLength(n);
    }
    double* row = t + 4 + rowStart(N + 1);
    store(row, zero);
    // dT = beta T(n, m+1) - alpha T(n, m-1), the rows one after the other
    // (beta is 0 at the diagonal, alpha at order 0). Apart, once the rows are
    // written: a read across two fresh writes of four would wait for both.
    for (std::size_t j = 0; j < stride; j += 4) {
        Q up, down, alpha, beta;
        load(up, t + 5 + j);
        load(down, t + 3 + j);
        load(alpha, falpha + j);
        load(beta, fbeta + j);
        store(d + 4 + j, beta * up - alpha * down);
    }
    Q x4 = zero, y4 = zero, z4 = zero;   // the coefficients' and the rates' sums, in halves
    double cm = 1, sm = 0;
    const double* q = coefficients;
    for (int m = 0; m <= N; ++m) {
        // Z weighs term n by n + 1: with the running sum P of the terms and
        // Q the sum of the running sums, it is (N + 2) P - Q. X has two sums
        // (even and odd steps), so that no sum waits on the one before.
        Q ax0 = zero, ax1 = zero, ps = zero, qs = zero;
        int n = std::max(m, 1);
        std::size_t k = 4 + rowStart(n) + static_cast<std::size_t>(m);
        // The term of degree `degree`, the next in the column.
        const auto term = [&](Q& ax, int degree) {
            Q c;
            load(c, q);
            ax += c * d[k];
            ps += c * t[k];
            qs += ps;
            q += 4;
            k += rowLength(degree);
        };
        for (; n < N; n += 2) {
            term(ax0, n);
            term(ax1, n + 1);
        }
        if (n == N)
            term(ax0, n);
        // The column's share: X and Z take g cos + h sin, Y takes m (g sin - h cos).
        Q cs, ms;
        make(cs, cm, sm, cm, sm);
        make(ms, m * sm, -m * cm, m * sm, -m * cm);
        x4 += (ax0 + ax1) * cs;
        y4 += ps * ms;
        z4 += (static_cast<double>(N + 2) * ps - qs) * cs;
        const double c1 = cm * cl - sm * sl;
        sm = sm * cl + cm * sl;
        cm = c1;
    }
    return Sums{x4[0] + x4[1], x4[2] + x4[3], y4[0] + y4[1], y4[2] + y4[3], z4[0] + z4[1], z4[2] + z4[3]};
}

// One body, two instruction sets: the same operations in the same order, so
// the same bits either way; the wider registers take the four lanes at once.
Sums fieldSumsPlain(const double* coefficients, const double* factors, int N, double xr, double cr, double r2,
                    double cl, double sl, double* table)
{
    return fieldSums<Halves>(coefficients, factors, N, xr, cr, r2, cl, sl, table);
}

__attribute__((target("avx"))) Sums fieldSumsAvx(const double* coefficients, const double* factors, int N,
                                                double xr, double cr, double r2, double cl, double sl,
                                                double* table)
{
    return fieldSums<Quad>(coefficients, factors, N, xr, cr, r2, cl, sl, table);
}

// QORMATRIX_NO_AVX in the environment keeps to the portable path (for
// checking it: the results are the same).
bool hasAvx()
{
    static const bool avx = (__builtin_cpu_init(), __builtin_cpu_supports("avx") != 0) && !std::getenv("QORMATRIX_NO_AVX");
    return avx;
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
    std::vector<double> g(size, 0.0), h(size, 0.0), gDot(size, 0.0), hDot(size, 0.0);
    for (const Term& t : terms) {
        const std::size_t k = index(t.n, t.m);
        if (seen[k])
            malformed(name, 0, "the term n=" + std::to_string(t.n) + " m=" + std::to_string(t.m) + " appears twice");
        seen[k] = 1;
        g[k] = t.g;
        h[k] = t.h;
        gDot[k] = t.gDot;
        hDot[k] = t.hDot;
    }
    for (int n = 1; n <= degree; ++n)
        for (int m = 0; m <= n; ++m)
            if (!seen[index(n, m)])
                malformed(name, closing,
                          "the term n=" + std::to_string(n) + " m=" + std::to_string(m) + " is missing (degree " +
                              std::to_string(degree) + ")");
    model.myDegree = degree;
    for (int m = 0; m <= degree; ++m)
        for (int n = std::max(m, 1); n <= degree; ++n) {
            const std::size_t k = index(n, m);
            model.myCoefficients.insert(model.myCoefficients.end(), {g[k], h[k], gDot[k], hDot[k]});
        }
    // The recursion of the Schmidt semi-normalised functions, S(n, m) =
    // A x S(n-1, m) - B S(n-2, m) and S(n, n) = A cos S(n-1, n-1), and their
    // derivative in latitude, beta S(n, m+1) - alpha S(n, m-1); by rows as
    // the sums read them.
    const std::size_t stride = rowStart(degree + 1);
    model.myFactors.assign(4 * stride + static_cast<std::size_t>(degree) + 1, 0.0);
    double* A = model.myFactors.data();
    double *B = A + stride, *alpha = B + stride, *beta = alpha + stride, *diagonal = beta + stride;
    for (int n = 0; n <= degree; ++n)
        for (int m = 0; m <= n; ++m) {
            const std::size_t k = rowStart(n) + static_cast<std::size_t>(m);
            if (m == n) {
                diagonal[n] = n <= 1 ? 1.0 : std::sqrt((2.0 * n - 1) / (2.0 * n));
            } else {
                const double dd = std::sqrt(double(n + m) * double(n - m));
                A[k] = (2.0 * n - 1) / dd;
                B[k] = std::sqrt(double(n - 1 + m) * double(n - 1 - m)) / dd;
            }
            const double nn = double(n) * (n + 1);
            alpha[k] = m == 0 ? 0.0 : m == 1 ? std::sqrt(nn / 2) : 0.5 * std::sqrt(double(n + m) * double(n - m + 1));
            beta[k] = m == 0 ? std::sqrt(nn / 2) : 0.5 * std::sqrt(double(n - m) * double(n + m + 1));
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
    // With w = sqrt(1 - e2 sin^2), the geocentric (p, z) is (P, Z) / w, so
    // the ratios need one division only.
    const double e2 = kWgs84F * (2 - kWgs84F);
    const double w = std::sqrt(1 - e2 * sphi * sphi);
    const double P = (kWgs84A + h * w) * cphi, Z = (kWgs84A * (1 - e2) + h * w) * sphi;
    const double inverse = 1 / std::sqrt(P * P + Z * Z);
    const double x = Z * inverse;                  // sine of the geocentric latitude
    const double c = std::max(P * inverse, 1e-12);   // its cosine (kept off zero at the poles: Y has c^m / c)
    const double ratio = kReferenceRadius * w * inverse;   // a / r
    const double xr = x * ratio, cr = c * ratio, r2 = ratio * ratio;
    double stack[2 * tableSize(kStackDegree)];
    std::vector<double> heap;
    double* td = stack;
    if (myDegree > kStackDegree) {
        heap.resize(2 * tableSize(myDegree));
        td = heap.data();
    }
    const Sums sums = hasAvx() ? fieldSumsAvx(myCoefficients.data(), myFactors.data(), myDegree, xr, cr, r2, cl, sl, td)
                               : fieldSumsPlain(myCoefficients.data(), myFactors.data(), myDegree, xr, cr, r2, cl, sl, td);
    // The coefficients at the time are g + dt g-dot: the field is the sum of
    // the coefficients plus dt times that of the rates, its rate the latter.
    const double xs = -(sums.xv + dt * sums.xr), xr1 = -sums.xr;
    const double ys = (sums.yv + dt * sums.yr) / c, yr = sums.yr / c;
    const double zs = -(sums.zv + dt * sums.zr), zr = -sums.zr;
    // From the geocentric to the geodetic frame: a turn by the difference of the latitudes.
    const double cpsi = c * cphi + x * sphi, spsi = x * cphi - c * sphi;
    f.north = xs * cpsi - zs * spsi;
    f.east = ys;
    f.down = xs * spsi + zs * cpsi;
    f.northRate = xr1 * cpsi - zr * spsi;
    f.eastRate = yr;
    f.downRate = xr1 * spsi + zr * cpsi;
    // (Field values in nT: no overflow for the plain square roots.)
    f.horizontal = std::sqrt(f.north * f.north + f.east * f.east);
    f.total = std::sqrt(f.north * f.north + f.east * f.east + f.down * f.down);   // (not from H: no wait on it)
    f.inclination = detail::fastAtan2(f.down, f.horizontal);
    f.declination = detail::fastAtan2(f.east, f.north);
    f.horizontalRate = (f.north * f.northRate + f.east * f.eastRate) / f.horizontal;
    f.totalRate = (f.north * f.northRate + f.east * f.eastRate + f.down * f.downRate) / f.total;
    f.inclinationRate = (f.horizontal * f.downRate - f.down * f.horizontalRate) / (f.total * f.total);
    f.declinationRate = (f.north * f.eastRate - f.east * f.northRate) / (f.horizontal * f.horizontal);
    constexpr double kPolar = 55 * kPi / 180;
    if (lat >= kPolar || lat <= -kPolar) {
        f.gridVariation = detail::reduceAngle(lat >= kPolar ? f.declination - lon : f.declination + lon);
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
