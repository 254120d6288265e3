// Geoid grids: the GTX reader, interpolation, coverage and caching on grids
// written here, the published EGM96 grid where it is installed, and geodetic
// coordinates over a grid.
#include "testSupport.h"

#include <fcntl.h>

using namespace Vorant;
using namespace qmtest;

namespace {

const char* const kEgm96 = "/usr/share/proj/egm96_15.gtx";
const char* const kSigUndulation = "double Vorant::DtGeoidGrid::undulation(double, double, bool) const";
const char* const kSigWhole = "Vorant::DtGeoidGrid::DtGeoidGrid(const std::string&)";

// 30-degree global grid whose node (row, column) holds 100 * row + column.
std::string coarseGrid()
{
    return writeGtx("coarse.gtx", -90, -180, 30, 30, 7, 12, [](int r, int c) { return float(100 * r + c); });
}

// The x component of the unit sphere, cos(lat) cos(lon): smooth across the
// poles and the antimeridian, so bicubic must beat bilinear everywhere.
double sphereX(double latDeg, double lonDeg)
{
    return std::cos(latDeg * kDeg) * std::cos(lonDeg * kDeg);
}

}  // namespace

TEST(GeoidGridTest, NodesCellsAntimeridianAndPolesOfAWrittenGrid)
{
    const DtGeoidGrid grid(coarseGrid());
    EXPECT_TRUE(grid.global() && grid.holdsAll());
    EXPECT_EQ(grid.memoryBytes(), 7u * 12u * 4u);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 12; ++c)
            for (double turn : {-360.0, 0.0, 360.0, 720.0})
                for (bool cubic : {false, true})
                    ASSERT_EQ(grid.undulation(-90 + 30 * r, -180 + 30 * c + turn, cubic), 100 * r + c) << r << c;
    EXPECT_EQ(grid.undulation(-75, -165), 50.5);      // cell centre: the mean of 0, 1, 100, 101
    EXPECT_EQ(grid.undulation(-45, 165), 155.5);      // across the antimeridian: 111, 100, 211, 200
    EXPECT_EQ(grid.undulation(-45, -195), 155.5);
    for (bool cubic : {false, true})   // a whole turn after rounding: the first column again
        EXPECT_EQ(grid.undulation(-45, std::nextafter(-180.0, -200.0), cubic), grid.undulation(-45, -180, cubic));
    EXPECT_EQ(grid.undulation(90, -105), 602.5);      // on the last row
    EXPECT_NEAR(grid.undulation(-15, -82.5), 253.25, 1e-12);   // linear inside a cell
    EXPECT_NEAR(grid.undulation(-15, -82.5, true), 253.25, 1e-12);   // bicubic keeps linear fields
    EXPECT_TRUE(std::isnan(grid.undulation(kNaN, 0)) && std::isnan(grid.undulation(0, kNaN, true)));
    expectThrows([&] { grid.undulation(90.5, 0); }, "geoid grid '" + grid.file() + "': no point at latitude 90.5, longitude 0",
                 kSigUndulation, "geoidGrid.cpp");
    expectThrows([&] { grid.undulation(0, kInf); },
                 "geoid grid '" + grid.file() + "': no point at latitude 0, longitude inf", kSigUndulation,
                 "geoidGrid.cpp");

    // A smooth field on a 5-degree grid, the first column repeated at the end.
    const DtGeoidGrid sphere(writeGtx("sphere.gtx", -90, 0, 5, 5, 37, 73,
                                      [](int r, int c) { return float(sphereX(-90 + 5 * r, 5 * c)); }));
    EXPECT_TRUE(sphere.global() && sphere.columns() == 73);
    Stream draws(17);
    double worstLinear = 0, worstCubic = 0, worstPolar = 0;
    for (int i = 0; i < 4000; ++i) {
        const double lat = i % 4 ? draws.uniform(-90, 90) : draws.uniform(85, 90) * (i % 8 ? 1 : -1);
        const double lon = draws.uniform(-540, 540), truth = sphereX(lat, lon);
        worstLinear = std::max(worstLinear, std::fabs(sphere.undulation(lat, lon) - truth));
        const double cubicError = std::fabs(sphere.undulation(lat, lon, true) - truth);
        worstCubic = std::max(worstCubic, cubicError);
        if (std::fabs(lat) > 85)
            worstPolar = std::max(worstPolar, cubicError);
    }
    EXPECT_LT(worstLinear, 2e-3);   // measured 1.9e-3
    EXPECT_LT(worstCubic, 1.2e-5);  // measured 1.1e-5; 6.5e-3 if the poles clamped the rows
    EXPECT_LT(worstPolar, 1.2e-5);
}

