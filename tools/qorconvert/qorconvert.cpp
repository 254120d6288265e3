// qorconvert: converts positions and orientations between geodetic,
// geocentric, UTM and local north-east-down coordinates, one line at a time.
#include "converter.h"
#include "fields.h"
#include "stream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

using qorconvert::Converter;
using qorconvert::Mode;
using qorconvert::Options;

const char* const kVersion = "22.0.0";

const char* const kHelp =
    "Usage: qorconvert [options] [values...]\n"
    "\n"
    "Converts one point per line from standard input (or the values given on\n"
    "the command line) and writes one line per input line. Blank lines and\n"
    "lines starting with # pass through unchanged.\n"
    "\n"
    "Modes (--from / --to):\n"
    "  geodetic, geod     latitude longitude [height]   degrees (or d m s with a\n"
    "                     hemisphere letter, e.g. 40d26'47\"N 74d0'21.5\"W), metres\n"
    "  geocentric, geoc   X Y Z                         metres, earth-centred\n"
    "  utm                zone easting northing [height], e.g. 18N 583960 4507523 10\n"
    "  ned                north east down               metres from --origin\n"
    "  aer                azimuth elevation range       from --origin: degrees clockwise from north,\n"
    "                                                   above the horizontal plane, metres\n"
    "  mgrs               a military grid reference, e.g. 18TWL8073504700 (in: the centre of its\n"
    "                     square, spaces allowed; out: truncated to --digits per axis)\n"
    "  ups                N|S easting northing [height]  the polar stereographic grids (from\n"
    "                                                   83.5 N and 79.5 S)\n"
    "  magnetic, mag      declination inclination total-intensity grid-magnetic-angle\n"
    "                     output only: the World Magnetic Model at --date (degrees, nT;\n"
    "                     nan for the grid angle beyond the UTM latitudes)\n"
    "  attitude, att      X Y Z psi theta phi           input only: geocentric position and\n"
    "                                                   Tait-Bryan angles to the geocentric axes\n"
    "  hpr                heading pitch roll            output only, over the local ground\n"
    "  declination, decl  grid declination              output only: grid north from true north\n"
    "  inverse, inv       lat1 lon1 lat2 lon2 -> distance azimuth1 azimuth2: the shortest route over\n"
    "                     the datum's ellipsoid, azimuths clockwise from north at each end\n"
    "  direct, dir        lat lon azimuth distance -> lat2 lon2 azimuth2: where a geodesic ends\n"
    "                     (inverse and direct are both the input and the output mode)\n"
    "\n"
    "Options:\n"
    "  -f, --from MODE        input mode (default geodetic)\n"
    "  -t, --to MODE          output mode (default geocentric)\n"
    "  -d, --datum NAME       map datum of geodetic and UTM values: WGS84 (default),\n"
    "                         ED50, NASANAD27, NASBNAD27, CONUSNAD27; geocentric values\n"
    "                         are always in the common WGS 84 frame\n"
    "  -p, --precision N      decimals of metres (default 3); degrees get N+5\n"
    "  -r, --radians          angles in and out in radians instead of degrees\n"
    "      --dms              write latitude and longitude as degrees, minutes, seconds\n"
    "  -z, --zone N           UTM zone for every point (default: each point's own)\n"
    "      --digits N         MGRS digits per axis, 0 (100 km) to 11 (1 um); default 5 (1 m)\n"
    "      --date D           the magnetic field's date: YYYY-MM-DD or a decimal year (default today)\n"
    "      --model FILE       a magnetic model's .COF coefficient file (default the built-in WMM2025)\n"
    "  -o, --origin LAT,LON[,H]  origin of the north-east-down frame (degrees, metres)\n"
    "      --geoid FILE       heights above the geoid of a GTX grid (such as\n"
    "                         /usr/share/proj/egm96_15.gtx) instead of the ellipsoid,\n"
    "                         in and out, the origin's too; bilinear between nodes\n"
    "      --geoid-cubic      bicubic instead of bilinear\n"
    "  -j, --threads N        convert with N threads (default 1; 0: one per core);\n"
    "                         the output keeps the order of the input; fewer if\n"
    "                         the system cannot start that many\n"
    "      --example          convert a built-in set of points through every mode\n"
    "  -h, --help             this text\n"
    "      --version          the version\n"
    "\n"
    "Examples:\n"
    "  qorconvert 40.7128 -74.0060 10                 geodetic to geocentric\n"
    "  echo \"40d26'47\\\"N 74d0'21.5\\\"W\" | qorconvert --to utm\n"
    "  qorconvert -f utm -t geod 18N 583960 4507523\n"
    "  qorconvert -f geoc -t geod -d ED50 < points.txt\n"
    "  qorconvert -f geod -t ned -o 40,-74,0 40.001 -74 0\n"
    "  qorconvert --geoid /usr/share/proj/egm96_15.gtx -t geod 27.9881 86.925 8848.86\n"
    "  qorconvert -f att -t hpr 1334000 -4654000 4138000 45 10 0\n"
    "  qorconvert -f inverse 50.0379 8.5622 1.3644 103.9915   Frankfurt to Singapore\n"
    "\n"
    "A line that cannot be read gives the output line \"error: <reason>\" and a\n"
    "message with its line number on standard error, written right after that\n"
    "line's output (so 2>&1 keeps them together); the exit status is then 1. So\n"
    "does a result that cannot be trusted: a geocentric point within a*e^2 (about\n"
    "42.7 km) of the ellipsoid's centre, where the geodetic conversion may settle\n"
    "on a far point; a UTM position beyond the pole; a result that is not finite.\n"
    "A line holds at most 67108864 bytes.\n"
    "Exit status 2 is a usage error, 4 an input or output that cannot be read or\n"
    "written (a full disk, say).\n";

