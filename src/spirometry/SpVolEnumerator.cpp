#include "spirometry/SpVolEnumerator.h"

#include <algorithm>

#include "CalcEnumTypes.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {

namespace {

using EEH3::kNoTick;

const wchar_t* const kParamNames[] = {L"Volume Source", L"Flow Event Source", L"PNEND"};
const CalcEnums::Range kParamRanges[] = {{0, 0}, {0, 0}, {-1, -1}};
const KVDEnumDataType kParamTypes[] = {kEnumDataSamples, kEnumDataEvents};
const wchar_t* const kAliases[] = {L"SPEEVol", L"ALEND"};

// The largest volume of the cycle from its start up to (not including) its end, and the lowest
// volume at or after that maximum. The first sample counts even when the cycle is empty; the
// scan stops where the volume data end.
void ScanVolume(EEH3::FloatExWrapper& volume, const SpFlowEvent& cycle, SpBreathEvent& event)
{
    float maxVol = volume.deref();
    float minVol = maxVol;
    int32_t maxTick = volume.GetPosition();
    int32_t minTick = maxTick;
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
        for (uint32_t i = 0; i < wanted; ++i) {
            const float v = samples[i];
            if (v > maxVol) {
                maxVol = minVol = v;
                maxTick = minTick = first + static_cast<int32_t>(i);
            } else if (v < minVol) {
                minVol = v;
                minTick = first + static_cast<int32_t>(i);
            }
        }
        volume.SkipBuffered(wanted);
    }
    event.maxVolTick = maxTick;
    event.maxVol = maxVol;
    event.minVolTick = minTick;
    event.minVol = minVol;
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
