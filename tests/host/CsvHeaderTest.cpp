// CSV headers as other programs write them: a time column in seconds, milliseconds, minutes or
// hours, named in brackets or parentheses; the byte-order mark of "CSV UTF-8"; header fields in
// double quotes (RFC 4180). What cannot be read is refused saying what is wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "host/data/Recording.h"
#include "support/TempFolder.h"

namespace {

using namespace std::string_literals;

const TestSupport::TempFolder gFolder;

std::string Write(const std::string& name, const std::string& text)
{
    return gFolder.Write(name, text).string();
}

// The message of the RecordingError that loading the file throws; empty when it loads.
std::string LoadError(const std::string& path)
{
    try {
        Host::LoadRecording(path);
    } catch (const Host::RecordingError& e) {
        return e.what();
    }
    return {};
}

// Breaths of 4 s sampled at 100 Hz for 8 s, the times written by time(tick).
std::string Rows(std::string (*time)(int tick))
{
    std::string rows;
    for (int tick = 0; tick < 800; ++tick)
        rows += time(tick) + "," + std::to_string(0.25 * std::sin(M_PI * tick / 200.0)) + "\n";
    return rows;
}

std::string Format(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.12g", value);
    return text;
}

TEST(CsvHeader, TheTimeColumnsUnitGivesTheRate)
{
    struct Case {
        const char* header;
        std::string (*time)(int tick);
    } cases[] = {
        {"time, Raw [V]", [](int t) { return Format(t / 100.0); }},
        {"Time [s], Raw [V]", [](int t) { return Format(t / 100.0); }},
        {"time (sec), Raw [V]", [](int t) { return Format(t / 100.0); }},
        {"time [], Raw [V]", [](int t) { return Format(t / 100.0); }},
        {"time [ms], Raw [V]", [](int t) { return std::to_string(10 * t); }},
        {"Time (ms), Raw [V]", [](int t) { return std::to_string(10 * t); }},
        {"time [min], Raw [V]", [](int t) { return Format(t / 6000.0); }},
        {"TIME (h), Raw [V]", [](int t) { return Format(t / 360000.0); }},
    };
    int n = 0;
    for (const Case& c : cases) {
        const Host::Recording r = Host::LoadRecording(Write("unit" + std::to_string(n++) + ".csv",
                                                            std::string(c.header) + "\n" + Rows(c.time)));
        EXPECT_NEAR(r.TickRate(), 100.0, 1e-6) << c.header;
        ASSERT_EQ(r.RecordCount(), 1u) << c.header;
        EXPECT_EQ(r.Record(0).ticks, 800u) << c.header;
        EXPECT_EQ(r.Channel(0).title, "Raw") << c.header;
    }
    // Whole milliseconds give the rate exactly.
    EXPECT_EQ(Host::LoadRecording(Write("ms.csv", "time [ms], Raw [V]\n0, 1\n4, 2\n8, 3\n")).TickRate(), 250.0);
}

TEST(CsvHeader, AnUnknownTimeUnitIsRefusedByName)
{
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"time [us], Raw [V]\n0, 1\n10, 2\n", ":1: column 1: the time unit \"us\" is not one of s, ms, min or h"},
        {"Time (days), Raw [V]\n0, 1\n1, 2\n", ":1: column 1: the time unit \"days\" is not one of s, ms, min or h"},
        {"Time (ms, Raw [V]\n0, 1\n1, 2\n", ":1: column 1: \"Time (ms\": the unit has no closing ')'"},
        // A step that changes is told in the column's unit.
        {"time [ms], Raw [V]\n0, 1\n10, 2\n30, 3\n",
         ":4: the time step changes (uniform steps of 10.000000 ms expected)"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = Write("badunit" + std::to_string(n++) + ".csv", c.text);
        EXPECT_EQ(LoadError(path), path + c.expected);
    }
}

TEST(CsvHeader, AByteOrderMarkAndQuotedFieldsAreRead)
{
    const std::string mark = "\xEF\xBB\xBF";
    struct Case {
        std::string header;
        std::vector<std::string> titles;
    } cases[] = {
        {mark + "time, Raw [V], Flow [L/s]", {"Raw", "Flow"}},
        {"\"time\",\"Raw [V]\",\"Flow [L/s]\"", {"Raw", "Flow"}},
        {mark + "\"Time (ms)\" , \"Raw, left [V]\",\"Head \"\"B\"\" [L/s]\"\r", {"Raw, left", "Head \"B\""}},
    };
    int n = 0;
    for (const Case& c : cases) {
        const Host::Recording r =
            Host::LoadRecording(Write("quoted" + std::to_string(n++) + ".csv", c.header + "\n0, 1, 2\n1, 2, 3\n"));
        ASSERT_EQ(r.ChannelCount(), 2u) << c.header;
        EXPECT_EQ(r.Channel(0).title, c.titles[0]) << c.header;
        EXPECT_EQ(r.Channel(0).unit, "V") << c.header;
        EXPECT_EQ(r.Channel(1).title, c.titles[1]) << c.header;
        EXPECT_EQ(r.Channel(1).unit, "L/s") << c.header;
        EXPECT_EQ(r.Record(0).ticks, 2u) << c.header;
    }
    // The last header was in milliseconds.
    EXPECT_DOUBLE_EQ(Host::LoadRecording(Write("quoted2.csv", cases[2].header + "\n0, 1, 2\n1, 2, 3\n")).TickRate(),
                     1000.0);
}

TEST(CsvHeader, HeadersThatCannotBeReadSayWhatIsWrong)
{
    struct Case {
        std::string text;
        const char* expected;
    } cases[] = {
        {"\"time\",\"Raw [V]\n0, 1\n1, 2\n", ":1: column 2: the quoted field has no closing '\"'"},
        {"\"time\",\"Raw\" [V]\n0, 1\n1, 2\n", ":1: column 2: only spaces may follow the closing quote, not \"[V]\""},
        {"\xFF\xFEt\0i\0m\0e\0"s, ":1: the file is UTF-16 text: save it as UTF-8 (or ASCII) CSV"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = Write("badheader" + std::to_string(n++) + ".csv", c.text);
        EXPECT_EQ(LoadError(path), path + c.expected);
    }
}

}  // namespace
