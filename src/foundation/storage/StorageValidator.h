// Checks a file being opened before anything trusts it: every chain reachable from the root
// (the map's own run, each storage's directory, each stream) must be a sound, unshared,
// acyclic chain of exactly the length its size asks for, every directory must be readable,
// nesting must stay bounded, and the file must reach its last cluster in use.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/storage/Element.h"

namespace KVDStg {

class ClusterMap;
class StorageAllocator;

class StorageValidator {
public:
    explicit StorageValidator(StorageAllocator& allocator);

    // KVD_S_OK, or the first damage found (KVD_STG_E_CORRUPT).
    HRESULT Run();

private:
    HRESULT ClaimMapRun();
    HRESULT ClaimChain(const Element& element);
    // Walks length clusters from first, claiming each; last receives the final one.
    HRESULT WalkChain(uint32_t first, uint64_t length, bool consecutive, uint32_t& last);
    HRESULT ReadChildren(const Element& storage, std::vector<Element>& children);

    StorageAllocator& mAllocator;
    const ClusterMap& mMap;
    std::vector<bool> mClaimed;
};

}  // namespace KVDStg