TEST(GeoidGridTest, RegionalGridsCoverageAndNodesWithoutData)
{
    // 40..45 N, 350..360 E at 1 degree; no data at row 4, column 8 (44 N, 358 E).
    const DtGeoidGrid grid(writeGtx("regional.gtx", 40, 350, 1, 1, 6, 11, [](int r, int c) {
        return r == 4 && c == 8 ? -88.8888f : float(100 * r + c);
    }));
    EXPECT_FALSE(grid.global());
    EXPECT_EQ(grid.undulation(41.5, -5.5), 154.5);
    EXPECT_EQ(grid.undulation(41.5, 354.5, true), grid.undulation(41.5, -5.5, true));
    EXPECT_EQ(grid.undulation(45, 0), 510);      // the last node in both directions
    EXPECT_EQ(grid.undulation(40, -10, true), 0);
    EXPECT_EQ(grid.undulation(42, -9), 201);
    const struct { double lat, lon; const char* text; } beyond[] = {
        {39.99, -5, "39.99, longitude -5"}, {45.01, -5, "45.01, longitude -5"},
        {42, 0.5, "42, longitude 0.5"}, {42, 349, "42, longitude 349"}};
    for (const auto& b : beyond)
        expectThrows([&] { grid.undulation(b.lat, b.lon); },
                     "geoid grid '" + grid.file() + "': latitude " + b.text +
                         " is outside the grid (latitudes 40 to 45, longitudes 350 to 360)",
                     kSigUndulation, "geoidGrid.cpp");
    for (bool cubic : {false, true})
        expectThrows([&] { grid.undulation(44.5, -1.5, cubic); },
                     "geoid grid '" + grid.file() + "': no data next to latitude 44.5, longitude -1.5", kSigUndulation,
                     "geoidGrid.cpp");
    EXPECT_EQ(grid.undulation(42.5, -1.5), 258.5);   // two rows away from it
    // An area west of the grid holds only the edge column nearest to it (all rows of its latitudes), one
    // past its eastern edge the columns to that edge, one across the antimeridian (west > east) them all.
    EXPECT_EQ(DtGeoidGrid(grid.file(), 40, 300, 45, 310).memoryBytes(), 6u * 1u * 4u);
    EXPECT_EQ(DtGeoidGrid(grid.file(), 40, 355, 45, 370).memoryBytes(), 6u * 7u * 4u);   // columns 4 to 10
    const DtGeoidGrid across(grid.file(), 40, 359, 45, 351);
    EXPECT_TRUE(across.memoryBytes() == 6u * 11u * 4u && across.undulation(42.5, -3.5) == grid.undulation(42.5, -3.5));
    // Beyond the edge of a regional grid, or of a band round the earth short
    // of the poles, bicubic repeats the edge row as it is.
    const auto square = [](int, int c) { return float(c * c); };
    const DtGeoidGrid columns(writeGtx("columns-only.gtx", 40, 350, 1, 1, 6, 11, square));
    const DtGeoidGrid band(writeGtx("band.gtx", -60, -180, 10, 10, 13, 36, square));
    for (double lat : {40.2, 44.8})
        EXPECT_NEAR(columns.undulation(lat, -4.3, true), columns.undulation(42, -4.3, true), 1e-12) << lat;
    for (double lat : {-59.0, 59.0})
        EXPECT_NEAR(band.undulation(lat, 17.5, true), band.undulation(0, 17.5, true), 1e-9) << lat;
}

