// Breath detection over the user's selection. The machine detects nothing itself: it writes a
// formula that nests the flow event detector inside the volume event detector, has the host's
// composite enumerator run it from the selection start, turns each breath event into a Breath
// and marks the forced breaths.
#pragma once

#include "ICalcEnum.h"
#include "IEnumEventEx.h"
#include "IRecordData.h"
#include "foundation/CIArray.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "spirometry/Breath.h"
#include "spirometry/SpConfig.h"

namespace Spirometry {

using BreathList = CIArray<Breath, CIArray_CallDelete<Breath>>;

class SpiroMachine {
public:
    // What the machine reads of the document that owns it.
    class Document {
    public:
        // The channel of the flow head's raw signal.
        virtual int32_t GetRawFlowChannel() const = 0;
        // The flow calculation's custom scale.
        virtual double GetCustomConstant() const = 0;

    protected:
        ~Document() = default;
    };

    // Both are read, never changed, and outlive the machine.
    SpiroMachine(const Document& document, const SpConfig& settings);
    SpiroMachine(const SpiroMachine&) = delete;
    SpiroMachine& operator=(const SpiroMachine&) = delete;

    // Detects the breaths between start and end (the same record); answers their number. An
    // unset or empty range empties the list. force detects again even when nothing changed.
    int Go(IRecordData* data, KVDPosition start, KVDPosition end, bool force);
    // Answers the number of breaths, or -1 when the range cannot be analysed (the list is then
    // empty: it never holds the breaths of another range).
    int GetSpBreathEvents(bool force);
    void FindForcedBreaths() { MarkForcedBreaths(mBreaths, mSettings.mForcedExpirationThreshold); }

    KVDPosition GetStartPos() const { return mStart; }
    KVDPosition GetEndPos() const { return mEnd; }
    const BreathList& Breaths() const { return mBreaths; }

    // Seconds from a to b.
    static double CalcDuration(IRecordData* data, KVDPosition a, KVDPosition b);
    // The argument list after "SPEEVol": "(Ch<v>, SPEEFlow(Ch<f>, <level>) )", channels 1-based,
    // the level with six significant digits.
    static void GetArithString_EventEnum(KVD::String& out, int flowChannel, int volumeChannel, double level);
    // The detection level: factor percent of the raw flow channel's full range.
    double GetCycleDetectionLevel(IRecordData* data, double factor, int record) const;
    // The composite enumerator running formula over the two channels from start, and its events.
    static bool SetupSpCompositeCalc(KVD::COMPtr<IEnumEventEx>& events, KVD::COMPtr<ICalcEnum>& calc,
                                     const KVD::String& formula, int flowChannel, int volumeChannel, KVDPosition start,
                                     IRecordData* data);

    // A breath is forced when its volume reaches threshold times the mean volume of all, or the
    // mean itself when there are fewer than four; a single breath always is; an excluded one
    // never. Volumes are compared at the single precision the mean is summed in.
    static void MarkForcedBreaths(BreathList& breaths, double threshold);

private:
    // What the last successful detection was run on.
    struct Run {
        KVDPosition start = Breath::kUnset;
        KVDPosition end = Breath::kUnset;
        double factor = 0.0;
        double threshold = 0.0;
        int32_t flowChannel = 0;
        int32_t volumeChannel = 0;
    };

    bool IsLastRun() const;
    // Empties the list and forgets the last run.
    void Forget();
    int Detect();

    const Document& mDocument;
    IRecordData* mData = nullptr;  // of the current run, not owned
    const SpConfig& mSettings;
    BreathList mBreaths;
    KVDPosition mStart = Breath::kUnset;
    KVDPosition mEnd = Breath::kUnset;
    Run mLast;
    KVD::COMPtr<ICalcEnum> mCalc;
    KVD::COMPtr<IEnumEventEx> mEvents;
};

}  // namespace Spirometry
