// Menu commands and command groups: host objects that the plug-in creates through host class
// objects and hands to the host when a document or view class registers.
//
// A command's path names its place in the host's menus: levels separated by "|" ("Spirometry|
// Data View"); a last level of "-" makes a separator.
#pragma once

#include "IFramework.h"
#include "WindowTypes.h"

// 745E3CA7-A28D-43C5-AECF-17D8CB067C1B
inline constexpr _IID IID_ICAFCommand = {0x745E3CA7, 0xA28D, 0x43C5, {0xAE, 0xCF, 0x17, 0xD8, 0xCB, 0x06, 0x7C, 0x1B}};
// F1219B8B-5912-47DF-ABFA-D6E41FFA58A9
inline constexpr _IID IID_ICAFCommandEx = {0xF1219B8B, 0x5912, 0x47DF, {0xAB, 0xFA, 0xD6, 0xE4, 0x1F, 0xFA, 0x58, 0xA9}};
// 656DBD0F-1AE9-4DAB-9CCA-6C6A244FE500
inline constexpr _IID IID_ICAFCommandMac = {0x656DBD0F, 0x1AE9, 0x4DAB, {0x9C, 0xCA, 0x6C, 0x6A, 0x24, 0x4F, 0xE5, 0x00}};
// 385F979D-A336-41A0-A3A1-975355F9B807
inline constexpr _IID IID_ICAFCommandClass = {0x385F979D, 0xA336, 0x41A0, {0xA3, 0xA1, 0x97, 0x53, 0x55, 0xF9, 0xB8, 0x07}};
// CED26D6A-6624-4C2C-A86E-5E7D1161C82D
inline constexpr _IID IID_ICAFCommandGroup = {0xCED26D6A, 0x6624, 0x4C2C, {0xA8, 0x6E, 0x5E, 0x7D, 0x11, 0x61, 0xC8, 0x2D}};
// D491C6FD-C6D7-46DC-BD33-F321CC47B632
inline constexpr _IID IID_ICAFCommandGroupClass = {0xD491C6FD, 0xC6D7, 0x46DC, {0xBD, 0x33, 0xF3, 0x21, 0xCC, 0x47, 0xB6, 0x32}};
// CEE717E2-C29C-4AD1-8057-60F86E07E7BC
inline constexpr _IID IID_IKVDXMLStringGroup = {0xCEE717E2, 0xC29C, 0x4AD1, {0x80, 0x57, 0x60, 0xF8, 0x6E, 0x07, 0xE7, 0xBC}};

// Command flags the framework sets itself.
constexpr uint32_t kCommandFlag_Plain = 0x2;
constexpr uint32_t kCommandFlag_Header = 0x8;      // added whenever kCommandFlag_TopLevel is set
constexpr uint32_t kCommandFlag_TopLevel = 0x20;

// The texts of a command, read by the host from the plug-in's string tables.
struct IKVDXMLStringGroup : IUnknown {
    virtual HRESULT GetResourceString(uint32_t flags, long index, IAutoKVDString** out) = 0;  // slot 3
};

// Key codes are packed: key in the low 16 bits, modifiers in the high 16 bits.
struct ICAFCommand : IUnknown {
    virtual HRESULT GetId(TCAFId* id) = 0;                                        // slot 3
    virtual HRESULT GetPath(IAutoKVDString** path) = 0;                           // slot 4
    virtual HRESULT GetMenuText(IAutoKVDString** text) = 0;                       // slot 5
    virtual HRESULT GetFlags(uint32_t* flags) = 0;                                // slot 6
    // The shortcut the host proposes for the command; 0 for none.
    virtual HRESULT GetDefaultKey(uint32_t* keyCode) = 0;                         // slot 7
    virtual HRESULT SetKeyCode(uint32_t keyCode) = 0;                             // slot 8
    virtual HRESULT GetKeyCode(uint32_t* keyCode) = 0;                            // slot 9
    virtual HRESULT GetHelpText(IAutoKVDString** text) = 0;                       // slot 10
};

struct ICAFCommandEx : IUnknown {
    // which 0: the command's primary shortcut.
    virtual HRESULT SetKeyCodeEx(uint32_t which, uint32_t keyCode) = 0;           // slot 3
    virtual HRESULT GetKeyCodeEx(uint32_t which, uint32_t* keyCode) = 0;          // slot 4
};

struct ICAFCommandMac : IUnknown {
    // The text the platform menu shows for the command besides its menu text.
    virtual HRESULT SetMacText(IAutoKVDString* text) = 0;                         // slot 3
    virtual HRESULT GetMacText(IAutoKVDString** text) = 0;                        // slot 4
};

// The host's command class: a class object of fixed type id 0x80000013.
struct ICAFCommandClass : ICAFClassObject {
    // A command known by its path alone; a separator has the path in separatorText.
    virtual HRESULT CreateCommand(IAutoKVDString* menuText, IAutoKVDString* separatorText, uint32_t flags,
                                  ICAFCommand** out) = 0;                                              // slot 7
    virtual HRESULT CreateCommandEx(IAutoKVDString* text, uint32_t flags, IAutoKVDString* help, IUnknown* target,
                                    int n, ICAFCommand** out) = 0;                                     // slot 8
    // strings gives the menu texts (entry 0 the menu text, entry 1 the help text).
    virtual HRESULT CreateCommandFull(TCAFId id, NSBundle* bundle, IKVDXMLStringGroup* strings, IAutoKVDString* path,
                                      int n, IAutoKVDString* s2, IAutoKVDString* s3, uint32_t flags, IUnknown* a,
                                      IUnknown* b, ICAFCommand** out) = 0;                             // slot 9
};

// A group's commands appear in the host's menus; a command invoked there goes to the handler
// the group was made with.
struct ICAFCommandGroup : IUnknown {
    virtual HRESULT AddCommand(ICAFCommand* command) = 0;                         // slot 3
    virtual HRESULT GetCommandCount(uint32_t* count) = 0;                         // slot 4
    virtual HRESULT GetCommandAt(uint32_t index, ICAFCommand** out) = 0;          // slot 5
    virtual HRESULT GetClassId(_IID* classId) = 0;                                // slot 6
};

// The host's command-group class: a class object of fixed type id 0x80000014.
struct ICAFCommandGroupClass : ICAFClassObject {
    // handler: the command handler the group's commands go to; owner: the class object.
    virtual HRESULT CreateGroup(const _IID* classId, IUnknown* handler, IUnknown* owner,
                                ICAFCommandGroup** out) = 0;                                           // slot 7
};

KVD_INTERFACE_ID(IKVDXMLStringGroup, IID_IKVDXMLStringGroup);
KVD_INTERFACE_ID(ICAFCommand, IID_ICAFCommand);
KVD_INTERFACE_ID(ICAFCommandEx, IID_ICAFCommandEx);
KVD_INTERFACE_ID(ICAFCommandMac, IID_ICAFCommandMac);
KVD_INTERFACE_ID(ICAFCommandClass, IID_ICAFCommandClass);
KVD_INTERFACE_ID(ICAFCommandGroup, IID_ICAFCommandGroup);
KVD_INTERFACE_ID(ICAFCommandGroupClass, IID_ICAFCommandGroupClass);
