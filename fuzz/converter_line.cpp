// qorconvert's line reader and conversions on arbitrary lines, in every mode.
#include "converter.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

struct Pair
{
    qorconvert::Mode from, to;
};

const Pair kPairs[] = {
    {qorconvert::Mode::Geodetic, qorconvert::Mode::Geocentric}, {qorconvert::Mode::Geodetic, qorconvert::Mode::Utm},
    {qorconvert::Mode::Geocentric, qorconvert::Mode::Geodetic}, {qorconvert::Mode::Utm, qorconvert::Mode::Geodetic},
    {qorconvert::Mode::Ned, qorconvert::Mode::Geodetic},        {qorconvert::Mode::Geodetic, qorconvert::Mode::Ned},
    {qorconvert::Mode::Attitude, qorconvert::Mode::Hpr},        {qorconvert::Mode::Geodetic, qorconvert::Mode::Declination},
};

qorconvert::Converter& converter(std::size_t i)
{
    static qorconvert::Converter* converters[sizeof kPairs / sizeof kPairs[0]] = {};
    if (!converters[i]) {
        qorconvert::Options o;
        o.from = kPairs[i].from;
        o.to = kPairs[i].to;
        o.haveOrigin = true;
        o.originLatDeg = 40;
        o.originLonDeg = -74;
        o.dms = i % 2 == 0;
        converters[i] = new qorconvert::Converter(o);
    }
    return *converters[i];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t pair = data[0] % (sizeof kPairs / sizeof kPairs[0]);
    const char* line = reinterpret_cast<const char*>(data + 1);
    std::string out, why;
    if (!qorconvert::Converter::passesThrough(line, size - 1))
        converter(pair).convert(line, size - 1, out, why);
    return 0;
}
