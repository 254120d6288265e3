// The magnetic model: the published check values of WMM2025, rates against
// finite differences, a dipole written here against its closed form, the
// honest limits, and every way a coefficient file can be wrong.
#include "testSupport.h"

using namespace Vorant;
using qmtest::kDeg;
using qmtest::kPi;

namespace {

std::vector<std::vector<double>> checkValues()
{
    std::ifstream in(std::string(QORMATRIX_TEST_DATA) + "/wmm2025-check-values.csv");
    std::vector<std::vector<double>> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#' || line[0] == 'd')
            continue;
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream s(line);
        std::vector<double> v;
        for (double x; s >> x;)
            v.push_back(x);
        rows.push_back(v);
    }
    return rows;
}

double reduce(double a)
{
    return std::remainder(a, 2 * kPi);
}

std::string malformedText(const std::string& text)
{
    try {
        DtMagneticModel::fromText(text, "test.cof");
    } catch (const DtException& e) {
        return e.what();
    }
    return "no exception";
}

}  // namespace

TEST(MagneticModelTest, CheckValuesRatesAndTheDipole)
{
    const DtMagneticModel& wmm = DtMagneticModel::wmm2025();
    EXPECT_TRUE(wmm.name() == "WMM-2025" && wmm.epoch() == 2025.0 && wmm.degree() == 12);
    const auto rows = checkValues();
    ASSERT_EQ(rows.size(), 20u);
    double worstNt = 0, worstDeg = 0;
    for (const auto& v : rows) {   // date, alt (km), lat, lon, X, Y, Z, H, F, I, D
        const DtMagneticField f = wmm.field(v[2] * kDeg, v[3] * kDeg, v[1] * 1000, v[0]);
        worstNt = std::max({worstNt, std::fabs(f.north - v[4]), std::fabs(f.east - v[5]), std::fabs(f.down - v[6]),
                            std::fabs(f.horizontal - v[7]), std::fabs(f.total - v[8])});
        worstDeg = std::max({worstDeg, std::fabs(f.inclination / kDeg - v[9]), std::fabs(f.declination / kDeg - v[10])});
        // The rates against the change over a month either side.
        const double month = 1.0 / 12;
        const DtMagneticField a = wmm.field(v[2] * kDeg, v[3] * kDeg, v[1] * 1000, v[0] + month),
                              b = wmm.field(v[2] * kDeg, v[3] * kDeg, v[1] * 1000, v[0] - month);
        // (X, Y, Z are linear in time; the others change their rates a little within the month.)
        const auto agree = [&](double rate, double x, double y, double absolute) {
            const double difference = (x - y) / (2 * month);
            return std::fabs(rate - difference) <= 1e-5 * std::fabs(rate) + absolute;
        };
        EXPECT_TRUE(agree(f.northRate, a.north, b.north, 1e-6) && agree(f.eastRate, a.east, b.east, 1e-6) &&
                    agree(f.downRate, a.down, b.down, 1e-6));
        EXPECT_TRUE(agree(f.horizontalRate, a.horizontal, b.horizontal, 1e-6) && agree(f.totalRate, a.total, b.total, 1e-6));
        EXPECT_TRUE(agree(f.inclinationRate, a.inclination, b.inclination, 1e-12) &&
                    agree(f.declinationRate, a.declination, b.declination, 1e-12))
            << f.declinationRate << " " << (a.declination - b.declination) / (2 * month);
    }
    EXPECT_LT(worstNt, 2e-3);     // the file's values to 1e-6 nT; measured 7.2e-4
    EXPECT_LT(worstDeg, 5.1e-3);  // to 0.01 degree (its rounding)
    // A dipole (g10 only) against its closed form: X' = -(a/r)^3 g10 cos(phi'), Z' = -2 (a/r)^3 g10 sin(phi').
    const DtMagneticModel dipole = DtMagneticModel::fromText("2020.0 DIPOLE 01/01/2020\n 1 0 -30000.0 0.0 10.0 0.0\n"
                                                             " 1 1 0.0 0.0 0.0 0.0\n999999999999\n999999999999\n",
                                                             "dipole.cof");
    const double lat = 0.7, lon = 1.1, h = 4000, a = 6378137, e2 = (1 / 298.257223563) * (2 - 1 / 298.257223563);
    const double nu = a / std::sqrt(1 - e2 * std::sin(lat) * std::sin(lat)), p = (nu + h) * std::cos(lat),
                 z = (nu * (1 - e2) + h) * std::sin(lat), r = std::hypot(p, z), gc = std::atan2(z, p);
    const double g10 = -30000 + 10 * 2.5, k = std::pow(6371200 / r, 3);
    const double xp = -k * g10 * std::cos(gc), zp = -2 * k * g10 * std::sin(gc), psi = gc - lat;
    const DtMagneticField d = dipole.field(lat, lon, h, 2022.5);
    EXPECT_NEAR(d.north, xp * std::cos(psi) - zp * std::sin(psi), 1e-9);
    EXPECT_NEAR(d.down, xp * std::sin(psi) + zp * std::cos(psi), 1e-9);
    EXPECT_NEAR(d.east, 0, 1e-12);
    EXPECT_NEAR(d.northRate, -k * 10 * std::cos(gc) * std::cos(psi) + 2 * k * 10 * std::sin(gc) * std::sin(psi), 1e-12);
    EXPECT_EQ(dipole.degree(), 1);
    // A model of degree 30 whose terms beyond 12 are zero is WMM2025 (and is evaluated on the heap).
    std::ifstream cof(std::string(QORMATRIX_TEST_DATA) + "/../../data/WMM2025.COF");
    std::string text, line;
    while (std::getline(cof, line) && line.find("9999") == std::string::npos)
        text += line + "\n";
    for (int n = 13; n <= 30; ++n)
        for (int m = 0; m <= n; ++m)
            text += std::to_string(n) + " " + std::to_string(m) + " 0 0 0 0\n";
    // (Its closing lines with the blanks a file may have between and after the nines.)
    const DtMagneticModel wide = DtMagneticModel::fromText(text + "99999 9999\t9 \r\n9999999999\r\n", "wide.cof");
    const DtMagneticField w = wide.field(0.4, 2.0, 3000, 2027.25), n12 = wmm.field(0.4, 2.0, 3000, 2027.25);
    EXPECT_TRUE(wide.degree() == 30 && std::fabs(w.north - n12.north) < 1e-9 && std::fabs(w.east - n12.east) < 1e-9 &&
                std::fabs(w.down - n12.down) < 1e-9 && std::fabs(w.downRate - n12.downRate) < 1e-12);
    // Grid variation: declination less the longitude in the north, plus it in the south, none between.
    const DtMagneticField north = wmm.field(70 * kDeg, 20 * kDeg, 0, 2026), south = wmm.field(-70 * kDeg, 20 * kDeg, 0, 2026);
    EXPECT_NEAR(north.gridVariation, north.declination - 20 * kDeg, 1e-15);
    EXPECT_NEAR(south.gridVariation, south.declination + 20 * kDeg, 1e-15);
    EXPECT_TRUE(std::isnan(wmm.field(0.1, 0.2, 0, 2026).gridVariation));
    // From 55 degrees itself, and whatever turn the longitude is given in.
    const DtMagneticField edgeNorth = wmm.field(55 * kPi / 180, 0.2, 0, 2026),
                          edgeSouth = wmm.field(-55 * kPi / 180, 0.2, 0, 2026);
    EXPECT_NEAR(edgeNorth.gridVariation, edgeNorth.declination - 0.2, 1e-15);
    EXPECT_NEAR(edgeSouth.gridVariation, edgeSouth.declination + 0.2, 1e-15);
    EXPECT_NEAR(wmm.field(70 * kDeg, 20 * kDeg + 6 * kPi, 0, 2026).gridVariation, north.gridVariation, 1e-12);
    // The poles themselves give a finite field; near the magnetic north pole (the geographic one is
    // near it too) a compass cannot be trusted.
    const DtMagneticField north0 = wmm.field(kPi / 2, 0, 0, 2026), north1 = wmm.field(kPi / 2, 1, 0, 2026),
                          south0 = wmm.field(-kPi / 2, 0, 0, 2026);
    EXPECT_TRUE(std::isfinite(north0.declination) && north0.zone == DtMagneticField::Unreliable &&
                south0.zone == DtMagneticField::Good);
    EXPECT_NEAR(north0.horizontal, north1.horizontal, 1e-6);   // the same place whatever the longitude
    // Only the meridian turns with the longitude: the grid variation, made for that, stays.
    EXPECT_NEAR(reduce(north1.declination - north0.declination), 1.0, 1e-9);
    EXPECT_NEAR(reduce(north1.gridVariation - north0.gridVariation), 0.0, 1e-9);
    EXPECT_EQ(wmm.field(80 * kDeg, 139 * kDeg, 0, 2026).zone, DtMagneticField::Caution);   // H 2,889 nT
    EXPECT_EQ(wmm.field(84 * kDeg, 139 * kDeg, 0, 2026).zone, DtMagneticField::Unreliable);   // H 811 nT
    // The zones change exactly at 6,000 and 2,000 nT: on meridian 0 the horizontal intensity falls
    // steadily towards the pole; bisection finds where it crosses each, to a fraction of a nanotesla.
    for (const auto& [limit, above, below] : {std::tuple{6000.0, DtMagneticField::Good, DtMagneticField::Caution},
                                              std::tuple{2000.0, DtMagneticField::Caution, DtMagneticField::Unreliable}}) {
        double low = 60 * kDeg, high = kPi / 2;
        for (int i = 0; i < 60; ++i) {
            const double middle = 0.5 * (low + high);
            (wmm.field(middle, 0, 0, 2026).horizontal >= limit ? low : high) = middle;
        }
        const DtMagneticField outside = wmm.field(low, 0, 0, 2026), inside = wmm.field(high, 0, 0, 2026);
        EXPECT_TRUE(outside.horizontal >= limit && outside.horizontal < limit + 0.5 && inside.horizontal < limit);
        EXPECT_TRUE(outside.zone == above && inside.zone == below) << limit;
    }
}

