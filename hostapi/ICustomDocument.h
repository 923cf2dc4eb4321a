// Plug-in documents and document classes, as the host sees them, and the host objects they
// aggregate: the document base and the document-class base.
#pragma once

#include "ICAFCommand.h"
#include "IDocument.h"

struct IMenu;
struct IDocumentClass;

typedef uint32_t PSDPDocumentPart;
typedef uint32_t DocumentClassFlags;

// 2BFC995B-4D01-40E7-96B0-3810DFFE9F91
inline constexpr _IID IID_ICustomDocument = {0x2BFC995B, 0x4D01, 0x40E7, {0x96, 0xB0, 0x38, 0x10, 0xDF, 0xFE, 0x9F, 0x91}};
// 4D579D1B-BED5-476C-B1DE-15642F0BAC45
inline constexpr _IID IID_ICustomDocument2 = {0x4D579D1B, 0xBED5, 0x476C, {0xB1, 0xDE, 0x15, 0x64, 0x2F, 0x0B, 0xAC, 0x45}};
// 7C23A716-A008-43A1-985A-DB182D278E4D: refused by plug-in documents
inline constexpr _IID IID_IPersistStorageDocument = {0x7C23A716, 0xA008, 0x43A1, {0x98, 0x5A, 0xDB, 0x18, 0x2D, 0x27, 0x8E, 0x4D}};
// 5D19D2C3-832D-4462-8EF5-8F2318D15708
inline constexpr _IID IID_ICustomDocClass = {0x5D19D2C3, 0x832D, 0x4462, {0x8E, 0xF5, 0x8F, 0x23, 0x18, 0xD1, 0x57, 0x08}};
// F245CB7F-8BE1-4551-9FD8-A6F432160B87
inline constexpr _IID IID_IDocumentClass = {0xF245CB7F, 0x8BE1, 0x4551, {0x9F, 0xD8, 0xA6, 0xF4, 0x32, 0x16, 0x0B, 0x87}};
// 2C183D60-E19B-4926-87DB-0895D30F7C8E
inline constexpr _IID IID_IDocumentBaseClass = {0x2C183D60, 0xE19B, 0x4926, {0x87, 0xDB, 0x08, 0x95, 0xD3, 0x0F, 0x7C, 0x8E}};
// 97A297F6-145D-42D9-A4FD-C52CB221DBB0
inline constexpr _IID IID_IDocClassBaseClass = {0x97A297F6, 0x145D, 0x42D9, {0xA4, 0xFD, 0xC5, 0x2C, 0xB2, 0x21, 0xDB, 0xB0}};

struct ICustomDocument : IUnknown {
    virtual HRESULT GetDocumentName(IAutoKVDString** name) = 0;                           // slot 3
    virtual HRESULT CanClose(AutoBool* can) = 0;                                          // slot 4
    virtual HRESULT Cleanup() = 0;                                                        // slot 5
    virtual HRESULT GetMenu(IMenu** menu) = 0;                                            // slot 6
    virtual HRESULT GetFlags(uint32_t* flags) = 0;                                        // slot 7
    virtual HRESULT GetUndoHistory(IUndoHistory** history) = 0;                           // slot 8
    virtual HRESULT PostCreateInit(uint32_t flags) = 0;                                   // slot 9
    virtual HRESULT PreSave(uint32_t flags) = 0;                                          // slot 10
    virtual HRESULT PostSave(int result, IAutoKVDString* path) = 0;                       // slot 11
    virtual HRESULT PostPostSave(int result, IAutoKVDString* path) = 0;                   // slot 12
};

struct ICustomDocument2 : ICustomDocument {
    virtual HRESULT SetChildDocInstance(long instance) = 0;                               // slot 13
    virtual HRESULT GetChildDocInstance(long* instance) = 0;                              // slot 14
    virtual HRESULT SetPersistDocPartName(uint32_t part, IAutoKVDString* name) = 0;       // slot 15
    virtual HRESULT GetPersistDocPartName(uint32_t part, IAutoKVDString** name) = 0;      // slot 16
    virtual HRESULT GetPersistDocPart(PSDPDocumentPart part, unsigned long flags, uint32_t* partId,
                                      IUnknown** persist) = 0;                            // slot 17
};

// A plug-in's document class, registered with the object factory.
struct ICustomDocClass : ICAFClassObject {
    virtual HRESULT GetDocumentClassName(IAutoKVDString** name) = 0;                      // slot 7
    virtual HRESULT GetFlags(DocumentClassFlags* flags) = 0;                              // slot 8
    virtual HRESULT CreateDocument(IDocManager* manager, IDocumentSite* site, uint32_t flags,
                                   ICustomDocument** out, IUnknown* outer) = 0;           // slot 9
    virtual HRESULT GetCommands(ICAFCommandGroup** group) = 0;                            // slot 10
    // The host registers the class: cls is the host's side of it.
    virtual HRESULT OnRegister(IDocumentClass* cls) = 0;                                  // slot 11
    virtual HRESULT Close() = 0;                                                          // slot 12
    virtual HRESULT GetDocumentClassId(const _IID** classId) = 0;                         // slot 13
};

// The host's side of a document class (the document-class base a plug-in class aggregates).
// It answers ICAFCommandHandler, routing commands to the class's active document. Documents of
// the class attach themselves while they live.
struct IDocumentClass : IUnknown {
    virtual HRESULT GetCustomClass(ICustomDocClass** cls) = 0;                            // slot 3
    virtual HRESULT GetDocumentCount(uint32_t* count) = 0;                                // slot 4
    virtual HRESULT GetDocumentAt(uint32_t index, IDocument** document) = 0;              // slot 5
    // The document that commands of the class go to (the last activated); null when none.
    virtual HRESULT GetActiveDocument(IDocument** document) = 0;                          // slot 6
    // The document becomes one of the class's, and its active one.
    virtual HRESULT AttachDocument(IDocument* document) = 0;                              // slot 7
    // KVD_S_FALSE when the document was not attached.
    virtual HRESULT DetachDocument(IDocument* document) = 0;                              // slot 8
    virtual HRESULT ActivateDocument(IDocument* document) = 0;                            // slot 9
};

// Class object (fixed type id 0x80000011) of the host's document base, which a plug-in document
// aggregates. docClass: the plug-in's document class.
struct IDocumentBaseClass : ICAFClassObject {
    virtual HRESULT CreateDocumentBase(ICustomDocClass* docClass, IDocumentSite* site, IUnknown* outer, bool flag,
                                       IUnknown** inner) = 0;                             // slot 7
};

// Class object (fixed type id 0x80000012) of the host's document-class base.
struct IDocClassBaseClass : ICAFClassObject {
    virtual HRESULT CreateDocClassBase(IUnknown* outer, bool flag, IUnknown** inner) = 0;  // slot 7
};

KVD_INTERFACE_ID(ICustomDocument, IID_ICustomDocument);
KVD_INTERFACE_ID(ICustomDocument2, IID_ICustomDocument2);
KVD_INTERFACE_ID(ICustomDocClass, IID_ICustomDocClass);
KVD_INTERFACE_ID(IDocumentClass, IID_IDocumentClass);
KVD_INTERFACE_ID(IDocumentBaseClass, IID_IDocumentBaseClass);
KVD_INTERFACE_ID(IDocClassBaseClass, IID_IDocClassBaseClass);
