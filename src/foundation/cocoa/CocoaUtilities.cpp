#include "foundation/cocoa/CocoaUtilities.h"

#include "appkit/Pasteboard.h"
#include "foundation/TextConversion.h"
#include "graphics/Canvas.h"

namespace KVD {

void SetTextLabelEnabled(AppKit::Label& label, bool enabled)
{
    label.SetEnabled(enabled);
    label.SetTextColor(enabled ? AppKit::Label::kControlTextColor : AppKit::Label::kDisabledControlTextColor);
}

void SetPositionAndKnobProportion(AppKit::Scroller& scroller, float position, float proportion)
{
    scroller.SetValue(position);
    scroller.SetKnobProportion(proportion);
}

}  // namespace KVD

void CopyToPasteboard(AppKit::View* view, const KVD::String* text)
{
    std::string pdf;
    if (view != nullptr) {
        pdf = view->DataWithPDFInsideRect(view->VisibleRect());
    } else {
        auto empty = Gfx::Canvas::CreatePDF(0, 0);
        pdf = empty->Finish();
    }
    AppKit::PasteboardPDFWriter writer(std::move(pdf));
    AppKit::Pasteboard& pasteboard = AppKit::Pasteboard::General();
    pasteboard.Clear();
    if (text != nullptr) {
        const std::string utf8 = KVD::ToU8String(text->c_str(), text->length());
        pasteboard.WriteObjects(writer, &utf8);
    } else {
        pasteboard.WriteObjects(writer, nullptr);
    }
}
