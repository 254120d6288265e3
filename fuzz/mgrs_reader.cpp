// Arbitrary text through the MGRS reader (and arbitrary doubles through the
// writer): nothing may crash; the only exception allowed is DtException, and
// a reference read back must be a finite position.
#include <mapDatum.h>
#include <mgrs.h>
#include <qvutil/dtException.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace Vorant;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const DtMgrs standard(DtWGS84), old(DtCONUSNAD27);
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const DtMgrs* m : {&standard, &old}) {
        try {
            const DtMgrsSquare s = m->decode(text, size % 2 == 0);
            if (!std::isfinite(s.lat) || !std::isfinite(s.lon) || s.digits < 0 || s.digits > 11)
                std::abort();
        } catch (const DtException&) {
        }
    }
    if (size >= 2 * sizeof(double) + 1) {
        double lat, lon;
        std::memcpy(&lat, data, sizeof lat);
        std::memcpy(&lon, data + sizeof lat, sizeof lon);
        char out[DtMgrs::kMaxLength + 1];
        try {
            const std::size_t n = standard.encode(lat, lon, data[2 * sizeof(double)] % 13, out);
            if (n > DtMgrs::kMaxLength || std::strlen(out) != n)
                std::abort();
        } catch (const DtException&) {
        }
    }
    return 0;
}
