// The settings dialog's tests share a host document analysed over the synthetic recording, the
// dialogs' layouts from the resources, the document class's menu and the plug-in's dialogs.
#pragma once

#include "DialogDocument.h"
#include "SpiroDocumentHost.h"
#include "host/loader/ClassRegistration.h"
#include "spirometry/SpiroDialogs.h"
#include "views/dialogs/CalcDialogs.h"

namespace DialogTest {

class SettingsDialogHost : public SpiroTest::SpiroDocumentHost {
protected:
    void SetUp() override
    {
        UseResourceLayouts();
        doc = &CreateAnalysedDocument();
        // Once each: the document class puts its menu in place.
        Host::RegisterDocumentAndViewClasses();
        Spirometry::InstallSpiroDialogs(&dialogs);
    }
    void TearDown() override
    {
        Spirometry::InstallSpiroDialogs(nullptr);
        SpiroDocumentHost::TearDown();
    }

    Spirometry::CalcDialogs dialogs;
    Spirometry::SpiroDocument* doc = nullptr;
};

}  // namespace DialogTest
