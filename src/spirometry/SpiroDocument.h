// The spirometry document: a child document of the host's data document. It finds the
// channels that carry the spirometry flow and volume calculations (or plain channels in flow
// and volume units), decides whether the selection can be analysed and why not, keeps the
// document's settings and the calculations' settings it shows, pushes settings changes into the
// host's calculations, runs breath detection for its views and writes the CSV report.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "HWND.h"
#include "IPersistObject.h"
#include "ISpiroDocument.h"
#include "foundation/ArrayCtor.h"
#include "foundation/KVDString.h"
#include "framework/CAFCommand.h"
#include "framework/CmdEnabler.h"
#include "framework/OrrelChildDocument.h"
#include "framework/ResponseTable.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/Settings.h"
#include "spirometry/SpiroMachine.h"

namespace Spirometry {

class SpiroDocument : public ISpiroDocInterface,
                      public ISpiroDocument,
                      public OrrelChildDocument,
                      public SpiroMachine::Document {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    static constexpr double kDefaultDeadSpace = 400.0;  // mL
    static constexpr double kMinDeadSpace = 0.0;
    static constexpr double kMaxDeadSpace = 10000.0;
    static constexpr double kDefaultVolRatio = 1.0;
    static constexpr double kMinVolRatio = 0.01;
    static constexpr double kMaxVolRatio = 10.0;

    SpiroDocument(IDocManager* manager, IDocumentSite* site, ICustomDocClass* cls, unsigned int flags);
    ~SpiroDocument() override;

    KVD_BEGIN_INTERFACE_MAP(SpiroDocument)
        KVD_INTERFACE_ENTRY(ISpiroDocInterface)
        KVD_INTERFACE_ENTRY(ISpiroDocument)
        KVD_INTERFACE_ENTRY_CHAIN(CAFDocument)
    KVD_END_INTERFACE_MAP()
    uint32_t AddRef() override { return CAFDocument::AddRef(); }
    uint32_t Release() override { return CAFDocument::Release(); }
    KVD_IMPLEMENT_QUERYINTERFACE()

    // The "Spirometry" menu of the document class.
    static void GetCommands(CAFCommandGroup& group);

    // Selection, channels and calculation settings.
    HRESULT OnSelectionChanged();
    void FindStartEnd();
    void FindChannels();
    bool DetermineValidSelection(bool multiRecord, KVD::String* reason);
    // Pulls the calculation's settings into the document's fields, or pushes them into the host's
    // calculation; KVD_E_BADSTATE when the channel has no spirometry calculation.
    HRESULT UpdateSpChannelSettings(int channel, bool push);
    // Hands the document's clamping and flow unit prefix to the channel's calculation.
    void updateChannelSettingsForMessage(int channel);
    HRESULT updateChannelSettingsInRegistrar(IPersistObject* settings, int channel, TCAFId calcTypeId);

    // Persistence of the settings.
    HRESULT GetPersistDocPart(PSDPDocumentPart part, unsigned long index, uint32_t* flags,
                              IUnknown** persist) override;
    void CreatePersistSettings();

    // Commands, messages and events.
    void OnDocumentCreationComplete(IDocument* a, IDocument* b);
    void OnOrrelDataModified();
    void OnHostSelectionChanged()
    {
        Guarded(KVD_E_BADSTATE, [this] { return OnSelectionChanged(); });
    }
    void CmSettingsDlg();
    void CmOpenXYView();
    void CmOpenDataView();
    void CmOpenReportView();
    void CeSettingsDlg(CmdEnabler& enabler) { enabler.Enable(true); }
    void CeOpenXYView(CmdEnabler& enabler) { enabler.Enable(true); }
    void CeOpenDataView(CmdEnabler& enabler) { enabler.Enable(true); }
    void CeOpenReportView(CmdEnabler& enabler) { enabler.Enable(true); }
    bool HmSettingsDlg();
    bool HmSpiroSettingsChange(double threshold, double factor, bool nonForced, int flowChannel, int volumeChannel);
    // The one place where the document's settings change.
    bool HmSpiroSettings2Change(double threshold, double factor, bool nonForced, int flowChannel, int volumeChannel,
                                int prefix, double clampLevel, bool clampOn);

    // ISpiroDocument
    HRESULT SetFlowHead(int head) override;
    HRESULT SetCustomConst(double scale) override;
    HRESULT SetUsingCustom(AutoBool custom) override;
    HRESULT SetUseDriftCorr(AutoBool drift) override;
    HRESULT SetApplyNLC(AutoBool compensate) override;
    HRESULT GetFlowHead(int* head) const override;
    HRESULT GetCustomConst(double* scale) const override;
    HRESULT GetUsingCustom(AutoBool* custom) const override;
    HRESULT GetUseDriftCorr(AutoBool* drift) const override;
    HRESULT GetApplyNLC(AutoBool* compensate) const override;
    HRESULT SetWarmDeadSpaceAir(double millilitres) override;
    HRESULT SetUseVolCorr(AutoBool use) override;
    HRESULT SetVolRatio(double ratio) override;
    HRESULT GetWarmDeadSpaceAir(double* millilitres) const override;
    HRESULT GetUseVolCorr(AutoBool* use) const override;
    HRESULT GetVolRatio(double* ratio) const override;
    HRESULT GetCalcVolRatio(double* ratio) const override;
    HRESULT GetVolRatioLimits(double* low, double* high) const override;
    HRESULT GetVolRatioDefault(double* ratio) const override;
    HRESULT GetDeadSpaceLimits(double* low, double* high) const override;
    HRESULT GetDeadSpaceDefault(double* millilitres) const override;
    HRESULT SetCycleDetectionFactor(double percent) override;
    HRESULT SetForcedExpirationThreshold(double multiple) override;
    HRESULT SetNonForcedInReport(AutoBool listed) override;
    HRESULT GetCycleDetectionFactor(double* percent) const override;
    HRESULT GetForcedExpirationThreshold(double* multiple) const override;
    HRESULT GetNonForcedInReport(AutoBool* listed) const override;
    HRESULT SetRawFlowChan(int channel) override;
    HRESULT GetRawFlowChan(int* channel) const override;
    HRESULT SetSpFlowChan(int channel) override;
    HRESULT GetSpFlowChan(int* channel) const override;
    HRESULT SetSpFlowCalcChan(int channel) override;
    HRESULT SetSpVolCalcChan(int channel) override;
    HRESULT GetSpFlowCalcChan(int* channel) const override;
    HRESULT GetSpVolCalcChan(int* channel) const override;
    HRESULT GetFlowCalcChanList(int* count, int** list) const override;
    HRESULT GetVolCalcChanList(int* count, int** list) const override;

    // What the views and the report ask.
    // Runs breath detection over the selection when it is due (changed) and, unless forced,
    // when a view of the document is open.
    void FigureSpiroFactsAndFigures(bool force, bool redetect);
    // The chosen check's result; a valid selection in which no breath is found is not valid.
    bool ValidSelection(bool multiRecord, bool redetect, KVD::String* reason);
    int TicksPerSecondAt(KVDPosition position) const;
    // The exact rate, for durations: rounding it to whole ticks per second made times wrong at
    // rates that are not whole numbers (20 % at 2.5 Hz).
    double TickRateAt(KVDPosition position) const;
    int64_t TicksBetween(KVDPosition a, KVDPosition b) const;
    int64_t TotalTicks() const;
    // One sample of the flow and of the volume channel (each when asked for); false beyond the
    // position's record.
    bool DataAt(KVDPosition position, float* flow, float* volume, bool mode) const;
    bool DataAtRelative(KVDPosition position, double seconds, float* flow, float* volume, bool mode) const;
    // The position the seconds after position (whole ticks, truncated), in its record; false
    // where no position can lie.
    bool PositionAfter(KVDPosition position, double seconds, KVDPosition& after) const;
    // (high, low) of the channel's data over the analysed span, with 15 % margins.
    std::pair<double, double> FlowRange() const;
    std::pair<double, double> VolumeRange() const;
    // (maximum, minimum) of the channel's data between the positions.
    std::pair<double, double> YRange(uint32_t blockType, int channel, KVDPosition from, KVDPosition to) const;
    // The span the breaths cover, or the selection when there are none.
    std::pair<KVDPosition, KVDPosition> AnalysedSpan() const;
    // Raised after every settings change; the views redraw on it.
    static TCAFId GetSettingsChangedEventId();

    // Writes the report of the selection as delimited text: 0, 0xF8008011 when the selection
    // cannot be reported (the file holds the reason), KVD_E_BADSTATE when the file cannot be
    // written.
    HRESULT WriteTheReportInCSV(const KVD::String& path);

    // What breath detection reads: the raw flow channel, and the scale that turns its values
    // into flow (the custom constant, or the flow head's own when no custom constant is used).
    int32_t GetRawFlowChannel() const override { return mRawFlowChannel; }
    double GetCustomConstant() const override;

    const SpConfig& Config() const { return *mSettings; }
    Settings& GetSettings() { return *mSettings; }
    SpiroMachine& Machine() { return *mMachine; }
    const SpiroMachine& Machine() const { return *mMachine; }
    const std::vector<int>& FlowChannels() const { return mFlowCalcChannels; }
    const std::vector<int>& VolumeChannels() const { return mVolCalcChannels; }
    // The channels with their titles; the one entry "none found" (no channel) when empty.
    std::vector<ChannelAssoc> ChannelSet(const std::vector<int>& channels) const;
    KVDPosition SelectionStart() const { return mSelStart; }
    KVDPosition SelectionEnd() const { return mSelEnd; }
    bool IsChanged() const { return mChanged; }
    const std::vector<int>& OfferedFlowUnitPrefixes() const { return mFlowUnitPrefixes; }

private:
    // The current SpConfig with one field replaced, through the settings handler; the flow unit
    // prefix and clamping stay as they are.
    void ChangeSettings(SpConfig config);
    // Replaces one field of the current SpConfig through ChangeSettings.
    template <class T, class V>
    HRESULT ChangeSetting(T SpConfig::*field, V value)
    {
        SpConfig c = Config();
        c.*field = static_cast<T>(value);
        ChangeSettings(c);
        return KVD_S_OK;
    }
    // The host reaches the document through COM faces only: nothing may leave them as an
    // exception. What fails inside answers failed.
    template <class R, class F>
    static R Guarded(R failed, F&& f) noexcept
    {
        try {
            return f();
        } catch (...) {
            return failed;
        }
    }
    HRESULT PushFlow()
    {
        return Guarded(KVD_E_BADSTATE, [this] { return UpdateSpChannelSettings(Config().mSpFlowCalcChan, true); });
    }
    HRESULT PushVolume()
    {
        return Guarded(KVD_E_BADSTATE, [this] { return UpdateSpChannelSettings(Config().mSpVolCalcChan, true); });
    }
    bool AnyViewOpen() const;

    std::vector<int> mFlowUnitPrefixes{SpConfig::kNoPrefix, SpConfig::kMilliPrefix, SpConfig::kMicroPrefix};
    HWND mMainWindow{};  // asked of the application once, by the settings command
    bool mMultiRecordValid = false;
    bool mSingleRecordValid = false;
    KVD::String mMultiRecordReason;
    KVD::String mSingleRecordReason;
    int mFlowHead = 0;
    double mWarmDeadSpaceAir = kDefaultDeadSpace;
    int mRawFlowChannel = 0;
    int mSpFlowChannel = 0;
    double mCustomConst = 1.0;
    double mVolRatio = kDefaultVolRatio;
    double mCalcVolRatio = 1.0;
    bool mUsingCustom = false;
    bool mDriftCorrection = false;
    bool mApplyNLC = false;
    bool mUseVolCorr = false;
    bool mVolumeReset = false;
    int32_t mVolCorrectionMethod = 0;
    std::vector<int> mFlowCalcChannels;
    std::vector<int> mVolCalcChannels;
    KVDPosition mSelStart{0x7FFFFFFF, 0x7FFFFFFF};
    KVDPosition mSelEnd{0x7FFFFFFF, 0x7FFFFFFF};
    bool mChanged = true;
    bool mDataModified = false;  // the next detection runs again whatever it ran on last
    Settings* mSettings;  // one reference
    std::unique_ptr<SpiroMachine> mMachine;
};

// The candidate channels the settings dialog offers.
namespace DlgCommon {
std::vector<ChannelAssoc> GetFlowChannelSet(const SpiroDocument* document);
std::vector<ChannelAssoc> GetVolumeChannelSet(const SpiroDocument* document);
}  // namespace DlgCommon

}  // namespace Spirometry
