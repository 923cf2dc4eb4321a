#include "trace/GraticuleDrawer.h"

#include <algorithm>
#include <cmath>

#include "IDisplaySettings.h"
#include "IFramework.h"
#include "ISettingsRegistrar.h"
#include "foundation/draw/Colour.h"
#include "FrameworkIds.h"
#include "trace/DrawUtils.h"
#include "trace/GraticuleInfo.h"

namespace OrrelDraw {

const TColor GraticuleDrawer::kMonitorModeBackgroundColor(59925, 59925, 56100);
const TColor GraticuleDrawer::kScaleLineColor = TColor::Black;

namespace {

constexpr double kGuideLimit = 16000.0;

double Clamped(double y)
{
    return std::clamp(y, -kGuideLimit, kGuideLimit);
}

}  // namespace

int RecordDrawPosInfo::First() const
{
    return pix < 0 ? std::max(int(x - pix), clipLeft) : std::max(x, clipLeft);
}

int RecordDrawPosInfo::PixToDraw() const
{
    return std::min(int(end - start) + x, clipRight) - First();
}

GraticuleDrawer::GraticuleDrawer(BlockDataType type, TChannelId channel, OrrelDrawerScaleConsts side,
                                 unsigned int styleFlags, TColor gridColour, bool hideGrid)
    : DrawerBase(1, type, channel, kNoChannel),
      mSide(side),
      mGridColour(gridColour),
      mStyle(styleFlags),
      mShowGrid(!hideGrid)
{
}

GraticuleDrawer::GraticuleDrawer(const GraticuleDrawer& other)
    : DrawerBase(other),
      mTickOffset(other.mTickOffset),
      mSide(other.mSide),
      mHeaderColour(other.mHeaderColour),
      mGridColour(other.mGridColour),
      mGridStart(other.mGridStart),
      mGridSpacing(other.mGridSpacing),
      mScaling(other.mScaling),
      mFactor(other.mFactor),
      mOffset(other.mOffset),
      mHeaderWidth(other.mHeaderWidth),
      mGuidelines(other.mGuidelines),
      mStyle(other.mStyle),
      mGridStyle(other.mGridStyle),
      mShowGrid(other.mShowGrid),
      mShowHeaders(other.mShowHeaders)
{
}

HRESULT GraticuleDrawer::SetRecordDataPixMap(unsigned int number, IRecordDataPixMap* map)
{
    const HRESULT hr = DrawerBase::SetRecordDataPixMap(number, map);
    mTickOffset = 0;
    if (mDataPane != nullptr)
        UpdateScalingMode();
    return hr;
}

HRESULT GraticuleDrawer::OnPositionChange(OrrelDrawPosFlags flags, const tagRECT* rect)
{
    DrawerBase::OnPositionChange(flags, rect);
    UpdateScalingMode();
    return KVD_S_OK;
}

HRESULT GraticuleDrawer::SetDataPane(IDrawerDataPane* pane)
{
    DrawerBase::SetDataPane(pane);
    UpdateScalingMode();
    return KVD_S_OK;
}

HRESULT GraticuleDrawer::GetInfo(unsigned int, unsigned int* flags, int* left, int* right, TDC*) const
{
    if (flags != nullptr)
        *flags = DrawerInfo::kBackground;
    if (left != nullptr)
        *left = 0;
    if (right != nullptr)
        *right = 0;
    return KVD_S_OK;
}

HRESULT GraticuleDrawer::GetUnitsName(long, int, IAutoKVDString** name, AutoBool*) const
{
    if (name != nullptr)
        *name = nullptr;
    return KVD_S_FALSE;
}

HRESULT GraticuleDrawer::GetRange(BlockDataType, long, KVDPosition, KVDPosition, ChannelYDataRange*) const
{
    return KVD_S_FALSE;
}

void GraticuleDrawer::UpdateScalingMode()
{
    RecDrawScalingModeFlags mode = 0;
    if (mDataPane == nullptr || mDataPane->GetScalingMode(mPaneIndex, &mode) != KVD_S_OK || mPixMap == nullptr)
        return;
    mScalingMode = mode;
    mHeaderWidth = mShowHeaders ? 3 : 0;
    if (mode != 0 && mOwnScale == nullptr) {
        IScale* scale = nullptr;
        if (DragScaleCreator::Create(&scale, 0, 0, 0) == KVD_S_OK && scale != nullptr)
            mOwnScale = std::make_unique<CScale>(KVD::COMPtr<IScale>::Take(scale));
    } else if (mode != 0) {
        TDC* reference = nullptr;
        mDataPane->GetReferenceDC(0, &reference);
        (*mOwnScale)->GetWidth(kScaleLabelWidth, reference, &mHeaderWidth);
    }
    const double ratio = GetAnyReferenceDCPixelRatioX();
    mPixMap->SetLayoutParameter(kPixMapMarkerSize, std::trunc(8.0 * ratio));
    mPixMap->SetLayoutParameter(kPixMapHeaderGap, mHeaderWidth + 5);
    mPixMap->SetLayoutParameter(kPixMapHeaderMode, mShowHeaders ? 4 : 3);
}

HRESULT GraticuleDrawer::OnScalingChanged(long side, unsigned int, const DataScaling* scaling, IScale* scale)
{
    if (side != mSide)
        return KVD_S_FALSE;
    mPreparedRecord = -1;
    if (scaling != nullptr)
        mScaling = *scaling;
    if (scale != nullptr) {
        scale->GetGridStartAndSpacing(&mGridStart, &mGridSpacing);
        scale->GetPixelScaling(Height(), &mFactor, &mOffset);
    }
    return KVD_S_OK;
}

HRESULT GraticuleDrawer::Revert(TOrrelDrawNeedsUpdateFlags)
{
    mPreparedRecord = -1;
    if (mStarted && mPixMap != nullptr)
        mPixMap->GetRecordStartOffset(mSamplingRecord, &mTickOffset);
    return KVD_S_OK;
}

HRESULT GraticuleDrawer::PrepareForSampling(unsigned int)
{
    if (mPreTrigger == nullptr)
        mPreTrigger = DrawPreTriggerBackgroundBase::sCreate();
    if (mPreTrigger != nullptr)
        mPreTrigger->Init(mDataPane, Height());
    return KVD_S_OK;
}

HRESULT GraticuleDrawer::OnDisplayInfoChanged(const IChannelDisplaySettings2* settings, IUnknown* source,
                                              int channel)
{
    KVD::COMPtr<IKVDOrrelDisplaySettings> display(KVD::com_cast(settings));
    if (display != nullptr) {
        uint32_t rgb = 0;
        if (display->GetColour(kDisplayColourGraticule, 0, &rgb, 0) == KVD_S_OK)
            mGridColour = ColourFromRgb(rgb);
        AutoBool show = kAutoTrue;
        if (display->GetShowGrid(&show) == KVD_S_OK)
            mShowGrid = show != kAutoFalse;
        display->GetGridStyle(&mGridStyle);
        AutoBool headers = mShowHeaders ? kAutoTrue : kAutoFalse;
        if (display->GetShowHeaders(&headers) == KVD_S_OK && (headers != kAutoFalse) != mShowHeaders) {
            mShowHeaders = headers != kAutoFalse;
            UpdateScalingMode();
        }
    }
    KVD::COMPtr<ISettingsRegistrar> registrar(KVD::com_cast(source));
    if (registrar != nullptr)
        mGuidelines.SetFromSettingsReg(registrar, mChannel.channel);
    return DrawerBase::OnDisplayInfoChanged(settings, source, channel);
}

HRESULT GraticuleDrawer::Clone(OrrelDrawerFlags, IOrrelRecordDrawer** out) const
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = KVD::MakeCounted<GraticuleDrawer>(*this).Forget();
    return KVD_S_OK;
}

