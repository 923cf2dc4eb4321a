#include "spirometry/CSVSaveClassObject.h"

#include <typeinfo>

#include "IDocument.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/StringKeys.h"
#include "foundation/XKVD.h"
#include "foundation/cocoa/MessageBox.h"
#include "spirometry/SpiroDocument.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/SpiroText.h"

namespace Spirometry {
namespace {

// A single OK button; the higher bit is the host's and picks nothing.
constexpr unsigned kExportMessageFlags = 0x4000001;

void ShowExportFailure(const KVD::String& message)
{
    KVD::CAFMessageBox(HWND{}, message.c_str(), CachedText<SpirometryStr::IDS_EXPORT_DESCRIPTION>().c_str(),
                       kExportMessageFlags, CAFIdClass<&SpiroDocumentGUID, 0>::GetId(), 1, nullptr, nullptr, 0,
                       nullptr);
}

// The spirometry document under the host document; throws the export error when there is none.
SpiroDocument& SpirometryDocumentOf(IDocument* host)
{
    KVD::COMPtr<IUnknown> child;
    host->GetChildObject(SpiroDocumentTypeId(), 0, child.Set());
    KVD::COMPtr<ISpiroDocument> document(KVD::com_cast(child.get()));
    SpiroDocument* spirometry = dynamic_cast<SpiroDocument*>(document.get());
    if (spirometry == nullptr)
        throw XKVD(CachedText<SpirometryStr::IDS_EXPORT_ERROR>(), KVD_E_BADSTATE);
    return *spirometry;
}

}  // namespace

CSVSaveClassObject::CSVSaveClassObject(TCAFId formatId)
    : CAFFileDescriptor(formatId, kFileExtension, kDescriptor, kFlags, kAspects)
{
}

HRESULT CSVSaveClassObject::GetTypeId(TCAFId* out)
{
    return GetFormatId(out);
}

HRESULT CSVSaveClassObject::GetCategory(const _IID** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = &CATID_OrrelSaveAsCategory;
    return KVD_S_OK;
}

HRESULT CSVSaveClassObject::GetObjectName(IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    KVD::String(typeid(CSVSaveClassObject).name()).GetOut(out);
    return KVD_S_OK;
}

HRESULT CSVSaveClassObject::IsInCategoryHR(const _IID* category)
{
    return category != nullptr && *category == CATID_OrrelSaveAsCategory ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT CSVSaveClassObject::SaveAs(IUnknown* application, IAutoKVDString* path, SaveAsAspect aspect,
                                   IUnknown* document)
{
    return SaveAsEx(application, path, aspect, 0, document);
}

HRESULT CSVSaveClassObject::SaveAsEx(IUnknown*, IAutoKVDString* path, SaveAsAspect, FileSaveAsOptions,
                                     IUnknown* document)
{
    KVD::COMPtr<IDocument> host(KVD::com_cast(document));
    if (host == nullptr)
        return KVD_E_BADSTATE;
    try {
        const HRESULT hr = SpirometryDocumentOf(host).WriteTheReportInCSV(KVD::String(path));
        if (hr != KVD_S_OK && hr != KVD_S_FALSE)
            throw XKVD(CachedText<SpirometryStr::IDS_EXPORT_ERROR>(), hr);
        return hr;
    } catch (const XKVD& e) {
        ShowExportFailure(e.why());
        return e.GetCode();
    } catch (...) {
        // Nothing may leave a COM call; what is not ours is reported as the export failing.
        ShowExportFailure(CachedText<SpirometryStr::IDS_EXPORT_ERROR>());
        return KVD_E_BADSTATE;
    }
}

}  // namespace Spirometry
