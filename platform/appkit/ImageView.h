// The view that shows a named image, centred and shrunk to fit.
#pragma once

#include "appkit/NamedImage.h"
#include "appkit/View.h"

namespace AppKit {

class ImageView : public Control {
public:
    using Control::Control;
    const char* ClassName() const override { return "ImageView"; }
    const NamedImage& GetImage() const { return mImage; }
    void SetImage(NamedImage image) { mImage = std::move(image), SetNeedsDisplay(); }
    void DrawSelf(Gfx::Context& context) override;

private:
    NamedImage mImage;
};

}  // namespace AppKit