struct ExampleSet
{
    const char* title;
    Mode from, to;
    const char* options;
    std::vector<const char*> lines;
};

int usageError(const std::string& message)
{
    std::fprintf(stderr, "qorconvert: %s\n(try qorconvert --help)\n", message.c_str());
    return 2;
}

int runExample()
{
    const std::vector<ExampleSet> sets = {
        {"geodetic -> geocentric (WGS 84)", Mode::Geodetic, Mode::Geocentric, "",
         {"40.7128 -74.0060 10", "40d26'47\"N 74d0'21.5\"W 0", "-33.8688 151.2093 58", "90 0 0"}},
        {"geocentric -> geodetic", Mode::Geocentric, Mode::Geodetic, "",
         {"1334000.0 -4654000.0 4138000.0", "6378137 0 0"}},
        {"geodetic -> UTM (each point's own zone)", Mode::Geodetic, Mode::Utm, "",
         {"40.7128 -74.0060 10", "-33.8688 151.2093 58", "60.39 5.32 0"}},
        {"UTM -> geodetic, degrees-minutes-seconds", Mode::Utm, Mode::Geodetic, "--dms",
         {"18N 583959.372 4507350.998 10", "56H 334368.634 6250948.345 58"}},
        {"geodetic -> north-east-down from 40.7128,-74.006,0", Mode::Geodetic, Mode::Ned, "origin",
         {"40.7228 -74.0060 0", "40.7128 -73.9960 100"}},
        {"geodetic -> azimuth elevation range from 40.7128,-74.006,0", Mode::Geodetic, Mode::Aer, "origin",
         {"40.7228 -74.0060 0", "40.6413 -73.7781 3000"}},
        {"geodetic -> MGRS (1 m, truncated)", Mode::Geodetic, Mode::Mgrs, "",
         {"40.689247 -74.044502", "-33.8568 151.2153", "89.99 0", "78.2232 15.6267"}},
        {"attitude (geocentric position, angles to the geocentric axes) -> heading pitch roll", Mode::Attitude,
         Mode::Hpr, "", {"1334000 -4654000 4138000 45 10 0"}},
        {"geodetic -> grid declination", Mode::Geodetic, Mode::Declination, "", {"45 -73", "45 -77", "-45 -73"}},
        {"bad input: each line says why", Mode::Geodetic, Mode::Geocentric, "",
         {"91 0 0", "40 abc", "1 2 3 4"}},
    };
    long failures = 0;
    for (const ExampleSet& set : sets) {
        Options options;
        options.from = set.from;
        options.to = set.to;
        options.dms = std::strcmp(set.options, "--dms") == 0;
        if (std::strcmp(set.options, "origin") == 0) {
            options.haveOrigin = true;
            options.originLatDeg = 40.7128;
            options.originLonDeg = -74.006;
        }
        Converter converter(options);
        std::printf("# %s\n", set.title);
        std::string out, why;
        for (const char* line : set.lines) {
            out.clear();
            const bool ok = converter.convert(line, std::strlen(line), out, why);
            std::printf("  %-36s ->  %s\n", line, ok ? out.c_str() : ("error: " + why).c_str());
            failures += ok ? 0 : 1;
        }
    }
    std::printf("# (the last %ld lines fail on purpose)\n", failures);
    return failures == 3 ? 0 : 1;
}

