// The GTX geoid grid reader on arbitrary files, then undulations at awkward
// points, bilinear and bicubic, from the whole grid and from an area held in
// memory (the rest read from the file on demand).
#include <geoidGrid.h>
#include <qvutil/dtException.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Each input becomes the content of one in-memory file, opened by name.
    static const int fd = ::memfd_create("geoid.gtx", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        return 0;
    const double points[][2] = {{0, 0},      {90, 0},      {-90, 180},   {45.3, -179.99}, {-12.5, 359.9},
                                {33, -7.77}, {89.99, 1e9}, {-89.9, -1e-300}, {1e-9, 180.0000001}};
    for (int area = 0; area < 2; ++area) {
        try {
            const Vorant::DtGeoidGrid grid = area ? Vorant::DtGeoidGrid(path, -10, 170, 40, -175)
                                                  : Vorant::DtGeoidGrid(path);
            for (const auto& p : points)
                for (bool cubic : {false, true}) {
                    try {
                        (void)grid.undulation(p[0], p[1], cubic);
                        (void)grid.undulation(grid.south() + p[0] * grid.latSpacing(),
                                              grid.west() + p[1] * grid.lonSpacing(), cubic);
                    } catch (const Vorant::DtException&) {
                    }
                }
        } catch (const Vorant::DtException&) {
        }
    }
    return 0;
}
