// Dt3dPoint's stream reader on arbitrary text.
#include <3dPoint.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    Vorant::Dt3dPoint p(1, 2, 3);
    for (int i = 0; i < 4 && in; ++i)
        in >> p;
    std::ostringstream out;
    out << p;
    return 0;
}
