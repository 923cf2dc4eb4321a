#include "host/calc/CycleFinder.h"

#include <cfloat>
#include <cmath>

#include "CalcEnumTypes.h"
#include "calc/EEH3Enumerator.h"
#include "host/calc/PublishedFunctions.h"

namespace HostCalc {
namespace {

using EEH3::kNoTick;

const wchar_t* const kParamNames[] = {L"Source", L"Level", L"Hysteresis", L"Minimum cycle (s)", L"Smoothing (samples)",
                                      L"Falling"};
const CalcEnums::Range kParamRanges[] = {{0, 0}, {-1e15, 1e15}, {0, 1}, {0, 3600}, {0, 10000}, {0, 1}};
const KVDEnumDataType kParamTypes[] = {kEnumDataSamples, kEnumDataSamples, kEnumDataSamples,
                                       kEnumDataSamples, kEnumDataSamples, kEnumDataSamples};
const wchar_t* const kAliases[] = {L"FindCycles"};
// The settings text begins with the argument list and the alias index, as the detectors' do.
constexpr CalcNPFuncInfoFlags kFunctionFlags = 0xA0000000u;

using CycleStartsClassObject = CalcEnums::CalcEnumNumericParamsClass<EEH3::EEH3Enumerator<CycleFinder, 8>>;

}  // namespace

const CalcEnums::NumericParamsFuncTable CycleFinder::sFuncTable = {
    kParamNames, kParamRanges, kParamTypes, 6, 1, kAliases, 1, kFunctionFlags, kEnumDataEvents};

void CycleFinderParams::setSettings(std::wistream& in)
{
    CycleSettings read;
    double falling = 0.0;
    // Each number read in turn; the first one missing leaves it and the rest at their defaults.
    if (in >> read.level && in >> read.hysteresis && in >> read.minimumCycle && in >> read.smoothing &&
        in >> falling)
        read.falling = falling != 0.0;
    mSettings = read;
    mValid = read.IsValid() && (falling == 0.0 || falling == 1.0);
    mRegion.SetNoLimits();
}

void CycleFinderParams::getSettings(KVD::OStringStream& out) const
{
    out << mSettings.level << L'\t' << mSettings.hysteresis << L'\t' << mSettings.minimumCycle << L'\t'
        << mSettings.smoothing << L'\t' << (mSettings.falling ? 1 : 0);
}

EEH3::FloatExWrapper* CycleFinderParams::Signal() const
{
    return SourceCount() > 0 ? dynamic_cast<EEH3::FloatExWrapper*>(&Source(0)) : nullptr;
}

int32_t CycleFinderState::NextIncompleteTick() const
{
    return mHitEnd || mDone ? kNoTick : mDetector.EarliestPending(mNextTick);
}

bool CycleFinderAlgorithm::FindEvent(CycleFinderState& state, CycleFinderParams& params, CycleStartEvent& event)
{
    EEH3::FloatExWrapper* signal = params.Signal();
    // At the end of the data a rise or a return not yet confirmed starts no cycle.
    if (state.mHitEnd || signal == nullptr || !params.mValid) {
        state.mDone = true;
        return false;
    }
    // A rise or a return open at the search's limit is read on until it is confirmed or given up.
    signal->SetEndTick(kNoTick);
    while (state.NextIncompleteTick() < state.mAnalysisEnd && signal->IsValid()) {
        const float x = signal->deref();
        const int32_t tick = signal->GetPosition();
        signal->Advance();
        state.mNextTick = tick + 1;
        CycleStart start;
        if (state.mDetector.Push(params.mSettings, params.mSampling, tick, x, start)) {
            event.tick = static_cast<int32_t>(std::floor(start.position));
            event.fraction = static_cast<float>(start.position - event.tick);
            event.value = start.length;
            return true;
        }
    }
    return false;
}

ICAFClassObject* CycleStartsClass()
{
    static CalcEnums::CalcEnumClassBase2::Traits* traits = new CalcEnums::CalcEnumClassBase2::Traits{
        L"CycleStarts",
        L"Events at the start of each cycle of a signal: where it rises through a level, or comes back to it "
        L"from below.",
        &Host::GUID_HostFormulaFunctions, Host::kCycleStartsSubId};
    // Never destroyed: the factory and the formula tables keep pointers to it.
    static ICalcEnumClass2* object = new CycleStartsClassObject(traits);
    return object;
}

}  // namespace HostCalc
