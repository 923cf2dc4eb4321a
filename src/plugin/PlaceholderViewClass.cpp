#include "plugin/PlaceholderViewClass.h"

#include "FrameworkIds.h"
#include "ISpiroDocument.h"

namespace {

constexpr ViewClassFlags kViewClassFlags = 1;

}  // namespace

PlaceholderViewClass::PlaceholderViewClass(const KVD::String& className, const wchar_t* viewName, TCAFId typeId)
    : OwlDocViewClassBase(className, &CATID_OrrelViewClass, kViewClassFlags, viewName), mTypeId(typeId)
{
}

HRESULT PlaceholderViewClass::GetTypeId(TCAFId* id)
{
    if (id == nullptr)
        return KVD_E_POINTER;
    *id = mTypeId;
    return KVD_S_OK;
}

HRESULT PlaceholderViewClass::CreateView(uint32_t, IDocument*, IDocView** out)
{
    if (out != nullptr)
        *out = nullptr;
    return KVD_E_NOTIMPL;
}

HRESULT PlaceholderViewClass::EnumDocInterfaces(IEnumInterface** out)
{
    static const _IID* const kDocInterfaces[] = {&IID_IDocument, &Spirometry::IID_ISpiroDocInterface};
    return CreateInterfaceEnum(kDocInterfaces, 2, out);
}

HRESULT PlaceholderViewClass::GetCommandInfo(NSBundle** bundle, ViewCommandInfo*)
{
    if (bundle != nullptr)
        *bundle = nullptr;
    return KVD_S_OK;
}
