// A document's spirometry settings as a persisted part of the host document: the host saves
// and loads them through a byte stream it supplies.
#pragma once

#include "IPersistStreamInit.h"
#include "foundation/UnknownImp.h"
#include "spirometry/SpConfig.h"

namespace Spirometry {

class Settings : public SpConfig, public SimpleUnknownImp1_1<IPersistStreamInit, IPersist, 0l> {
public:
    static constexpr uint32_t kVersion = 3;

    // Starts with the document's reference.
    Settings();

    HRESULT GetClassID(CLSID* id) override;
    HRESULT IsDirty() override;
    // A record newer than this version, a truncated or corrupt one: the failure code, and
    // nothing changes.
    HRESULT Load(IStream* stream) override;
    // A failed write answers its code and leaves the settings dirty.
    HRESULT Save(IStream* stream, bool clearDirty) override;
    HRESULT GetSizeMax(uint64_t* size) override;
    HRESULT InitNew() override { return KVD_S_OK; }

    SpConfig& Config() { return *this; }
    const SpConfig& Config() const { return *this; }

    bool mRegistered = false;
    bool mLoaded = false;
    bool mDirty = false;
    // The record version of the last successful Load; 0 when never loaded.
    uint32_t mLoadedVersion = 0;
};

}  // namespace Spirometry
