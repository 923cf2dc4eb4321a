// A plot view of one data source against another: it builds the two sources, registers the
// clickable plot, keeps the ranges and sends the markup by the update flags itself, and hands
// clicked points to the derived view.
#pragma once

#include "IEnumFloatEx.h"
#include "plot/ChannelUnitsRange.h"
#include "plot/LumoViewSingle.h"

namespace KVD {

class LumoViewXY : public LumoViewSingle {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    // The draw type whose data change redraws from the end.
    static constexpr int kDrawFromEnd = 2;
    static constexpr int kWholeData = 2147483647;

    LumoViewXY(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document, NSBundle* bundle);
    ~LumoViewXY() override;

    // Sources, data change, ranges (kept where unset, kept, rescaled) and markup, in that order.
    void UpdatePlots(uint32_t flags) override;
    void EvPointClicked(const wchar_t* dataId, const wchar_t* label, bool select);

    virtual String GetMarkup() const = 0;
    virtual void GetScaleRanges(ChannelYDataRange& x, ChannelYDataRange& y) const = 0;
    virtual String GetEnumXId() const = 0;
    virtual String GetEnumYId() const = 0;
    virtual int GetDrawType() const = 0;
    virtual void CreateEnum(const String& xId, const String& yId, IEnumFloatEx** x, IEnumFloatEx** y) = 0;
    virtual void DoPointClicked(const wchar_t* dataId, const wchar_t* label, bool select) = 0;

    IEnumFloatEx* GetXSource() const { return mX; }
    IEnumFloatEx* GetYSource() const { return mY; }

private:
    void RebuildSources();
    void ApplyRanges(bool userRescale, bool onlyIfUnset);

    COMPtr<IEnumFloatEx> mX;
    COMPtr<IEnumFloatEx> mY;
    ChannelYDataRange mXRange;
    ChannelYDataRange mYRange;
};

}  // namespace KVD
