// The settings dialog's live preview: the flow channel of the record the host's data view
// shows, in the flow unit chosen, with the breath events that the proposed settings would
// detect. The events come from a virtual channel of the host's data whose formula is built from
// the proposed sources and detection factor; each change rebuilds the formula and the drawers,
// and re-sets a channel's formula only when it changed.
#pragma once

#include <map>

#include "IOrrelData2.h"
#include "IOrrelDocument.h"
#include "IPersistObject.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "spirometry/SpConfig.h"
#include "trace/PreviewPaneBase.h"
#include "trace/UnitMapper.h"

namespace Spirometry {

// What a recreation of the preview applied: the formulas of its two virtual channels and the
// flow channel's units.
struct SPPreviewState {
    uint8_t valid = 0;
    uint8_t secondFlag = 0;
    KVD::String expression;        // of the first virtual channel
    KVD::String virtualReference;  // the first virtual channel's token: the second's formula
    KVD::String units;
};

// The units of the preview's flow trace: the channel's own, with the prefix given.
class SUNMapper final : public OrrelDraw::UnitMapper {
public:
    SUNMapper(TChannelId flow, const SpConfig* settings) : mFlow(flow), mSettings(settings) {}

    KVD::String GetUnits(const KVD::String& units, UnitPrefix prefix, UnitPrefix* outPrefix) const;

    int32_t GetChannel() const override { return mFlow.channel; }
    uint32_t GetFlags() const override { return mFlow.blockDataType; }
    bool Map(const KVD::String& channelUnits, const KVD::String& mapperUnits, KVD::String& shown,
             UnitPrefix& prefix) const override;

private:
    TChannelId mFlow;
    const SpConfig* mSettings;  // not owned
};

class SPPreview final : public ExtLib::PreviewPaneBase {
public:
    SPPreview(IAutoOrrelDoc* document, IOrrelData2* data, OrrelDraw::SPIRO_DataPaneView* view, const SpConfig* settings);
    // Gives the flow calculations it handed the proposed noise clamp their own settings back:
    // the document applies the clamp itself once the user confirms.
    ~SPPreview() override;

    // Shows what the host's data view shows: its record, from its left edge, at its zoom.
    void SetupWindow(int flag);
    void Update(int flowChannel, int volumeChannel, double detectionFactor, bool recreate);

    void Recreate(bool) override;
    void AutoScaleY(ExtLib::ESide side, ChannelYDataRange* range) override;
    void SetY(ExtLib::ESide side, ChannelYDataRange range) override;

    // Sets the formula of each virtual channel whose formula or units differ from the last ones.
    void SetChannelCalcs(const SPPreviewState& state, const KVD::String& units, IOrrelData2* data);
    // Locks the scales of the sides to the chosen flow unit prefix.
    void LockUnitsPrefix(bool left, bool right);
    void GetPPUnits(const KVD::String& units, UnitPrefix prefix, KVD::String& outUnits, UnitPrefix& outPrefix) const;

    // The detection factor as formula text: the shortest text that reads back as the same
    // number, in the classic locale.
    static KVD::String FactorText(double factor);
    // SPEEVol(SpVol(<volume>), SPEEFlow(<flow>, <factor>)).
    static KVD::String Expression(TChannelId flow, TChannelId volume, double factor);

    const SPPreviewState& State() const { return mState; }
    TChannelId FirstVirtualChannel() const { return mFirstVirtual; }
    TChannelId SecondVirtualChannel() const { return mSecondVirtual; }
    // The record shown; kNoRecord before SetupWindow.
    static constexpr int kNoRecord = 0x7FFFFFFF;
    int Record() const { return mRecord; }

private:
    TChannelId FlowId() const;
    TChannelId VolumeId() const;
    void HandOverNoiseClamp(IOrrelData2* data);
    void AddDrawers(const SPPreviewState& state, const KVD::String& flowUnits, IOrrelData2* data);

    double mDetectionFactor = 1.0;
    bool mRecreate = true;
    int mFlowChannel = 0;
    int mVolumeChannel = 0;
    int mRecord = kNoRecord;
    SPPreviewState mState;
    KVD::String mUnits;
    TChannelId mFirstVirtual;
    TChannelId mSecondVirtual;
    bool mFlowUnitsKnown = false;
    const SpConfig* mSettings;  // not owned
    // The settings each flow calculation had before the preview handed it the clamp.
    std::map<int, KVD::COMPtr<IPersistObject>> mOriginalFlowSettings;
};

}  // namespace Spirometry
