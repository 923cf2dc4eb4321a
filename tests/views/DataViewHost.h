// The spirometry data view on the small synthetic recording, opened through its view class as
// the plug-in registers it, its two pages in-process pages that record the scripts they get.
#pragma once

#include "OpenedSpiroView.h"

#include <memory>
#include <string>
#include <vector>

#include "SpiroDocumentHost.h"
#include "support/TempFolder.h"
#include "views/SpiroDataView.h"
#include "web/InProcessPage.h"

namespace ViewsTest {

class DataViewHost : public SpiroTest::SpiroDocumentHost {
protected:
    // The recording the view shows: the small breathing unless a test draws its own.
    virtual std::shared_ptr<const Host::Recording> Breathing() const { return nullptr; }
    void SetUp() override;
    void TearDown() override;

    Spirometry::SpiroDataView& OpenDataView();
    void CloseDataView();
    // The scripts a page got, each joined by a newline.
    std::string ScriptsOf(size_t page) const;

    ViewsTest::OpenedSpiroView<Spirometry::SpiroDataView> mOpened;
    Spirometry::SpiroDataView* mView = nullptr;
    std::vector<Web::InProcessPage*> mPages;
};

}  // namespace ViewsTest
