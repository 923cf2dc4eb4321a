#include "spirometry/Settings.h"

#include "foundation/KVDString.h"
#include "foundation/StorageBinStreamLite.h"
#include "foundation/XKVD.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {

namespace {

// Reads the fields of a version-2 or later record over config; false when the stream failed.
bool ReadRecord(KVD::BinIStream& in, uint32_t version, SpConfig& config)
{
    if (version >= 2) {
        in >> config.mSpFlowCalcChan >> config.mSpVolCalcChan >> config.mCycleDetectionFactor >>
            config.mForcedExpirationThreshold;
        config.mNonForcedInReport = in.readWord32() != 0;
    }
    if (version >= 3) {
        config.mFlowNoiseClamp.enabled = in.readByte() != 0;
        in >> config.mFlowNoiseClamp.level >> config.mFlowUnitPrefix;
        KVD::String dropped;
        in.ReadString(dropped);
    }
    return in.good();
}

}  // namespace

Settings::Settings()
{
    AddRef();
}

HRESULT Settings::GetClassID(CLSID* id)
{
    if (id == nullptr)
        return KVD_E_POINTER;
    *id = SpiroDocumentGUID;
    return KVD_S_OK;
}

HRESULT Settings::IsDirty()
{
    return mDirty ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT Settings::Load(IStream* stream)
{
    if (stream == nullptr)
        return KVD_E_POINTER;
    try {
        KVD::StorageBinIStreamLite in(stream);
        const uint32_t version = in.readWord32();
        if (!in.good())
            return in.StateResult();
        if (version > kVersion)
            return KVD_E_NEWERVERSION;
        SpConfig read = Config();
        if (!ReadRecord(in, version, read))
            return in.StateResult();
        Config() = read;
        mRegistered = true;
        mLoaded = true;
        mDirty = false;
        mLoadedVersion = version;
        return KVD_S_OK;
    } catch (const XKVD& failure) {
        return failure.GetCode();
    }
}

HRESULT Settings::Save(IStream* stream, bool clearDirty)
{
    if (stream == nullptr)
        return KVD_E_POINTER;
    KVD::StorageBinOStreamLite out(stream, true);
    out << kVersion << mSpFlowCalcChan << mSpVolCalcChan << mCycleDetectionFactor << mForcedExpirationThreshold
        << uint32_t(mNonForcedInReport ? 1 : 0) << uint8_t(mFlowNoiseClamp.enabled ? 1 : 0) << mFlowNoiseClamp.level
        << mFlowUnitPrefix << KVD::String();
    out.flush();
    if (!out.good())
        return out.StateResult();
    if (clearDirty)
        mDirty = false;
    return KVD_S_OK;
}

HRESULT Settings::GetSizeMax(uint64_t*)
{
    return KVD_E_NOTIMPL;
}

}  // namespace Spirometry
