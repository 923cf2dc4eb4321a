// The cyclic-measurements part of a host data document (type id CMDocumentGUID, 0): its cycle
// detection holds the parameters by number and writes the event formula that finds a
// channel's cycles with the host's function CycleStarts.
#pragma once

#include "ICMDoc.h"
#include "foundation/UnknownImp.h"
#include "host/calc/CycleDetector.h"

namespace Host {

class CMCycleDetection final : public KVD::CountedUnknown<ICMCycleDetect> {
public:
    HRESULT ResetParameters() override;
    HRESULT SetParameter(int32_t number, double value) override;
    HRESULT GetParameter(int32_t number, double* value) override;
    HRESULT GetEventFormula(IAutoKVDString* channelText, int32_t edge, TChannelId channel,
                            IAutoKVDString** formula) override;

    const HostCalc::CycleSettings& Settings() const { return mSettings; }

private:
    // The setting of a parameter number; null for a number the host does not have.
    double* Parameter(int32_t number);

    HostCalc::CycleSettings mSettings;
};

class CMDoc final : public KVD::CountedUnknown<ICMDoc> {
public:
    CMDoc();

    HRESULT GetCycleDetection(ICMCycleDetect** detection) override;

private:
    KVD::COMPtr<CMCycleDetection> mDetection;
};

}  // namespace Host
