// A document that lives as a child of the host's data document: it also takes the host's
// automation document from its site and keeps the services it needs of it.
#pragma once

#include "IOrrelDocument.h"
#include "ISettingsRegistrar.h"
#include "framework/CAFDocument.h"

class OrrelChildDocument : public CAFDocument {
public:
    OrrelChildDocument(IDocManager* manager, IDocumentSite* site, ICustomDocClass* cls, unsigned int flags);

    // Lets go of the host document first.
    HRESULT Cleanup() override;

    IAutoOrrelDoc* GetAutoDocument() const { return mAutoDocument; }
    ISettingsRegistrar* GetSettingsRegistrar() const { return mRegistrar; }
    IOrrelData2* GetData() const { return mData; }
    IRecordDataSelection* GetSelection() const { return mSelection; }
    IRecordData* GetRecordData() const { return mRecordData; }

private:
    void ReleaseHostServices();

    KVD::COMPtr<IAutoOrrelDoc> mAutoDocument;
    KVD::COMPtr<ISettingsRegistrar> mRegistrar;
    KVD::COMPtr<IOrrelData2> mData;
    KVD::COMPtr<IRecordDataSelection> mSelection;
    KVD::COMPtr<IRecordData> mRecordData;
};
