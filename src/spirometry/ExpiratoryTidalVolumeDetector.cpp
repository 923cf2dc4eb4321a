#include "spirometry/ExpiratoryTidalVolumeDetector.h"

#include "CalcEnumTypes.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {
namespace Expiratory {

namespace {

using EEH3::kNoTick;

const wchar_t* const kParamNames[] = {L"Tick Source", L"Event Source", L"PNEND"};
const CalcEnums::Range kParamRanges[] = {{0, 0}, {0, 0}, {-1, -1}};
const KVDEnumDataType kParamTypes[] = {kEnumDataSamples, kEnumDataEvents};
const wchar_t* const kAliases[] = {L"SpTidVolExp", L"ALEND"};

// Stops the search with nothing more to do before the limit.
bool Stop(DetEx_ExpiratoryDetectorState& state)
{
    state.mNextIncompleteTick = state.mAnalysisEnd;
    return false;
}

}  // namespace

bool DetEx_ExpiratoryEventAlgorithm::FindEvent(DetEx_ExpiratoryDetectorState& state,
                                               DetEx_ExpiratoryEventDetectorParams& params,
                                               DetEx_ExpiratoryEvent& event)
{
    EEH3::FloatExWrapper* flow = params.Samples();
    EEH3::EventWrapper* boundaries = params.EventSource();
    if (state.mHitEnd || flow == nullptr || boundaries == nullptr) {
        state.mNextIncompleteTick = kNoTick;
        return false;
    }
    flow->SetEndTick(kNoTick);
    boundaries->SetEndTick(kNoTick);
    int32_t boundary = 0;
    for (;;) {
        if (!boundaries->IsValid()) {
            // Without further boundaries no interval can end: the search is over for good,
            // rather than asked again at every later limit.
            if (boundaries->CompletelyExhausted())
                state.mNextIncompleteTick = kNoTick;
            return false;
        }
        boundary = boundaries->header().tick;
        if (!flow->IsValid() || state.mIntervalStartTick >= state.mAnalysisEnd)
            return Stop(state);
        if (flow->GetPosition() <= boundary)
            break;
        // A boundary the flow has already passed (a second one at the same tick, or one before
        // the first sample read) ends no interval; waiting for it would stall the record.
        boundaries->Advance();
    }
    const double sampling = params.mSampling;
    for (;;) {
        if (!flow->IsValid())
            return Stop(state);
        const float x = flow->deref();
        const int32_t tick = flow->GetPosition();
        flow->Advance();
        if (x < 0)
            state.mNegativeVolume -= x * sampling;
        if (tick >= boundary)
            break;
    }
    boundaries->Advance();
    event.tick = state.mIntervalStartTick;
    event.fraction = 0.0f;
    event.value = state.mNegativeVolume;
    state.mIntervalStartTick = boundary;
    state.mNegativeVolume = 0.0;
    state.mNextIncompleteTick = boundary;
    return true;
}

const CalcEnums::NumericParamsFuncTable DetEx_ExpiratoryEnumerator::sFuncTable = {
    kParamNames, kParamRanges, kParamTypes, 2, 2, kAliases, 1, 0xA0000000u, kEnumDataEvents};

CalcEnums::CalcEnumClassBase2::Traits DetEx_ExpiratoryEnumerator::sTraits = {
    L"SpTidalVolumeExpiratory", L"Measures tidal volume from a expiratory-only respiratory flow signal.",
    &TidalExpEventEnumGUID, 0};

}  // namespace Expiratory
}  // namespace Spirometry