bool GraticuleDrawer::HasData(int record) const
{
    if ((mStyle & kNoHasDataCheck) || mStyle > 0xBFFFFFFF || mDataPane == nullptr || mRecordData == nullptr)
        return true;
    TChannelId channel{};
    if (mDataPane->GetScaleChan(mPaneIndex, record, &channel) != KVD_S_OK)
        return true;
    AutoBool has = kAutoTrue;
    if (mRecordData->HasChannelData(record, channel, &has) != KVD_S_OK)
        return true;
    return has != kAutoFalse;
}

void GraticuleDrawer::DrawBackground(TDC& dc, const RecordDrawPosInfo& pos, int record, bool hasData)
{
    if (mStyle & kNoBackground)
        return;
    TColor colour = mStarted && !mOnline && record == mSamplingRecord ? kMonitorModeBackgroundColor
                                                                     : GetBackgroundColor();
    if (!hasData)
        colour = gGetNoDataBackgroundColor();
    const int first = pos.First();
    dc.FillRect(first, GetDCTop(), first + std::max(pos.PixToDraw(), 0), GetDCHeight(), TBrush(colour));
}

void GraticuleDrawer::DrawGuidelineShade(TDC& dc, const RecordDrawPosInfo& pos)
{
    const uint32_t flags = mGuidelines.flags;
    const bool on1 = flags & GuidelineInfo::kGuideline1On, on2 = flags & GuidelineInfo::kGuideline2On;
    if (pos.PixToDraw() < 1 || !(on1 || on2))
        return;
    double v1 = 0, v2 = 0;
    mGuidelines.GetValuesInUnits(&v1, &v2);
    const double y1 = Clamped((v1 + mOffset) * mFactor), y2 = Clamped((v2 + mOffset) * mFactor);
    double low = on1 ? y1 : y2, high = low;
    if (on1 && on2) {
        low = std::min(y1, y2);
        high = std::max(y1, y2);
    }
    mGuideY1 = on1 ? y1 : y2;
    mGuideY2 = on2 ? y2 : y1;
    const int first = pos.First(), last = first + pos.PixToDraw();
    const int h = Height();
    // From the bottom: the top region runs from the upper edge to the height when values grow
    // upwards, the bottom region from 0 to the lower edge.
    auto fill = [&](double from, double to, const TColor& colour) {
        dc.FillRect(first, FromBottom(std::max(from, to)), last, FromBottom(std::min(from, to)), TBrush(colour));
    };
    const bool up = mFactor > 0;
    if ((flags & GuidelineInfo::kMiddleShaded) && on1 && on2)
        fill(low, high, mGuidelines.midColour);
    if (flags & GuidelineInfo::kTopShaded)
        up ? fill(high, h, mGuidelines.topColour) : fill(0, low, mGuidelines.topColour);
    if (flags & GuidelineInfo::kBottomShaded)
        up ? fill(0, low, mGuidelines.bottomColour) : fill(high, h, mGuidelines.bottomColour);
}

