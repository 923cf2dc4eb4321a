// Small helpers over the appkit stand-in used by dialogs, views and print jobs.
#pragma once

#include "appkit/View.h"
#include "foundation/KVDString.h"

namespace KVD {

// Enables or disables a label and gives it the control text colour or the disabled one.
void SetTextLabelEnabled(AppKit::Label& label, bool enabled);

// Sets a scroller's position (0 to 1) and its knob's share of the track.
void SetPositionAndKnobProportion(AppKit::Scroller& scroller, float position, float proportion);

}  // namespace KVD

// Replaces the general pasteboard's contents with a PDF of the view's visible rectangle and,
// when text is given, that text beside it. A null view gives a PDF of nothing.
void CopyToPasteboard(AppKit::View* view, const KVD::String* text);
