// UTM/UPS and MGRS without a peer: the poles, the zone exceptions, the grids'
// limits, truncation into the square a point is in, the older lettering, and
// every way a reference can be wrong.
#include "testSupport.h"

using namespace Vorant;
using qmtest::kDeg;
using qmtest::kPi;

TEST(GridReferenceTest, PolesZonesAndLimits)
{
    const DtUtmUps grid(DtWGS84);
    for (const double lon : {0.0, 1.0, -2.5}) {
        const DtGridPosition n = grid.forward(kPi / 2, lon), s = grid.forward(-kPi / 2, lon);
        EXPECT_TRUE(n.zone == 0 && n.north && n.easting == 2e6 && n.northing == 2e6 && n.scale == 0.994);
        EXPECT_TRUE(s.zone == 0 && !s.north && s.easting == 2e6 && s.northing == 2e6 && s.scale == 0.994);
    }
    // 85 N on the meridian 90 E: due east of the pole on the grid; the same distance south on 90 W.
    const DtGridPosition east = grid.forward(85 * kDeg, kPi / 2), west = grid.forward(-85 * kDeg, -kPi / 2);
    EXPECT_NEAR(east.northing, 2e6, 1e-9);
    EXPECT_NEAR(east.easting - 2e6, 2e6 - west.easting, 1e-9);
    EXPECT_NEAR(east.convergence, kPi / 2, 1e-15);
    // A zone's central meridian: no convergence, scale 0.9996, easting 500 km.
    const DtGridPosition centre = grid.forward(45 * kDeg, 3 * kDeg);
    EXPECT_TRUE(centre.zone == 31 && centre.easting == 5e5 && centre.convergence == 0 && std::fabs(centre.scale - 0.9996 * (1 + 0)) < 1e-12);
    // The standard zones: the Norway and Svalbard exceptions, 180 in zone 1, the polar caps.
    const std::vector<std::array<double, 3>> zones = {
        {55.9, 5, 31}, {56, 3, 32}, {63.9, 2.9, 31}, {64, 5, 31}, {72, 8.9, 31}, {72, 9, 33},   {83.9, 20.9, 33},
        {72, 21, 35},  {72, 33, 37}, {72, 42, 38},   {71.9, 9, 32}, {0, 180, 1},  {0, -180, 1}, {84, 0, 0},
        {-80, 0, 31},  {-80.01, 0, 0}};
    for (const auto& z : zones)
        EXPECT_EQ(DtUtmUps::standardZone(z[0] * kDeg, z[1] * kDeg), z[2]) << z[0] << " " << z[1];
    // Every zone's western edge in whole degrees times the degree: its own
    // zone, though 180/pi times some of them (-114, -96, -48, ...) is a hair
    // less than the whole number.
    for (int edge = -174; edge <= 174; edge += 6)
        EXPECT_EQ(DtUtmUps::standardZone(0.1, edge * kDeg), (edge + 180) / 6 + 1) << edge;
    // Forced grids within the overlaps, their edges included, and past them.
    for (const double lat : {84.5, -80.5})
        EXPECT_EQ(grid.forward(lat * kDeg, 0, DtUtmUps::Utm).zone, 31);
    for (const double lat : {83.5, -79.5})
        EXPECT_EQ(grid.forward(lat * kDeg, 0, DtUtmUps::Ups).zone, 0);
    EXPECT_EQ(grid.forward(10 * kDeg, 10 * kDeg, 31).zone, 31);   // 7 degrees off its meridian
    EXPECT_TRUE(grid.forward(60 * kDeg, 5 * kDeg).zone == 32 && grid.forward(60 * kDeg, 5 * kDeg, DtUtmUps::Utm).zone == 31);
    EXPECT_EQ(grid.forward(0, -168 * kDeg, 1).zone, 1);               // 9 degrees off
    qmtest::expectThrows([&] { grid.forward(84.6 * kDeg, 0, DtUtmUps::Utm); },
                         "Invalid grid position: UTM covers 80.5 S to 84.5 N and 9 degrees either side of the "
                         "zone's central meridian",
                         "Vorant::DtGridPosition Vorant::DtUtmUps::forward(double, double, int, bool) const", "utmUps.cpp");
    qmtest::expectThrows([&] { grid.forward(-79.4 * kDeg, 0, DtUtmUps::Ups); },
                         "Invalid grid position: UPS covers latitudes from 83.5 N and from 79.5 S only",
                         "Vorant::DtGridPosition Vorant::DtUtmUps::forward(double, double, int, bool) const", "utmUps.cpp");
    qmtest::expectThrows([&] { grid.forward(83.4 * kDeg, 0, DtUtmUps::Ups); },
                         "Invalid grid position: UPS covers latitudes from 83.5 N and from 79.5 S only",
                         "Vorant::DtGridPosition Vorant::DtUtmUps::forward(double, double, int, bool) const", "utmUps.cpp");
    qmtest::expectThrows([&] { grid.forward(0, std::nan("")); },
                         "Invalid grid position: a latitude beyond +/-pi/2, a value that is not finite, or a zone "
                         "out of range",
                         "Vorant::DtGridPosition Vorant::DtUtmUps::forward(double, double, int, bool) const", "utmUps.cpp");
    for (const int bad : {61, -3})
        qmtest::expectThrows([&] { grid.forward(0, 0, bad); },
                             "Invalid grid position: a latitude beyond +/-pi/2, a value that is not finite, or a zone "
                             "out of range",
                             "Vorant::DtGridPosition Vorant::DtUtmUps::forward(double, double, int, bool) const", "utmUps.cpp");
    // Without convergence and scale: NaN for them, the same position to the bit.
    for (const double lat : {0.3, 86 * kDeg, -85 * kDeg}) {
        const DtGridPosition full = grid.forward(lat, 0.1), bare = grid.forward(lat, 0.1, DtUtmUps::Standard, false);
        EXPECT_TRUE(std::isnan(bare.convergence) && std::isnan(bare.scale) && bare.easting == full.easting &&
                    bare.northing == full.northing && full.scale > 0.99);
        DtGridPosition back = full;   // (what it held before does not stay)
        double la, lo, la2, lo2;
        grid.reverse(back, la, lo, false);
        EXPECT_TRUE(std::isnan(back.convergence) && std::isnan(back.scale));
        grid.reverse(back, la2, lo2);
        EXPECT_TRUE(la == la2 && lo == lo2);
        EXPECT_NEAR(back.convergence, full.convergence, 1e-14);
        EXPECT_NEAR(back.scale, full.scale, 1e-15);
    }
    // Round trips everywhere, the caps included.
    std::mt19937_64 draw(6);
    std::uniform_real_distribution<double> u(-1, 1);
    double worst = 0;
    for (int i = 0; i < 20000; ++i) {
        const double lat = u(draw) * kPi / 2, lon = u(draw) * kPi;
        DtGridPosition p = grid.forward(lat, lon);
        const double gamma = p.convergence, k = p.scale;
        double la, lo;
        grid.reverse(p, la, lo);
        worst = std::max({worst, std::fabs(la - lat) * 6.4e6, std::fabs(std::remainder(lo - lon, 2 * kPi)) * std::cos(lat) * 6.4e6,
                          std::fabs(p.convergence - gamma) * std::cos(lat) * 1e6, std::fabs(p.scale - k) * 1e5});
    }
    EXPECT_LT(worst, 1e-8);
    // The pole's own formulas are for the pole alone: at exactly 60 degrees the scale and convergence
    // continue those a hair away.
    const DtGridPosition at60 = grid.forward(kPi / 3, 0.05, 31), near60 = grid.forward(kPi / 3 - 1e-9, 0.05, 31);
    EXPECT_TRUE(std::fabs(at60.scale - near60.scale) < 1e-12 && std::fabs(at60.convergence - near60.convergence) < 1e-9);
    EXPECT_TRUE(DtUtmUps::standardZone(0.5, std::nan("")) == 0 && DtUtmUps::standardZone(0.5, INFINITY) == 0 &&
                DtUtmUps::standardZone(std::nan(""), 0.5) == 0);   // no zone: no number
}

