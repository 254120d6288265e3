// A geoid model read from a published grid of undulations (GTX format, as the
// EGM96 and EGM2008 grids are distributed): the height of the geoid above the
// ellipsoid at any latitude and longitude, interpolated between the nodes.
//
// A grid is immutable once built, so one grid may serve any number of threads
// and geodetic coordinates at once; share it through a std::shared_ptr.
//
//   auto egm96 = std::make_shared<const DtGeoidGrid>("/usr/share/proj/egm96_15.gtx");
//   double n = egm96->undulation(48.85, 2.35);          // metres, bilinear
//   DtGeodeticCoord c(lat, lon, 0.0);
//   c.setGeoidGrid(egm96);                               // alt() is now above the geoid
#ifndef QORMATRIX_GEOID_GRID_H
#define QORMATRIX_GEOID_GRID_H

#include <qvutil/dtExport.h>

#include <cstddef>
#include <string>
#include <vector>

namespace Vorant {

class DT_EXPORT DtGeoidGrid
{
public:
    /// Reads the whole grid of a GTX file into memory.
    /// Throws DtException, naming the file, when it cannot be read or is not
    /// a well-formed GTX grid.
    explicit DtGeoidGrid(const std::string& file);
    /// Holds in memory only the nodes around the area from south to north and
    /// west to east (degrees; west may exceed east across the antimeridian).
    /// Nodes elsewhere are read from the file when a point needs them, so the
    /// file must stay in place while the grid lives.
    DtGeoidGrid(const std::string& file, double south, double west, double north, double east);
    ~DtGeoidGrid();
    DtGeoidGrid(const DtGeoidGrid&) = delete;
    DtGeoidGrid& operator=(const DtGeoidGrid&) = delete;

    /// Undulation in metres at a latitude and longitude in degrees: bilinear
    /// between the four surrounding nodes, or bicubic (Catmull-Rom over
    /// sixteen nodes; it passes through the nodes as bilinear does).
    /// Longitudes wrap on a grid that goes round the earth, and the poles are
    /// points like any other. NaN in gives NaN out. A latitude beyond +/-90,
    /// a point outside a regional grid or next to a node without data
    /// (-88.8888 in GTX files) throws DtException; nothing is extrapolated.
    double undulation(double latDeg, double lonDeg, bool cubic = false) const;

    const std::string& file() const { return myFile; }
    double south() const { return mySouth; }
    double west() const { return myWest; }
    double latSpacing() const { return myDLat; }
    double lonSpacing() const { return myDLon; }
    long rows() const { return myRows; }
    long columns() const { return myColumns; }
    /// Whether the grid goes round the earth (longitudes wrap).
    bool global() const { return myPeriod != 0; }
    /// Whether every node is in memory.
    bool holdsAll() const { return myHoldsAll; }
    /// Bytes of node data held in memory.
    std::size_t memoryBytes() const { return myNodes.size() * sizeof(float); }

private:
    void open(const char* signature);
    void hold(long firstRow, long rowCount, long firstColumn, long columnCount, const char* signature);
    void closeFile();
    float node(long row, long column) const;
    float readNode(long row, long column) const;
    double cubicAt(long row, long column, double fy, double fx) const;
    [[noreturn]] void fail(const std::string& what, const char* signature, unsigned int line) const;

    std::string myFile;
    int myFd = -1;            // kept open only while nodes are read on demand
    double mySouth = 0, myWest = 0, myDLat = 0, myDLon = 0;
    long myRows = 0, myColumns = 0;
    long myPeriod = 0;        // columns round the earth on a global grid, else 0
    bool mySouthPole = false, myNorthPole = false;   // first or last row on a pole
    bool myHoldsAll = false;
    long myFirstRow = 0, myRowCount = 0, myFirstColumn = 0, myColumnCount = 0;
    std::vector<float> myNodes;   // rows from the south, columns from the west
};

}  // namespace Vorant

#endif
