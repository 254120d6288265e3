// Dt3dExtent's stream reader on arbitrary text, and the tests on what it read.
#include <3dChord.h>
#include <3dExtent.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    Vorant::Dt3dExtent e;
    in >> e;
    Vorant::Dt3dExtent f;
    in >> f;
    const Vorant::Dt3dChord c(e.minPoint(), f.maxPoint());
    double tNear, tFar;
    (void)e.intersects(c);
    (void)e.intersectsLineOfChord(c, tNear, tFar);
    (void)e.contains(f);
    e.expandToInclude(f);
    e.setCenter(f.center());
    std::ostringstream out;
    out << e << c;
    return 0;
}
