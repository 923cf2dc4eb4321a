// The class object through which the host offers the spirometry report as a file format of its
// Save As: it describes the format and, asked to save a host document, has the document's
// spirometry document write the CSV report. Failures are shown to the user and returned; no
// exception leaves it.
//
// It is registered by the entry point itself, so it is not linked into the list of statically
// made class objects: that list is never shortened, and an object that can be released must
// not stay in it.
#pragma once

#include "IFileSaveAsClass.h"
#include "IFramework.h"
#include "foundation/InterfaceMap.h"
#include "foundation/RefCount.h"
#include "spirometry/CAFFileDescriptor.h"

namespace Spirometry {

class CSVSaveClassObject : public ICAFClassObject,
                           public IFileSaveAsClass,
                           public IFileSaveAsClass2,
                           public CAFFileDescriptor {
public:
    static constexpr const wchar_t* kFileExtension = L"csv";
    static constexpr const wchar_t* kDescriptor = L"Spirometry Report CSV File";
    static constexpr DocFileFlags kFlags = 2;
    static constexpr SaveAsAspect kAspects = 1;

    explicit CSVSaveClassObject(TCAFId formatId);

    KVD_BEGIN_INTERFACE_MAP(CSVSaveClassObject)
        KVD_INTERFACE_ENTRY(ICAFClassObject)
        KVD_INTERFACE_ENTRY(IFileSaveAsClass)
        KVD_INTERFACE_ENTRY(IFileSaveAsClass2)
        KVD_INTERFACE_ENTRY(IDocFileDescr)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_QUERYINTERFACE()
    KVD_IMPLEMENT_HEAP_REFCOUNT()

    HRESULT GetTypeId(TCAFId* out) override;
    HRESULT GetCategory(const _IID** out) override;
    HRESULT GetObjectName(IAutoKVDString** out) override;
    HRESULT IsInCategoryHR(const _IID* category) override;

    HRESULT SaveAs(IUnknown* application, IAutoKVDString* path, SaveAsAspect aspect, IUnknown* document) override;
    HRESULT SaveAsEx(IUnknown* application, IAutoKVDString* path, SaveAsAspect aspect, FileSaveAsOptions options,
                     IUnknown* document) override;

    // What registration hands the host.
    IUnknown* GetInterface() { return static_cast<ICAFClassObject*>(this); }
};

}  // namespace Spirometry
