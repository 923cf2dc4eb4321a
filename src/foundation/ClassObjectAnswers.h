// Answers that class objects give alike, whatever they describe.
#pragma once

#include "IKVDString.h"
#include "ResultCodes.h"
#include "foundation/KVDString.h"

namespace KVD {

// KVD_S_OK when the category asked for is the class's own, by address or by value;
// KVD_S_FALSE for another, for none, or when the class is in no category.
inline HRESULT InCategory(const _IID* asked, const _IID* own)
{
    return asked != nullptr && own != nullptr && (asked == own || *asked == *own) ? KVD_S_OK : KVD_S_FALSE;
}

// The text (a name, a description) as a new string for the caller; KVD_E_NULLOUT without a
// place for it.
inline HRESULT GiveText(const String& text, IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    text.GetOut(out);
    return KVD_S_OK;
}

}  // namespace KVD
