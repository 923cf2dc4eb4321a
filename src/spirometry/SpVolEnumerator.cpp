#include "spirometry/SpVolEnumerator.h"

#include <algorithm>

#include "CalcEnumTypes.h"
#include "spirometry/SampleBlock.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {

namespace {

using EEH3::kNoTick;

const wchar_t* const kParamNames[] = {L"Volume Source", L"Flow Event Source", L"PNEND"};
const CalcEnums::Range kParamRanges[] = {{0, 0}, {0, 0}, {-1, -1}};
const KVDEnumDataType kParamTypes[] = {kEnumDataSamples, kEnumDataEvents};
const wchar_t* const kAliases[] = {L"SPEEVol", L"ALEND"};

// The largest volume so far, and the lowest at or after it.
struct VolumeExtremes {
    float maxVol;
    float minVol;
    int32_t maxTick;
    int32_t minTick;

    void Take(float v, int32_t tick)
    {
        if (v > maxVol) {
            maxVol = minVol = v;
            maxTick = minTick = tick;
        } else if (v < minVol) {
            minVol = v;
            minTick = tick;
        }
    }
};

// A block of samples from tick first, with the effect of taking them one by one: a new maximum
// is the block's largest sample at its first place, and the lowest after it counts from there.
void TakeBlock(const float* x, int32_t first, VolumeExtremes& extremes)
{
    float lowest = extremes.minVol, highest = extremes.maxVol;
    SampleBlock::Extremes(x, lowest, highest);
    if (highest > extremes.maxVol) {
        const uint32_t at = SampleBlock::IndexOf(x, highest);
        extremes.maxVol = extremes.minVol = x[at];
        extremes.maxTick = extremes.minTick = first + static_cast<int32_t>(at);
        for (uint32_t k = at + 1; k < SampleBlock::kSize; ++k)
            extremes.Take(x[k], first + static_cast<int32_t>(k));
    } else if (lowest < extremes.minVol) {
        const uint32_t at = SampleBlock::IndexOf(x, lowest);
        extremes.minVol = x[at];
        extremes.minTick = first + static_cast<int32_t>(at);
    }
}

// The largest volume of the cycle from its start up to (not including) its end, and the lowest
// volume at or after that maximum. The first sample counts even when the cycle is empty; the
// scan stops where the volume data end.
void ScanVolume(EEH3::FloatExWrapper& volume, const SpFlowEvent& cycle, SpBreathEvent& event)
{
    VolumeExtremes extremes{volume.deref(), volume.deref(), volume.GetPosition(), volume.GetPosition()};
    volume.Advance();
    // Block by block through the source's buffer.
    while (volume.IsValid()) {
        const int32_t first = volume.GetPosition();
        if (first >= cycle.endTick)
            break;
        uint32_t count = 0;
        const float* samples = volume.Buffered(count);
        if (count == 0)
            break;
        const uint32_t wanted = static_cast<uint32_t>(std::min<int64_t>(count, int64_t(cycle.endTick) - first));
        uint32_t i = 0;
        for (; wanted - i >= SampleBlock::kSize; i += SampleBlock::kSize)
            TakeBlock(samples + i, first + static_cast<int32_t>(i), extremes);
        for (; i < wanted; ++i)
            extremes.Take(samples[i], first + static_cast<int32_t>(i));
        volume.SkipBuffered(wanted);
    }
    event.maxVolTick = extremes.maxTick;
    event.maxVol = extremes.maxVol;
    event.minVolTick = extremes.minTick;
    event.minVol = extremes.minVol;
}

}  // namespace

bool SpVolAlgorithm::FindEvent(SpVolState& state, SpVolParams& params, SpBreathEvent& event)
{
    EEH3::FloatExWrapper* volume = params.Samples();
    EEH3::EventWrapperEx<SpFlowEvent>* cycles = params.EventSource();
    if (state.mHitEnd || volume == nullptr || cycles == nullptr) {
        state.mPosition = kNoTick;
        return false;
    }
    // A cycle that begins before the search's limit is measured whole, however far beyond the
    // limit it ends; and cycles are read on past the limit, so that one that straddles it is
    // never asked for again from its middle, where the flow detector would pass it over.
    volume->SetEndTick(kNoTick);
    cycles->SetEndTick(kNoTick);
    const bool haveCycle = cycles->IsValid();
    state.mPosition = cycles->GetPosition();
    if (!haveCycle)
        return false;
    const SpFlowEvent cycle = cycles->deref();
    if (cycle.tick >= state.mAnalysisEnd)
        return false;
    volume->MoveTo(cycle.tick);
    if (!volume->IsValid()) {
        // The volume data end before this cycle: no later one can be measured either.
        state.mPosition = kNoTick;
        return false;
    }
    ScanVolume(*volume, cycle, event);
    cycles->Advance();
    state.mPosition = cycles->GetPosition();
    event.header = {cycle.tick, cycle.fraction, cycle.value};
    event.flow = cycle;
    return true;
}

const CalcEnums::NumericParamsFuncTable SpVolEnumerator::sFuncTable = {
    kParamNames, kParamRanges, kParamTypes, 2, 2, kAliases, 1, 0xA0000000u, kEnumDataEvents};

CalcEnums::CalcEnumClassBase2::Traits SpVolEnumerator::sTraits = {
    L"SPEventEnumVol", L"Calculates Spirometry Volume Events", &GUID_SpEnumObj, kSpVolEventEnumSubId};

}  // namespace Spirometry