TEST(GridReferenceTest, ReferencesTruncateAndReadBack)
{
    const DtMgrs mgrs(DtWGS84);
    // The same place, written at every precision: each a prefix of the finer one's digits, truncated.
    // (The expected strings are GeographicLib's GeoConvert -m.)
    const double lat = 40.689247 * kDeg, lon = -74.044502 * kDeg;   // the Statue of Liberty
    EXPECT_EQ(mgrs.encode(lat, lon, 5), "18TWL8073504700");
    EXPECT_EQ(mgrs.encode(lat, lon, 0), "18TWL");
    EXPECT_EQ(mgrs.encode(lat, lon, 2), "18TWL8004");
    char text[DtMgrs::kMaxLength + 1];
    // To the micrometre on the same ellipsoid (the library's WGS 84 rounds the semi-minor axis).
    const DtMgrs exact(DtMapDatum(DtSpheroid{6378137, 6378137 * (1 - 1 / 298.257223563)}, 0, 0, 0));
    EXPECT_EQ(exact.encode(lat, lon, 11, text), 27u);
    EXPECT_EQ(std::string(text), "18TWL8073564497904700380655");
    // Forgiving when reading: case and spaces; the centre or the corner of the square.
    const DtMgrsSquare centre = mgrs.decode("18t wl 807 047"), corner = mgrs.decode("18TWL807047", false);
    EXPECT_TRUE(centre.digits == 3 && corner.digits == 3 && centre.position.zone == 18 && centre.position.north);
    EXPECT_TRUE(corner.position.easting == 580700 && corner.position.northing == 4504700);
    EXPECT_TRUE(centre.position.easting == 580750 && centre.position.northing == 4504750);
    // Round trips land in the square they started in, at every precision, poles included.
    std::mt19937_64 draw(9);
    std::uniform_real_distribution<double> u(-1, 1);
    int outside = 0;
    for (int i = 0; i < 20000; ++i) {
        const double la = (i % 4 ? u(draw) * 80 : (i % 8 ? 1 : -1) * (84 + 6 * std::fabs(u(draw)))) * kDeg, lo = u(draw) * kPi;
        const int digits = i % 12;
        const DtGridPosition p = mgrs.grid().forward(la, lo);
        const DtMgrsSquare s = mgrs.decode(mgrs.encode(la, lo, digits), false);
        const double size = 1e5 / std::pow(10.0, digits);
        outside += !(s.digits == digits && s.position.zone == p.zone && p.easting >= s.position.easting - 1e-9 &&
                     p.easting < s.position.easting + size + 1e-9 && p.northing >= s.position.northing - 1e-9 &&
                     p.northing < s.position.northing + size + 1e-9);
    }
    EXPECT_EQ(outside, 0);
    // The older lettering (Clarke 1866 here): the rows are 10 letters on.
    const DtMgrs clarke(DtCONUSNAD27), standard(DtCONUSNAD27, DtMgrs::Standard);
    const std::string oldText = clarke.encode(lat, lon, 1), newText = standard.encode(lat, lon, 1);
    EXPECT_TRUE(clarke.oldLettering() && !standard.oldLettering() && oldText.substr(0, 4) == newText.substr(0, 4));
    const std::string rows = "ABCDEFGHJKLMNPQRSTUV";
    EXPECT_EQ(rows.find(oldText[4]), (rows.find(newText[4]) + 10) % 20);
    EXPECT_NEAR(clarke.decode(oldText).lat, standard.decode(newText).lat, 1e-12);
    // Chosen by the semi-major axis: Clarke 1866, Clarke 1880 and Bessel 1841, and nothing a millimetre off.
    for (const double a : {6378206.4, 6378249.145, 6377397.155})
        EXPECT_TRUE(DtMgrs(DtMapDatum(DtSpheroid{a, a * 0.9966}, 0, 0, 0)).oldLettering() &&
                    !DtMgrs(DtMapDatum(DtSpheroid{a + 1e-3, a * 0.9966}, 0, 0, 0)).oldLettering()) << a;
    // Polar squares.
    EXPECT_EQ(mgrs.encode(kPi / 2, 0, 0), "ZAH");
    EXPECT_EQ(mgrs.encode(-kPi / 2, 0, 0), "BAN");
    EXPECT_EQ(mgrs.encode(-89.9999 * kDeg, -kPi / 2, 5), "AZN9998800000");
    EXPECT_EQ(mgrs.encode(-89.9999 * kDeg, kPi / 2, 5), "BAN0001100000");
    EXPECT_NEAR(mgrs.decode("ZAH0000000000", false).lat, kPi / 2, 1e-15);
    for (const char* polar : {"BKA", "ARQ", "YRA", "ZAA"})   // letters only the southern zones have, and not
        EXPECT_NO_THROW(mgrs.decode(polar)) << polar;
    // Bands change at the multiples of 8 degrees, whatever the rounding of the radians: a hair below is on it.
    const std::string bands = "CDEFGHJKLMNPQRSTUVWX";
    for (int k = -10; k < 10; ++k)
        for (const double edge : {DtDeg2Rad(8.0 * k), std::nextafter(DtDeg2Rad(8.0 * k), -1.0)})
            EXPECT_EQ(mgrs.encode(edge, 3 * kDeg, 0)[2], bands[std::size_t(k + 10)]) << 8 * k;
}

