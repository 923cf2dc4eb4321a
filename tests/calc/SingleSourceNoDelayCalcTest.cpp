// The single-source base and the shared members of the enumerator bases and class objects,
// through a scaling enumerator built on them.
#include <gtest/gtest.h>

#include "support/FakeStreams.h"
#include "FakeVariables.h"
#include "RandomAccess.h"
#include "support/ScaleEnum.h"
#include "calc/CalcVariablesImpl.h"
#include "foundation/DynamicId.h"

namespace {

using CalcTest::FloatStream;
using CalcTest::ScaleEnum;

// A scaling enumerator over a float stream of the given samples.
struct Scaled {
    Scaled(std::vector<float> samples, const wchar_t* gain) : source(FloatStream::Make(std::move(samples)))
    {
        EXPECT_EQ(ScaleEnum::ClassObject().Create(nullptr, &calc), KVD_S_OK);
        calc->QueryInterface(IID_IEnumFloatEx, reinterpret_cast<void**>(&stream));
        BlockUpdateType update = 0;
        calc->SetSettings(KVD::String(gain).AsIAutoKVDString(), &update);
        IUnknown* sources[] = {source};
        IUnitName* units[] = {unit};
        EXPECT_EQ(calc->SetSources(0, 1, sources, units, 250.0, 0), KVD_S_OK);
    }
    ~Scaled()
    {
        stream->Release();
        EXPECT_EQ(calc->Release(), 0u);
        source->Release();
        unit->Release();
    }
    ScaleEnum* Impl() const { return static_cast<ScaleEnum*>(calc); }

