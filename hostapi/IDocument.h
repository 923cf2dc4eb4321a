// Host documents: the document interface that every host document answers (a plug-in document
// answers it through the host object it aggregates), the site a child document lives in, and
// the application.
#pragma once

#include "IFramework.h"
#include "ReservedSlots.h"
#include "WindowTypes.h"

struct ICustomDocument;
struct IDocumentSite;
struct ICAFApplication;

// 81761278-B442-4B0D-96ED-E971CE596B5A
inline constexpr _IID IID_IDocument = {0x81761278, 0xB442, 0x4B0D, {0x96, 0xED, 0xE9, 0x71, 0xCE, 0x59, 0x6B, 0x5A}};
// BA7E0B8E-AC8E-419D-B3F2-E5DF5687B06B
inline constexpr _IID IID_IDocumentSite = {0xBA7E0B8E, 0xAC8E, 0x419D, {0xB3, 0xF2, 0xE5, 0xDF, 0x56, 0x87, 0xB0, 0x6B}};
// 197AFFF6-359E-44E5-A593-A1BEB4399F73
inline constexpr _IID IID_IDocManager = {0x197AFFF6, 0x359E, 0x44E5, {0xA5, 0x93, 0xA1, 0xBE, 0xB4, 0x39, 0x9F, 0x73}};
// 0DAA320A-CF09-4F4E-92DA-529CC9581C14
inline constexpr _IID IID_IUndoHistory = {0x0DAA320A, 0xCF09, 0x4F4E, {0x92, 0xDA, 0x52, 0x9C, 0xC9, 0x58, 0x1C, 0x14}};
// 6C8D94F6-50BD-4280-943C-F84B715CD7DE
inline constexpr _IID IID_ICAFApplication = {0x6C8D94F6, 0x50BD, 0x4280, {0x94, 0x3C, 0xF8, 0x4B, 0x71, 0x5C, 0xD7, 0xDE}};
// 2EC62A9E-6F03-43DC-B486-597CFBEEE322: the class id under which the host hands out its application
inline constexpr _IID IID_ICAFApplicationClassObject = {0x2EC62A9E, 0x6F03, 0x43DC, {0xB4, 0x86, 0x59, 0x7C, 0xFB, 0xEE, 0xE3, 0x22}};

// Views are passed as their IUnknown.
struct IDocument : IUnknown {
    virtual HRESULT GetDocumentName(IAutoKVDString** name) = 0;                           // slot 3
    virtual HRESULT GetSite(IDocumentSite** site) = 0;                                    // slot 4
    virtual HRESULT GetApplication(ICAFApplication** application) = 0;                    // slot 5
    // The document this one is a child of; null for a root document.
    virtual HRESULT GetParentDocument(IDocument** parent) = 0;                            // slot 6
    // The root of the document tree (this document for a root), with a reference.
    virtual HRESULT GetRootDocument(IDocument** root) = 0;                                // slot 7
    // The plug-in document of a child document; null for a host document.
    virtual HRESULT GetCustomDocument(ICustomDocument** document) = 0;                    // slot 8
    // The type id of the document's class.
    virtual HRESULT GetTypeId(TCAFId* typeId) = 0;                                        // slot 9
    // The document sets *can to 0 when the view must stay open.
    virtual HRESULT CanCloseView(IUnknown* view, AutoBool* can) = 0;                      // slot 10
    virtual HRESULT ViewClosed(IUnknown* view) = 0;                                       // slot 11
    virtual HRESULT ViewActivated(IUnknown* view) = 0;                                    // slot 12
    // Whether a view of the view class with this type id is open on the document.
    virtual HRESULT IsViewOpen(TCAFId viewClassType, AutoBool* open) = 0;                 // slot 13
    // Opens a view of the view class with this type id; the new view with a reference.
    virtual HRESULT OpenView(TCAFId viewClassType, IUnknown** view) = 0;                  // slot 14
    virtual HRESULT GetViewCount(uint32_t* count) = 0;                                    // slot 15
    virtual HRESULT GetViewAt(uint32_t index, IUnknown** view) = 0;                       // slot 16
    virtual HRESULT GetChildDocumentCount(uint32_t* count) = 0;                           // slot 17
    virtual HRESULT GetChildDocumentAt(uint32_t index, IDocument** child) = 0;            // slot 18
    // The host's own child object of the type (its data view, for instance); KVD_S_FALSE when none.
    virtual HRESULT GetChildView(TCAFId typeId, IUnknown** child) = 0;                    // slot 19
    // Closes the view: the view's window goes, then the view itself.
    virtual HRESULT CloseView(IUnknown* view) = 0;                                        // slot 20
    KVD_RESERVED_SLOTS(21, 24)
    // The document part of the type, created on first request when it can be; KVD_S_FALSE when none.
    virtual HRESULT GetChildObject(TCAFId typeId, uint32_t flags, IUnknown** child) = 0;  // slot 25
};

// Where a child document lives: its parent host document answers the site's questions.
struct IDocumentSite : IUnknown {
    // The parent document, with a reference.
    virtual HRESULT GetHostDocument(IDocument** document) = 0;                            // slot 3
    // Registers a persisted part of a document (its IPersist object) under the part number;
    // name receives the name the part is stored under.
    virtual HRESULT RegisterPersistPart(IUnknown* document, uint32_t part, IUnknown* persist, uint32_t a,
                                        uint32_t b, IAutoKVDString** name) = 0;           // slot 4
    // KVD_S_FALSE when nothing was registered under the part number.
    virtual HRESULT RevokePersistPart(IUnknown* document, uint32_t part) = 0;             // slot 5
};

// Creates and tracks documents; passed to document classes, which keep it to themselves.
struct IDocManager : IUnknown {
    virtual HRESULT GetDocumentCount(uint32_t* count) = 0;                                // slot 3
};

struct IUndoHistory : IUnknown {
    virtual HRESULT GetUndoCount(uint32_t* count) = 0;                                    // slot 3
};

struct ICAFApplication : IUnknown {
    // The record of the application's main window.
    virtual HRESULT GetMainWindow(HWND* window) = 0;                                      // slot 3
};

KVD_INTERFACE_ID(IDocument, IID_IDocument);
KVD_INTERFACE_ID(IDocumentSite, IID_IDocumentSite);
KVD_INTERFACE_ID(IDocManager, IID_IDocManager);
KVD_INTERFACE_ID(IUndoHistory, IID_IUndoHistory);
KVD_INTERFACE_ID(ICAFApplication, IID_ICAFApplication);
