// The flow-volume loop of the analysed breaths: one XY plot drawn as a line, volume across and
// flow up, over the span from the first breath's start to the last breath's end. The page asks
// for the two streams by their data ids; the document's selection, data and settings events
// redraw it.
#pragma once

#include <memory>

#include "foundation/KVDString.h"
#include "plot/LumoViewXY.h"

class SpiroLoopWindow;

namespace Spirometry {

class SpiroDocument;

class SpiroLoopView : public KVD::LumoViewXY {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    // The data ids the markup gives the x and the y data. Their names are the other way round
    // from the data; the page only hands them back, and the streams go by position.
    static const KVD::String kEnumXId;
    static const KVD::String kEnumYId;
    // The plot's id in the markup and its persistence key.
    static constexpr const wchar_t* kPlotId = L"spirometry_loop_view";

    // Detects the breaths afresh (forced).
    SpiroLoopView(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document, NSBundle* bundle);
    ~SpiroLoopView() override;

    static const KVD::String& GetStaticViewName();

    KVD::String Edit_CopyToClipboardMenuText() const override;
    KVD::String File_PrintMenuText() const override;
    SPIRO_KVDDocViewWindowController* GetWindowController() const override;
    KVD::String GetViewName() const override { return GetStaticViewName(); }
    bool CreateWindowController() override;
    void CleanupWindowController() override;
    // Reasons 4 and 6 rebuild the sources and send ranges and markup (0x15), 5 sends the
    // markup with new sources (0x11).
    void SetUpdateFlags(uint32_t kind, uint32_t& flags) override;

    KVD::String GetPlotId() const override { return KVD::String(kPlotId); }
    KVD::String GetMarkup() const override;
    // x: the volume range, y: the flow range, each with its margins.
    void GetScaleRanges(ChannelYDataRange& x, ChannelYDataRange& y) const override;
    KVD::String GetEnumXId() const override { return kEnumXId; }
    KVD::String GetEnumYId() const override { return kEnumYId; }
    int GetDrawType() const override { return kDrawFromEnd; }
    // The ids are not looked at: x is always volume, y flow.
    void CreateEnum(const KVD::String& xId, const KVD::String& yId, IEnumFloatEx** x, IEnumFloatEx** y) override;
    void DoPointClicked(const wchar_t*, const wchar_t*, bool) override {}

    // The streams of the analysed span: KVD_E_BADSTATE and none when the selection holds no
    // breath, else the host's answer (volume first).
    HRESULT CreateStreams(IEnumFloatEx** x, IEnumFloatEx** y);
    // "Ch n : Volume" for a chosen channel, else the bare text; likewise for flow.
    KVD::String GetVolumeLabel() const;
    KVD::String GetFlowLabel() const;
    // The unit name of the channel in the span's first record; empty when the record lacks it.
    KVD::String GetUnitName(int channel) const;

    void EvRedraw() { EvUpdatePlots(kRedrawReason); }
    SpiroDocument* GetSpiroDocument() const { return mSpiroDocument; }

private:
    static constexpr uint32_t kRedrawReason = 4;

    void ObserveOwnDocument(IDocument* document);

    std::shared_ptr<SpiroLoopWindow> mWindow;
    SpiroDocument* mSpiroDocument = nullptr;  // not owned
};

}  // namespace Spirometry