void GraticuleDrawer::DrawGuidelines(TDC& dc, const RecordDrawPosInfo& pos)
{
    const uint32_t flags = mGuidelines.flags;
    const int first = pos.First(), last = first + pos.PixToDraw();
    auto line = [&](double y, const TColor& colour) {
        dc.SaveDC();
        dc.SelectObject(TPen(colour, 1, kPenSolid));
        dc.MoveTo(first, FromBottom(y));
        dc.LineTo(last, FromBottom(y));
        dc.RestoreDC();
    };
    if ((flags & GuidelineInfo::kLine1Shown) && (flags & GuidelineInfo::kGuideline1On))
        line(mGuideY1, mGuidelines.lineColour1);
    if ((flags & GuidelineInfo::kLine2Shown) && (flags & GuidelineInfo::kGuideline2On))
        line(mGuideY2, mGuidelines.lineColour2);
}

void GraticuleDrawer::DrawGraticule(TDC& dc, const RecordDrawPosInfo& pos, const GraticuleInfo* graticule,
                                    bool suppress)
{
    if (!mShowGrid || suppress)
        return;
    TColor major = KVD::MuteColour(mGridColour, mGridStyle == 1 ? -0.3 : 0.15);
    KVD::Colour hsv(major.Rgb());
    hsv.RGBtoHSV();
    TColor minor = KVD::MuteColour(major, std::min(hsv.GetSaturation() / 1.6, 0.35));
    major = AdjustColorForBackground(major);
    minor = AdjustColorForBackground(minor);
    major.alpha = minor.alpha = mGridColour.alpha;
    const int from = pos.First(), to = from + pos.PixToDraw();
    // Record pixels to context x.
    const double origin = double(pos.pix) - pos.x;
    if (graticule != nullptr && graticule->minorSpacing > 0.0) {
        const double firstColumn = from + origin;
        auto forward = [firstColumn](double x, double spacing) {
            if (x >= firstColumn)
                return x;
            return x + std::floor((firstColumn - x) / spacing + 0.5) * spacing;
        };
        const double majorSpacing = graticule->minorSpacing * double(graticule->minorCount);
        double firstMinor = forward(graticule->nextTickX, graticule->minorSpacing);
        if (firstMinor < firstColumn)
            firstMinor += graticule->minorSpacing;
        double firstMajor = forward(graticule->nextMajorX, majorSpacing);
        if (firstMajor < firstColumn)
            firstMajor += majorSpacing;
        if (!(mStyle & kNoVerticalGrid)) {
            DrawGraticuleInRec(dc, from, to, origin, firstMinor, graticule->minorSpacing, minor, false);
            DrawGraticuleInRec(dc, from, to, origin, firstMajor, majorSpacing, major, false);
        }
    }
    if (!(mStyle & kNoHorizontalGrid))
        DrawGraticuleInRec(dc, from, to, origin, 0, 0, major, true);
}

