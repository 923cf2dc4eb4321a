// The description of one file format that the host offers in its Save As command: extension,
// description, format id, flags and the aspects of a document it can save.
#pragma once

#include "IKVDString.h"

// 62DB59C8-00E2-4679-9DF2-6A77B79F9892
inline constexpr _IID IID_IDocFileDescr = {0x62DB59C8, 0x00E2, 0x4679, {0x9D, 0xF2, 0x6A, 0x77, 0xB7, 0x9F, 0x98, 0x92}};

// Their meanings are the host's: the format only stores and reports them.
typedef uint32_t DocFileFlags;
typedef uint32_t SaveAsAspect;

struct IDocFileDescr : IUnknown {
    // Without a leading dot; handed out with a reference.
    virtual HRESULT GetExtension(IAutoKVDString** out) = 0;                   // slot 3
    virtual HRESULT GetDescription(IAutoKVDString** out) = 0;                 // slot 4
    virtual HRESULT GetFlags(DocFileFlags* out) = 0;                          // slot 5
    virtual HRESULT GetFormatId(TCAFId* out) = 0;                             // slot 6
    virtual HRESULT GetSupportedAspects(SaveAsAspect* out) = 0;               // slot 7
};

KVD_INTERFACE_ID(IDocFileDescr, IID_IDocFileDescr);
