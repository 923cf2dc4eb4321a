// The description of one file format of the host's Save As: extension, description, format
// id, flags and the aspects it can save. Its IUnknown, count included, is that of the object
// it is part of.
#pragma once

#include "IDocFileDescr.h"
#include "foundation/KVDString.h"

class CAFFileDescriptor : public IDocFileDescr {
public:
    CAFFileDescriptor(TCAFId formatId, const wchar_t* extension, const wchar_t* description, DocFileFlags flags,
                      SaveAsAspect aspects);
    virtual ~CAFFileDescriptor() = default;

    HRESULT GetExtension(IAutoKVDString** out) override;
    HRESULT GetDescription(IAutoKVDString** out) override;
    HRESULT GetFlags(DocFileFlags* out) override;
    HRESULT GetFormatId(TCAFId* out) override;
    HRESULT GetSupportedAspects(SaveAsAspect* out) override;

private:
    KVD::String mExtension;
    KVD::String mDescription;
    TCAFId mFormatId;
    DocFileFlags mFlags;
    SaveAsAspect mAspects;
};
