// A child document's persisted part (its part 0, which it hands out as index 2) kept as one
// stream of the host document's storage.
#pragma once

#include <string>

#include "ICustomDocument.h"
#include "IStorage.h"
#include "foundation/COMPtr.h"

namespace Host {

// The name of the stream that keeps the part of a child document of the class of that name.
std::wstring PartStreamName(const std::wstring& className);

// Loads the part from the stream and hands it out in loaded, for the host to keep registered
// (a part loaded from a file is saved again with it); KVD_S_FALSE when the storage holds no
// such stream or the document has no part.
HRESULT LoadPersistedPart(ICustomDocument* document, IStorage* storage, const std::wstring& name,
                          KVD::COMPtr<IUnknown>& loaded);
// Saves the part, when the document registered it with its site, into a new stream of that
// name; KVD_S_FALSE when there is nothing to save.
HRESULT SavePersistedPart(ICustomDocument* document, IUnknown* registered, IStorage* storage,
                          const std::wstring& name);

}  // namespace Host
