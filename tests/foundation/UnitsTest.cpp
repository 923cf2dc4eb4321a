// Unit prefixes and their scale factors, the unit record with its stored form byte for byte,
// and the unit-name object that carries it across interfaces.
#include <gtest/gtest.h>

#include "FrameworkIds.h"
#include "IUnitsConversion.h"
#include "ResultCodes.h"
#include "foundation/BinIStream.h"
#include "foundation/BinOStream.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/units/UnitEntry.h"
#include "foundation/units/UnitPrefixScaling.h"
#include "support/ByteBuffers.h"
#include "support/VtableSlot.h"

namespace {

using KVD::String;
using KVD::UnitEntry;
using KVD::UnitInfo;
using TestSupport::BufferOf;
using TestSupport::Bytes;
using TestSupport::BytesOf;

// Refuses every byte, as a full disk would.
class RefusingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
};

// Bytes of a version-21 record as the writer leaves them.
Bytes Written(const UnitInfo& unit)
{
    std::stringbuf buffer;
    KVD::BinOStream out(&buffer, 21);
    EXPECT_EQ(unit.writeHr(&out), KVD_S_OK);
    return BytesOf(buffer);
}

TEST(UnitPrefixScaling, EveryPrefixHasItsFactorAndLetter)
{
    const struct {
        double fromPrefix;  // base units to the prefix's, by index
        double byLetter;    // the same, found through the prefix's letter
        const wchar_t* text;
    } prefixes[] = {{1.0, 0.0, L"?"},    {1.0, 1.0, L""},       {1e18, 1e18, L"a"},   {1e15, 1e15, L"f"},
                    {1e12, 1e12, L"p"},  {1e9, 1e9, L"n"},      {1e6, 1e6, L"\u00B5"}, {1e3, 1e3, L"m"},
                    {1.0, 1.0, L""},     {1e-3, 1e-3, L"k"},    {1e-6, 1e-6, L"M"},   {1e-9, 1e-9, L"G"},
                    {1e-12, 1e-12, L"T"}, {1e-15, 1e-15, L"P"}, {1e-18, 1e-18, L"E"}};
    static_assert(std::size(prefixes) == kUnitPrefixCount);
    for (uint32_t p = 0; p < kUnitPrefixCount; ++p) {
        EXPECT_EQ(UnitPrefixScaling::sScalingFromPrefix(UnitPrefix(p)), prefixes[p].fromPrefix) << p;
        EXPECT_EQ(UnitPrefixScaling::sScaleUnitsToPrefixedUnits(UnitPrefix(p)), prefixes[p].byLetter) << p;
        const String text = UnitPrefixScaling::sStringFromPrefix(UnitPrefix(p));
        EXPECT_EQ(text, prefixes[p].text) << p;
        EXPECT_EQ(text.GetCount(), text.empty() ? 1u : 2u);
    }
    // Anything past the table leaves values as they are, scales by nothing, and reads "?".
    EXPECT_EQ(UnitPrefixScaling::sScalingFromPrefix(UnitPrefix(15)), 1.0);
    EXPECT_EQ(UnitPrefixScaling::sScalingFromPrefix(UnitPrefix(0xFFFFFFFF)), 1.0);
    EXPECT_EQ(UnitPrefixScaling::sScaleUnitsToPrefixedUnits(UnitPrefix(200)), 0.0);
    EXPECT_EQ(UnitPrefixScaling::sStringFromPrefix(UnitPrefix(15)), L"?");
}

TEST(UnitPrefixScaling, LettersGiveTheirFactorAndNothingElseDoes)
{
    const struct {
        wchar_t letter;
        double factor;
    } known[] = {{L'a', 1e18}, {L'f', 1e15}, {L'p', 1e12}, {L'n', 1e9}, {L'u', 1e6}, {L'\u00B5', 1e6},
                 {L'm', 1e3},  {L'k', 1e-3}, {L'M', 1e-6}, {L'G', 1e-9}, {L'T', 1e-12}, {L'P', 1e-15},
                 {L'E', 1e-18}, {L'\0', 1.0}, {L'\u00A0', 1.0}};
    for (const auto& k : known)
        EXPECT_EQ(UnitPrefixScaling::sScaleUnitsToPrefixedUnits(k.letter), k.factor) << int(k.letter);
    // Upper-case K, other letters, symbols, and letters beyond ASCII whose code modulo 32 would
    // land on a prefix (a-acute on a, the Cyrillic em on m).
    for (wchar_t other : {L'K', L'x', L'V', L'%', L'?', L'1', L' ', L'\u00E1', L'\u00C1', L'\u043C', L'\u03BC'})
        EXPECT_EQ(UnitPrefixScaling::sScaleUnitsToPrefixedUnits(other), 0.0) << int(other);
}