TEST(GridReferenceTest, BadReferencesSayWhatIsWrong)
{
    const DtMgrs mgrs(DtWGS84);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"61TWL12", "the zone is not 1 to 60"},
        {"0TWL12", "the zone is not 1 to 60"},
        {"123TWL", "the zone is not 1 to 60"},
        {"18", "no latitude band or polar letter"},
        {"18IWL", "I and O are not letters of the grid"},
        {"18AWL", "not a latitude band letter (C to X)"},
        {"CWL12", "not a grid zone (a zone and band, or A, B, Y, Z)"},
        {"18T", "no 100 km square (two letters)"},
        {"18TW1", "no 100 km square (two letters)"},
        {"18TAL12", "the 100 km square does not exist in this zone"},
        {"18TWW12", "the 100 km square does not exist in this zone"},
        {"ZDH", "the 100 km square does not exist in this polar zone"},
        {"YJA", "the 100 km square does not exist in this polar zone"},   // letters of the southern zones
        {"YRQ", "the 100 km square does not exist in this polar zone"},
        {"ZKA", "the 100 km square does not exist in this polar zone"},
        {"ZAQ", "the 100 km square does not exist in this polar zone"},
        {"18TWL123", "an odd number of digits"},
        {"18TWL12x4", "characters after the square that are not digits"},
        {"18TWL123456789012345678901234", "more than 11 digits per axis"},
        {"18TWA1234", "the 100 km row is more than 100 km outside its latitude band"},
    };
    for (const auto& c : cases)
        qmtest::expectThrows([&] { mgrs.decode(c.first); }, "Invalid MGRS reference '" + c.first + "': " + c.second,
                             "Vorant::DtMgrsSquare Vorant::DtMgrs::decode(const std::string&, bool) const", "mgrs.cpp");
    char text[DtMgrs::kMaxLength + 1];
    for (const DtGridPosition& off : {DtGridPosition{31, true, 1e300, 0, 0, 1}, DtGridPosition{31, true, 5e5, -1, 0, 1},
                                      DtGridPosition{31, true, std::nan(""), 0, 0, 1}})
        EXPECT_THROW(mgrs.encode(off, 0.1, 5, text), DtException);
    EXPECT_THROW(mgrs.encode(DtGridPosition{31, true, 5e5, 1e6, 0, 1}, std::nan(""), 5, text), DtException);
    // Just past the last column or row letter of a polar grid.
    for (const DtGridPosition& off : {DtGridPosition{0, true, 2.75e6, 2.0e6, 0, 1}, DtGridPosition{0, true, 2.1e6, 2.75e6, 0, 1},
                                      DtGridPosition{0, false, 1.9e6, 3.25e6, 0, 1}})
        EXPECT_THROW(mgrs.encode(off, off.north ? 1.5 : -1.5, 5, text), DtException) << off.easting << " " << off.northing;
    qmtest::expectThrows([&] { mgrs.encode(0, 0, 12); },
                         "Invalid MGRS request: digits out of 0..11, a zone out of 0..60, a latitude beyond the poles, or "
                         "a position off every grid",
                         "std::size_t Vorant::DtMgrs::encode(const Vorant::DtGridPosition&, double, int, char*) const",
                         "mgrs.cpp");
}
