// 16-bit recorded samples widened to floats.
#include <gtest/gtest.h>

#include "calc/ShortToFloatEnum.h"
#include "support/FakeStreams.h"

namespace {

using CalcTest::ShortStream;

struct Converter {
    explicit Converter(std::vector<int16_t> samples) : source(ShortStream::Make(std::move(samples)))
    {
        ConversionEnums::ShortToFloatEnum::Create(&calc);
        calc->QueryInterface(IID_IEnumFloatEx, reinterpret_cast<void**>(&stream));
        IUnknown* sources[] = {source};
        IUnitName* units[] = {unit};
        EXPECT_EQ(calc->SetSources(0, 1, sources, units, 100.0, 0), KVD_S_OK);
    }
    ~Converter()
    {
        stream->Release();
        calc->Release();
        source->Release();
        unit->Release();
    }
    ShortStream* source;
    CalcTest::FakeUnit* unit = new CalcTest::FakeUnit;
    ICalcEnum* calc = nullptr;
    IEnumFloatEx* stream = nullptr;
};

TEST(ShortToFloatEnum, WidensTheFullRange)
{
    Converter converter({-32768, -1, 0, 32767});
    float out[4] = {};
    uint32_t got = 0;
    EXPECT_EQ(converter.stream->Next(4, out, &got), KVD_S_OK);
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{-32768, -1, 0, 32767}));
}

TEST(ShortToFloatEnum, WidensDeliveriesOfAnyLengthInPlace)
{
    // Lengths around the blocks the widening takes together, and a long one.
    for (uint32_t n : {15u, 16u, 17u, 32u, 47u, 1000u}) {
        std::vector<int16_t> samples(n);
        for (uint32_t i = 0; i < n; ++i)
            samples[i] = static_cast<int16_t>(int32_t(i * 2731u % 65536u) - 32768);
        Converter converter(samples);
        std::vector<float> out(n + 1, 99.0f);
        uint32_t got = 0;
        EXPECT_EQ(converter.stream->Next(n, out.data(), &got), KVD_S_OK);
        ASSERT_EQ(got, n);
        EXPECT_EQ(std::vector<float>(out.begin(), out.begin() + n), std::vector<float>(samples.begin(), samples.end()))
            << n;
        EXPECT_EQ(out[n], 99.0f) << n;
    }
}

TEST(ShortToFloatEnum, ShortAndEmptyDeliveries)
{
    Converter converter({5, -6, 7});
    float out[8];
    std::fill(std::begin(out), std::end(out), 99.0f);
    uint32_t got = 0;
    EXPECT_EQ(converter.stream->Next(8, out, &got), CalcTest::kEndOfData);
    ASSERT_EQ(got, 3u);
    EXPECT_EQ(std::vector<float>(out, out + 3), (std::vector<float>{5, -6, 7}));
    // Nothing more: the buffer is left as it was.
    float untouched[2] = {42.0f, 43.0f};
    EXPECT_EQ(converter.stream->Next(2, untouched, &got), CalcTest::kEndOfData);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(untouched[0], 42.0f);
    EXPECT_EQ(untouched[1], 43.0f);
}

TEST(ShortToFloatEnum, PositionsClonesAndConfiguration)
{
    Converter converter({10, 11, 12, 13, 14, 15});
    EXPECT_EQ(converter.calc->SetInitialPosition(2), KVD_S_OK);
    IEnumExBase* copy = nullptr;
    ASSERT_EQ(converter.stream->Clone(&copy), KVD_S_OK);
    auto* clone = static_cast<IEnumFloatEx*>(copy);
    float a[2], b[2];
    uint32_t got = 0;
    converter.stream->Next(2, a, &got);
    clone->Next(2, b, &got);
    EXPECT_EQ(a[0], 12.0f);
    EXPECT_EQ(b[0], 12.0f);  // the clone reads its own copy of the source
    clone->Release();

    CalcInstanceAttributes attributes = 0;
    converter.calc->GetInstanceAttributes(&attributes);
    EXPECT_EQ(attributes, 0x04008000u);
    // Raw values keep their scaling: the output has the source's unit and sampling value.
    double sampling = 0;
    IUnitName* unit = nullptr;
    EXPECT_EQ(converter.calc->GetOutputInfo(&sampling, &unit), KVD_S_OK);
    EXPECT_EQ(sampling, 100.0);
    EXPECT_EQ(unit, converter.unit);
    unit->Release();
    BlockUpdateType update = 0;
    EXPECT_EQ(converter.calc->SetSettings(nullptr, &update), KVD_S_OK);
    EXPECT_EQ(update, 0x40000000u);

    // A float stream is no 16-bit source.
    ICalcEnum* other = nullptr;
    ConversionEnums::ShortToFloatEnum::Create(&other);
    IUnknown* wrong[] = {converter.stream};
    EXPECT_EQ(other->SetSources(0, 1, wrong, nullptr, 1.0, 0), KVD_E_BADSTATE);
    IEnumFloatEx* face = nullptr;
    other->QueryInterface(IID_IEnumFloatEx, reinterpret_cast<void**>(&face));
    int32_t position = 0;
    EXPECT_EQ(face->GetPosition(&position), KVD_E_BADSTATE);
    EXPECT_EQ(position, -1);
    EXPECT_EQ(other->SetInitialPosition(0), KVD_E_BADSTATE);
    face->Release();
    other->Release();
}

}  // namespace
