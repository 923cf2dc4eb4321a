// How many channels the plug-in offers for a document.
#pragma once

struct IAutoOrrelDoc;

namespace ExtLib {

// The largest of the document's channel counts, each taken as 16 when the document does not
// answer; 16 without a document.
int GetNumAvailableChans(IAutoOrrelDoc* doc);

}  // namespace ExtLib