TEST(GeoidGridTest, AnAreaInMemoryGivesTheWholeGridsValues)
{
    const auto value = [](int r, int c) { return float(std::sin(r * 0.7 + c * 1.3) * 50 + r); };
    const std::string file = writeGtx("area.gtx", -90, -180, 1, 1, 181, 360, value);
    const DtGeoidGrid whole(file);
    // Across the antimeridian (west given two turns back), on the grid's first
    // column, just after it; then areas that cover everything.
    const DtGeoidGrid pacific(file, 10, -550, 20, -530), first(file, -5, -180, 5, -170), next(file, -5, -179.5, 5, -170);
    EXPECT_EQ(pacific.memoryBytes(), 14u * 24u * 4u);   // rows 99 to 112, columns 349 to 12
    EXPECT_TRUE(DtGeoidGrid(file, -90, 0, 90, 360).holdsAll() && DtGeoidGrid(file, -90, 10, 90, 9.5).holdsAll() &&
                !first.holdsAll());
    Stream draws(5);
    for (int i = 0; i < 3000; ++i) {
        const double lat = i % 2 ? draws.uniform(8, 22) : draws.uniform(-90, 90);
        const double lon = i % 2 ? draws.uniform(165, 195) : draws.uniform(-180, 180);
        const bool cubic = i % 3 == 0;
        const double expected = whole.undulation(lat, lon, cubic);
        ASSERT_TRUE(pacific.undulation(lat, lon, cubic) == expected && first.undulation(lat, lon, cubic) == expected)
            << lat << " " << lon;
    }
    // A regional grid holds the part of the area it has.
    const std::string regional = writeGtx("regional-area.gtx", 40, -10, 0.5, 0.5, 11, 21, value);
    const DtGeoidGrid part(regional, 30, -20, 42, -5), full(regional);
    EXPECT_EQ(part.memoryBytes(), 7u * 13u * 4u);   // rows 0 to 6, columns 0 to 12
    for (double lat = 40; lat <= 45; lat += 0.35)
        for (double lon = -10; lon <= 0; lon += 0.4)
            ASSERT_EQ(part.undulation(lat, lon, lat > 42), full.undulation(lat, lon, lat > 42));

    // Nodes beyond the area come from the file: cut short, it says so; the
    // corners of each area need none.
    writeGtx("area.gtx", -90, -180, 1, 1, 181, 360, value, -4 * 360 * 100);
    const struct { const DtGeoidGrid* grid; double s, w, n, e; } areas[] = {
        {&pacific, 10, 170, 20, -170}, {&first, -5, -180, 5, -170}, {&next, -5, -179.5, 5, -170}};
    for (const auto& [grid, s, w, n, e] : areas)
        for (double lat : {s, n})
            for (double lon : {w, e})
                EXPECT_EQ(grid->undulation(lat, lon, true), whole.undulation(lat, lon, true)) << lat << " " << lon;
    expectThrows([&] { pacific.undulation(60, 0); },
                 "geoid grid '" + file + "': cannot read the node of row 150, column 180: the file ended early",
                 kSigUndulation, "geoidGrid.cpp");
    {   // A grid closes its file once, and never a descriptor it does not own.
        const DtGeoidGrid once(regional), held(regional, 41, -9, 42, -8);
    }
    EXPECT_TRUE(fcntl(0, F_GETFD) != -1 && fcntl(1, F_GETFD) != -1 && fcntl(2, F_GETFD) != -1);
}

