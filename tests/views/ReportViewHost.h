// A spirometry document over a small synthetic recording with the report view class
// registered as the plug-in registers it, its templates read from a bundle of the test's own
// (layouts from the plug-in's bundle), and pages that the test reads back.
#pragma once

#include "OpenedSpiroView.h"

#include <map>
#include <memory>
#include <string>

#include "SpiroDocumentHost.h"
#include "framework/CAFOwlDocView.h"
#include "support/TempFolder.h"
#include "views/ReportView.h"

namespace ViewsTest {

// Templates that echo their arguments, one letter per template.
extern const std::map<std::string, std::string> kEchoTemplates;

class ReportViewHost : public SpiroTest::SpiroDocumentHost {
protected:
    void SetUp() override;
    void TearDown() override;
    // The recording analysed; the small breathing unless a test says otherwise.
    virtual std::shared_ptr<const Host::Recording> Breathing() const { return nullptr; }

    // Writes the templates into the test bundle (the others stay as they are).
    void WriteTemplates(const std::map<std::string, std::string>& templates);
    // Opens the report on the spirometry document through its view class.
    Spirometry::ReportView& OpenReport();
    void CloseReport();
    // The page the web view was last given.
    std::string PageText() const;

    ViewsTest::OpenedSpiroView<Spirometry::ReportView> mOpened;
    Spirometry::ReportView* mView = nullptr;
    TestSupport::TempFolder mBundle;
};

}  // namespace ViewsTest