TEST(MagneticModelTest, LimitsDatesAndBadFiles)
{
    const DtMagneticModel model = DtMagneticModel::fromFile(std::string(QORMATRIX_TEST_DATA) + "/../../data/WMM2025.COF");
    const DtMagneticField inside = model.field(0.5, 0.5, 100, 2027);
    EXPECT_FALSE(inside.outsideTime || inside.outsideHeight);
    EXPECT_EQ(inside.north, DtMagneticModel::wmm2025().field(0.5, 0.5, 100, 2027).north);   // the file and the built-in
    {
        qmtest::Capture warn(DtWarn);
        const DtMagneticField late = model.field(0.5, 0.5, 100, 2031), later = model.field(0.5, 0.5, 100, 2032),
                              high = model.field(0.5, 0.5, 9e5, 2026);
        EXPECT_TRUE(late.outsideTime && later.outsideTime && high.outsideHeight && !high.outsideTime);
        EXPECT_EQ(warn.text(), "Magnetic model WMM-2025: the time 2031 lies outside the model's years 2025 to 2030; its "
                               "values there are an extrapolation\nMagnetic model WMM-2025: the height 900000 m lies "
                               "outside -1 km to 850 km, where the model is meant to be used\n");   // once each
    }
    EXPECT_EQ(DtMagneticModel::decimalYear(2025, 1, 1), 2025.0);
    EXPECT_EQ(DtMagneticModel::decimalYear(2024, 12, 31), 2024 + 365 / 366.0);
    EXPECT_EQ(DtMagneticModel::decimalYear(2025, 7, 2), 2025 + 182 / 365.0);
    EXPECT_EQ(DtMagneticModel::decimalYear(1900, 3, 1), 1900 + 59 / 365.0);   // not a leap year
    EXPECT_EQ(DtMagneticModel::decimalYear(2000, 3, 1), 2000 + 60 / 366.0);   // a leap year
    qmtest::expectThrows([] { DtMagneticModel::decimalYear(2025, 2, 29); },
                         "Invalid date: a month from 1 to 12 and a day of that month",
                         "static double Vorant::DtMagneticModel::decimalYear(int, int, int)", "magneticModel.cpp");
    qmtest::expectThrows([&] { model.field(1.6, 0, 0, 2026); },
                         "Invalid position or time: a latitude beyond +/-pi/2 or a value that is not finite",
                         "Vorant::DtMagneticField Vorant::DtMagneticModel::field(double, double, double, double) const",
                         "magneticModel.cpp");
    const std::string head = "2025.0 TEST 01/01/2025\n", end = "999999999\n999999999\n";
    const std::string one = " 1 0 -29000 0 1 0\n", two = " 1 1 -1400 4500 1 1\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "expected a header line \"epoch name date\""},
        {"WMM 2025\n" + one + two + end, "line 1: expected a header line \"epoch name date\""},
        {head + one + " 1 1 -1400 x 1 1\n" + end, "line 3: expected \"n m g h g-dot h-dot\" (six numbers)"},
        {head + one + " 1 1 -1400 4500 1\n" + end, "line 3: expected \"n m g h g-dot h-dot\" (six numbers)"},
        {head + one + " 1 1 -1400 4500 1 1 7\n" + end, "line 3: more than six numbers"},
        {head + one + " 1 2 -1400 4500 1 1\n" + end, "line 3: n must be a whole number from 1 and m one from 0 to n"},
        {head + " 1 0 -29000 5 1 0\n" + two + end, "line 2: a term of order 0 has no h"},
        {head + one + two, "line 3: the file ends before its closing line of nines (truncated?)"},
        {head + one + two + "99999999\n", "line 4: expected \"n m g h g-dot h-dot\" (six numbers)"},   // 8 nines
        {head + one + end, "line 3: the term n=1 m=1 is missing (degree 1)"},
        {head + one + two + " 2 1 1 1 1 1\n" + end, "line 5: the term n=2 m=0 is missing (degree 2)"},
        {head + one + two + one + end, "the term n=1 m=0 appears twice"},
        {head + end, "line 2: no coefficients"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(malformedText(c.first), "DtException: Invalid magnetic model file 'test.cof'" +
                                              (c.second.rfind("line", 0) == 0 ? ", " + c.second : ": " + c.second))
            << c.first;
    qmtest::expectThrows([] { DtMagneticModel::fromFile("/nonexistent/WMM.COF"); },
                         "Invalid magnetic model file '/nonexistent/WMM.COF': cannot be opened",
                         "static Vorant::DtMagneticModel Vorant::DtMagneticModel::fromText(const std::string&, const "
                         "std::string&)",
                         "magneticModel.cpp");
}

