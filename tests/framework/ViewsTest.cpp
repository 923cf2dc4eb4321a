// View classes and document views: a view opened through its class on the framework's message,
// its window asked for, its commands routed, and its close, after which the view is gone.
#include <gtest/gtest.h>

#include "FrameworkIds.h"
#include "IChannelCalc.h"
#include "TableDoubles.h"
#include "TestHandlers.h"
#include "foundation/ClassObjectAccessor.h"
#include "framework/CAFDocumentClass.h"
#include "framework/CAFOwlDocView.h"
#include "framework/OrrelChildDocument.h"
#include "framework/OwlDocViewClass.h"
#include "host/commands/MenuModel.h"
#include "host/document/HostDocument.h"
#include "host/loader/ClassRegistration.h"

using namespace FrameworkTest;

namespace {

// 7A51C3E0-1D2B-4C3A-9E8F-6B5A4D3C2B1A: the test views' document and view types
inline constexpr _IID kViewTestGuid = {0x7A51C3E0, 0x1D2B, 0x4C3A, {0x9E, 0x8F, 0x6B, 0x5A, 0x4D, 0x3C, 0x2B, 0x1A}};

typedef TypeIdClass<&kViewTestGuid, 0> ViewDocTypeId;
typedef TypeIdClass<&kViewTestGuid, 1> TestViewTypeId;
typedef TypeIdClass<&kViewTestGuid, 2> PickyViewTypeId;
typedef TypeIdClass<&kViewTestGuid, 3> ViewCommandId;
typedef MsgData1<StaticMsgIdClass<kMsgId_OpenView>, 0, MsgCAFId> OpenViewMsg;

Log gViewLog;

class ViewDoc : public OrrelChildDocument {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    using OrrelChildDocument::OrrelChildDocument;
    static void GetCommands(CAFCommandGroup&) {}
    // Keeps views shut while set: the message stops here.
    bool HmOpenView(CAFId) { return !shut; }
    bool shut = false;
};

CAF_DEFINE_RESPONSE_TABLE(ViewDoc, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Message<ViewDoc, OpenViewMsg>(&ViewDoc::HmOpenView),
    TableEnd(),
};

class TestView : public TWindow, public CAFCppEventHandler {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    TestView(TWindow* parent, IDocViewClass*, IDocView* docView, IDocument* document, NSBundle*)
        : TWindow(parent->GetNativeWindow()), mDocView(docView), mDocument(document)
    {
        gViewLog.push_back("view: made");
    }
    ~TestView() override { gViewLog.push_back("view: gone"); }

    HWND Create() override
    {
        gViewLog.push_back("view: window");
        HWND record{};
        record.words[2] = 0x5000;
        return record;
    }
    KVD::String GetViewName() const { return L"Test view"; }
    bool InitialisePosition(const IAutoOrrelDoc* host)
    {
        gViewLog.push_back(std::string("view: positioned") + (host != nullptr ? " in the host document" : ""));
        return true;
    }
    void CmViewCommand() { gViewLog.push_back("view: command"); }

    IDocView* mDocView;
    IDocument* mDocument;
};

CAF_DEFINE_RESPONSE_TABLE(TestView, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Command<TestView>(&ViewCommandId::GetId, &TestView::CmViewCommand),
    TableEnd(),
};

typedef CAFOwlDocView<TestView> TestDocView;
typedef CAFOwlDocViewClass<TestDocView> TestViewClass;

// A window site that records what it is asked.
class RecordingSite final : public StackObject<IClientWindowSite> {
public:
    HRESULT GetParentWindow(HWND* parent) override
    {
        *parent = HWND{};
        parent->words[2] = 0x7000;
        return KVD_S_OK;
    }
    HRESULT CloseView(IUnknown*) override { ++closes; return KVD_S_OK; }
    int closes = 0;
};

template <class T>
T* Registered(T* object)
{
    object->AddRef();
    ObjectFactoryAccessor::Get()->RegisterClassObject(static_cast<ICAFClassObject*>(static_cast<IViewClass*>(object)));
    return object;
}

class Views : public ::testing::Test {
protected:
    void SetUp() override
    {
        gViewLog.clear();
        docClass = new CAFDocumentClass<ViewDoc>(L"ViewDoc", kViewTestGuid, &CATID_OrrelChildDocClass,
                                                 ViewDocTypeId::GetId(), 1, false);
        docClass->AddRef();
        ObjectFactoryAccessor::Get()->RegisterClassObject(static_cast<ICustomDocClass*>(docClass));
        viewClass = Registered(new TestViewClass(L"Test View", &CATID_OrrelViewClass, 1, nullptr,
                                                 TestViewTypeId::GetId(), nullptr, {&IID_IDocument}));
        pickyClass = Registered(new TestViewClass(L"Picky View", &CATID_OrrelViewClass, 1, L"Picky",
                                                  PickyViewTypeId::GetId(), nullptr, {&IID_IDocument, &IID_IChannelCalc}));
        Host::RegisterDocumentAndViewClasses();
        host = Host::HostDocument::Create(L"Recording");
        host->CreateChildDocument(docClass, 0, child.Set());
        document = KVD::com_cast(child.get());
        doc = static_cast<ViewDoc*>(static_cast<ICustomDocument2*>(child.get()));
    }
    void TearDown() override
    {
        document.Clear();
        host->Close();
        child.Clear();
        host->Release();
        Host::MenuModel::Instance().Clear();
        for (TCAFId id : {ViewDocTypeId::GetId(), TestViewTypeId::GetId(), PickyViewTypeId::GetId()})
            ObjectFactoryAccessor::Get()->RevokeClassObject(id);
        docClass->Release();
        viewClass->Release();
        pickyClass->Release();
    }

