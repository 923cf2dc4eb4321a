// Document classes and child documents through the host: registration and commands, creation
// in a host document, events, messages and release.
#include <gtest/gtest.h>

#include "FrameworkIds.h"
#include "TestHandlers.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/StringKeys.h"
#include "framework/CAFDocumentClass.h"
#include "framework/OrrelChildDocument.h"
#include "host/commands/MenuModel.h"
#include "host/document/HostDocument.h"
#include "host/loader/ClassRegistration.h"

using namespace FrameworkTest;

namespace {

// 2F4E7C1A-9B3D-4E2F-8A61-5C0D3B7E9F12: the test document class
inline constexpr _IID kTestDocGuid = {0x2F4E7C1A, 0x9B3D, 0x4E2F, {0x8A, 0x61, 0x5C, 0x0D, 0x3B, 0x7E, 0x9F, 0x12}};

typedef TypeIdClass<&kTestDocGuid, 0> TestDocTypeId;
typedef TypeIdClass<&kTestDocGuid, 1> HelloCmdId;
typedef TypeIdClass<&kTestDocGuid, 2> ClassOnlyCmdId;
typedef EventIdClass<&CLSID_OrrelDocument, 0> SelectionChangedId;
typedef StaticTypeIdClass<kEventId_CreationComplete> CreationCompleteId;

Log gLog;

class TestDoc : public OrrelChildDocument {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    TestDoc(IDocManager* manager, IDocumentSite* site, ICustomDocClass* cls, unsigned int flags)
        : OrrelChildDocument(manager, site, cls, flags)
    {
        gLog.push_back("doc: made");
    }
    ~TestDoc() override { gLog.push_back("doc: gone"); }

    static void GetCommands(CAFCommandGroup& group)
    {
        NSBundle* bundle = KVDGetMyBundle();
        group.Add(CAFCommand(L"TestDoc", 0x30, L"TestDoc", nullptr, 10000));
        group.Add(CAFCommand(HelloCmdId::GetId(), bundle, SpirometryStr::KVDCMDID_SettingsDlg, L"TestDoc|Hello", 10,
                             nullptr, nullptr));
        group.Add(CAFCommand(ClassOnlyCmdId::GetId(), bundle, SpirometryStr::KVDCMDID_SettingsDlg, L"TestDoc|Class",
                             10, nullptr, nullptr));
    }

    void CmHello() { gLog.push_back("doc: hello"); }
    void OnCreationComplete(IDocument* a, IDocument* b)
    {
        gLog.push_back(std::string("doc: created") + (a == b && a == GetInnerDocument() ? " (this one)" : ""));
    }
    void OnSelectionChanged() { gLog.push_back("doc: selection"); }
    bool HmNote(const KVD::String& text) { gLog.push_back("doc: " + KVD::ToU8String(text)); return text != L"stop"; }
};

CAF_DEFINE_RESPONSE_TABLE(TestDoc, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Event<TestDoc>(&CreationCompleteId::GetId, &TestDoc::OnCreationComplete),
    ResponseTable::Event<TestDoc>(&SelectionChangedId::GetId, &TestDoc::OnSelectionChanged),
    ResponseTable::Command<TestDoc>(&HelloCmdId::GetId, &TestDoc::CmHello),
    ResponseTable::Message<TestDoc, NoteMsg>(&TestDoc::HmNote),
    TableEnd(),
};

// The class answers one command of its own, and one its documents answer.
class TestDocClass : public CAFDocumentClass<TestDoc> {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    TestDocClass()
        : CAFDocumentClass(L"TestDoc", kTestDocGuid, &CATID_OrrelChildDocClass, TestDocTypeId::GetId(), 1, false)
    {
    }
    void CmHello() { gLog.push_back("class: hello"); }
    void CmClassOnly() { gLog.push_back("class: own command"); }
};

CAF_DEFINE_RESPONSE_TABLE(TestDocClass, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Command<TestDocClass>(&HelloCmdId::GetId, &TestDocClass::CmHello),
    ResponseTable::Command<TestDocClass>(&ClassOnlyCmdId::GetId, &TestDocClass::CmClassOnly),
    TableEnd(),
};

class Documents : public ::testing::Test {
protected:
    void SetUp() override
    {
        gLog.clear();
        cls = new TestDocClass;
        cls->AddRef();
        ObjectFactoryAccessor::Get()->RegisterClassObject(static_cast<ICustomDocClass*>(cls));
        host = Host::HostDocument::Create(L"Recording 1");
    }
    void TearDown() override
    {
        host->Close();
        host->Release();
        Host::MenuModel::Instance().Clear();
        ObjectFactoryAccessor::Get()->RevokeClassObject(TestDocTypeId::GetId());
        cls->Release();
    }

    KVD::COMPtr<ICustomDocument> CreateChild()
    {
        KVD::COMPtr<ICustomDocument> child;
        EXPECT_EQ(host->CreateChildDocument(cls, 0, child.Set()), KVD_S_OK);
        return child;
    }

