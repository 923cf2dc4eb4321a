// One source read by several readers through the splitter.
#include <gtest/gtest.h>

#include "calc/SplitterEnum.h"
#include "support/FakeStreams.h"

namespace {

using CalcEnums::SplitterEnum;
using CalcTest::FloatStream;

struct Split {
    explicit Split(unsigned samples) : source(FloatStream::Make(CalcTest::Ramp(samples)))
    {
        SplitterEnum::sCreate(&calc);
        splitter = static_cast<SplitterEnum*>(calc);
        IUnknown* sources[] = {source};
        EXPECT_EQ(calc->SetSources(0, 1, sources, nullptr, 250.0, 0), KVD_S_OK);
    }
    ~Split()
    {
        calc->Release();
        source->Release();
    }
    IEnumFloatEx* Reader()
    {
        IEnumExBase* out = nullptr;
        EXPECT_EQ(splitter->Clone(&out), KVD_S_OK);
        return static_cast<IEnumFloatEx*>(out);
    }

    FloatStream* source;
    ICalcEnum* calc = nullptr;
    SplitterEnum* splitter = nullptr;
};

std::vector<float> Pull(IEnumFloatEx* reader, uint32_t count, HRESULT* hr = nullptr)
{
    std::vector<float> out(count);
    uint32_t got = 0;
    const HRESULT result = reader->Next(count, out.data(), &got);
    if (hr != nullptr)
        *hr = result;
    out.resize(got);
    return out;
}

TEST(SplitterEnum, RingGrowsToTheRequestAndReadersShareIt)
{
    Split split(1000);
    EXPECT_EQ(split.splitter->Capacity(), 32u);
    IEnumFloatEx* first = split.Reader();
    IEnumFloatEx* second = split.Reader();

    EXPECT_EQ(Pull(first, 100), std::vector<float>(CalcTest::Ramp(100)));
    EXPECT_EQ(split.splitter->Capacity(), 100u);  // max(2 x 32, 100)
    const uint64_t read = split.source->Log().samplesRead;
    // The second reader gets the same samples from the ring, without reading the source.
    EXPECT_EQ(Pull(second, 50), std::vector<float>(CalcTest::Ramp(50)));
    EXPECT_EQ(split.source->Log().samplesRead, read);
    first->Release();
    second->Release();
}

TEST(SplitterEnum, InterleavedReadersSeeTheStraightPull)
{
    const std::vector<float> all = CalcTest::Ramp(5000);
    Split split(5000);
    IEnumFloatEx* readers[3] = {split.Reader(), split.Reader(), split.Reader()};
    std::vector<float> seen[3];
    const uint32_t steps[3] = {7, 64, 333};
    for (int round = 0; seen[0].size() < 5000 || seen[1].size() < 5000 || seen[2].size() < 5000; ++round) {
        const int r = round % 3;
        const std::vector<float> got = Pull(readers[r], steps[r]);
        seen[r].insert(seen[r].end(), got.begin(), got.end());
    }
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(seen[r], all) << "reader " << r;
        readers[r]->Release();
    }
    EXPECT_EQ(split.source->Log().samplesRead, 5000u);  // the source was read once
}

TEST(SplitterEnum, ShortSourceAnswersItsCodeAndNeverANegativeCount)
{
    Split split(40);
    IEnumFloatEx* reader = split.Reader();
    HRESULT hr = KVD_S_OK;
    EXPECT_EQ(Pull(reader, 64, &hr).size(), 40u);
    EXPECT_EQ(hr, CalcTest::kEndOfData);
    EXPECT_EQ(Pull(reader, 10, &hr).size(), 0u);
    EXPECT_EQ(hr, CalcTest::kEndOfData);
    int32_t skipped = 0;
    EXPECT_EQ(reader->SkipEx(100, &skipped), CalcTest::kEndOfData);
    EXPECT_EQ(skipped, 0);
    int32_t position = -1;
    reader->GetPosition(&position);
    EXPECT_EQ(position, 40);
    reader->Release();
}

