#include "plot/LumoViewXY.h"

#include "plot/LumoIds.h"

namespace KVD {
namespace {

typedef LumoEventId<kLumoMouseClick> PointClickedEventId;

}  // namespace

CAF_DEFINE_RESPONSE_TABLE(LumoViewXY, LumoViewBase) = {
    TableHeader(),
    ResponseTable::Event<LumoViewXY>(&PointClickedEventId::GetId, &LumoViewXY::EvPointClicked),
    TableEnd(),
};

LumoViewXY::LumoViewXY(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document,
                       NSBundle* bundle)
    : LumoViewSingle(parent, viewClass, docView, document, bundle)
{
}

LumoViewXY::~LumoViewXY()
{
    mY.Clear();
    mX.Clear();
}

void LumoViewXY::RebuildSources()
{
    const String xId = GetEnumXId(), yId = GetEnumYId();
    mX.Clear();
    mY.Clear();
    CreateEnum(xId, yId, mX.Set(), mY.Set());
    GetPlot().SetEnumSource(xId, mX);
    GetPlot().SetEnumSource(yId, mY);
    GetPlot().RegisterClickablePlot(yId, xId, GetPlotId(), PlotType::kXYPlot);
}

void LumoViewXY::ApplyRanges(bool userRescale, bool onlyIfUnset)
{
    GetScaleRanges(mXRange, mYRange);
    GetPlot().SetScaleRanges(mXRange, mYRange, userRescale, onlyIfUnset);
}

void LumoViewXY::UpdatePlots(uint32_t flags)
{
    if (flags & kUpdateSources)
        RebuildSources();
    if (flags & kUpdateData)
        GetPlot().PlotterDataChanged(GetPlotId(), GetDrawType() == kDrawFromEnd ? kWholeData : 0, kWholeData);
    if (flags & kUpdateRangesIfUnset)
        ApplyRanges(false, true);
    if (flags & kUpdateRanges)
        ApplyRanges(false, false);
    if (flags & kUpdateRescale)
        ApplyRanges(true, false);
    if (flags & kUpdateMarkup)
        GetPlot().SetMarkup(GetMarkup());
}

void LumoViewXY::EvPointClicked(const wchar_t* dataId, const wchar_t* label, bool select)
{
    DoPointClicked(dataId, label, select);
}

}  // namespace KVD
