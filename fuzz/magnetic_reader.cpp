// Arbitrary text through the magnetic model's coefficient reader: nothing may
// crash; the only exception allowed is DtException. A model it accepts is
// evaluated once (degrees up to 60, to keep each run short).
#include <magneticModel.h>
#include <qvutil/dtException.h>
#include <qvutil/dtOutput.h>

#include <cstddef>
#include <cstdint>
#include <string>

using namespace Vorant;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = [] {
        DtNotifyLevel = 0;   // the out-of-range warnings are not what is tested here
        return true;
    }();
    (void)quiet;
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const DtMagneticModel model = DtMagneticModel::fromText(text, "fuzz.cof");
        if (model.degree() <= 60)
            (void)model.field(0.5, 0.5, 1000, model.epoch() + 1);
    } catch (const DtException&) {
    }
    return 0;
}
