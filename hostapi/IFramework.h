// The host framework's object factory and dynamic-id factory, both answered by the framework
// object that KVDGetClassObject(CLSID_CAFFrameWork, ...) hands out.
#pragma once

#include "IUnknown.h"

struct IAutoKVDString;  // the string interface, declared with the wide string

// D046F18B-5AD8-4814-BCEB-05EAD82F51B0
inline constexpr _IID CLSID_CAFFrameWork = {0xD046F18B, 0x5AD8, 0x4814, {0xBC, 0xEB, 0x05, 0xEA, 0xD8, 0x2F, 0x51, 0xB0}};
// 55463F8C-F775-43E8-9D01-3616D5C35A30
inline constexpr _IID IID_IObjectFactory = {0x55463F8C, 0xF775, 0x43E8, {0x9D, 0x01, 0x36, 0x16, 0xD5, 0xC3, 0x5A, 0x30}};
// 48BE17FC-CE92-406F-83E1-0EFBDEBBBC00
inline constexpr _IID IID_IDynamicIdFactory = {0x48BE17FC, 0xCE92, 0x406F, {0x83, 0xE1, 0x0E, 0xFB, 0xDE, 0xBB, 0xBC, 0x00}};
// B3A02815-A92E-4DE7-A050-071743300945
inline constexpr _IID IID_ICAFClassObject = {0xB3A02815, 0xA92E, 0x4DE7, {0xA0, 0x50, 0x07, 0x17, 0x43, 0x30, 0x09, 0x45}};
// 479CBA3F-8B19-4FE8-AD98-E1656AAFAB3C
inline constexpr _IID IID_IEnumClassObjects = {0x479CBA3F, 0x8B19, 0x4FE8, {0xAD, 0x98, 0xE1, 0x65, 0x6A, 0xAF, 0xAB, 0x3C}};
// B70282DB-34B6-4C04-9E80-4C3B76EE2CCA
inline constexpr _IID IID_ICAFObjectCreator = {0xB70282DB, 0x34B6, 0x4C04, {0x9E, 0x80, 0x4C, 0x3B, 0x76, 0xEE, 0x2C, 0xCA}};

// A class object: what registers with the object factory.
struct ICAFClassObject : IUnknown {
    virtual HRESULT GetTypeId(TCAFId* out) = 0;                      // slot 3
    virtual HRESULT GetCategory(const _IID** out) = 0;               // slot 4
    virtual HRESULT GetObjectName(IAutoKVDString** out) = 0;         // slot 5
    virtual HRESULT IsInCategoryHR(const _IID* category) = 0;        // slot 6: 0 yes, S_FALSE no
};

// Offered by class objects whose instances the object factory can create by type id.
struct ICAFObjectCreator : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, const _IID& iid, void** out) = 0;   // slot 3
};

struct IEnumClassObjects : IUnknown {
    // Delivers up to count class objects, each with a reference; S_FALSE when fewer came.
    virtual HRESULT Next(uint32_t count, ICAFClassObject** out, uint32_t* delivered) = 0;  // slot 3
    virtual HRESULT Skip(uint32_t count) = 0;                                              // slot 4
    virtual HRESULT Reset() = 0;                                                           // slot 5
    virtual HRESULT Clone(IEnumClassObjects** out) = 0;                                    // slot 6
};

struct IObjectFactory : IUnknown {
    // Creates an object of the class registered under typeId (through its ICAFObjectCreator).
    virtual HRESULT CreateObject(TCAFId typeId, IUnknown* outer, const _IID& iid, void** out) = 0;  // slot 3
    // Removes a registration; S_FALSE when none was there.
    virtual HRESULT RevokeClassObject(TCAFId typeId) = 0;                                        // slot 4
    // The class object registered under typeId, with one reference for the caller.
    virtual HRESULT GetClassObject(TCAFId typeId, const _IID& iid, void** out) = 0;              // slot 5
    // Registers a class object, keeping a reference; a later one under the same type id wins.
    virtual HRESULT RegisterClassObject(IUnknown* classObject) = 0;                             // slot 6
    // The index-th class object in registration order, with one reference for the caller.
    virtual HRESULT GetClassObjectAt(uint32_t index, const _IID& iid, void** out) = 0;          // slot 7
    // Every registered class object in registration order.
    virtual HRESULT EnumClassObjects(IEnumClassObjects** out) = 0;                              // slot 8
    // Number of registered class objects.
    virtual HRESULT GetClassObjectCount(uint32_t* out) = 0;                                     // slot 9
    // The class objects in a category, in registration order.
    virtual HRESULT EnumClassObjectsInCategory(const _IID* category, IEnumClassObjects** out) = 0;  // slot 10
};

struct IDynamicIdFactory : IUnknown {
    // The same 16-bit id for the same GUID for the life of the process; never 0.
    virtual HRESULT GetDynId(const _IID& guid, uint16_t* id) = 0;     // slot 3
    virtual HRESULT GetGuid(uint16_t id, _IID* guid) = 0;             // slot 4
};

KVD_INTERFACE_ID(ICAFClassObject, IID_ICAFClassObject);
KVD_INTERFACE_ID(ICAFObjectCreator, IID_ICAFObjectCreator);
KVD_INTERFACE_ID(IEnumClassObjects, IID_IEnumClassObjects);
KVD_INTERFACE_ID(IObjectFactory, IID_IObjectFactory);
KVD_INTERFACE_ID(IDynamicIdFactory, IID_IDynamicIdFactory);

// Exported by the host executable; found by name in the main program.
extern "C" typedef HRESULT (*KVDGetClassObjectFn)(const _IID& clsid, const _IID& iid, void** out);
