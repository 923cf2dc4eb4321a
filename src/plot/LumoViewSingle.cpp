#include "plot/LumoViewSingle.h"

namespace KVD {

LumoViewSingle::LumoViewSingle(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document,
                               NSBundle* bundle)
    : LumoViewBase(parent, viewClass, docView, document, bundle), mPlot(GetAutoDocument(), true)
{
}

void LumoViewSingle::OnLoad(const Web::WebFrame&)
{
    mPlot.CreateJSPlotObject();
    EvUpdatePlots(IsSampling() ? 0 : 6);
}

void LumoViewSingle::ObservePlotEvents() { ObserveEvents(mPlot.GetSubject()); }

void LumoViewSingle::SetPlotIdentifiers() { mPlot.SetPlotId(GetPlotId()); }

void LumoViewSingle::DoViewCopy() { mPlot.CopyToClipboard(); }

void LumoViewSingle::DoViewPrint() { mPlot.CreatePrintJob(GetViewName()); }

LumoViewDouble::LumoViewDouble(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document,
                               NSBundle* bundle)
    : LumoViewBase(parent, viewClass, docView, document, bundle),
      mPlot1(std::make_unique<LumoPlotMac>(GetAutoDocument(), true)),
      mPlot2(std::make_unique<LumoPlotMac>(GetAutoDocument(), true))
{
}

LumoViewDouble::~LumoViewDouble()
{
    mPlot2.reset();
    mPlot1.reset();
}

void LumoViewDouble::OnLoad(const Web::WebFrame& frame)
{
    // The other plot has this very update from the last load already when no update came
    // since: it is not set up again with the same markup.
    const bool repeating = mUpdatesAtLoad == UpdateCount();
    for (LumoPlotMac* plot : {mPlot1.get(), mPlot2.get()}) {
        if (plot->OwnsWebFrame(frame))
            plot->CreateJSPlotObject();
        plot->SetRepeatingUpdate(repeating);
    }
    EvUpdatePlots(IsSampling() ? 0 : 6);
    for (LumoPlotMac* plot : {mPlot1.get(), mPlot2.get()})
        plot->SetRepeatingUpdate(false);
    mUpdatesAtLoad = UpdateCount();
}

void LumoViewDouble::ObservePlotEvents()
{
    ObserveEvents(mPlot1->GetSubject());
    ObserveEvents(mPlot2->GetSubject());
}

void LumoViewDouble::SetPlotIdentifiers()
{
    mPlot1->SetPlotId(GetPlotId1());
    mPlot2->SetPlotId(GetPlotId2());
}

}  // namespace KVD
