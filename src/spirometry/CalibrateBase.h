// The arithmetic of the two calibrations offered over a range of a recording: the flow-head
// gain from an injected known volume, and the volume correction factor from recorded
// breathing. Checks that the range and channel allow a calibration, reads the flow samples of
// the range from the host and computes the results. Made on the stack by its users.
#pragma once

#include <cstdint>
#include <vector>

#include "IOrrelDocument.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "spirometry/SourceKinds.h"

namespace Spirometry {

enum VolumeCorrectionMethod : int32_t {
    // A straight line fitted over the whole range.
    kVolumeCorrectionLinearFit = 0,
    // Whole breaths between the volume minima near the range's ends.
    kVolumeCorrectionWholeBreaths = 1,
};

class CalibrateBase {
public:
    // The volume ratio's range in the volume calculation.
    static constexpr double kMinVolumeRatio = 0.01;
    static constexpr double kMaxVolumeRatio = 10.0;

    CalibrateBase(IAutoOrrelDoc* document, IRecordData* recordData);

    void SetRawFlowChannel(long channel) { mRawFlowChannel = channel; }
    void SetCalcFlowChannel(long channel) { mCalcFlowChannel = channel; }
    void SetVolumeTargetChannel(long channel) { mVolumeTargetChannel = channel; }
    // A range given by the caller, used instead of the document's selection.
    void SetupFromOmbrisk(KVDPosition start, KVDPosition end, long channel);

    bool FlowCalibrationCanBeDone(KVD::String* reason);
    bool VolumeCalibrationCanBeDone(KVD::String* reason);
    // Whether the range lies in one record holding the channel's data of the type; the reason
    // (when given) tells the user why not.
    bool CalCheck(KVD::String* reason, long channel, uint32_t type);
    // Reads the channel's samples over the range; only delivered samples are kept.
    bool OrganiseFlowData(long channel, uint32_t type);
    // The running integral of the flow samples and its last value, the flow integral.
    void OrganiseVolData();

    // The gain that makes the flow integral the known volume. A gain that cannot be had (no
    // integral, no number) is 1.0, and message (when given) says so.
    double CalcFlowGain(double knownVolume, KVD::String* message = nullptr) const;
    // The volume that a gain makes of the flow integral.
    double CalcVolume(double gain) const;
    bool DetectFlowChannel(long channel) const;
    // The volume ratio that balances expired volume beyond the dead space (in mL, taken in the
    // flow channel's own volume unit) against the rest,
    // kept in the volume ratio's range. 1.0 when the data give no factor; also 1.0, with the
    // message, when the arithmetic gives zero or no number.
    double CalcVolumeCorrectionFactor(VolumeCorrectionMethod method, double deadSpaceML,
                                      KVD::String* message = nullptr);

    double GetSampleInterval() const { return mSampleInterval; }
    float GetFlowIntegral() const { return mFlowIntegral; }
    int64_t GetSampleCount() const { return mSampleCount; }
    const std::vector<float>& GetFlowSamples() const { return mFlow; }
    const std::vector<float>& GetVolumeSamples() const { return mVolume; }

private:
    bool GetRange(KVD::String* reason, KVDPosition& start, KVDPosition& end);
    bool HasRange() const;
    double FlowVolumePerML();
    double LinearFitFactor(double deadSpace) const;
    double WholeBreathsFactor(double deadSpace);

    double mSampleInterval = 0.0;
    float mFlowIntegral = 0.0f;
    KVD::COMPtr<IRecordData> mRecordData;
    KVD::COMPtr<IAutoOrrelDoc> mDocument;
    std::vector<float> mFlow;
    std::vector<float> mVolume;
    long mCalcFlowChannel = -1;
    long mRawFlowChannel = -1;
    int64_t mSampleCount = 0;
    long mVolumeTargetChannel = -1;
    KVDPosition mRangeStart{kNoPositionTick, kNoPositionRecord};
    KVDPosition mRangeEnd{kNoPositionTick, kNoPositionRecord};
};

}  // namespace Spirometry