    TestDocClass* cls = nullptr;
    Host::HostDocument* host = nullptr;
};

TEST_F(Documents, ClassAnswersItsQuestions)
{
    const _IID copy = CATID_OrrelChildDocClass;  // compared by value
    EXPECT_EQ(cls->IsInCategoryHR(&copy), KVD_S_OK);
    EXPECT_EQ(cls->IsInCategoryHR(&CATID_OrrelViewClass), KVD_S_FALSE);
    EXPECT_EQ(cls->IsInCategoryHR(nullptr), KVD_S_FALSE);
    ICAFCommandGroup* group = reinterpret_cast<ICAFCommandGroup*>(0x1);
    EXPECT_EQ(cls->GetCommands(&group), KVD_E_NOTIMPL);
    EXPECT_EQ(group, nullptr);
    // The host's document-class base is part of the class.
    KVD::COMPtr<IDocumentClass> hostSide(KVD::com_cast(static_cast<ICustomDocClass*>(cls)));
    EXPECT_NE(hostSide, nullptr);
    EXPECT_EQ(hostSide.get(), cls->GetInnerClass());
}

TEST_F(Documents, ChildDocumentCreatedAttachedAndReleased)
{
    KVD::COMPtr<ICustomDocument> child = CreateChild();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(gLog, (Log{"doc: made", "doc: created (this one)"}));
    TestDoc* doc = static_cast<TestDoc*>(static_cast<ICustomDocument2*>(child.get()));
    // The child took the host document's services from its site.
    EXPECT_NE(doc->GetAutoDocument(), nullptr);
    EXPECT_EQ(doc->GetSettingsRegistrar(), host->GetRegistrar());
    EXPECT_EQ(doc->GetSelection(), &host->GetSelection());
    // Its IDocument is the host's document base, whose root is the host document.
    KVD::COMPtr<IDocument> asDocument(KVD::com_cast(child.get()));
    ASSERT_NE(asDocument, nullptr);
    EXPECT_EQ(asDocument.get(), doc->GetInnerDocument());
    KVD::COMPtr<IDocument> root;
    asDocument->GetRootDocument(root.Set());
    EXPECT_EQ(root.get(), static_cast<IDocument*>(host));
    void* refused = nullptr;
    EXPECT_EQ(child->QueryInterface(IID_IPersistStorageDocument, &refused), KVD_E_NOINTERFACE);

    // The host document's events reach the child.
    gLog.clear();
    host->NotifyObservers(SelectionChangedId::GetId(), nullptr);
    EXPECT_EQ(gLog, (Log{"doc: selection"}));

    uint32_t documents = 0;
    cls->GetInnerClass()->GetDocumentCount(&documents);
    EXPECT_EQ(documents, 1u);
    gLog.clear();
    asDocument.Clear();
    root.Clear();
    EXPECT_EQ(host->CloseChildDocument(child), KVD_S_OK);
    child.Clear();
    EXPECT_EQ(gLog, (Log{"doc: gone"}));
    cls->GetInnerClass()->GetDocumentCount(&documents);
    EXPECT_EQ(documents, 0u);
    host->NotifyObservers(SelectionChangedId::GetId(), nullptr);
    EXPECT_EQ(gLog, (Log{"doc: gone"}));
}

TEST_F(Documents, CommandsGoToTheActiveDocumentFirst)
{
    EXPECT_GE(Host::RegisterDocumentAndViewClasses(), 1u);
    Host::MenuModel& menus = Host::MenuModel::Instance();
    // Without a document the class's own table answers.
    EXPECT_EQ(menus.Invoke("TestDoc|Hello"), KVD_S_OK);
    KVD::COMPtr<ICustomDocument> child = CreateChild();
    gLog.clear();
    // The host's document-class base sends it to the document; the class never sees it.
    EXPECT_EQ(menus.Invoke("TestDoc|Hello"), KVD_S_OK);
    EXPECT_EQ(menus.Invoke("TestDoc|Class"), KVD_S_OK);
    EXPECT_EQ(gLog, (Log{"doc: hello", "class: own command"}));
}

TEST_F(Documents, MessagesThroughTheDocumentAndStoredWithTheHostDocument)
{
    KVD::COMPtr<ICustomDocument> child = CreateChild();
    TestDoc* doc = static_cast<TestDoc*>(static_cast<ICustomDocument2*>(child.get()));
    gLog.clear();
    const SRKey key(NoteMsgId::GetId(), 7u, nullptr);
    EXPECT_EQ(doc->SendMsg(doc->GetDestination(), NoteMsg(L"kept"), key, 0), KVD_S_OK);
    EXPECT_EQ(doc->SendMsg(doc->GetDestination(), NoteMsg(L"stop"), 0), KVD_S_FALSE);
    EXPECT_EQ(gLog, (Log{"doc: kept", "doc: stop"}));
    uint32_t stored = 0;
    host->GetRegistrar()->GetObjectCount(&stored);
    EXPECT_EQ(stored, 1u);
    gLog.clear();
    EXPECT_EQ(doc->InitializeHandler(doc->GetSettingsRegistrar(), key, true), KVD_S_OK);
    EXPECT_EQ(gLog, (Log{"doc: kept"}));
}

}  // namespace