bool isValue(const char* arg)
{
    // Negative numbers are values, not options.
    return arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9') || arg[1] == '.';
}

int run(int argc, char** argv)
{
    Options options;
    std::string values;
    bool onlyValues = false, toGiven = false;
    unsigned threads = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (onlyValues || isValue(argv[i])) {
            if (!values.empty())
                values += ' ';
            values += arg;
            continue;
        }
        const auto next = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string value;
        if (arg == "--") {
            onlyValues = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (arg == "--version") {
            std::printf("qorconvert %s (qormatrix %s)\n", kVersion, kVersion);
            return 0;
        } else if (arg == "--example") {
            return runExample();
        } else if (arg == "-f" || arg == "--from" || arg == "-t" || arg == "--to") {
            Mode mode;
            if (!next(value) || !qorconvert::modeFromName(value, mode))
                return usageError("unknown mode '" + value + "'");
            (arg == "-f" || arg == "--from" ? options.from : options.to) = mode;
            toGiven = toGiven || arg == "-t" || arg == "--to";
        } else if (arg == "-d" || arg == "--datum") {
            if (!next(value) || !(options.datum = qorconvert::datumFromName(value)))
                return usageError("unknown datum '" + value + "' (known: " + qorconvert::datumNames() + ")");
        } else if (arg == "-p" || arg == "--precision") {
            double p;
            if (!next(value) || !qorconvert::parseNumber(value.data(), value.size(), p) || p < 0 || p > 17 ||
                p != double(int(p)))
                return usageError("precision must be a whole number from 0 to 17");
            options.precision = int(p);
        } else if (arg == "-r" || arg == "--radians") {
            options.radians = true;
        } else if (arg == "--dms") {
            options.dms = true;
        } else if (arg == "-z" || arg == "--zone") {
            double z;
            if (!next(value) || !qorconvert::parseNumber(value.data(), value.size(), z) || z < 1 || z > 60 ||
                z != double(long(z)))
                return usageError("zone must be a whole number from 1 to 60");
            options.zone = long(z);
        } else if (arg == "--date") {
            int y = 0, mo = 0, d = 0;
            char tail = 0;
            double decimal = 0;
            if (!next(value))
                return usageError("--date needs YYYY-MM-DD or a decimal year");
            if (std::sscanf(value.c_str(), "%d-%d-%d%c", &y, &mo, &d, &tail) == 3) {
                try {
                    options.year = Vorant::DtMagneticModel::decimalYear(y, mo, d);
                } catch (const std::exception&) {
                    return usageError("--date: no such day '" + value + "'");
                }
            } else if (qorconvert::parseNumber(value.data(), value.size(), decimal) && decimal > 1000 && decimal < 3000) {
                options.year = decimal;
            } else {
                return usageError("--date needs YYYY-MM-DD or a decimal year, got '" + value + "'");
            }
        } else if (arg == "--model") {
            if (!next(value))
                return usageError("--model needs a coefficient file");
            try {
                options.magneticModel =
                    std::make_shared<const Vorant::DtMagneticModel>(Vorant::DtMagneticModel::fromFile(value));
            } catch (const std::exception& e) {
                return usageError(std::string(e.what()).substr(std::strlen("DtException: ")));
            }
        } else if (arg == "--digits") {
            double d;
            if (!next(value) || !qorconvert::parseNumber(value.data(), value.size(), d) || d < 0 || d > 11 ||
                d != double(int(d)))
                return usageError("digits must be a whole number from 0 to 11");
            options.mgrsDigits = int(d);
        } else if (arg == "-j" || arg == "--threads") {
            double n;
            if (!next(value) || !qorconvert::parseNumber(value.data(), value.size(), n) || n < 0 || n > 256 ||
                n != double(int(n)))
                return usageError("threads must be a whole number from 0 to 256");
            threads = n == 0 ? std::max(1u, std::thread::hardware_concurrency()) : unsigned(n);
        } else if (arg == "--geoid") {
            if (!next(value))
                return usageError("--geoid needs a GTX grid file");
            try {
                options.geoid = std::make_shared<Vorant::DtGeoidGrid>(value);
            } catch (const std::exception& e) {
                return usageError(e.what());
            }
        } else if (arg == "--geoid-cubic") {
            options.geoidCubic = true;
        } else if (arg == "-o" || arg == "--origin") {
            qorconvert::Fields f;
            if (!next(value))
                return usageError("--origin needs LAT,LON[,H]");
            qorconvert::splitFields(value.data(), value.size(), f);
            std::string why;
            double h = 0;
            if (f.tooMany || f.count < 2 || f.count > 3 ||
                !qorconvert::parseAngle(f.begin[0], f.length[0], qorconvert::AngleKind::Latitude, false,
                                        options.originLatDeg, why) ||
                !qorconvert::parseAngle(f.begin[1], f.length[1], qorconvert::AngleKind::Longitude, false,
                                        options.originLonDeg, why) ||
                (f.count == 3 && !qorconvert::parseNumber(f.begin[2], f.length[2], h)))
                return usageError("--origin needs LAT,LON[,H] in degrees and metres" + (why.empty() ? "" : ": " + why));
            options.originHeight = h;
            options.haveOrigin = true;
        } else {
            return usageError("unknown option '" + arg + "'");
        }
    }
    // The geodesic modes read one kind of line and write another: each is both.
    for (const Mode geodesic : {Mode::Inverse, Mode::Direct}) {
        if (options.from == geodesic && !toGiven)
            options.to = geodesic;
        if ((options.from == geodesic) != (options.to == geodesic))
            return usageError(std::string(qorconvert::modeName(geodesic)) + " is both the input and the output mode");
    }
    if (options.to == Mode::Attitude)
        return usageError("attitude is an input mode only");
    if (options.from == Mode::Hpr || options.from == Mode::Declination)
        return usageError(std::string(qorconvert::modeName(options.from)) + " is an output mode only");
    if ((options.from == Mode::Attitude) != (options.to == Mode::Hpr))
        return usageError("attitude input goes with hpr output, and only with it");
    if ((options.from == Mode::Ned || options.to == Mode::Ned) && !options.haveOrigin)
        return usageError("north-east-down needs --origin LAT,LON[,H]");
    if (options.from == Mode::Magnetic)
        return usageError("magnetic is an output mode only");
    if (options.to == Mode::Magnetic && options.year == 0) {
        const std::time_t now = std::time(nullptr);
        std::tm today{};
        gmtime_r(&now, &today);
        options.year = Vorant::DtMagneticModel::decimalYear(today.tm_year + 1900, today.tm_mon + 1, today.tm_mday);
    }
    if ((options.from == Mode::Aer || options.to == Mode::Aer) && !options.haveOrigin)
        return usageError("azimuth, elevation and range need --origin LAT,LON[,H]");

    if (!values.empty()) {
        Converter converter(options);
        std::string out, why;
        if (!converter.convert(values.data(), values.size(), out, why)) {
            std::printf("error: %s\n", why.c_str());
            std::fflush(stdout);
            std::fprintf(stderr, "qorconvert: %s\n", why.c_str());
            return 1;
        }
        if (std::printf("%s\n", out.c_str()) < 0 || std::fflush(stdout) != 0) {
            std::fprintf(stderr, "qorconvert: cannot write the output: %s\n", std::strerror(errno));
            return 4;
        }
        return 0;
    }
    // Grid declination goes through the process-wide reference point: one thread.
    const qorconvert::StreamResult r =
        qorconvert::convertStream(options, stdin, stdout, options.to == Mode::Declination ? 1u : threads);
    if (r.readError != 0 || r.writeError != 0) {
        std::fprintf(stderr, "qorconvert: cannot %s: %s\n", r.readError != 0 ? "read the input" : "write the output",
                     std::strerror(r.readError != 0 ? r.readError : r.writeError));
        return 4;
    }
    return r.failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    // Whatever cannot be had (memory, say) ends the run with a message, never
    // with an abort.
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("qorconvert: out of memory\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qorconvert: %s\n", e.what());
    }
    return 4;
}
