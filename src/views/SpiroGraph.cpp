#include "views/SpiroGraph.h"

#include <cmath>

#include "spirometry/Breath.h"
#include "spirometry/ForcedExpiration.h"
#include "spirometry/SpiroDocument.h"

namespace Spirometry {

namespace {

// Components are 8-bit levels times 255.
constexpr uint16_t Level(int eightBit) { return uint16_t(eightBit * 255); }

TColor WithAlpha(TColor colour, float alpha)
{
    colour.alpha = alpha;
    return colour;
}

// The arrowheads' and ticks' length, and the labels' distance from their tick.
constexpr int kTick = 3;
constexpr int kLabelGap = 2;
constexpr int kOverhang = 4;
constexpr int kSecondsLabelRaise = 10;

// Vertical lines across the rectangle, given left to right. A line is left out when it stands
// less than SpiroGraph::kLineGap units right of the last one drawn, so that a column is inked
// once: where many breaths share a few columns, their half-alpha lines would otherwise stack
// into an opaque field over the traces. Breaths that lie apart keep all their lines.
class SpacedVerticalLines {
public:
    SpacedVerticalLines(TDC& dc, const TRect& rect) : mDC(dc), mRect(rect) {}

    void Draw(int x)
    {
        if (mDrawn && x - mLast < SpiroGraph::kLineGap)
            return;
        mDC.MoveTo(x, mRect.top);
        mDC.LineTo(x, mRect.bottom);
        mLast = x;
        mDrawn = true;
    }

private:
    TDC& mDC;
    const TRect& mRect;
    int mLast = 0;
    bool mDrawn = false;
};

}  // namespace

const TColor SpiroGraph::VeryLightGreyColor(Level(245), Level(245), Level(245));
const TColor SpiroGraph::LightGreyColor(Level(220), Level(220), Level(220));
const TColor SpiroGraph::GreyColor(Level(150), Level(150), Level(150));
const TColor SpiroGraph::DarkGreyColor(Level(100), Level(100), Level(100));
const TPen SpiroGraph::LightGreyPen(SpiroGraph::LightGreyColor);
const TPen SpiroGraph::GreyPen(SpiroGraph::GreyColor);
const TPen SpiroGraph::GreenPen(TColor(0, Level(200), 0));
const TPen SpiroGraph::BluePen(TColor(0, 0, Level(255)));
const TPen SpiroGraph::BlackPen(TColor(0, 0, 0));
const TPen SpiroGraph::RedPen(TColor(Level(255), 0, 0));

KVDPosition SpiroGraph::Landmark(const Breath& breath, int index)
{
    const KVDPosition Breath::*const kLandmarks[] = {&Breath::start,          &Breath::end,
                                                     &Breath::maxVolumePos,   &Breath::minVolumePos,
                                                     &Breath::peakPositiveFlowPos, &Breath::peakNegativeFlowPos,
                                                     &Breath::reversalPos};
    return breath.*kLandmarks[index];
}

float SpiroGraph::FlowAt(const KVDPosition& position) const
{
    float flow = 0.0f;
    mDocument->DataAt(position, &flow, nullptr, false);
    return flow;
}

float SpiroGraph::VolumeAt(const KVDPosition& position) const
{
    float volume = 0.0f;
    mDocument->DataAt(position, nullptr, &volume, false);
    return volume;
}

void SpiroGraph::DrawData(TDC& dc, const TRect& rect, const TRect& clip)
{
    constexpr double kStandardPoints = 11;
    if (mTextScale == 1.0)
        dc.SelectObject(OrrelFont(dc, 0, 0, false, false, L""));
    else
        dc.SelectObject(TFont(kStandardPoints * mTextScale));
    dc.IntersectClipRect(clip);
    const int width = rect.right - rect.left;
    mTicksPerPixel = width != 0 ? double(mDocument->TotalTicks() - 1) / width : 0.0;
    DrawUnderData(dc, rect, clip);
    DrawOverData(dc, rect, clip);
}

void SpiroGraph::DrawUnderData(TDC& dc, const TRect& rect, const TRect&)
{
    dc.SelectObject(TPen(WithAlpha(DarkGreyColor, 0.5f)));
    const TBrush shade(WithAlpha(DarkGreyColor, 0.25f));
    const BreathList& breaths = mDocument->Machine().Breaths();
    SpacedVerticalLines lines(dc, rect);
    for (unsigned i = 0; i < breaths.GetCount(); ++i) {
        const Breath& breath = *breaths[i];
        const int x0 = rect.left + XPFor(Landmark(breath, 0));
        const int x1 = rect.left + XPFor(Landmark(breath, 1));
        // A fill covers the columns from x0 up to x1, and breaths do not overlap: no column is
        // shaded twice, however crowded.
        if (breath.forced || breath.excluded)
            dc.FillRect(x0, rect.top, x1, rect.bottom, shade);
        lines.Draw(x0);
        lines.Draw(x1);
    }
    const int zero = int(rect.top + ValueToPix(0.0));
    dc.MoveTo(rect.left, zero);
    dc.LineTo(rect.right, zero);
}

void SpiroGraph::ArrowsAndVerticalLine(TDC& dc, int x, int yA, int yB, int gap)
{
    const int mid = (yA + yB) / 2;
    const int half = gap / 2;
    dc.MoveTo(x, yA);
    dc.LineTo(x, mid - half);
    dc.MoveTo(x, yB);
    dc.LineTo(x, mid + half);
    for (int side : {-2, 2}) {
        dc.MoveTo(x, yA + 1);
        dc.LineTo(x + side, yA + 3);
        dc.MoveTo(x, yB - 1);
        dc.LineTo(x + side, yB - 3);
    }
}

void SpiroGraph::ArrowsAndHorizontalLine(TDC& dc, int y, int xA, int xB)
{
    dc.MoveTo(xA, y);
    dc.LineTo(xB, y);
    for (int side : {-2, 2}) {
        dc.MoveTo(xA, y);
        dc.LineTo(xA + 2, y + side);
        dc.MoveTo(xB, y);
        dc.LineTo(xB - 2, y + side);
    }
}

KVDPosition SpiroGraphMac::PixToPos(double px) const
{
    const double t = PixToTime(px);
    const KVDPosition origin = mDocument->AnalysedSpan().first;
    const double tick = std::trunc(mDocument->TicksPerSecondAt(origin) * t + 0.5);
    return KVDPosition{tick > 0.0 ? uint32_t(tick) : 0u, origin.record};
}

int SpiroGraphMac::XPFor(const KVDPosition& position) const
{
    const int tps = mDocument->TicksPerSecondAt(position);
    if (tps <= 0 || mX.factor == 0.0)
        return 0;
    return int((double(position.tick) / tps - mX.offset) / mX.factor);
}

template <class Base>
void SpiroFlowGraph<Base>::DrawUnderData(TDC& dc, const TRect& rect, const TRect& clip)
{
    Base::DrawUnderData(dc, rect, clip);
    dc.SelectObject(TPen(WithAlpha(SpiroGraph::GreyColor, 0.5f)));
    const BreathList& breaths = this->mDocument->Machine().Breaths();
    SpacedVerticalLines lines(dc, rect);
    for (unsigned i = 0; i < breaths.GetCount(); ++i)
        lines.Draw(rect.left + this->XPFor(SpiroGraph::Landmark(*breaths[i], 6)));
}

template <class Base>
void SpiroFlowGraph<Base>::DrawOverData(TDC& dc, const TRect& rect, const TRect&)
{
    const unsigned saved = dc.GetTextAlign();
    dc.SetTextAlign(0);
    const BreathList& breaths = this->mDocument->Machine().Breaths();
    for (unsigned i = 0; i < breaths.GetCount(); ++i) {
        const Breath& breath = *breaths[i];
        if (!breath.forced && !breath.excluded)
            continue;
        dc.SetBkColor(SpiroGraph::VeryLightGreyColor);
        const KVDPosition pef = SpiroGraph::Landmark(breath, 5);
        int x = rect.left + this->XPFor(pef);
        int y = int(rect.top + this->ValueToPix(this->FlowAt(pef)));
        dc.SelectObject(SpiroGraph::BluePen);
        dc.MoveTo(x, y);
        dc.LineTo(x, y + kTick);
        dc.SetTextAlign(0);
        dc.TextOut(x, y + kLabelGap, L"PEF", -1);
        if (breath.excluded)
            continue;
        const KVDPosition pif = SpiroGraph::Landmark(breath, 4);
        x = rect.left + this->XPFor(pif);
        y = int(rect.top + this->ValueToPix(this->FlowAt(pif)));
        dc.MoveTo(x, y);
        dc.LineTo(x, y - kTick);
        dc.SetTextAlign(kTextAlignBottom);
        dc.TextOut(x, y - kLabelGap, L"PIF", -1);
    }
    dc.SetTextAlign(saved);
}

template <class Base>
void SpiroVolumeGraph<Base>::DrawOverData(TDC& dc, const TRect& rect, const TRect& clip)
{
    DoDrawOverData(dc, rect, clip, 1.0f, true, L"1 s");
}

template <class Base>
void SpiroVolumeGraph<Base>::DoDrawOverData(TDC& dc, const TRect& rect, const TRect&, float seconds, bool labels,
                                            const wchar_t* secondsText)
{
    const TSize eFEV = dc.GetTextExtent(L"FEV", 3);
    const TSize eFVC = dc.GetTextExtent(L"FVC", 3);
    const BreathList& breaths = this->mDocument->Machine().Breaths();
    for (unsigned i = 0; i < breaths.GetCount(); ++i) {
        const Breath& breath = *breaths[i];
        if (!breath.excluded && !breath.forced)
            continue;
        // From the highest volume down to what is left after the seconds, which run from the
        // expiration's time zero, as the reports read FEV1.
        const KVDPosition p0 = SpiroGraph::Landmark(breath, 2);
        const ForcedExpiration timed = ForcedExpiration::Of(*this->mDocument, breath, seconds);
        const bool has1s = timed.read;
        const KVDPosition p2 = SpiroGraph::Landmark(breath, 3);
        const float vol0 = this->VolumeAt(p0), vol2 = this->VolumeAt(p2);
        const double vol1 = breath.maxVolume - timed.volume;
        const int x0 = rect.left + this->XPFor(timed.timeZero), y0 = int(this->ValueToPix(vol0) + rect.top);
        const int x1 = rect.left + this->XPFor(timed.timed), y1 = int(this->ValueToPix(vol1) + rect.top);
        const int x2 = rect.left + this->XPFor(p2), y2 = int(this->ValueToPix(vol2) + rect.top);
        dc.SetBkColor(SpiroGraph::VeryLightGreyColor);
        dc.SetTextColor(TColor::Black);
        dc.SetTextAlign(0);
        const bool layoutA = breath.excluded;
        const int fevX = layoutA ? x1 : x0;
        if (has1s) {
            dc.SelectObject(SpiroGraph::BluePen);
            if (layoutA) {
                dc.MoveTo(x0, y0);
                dc.LineTo(x0, y1);
            }
            SpiroGraph::ArrowsAndVerticalLine(dc, fevX, y0, y1 + 1, eFEV.cy + 4);
            dc.SetTextAlign(kTextAlignCentre);
            dc.TextOut((x0 + x1) / 2, labels ? y1 : y1 - kSecondsLabelRaise, secondsText, -1);
            dc.SetTextAlign(0);
            SpiroGraph::ArrowsAndHorizontalLine(dc, y1, x0, x1);
            if (labels) {
                const int m = (y0 + y1) / 2 - 2 - eFEV.cy / 2;
                dc.TextOut(fevX - eFEV.cx / 2, m, L"FEV", -1);
                if (layoutA)
                    dc.TextOut(x1 + eFEV.cx / 2, int(m + 0.4 * eFEV.cy), L"1", -1);
            }
        }
        const int xL = layoutA ? x2 : x0 - int(1.25 * eFEV.cx);
        if (layoutA) {
            dc.MoveTo(x0, y0);
            dc.LineTo(x2 + kOverhang, y0);
            dc.MoveTo(x2 + kOverhang, y2);
            dc.LineTo(x2, y2);
        } else {
            dc.MoveTo(x0, y0);
            dc.LineTo(xL - kOverhang, y0);
            dc.MoveTo(xL - kOverhang, y2);
            dc.LineTo(x2, y2);
        }
        SpiroGraph::ArrowsAndVerticalLine(dc, xL, y0, y2, eFVC.cy + 4);
        dc.TextOut(xL - eFVC.cx / 2, (y0 + y2) / 2 - 2 - eFVC.cy / 2, L"FVC", -1);
    }
}

template class SpiroFlowGraph<SpiroGraphMac>;
template class SpiroVolumeGraph<SpiroGraphMac>;

}  // namespace Spirometry
