// EDF files made byte by byte, each header field laid out as the format says, so that tests
// can damage one field or describe what no writer would write.
#pragma once

#include <string>
#include <vector>

namespace TestSupport {

inline std::string EdfField(const std::string& text, size_t width)
{
    std::string field = text.substr(0, width);
    return field + std::string(width - field.size(), ' ');
}

struct EdfSignal {
    std::string label = "Flow";
    std::string physMin = "-10";
    std::string physMax = "10";
    std::string digMin = "-1000";
    std::string digMax = "1000";
    int samples = 10;
};

// An EDF file of these signals and data records of zeros, each field as the format lays it out.
inline std::string EdfBytes(const std::vector<EdfSignal>& signals, int records, const std::string& duration = "1")
{
    const size_t n = signals.size();
    std::string bytes = EdfField("0", 8) + EdfField("patient", 80) + EdfField("recording", 80) + "01.02.26" + "10.20.30" +
                        EdfField(std::to_string(256 * (n + 1)), 8) + EdfField("", 44) +
                        EdfField(std::to_string(records), 8) + EdfField(duration, 8) + EdfField(std::to_string(n), 4);
    const auto each = [&](size_t width, auto get) {
        for (const EdfSignal& s : signals)
            bytes += EdfField(get(s), width);
    };
    each(16, [](const EdfSignal& s) { return s.label; });
    each(80, [](const EdfSignal&) { return std::string(); });
    each(8, [](const EdfSignal&) { return std::string("L/s"); });
    each(8, [](const EdfSignal& s) { return s.physMin; });
    each(8, [](const EdfSignal& s) { return s.physMax; });
    each(8, [](const EdfSignal& s) { return s.digMin; });
    each(8, [](const EdfSignal& s) { return s.digMax; });
    each(80, [](const EdfSignal&) { return std::string(); });
    each(8, [](const EdfSignal& s) { return std::to_string(s.samples); });
    each(32, [](const EdfSignal&) { return std::string(); });
    size_t perRecord = 0;
    for (const EdfSignal& s : signals)
        perRecord += 2 * size_t(s.samples);
    return bytes + std::string(perRecord * size_t(records), '\0');
}

}  // namespace TestSupport