TEST(UnitInfo, NamesWithAndWithoutThePrefix)
{
    EXPECT_EQ(UnitInfo(0, kUnitPrefixMilli, L"V").GetUnitName(true), L"mV");
    EXPECT_EQ(UnitInfo(0, kUnitPrefixMilli, L"V").GetUnitName(false), L"V");
    EXPECT_EQ(UnitInfo(0, kUnitPrefixNone, L"V").GetUnitName(true), L"V");
    EXPECT_EQ(UnitInfo(0, kUnitPrefixMicro, L"s").GetUnitName(true), L"\u00B5s");
    EXPECT_EQ(UnitInfo(0, kUnitPrefixUnknown, L"V").GetUnitName(true), L"?V");
    EXPECT_EQ(UnitInfo::kDefaultUnit.GetUnitName(true), L"V");
    EXPECT_EQ(UnitInfo::kEmptyUnit.GetUnitName(true), L"");
    EXPECT_EQ(UnitInfo().GetUnitName(true), L"");
}

TEST(UnitInfo, IsStoredAsPrefixNameFlagsAndReadBack)
{
    EXPECT_EQ(Written(UnitInfo::kDefaultUnit), (Bytes{0xAA, 0xAA, 0x15, 0x55,
                                                      0x08, 0x00, 0x00, 0x00,
                                                      0x01, 0x00, 0x00, 0x80, 0x02, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF,
                                                      0x56, 0x00, 0x00, 0x00,
                                                      0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Written(UnitInfo(1, kUnitPrefixMicro, L"L/s")),
              (Bytes{0xAA, 0xAA, 0x15, 0x55,
                     0x06, 0x00, 0x00, 0x00,
                     0x01, 0x00, 0x00, 0x80, 0x04, 0x00, 0x00, 0x00, 0xFC, 0xFF, 0xFF, 0xFF,
                     0x4C, 0x00, 0x2F, 0x00, 0x73, 0x00, 0x00, 0x00,
                     0x01, 0x00, 0x00, 0x00}));

    auto buffer = BufferOf(Written(UnitInfo(1, kUnitPrefixKilo, L"\u2126")));
    KVD::BinIStream in(&buffer);
    UnitInfo unit;
    EXPECT_EQ(unit.readHr(&in), KVD_S_OK);
    EXPECT_EQ(unit.GetUnitName(true), L"k\u2126");
    EXPECT_EQ(unit.mFlags, 1u);
}

TEST(UnitInfo, AFailedReadLeavesTheRecordAsItWas)
{
    const Bytes whole = Written(UnitInfo(1, kUnitPrefixKilo, L"Pa"));
    // Cut inside the flags, inside the name, and inside the prefix.
    for (std::size_t cut : {whole.size() - 1, std::size_t(22), std::size_t(6)}) {
        auto buffer = BufferOf(Bytes(whole.begin(), whole.begin() + cut));
        KVD::BinIStream in(&buffer);
        UnitInfo unit(0, kUnitPrefixMilli, L"V");
        // A short name is a length failure of the stream (0xF8008003), the rest a bad stream.
        EXPECT_NE(unit.readHr(&in), KVD_S_OK) << "cut at " << cut;
        EXPECT_EQ(unit.GetUnitName(true), L"mV");
        EXPECT_EQ(unit.mFlags, 0u);
    }
}

TEST(UnitInfo, ACorruptNameLengthStopsTheRead)
{
    Bytes bytes = Written(UnitInfo(1, kUnitPrefixKilo, L"Pa"));
    bytes[16] = 0x00;  // the check word no longer negates the length
    auto buffer = BufferOf(bytes);
    KVD::BinIStream in(&buffer);
    UnitInfo unit(0, kUnitPrefixMilli, L"V");
    EXPECT_EQ(unit.readHr(&in), KVD_E_ARRAYSIZE);
    EXPECT_EQ(unit.GetUnitName(true), L"mV");

    auto again = BufferOf(bytes);
    KVD::BinIStream entryIn(&again);
    UnitEntry* entry = new UnitEntry(UnitInfo::kDefaultUnit);
    entry->AddRef();
    EXPECT_EQ(entry->Read(&entryIn), KVD_E_BADSTATE);
    EXPECT_EQ(entry->GetUnitName(true), L"V");
    entry->Release();
}

TEST(UnitInfo, WritingToAFailingStreamReportsIt)
{
    RefusingBuffer refusing;
    KVD::BinOStream out(&refusing, 21);
    EXPECT_EQ(UnitInfo::kDefaultUnit.writeHr(&out), KVD_E_BADSTATE);
    UnitEntry* entry = new UnitEntry();
    entry->AddRef();
    EXPECT_EQ(entry->Write(&out), KVD_E_BADSTATE);
    EXPECT_EQ(entry->Write(nullptr), KVD_E_BADSTATE);
    EXPECT_EQ(entry->Read(nullptr), KVD_E_BADSTATE);
    entry->Release();
}

class UnitEntryTest : public ::testing::Test {
protected:
    UnitEntryTest() : mEntry(new UnitEntry())
    {
        EXPECT_EQ(mEntry->AddRef(), 1u);  // it starts without references
    }
    ~UnitEntryTest() override { mEntry->Release(); }

    static String Name(IUnitName* unit, bool withPrefix)
    {
        String name;
        EXPECT_EQ(unit->GetName(withPrefix ? 0xFFFF : 0, String::Setter(name)), KVD_S_OK);
        return name;
    }

    UnitEntry* mEntry;
};

TEST_F(UnitEntryTest, NullOutPointersAreRefused)
{
    EXPECT_EQ(mEntry->GetPrefix(nullptr), KVD_E_NULLOUT);
    EXPECT_EQ(mEntry->GetName(0, nullptr), KVD_E_NULLOUT);
    EXPECT_EQ(mEntry->GetFlags(nullptr), KVD_E_NULLOUT);
    EXPECT_EQ(mEntry->SetName(nullptr), KVD_E_NULLOUT);
    EXPECT_EQ(mEntry->Clone(nullptr), KVD_E_NULLOUT);
    EXPECT_EQ(mEntry->GetObjId(nullptr), KVD_E_NULLOUT);
}

TEST_F(UnitEntryTest, KeepsItsOwnNameAndOneFlagSwitch)
{
    EXPECT_EQ(Name(mEntry, true), L"");
    EXPECT_EQ(mEntry->SetPrefix(kUnitPrefixMilli), KVD_S_OK);
    String given(L"L");
    EXPECT_EQ(mEntry->SetName(given.AsIAutoKVDString()), KVD_S_OK);
    given += L"/s";  // the entry keeps its own copy
    EXPECT_EQ(Name(mEntry, true), L"mL");
    EXPECT_EQ(Name(mEntry, false), L"L");
    for (uint32_t flags : {5u, 0x80000000u, 0u}) {
        uint32_t stored = 99;
        EXPECT_EQ(mEntry->SetFlags(flags), KVD_S_OK);
        EXPECT_EQ(mEntry->GetFlags(&stored), KVD_S_OK);
        EXPECT_EQ(stored, flags != 0 ? 1u : 0u) << flags;
    }
}

TEST_F(UnitEntryTest, ACloneIsAnIndependentEntryWithOneReference)
{
    mEntry->SetPrefix(kUnitPrefixKilo);
    mEntry->SetName(String(L"Pa").AsIAutoKVDString());
    mEntry->SetFlags(1);
    IUnitName* clone = nullptr;
    ASSERT_EQ(mEntry->Clone(&clone), KVD_S_OK);
    ASSERT_NE(clone, static_cast<IUnitName*>(mEntry));
    mEntry->SetPrefix(kUnitPrefixMega);
    uint32_t flags = 0;
    EXPECT_EQ(Name(clone, true), L"kPa");
    EXPECT_EQ(clone->GetFlags(&flags), KVD_S_OK);
    EXPECT_EQ(flags, 1u);
    EXPECT_EQ(clone->Release(), 0u);
}

TEST_F(UnitEntryTest, PersistsThroughItsObjectInterface)
{
    IPersistObject* persist = nullptr;
    ASSERT_EQ(mEntry->QueryInterface(IID_IPersistObject, reinterpret_cast<void**>(&persist)), KVD_S_OK);
    mEntry->SetPrefix(kUnitPrefixMicro);
    mEntry->SetName(String(L"L/s").AsIAutoKVDString());
    mEntry->SetFlags(1);
    std::stringbuf buffer;
    KVD::BinOStream out(&buffer, 21);
    EXPECT_EQ(persist->Write(&out), KVD_S_OK);
    EXPECT_EQ(BytesOf(buffer), Written(UnitInfo(1, kUnitPrefixMicro, L"L/s")));

    UnitEntry* copy = new UnitEntry();
    copy->AddRef();
    auto in = BufferOf(BytesOf(buffer));
    KVD::BinIStream reader(&in);
    EXPECT_EQ(copy->Read(&reader), KVD_S_OK);
    EXPECT_EQ(copy->GetUnitName(true), L"\u00B5L/s");
    EXPECT_EQ(copy->mFlags, 1u);
    copy->Release();

    TCAFId id = 0;
    EXPECT_EQ(persist->GetObjId(&id), KVD_S_OK);
    EXPECT_EQ(id, (TCAFId(CachedDynamicId<&GUID_OrrelObjects>::GetDynId()) << 16) | 19u);
    EXPECT_NE(id >> 16, 0u);
    persist->Release();
}

// The host and stored records reach these operations by slot.
TEST(UnitInterfaces, SlotsAreFixed)
{
    TestSupport::ExpectSlots({TEST_SLOT(IPersistObject::Read, 3), TEST_SLOT(IPersistObject::Write, 4),
                              TEST_SLOT(IPersistObject::GetObjId, 5),
                              TEST_SLOT(IUnitsConversionClass::CreateUnitName, 3)});
}

}  // namespace
