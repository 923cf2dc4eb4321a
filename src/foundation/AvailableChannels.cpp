#include "foundation/AvailableChannels.h"

#include <algorithm>

#include "IOrrelDocument.h"

namespace ExtLib {

int GetNumAvailableChans(IAutoOrrelDoc* doc) {
    int withData = 16, all = 16, computed = 16;
    if (!doc)
        return 16;
    doc->GetChannelCountEx(&withData, 16, 16);
    doc->GetChannelCount(&all);
    doc->GetComputedChannelCount(0, &computed);
    return std::max({withData, all, computed});
}

}  // namespace ExtLib
