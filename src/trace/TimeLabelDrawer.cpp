#include "trace/TimeLabelDrawer.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "trace/DrawUtils.h"
#include "trace/GraticuleInfo.h"
#include "trace/TimeScale.h"

namespace OrrelDraw {
namespace {

constexpr int kMaxTicks = 999999;
// Pixels between a label and whatever lies beside it.
constexpr int kLabelGap = 2;

}  // namespace

TimeLabelDrawer::TimeLabelDrawer(TimeScale* scale)
    : DrawerBase(1, 0, TChannelId{-1, 0xC0000000}, kNoChannel), mScale(scale)
{
}

HRESULT TimeLabelDrawer::GetInfo(unsigned int, unsigned int* flags, int* left, int* right, TDC* dc) const
{
    const int half = mScale != nullptr ? mScale->LabelWidth(dc) / 2 : 0;
    if (flags != nullptr)
        *flags = 0;
    if (left != nullptr)
        *left = half;
    if (right != nullptr)
        *right = half;
    return KVD_S_OK;
}

HRESULT TimeLabelDrawer::GetUnitsName(long, int, IAutoKVDString** name, AutoBool*) const
{
    if (name != nullptr)
        *name = nullptr;
    return KVD_S_FALSE;
}

HRESULT TimeLabelDrawer::OnScalingChanged(long, unsigned int, const DataScaling*, IScale*)
{
    return KVD_S_FALSE;
}

HRESULT TimeLabelDrawer::GetRange(BlockDataType, long, KVDPosition, KVDPosition, ChannelYDataRange*) const
{
    return KVD_S_FALSE;
}

HRESULT TimeLabelDrawer::Revert(TOrrelDrawNeedsUpdateFlags)
{
    return KVD_S_OK;
}

HRESULT TimeLabelDrawer::Update(long long, long long, long long*)
{
    return KVD_S_FALSE;
}

HRESULT TimeLabelDrawer::Clone(OrrelDrawerFlags, IOrrelRecordDrawer** out) const
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    auto copy = KVD::MakeCounted<TimeLabelDrawer>(mScale);
    copy->mLabeler.SetTimeDisplayMode(mLabeler.GetMode().Get());
    *out = copy.Forget();
    return KVD_S_OK;
}

HRESULT TimeLabelDrawer::DrawInRecord(TDC& dc, long long start, long long end, TPixPosition pix, int x,
                                      const tagRECT* clip, OrrelDrawerDrawFlags, const GraticuleInfo* graticule,
                                      const KVDDataTimeInfo* time)
{
    const int width = int(end - start);
    const int top = GetDCTop();
    dc.FillRect(x, top, x + width, GetDCHeight(), TBrush(TColor::White));
    if (mPixMap == nullptr || graticule == nullptr || time == nullptr)
        return KVD_S_OK;
    double t = 0.0, s = 0.0;
    int64_t recordFirst = 0, recordEnd = 0;
    if (mPixMap->GetRecordPixels(pix.record, &recordFirst, &recordEnd) != KVD_S_OK ||
        mPixMap->GetRecordTiming(kPixMapColumnTime, pix.record, recordFirst + pix.pixel, &t, &s) != KVD_S_OK)
        return KVD_S_OK;
    static_cast<CGraticuleInfo&>(mLabeler) = *graticule;
    mLabeler.SetTimeDisplayMode(time->timeDisplayMode);
    mLabeler.SetTickPosSecs(t, *time, s, &dc);
    const double firstLabelX = mLabeler.GetFirstLabelX();
    if (!std::isfinite(firstLabelX) || !(mLabeler.minorSpacing > 0.0))
        return KVD_S_OK;

    int64_t nextFirst = 0, nextEnd = 0;
    const double limit = mPixMap->GetRecordPixels(pix.record + 1, &nextFirst, &nextEnd) == KVD_S_OK
                             ? double(nextFirst - recordFirst)
                             : std::ldexp(1.0, 63);

    // Labels lie whole within the pane (left of its units text) and the record's columns; the
    // record's first label, on its first column, starts there rather than reaching back over
    // the record before.
    const int recordStartX = x - int(pix.pixel);
    const TRect units = mScale != nullptr ? mScale->MillisecondsRect(dc, time->timeDisplayMode) : TRect();
    const int paneRight = units.IsNull() ? int(mPosition.right) : units.left;
    LabelArea area{std::max(int(mPosition.left), recordStartX),
                   std::min(paneRight, recordStartX + int(recordEnd - recordFirst)),
                   recordStartX >= mPosition.left ? recordStartX : std::numeric_limits<int>::min()};
    dc.SaveDC();
    dc.SelectObject(TPen(TColor::Black, 1, kPenSolid));
    dc.SetTextColor(TColor::Black);
    dc.SetBkColor(TColor::White);
    const double r = GetAnyReferenceDCPixelRatioY();
    const int majorLength = int(r), minorLength = int(r) / 2;
    const int labelTop = top + int(3.0 * r - 1.0);
    const int clipLeft = clip != nullptr ? clip->left : x, clipRight = clip != nullptr ? clip->right : x + width;
    std::vector<LabelSpan> drawn;
    for (int64_t k = -mLabeler.GetTicksBeforeFirstLabel(), n = 0; n < kMaxTicks; ++k, ++n) {
        const double tickX = double(k) * mLabeler.minorSpacing + firstLabelX;
        int xi = int(std::floor(tickX + 0.5)) - int(pix.pixel);
        if (xi >= width)
            break;
        bool major = false;
        const KVD::String label = mLabeler.AdvanceMinorTick(&major);
        if (tickX < -0.5)
            continue;
        xi += x;
        if (!label.empty() && xi >= x && xi < x + width) {
            const int w = dc.GetTextExtent(label.c_str(), -1).cx;
            const LabelSpan span = area.Place(xi, w);
            // A first label moved past its record's start may reach the next one: that one gives way.
            const bool clear = drawn.empty() || span.left >= drawn.back().right + kLabelGap;
            if (limit - tickX > w && span.right > span.left && clear) {
                dc.TextOut(span.centre, labelTop, label.c_str(), -1);
                drawn.push_back(span);
            }
        }
        if (xi >= clipLeft && xi < clipRight) {
            dc.MoveTo(xi, top);
            dc.LineTo(xi, top + (major ? majorLength : minorLength));
        }
    }
    dc.RestoreDC();
    if (mScale != nullptr && mScale->GetOwner() != nullptr && mScale->GetOwner()->ShowsRecordNumbers())
        DrawRecordNumber(dc, pix, x, drawn, paneRight);
    return KVD_S_OK;
}