TEST(GeoidGridTest, BadFilesAndAreasAreReportedWithTheFileName)
{
    const auto one = [](int, int) { return 1.0f; };
    const std::string dir = ::testing::TempDir();
    const std::string gtx = "': not a GTX grid: ";
    const struct { std::string file, text; } cases[] = {
        {dir + "missing.gtx", "': cannot open it: No such file or directory"},
        {dir, "': not a regular file"},
        {writeGtx("short.gtx", 0, 0, 1, 1, 2, 2, one, -28), "': truncated: 28 bytes, a GTX header alone takes 40"},
        {writeGtx("long.gtx", 0, 0, 1, 1, 3, 4, one, 1),
         "': wrongly sized: its header gives 3 x 4 nodes (88 bytes), the file has 89 bytes"},
        {writeGtx("cut.gtx", 0, 0, 1, 1, 3, 4, one, -1),
         "': wrongly sized: its header gives 3 x 4 nodes (88 bytes), the file has 87 bytes"},
        {writeGtx("rows.gtx", 0, 0, 1, 1, 1, 4, one), gtx + "1 rows of 4 nodes"},
        {writeGtx("huge.gtx", 0, 0, 1e-6, 1e-6, 65536, 32769, one, -4L * 65536 * 32769), gtx + "65536 rows of 32769 nodes"},
        {writeGtx("columns.gtx", 0, 0, 1e-6, 1e-6, 2, 16777217, one, -8L * 16777217), gtx + "2 rows of 16777217 nodes"},
        {writeGtx("spacing.gtx", 0, 0, -1, 1, 2, 2, one), gtx + "node spacing -1 x 1 degrees"},
        {writeGtx("nan.gtx", 0, 0, 1, kNaN, 2, 2, one), gtx + "node spacing 1 x nan degrees"},
        {writeGtx("zero.gtx", 0, 0, 1, 0, 2, 2, one), gtx + "node spacing 1 x 0 degrees"},
        {writeGtx("north.gtx", 80, 0, 1, 1, 12, 2, one), gtx + "it spans latitudes 80 to 91 and longitudes 0 to 1"},
        {writeGtx("wide.gtx", 0, 0, 1, 1, 2, 362, one), gtx + "it spans latitudes 0 to 1 and longitudes 0 to 361"},
        {writeGtx("west.gtx", 0, kInf, 1, 1, 2, 2, one), gtx + "it spans latitudes 0 to 1 and longitudes inf to inf"},
    };
    for (const auto& c : cases)
        expectThrows([&] { DtGeoidGrid grid(c.file); }, "geoid grid '" + c.file + c.text, kSigWhole, "geoidGrid.cpp");
    const std::string file = coarseGrid();
    expectThrows([&] { DtGeoidGrid grid(file, 10, 0, 5, 10); },
                 "geoid grid '" + file + "': the area south 10, west 0, north 5, east 10 is not an area on the earth",
                 "Vorant::DtGeoidGrid::DtGeoidGrid(const std::string&, double, double, double, double)",
                 "geoidGrid.cpp");
    EXPECT_THROW(DtGeoidGrid(file, 0, kNaN, 5, 10), DtException);
    EXPECT_THROW(DtGeoidGrid(dir + "missing.gtx", 0, 0, 5, 10), DtException);
}

