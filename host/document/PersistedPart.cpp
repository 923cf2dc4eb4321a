#include "host/document/PersistedPart.h"

#include "IPersistStreamInit.h"
#include "foundation/COMPtr.h"

namespace Host {
namespace {

KVD::COMPtr<IPersistStreamInit> GetPart(ICustomDocument* document)
{
    KVD::COMPtr<ICustomDocument2> owner(KVD::com_cast(document));
    if (owner == nullptr)
        return nullptr;
    KVD::COMPtr<IPersistStreamInit> part;
    uint32_t partId = 0;
    owner->GetPersistDocPart(0, 2, &partId, part.SetQuery());
    return part;
}

bool SameObject(IUnknown* a, IUnknown* b)
{
    KVD::COMPtr<IUnknown> ua(KVD::com_cast(a));
    KVD::COMPtr<IUnknown> ub(KVD::com_cast(b));
    return ua != nullptr && ua == ub;
}

}  // namespace

std::wstring PartStreamName(const std::wstring& className)
{
    return className + L" part 0";
}

HRESULT LoadPersistedPart(ICustomDocument* document, IStorage* storage, const std::wstring& name,
                          KVD::COMPtr<IUnknown>& loaded)
{
    if (document == nullptr || storage == nullptr)
        return KVD_E_POINTER;
    KVD::COMPtr<IStream> stream;
    storage->OpenStream(name.c_str(), nullptr, STGM_READ, 0, stream.Set());
    if (stream == nullptr)
        return KVD_S_FALSE;
    KVD::COMPtr<IPersistStreamInit> part = GetPart(document);
    if (part == nullptr)
        return KVD_S_FALSE;
    const HRESULT hr = part->Load(stream);
    if (hr == KVD_S_OK)
        loaded = KVD::com_cast(part.get());
    return hr;
}

HRESULT SavePersistedPart(ICustomDocument* document, IUnknown* registered, IStorage* storage,
                          const std::wstring& name)
{
    if (document == nullptr || storage == nullptr)
        return KVD_E_POINTER;
    KVD::COMPtr<IPersistStreamInit> part = GetPart(document);
    if (part == nullptr || !SameObject(part, registered))
        return KVD_S_FALSE;
    KVD::COMPtr<IStream> stream;
    const HRESULT created = storage->CreateStream(name.c_str(), STGM_CREATE | STGM_READWRITE, 0, 0, stream.Set());
    if (stream == nullptr)
        return created != KVD_S_OK ? created : KVD_E_BADSTATE;
    return part->Save(stream, true);
}

}  // namespace Host
