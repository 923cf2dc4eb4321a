#include "trace/DrawPreTriggerBackground.h"

#include <algorithm>

#include "foundation/draw/DrawFactories.h"
#include "foundation/draw/TGdiObjects.h"

namespace OrrelDraw {

namespace {

// The stripes' slope: a stripe falls this many pixels for each pixel it goes left.
constexpr double kStripeSlope = 0.3907311284892737;
// Channels without data in a preview are a lighter grey than elsewhere.
const TColor kNoDataColour(0xF332, 0xF332, 0xF332, 1.0f);

uint16_t Wide(uint32_t byte)
{
    return uint16_t(byte * 65535 / 255);
}

}  // namespace

const TColor DrawPreTriggerBackground::smPretriggerColor(0xFE01, 0xEE11, 0xD12E, 1.0f);

DrawPreTriggerBackground::DrawPreTriggerBackground() = default;

void DrawPreTriggerBackground::Install()
{
    SetMaker([] { return std::make_unique<DrawPreTriggerBackground>(); });
    gSetNoDataBackgroundColor(kNoDataColour);
}

void DrawPreTriggerBackground::OnChannelHeightChanged(IDrawerDataPane* pane, int height)
{
    mPane = pane;
    if (height <= 0 || height == mHeight)
        return;
    mHeight = height;
    mWidth = kStripeStep * ((height - 1) / kStripeStep) + kStripeStep;
    mPattern = gCreateScreenBitmapDC(TSize(mWidth, mHeight));
    DrawBuffer();
}

void DrawPreTriggerBackground::DrawBuffer()
{
    if (mPattern == nullptr)
        return;
    mPattern->ClearRect(TRect(0, 0, mWidth, mHeight));
    mPattern->SelectObject(TPen(mColour, 1, kPenSolid));
    for (int x = 0; x < mHeight + mWidth; x += kStripeStep) {
        mPattern->MoveTo(x, 0);
        mPattern->LineTo(-1, int(x / kStripeSlope) + 1);
    }
}

HRESULT DrawPreTriggerBackground::OnDisplayInfoChanged(const IChannelDisplaySettings2*, IUnknown*, int)
{
    if (mPane == nullptr)
        return KVD_E_NULLOUT;
    const uint32_t rgb = uint32_t(smPretriggerColor.red >> 8) | uint32_t(smPretriggerColor.green >> 8) << 8 |
                         uint32_t(smPretriggerColor.blue >> 8) << 16;
    uint32_t shown = rgb;
    mPane->AdjustColorForBackground(rgb, &shown);
    mColour = TColor(Wide(shown & 0xFF), Wide(shown >> 8 & 0xFF), Wide(shown >> 16 & 0xFF), 1.0f);
    DrawBuffer();
    return KVD_S_OK;
}

HRESULT DrawPreTriggerBackground::Draw(TDC& dc, long long tick, int x0, int x1)
{
    if (mPattern == nullptr)
        return KVD_S_OK;
    if (x1 <= x0 || mHeight == 0)
        return KVD_S_FALSE;
    int offset = int(((tick % mWidth) + mWidth) % mWidth);
    for (int x = x0; x < x1;) {
        const int piece = std::min(mWidth - offset, x1 - x);
        dc.BitBlt(x, 0, piece, mHeight, *mPattern, offset, 0, 0);
        x += piece;
        offset = 0;
    }
    return KVD_S_OK;
}

void DrawPreTriggerBackground::Draw(TDC& dc, int from, int to, int height)
{
    OnChannelHeightChanged(mPane, height);
    Draw(dc, static_cast<long long>(from), from, to);
}

}  // namespace OrrelDraw
