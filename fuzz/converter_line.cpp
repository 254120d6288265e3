// qorconvert's stream reader and conversions on arbitrary input, in every mode:
// the first byte picks the mode, the rest is read as a stream of lines.
#include "converter.h"
#include "stream.h"

#include <cstdio>

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
    std::FILE* in = fmemopen(const_cast<std::uint8_t*>(data + 1), size - 1, "r");
    if (!in)
        return 0;
    qorconvert::LineReader reader(in);
    qorconvert::Block block;
    while (reader.next(block))
        qorconvert::convertBlock(converter(pair), block);
    std::fclose(in);
    return 0;
}