TEST(SplitterEnum, FarSkipResetsTheRingAndALaggingReaderGoesBack)
{
    Split split(200000);
    IEnumFloatEx* ahead = split.Reader();
    IEnumFloatEx* lagging = split.Reader();
    EXPECT_EQ(Pull(lagging, 10).size(), 10u);  // active at 10
    int32_t skipped = 0;
    EXPECT_EQ(ahead->SkipEx(100000, &skipped), KVD_S_OK);
    EXPECT_EQ(skipped, 100000);
    const uint64_t read = split.source->Log().samplesRead;
    EXPECT_EQ(Pull(ahead, 5), (std::vector<float>{100000, 100001, 100002, 100003, 100004}));
    EXPECT_LT(split.source->Log().samplesRead - read, 100u);  // the gap was skipped, not read
    EXPECT_EQ(Pull(lagging, 3), (std::vector<float>{10, 11, 12}));  // the source went back
    ahead->Release();
    lagging->Release();
}

TEST(SplitterEnum, GapsUpTo15999AreBufferedBeyondThatSkipped)
{
    for (const int32_t gap : {15999, 16000}) {
        Split split(40000);
        IEnumFloatEx* slow = split.Reader();
        IEnumFloatEx* far = split.Reader();
        int32_t skipped = 0;
        ASSERT_EQ(far->SkipEx(gap + 1, &skipped), KVD_S_OK);
        // Bring the splitter back to the start; the far reader stays ahead of everything held.
        ASSERT_EQ(split.calc->SetInitialPosition(1), KVD_S_OK);
        EXPECT_EQ(Pull(slow, 1), std::vector<float>{0});  // the slowest active reader is at 1
        const uint64_t before = split.source->Log().samplesRead;
        EXPECT_EQ(Pull(far, 1), std::vector<float>{static_cast<float>(gap + 1)});
        const uint64_t read = split.source->Log().samplesRead - before;
        if (gap == 15999)
            EXPECT_EQ(read, uint64_t(gap + 1));  // the gap was read into the ring
        else
            EXPECT_EQ(read, 1u);  // the source was skipped
        slow->Release();
        far->Release();
    }
}

TEST(SplitterEnum, GrowingAWrappedRingKeepsAgeOrder)
{
    Split split(100);
    IEnumFloatEx* leader = split.Reader();
    IEnumFloatEx* follower = split.Reader();  // active at 0: the ring must keep all for it
    EXPECT_EQ(Pull(leader, 32), CalcTest::Ramp(32));
    EXPECT_EQ(split.splitter->Held(), 32u);   // full and wrapped
    EXPECT_EQ(Pull(leader, 20).size(), 20u);  // grows the wrapped ring to 64
    EXPECT_EQ(split.splitter->Capacity(), 64u);
    EXPECT_EQ(Pull(follower, 52), CalcTest::Ramp(52));
    leader->Release();
    follower->Release();
}

TEST(SplitterEnum, ReaderSkipsAndConfigurationRefusals)
{
    Split split(100);
    IEnumFloatEx* reader = split.Reader();
    EXPECT_EQ(Pull(reader, 3).size(), 3u);
    int32_t skipped = 0;
    EXPECT_EQ(reader->SkipEx(-5, &skipped), KVD_S_OK);  // the splitter's last source code
    EXPECT_EQ(skipped, -3);
    ICalcEnum* face = nullptr;
    ASSERT_EQ(reader->QueryInterface(IID_ICalcEnum, reinterpret_cast<void**>(&face)), KVD_S_OK);
    IUnknown* none[] = {nullptr};
    EXPECT_EQ(face->SetSources(0, 1, none, nullptr, 1.0, 0), KVD_E_NOTIMPL);
    IAutoKVDString* text = nullptr;
    EXPECT_EQ(face->GetSettings(&text), KVD_E_NOTIMPL);
    CalcInstanceAttributes attributes = 0;
    EXPECT_EQ(face->GetInstanceAttributes(&attributes), KVD_S_OK);
    EXPECT_EQ(attributes, 0x04008000u);
    split.calc->GetInstanceAttributes(&attributes);
    EXPECT_EQ(attributes, 0x8000u);
    BlockUpdateType needed = 1;
    EXPECT_EQ(split.calc->IsUpdateNeeded(0, 0, &needed), KVD_S_OK);
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(split.calc->IsUpdateNeeded(0, 3, &needed), KVD_S_OK);
    EXPECT_EQ(needed, 0x40000000u);
    face->Release();
    reader->Release();
}

}  // namespace
