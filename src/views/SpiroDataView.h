// The spirometry data view: the breaths of the analysed selection as two stacked time plots,
// flow above volume, each drawn from a sample source over the breath span with its own markup
// and scale ranges. Printing and copying put both plots on one page with their overlays.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "IEnumFloatEx.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "plot/ChannelUnitsRange.h"
#include "plot/LumoViewSingle.h"

class SpiroDataWindow;

namespace Spirometry {

class SpiroDocument;
class SpiroDataViewPrintJob;

class SpiroDataView : public KVD::LumoViewDouble {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    static const KVD::String kEnumFlowId;
    static const KVD::String kEnumVolumeId;
    // The host's "not enough data" answer of a source over an invalid selection.
    static constexpr HRESULT kNoSource = static_cast<HRESULT>(0xF800400A);

    SpiroDataView(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document,
                  NSBundle* bundle);
    ~SpiroDataView() override;

    static const KVD::String& GetStaticViewName();
    KVD::String GetViewName() const override { return GetStaticViewName(); }
    KVD::String Edit_CopyToClipboardMenuText() const override;
    KVD::String File_PrintMenuText() const override;
    KVD::String GetPlotId1() const override { return KVD::String(L"spirometry_flow_plot"); }
    KVD::String GetPlotId2() const override { return KVD::String(L"spirometry_volume_plot"); }

    // Observes the plots, then has the document detect its breaths afresh.
    void SetupWindow() override;
    void SetUpdateFlags(uint32_t reason, uint32_t& flags) override;
    void UpdatePlots(uint32_t flags) override;
    SPIRO_KVDDocViewWindowController* GetWindowController() const override;
    SpiroDataWindow* GetDataWindow() const { return mWindow.get(); }
    bool CreateWindowController() override;
    void CleanupWindowController() override;
    // A job of both plots' print SVGs, printed or copied once both pages have answered.
    void DoViewPrint() override;
    void DoViewCopy() override;

    bool FlowEnumIsValid() const { return mFlowSource != nullptr; }
    bool VolumeEnumIsValid() const { return mVolumeSource != nullptr; }
    // A float source of the channel over the breath span; kNoSource on an invalid selection.
    HRESULT CreateEnum(const KVD::String& id, int channel, IEnumFloatEx** out) const;
    bool GetFlowScaleRanges(ChannelYDataRange& x, ChannelYDataRange& y) const;
    bool GetVolumeScaleRanges(ChannelYDataRange& x, ChannelYDataRange& y) const;
    KVD::String GetFlowMarkup() const;
    KVD::String GetVolumeMarkup() const;
    // The channel's unit in the record of the breath span; with the flag, as the markup shows it.
    KVD::String GetUnitName(int channel, bool flag) const;
    KVD::String GetFlowLabel() const;
    KVD::String GetVolumeLabel() const;
    // " <label> at <time> s = <value> <unit>" in the channel's unit; empty without both numbers.
    KVD::String ReadoutText(bool flow, const double* value, const double* seconds) const;

    SpiroDocument* GetSpiroDocument() const { return mDocument; }

    void EvSelChanged() { EvUpdatePlots(kReasonChanged); }
    void EvDataChanged() { EvUpdatePlots(kReasonChanged); }
    void EvRedraw() { EvUpdatePlots(kReasonChanged); }

private:
    static constexpr uint32_t kReasonChanged = 4;

    void XRange(ChannelYDataRange& x) const;
    KVD::String Markup(bool flow) const;
    void UpdateSources();
    void UpdateRanges(bool userRescale, bool onlyIfUnset);
    void StartJob(bool copy);

    std::shared_ptr<SpiroDataWindow> mWindow;
    SpiroDocument* mDocument = nullptr;  // not owned: the host document holds it
    KVD::COMPtr<IEnumFloatEx> mFlowSource;
    KVD::COMPtr<IEnumFloatEx> mVolumeSource;
    // Print and copy jobs not known to be over: they point at the view, which abandons them.
    std::vector<KVD::COMPtr<SpiroDataViewPrintJob>> mJobs;
};

}  // namespace Spirometry