    HRESULT OpenView(TCAFId type) { return doc->SendMsg(doc->GetDestination(), OpenViewMsg(type), 0); }
    uint32_t ViewCount()
    {
        uint32_t count = 0;
        document->GetViewCount(&count);
        return count;
    }
    KVD::COMPtr<IDocView> View(uint32_t index)
    {
        KVD::COMPtr<IUnknown> view;
        document->GetViewAt(index, view.Set());
        return KVD::COMPtr<IDocView>(KVD::com_cast(view.get()));
    }
    long LiveViews(TestViewClass* cls)
    {
        long count = 0;
        cls->GetTotalViewCount(0, &count);
        return count;
    }

    CAFDocumentClass<ViewDoc>* docClass = nullptr;
    TestViewClass* viewClass = nullptr;
    TestViewClass* pickyClass = nullptr;
    Host::HostDocument* host = nullptr;
    KVD::COMPtr<ICustomDocument> child;
    KVD::COMPtr<IDocument> document;
    ViewDoc* doc = nullptr;
};

TEST_F(Views, OpenedThroughTheClassOnTheOpenViewMessage)
{
    EXPECT_EQ(OpenView(TestViewTypeId::GetId()), KVD_S_OK);
    EXPECT_EQ(gViewLog, (Log{"view: made", "view: window", "view: positioned in the host document"}));
    ASSERT_EQ(ViewCount(), 1u);
    EXPECT_EQ(LiveViews(viewClass), 1);
    AutoBool open = kAutoFalse;
    document->IsViewOpen(TestViewTypeId::GetId(), &open);
    EXPECT_EQ(open, kAutoTrue);

    KVD::COMPtr<IDocView> view = View(0);
    IDL_CAFViewId id = 0;
    view->GetUniqueId(&id);
    EXPECT_EQ(id, TestViewTypeId::GetId() | 1ull << 32);
    KVD::String name;
    view->GetViewName(KVD::String::Setter(name));
    EXPECT_EQ(name, L"Test view");
    // The view object got the document view and the document.
    TestView* object = static_cast<TestDocView*>(static_cast<IDocView2*>(view.get()))->GetView();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->mDocView, view.get());
    EXPECT_EQ(object->mDocument, document.get());

    // The host's commands for the view reach the view object's table.
    KVD::COMPtr<ICAFCommandHandler> commands(KVD::com_cast(view.get()));
    EXPECT_EQ(commands->Command(ViewCommandId::GetId()), KVD_S_OK);
    EXPECT_EQ(gViewLog.back(), "view: command");
}

TEST_F(Views, ClosingDeletesTheViewOnce)
{
    OpenView(TestViewTypeId::GetId());
    KVD::COMPtr<IDocView> view = View(0);
    gViewLog.clear();
    EXPECT_EQ(document->CloseView(view), KVD_S_OK);
    EXPECT_EQ(gViewLog, (Log{"view: gone"}));
    EXPECT_EQ(ViewCount(), 0u);
    // A second close changes nothing; the view object is not deleted again.
    EXPECT_EQ(view->Close(), KVD_S_OK);
    KVD::COMPtr<ICAFCommandHandler> commands(KVD::com_cast(view.get()));
    EXPECT_EQ(commands->Command(ViewCommandId::GetId()), KVD_S_OK);
    EXPECT_EQ(gViewLog, (Log{"view: gone"}));
    EXPECT_EQ(LiveViews(viewClass), 1);
    commands.Clear();
    view.Clear();
    EXPECT_EQ(LiveViews(viewClass), 0);
}

