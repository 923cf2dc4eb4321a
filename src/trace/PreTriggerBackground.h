// Hooks the graticule takes from the preview panes built above it: the object that shades the
// part of a sampled record before its trigger, and the background of channels without data.
// Until a preview installs them there is no pre-trigger background and no-data is light grey.
#pragma once

#include <functional>
#include <memory>

#include "foundation/draw/TDC.h"

struct IDrawerDataPane;

namespace OrrelDraw {

class DrawPreTriggerBackgroundBase {
public:
    virtual ~DrawPreTriggerBackgroundBase() = default;
    virtual void Init(IDrawerDataPane* pane, int height) = 0;
    // Draws into the drawn x range [from, to) of the record.
    virtual void Draw(TDC& dc, int from, int to, int height) = 0;

    // A new object from the installed maker; null when none is installed.
    static std::unique_ptr<DrawPreTriggerBackgroundBase> sCreate();
    static void SetMaker(std::function<std::unique_ptr<DrawPreTriggerBackgroundBase>()> maker);
};

TColor gGetNoDataBackgroundColor();
void gSetNoDataBackgroundColor(const TColor& colour);

}  // namespace OrrelDraw
