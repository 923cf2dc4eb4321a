// A spirometry document over the small synthetic recording with the loop view class registered
// as the plug-in registers it (layouts and texts from the plug-in's bundle).
#pragma once

#include "OpenedSpiroView.h"

#include "SpiroDocumentHost.h"
#include "views/SpiroLoopView.h"

namespace ViewsTest {

class LoopViewHost : public SpiroTest::SpiroDocumentHost {
protected:
    void SetUp() override;
    void TearDown() override;

    // Registers the loop view's class under the plug-in's name for it.
    void RegisterLoopClass();
    // Opens the loop view on the spirometry document through its view class.
    Spirometry::SpiroLoopView& OpenLoop();
    void CloseLoop();

    ViewsTest::OpenedSpiroView<Spirometry::SpiroLoopView> mOpened;
    Spirometry::SpiroLoopView* mView = nullptr;
};

}  // namespace ViewsTest
