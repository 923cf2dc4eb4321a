#include "framework/OrrelChildDocument.h"

OrrelChildDocument::OrrelChildDocument(IDocManager* manager, IDocumentSite* site, ICustomDocClass* cls,
                                       unsigned int flags)
    : CAFDocument(manager, site, cls, flags), mAutoDocument(KVD::com_cast(site))
{
    if (mAutoDocument == nullptr)
        return;
    KVD::COMPtr<IUnknown> registrar;
    mAutoDocument->GetSettingsRegistrar(registrar.Set());
    mRegistrar = KVD::com_cast(registrar.get());
    mAutoDocument->GetData(mData.Set());
    mAutoDocument->GetSelection(0, mSelection.Set());
    KVD::COMPtr<IRecordData> records;
    mAutoDocument->GetRecordData(0, records.Set());
    mRecordData = KVD::com_cast(records.get());
}

void OrrelChildDocument::ReleaseHostServices()
{
    mRecordData.Clear();
    mSelection.Clear();
    mData.Clear();
    mRegistrar.Clear();
    mAutoDocument.Clear();
}

HRESULT OrrelChildDocument::Cleanup()
{
    ReleaseHostServices();
    return CAFDocument::Cleanup();
}
