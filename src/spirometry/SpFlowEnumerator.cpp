#include "spirometry/SpFlowEnumerator.h"

#include <cfloat>
#include <cmath>

#include "CalcEnumTypes.h"
#include "spirometry/SampleBlock.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {

namespace {

using EEH3::kNoTick;

const wchar_t* const kParamNames[] = {L"Source", L"Height", L"PNEND"};
const CalcEnums::Range kParamRanges[] = {{0, 0}, {0, DBL_MAX}, {-1, -1}};
const KVDEnumDataType kParamTypes[] = {kEnumDataSamples, kEnumDataSamples};
const wchar_t* const kAliases[] = {L"SPEEFlow", L"ALEND"};

SpFlowEvent NewCycle(int32_t startTick)
{
    SpFlowEvent cycle{};
    cycle.startTick = startTick;
    cycle.endTick = cycle.maxFlowTick = cycle.minFlowTick = cycle.reversalTick = kNoTick;
    return cycle;
}

bool IsComplete(const SpFlowEvent& cycle, double level)
{
    return (cycle.maxFlow >= level || cycle.excluded != 0) && cycle.minFlow <= -level;
}

void FillHeader(SpFlowEvent& cycle)
{
    cycle.tick = cycle.startTick;
    cycle.fraction = 0.0f;
    cycle.value = cycle.maxFlow;
}

// Closes the pending cycle at the last crossing and opens the next one there. Answers whether
// the closed cycle is an event to deliver.
bool CloseCycle(SpFlowScan& state, int32_t analysisEnd, double level, SpFlowEvent& event)
{
    const bool wasPending = state.mPending;
    SpFlowEvent closed = state.mEvent;
    closed.endTick = state.mLastCrossing;
    FillHeader(closed);
    state.mPhase = 3;
    state.mNegativeSeen = false;
    state.mEvent = NewCycle(state.mLastCrossing);
    state.mPending = true;
    if (!wasPending || !IsComplete(closed, level) || closed.tick >= analysisEnd)
        return false;
    ++state.mCount;
    event = closed;
    return true;
}

// The peaks of the pending cycle, and its low point: the sample nearest zero since the flow
// last came back from beyond the level, looked for up to the first negative sample.
void UpdateCycle(SpFlowScan& state, double level, float x)
{
    SpFlowEvent& cycle = state.mEvent;
    if (x > 0 && x > cycle.maxFlow) {
        cycle.maxFlow = x;
        cycle.maxFlowTick = state.mTick;
    }
    if (x < 0 && x < cycle.minFlow) {
        cycle.minFlow = x;
        cycle.minFlowTick = state.mTick;
    }
    const float magnitude = std::fabs(x);
    if (magnitude > level)
        state.mLevelExceeded = true;
    if (!state.mNegativeSeen &&
        ((magnitude < level && magnitude < std::fabs(state.mLowValue)) || (x < level && state.mLevelExceeded))) {
        cycle.reversalTick = state.mTick;
        state.mLowValue = x;
        state.mLevelExceeded = false;
    }
    if (x < 0)
        state.mNegativeSeen = true;
}

// One sample. Answers true with an event when the sample closed a complete cycle; the sample
// is then read again by the next search, for the cycle it opened.
bool TakeSample(SpFlowScan& state, int32_t analysisEnd, double level, float x, SpFlowEvent& event)
{
    const bool sign = x > 0;
    if (state.mTick == 0)
        state.mPreviousSign = sign;
    state.mSign = sign;
    if (sign != state.mPreviousSign) {
        state.mLastCrossing = state.mTick;
        if (state.mPhase == 1)
            state.mPhase = 2;
    }
    state.mPreviousSign = sign;

    const bool above = x > level;
    const bool below = x < -level;
    if (((above && state.mPhase == 5 && state.mNegativeSeen) || ((above || below) && state.mPhase == 2)) &&
        CloseCycle(state, analysisEnd, level, event))
        return true;

    if (state.mPhase == 3) {
        if (above)
            state.mPhase = 5;
        else if (below)
            state.mPhase = state.mCount > 0 ? 5 : 4;
    } else if (state.mPhase == 4 && above) {
        state.mPhase = 5;
    }
    if (state.mPending)
        UpdateCycle(state, level, x);
    return false;
}

// The largest float below or at the level: for float samples x > level and x > FloatLevel(level)
// are one test, and so are x < -level and x < -FloatLevel(level).
float FloatLevel(double level)
{
    const float rounded = static_cast<float>(level);
    return double(rounded) > level ? std::nextafter(rounded, 0.0f) : rounded;
}

// The inspiration beyond the level: only the positive peak changes, and no low point is looked
// for. Answers how many samples it took.
uint32_t TakeInspiration(SpFlowScan& state, float level, const float* samples, uint32_t count)
{
    SpFlowEvent& cycle = state.mEvent;
    uint32_t i = 0;
    for (; count - i >= SampleBlock::kSize; i += SampleBlock::kSize) {
        const float* block = samples + i;
        if (SampleBlock::Above(block, level) != 0xFFFFu)
            break;
        float lowest = 0.0f, highest = cycle.maxFlow;
        SampleBlock::Extremes(block, lowest, highest);
        if (highest > cycle.maxFlow) {
            const uint32_t at = SampleBlock::IndexOf(block, highest);
            cycle.maxFlow = block[at];
            cycle.maxFlowTick = state.mTick + int32_t(i + at);
        }
    }
    for (; i < count && samples[i] > level; ++i) {
        if (samples[i] > cycle.maxFlow) {
            cycle.maxFlow = samples[i];
            cycle.maxFlowTick = state.mTick + int32_t(i);
        }
    }
    if (i > 0)
        state.mLevelExceeded = true;
    return i;
}

// The expiration and the return from it up to the level: zero crossings, both peaks and the
// negative level. Answers how many samples it took.
uint32_t TakeExpiration(SpFlowScan& state, float level, const float* samples, uint32_t count)
{
    SpFlowEvent& cycle = state.mEvent;
    float maxFlow = cycle.maxFlow;
    float minFlow = cycle.minFlow;
    int32_t maxFlowTick = cycle.maxFlowTick;
    int32_t minFlowTick = cycle.minFlowTick;
    int32_t lastCrossing = state.mLastCrossing;
    bool sign = state.mPreviousSign;
    bool exceeded = state.mLevelExceeded;
    uint32_t i = 0;
    for (; count - i >= SampleBlock::kSize; i += SampleBlock::kSize) {
        const float* block = samples + i;
        if (SampleBlock::Above(block, level) != 0)
            break;
        const unsigned positive = SampleBlock::Above(block, 0.0f);
        const unsigned changes = (positive ^ (positive << 1 | unsigned(sign))) & 0xFFFFu;
        if (changes != 0) {
            lastCrossing = state.mTick + int32_t(i) + 31 - __builtin_clz(changes);
            sign = (positive >> 15) != 0;
        }
        float lowest = minFlow, highest = maxFlow;
        SampleBlock::Extremes(block, lowest, highest);
        if (highest > maxFlow) {
            const uint32_t at = SampleBlock::IndexOf(block, highest);
            maxFlow = block[at];
            maxFlowTick = state.mTick + int32_t(i + at);
        }
        if (lowest < minFlow) {
            const uint32_t at = SampleBlock::IndexOf(block, lowest);
            minFlow = block[at];
            minFlowTick = state.mTick + int32_t(i + at);
        }
        exceeded |= SampleBlock::Below(block, -level) != 0;
    }
    for (; i < count && !(samples[i] > level); ++i) {
        const float x = samples[i];
        const int32_t tick = state.mTick + int32_t(i);
        if ((x > 0) != sign) {
            sign = x > 0;
            lastCrossing = tick;
        }
        if (x > maxFlow) {
            maxFlow = x;
            maxFlowTick = tick;
        }
        if (x < minFlow) {
            minFlow = x;
            minFlowTick = tick;
        }
        exceeded |= x < -level;
    }
    cycle.maxFlow = maxFlow;
    cycle.minFlow = minFlow;
    cycle.maxFlowTick = maxFlowTick;
    cycle.minFlowTick = minFlowTick;
    state.mLastCrossing = lastCrossing;
    state.mPreviousSign = state.mSign = sign;
    state.mLevelExceeded = exceeded;
    return i;
}

// Most samples of a cycle change nothing but its peaks. A stretch of them is taken with the
// very effects TakeSample would have, whole blocks first, then sample by sample, up to the
// first sample that may change the phase or close the cycle. Answers how many samples it took.
uint32_t TakeSteadyStretch(SpFlowScan& state, double level, const float* samples, uint32_t count)
{
    const SpFlowEvent& cycle = state.mEvent;
    // A cycle's peaks lie on either side of zero: beyond the running peak means beyond zero.
    if (!state.mPending || state.mPhase != 5 || state.mTick == 0 || !(level >= 0.0) || cycle.maxFlow < 0.0f ||
        cycle.minFlow > 0.0f)
        return 0;
    uint32_t taken = 0;
    if (state.mNegativeSeen)
        taken = TakeExpiration(state, FloatLevel(level), samples, count);
    else if (state.mPreviousSign)
        taken = TakeInspiration(state, FloatLevel(level), samples, count);
    if (taken > 0) {
        state.mSample = samples[taken - 1];
        state.mTick += int32_t(taken);
    }
    return taken;
}

// The data ended with a cycle pending: it is offered as the last one. A cycle that began in the
// negative lobe is marked excluded; one still beyond the level after earlier events is cut.
bool FinishAtEndOfData(SpFlowState& state, double level, SpFlowEvent& event)
{
    if (!state.mPending) {
        state.mTick = state.mAnalysisEnd;
        return false;
    }
    SpFlowEvent& cycle = state.mEvent;
    bool dropped = false;
    if (state.mPhase == 4)
        cycle.excluded = 1;
    else if (state.mCount > 0 && std::fabs(state.mSample) >= level)
        dropped = true;
    cycle.endTick = state.mTick;
    state.mPending = false;
    if (dropped || !IsComplete(cycle, level)) {
        state.mTick = state.mAnalysisEnd;
        return false;
    }
    FillHeader(cycle);
    ++state.mCount;
    event = cycle;
    return true;
}

}  // namespace

