// The host's formula function decimatesec(source, seconds): the source cut into consecutive
// windows of the given length from the start of the record, each window's samples replaced by
// the window's mean, at the source's own rate. A window cut short by the end of the data takes
// the mean of the samples it has.
#pragma once

#include "host/calc/HostSampleEnum.h"

namespace HostCalc {

class DecimateSecEnum : public HostSampleEnumT<DecimateSecEnum> {
public:
    DecimateSecEnum(ICalcEnumClass2* classObject, IOrrelData2* data) : HostSampleEnumT(classObject, data, 0) {}

    // One sample stream; the sampling value (seconds per sample) must be positive.
    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                       CalcEnumFlags flags) override;
    HRESULT ReleaseSources() override;
    HRESULT IsFilling(AutoBool* filling) override;
    HRESULT GetTickToSample(TTickToSample* map) override;

protected:
    // The window length in seconds, positive.
    bool ReadSettings(const KVD::String& text) override;
    void Compute(float*, const float* const*, int32_t, uint32_t) override {}
    HRESULT Generate(float* out, int32_t position, uint32_t n, uint32_t* produced) override;

private:
    // Reads window `index` from the source: its mean and how many samples it has.
    void LoadWindow(int64_t index);

    KVD::COMPtr<IEnumFloatEx, KVD::COMCloneEnumEx> mSource;
    double mSeconds = 0.0;
    int64_t mWindow = 1;           // samples per window
    int64_t mSourcePosition = 0;  // where the source stands
    int64_t mLoaded = -1;         // the window held, -1 none
    float mMean = 0.0f;
    int64_t mHeld = 0;            // samples of the window held
    HRESULT mEndCode = KVD_S_OK;  // what the source answered when it stopped short
    std::vector<float> mBlock;
};

}  // namespace HostCalc
