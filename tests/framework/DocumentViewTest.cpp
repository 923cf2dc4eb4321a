// A document view opened through its class: its window loaded from a layout, its position
// stored under its window key and restored when it opens again, its copy, print, preview and
// page-setup commands enabled and routed by the host, and nothing reached after its close.
#include <gtest/gtest.h>

#include <fstream>

#include "FrameworkIds.h"
#include "ViewHostFixture.h"
#include "appkit/PageLayout.h"
#include "appkit/Pasteboard.h"
#include "appkit/Window.h"
#include "foundation/cocoa/CocoaUtilities.h"
#include "framework/KVDHTMLWindow.h"
#include "framework/ViewBase.h"
#include "host/views/ViewCommands.h"

using namespace ViewTest;
using Host::ViewCommands;

namespace {

// Prints the window's content as it shows.
class WindowPrintView : public AppKit::DocViewPrintBase {
public:
    explicit WindowPrintView(AppKit::View& content) : mContent(content) {}
    void DrawPage(Gfx::Context& context, int) override { mContent.Display(context); }

private:
    AppKit::View& mContent;
};

class PlotView : public ViewBase {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    typedef MsgData0<StaticMsgIdClass<kMsgId_Copy>, 0x40> CopyMsg;
    typedef MsgData0<StaticMsgIdClass<kMsgId_Print>, 0x40> PrintMsg;

    PlotView(TWindow* parent, IDocViewClass* cls, IDocView* docView, IDocument* document, NSBundle* bundle)
        : ViewBase(parent, cls, docView, document, L"", bundle)
    {
    }

    HWND Create() override
    {
        mController = std::make_shared<SPIRO_KVDDocViewWindowController>("TestDocWindow", this);
        HWND record{};
        record.words[2] = reinterpret_cast<uintptr_t>(&mController->GetWindow());
        return record;
    }
    KVD::String Edit_CopyToClipboardMenuText() const override { return L"Copy Plot"; }
    KVD::String File_PrintMenuText() const override { return L"Print Plot"; }
    bool CanPrint() const override { return true; }
    bool CanCopyToClipboard() override { return true; }

    bool HmViewCopy()
    {
        const KVD::String text(L"flow plot");
        CopyToPasteboard(&mController->GetWindow().ContentView(), &text);
        return true;
    }
    bool HmViewPrint()
    {
        WindowPrintView print(mController->GetWindow().ContentView());
        AppKit::PrintOperation().Run(print);
        return true;
    }

    std::shared_ptr<SPIRO_KVDDocViewWindowController> mController;
};

CAF_DEFINE_RESPONSE_TABLE(PlotView, ViewBase) = {
    TableHeader(),
    ResponseTable::Message<PlotView, PlotView::CopyMsg>(&PlotView::HmViewCopy),
    ResponseTable::Message<PlotView, PlotView::PrintMsg>(&PlotView::HmViewPrint),
    TableEnd(),
};

std::string FileStart(const std::string& path, size_t n)
{
    std::ifstream in(path, std::ios::binary);
    std::string head(n, '\0');
    in.read(&head[0], static_cast<std::streamsize>(n));
    return head;
}

class DocumentView : public ViewHostFixture {
protected:
    void SetUp() override
    {
        ViewHostFixture::SetUp();
        type = AddViewClass<PlotView>(L"Plot View", 1, TestBundle());
    }

    // The message stored under the view's window key for messageId, or null.
    KVD::COMPtr<IMessage> Stored(TCAFId messageId, ViewId id)
    {
        const WindowKey key(messageId, id);
        KVD::COMPtr<IUnknown> object;
        host->GetRegistrar()->GetObject(key.GetKey(), object.Set());
        return KVD::COMPtr<IMessage>(KVD::com_cast(object.get()));
    }

