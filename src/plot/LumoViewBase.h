// The base of every plot document view: a host document view whose content is one or two plot
// pages. It makes the window through the derived view's window controller, answers the copy,
// print and print-preview messages and the window's minimum size, turns update kinds into
// update flags, and writes the document's trace and graticule colours as markup colours.
#pragma once

#include <cstdint>

#include "IOrrelDocument.h"
#include "KVDTypes.h"
#include "WindowTypes.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "framework/ResponseTable.h"
#include "framework/ViewBase.h"

namespace Web {
struct WebFrame;
}

namespace KVD {

// The smallest size of a plot view's window.
inline constexpr tagSIZE kMinViewSize{300, 200};

// Update flags: what a plot update does.
enum LumoUpdateFlags : uint32_t {
    kUpdateSources = 0x01,      // rebuild the data sources
    kUpdateRangesIfUnset = 0x02,  // keep the ranges where none are kept
    kUpdateRanges = 0x04,       // keep the ranges
    kUpdateRescale = 0x08,      // apply the ranges as the user's rescale
    kUpdateMarkup = 0x10,       // send the markup
    kUpdateData = 0x20,         // the data changed
};

class LumoViewBase : public ViewBase {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    LumoViewBase(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document, NSBundle* bundle);

    // Observes the plots' events and gives each plot its persistence key.
    void SetupWindow() override;
    void CleanupWindow() override { CleanupWindowController(); }
    // The window record of the window controller's window; all zero when none could be made.
    HWND Create() override;
    bool CanPrint() const override { return true; }
    bool CanCopyToClipboard() override { return true; }
    bool CanPrintPreview() const override { return false; }

    // A frame of a plot page has loaded.
    virtual void OnLoad(const Web::WebFrame& frame) = 0;
    virtual SPIRO_KVDDocViewWindowController* GetWindowController() const = 0;
    virtual String GetViewName() const = 0;
    virtual bool CreateWindowController() = 0;
    virtual void CleanupWindowController() = 0;
    // Ors the flags of the update kind into flags; kinds 0 and 2 start and end sampling.
    virtual void SetUpdateFlags(uint32_t kind, uint32_t& flags);
    virtual void UpdatePlots(uint32_t flags) = 0;
    virtual void ObservePlotEvents() = 0;
    virtual void SetPlotIdentifiers() = 0;
    virtual void DoViewCopy() = 0;
    virtual void DoViewPrint() = 0;

    // Whether the document samples live data now.
    bool IsSampling() const;
    // Whether the last update kinds said the document samples.
    bool SamplingFlag() const { return mSampling; }
    // "#rrggbbaa": the channel's trace colour at the opacity.
    String GetTraceColour(TChannelId channel, double opacity) const;
    // "#rrggbbff": the graticule colour.
    String GetGraticuleColour() const;
    IAutoOrrelDoc* GetAutoDocument() const { return mAutoDocument; }

    void EvUpdatePlots(uint32_t kind);
    // Counts the updates the view has made, whatever asked for them.
    unsigned UpdateCount() const { return mUpdates; }
    void EvChannelDisplayInfoChanged(uint32_t);
    void OnSizing(unsigned int edge, const tagRECT* rect, tagSIZE* size);
    bool HmViewCopy();
    bool HmViewPrint();
    bool HmViewPrintPreview() { return true; }

private:
    COMPtr<IChannelDisplaySettings2> DisplaySettings() const;

    COMPtr<IAutoOrrelDoc, COMWeak> mAutoDocument;
    bool mSampling = false;
    unsigned mUpdates = 0;
};

}  // namespace KVD