    FloatStream* source;
    CalcTest::FakeUnit* unit = new CalcTest::FakeUnit;
    ICalcEnum* calc = nullptr;
    IEnumFloatEx* stream = nullptr;
};

TEST(PullProtocol, FullShortAndEmptyDeliveries)
{
    Scaled scaled({1, 2, 3, 4, 5}, L"2");
    float out[8] = {};
    uint32_t got = 99;
    // Full: the whole amount and 0.
    EXPECT_EQ(scaled.stream->Next(3, out, &got), KVD_S_OK);
    EXPECT_EQ(got, 3u);
    EXPECT_EQ(out[2], 6.0f);
    // Short: what is there, the position advanced by it, and the source's code.
    EXPECT_EQ(scaled.stream->Next(8, out, &got), CalcTest::kEndOfData);
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(out[0], 8.0f);
    EXPECT_EQ(out[1], 10.0f);
    int32_t position = 0;
    scaled.stream->GetPosition(&position);
    EXPECT_EQ(position, 5);
    // Empty at the end: nothing and the source's code; asking for nothing is a full delivery.
    EXPECT_EQ(scaled.stream->Next(4, out, &got), CalcTest::kEndOfData);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(scaled.stream->Next(0, out, &got), KVD_S_OK);
    EXPECT_EQ(got, 0u);
    // A skip past the end reports the distance moved and the source's code.
    int32_t skipped = 0;
    EXPECT_EQ(scaled.stream->SkipEx(-2, &skipped), KVD_S_OK);
    EXPECT_EQ(skipped, -2);
    EXPECT_EQ(scaled.stream->SkipEx(10, &skipped), CalcTest::kEndOfData);
    EXPECT_EQ(skipped, 2);
}

TEST(SingleSourceNoDelayCalc, RandomAccessMatchesTheStraightPull)
{
    std::vector<float> samples(60000);
    for (unsigned i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>((i * 7919u) % 1000u) - 500.0f;
    Scaled straight(samples, L"0.5");
    const std::vector<float> expected = CalcTest::PullAll(straight.stream);
    ASSERT_EQ(expected.size(), samples.size());
    EXPECT_EQ(expected[3], samples[3] * 0.5f);

    Scaled scaled(samples, L"0.5");
    CalcTest::RandomAccessCheck(expected, 17).Run(scaled.calc, scaled.stream, 0, 400);
}

TEST(SingleSourceNoDelayCalc, SourcesAndPositioning)
{
    Scaled scaled(CalcTest::Ramp(10), L"1");
    EXPECT_FALSE(scaled.Impl()->IsPositioned());
    // Positioning where the source already is skips nothing.
    EXPECT_EQ(scaled.calc->SetInitialPosition(0), KVD_S_OK);
    EXPECT_EQ(scaled.source->Log().skipCalls, 0u);
    EXPECT_TRUE(scaled.Impl()->IsPositioned());
    EXPECT_EQ(scaled.calc->SetInitialPosition(4), KVD_S_OK);
    EXPECT_EQ(scaled.source->Log().skipCalls, 1u);

    // No new source: the old one stays, the sampling value is new, the flag is cleared.
    EXPECT_EQ(scaled.calc->SetSources(0, 0, nullptr, nullptr, 500.0, 0), KVD_S_OK);
    EXPECT_FALSE(scaled.Impl()->IsPositioned());
    double sampling = 0;
    IUnitName* unit = reinterpret_cast<IUnitName*>(0x1);
    EXPECT_EQ(scaled.calc->GetOutputInfo(&sampling, &unit), KVD_S_OK);
    EXPECT_EQ(sampling, 500.0);
    EXPECT_EQ(unit, nullptr);  // the base has no output unit of its own
    float sample = 0;
    uint32_t got = 0;
    scaled.stream->Next(1, &sample, &got);
    EXPECT_EQ(sample, 4.0f);

    // A source that is itself a calculation enumerator is positioned through it.
    Scaled outer(CalcTest::Ramp(1), L"3");
    IUnknown* sources[] = {scaled.calc};
    ASSERT_EQ(outer.calc->SetSources(0, 1, sources, nullptr, 1.0, 0), KVD_S_OK);
    scaled.calc->SetSources(0, 0, nullptr, nullptr, 1.0, 0);
    EXPECT_EQ(outer.calc->SetInitialPosition(7), KVD_S_OK);
    EXPECT_TRUE(scaled.Impl()->IsPositioned());
    outer.stream->Next(1, &sample, &got);
    EXPECT_EQ(sample, 21.0f);

    // Without a source.
    EXPECT_EQ(scaled.calc->ReleaseSources(), KVD_S_OK);
    int32_t position = 0;
    EXPECT_EQ(scaled.stream->GetPosition(&position), KVD_E_BADSTATE);
    EXPECT_EQ(position, -1);
    EXPECT_EQ(scaled.calc->SetInitialPosition(0), KVD_E_BADSTATE);
    IUnknown* notAStream[] = {scaled.unit};
    EXPECT_EQ(scaled.calc->SetSources(0, 1, notAStream, nullptr, 1.0, 0), KVD_E_BADSTATE);
    outer.calc->ReleaseSources();
}

TEST(SingleSourceNoDelayCalc, FixedAnswers)
{
    Scaled scaled(CalcTest::Ramp(4), L"1.5");
    BlockUpdateType needed = 7;
    EXPECT_EQ(scaled.calc->IsUpdateNeeded(0, 0, &needed), KVD_S_OK);
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(scaled.calc->IsUpdateNeeded(0, 0x123, &needed), KVD_S_OK);
    EXPECT_EQ(needed, 0x40000000u);
    CalcInstanceAttributes attributes = 0;
    scaled.calc->GetInstanceAttributes(&attributes);
    EXPECT_EQ(attributes, 0x8000u);
    RecordChannelTypes type = 0;
    scaled.calc->GetRecordChannelType(&type);
    EXPECT_EQ(type, 0x801B0001u);
    TCAFId id = 0;
    EXPECT_EQ(scaled.calc->GetTypeId(&id), KVD_S_OK);
    EXPECT_EQ(id, (TCAFId(DynId::Ask(CalcTest::GUID_TestScaleEnumObj)) << 16) | 3);
    TTickToSample map{};
    EXPECT_EQ(scaled.calc->GetTickToSample(&map), KVD_S_OK);
    EXPECT_EQ(map.ticksPerSample, 4);  // the source's
}

TEST(SingleSourceNoDelayCalc, VariablesAnswerForTheEnumeratorButAreNotCopied)
{
    Scaled scaled(CalcTest::Ramp(4), L"1");
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(scaled.calc->QueryInterface(IID_IKVDCalcVariables, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);

    CalcVariable::CalcVariablesImpl* variables = CalcVariable::CalcVariablesImpl::Create();
    IKVDSetCalcVariables* setter = nullptr;
    ASSERT_EQ(scaled.calc->QueryInterface(IID_IKVDSetCalcVariables, reinterpret_cast<void**>(&setter)), KVD_S_OK);
    EXPECT_EQ(setter->SetCalcVariables(0, variables), KVD_S_OK);
    setter->Release();
    ASSERT_EQ(scaled.calc->QueryInterface(IID_IKVDCalcVariables, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<IKVDCalcVariables*>(variables));
    static_cast<IKVDCalcVariables*>(out)->Release();

    ICalcEnum* copy = nullptr;
    ASSERT_EQ(scaled.calc->CloneSlave(nullptr, &copy), KVD_S_OK);
    EXPECT_EQ(copy->QueryInterface(IID_IKVDCalcVariables, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(copy->Release(), 0u);
    EXPECT_EQ(variables->Release(), 1u);  // the enumerator still holds it
}

TEST(CalcEnumClassBase2, DescribesItsKind)
{
    CalcEnums::CalcEnumClassBase2& cls = ScaleEnum::ClassObject();
    EXPECT_EQ(cls.AddRef(), 1u);
    EXPECT_EQ(cls.Release(), 1u);
    const _IID copy = CATID_CALCENUMS;  // compared by value
    EXPECT_EQ(cls.IsInCategoryHR(&copy), KVD_S_OK);
    EXPECT_EQ(cls.IsInCategoryHR(nullptr), KVD_S_FALSE);
    EXPECT_EQ(cls.IsInCategoryHR(&IID_ICalcEnum), KVD_S_FALSE);
    TCAFId first = 0;
    cls.GetTypeId(&first);
    EXPECT_EQ(first & 0xFFFF, 3u);
    EXPECT_GE(first, 0x10000u);
    void* face = nullptr;
    ASSERT_EQ(cls.QueryInterface(IID_ICAFClassObject, &face), KVD_S_OK);
    EXPECT_EQ(face, static_cast<ICalcEnumClass2*>(&cls));
}

}  // namespace
