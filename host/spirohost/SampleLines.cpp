#include "spirohost/SampleLines.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace SpiroHost {
namespace {

void WriteLine(std::ostream& out, double seconds, float value)
{
    char line[64];
    if (std::isfinite(value))
        std::snprintf(line, sizeof line, "%.9g,%.7g\n", seconds, value);
    else
        std::snprintf(line, sizeof line, "%.9g,\n", seconds);
    out << line;
}

}  // namespace

void WriteSampleLines(std::ostream& out, const Host::FloatSamples& samples, uint32_t first, uint32_t last, double rate)
{
    std::vector<float> values(last - first + 1);
    samples.Read(first, uint32_t(values.size()), values.data());
    for (size_t i = 0; i < values.size(); ++i)
        WriteLine(out, (first + i) / rate, values[i]);
}

void WriteRecordEnd(std::ostream& out, uint32_t ticks, double rate)
{
    WriteLine(out, ticks / rate, std::numeric_limits<float>::quiet_NaN());
}

}  // namespace SpiroHost
