// The buttons a preview pane offers beside its scales: show the document's record, monitor,
// pause. The platform layer makes it (Part of the pane's window services).
#pragma once

#include "foundation/KVDString.h"
#include "foundation/draw/TDC.h"

namespace OrrelDraw {

class PreviewControl {
public:
    virtual ~PreviewControl() = default;
    virtual void SetPosition(const TRect& rect) = 0;
    virtual bool IsEnabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual void GetSize(TSize* size) const = 0;
    virtual void EnableButtons(unsigned buttons) = 0;
    // Presses the show-the-document button as the user would.
    virtual void DepressOrrelViewBtn() = 0;
    virtual void Invalidate() = 0;
    virtual void SetOnlineAutoScrollControl(bool on) = 0;
    virtual void SetAutoScaleXTooltip(const KVD::String& text) = 0;
};

}  // namespace OrrelDraw
