// Views of documents: the view classes a plug-in registers, the document views the host holds
// for open views, and the client window through which a view gets its native window.
#pragma once

#include "ICAFCommandHandler.h"
#include "IDocument.h"

typedef uint32_t ViewClassFlags;
// The id of one open view: bits 0-31 the view class's type id, 32-47 the view number, 48-63
// the instance.
typedef uint64_t IDL_CAFViewId;

// BDFB7C52-6DA5-449A-86A9-98CF6F3FB5EE
inline constexpr _IID IID_IDocViewClass = {0xBDFB7C52, 0x6DA5, 0x449A, {0x86, 0xA9, 0x98, 0xCF, 0x6F, 0x3F, 0xB5, 0xEE}};
// F0F40C1D-D192-4DE2-9AE5-FF218B67B5C6
inline constexpr _IID IID_IViewClass = {0xF0F40C1D, 0xD192, 0x4DE2, {0x9A, 0xE5, 0xFF, 0x21, 0x8B, 0x67, 0xB5, 0xC6}};
// A09F820B-2463-4B2E-8C1E-1162B22E86B8
inline constexpr _IID IID_IView = {0xA09F820B, 0x2463, 0x4B2E, {0x8C, 0x1E, 0x11, 0x62, 0xB2, 0x2E, 0x86, 0xB8}};
// E12B57C2-F9FF-42EC-9AFF-7FD90627B9F9
inline constexpr _IID IID_IDocView = {0xE12B57C2, 0xF9FF, 0x42EC, {0x9A, 0xFF, 0x7F, 0xD9, 0x06, 0x27, 0xB9, 0xF9}};
// 1584ED68-252B-4C2B-88DF-F606B1DDACDA
inline constexpr _IID IID_IDocView2 = {0x1584ED68, 0x252B, 0x4C2B, {0x88, 0xDF, 0xF6, 0x06, 0xB1, 0xDD, 0xAC, 0xDA}};
// AE48C138-599D-4E48-9B67-A7B8161A455A
inline constexpr _IID IID_IClientWindow = {0xAE48C138, 0x599D, 0x4E48, {0x9B, 0x67, 0xA7, 0xB8, 0x16, 0x1A, 0x45, 0x5A}};
// 068D3E5A-2320-4626-9E0F-A673B6A229F7
inline constexpr _IID IID_IClientWindowSite = {0x068D3E5A, 0x2320, 0x4626, {0x9E, 0x0F, 0xA6, 0x73, 0xB6, 0xA2, 0x29, 0xF7}};
// B880DF2E-A4D6-4040-A77F-16EA73D514DB
inline constexpr _IID IID_IViewClassAggBase = {0xB880DF2E, 0xA4D6, 0x4040, {0xA7, 0x7F, 0x16, 0xEA, 0x73, 0xD5, 0x14, 0xDB}};
// B73EBC60-DBBB-4B70-A8C7-C85C1FF09D21
inline constexpr _IID IID_IGenericClassObject = {0xB73EBC60, 0xDBBB, 0x4B70, {0xA8, 0xC7, 0xC8, 0x5C, 0x1F, 0xF0, 0x9D, 0x21}};
// 6080ACA8-B09A-4995-A4B8-36FAAFCE7486
inline constexpr _IID IID_IEnumInterface = {0x6080ACA8, 0xB09A, 0x4995, {0xA4, 0xB8, 0x36, 0xFA, 0xAF, 0xCE, 0x74, 0x86}};

struct IDocView;
struct IMenu;

// Commands a view class adds to the views' menus.
struct ViewCommandInfo {
    uint32_t count;
    uint32_t flags;
};

// An enumerator of interface ids.
struct IEnumInterface : IUnknown {
    // Up to count ids; KVD_S_FALSE when fewer came.
    virtual HRESULT Next(uint32_t count, _IID* out, uint32_t* delivered) = 0;             // slot 3
    virtual HRESULT Skip(uint32_t count) = 0;                                             // slot 4
    virtual HRESULT Reset() = 0;                                                          // slot 5
    virtual HRESULT Clone(IEnumInterface** out) = 0;                                      // slot 6
};

struct IViewClass : ICAFClassObject {
    virtual HRESULT GetViewName(IAutoKVDString** name) = 0;                               // slot 7
    virtual HRESULT GetCommandInfo(NSBundle** bundle, ViewCommandInfo* info) = 0;         // slot 8
    virtual HRESULT GetFlags(ViewClassFlags* flags) = 0;                                  // slot 9
    // The host registers the class; docClass is the document class it is offered with.
    virtual HRESULT OnRegister(IUnknown* docClass) = 0;                                   // slot 10
};