TEST_F(GlobalStateTest, BearingsTrueMagneticAndGrid)
{
    const DtMagneticModel& wmm = DtMagneticModel::wmm2025();
    const double lat = 51.4700 * kDeg, lon = -0.4543 * kDeg;   // London Heathrow
    const DtBearings b = wmm.bearings(lat, lon, 25, 2026.5);
    // The grid declination is the library's, as the global reference point in the point's zone gives it.
    DtUtmInit(DtUtmLatRefZone10, DtUtmLonRefZone10, 1, 10);
    DtGlobalUtmReferencePoint()->setZoneOrigin(DtUtmGridZoneFromLatLon(51.47, -0.4543));
    EXPECT_EQ(b.gridDeclination, DtUtmGridDeclination(lat, lon));
    EXPECT_EQ(b.declination, wmm.field(lat, lon, 25, 2026.5).declination);
    EXPECT_EQ(b.gridMagneticAngle, b.declination - b.gridDeclination);
    // Runway 27R points 269.7 degrees true: its magnetic heading is true less the (small, west) declination.
    const double runway = 269.7 * kDeg;
    EXPECT_NEAR(b.trueToMagnetic(runway), runway - b.declination, 1e-15);
    for (const double x : {0.0, 1e-3, 3.0, 6.283})
        EXPECT_NEAR(b.magneticToTrue(b.trueToMagnetic(x)), x, 1e-14);
    EXPECT_NEAR(b.gridToMagnetic(b.trueToGrid(1.0)), b.trueToMagnetic(1.0), 1e-14);
    EXPECT_NEAR(b.magneticToGrid(b.gridToMagnetic(2.0)), 2.0, 1e-14);
    EXPECT_NEAR(b.gridToTrue(b.trueToGrid(2.0)), 2.0, 1e-14);
    EXPECT_TRUE(b.trueToMagnetic(b.declination) == 0 && b.trueToMagnetic(b.declination - 1e-17) < 2 * kPi);
    EXPECT_TRUE(std::isnan(wmm.bearings(88 * kDeg, 0, 0, 2026).gridDeclination));   // no UTM zone there
}

// The sums take the wide registers where the processor has them and a
// portable path elsewhere (or with QORMATRIX_NO_AVX set): the same bits. A
// script runs this twice and compares the digests it writes.
TEST(MagneticModelTest, SameBitsOnEitherPath)
{
    const char* out = std::getenv("QORMATRIX_MAGNETIC_DIGEST");
    if (!out)
        GTEST_SKIP() << "run by magneticPaths.cmake";
    qmtest::Digest digest;
    for (int i = 0; i < 20000; ++i) {
        const DtMagneticField f = DtMagneticModel::wmm2025().field((i % 181 - 90) * kDeg, (i % 367 - 183) * kDeg,
                                                                   (i % 97) * 9000.0 - 1000, 2025 + (i % 61) / 12.0);
        digest << f.north << f.east << f.down << f.northRate << f.eastRate << f.downRate << f.declination
               << f.inclination << f.total;
    }
    std::ofstream(out) << digest.h << "\n";
}