TEST_F(Views, TheCloseMessageClosesTheViewItNames)
{
    OpenView(TestViewTypeId::GetId());
    OpenView(TestViewTypeId::GetId());
    ASSERT_EQ(ViewCount(), 2u);
    IDL_CAFViewId second = 0;
    View(1)->GetUniqueId(&second);
    EXPECT_EQ(second >> 32, 2u);
    // What the window controller sends: the two halves of the view id and a zero word.
    typedef MsgData3<StaticMsgIdClass<kMsgId_CloseView>, 0, MsgCAFId, unsigned int, unsigned int> CloseViewMsg;
    gViewLog.clear();
    doc->SendMsg(doc->GetDestination(), CloseViewMsg(static_cast<CAFId>(second), static_cast<unsigned>(second >> 32), 0),
                 0x100020);
    EXPECT_EQ(gViewLog, (Log{"view: gone"}));
    ASSERT_EQ(ViewCount(), 1u);
    IDL_CAFViewId left = 0;
    View(0)->GetUniqueId(&left);
    EXPECT_EQ(left >> 32, 1u);
}

TEST_F(Views, DocumentsWithoutTheInterfacesAndStoppedMessagesOpenNothing)
{
    OpenView(PickyViewTypeId::GetId());
    EXPECT_EQ(ViewCount(), 0u);
    EXPECT_EQ(LiveViews(pickyClass), 0);
    // The document's own table stops the message: the host's document base never sees it.
    doc->shut = true;
    EXPECT_EQ(OpenView(TestViewTypeId::GetId()), KVD_S_FALSE);
    EXPECT_EQ(ViewCount(), 0u);
    EXPECT_TRUE(gViewLog.empty());
}

TEST_F(Views, WindowMadeOnceAndClosedOnce)
{
    KVD::COMPtr<IDocView> view;
    ASSERT_EQ(viewClass->CreateView(0, document, view.Set()), KVD_S_OK);
    KVD::COMPtr<IClientWindow> window(KVD::com_cast(view.get()));
    RecordingSite site;
    HWND record{};
    EXPECT_EQ(window->DoCreateWindow(&site, &record), KVD_S_OK);
    EXPECT_EQ(record.words[2], 0x5000u);
    TestDocView* docView = static_cast<TestDocView*>(static_cast<IDocView2*>(view.get()));
    TWindow* first = docView->GetWindow();
    EXPECT_EQ(first->GetNativeWindow(), reinterpret_cast<void*>(0x7000));
    // A second window for the same view is refused; the first stays.
    EXPECT_EQ(window->DoCreateWindow(&site, &record), KVD_E_BADSTATE);
    EXPECT_EQ(docView->GetWindow(), first);
    EXPECT_EQ(gViewLog, (Log{"view: made", "view: window", "view: positioned in the host document"}));

    EXPECT_EQ(view->Close(), KVD_S_OK);
    EXPECT_EQ(site.closes, 1);
    EXPECT_EQ(view->Close(), KVD_S_OK);
    EXPECT_EQ(site.closes, 1);
    EXPECT_EQ(docView->GetView(), nullptr);
}

TEST_F(Views, UniqueIdPacksTypeNumberAndInstance)
{
    TestViewClass* cls = new TestViewClass(L"Fixed", &CATID_OrrelViewClass, 0, nullptr, 0x12340005, nullptr, {});
    cls->AddRef();
    KVD::COMPtr<IDocView> view;
    cls->CreateView(0, nullptr, view.Set());
    KVD::COMPtr<IDocView2> view2(KVD::com_cast(view.get()));
    view2->SetViewNumber(2);
    view2->SetInstance(1);
    IDL_CAFViewId id = 0;
    view2->GetUniqueId(&id);
    EXPECT_EQ(id, 0x0001000212340005ull);
    // The number keeps only its low 16 bits.
    view2->SetViewNumber(0x10003);
    view2->GetUniqueId(&id);
    EXPECT_EQ(id, 0x0001000312340005ull);
    view2.Clear();
    view.Clear();
    cls->Release();
}

TEST_F(Views, ClassAnswersItsQuestions)
{
    KVD::String objectName;  // the view name stands in for an object name not given
    viewClass->GetObjectName(KVD::String::Setter(objectName));
    EXPECT_EQ(objectName, L"Test View");
    NSBundle* bundle = reinterpret_cast<NSBundle*>(0x1);
    EXPECT_EQ(viewClass->GetCommandInfo(&bundle, nullptr), KVD_E_NOTIMPL);
    EXPECT_EQ(bundle, nullptr);
    const _IID copy = CATID_OrrelViewClass;  // compared by value
    EXPECT_EQ(viewClass->IsInCategoryHR(&copy), KVD_S_OK);
    KVD::COMPtr<IEnumInterface> ids;
    pickyClass->EnumDocInterfaces(ids.Set());
    _IID listed[3] = {};
    uint32_t count = 0;
    EXPECT_EQ(ids->Next(3, listed, &count), KVD_S_FALSE);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(listed[1], IID_IChannelCalc);
    // Registration told the host's view-class base, and made the view commands' group.
    EXPECT_NE(viewClass->GetCommandGroup(), nullptr);
}

}  // namespace
