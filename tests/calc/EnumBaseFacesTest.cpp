// The event-enumerator base's faces and identity, and the buffered reader of the
// recursive-filter policies.
#include <gtest/gtest.h>

#include "FakeVariables.h"
#include "calc/CalcEnumClassBase2.h"
#include "calc/CalcEnumEventBase.h"
#include "calc/EnumBufferBase.h"
#include "support/FakeStreams.h"
#include "support/ScaleEnum.h"

namespace {

// An event enumerator that only has the base's answers.
class BareEventEnum : public CalcEnums::CalcEnumEventBase {
public:
    using CalcEnumEventBase::CalcEnumEventBase;

    HRESULT SetSettings(IAutoKVDString*, BlockUpdateType*) override { return KVD_E_NOTIMPL; }
    HRESULT GetSettings(IAutoKVDString**) override { return KVD_E_NOTIMPL; }
    HRESULT CloneSlave(IUnknown*, ICalcEnum**) override { return KVD_E_NOTIMPL; }
    HRESULT SetSources(int32_t, long, IUnknown**, IUnitName**, double, CalcEnumFlags) override { return KVD_E_NOTIMPL; }
    HRESULT SetInitialPosition(int32_t) override { return KVD_E_NOTIMPL; }
    HRESULT ReleaseSources() override { return KVD_E_NOTIMPL; }
    HRESULT IsUpdateNeeded(long, BlockUpdateType, BlockUpdateType*) override { return KVD_E_NOTIMPL; }
    HRESULT ClearCachedData(BlockUpdateType, KVDPosition, KVDPosition, int32_t, int32_t) override { return KVD_E_NOTIMPL; }
    HRESULT ReindexCachedData(uint32_t, int32_t, int32_t) override { return KVD_E_NOTIMPL; }
    HRESULT GetOutputInfo(double*, IUnitName**) override { return KVD_E_NOTIMPL; }
    HRESULT GetInstanceAttributes(CalcInstanceAttributes*) override { return KVD_E_NOTIMPL; }
    HRESULT GetTickToSample(TTickToSample*) override { return KVD_E_NOTIMPL; }
    HRESULT Next(uint32_t, int32_t, uint8_t*, uint32_t*, int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT Find(EventFindTypes, int32_t, int32_t, int32_t) override { return KVD_E_NOTIMPL; }
    HRESULT GetPosition(int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT SkipIndex(int32_t, int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT Clone(IEnumEventEx**) override { return KVD_E_NOTIMPL; }
    HRESULT GetSizeofEvents(int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT GetTypeofEvents(TCAFId*) override { return KVD_E_NOTIMPL; }
    HRESULT GetIndex(int32_t*) override { return KVD_E_NOTIMPL; }
};

// 3F0A64D2-91B7-4C85-8E3A-D26C40B7F915
constexpr _IID GUID_TestEventEnumObj = {0x3F0A64D2, 0x91B7, 0x4C85, {0x8E, 0x3A, 0xD2, 0x6C, 0x40, 0xB7, 0xF9, 0x15}};

CalcEnums::CalcEnumClassBase2& EventClassObject()
{
    static CalcEnums::CalcEnumClassBase2::Traits traits{L"TestEvents", L"", &GUID_TestEventEnumObj, 9};
    static CalcEnums::CalcEnumClass2<BareEventEnum> classObject(&traits);
    return classObject;
}

TEST(CalcEnumEventBase, FacesAndIdentity)
{
    ICalcEnum* calc = nullptr;
    ASSERT_EQ(EventClassObject().Create(nullptr, &calc), KVD_S_OK);
    RecordChannelTypes type = 0;
    EXPECT_EQ(calc->GetRecordChannelType(&type), KVD_S_OK);
    EXPECT_EQ(type, 0x801B0002u);
    TCAFId id = 0;
    EXPECT_EQ(calc->GetTypeId(&id), KVD_S_OK);
    EXPECT_EQ(id & 0xFFFF, 9u);
    EXPECT_GE(id, 0x10000u);
    ICalcEnumClass2* cls = nullptr;
    EXPECT_EQ(calc->GetClassObject(&cls), KVD_S_OK);
    EXPECT_EQ(cls, static_cast<ICalcEnumClass2*>(&EventClassObject()));

    IEnumEventEx* events = nullptr;
    ASSERT_EQ(calc->QueryInterface(IID_IEnumEventEx, reinterpret_cast<void**>(&events)), KVD_S_OK);
    void* back = nullptr;
    ASSERT_EQ(events->QueryInterface(IID_ICalcEnum, &back), KVD_S_OK);
    EXPECT_EQ(back, calc);
    void* none = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(calc->QueryInterface(IID_IEnumFloatEx, &none), KVD_E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(events->Release(), 2u);
    EXPECT_EQ(calc->Release(), 1u);
    EXPECT_EQ(calc->Release(), 0u);
}

TEST(CalcEnumEventBase, AggregatedInAnOuterObject)
{
    auto* outer = new CalcTest::FakeObserver;  // any object can be the outer one
    IUnknown* inner = nullptr;
    ASSERT_EQ(EventClassObject().CreateEx(outer, nullptr, &inner), KVD_S_OK);
    IEnumEventEx* events = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_IEnumEventEx, reinterpret_cast<void**>(&events)), KVD_S_OK);
    EXPECT_EQ(outer->RefCount(), 2u);
    // A face asked for the outer object's interfaces answers as the outer object does.
    void* unit = nullptr;
    EXPECT_EQ(events->QueryInterface(IID_IUnitName, &unit), KVD_E_NOINTERFACE);
    events->Release();
    EXPECT_EQ(inner->Release(), 0u);
    EXPECT_EQ(outer->Release(), 0u);
}

using Reader = EnumBufferBase<float, IEnumFloatEx, 32>;

std::vector<float> ReadN(Reader& reader, unsigned n)
{
    std::vector<float> out;
    while (out.size() < n && reader.HasMore())
        out.push_back(reader.Next());
    return out;
}

TEST(EnumBufferBase, SkipsInsideAndBeyondItsBuffer)
{
    CalcTest::FloatStream* source = CalcTest::FloatStream::Make(CalcTest::Ramp(200));
    Reader reader;
    reader.SetEnum(source);
    EXPECT_EQ(ReadN(reader, 5), (std::vector<float>{0, 1, 2, 3, 4}));
    EXPECT_EQ(reader.SourcePosition(), 32);
    EXPECT_EQ(reader.Buffered(), 27);
    int32_t skipped = 0;
    EXPECT_EQ(reader.SkipEx(-3, &skipped), KVD_S_OK);  // inside the buffer: the source stays
    EXPECT_EQ(skipped, -3);
    EXPECT_EQ(source->Log().skipCalls, 0u);
    EXPECT_EQ(ReadN(reader, 1)[0], 2.0f);
    EXPECT_EQ(reader.SkipEx(100, &skipped), KVD_S_OK);  // beyond it: the source skips
    EXPECT_EQ(skipped, 100);
    EXPECT_EQ(reader.NextPosition(), 103);
    EXPECT_EQ(ReadN(reader, 1)[0], 103.0f);
    EXPECT_EQ(reader.SkipEx(150, &skipped), CalcTest::kEndOfData);  // stopped by the end
    EXPECT_EQ(skipped, 96);
    EXPECT_FALSE(reader.HasMore());

    // A copy reads a clone of the source, with the same samples still to come.
    reader.SetInitialPosition(40);
    ReadN(reader, 2);
    Reader copy(reader);
    EXPECT_NE(copy.Source(), reader.Source());
    EXPECT_EQ(ReadN(copy, 40), ReadN(reader, 40));
    EXPECT_EQ(copy.NextPosition(), 82);
    source->Release();
}

TEST(EnumBufferBase, BulkReadsPastTheBufferKeepItsCount)
{
    CalcTest::FloatStream* source = CalcTest::FloatStream::Make(CalcTest::Ramp(200));
    Reader reader;
    reader.SetEnum(source);
    std::vector<float> bulk(100, -1.0f);
    // Only with nothing buffered: buffered samples come first.
    EXPECT_EQ(ReadN(reader, 5), (std::vector<float>{0, 1, 2, 3, 4}));
    EXPECT_EQ(reader.NextPastBuffer(100, bulk.data()), 0u);
    EXPECT_EQ(ReadN(reader, 27).back(), 31.0f);
    ASSERT_EQ(reader.NextPastBuffer(100, bulk.data()), 100u);
    EXPECT_EQ(bulk.front(), 32.0f);
    EXPECT_EQ(bulk.back(), 131.0f);
    EXPECT_EQ(reader.NextPosition(), 132);
    EXPECT_EQ(reader.SourcePosition(), 132);
    // A skip back goes to the source: the samples once buffered are gone.
    int32_t skipped = 0;
    EXPECT_EQ(reader.SkipEx(-2, &skipped), KVD_S_OK);
    EXPECT_EQ(ReadN(reader, 1)[0], 130.0f);
    // Short at the end of the data, with the source's answer kept.
    reader.SetInitialPosition(150);
    EXPECT_EQ(reader.NextPastBuffer(100, bulk.data()), 50u);
    EXPECT_EQ(bulk[49], 199.0f);
    EXPECT_EQ(reader.LastResult(), KVD_S_FALSE);
    EXPECT_FALSE(reader.HasMore());
    source->Release();
}

TEST(EnumBufferBase, PositionsACalculationEnumeratorThroughItself)
{
    CalcTest::FloatStream* raw = CalcTest::FloatStream::Make(CalcTest::Ramp(100));
    ICalcEnum* scale = nullptr;
    CalcTest::ScaleEnum::ClassObject().Create(nullptr, &scale);
    IUnknown* sources[] = {raw};
    scale->SetSources(0, 1, sources, nullptr, 1.0, 0);
    IEnumFloatEx* stream = nullptr;
    scale->QueryInterface(IID_IEnumFloatEx, reinterpret_cast<void**>(&stream));
    Reader reader;
    reader.SetEnum(stream);
    EXPECT_EQ(reader.SetInitialPosition(60), KVD_S_OK);
    EXPECT_TRUE(static_cast<CalcTest::ScaleEnum*>(scale)->IsPositioned());
    EXPECT_EQ(ReadN(reader, 1)[0], 60.0f);

    Reader empty;
    int32_t skipped = 5;
    EXPECT_EQ(empty.SkipEx(3, &skipped), KVD_E_BADSTATE);
    EXPECT_EQ(skipped, 0);
    EXPECT_EQ(empty.SetInitialPosition(3), KVD_E_BADSTATE);
    Reader emptyCopy(empty);
    EXPECT_EQ(emptyCopy.Source(), nullptr);
    reader.Release();
    stream->Release();
    scale->Release();
    raw->Release();
}

}  // namespace