struct IDocViewClass : IViewClass {
    // A new document view of the document, with a reference.
    virtual HRESULT CreateView(uint32_t flags, IDocument* document, IDocView** out) = 0;  // slot 11
    // The interfaces a document must answer for views of this class to open on it.
    virtual HRESULT EnumDocInterfaces(IEnumInterface** out) = 0;                          // slot 12
    virtual HRESULT ViewCreated(IDocView* view) = 0;                                      // slot 13
    virtual HRESULT ViewDestroyed(IDocView* view) = 0;                                    // slot 14
    virtual HRESULT GetTotalViewCount(uint32_t flags, long* count) = 0;                   // slot 15
    virtual HRESULT RegisterViewSpecificCommands(ICAFCommandHandler* handler) = 0;        // slot 16
};

struct IView : IUnknown {
    virtual HRESULT GetViewName(IAutoKVDString** name) = 0;                               // slot 3
    virtual HRESULT CanClose(AutoBool* can) = 0;                                          // slot 4
    virtual HRESULT Close() = 0;                                                          // slot 5
};

struct IDocView : IView {
    virtual HRESULT SetViewNumber(uint32_t number) = 0;                                   // slot 6
    virtual HRESULT GetViewNumber(uint32_t* number) = 0;                                  // slot 7
    virtual HRESULT GetUniqueId(IDL_CAFViewId* id) = 0;                                   // slot 8
    virtual HRESULT OnActivate() = 0;                                                     // slot 9
    virtual HRESULT GetViewClass(IDocViewClass** cls) = 0;                                // slot 10
    virtual HRESULT GetDocument(IDocument** document) = 0;                                // slot 11
    virtual HRESULT GetMenu(IMenu** menu) = 0;                                            // slot 12
};

struct IDocView2 : IDocView {
    virtual HRESULT GetInstance(int* instance) = 0;                                       // slot 13
    virtual HRESULT SetInstance(int instance) = 0;                                        // slot 14
};

// The host window that shows a view's client window.
struct IClientWindowSite : IUnknown {
    virtual HRESULT GetParentWindow(HWND* parent) = 0;                                    // slot 3
    // Asks the host to close the view shown in the window.
    virtual HRESULT CloseView(IUnknown* view) = 0;                                        // slot 4
};

struct IClientWindow : IUnknown {
    virtual HRESULT DoCreateWindow(IClientWindowSite* site, HWND* out) = 0;               // slot 3
    // The host window goes away: the client forgets it.
    virtual HRESULT WarnDestroy() = 0;                                                    // slot 4
    virtual HRESULT GetMinMaxInfo(MINMAXINFO* info) = 0;                                  // slot 5
    virtual HRESULT GetSite(IClientWindowSite** site) = 0;                                // slot 6
};

// The host's view-class base, which a plug-in view class aggregates.
struct IViewClassAggBase : IUnknown {
    virtual HRESULT OnClassRegistered(IUnknown* docClass) = 0;                            // slot 3
    virtual HRESULT ViewActivated(IDocView* view) = 0;                                    // slot 4
    // The view last activated, null when none.
    virtual HRESULT GetActiveView(IDocView** view) = 0;                                   // slot 5
};

// A class object that creates plain objects, aggregated under outer when given.
struct IGenericClassObject : ICAFClassObject {
    virtual HRESULT CreateObject(IUnknown* outer, const _IID& iid, void** out) = 0;       // slot 7
};

KVD_INTERFACE_ID(IEnumInterface, IID_IEnumInterface);
KVD_INTERFACE_ID(IViewClass, IID_IViewClass);
KVD_INTERFACE_ID(IDocViewClass, IID_IDocViewClass);
KVD_INTERFACE_ID(IView, IID_IView);
KVD_INTERFACE_ID(IDocView, IID_IDocView);
KVD_INTERFACE_ID(IDocView2, IID_IDocView2);
KVD_INTERFACE_ID(IClientWindowSite, IID_IClientWindowSite);
KVD_INTERFACE_ID(IClientWindow, IID_IClientWindow);
KVD_INTERFACE_ID(IViewClassAggBase, IID_IViewClassAggBase);
KVD_INTERFACE_ID(IGenericClassObject, IID_IGenericClassObject);
