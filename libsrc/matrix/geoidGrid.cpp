#include <geoidGrid.h>

#include "diagnostics.h"
#include "geoidGridDatum.h"

#include <geoidDatum.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Vorant {

namespace {

// A GTX file: south, west, latitude and longitude spacing (big-endian
// doubles, degrees), rows and columns (big-endian 32-bit integers), then
// rows x columns big-endian floats, rows from the south, columns from the west.
constexpr std::size_t kHeaderBytes = 40;
// Nodes without data; compared as stored (a float).
constexpr float kNoData = -88.8888f;
// Far beyond any published grid (a 1' global grid has 2.3e8 nodes), and small
// enough that every byte offset stays well inside off_t.
constexpr long kMaxNodes = 1L << 31;
// A row of 64 MiB: 780 times the columns of a global 1' grid.
constexpr long kMaxColumns = 1L << 24;
// Slack for header values written in decimal degrees.
constexpr double kAngleSlack = 1e-9;

const char* const kSigWhole = "Vorant::DtGeoidGrid::DtGeoidGrid(const std::string&)";
const char* const kSigArea =
    "Vorant::DtGeoidGrid::DtGeoidGrid(const std::string&, double, double, double, double)";
const char* const kSigUndulation = "double Vorant::DtGeoidGrid::undulation(double, double, bool) const";

std::uint64_t bigEndian64(const unsigned char* p)
{
    std::uint64_t v = p[0];
    for (int i = 1; i < 8; ++i)
        v = (v << 8) | p[i];
    return v;
}

double bigEndianDouble(const unsigned char* p)
{
    const std::uint64_t bits = bigEndian64(p);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

long bigEndianInt32(const unsigned char* p)
{
    const std::uint32_t bits = (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) |
                               (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]);
    return static_cast<std::int32_t>(bits);
}

float bigEndianFloat(const unsigned char* p)
{
    const std::uint32_t bits = (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) |
                               (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// Reads exactly size bytes at offset: null, or why it could not. A regular
// file gives all it has in one call up to 2 GiB, and no row comes near that
// (see kMaxColumns).
const char* readAt(int fd, void* buffer, std::size_t size, off_t offset)
{
    const ssize_t got = ::pread(fd, buffer, size, offset);
    if (got == static_cast<ssize_t>(size))
        return nullptr;
    return got < 0 ? std::strerror(errno) : "the file ended early";
}

bool noData(float v)
{
    return v == kNoData || std::isnan(v);
}

// Catmull-Rom weights of the four nodes around a fraction t of a cell: they
// sum to one and give the second node alone at t = 0.
void cubicWeights(double t, double* w)
{
    w[0] = ((2.0 - t) * t - 1.0) * t * 0.5;
    w[1] = ((3.0 * t - 5.0) * t * t + 2.0) * 0.5;
    w[2] = ((4.0 - 3.0 * t) * t + 1.0) * t * 0.5;
    w[3] = (t - 1.0) * t * t * 0.5;
}

// floor(v) within [low, high], clamped before any conversion to an integer
// (fmax and fmin take a NaN v to low).
long clampedFloor(double v, long low, long high)
{
    return static_cast<long>(std::floor(std::fmin(std::fmax(v, static_cast<double>(low)), static_cast<double>(high))));
}

std::string degrees(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

}  // namespace

DtGeoidGrid::DtGeoidGrid(const std::string& file) : myFile(file)
{
    try {
        open(kSigWhole);
        hold(0, myRows, 0, myColumns, kSigWhole);
    } catch (...) {
        closeFile();
        throw;
    }
    closeFile();
}

DtGeoidGrid::DtGeoidGrid(const std::string& file, double south, double west, double north, double east)
    : myFile(file)
{
    if (!(south >= -90.0 && north <= 90.0 && south <= north) || !std::isfinite(west) || !std::isfinite(east))
        fail("the area south " + degrees(south) + ", west " + degrees(west) + ", north " + degrees(north) +
                 ", east " + degrees(east) + " is not an area on the earth",
             kSigArea, __LINE__);
    try {
        open(kSigArea);
        // Every node bicubic needs: one before the first cell, two after the last.
        const long firstRow = clampedFloor((south - mySouth) / myDLat - 1.0, 0, myRows - 1);
        const long lastRow = clampedFloor(std::ceil((north - mySouth) / myDLat) + 2.0, 0, myRows - 1);
        long firstColumn = 0, columnCount = myColumns;
        double span = east - west;
        if (span < 0.0)
            span = std::fmod(span, 360.0) + 360.0;   // across the antimeridian
        const double spanColumns = std::ceil(span / myDLon) + 4.0;
        if (myPeriod != 0 && spanColumns < static_cast<double>(myPeriod)) {
            double from = std::fmod(west - myWest, 360.0);
            if (from < 0.0)
                from += 360.0;
            firstColumn = clampedFloor(from / myDLon, 0, myPeriod - 1) - 1;
            if (firstColumn < 0)
                firstColumn += myPeriod;
            columnCount = static_cast<long>(spanColumns);
        } else if (myPeriod == 0 && west <= east) {
            const long first = clampedFloor((west - myWest) / myDLon - 1.0, 0, myColumns - 1);
            const long last = clampedFloor(std::ceil((east - myWest) / myDLon) + 2.0, 0, myColumns - 1);
            if (first <= last) {
                firstColumn = first;
                columnCount = last - first + 1;
            }
        }
        hold(firstRow, lastRow - firstRow + 1, firstColumn, columnCount, kSigArea);
    } catch (...) {
        closeFile();
        throw;
    }
    if (myHoldsAll)
        closeFile();
}

DtGeoidGrid::~DtGeoidGrid()
{
    closeFile();
}

void DtGeoidGrid::closeFile()
{
    if (myFd >= 0)
        ::close(myFd);
    myFd = -1;
}

void DtGeoidGrid::fail(const std::string& what, const char* signature, unsigned int line) const
{
    const std::string text = "geoid grid '" + myFile + "': " + what;
    detail::throwDtException(text.c_str(), signature, __FILE__, line);
}

void DtGeoidGrid::open(const char* signature)
{
    myFd = ::open(myFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (myFd == -1)   // (what open gives on failure)
        fail(std::string("cannot open it: ") + std::strerror(errno), signature, __LINE__);
    struct stat info;
    if (::fstat(myFd, &info) != 0 || !S_ISREG(info.st_mode))
        fail("not a regular file", signature, __LINE__);
    const auto size = static_cast<unsigned long long>(info.st_size);
    unsigned char header[kHeaderBytes];
    if (size < kHeaderBytes || readAt(myFd, header, kHeaderBytes, 0))
        fail("truncated: " + std::to_string(size) + " bytes, a GTX header alone takes 40", signature, __LINE__);

    mySouth = bigEndianDouble(header);
    myWest = bigEndianDouble(header + 8);
    myDLat = bigEndianDouble(header + 16);
    myDLon = bigEndianDouble(header + 24);
    myRows = bigEndianInt32(header + 32);
    myColumns = bigEndianInt32(header + 36);
    const std::string gtx = "not a GTX grid: ";
    if (!(myDLat > 0.0 && myDLat <= 180.0 && myDLon > 0.0 && myDLon <= 360.0))
        fail(gtx + "node spacing " + degrees(myDLat) + " x " + degrees(myDLon) + " degrees", signature, __LINE__);
    if (myRows < 2 || myColumns < 2 || myColumns > kMaxColumns || myRows > kMaxNodes / myColumns)
        fail(gtx + std::to_string(myRows) + " rows of " + std::to_string(myColumns) + " nodes", signature,
             __LINE__);
    const double north = mySouth + static_cast<double>(myRows - 1) * myDLat;
    const double width = static_cast<double>(myColumns - 1) * myDLon;
    if (!(mySouth >= -90.0 - kAngleSlack && north <= 90.0 + kAngleSlack && std::isfinite(myWest) &&
          std::fabs(myWest) <= 360.0 && width <= 360.0 + kAngleSlack))
        fail(gtx + "it spans latitudes " + degrees(mySouth) + " to " + degrees(north) + " and longitudes " +
                 degrees(myWest) + " to " + degrees(myWest + width),
             signature, __LINE__);
    const unsigned long long expected =
        kHeaderBytes + 4ULL * static_cast<unsigned long long>(myRows) * static_cast<unsigned long long>(myColumns);
    if (size != expected)
        fail("wrongly sized: its header gives " + std::to_string(myRows) + " x " + std::to_string(myColumns) +
                 " nodes (" + std::to_string(expected) + " bytes), the file has " + std::to_string(size) + " bytes",
             signature, __LINE__);

    // Round the earth when the columns close the circle, with or without the
    // first column repeated at the end.
    const double period = 360.0 / myDLon;
    const long whole = std::lround(period);
    if (std::fabs(period - static_cast<double>(whole)) < 1e-9 && (myColumns == whole || myColumns == whole + 1))
        myPeriod = whole;
    mySouthPole = std::fabs(mySouth + 90.0) <= kAngleSlack;
    myNorthPole = std::fabs(north - 90.0) <= kAngleSlack;
}

void DtGeoidGrid::hold(long firstRow, long rowCount, long firstColumn, long columnCount, const char* signature)
{
    myFirstRow = firstRow;
    myRowCount = rowCount;
    myFirstColumn = firstColumn;
    myColumnCount = columnCount;
    myHoldsAll = firstRow == 0 && rowCount == myRows && columnCount >= myColumns;
    if (myHoldsAll)
        myColumnCount = myColumns;
    myNodes.assign(static_cast<std::size_t>(myRowCount) * static_cast<std::size_t>(myColumnCount), float());
    const auto rowBytes = static_cast<std::size_t>(myColumns) * 4;
    std::vector<unsigned char> row(rowBytes);
    for (long r = 0; r < myRowCount; ++r) {
        const auto offset = static_cast<off_t>(kHeaderBytes + static_cast<std::size_t>(myFirstRow + r) * rowBytes);
        if (const char* why = readAt(myFd, row.data(), rowBytes, offset))
            fail("cannot read row " + std::to_string(myFirstRow + r) + ": " + why, signature, __LINE__);
        float* to = &myNodes[static_cast<std::size_t>(r) * static_cast<std::size_t>(myColumnCount)];
        for (long c = 0; c < myColumnCount; ++c) {
            long column = myFirstColumn + c;
            if (column >= myPeriod)   // round the earth (a regional grid's period 0 changes nothing)
                column -= myPeriod;
            to[c] = bigEndianFloat(&row[static_cast<std::size_t>(column) * 4]);
        }
    }
}

float DtGeoidGrid::node(long row, long column) const
{
    if (myHoldsAll)
        return myNodes[static_cast<std::size_t>(row * myColumns + column)];
    const long r = row - myFirstRow;
    long c = column - myFirstColumn;
    if (c < 0)   // an area across the seam of a global grid (nothing for a regional one)
        c += myPeriod;
    if (r >= 0 && r < myRowCount && c >= 0 && c < myColumnCount)
        return myNodes[static_cast<std::size_t>(r * myColumnCount + c)];
    return readNode(row, column);
}

float DtGeoidGrid::readNode(long row, long column) const
{
    unsigned char bytes[sizeof(float)];
    const auto offset = static_cast<off_t>(kHeaderBytes + 4 * static_cast<std::size_t>(row * myColumns + column));
    if (const char* why = readAt(myFd, bytes, 4, offset))
        fail("cannot read the node of row " + std::to_string(row) + ", column " + std::to_string(column) + ": " + why,
             kSigUndulation, __LINE__);
    return bigEndianFloat(bytes);
}

double DtGeoidGrid::undulation(double latDeg, double lonDeg, bool cubic) const
{
    if (std::isnan(latDeg) || std::isnan(lonDeg))
        return std::numeric_limits<double>::quiet_NaN();
    if (!(latDeg >= -90.0 && latDeg <= 90.0) || !std::isfinite(lonDeg))
        fail("no point at latitude " + degrees(latDeg) + ", longitude " + degrees(lonDeg), kSigUndulation,
             __LINE__);
    const double y = (latDeg - mySouth) / myDLat;
    // Eastwards from the grid's west edge, within a turn (grids may count
    // longitudes from -180 or from 0).
    double east = std::fmod(lonDeg - myWest, 360.0);
    if (east < 0.0)
        east += 360.0;
    const double x = east / myDLon;
    const double lastColumn = static_cast<double>(myPeriod != 0 ? myPeriod : myColumns - 1);
    if (!(y >= 0.0 && y <= static_cast<double>(myRows - 1) && x <= lastColumn))
        fail("latitude " + degrees(latDeg) + ", longitude " + degrees(lonDeg) + " is outside the grid (latitudes " +
                 degrees(mySouth) + " to " + degrees(mySouth + static_cast<double>(myRows - 1) * myDLat) +
                 ", longitudes " + degrees(myWest) + " to " +
                 degrees(myWest + static_cast<double>(myColumns - 1) * myDLon) + ")",
             kSigUndulation, __LINE__);

    // The cell: its south-west node and the fractions across it. A point on
    // the last row or column belongs to the cell before it.
    long row = static_cast<long>(y);
    double fy = y - static_cast<double>(row);
    if (row == myRows - 1) {
        row -= 1;
        fy = 1.0;
    }
    long column = static_cast<long>(x);
    double fx = x - static_cast<double>(column);
    long next = column + 1;
    if (myPeriod != 0) {
        if (column >= myPeriod)
            column -= myPeriod;
        if (next >= myPeriod)
            next -= myPeriod;
    } else if (column == myColumns - 1) {
        column -= 1;
        next = column + 1;
        fx = 1.0;
    }

    double value;
    if (cubic) {
        value = cubicAt(row, column, fy, fx);
    } else {
        const float v00 = node(row, column), v01 = node(row, next);
        const float v10 = node(row + 1, column), v11 = node(row + 1, next);
        if (noData(v00) || noData(v01) || noData(v10) || noData(v11))
            value = std::numeric_limits<double>::quiet_NaN();
        else
            value = (1.0 - fy) * ((1.0 - fx) * double(v00) + fx * double(v01)) +
                    fy * ((1.0 - fx) * double(v10) + fx * double(v11));
    }
    if (std::isnan(value))
        fail("no data next to latitude " + degrees(latDeg) + ", longitude " + degrees(lonDeg), kSigUndulation,
             __LINE__);
    return value;
}

double DtGeoidGrid::cubicAt(long row, long column, double fy, double fx) const
{
    double wy[4], wx[4];
    cubicWeights(fy, wy);
    cubicWeights(fx, wx);
    const long half = myPeriod % 2 == 0 ? myPeriod / 2 : 0;
    double sum = 0.0;
    for (int k = 0; k < 4; ++k) {
        long r = row - 1 + k;
        long shift = 0;
        // Beyond a pole lies the row as far on the other side of it, half a
        // turn round; beyond the edge of a regional grid the edge repeats.
        if (r < 0) {
            r = mySouthPole && half != 0 ? -r : 0;
            shift = mySouthPole ? half : 0;
        } else if (r > myRows - 1) {
            r = myNorthPole && half != 0 ? 2 * (myRows - 1) - r : myRows - 1;
            shift = myNorthPole ? half : 0;
        }
        double across = 0.0;
        for (int m = 0; m < 4; ++m) {
            long c = column - 1 + m + shift;
            if (myPeriod != 0) {
                c %= myPeriod;
                if (c < 0)
                    c += myPeriod;
            } else {
                c = std::min(std::max(c, 0L), myColumns - 1);
            }
            const float v = node(r, c);
            if (noData(v))
                return std::numeric_limits<double>::quiet_NaN();
            across += wx[m] * double(v);
        }
        sum += wy[k] * across;
    }
    return sum;
}

// The geoid datum of a geodetic coordinate that uses a grid. Only geodetic
// coordinates make one, and they delete it as its own type (DtGeoidDatum has
// no virtual destructor), through the functions below.
namespace {

class GridGeoidDatum final : public DtGeoidDatum
{
public:
    // The grid's file is the datum's path; it is safe from any thread.
    GridGeoidDatum(std::shared_ptr<const DtGeoidGrid> grid, bool cubic)
        : DtGeoidDatum(DtString(grid->file().c_str()), cubic, true), myGrid(std::move(grid)), myCubicFlag(cubic)
    {
    }

    DtGeoidType geoidType() override { return DtGeoidGtxGrid; }

    double undulation(double latDeg, double lonDeg) override
    {
        return myGrid->undulation(latDeg, lonDeg, myCubicFlag);
    }
    // Holding an area or the whole grid means reading the file again into a
    // grid of this datum's own; other holders of the old grid keep it.
    void cacheArea(double south, double west, double north, double east) override
    {
        myGrid = std::make_shared<DtGeoidGrid>(myGrid->file(), south, west, north, east);
    }
    void cacheAll() override
    {
        if (!myGrid->holdsAll())
            myGrid = std::make_shared<DtGeoidGrid>(myGrid->file());
    }

    const std::shared_ptr<const DtGeoidGrid>& grid() const { return myGrid; }
    bool cubicFlag() const { return myCubicFlag; }

private:
    std::shared_ptr<const DtGeoidGrid> myGrid;
    bool myCubicFlag;
};

}  // namespace

namespace detail {

DtGeoidDatum* newGridGeoidDatum(std::shared_ptr<const DtGeoidGrid> grid, bool cubic)
{
    return new GridGeoidDatum(std::move(grid), cubic);
}

DtGeoidDatum* copyGridGeoidDatum(DtGeoidDatum* datum)
{
    const auto* grid = dynamic_cast<GridGeoidDatum*>(datum);
    return grid ? new GridGeoidDatum(grid->grid(), grid->cubicFlag()) : nullptr;
}

std::shared_ptr<const DtGeoidGrid> gridOfGeoidDatum(DtGeoidDatum* datum)
{
    const auto* grid = dynamic_cast<GridGeoidDatum*>(datum);
    return grid ? grid->grid() : nullptr;
}

bool deleteGridGeoidDatum(DtGeoidDatum* datum)
{
    auto* grid = dynamic_cast<GridGeoidDatum*>(datum);
    delete grid;
    return grid != nullptr;
}

}  // namespace detail

}  // namespace Vorant
