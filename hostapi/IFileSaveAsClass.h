// Save As classes: class objects of the save-as category that write a document into a file
// format of their own. The host finds them by category, describes each by its IDocFileDescr and
// calls its save operation with the path and the host document.
#pragma once

#include "IDocFileDescr.h"

// EFE271E3-CB64-4BB7-8195-0B31323497B8
inline constexpr _IID CATID_OrrelSaveAsCategory = {0xEFE271E3, 0xCB64, 0x4BB7, {0x81, 0x95, 0x0B, 0x31, 0x32, 0x34, 0x97, 0xB8}};
// E5A7AE06-8393-416D-9F9D-1A8020D6DA04
inline constexpr _IID IID_IFileSaveAsClass = {0xE5A7AE06, 0x8393, 0x416D, {0x9F, 0x9D, 0x1A, 0x80, 0x20, 0xD6, 0xDA, 0x04}};
// F00A8AE5-E1B2-4657-BD9A-67FE500986D0
inline constexpr _IID IID_IFileSaveAsClass2 = {0xF00A8AE5, 0xE1B2, 0x4657, {0xBD, 0x9A, 0x67, 0xFE, 0x50, 0x09, 0x86, 0xD0}};

typedef uint32_t FileSaveAsOptions;

struct IFileSaveAsClass : IUnknown {
    // SaveAsEx with no options.
    virtual HRESULT SaveAs(IUnknown* application, IAutoKVDString* path, SaveAsAspect aspect,
                           IUnknown* document) = 0;                                              // slot 3
};

struct IFileSaveAsClass2 : IUnknown {
    // Writes the document (the host document, which answers IDocument) to path; the class
    // tells the user of a failure itself and returns its code.
    virtual HRESULT SaveAsEx(IUnknown* application, IAutoKVDString* path, SaveAsAspect aspect,
                             FileSaveAsOptions options, IUnknown* document) = 0;                 // slot 3
};

KVD_INTERFACE_ID(IFileSaveAsClass, IID_IFileSaveAsClass);
KVD_INTERFACE_ID(IFileSaveAsClass2, IID_IFileSaveAsClass2);