TEST(GeoidGridTest, Egm96AgainstItsOwnNodes)
{
    std::ifstream in(kEgm96, std::ios::binary);
    if (!in)
        GTEST_SKIP() << kEgm96 << " is not installed";
    const auto node = [&](int row, int column) {   // read here, independently of the library
        unsigned char b[4];
        in.seekg(40 + 4 * (std::streamoff(row) * 1440 + column)).read(reinterpret_cast<char*>(b), 4);
        const std::uint32_t bits = std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
        float v;
        std::memcpy(&v, &bits, 4);
        return double(v);
    };
    const DtGeoidGrid egm96(kEgm96);
    EXPECT_NEAR(egm96.undulation(0, 0), 17.16, 0.01);   // the published value at 0 N, 0 E
    for (const auto& [row, column] : std::vector<std::pair<int, int>>{{0, 0}, {360, 720}, {517, 1311}, {720, 1439}})
        EXPECT_EQ(egm96.undulation(-90 + row * 0.25, -180 + column * 0.25, true), node(row, column));
    // A cell centre, then one across the antimeridian: the means of their nodes.
    EXPECT_NEAR(egm96.undulation(45.125, 7.125), (node(540, 748) + node(540, 749) + node(541, 748) + node(541, 749)) / 4, 1e-12);
    EXPECT_NEAR(egm96.undulation(-33.875, -180.125), (node(224, 1439) + node(224, 0) + node(225, 1439) + node(225, 0)) / 4, 1e-12);
}

TEST_F(GlobalStateTest, GeodeticCoordinatesOverAGrid)
{
    const auto grid = std::make_shared<const DtGeoidGrid>(writeGtx(
        "coord.gtx", -90, -180, 5, 5, 37, 72, [](int r, int c) { return float(100 * sphereX(-90 + 5 * r, 5 * c)); }));
    const double lat = 0.3, lon = -2.0, n = grid->undulation(DtRad2Deg(lat), DtRad2Deg(lon));
    {
        DtGeodeticCoord c(lat, lon, 500.0), plain(lat, lon, 500.0);
        c.setGeoidGrid(grid);
        EXPECT_TRUE(c.geoidGrid() == grid && grid.use_count() == 3);
        EXPECT_EQ(c.alt(), 500.0 - n);
        c.setAlt(10.0);
        EXPECT_EQ(c[2], 10.0 + n);
        DtGeoidDatum& datum = *c.geoidDatum();
        EXPECT_TRUE(datum.geoidType() == DtGeoidGtxGrid && datum.geoidPath() == grid->file().c_str() &&
                    !datum.cubic() && datum.threadsafe());
        auto copy = std::make_unique<DtGeodeticCoord>(c);
        EXPECT_TRUE(copy->geoidGrid() == grid && copy->alt() == 10.0 && !copy->geoidDatum()->cubic());
        plain = c;   // assignment keeps the target's own (absent) geoid
        EXPECT_TRUE(plain.geoidDatum() == nullptr && plain.alt() == 10.0 + n);
        c.setGeoidGrid(grid, true);
        EXPECT_TRUE(c.geoidDatum()->cubic() && c.alt() == c[2] - grid->undulation(DtRad2Deg(lat), DtRad2Deg(lon), true));
        EXPECT_NE(c.alt(), copy->alt());
        c.geoidDatum()->cacheArea(10, -130, 25, -100);
        EXPECT_TRUE(c.geoidGrid() != grid && !c.geoidGrid()->holdsAll() && grid.use_count() == 2);
        EXPECT_EQ(c.geoidDatum()->undulation(17.2, -114.6), grid->undulation(17.2, -114.6, true));
        c.geoidDatum()->cacheAll();
        EXPECT_TRUE(c.geoidGrid()->holdsAll() && c.geoidDatum()->undulation(-80, 10) == grid->undulation(-80, 10, true));
        copy.reset();
        c.setGeoidGrid(grid);
        c.setGeoidDatumType(DtGeoidNone);   // back to the undulation-free datum
        EXPECT_TRUE(c.geoidGrid() == nullptr && c.geoidDatum()->geoidType() == DtGeoidNone && c.alt() == c[2] &&
                    c.geoidDatum()->cubic());   // a datum set by type interpolates bicubically
        c.setGeoidGrid(grid);
        c.setGeoidGrid(nullptr);
        EXPECT_TRUE(c.geoidDatum() == nullptr && grid.use_count() == 1);
        c.setGeoidGrid(grid);
    }
    EXPECT_EQ(grid.use_count(), 1);   // the coordinate released its datum as the type it is
}