void GraticuleDrawer::DrawGraticuleInRec(TDC& dc, int from, int to, double origin, double first, double spacing,
                                         TColor colour, bool horizontal) const
{
    dc.SaveDC();
    dc.SelectObject(TPen(colour, 1, mGridStyle == 0 ? kPenDot : kPenDashDotDot));
    if (!horizontal) {
        for (double tick = first;; tick += spacing) {
            const int x = int(std::floor(tick + 0.5) - origin);
            if (x >= to)
                break;
            dc.MoveTo(x, 0);
            dc.LineTo(x, Height());
        }
    } else if (std::fabs(mGridSpacing) > 1e-8) {
        for (double position = mGridStart; position < Height(); position += mGridSpacing) {
            const int y = Height() - int(std::floor(position) + 1.5);
            dc.MoveTo(from, y);
            dc.LineTo(to, y);
        }
    }
    dc.RestoreDC();
}

void GraticuleDrawer::DrawHeaders(TDC& dc, long long start, long long end, TPixPosition pix, int& x,
                                  OrrelDrawerDrawFlags flags)
{
    if (pix.record == 0)
        return;
    bool hiRes = false;
    if (mDataPane != nullptr)
        mDataPane->AreDrawingHiRes(0, &hiRes);
    bool scaleHeader = false;
    uint32_t misc = 0;
    RecDrawScalingModeFlags mode = 0;
    if (mScalingMode != 0 && mOwnScale != nullptr && mDataPane != nullptr &&
        mDataPane->GetFlags(&mode, &misc) == KVD_S_OK && !(misc & (1u << 30))) {
        const int x0 = int(x - pix.pixel);
        (*mOwnScale)->SetPosition(x0 - mHeaderWidth, GetDCTop(), x0 - 2, GetDCHeight());
        (*mOwnScale)->Draw(&dc);
        dc.SaveDC();
        dc.SelectObject(TPen(kScaleLineColor, hiRes ? int(mDataPane->GetXPixelsPermm() * 0.3 + 0.5) : 1));
        dc.MoveTo(x0 - 2, GetDCTop());
        dc.LineTo(x0 - 2, GetDCHeight());
        dc.RestoreDC();
        scaleHeader = true;
    }
    if (!scaleHeader && !(flags & DrawFlag::kRecordBoundaryOff) && pix.pixel < 0 && mShowHeaders &&
        end - start + pix.pixel >= -3) {
        int offset = -3;
        TPen pen(mHeaderColour, 3);
        if (hiRes) {
            offset = int(GetAnyReferenceDCPixelRatioX() * -3.0);
            pen = TPen(kScaleLineColor, int(mDataPane->GetXPixelsPermm() * 0.4 + 0.5));
        }
        const int lx = int(x - pix.pixel) + offset;
        dc.SaveDC();
        dc.SelectObject(pen);
        dc.MoveTo(lx, GetDCTop() + 4);
        dc.LineTo(lx, GetDCHeight() - 5);
        dc.RestoreDC();
    }
    if (start - pix.pixel < end)
        x += int(-pix.pixel);
}

HRESULT GraticuleDrawer::DrawInRecord(TDC& dc, long long start, long long end, TPixPosition pix, int x,
                                      const tagRECT* clip, OrrelDrawerDrawFlags flags,
                                      const GraticuleInfo* graticule, const KVDDataTimeInfo*)
{
    const RecordDrawPosInfo pos{start, end, pix.pixel, x, clip != nullptr ? clip->left : x,
                                clip != nullptr ? clip->right : x + int(end - start)};
    const bool hasData = HasData(pix.record);
    DrawBackground(dc, pos, pix.record, hasData);
    if (mScalingMode != 0 && mOwnScale != nullptr && pix.record != mPreparedRecord) {
        (*mOwnScale)->GetPixelScaling(Height(), &mFactor, &mOffset);
        mPreparedRecord = pix.record;
    }
    DrawGuidelineShade(dc, pos);
    if (mPreTrigger != nullptr && (mRecordValue & 0x80000000u) && pix.record == mSamplingRecord && mStarted)
        mPreTrigger->Draw(dc, pos.First(), pos.First() + pos.PixToDraw(), Height());
    if (pos.PixToDraw() >= 1) {
        DrawGraticule(dc, pos, graticule, false);
        DrawGuidelines(dc, pos);
    }
    if (pix.pixel < 0)
        DrawHeaders(dc, start, end, pix, x, flags);
    return KVD_S_OK;
}

}  // namespace OrrelDraw