TimeLabelDrawer::LabelSpan TimeLabelDrawer::LabelArea::Place(int tickX, int width) const
{
    LabelSpan span{tickX - width / 2, tickX - width / 2 + width, tickX};
    if (span.left < left && tickX == recordStart)
        span = LabelSpan{left + kLabelGap, left + kLabelGap + width, left + kLabelGap + (width + 1) / 2};
    if (span.left < left || span.right > right)
        return LabelSpan{0, 0, 0};
    return span;
}

bool TimeLabelDrawer::ShouldDisplay(int record) const
{
    double pixels = 0, records = 0;
    if (mPixMap == nullptr || mPixMap->GetRecordDensity(&pixels, &records) != KVD_S_OK || records <= 0)
        return false;
    const auto q = int64_t(pixels / records);
    if (q > 50)
        return true;
    if (q >= 26)
        return record % 2 == 1;
    if (q >= 11)
        return (record + 1) % 5 == 0;
    return (record + 1) % 100 == 0;
}

void TimeLabelDrawer::DrawRecordNumber(TDC& dc, TPixPosition pix, int x, const std::vector<LabelSpan>& labels,
                                       int right)
{
    if (!ShouldDisplay(pix.record))
        return;
    const std::wstring text = std::to_wstring(pix.record + 1);
    const int w = dc.GetTextExtent(text.size() == 1 ? L"4" : text.c_str(), -1).cx;
    if (x + w < pix.pixel)
        return;
    const double r = GetAnyReferenceDCPixelRatioX();
    int64_t first = 0, end = 0, nextFirst = 0, nextEnd = 0;
    mPixMap->GetRecordPixels(pix.record, &first, &end);
    const bool last = mPixMap->GetRecordPixels(pix.record + 1, &nextFirst, &nextEnd) != KVD_S_OK;
    int left = int(x - pix.pixel);
    if (!(r * double(end - first) > w + r * 5.0 || last))
        left -= w / 2 + 2;
    // Beside the time labels, not over them (the labels come in order from the left).
    for (const LabelSpan& label : labels)
        if (left < label.right + kLabelGap && left + w + kLabelGap > label.left)
            left = label.right + kLabelGap;
    if (left < mPosition.left || left + w > right)
        return;  // no number cut by the pane's edge
    if (!last && left + w + kLabelGap > int(x - pix.pixel + (end - first)))
        return;  // nor one reaching over the next record's first label
    const TSize size = dc.GetTextExtent(text.c_str(), -1);
    TColor veil = TColor::White;
    veil.alpha = 0.6f;
    const TColor oldText = dc.GetTextColor(), oldBack = dc.GetBkColor();
    dc.FillRect(left, GetDCTop(), left + w, GetDCTop() + size.cy, TBrush(veil));
    const unsigned align = dc.GetTextAlign();
    dc.SetTextAlign(0);
    // In the record boundary's colour, so that it does not read as a time.
    dc.SetTextColor(kRecordHeaderColour);
    dc.TextOut(left, GetDCTop(), text.c_str(), -1);
    dc.SetTextAlign(align);
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBack);
}

}  // namespace OrrelDraw
