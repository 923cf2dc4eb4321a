// The description of one file format of the host's Save As: extension, description, format
// id, flags and the aspects it can save. Its count is the count of the object it is part of.
#pragma once

#include <atomic>

#include "IDocFileDescr.h"
#include "foundation/KVDString.h"

class CAFFileDescriptor : public IDocFileDescr {
public:
    CAFFileDescriptor(TCAFId formatId, const wchar_t* extension, const wchar_t* description, DocFileFlags flags,
                      SaveAsAspect aspects);
    virtual ~CAFFileDescriptor() = default;

    // At 0 the count goes back to 1 and the object is destroyed.
    uint32_t AddRef() override;
    uint32_t Release() override;

    HRESULT GetExtension(IAutoKVDString** out) override;
    HRESULT GetDescription(IAutoKVDString** out) override;
    HRESULT GetFlags(DocFileFlags* out) override;
    HRESULT GetFormatId(TCAFId* out) override;
    HRESULT GetSupportedAspects(SaveAsAspect* out) override;

private:
    std::atomic<uint32_t> mCount{0};
    KVD::String mExtension;
    KVD::String mDescription;
    TCAFId mFormatId;
    DocFileFlags mFlags;
    SaveAsAspect mAspects;
};