void SpFlowParams::setSettings(std::wistream& in) { in >> mLevel; }

void SpFlowParams::getSettings(KVD::OStringStream& out) const { out << mLevel << wchar_t(0); }

EEH3::FloatExWrapper* SpFlowParams::Flow() const
{
    return SourceCount() > 0 ? dynamic_cast<EEH3::FloatExWrapper*>(&Source(0)) : nullptr;
}

SpFlowState::SpFlowState(int32_t startTick) : StateBase(startTick)
{
    mTick = startTick;
    mEvent = NewCycle(kNoTick);
}

bool SpFlowAlgorithm::FindEvent(SpFlowState& state, SpFlowParams& params, SpFlowEvent& event)
{
    EEH3::FloatExWrapper* flow = params.Flow();
    if (state.mHitEnd || flow == nullptr) {
        state.mPending = false;
        state.mTick = kNoTick;
        return false;
    }
    const double level = params.mLevel;
    // Block by block through the source's buffer: the search looks at every sample.
    while (state.NextIncompleteTick() < state.mAnalysisEnd && flow->IsValid()) {
        uint32_t count = 0;
        const float* samples = flow->Buffered(count);
        if (count == 0)
            break;  // a source that counts ticks only has no flow to look at
        SpFlowScan scan = state;
        const int32_t end = state.mAnalysisEnd;
        uint32_t used = 0;
        bool found = false;
        while (used < count && scan.NextIncompleteTick() < end) {
            // A steady stretch leaves the cycle pending, and so the search's limit as it was.
            used += TakeSteadyStretch(scan, level, samples + used, count - used);
            if (used == count)
                break;
            scan.mSample = samples[used];
            if (TakeSample(scan, end, level, samples[used], event)) {
                found = true;
                break;
            }
            ++used;
            ++scan.mTick;
        }
        static_cast<SpFlowScan&>(state) = scan;
        flow->SkipBuffered(used);
        if (found)
            return true;
    }
    // The source ran out with work left before the search's limit: the data have ended (also
    // when a pending cycle had the search read on past the limit).
    if (state.NextIncompleteTick() < state.mAnalysisEnd &&
        (flow->CompletelyExhausted() || state.mTick < state.mAnalysisEnd))
        return FinishAtEndOfData(state, level, event);
    return false;
}

const CalcEnums::NumericParamsFuncTable SpFlowEnumerator::sFuncTable = {
    kParamNames, kParamRanges, kParamTypes, 2, 1, kAliases, 1, 0xA0000000u, kEnumDataEvents};

CalcEnums::CalcEnumClassBase2::Traits SpFlowEnumerator::sTraits = {L"SPEventEnumFlow", kFindsFlowEventsText,
                                                                    &GUID_SpEnumObj, kSpFlowEventEnumSubId};

}  // namespace Spirometry
