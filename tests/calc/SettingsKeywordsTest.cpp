// The keywords of the settings texts and of the channel function's flag text.
#include <gtest/gtest.h>

#include "calc/ChanNameRep.h"
#include "calc/SettingsKeywords.h"

namespace CalcTest {
namespace {

std::string Text(const KVD::String& text)
{
    return KVD::ToU8String(text);
}

TEST(SettingsKeywords, FilterTypes)
{
    EXPECT_STREQ(RateEnums::sTypeToString(RateEnums::kLowpass), L"Lowpass");
    EXPECT_STREQ(RateEnums::sTypeToString(RateEnums::kNarrowBandpass), L"NarrowBandpass");
    EXPECT_STREQ(RateEnums::sTypeToString(RateEnums::kDecimator), L"Decimator");
    EXPECT_STREQ(RateEnums::sTypeToString(static_cast<RateEnums::FilterType>(7)), L"Lowpass");
    EXPECT_STREQ(RateEnums::sTypeToString(static_cast<RateEnums::FilterType>(-1)), L"Lowpass");
}

TEST(SettingsKeywords, IntegralTypes)
{
    EXPECT_EQ(Text(IntegralSettings::TypeToString(IntegralSettings::kNegative)), "neg");
    EXPECT_EQ(Text(IntegralSettings::TypeToString(static_cast<IntegralSettings::IntegralType>(4))), "sta");
    using Legacy = CalcEnumLegacyIntegral::LegacyIntegralSettings;
    EXPECT_EQ(Text(Legacy::TypeToString(Legacy::kAbsolute)), "abs");
    EXPECT_EQ(Text(Legacy::TypeToString(static_cast<Legacy::IntegralType>(9))), "sta");
}

// Only the first three letters count, in any case.
TEST(SettingsKeywords, ResetModes)
{
    const struct {
        const wchar_t* text;
        IntegralSettings::ResetMode mode;
    } kCases[] = {{L"Cycle", IntegralSettings::kResetCycle}, {L"timed", IntegralSettings::kResetTimed},
                  {L"TIMER", IntegralSettings::kResetTimed}, {L"decay", IntegralSettings::kResetDecay},
                  {L"events", IntegralSettings::kResetEvent}, {L"off", IntegralSettings::kResetOff},
                  {L"", IntegralSettings::kResetOff},        {L"ti", IntegralSettings::kResetOff},
                  {L"none", IntegralSettings::kResetOff},    {L" tim", IntegralSettings::kResetOff}};
    for (const auto& c : kCases)
        EXPECT_EQ(IntegralSettings::StringToReset(KVD::String(c.text)), c.mode) << Text(KVD::String(c.text));
}

TEST(ChannelFlags, KeywordsSetAndClearTheirBits)
{
    const CalcParser::ChanNameRep channel(KVD::String(L"ch"), nullptr, {0, 0}, 32);
    const struct {
        const wchar_t* flags;
        BlockDataType word;
    } kCases[] = {
        {L"", 0x40001000},
        {L"nothing known", 0x40001000},
        {L"raw", 0x00001001},
        {L"RAW", 0x00001001},
        {L"recorded", 0x00001001},
        {L"calc", 0x00001002},
        {L"raw calc", 0x00001003},
        {L"digital", 0x00001003},
        {L"adc", 0x40000000},
        {L"tovrin units", 0x40001000},
        {L"base", 0x40005000},
        {L"nounits", 0x40005000},
        {L"units prefix tickrate", 0xC0003000},
        {L"chan", 0x00021000},
        {L"raw  prefix", 0x00003001},  // the empty piece between the blanks matches nothing
        {L"raw\tcalc", 0x00001003},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(channel.FlagsToDataType(c.flags), c.word) << Text(KVD::String(c.flags));
    EXPECT_EQ(channel.FlagsToDataType(nullptr), 0x40001000u);
}

}  // namespace
}  // namespace CalcTest
