// Plot document views with one plot and with two: each plot's events reach the view, each plot
// gets its persistence key, and a loaded page gets its plot object and the first update.
#pragma once

#include "plot/LumoPlotMac.h"
#include "plot/LumoViewBase.h"

namespace KVD {

class LumoViewSingle : public LumoViewBase {
public:
    LumoViewSingle(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document,
                   NSBundle* bundle);

    // The plot object, then the update of a sampling or a still document.
    void OnLoad(const Web::WebFrame& frame) override;
    void ObservePlotEvents() override;
    void SetPlotIdentifiers() override;
    // The plot's copy and print jobs; their outcome is theirs.
    void DoViewCopy() override;
    void DoViewPrint() override;
    // The plot's persistence key.
    virtual String GetPlotId() const = 0;

    LumoPlotMac& GetPlot() { return mPlot; }

private:
    LumoPlotMac mPlot;
};

class LumoViewDouble : public LumoViewBase {
public:
    LumoViewDouble(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document,
                   NSBundle* bundle);
    ~LumoViewDouble() override;

    // The plot objects of the plots whose page the frame is of, then one update.
    void OnLoad(const Web::WebFrame& frame) override;
    void ObservePlotEvents() override;
    void SetPlotIdentifiers() override;
    // Printing and copying both plots is the derived view's.
    void DoViewCopy() override {}
    void DoViewPrint() override {}
    virtual String GetPlotId1() const = 0;
    virtual String GetPlotId2() const = 0;

    LumoPlotMac& GetPlot1() { return *mPlot1; }
    LumoPlotMac& GetPlot2() { return *mPlot2; }

private:
    std::unique_ptr<LumoPlotMac> mPlot1;
    std::unique_ptr<LumoPlotMac> mPlot2;
    unsigned mUpdatesAtLoad = ~0u;  // the view's update count after the last page load's update
};

}  // namespace KVD
