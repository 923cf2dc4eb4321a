// The striped background behind the part of a sampled record that was recorded before its
// trigger: a pattern of diagonal stripes, made once per channel height, tiled across the drawn
// columns so that the stripes stay put as the record scrolls.
#pragma once

#include <memory>

#include "IDisplaySettings.h"
#include "trace/IDrawerDataPane.h"
#include "trace/PreTriggerBackground.h"

namespace OrrelDraw {

class DrawPreTriggerBackground final : public DrawPreTriggerBackgroundBase {
public:
    static const TColor smPretriggerColor;
    static constexpr int kStripeStep = 20;

    DrawPreTriggerBackground();

    // Installs this background as the one the graticule drawers make, and the preview's
    // background of channels without data.
    static void Install();

    void OnChannelHeightChanged(IDrawerDataPane* pane, int height);
    HRESULT OnDisplayInfoChanged(const IChannelDisplaySettings2* settings, IUnknown* source, int channel);
    // Tiles the pattern over the columns [x0, x1); tick places the pattern's phase.
    HRESULT Draw(TDC& dc, long long tick, int x0, int x1);

    // DrawPreTriggerBackgroundBase
    void Init(IDrawerDataPane* pane, int height) override { OnChannelHeightChanged(pane, height); }
    void Draw(TDC& dc, int from, int to, int height) override;

    int PatternWidth() const { return mWidth; }
    const TColor& StripeColour() const { return mColour; }

private:
    void DrawBuffer();

    int mHeight = 0;
    int mWidth = 0;
    std::unique_ptr<TDC> mPattern;
    IDrawerDataPane* mPane = nullptr;
    TColor mColour = smPretriggerColor;
};

}  // namespace OrrelDraw