    TCAFId type = 0;
};

TEST_F(DocumentView, WindowFromItsLayoutAndItsPositionKeptUnderItsWindowKey)
{
    KVD::COMPtr<IDocView> docView = Open(type);
    ASSERT_NE(docView, nullptr);
    PlotView* view = ViewObject<PlotView>(docView);
    auto* window = static_cast<AppKit::Window*>(view->GetNativeWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Title(), "Plot");
    EXPECT_NE(window->ContentView().FindView("plot"), nullptr);
    EXPECT_EQ(view->GetViewId(), type | 1ull << 32);
    EXPECT_EQ(view->GetRootDocument(), static_cast<IDocument*>(host));

    // Each move is stored under the window key, with the frame in whole host coordinates.
    window->SetFrame({40, 30, 500, 250});
    KVD::COMPtr<IMessage> stored = Stored(kMsgId_WindowPosition, view->GetViewId());
    ASSERT_NE(stored, nullptr);
    const void* block = nullptr;
    stored->GetParamBlock(&block);
    const ViewBase::PositionWindowMsg expected(type, 1u, tagRECT{40, 30, 540, 280});
    EXPECT_EQ(std::memcmp(block, expected.GetParamBlock(), expected.GetParamBlockSize()), 0);

    // The close button leaves the window to the host, which closes the view: the frame and
    // then the close request are sent, and the view goes.
    view->mController->PerformClose();
    EXPECT_EQ(ViewCount(), 0u);
    EXPECT_NE(Stored(kMsgId_CloseView, type | 1ull << 32), nullptr);

    // Opened again, the view's window takes the stored frame.
    docView = Open(type);
    view = ViewObject<PlotView>(docView);
    EXPECT_EQ(static_cast<AppKit::Window*>(view->GetNativeWindow())->Frame(), (AppKit::Rect{40, 30, 500, 250}));

    // Another view's position is handled and changes nothing; so does a stored object that
    // is no message.
    const tagRECT elsewhere{0, 0, 10, 10};
    EXPECT_TRUE(view->HmPositionWindow(type, 2u, elsewhere));
    EXPECT_EQ(static_cast<AppKit::Window*>(view->GetNativeWindow())->Frame().x, 40);
    EXPECT_FALSE(view->InitialisePosition(static_cast<const ISettingsRegistrar*>(nullptr)));
    {
        const WindowKey key(kMsgId_WindowPosition, view->GetViewId());
        const KVD::String notAMessage(L"frame");
        host->GetRegistrar()->SetObject(key.GetKey(), notAMessage.AsIAutoKVDString());
    }
    EXPECT_TRUE(view->InitialisePosition(host->GetRegistrar()));
    EXPECT_EQ(static_cast<AppKit::Window*>(view->GetNativeWindow())->Frame().x, 40);
}

TEST_F(DocumentView, CommandsEnabledAndRoutedToPasteboardPrinterAndPageSetup)
{
    KVD::COMPtr<IDocView> docView = Open(type);
    const ViewCommands::State copy = ViewCommands::Query(docView, ViewCommands::kCopy);
    const ViewCommands::State print = ViewCommands::Query(docView, ViewCommands::kPrint);
    const ViewCommands::State preview = ViewCommands::Query(docView, ViewCommands::kPrintPreview);
    EXPECT_TRUE(copy.enabled);
    EXPECT_EQ(copy.text, "Copy Plot");
    EXPECT_TRUE(print.enabled);
    EXPECT_EQ(print.text, "Print Plot");
    EXPECT_FALSE(preview.enabled);
    EXPECT_TRUE(ViewCommands::Query(docView, ViewCommands::kPageSetup).enabled);

    AppKit::Pasteboard::General().Clear();
    EXPECT_EQ(ViewCommands::Perform(docView, ViewCommands::kCopy), KVD_S_OK);
    EXPECT_EQ(AppKit::Pasteboard::General().Read(AppKit::Pasteboard::kPdfType).substr(0, 5), "%PDF-");
    EXPECT_EQ(AppKit::Pasteboard::General().Read(AppKit::Pasteboard::kTextType), "flow plot");

    const std::string pdf = ::testing::TempDir() + "plot-view.pdf";
    EXPECT_EQ(ViewCommands::PrintToPdf(docView, pdf), KVD_S_OK);
    EXPECT_EQ(FileStart(pdf, 5), "%PDF-");
    EXPECT_EQ(ViewCommands::Perform(docView, ViewCommands::kPrintPreview), KVD_E_BADSTATE);

    // Page setup edits the application's print info through the panel.
    const int shown = AppKit::PageLayout::Shared().ShownCount();
    AppKit::PageLayout::Shared().SetResponder([](AppKit::PrintInfo& info) {
        info.marginLeft = 72;
        return true;
    });
    const double before = AppKit::PrintInfo::Shared().marginLeft;
    EXPECT_EQ(ViewCommands::Perform(docView, ViewCommands::kPageSetup), KVD_S_OK);
    EXPECT_EQ(AppKit::PageLayout::Shared().ShownCount(), shown + 1);
    EXPECT_EQ(AppKit::PrintInfo::Shared().marginLeft, 72);
    AppKit::PageLayout::Shared().SetResponder(nullptr);
    AppKit::PrintInfo::Shared().marginLeft = before;

    // After its close the view is gone: its commands are disabled and reach nothing.
    document->CloseView(docView);
    EXPECT_FALSE(ViewCommands::Query(docView, ViewCommands::kCopy).enabled);
    EXPECT_EQ(ViewCommands::Perform(docView, ViewCommands::kCopy), KVD_E_BADSTATE);
    EXPECT_EQ(ViewCommands::PrintToPdf(docView, pdf), KVD_E_BADSTATE);
}

// The base's answers leave copy, print and preview disabled, with the texts still given.
TEST_F(DocumentView, BaseAnswersDisableTheCommands)
{
    struct QuietView : PlotView {
        using PlotView::PlotView;
        bool CanPrint() const override { return false; }
        bool CanCopyToClipboard() override { return false; }
    };
    const TCAFId quiet = AddViewClass<QuietView>(L"Quiet View", 2, TestBundle());
    KVD::COMPtr<IDocView> docView = Open(quiet);
    const ViewCommands::State copy = ViewCommands::Query(docView, ViewCommands::kCopy);
    EXPECT_FALSE(copy.enabled);
    EXPECT_EQ(copy.text, "Copy Plot");
    EXPECT_FALSE(ViewCommands::Query(docView, ViewCommands::kPrint).enabled);
    EXPECT_EQ(ViewCommands::Perform(docView, ViewCommands::kPrint), KVD_E_BADSTATE);
}

// A controller whose view has gone, or that never had one, sends nothing and closes nothing.
TEST(DocViewWindowController, WithoutAnOwnerViewItReportsNothing)
{
    SPIRO_KVDHTMLWindow controller("KVDHTMLWindow", nullptr);
    AppKit::Window& window = controller.GetWindow();
    window.Show();
    window.SetFrame({1, 2, 300, 200});
    controller.PerformClose();
    EXPECT_TRUE(window.IsVisible());
    EXPECT_EQ(controller.GetMessageSender().GetDestination(), nullptr);
    controller.ForgetOwnerView();
    EXPECT_FALSE(window.IsVisible());
}

}  // namespace
