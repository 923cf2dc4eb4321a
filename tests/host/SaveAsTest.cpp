// Save As through a registered class of the save-as category: the host finds it, describes it
// by its file description and calls its save operation with a scratch file beside the target
// and the host document; what the class asks the user is recorded and answered by the alert
// policy; the target is replaced only when the class succeeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include <unistd.h>

#include "appkit/Alert.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDString.h"
#include "foundation/cocoa/MessageBox.h"
#include "host/framework/HostAlertPolicy.h"
#include "host/saveas/SaveAsFormats.h"
#include "host/document/DataDocument.h"

namespace {

// EF0177A3-6671-410E-A8E7-079761145421
inline constexpr _IID kTestSaveAsGuid = {0xEF0177A3, 0x6671, 0x410E, {0xA8, 0xE7, 0x07, 0x97, 0x61, 0x14, 0x54, 0x21}};
typedef TypeIdClass<&kTestSaveAsGuid, 2> TestFormatId;

// A Save As class that records its calls and writes how it was called to the file; a path
// containing "locked" makes it ask the user whether to retry, write the reason in place of the
// file and fail with 0xF8008011, one containing "full" fail as a full disk would. Without
// offersEx it has only the older SaveAs.
class TestSaveAs final : public ICAFClassObject, public IFileSaveAsClass, public IFileSaveAsClass2, public IDocFileDescr {
public:
    bool offersEx = true;
    std::vector<std::string> calls;
    IUnknown* document = nullptr;

    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_ICAFClassObject)
            *out = static_cast<ICAFClassObject*>(this);
        else if (iid == IID_IFileSaveAsClass)
            *out = static_cast<IFileSaveAsClass*>(this);
        else if (iid == IID_IFileSaveAsClass2 && offersEx)
            *out = static_cast<IFileSaveAsClass2*>(this);
        else if (iid == IID_IDocFileDescr)
            *out = static_cast<IDocFileDescr*>(this);
        else
            return *out = nullptr, KVD_E_NOINTERFACE;
        return KVD_S_OK;
    }

    HRESULT GetTypeId(TCAFId* out) override { return *out = TestFormatId::GetId(), KVD_S_OK; }
    HRESULT GetCategory(const _IID** out) override { return *out = &CATID_OrrelSaveAsCategory, KVD_S_OK; }
    HRESULT GetObjectName(IAutoKVDString** out) override { return KVD::String(L"TestSaveAs").GetOut(out), KVD_S_OK; }
    HRESULT IsInCategoryHR(const _IID* category) override
    {
        return category != nullptr && *category == CATID_OrrelSaveAsCategory ? KVD_S_OK : KVD_S_FALSE;
    }

    HRESULT SaveAs(IUnknown* application, IAutoKVDString* path, SaveAsAspect aspect, IUnknown* doc) override
    {
        return Save("SaveAs", application, path, aspect, 0, doc);
    }
    HRESULT SaveAsEx(IUnknown* application, IAutoKVDString* path, SaveAsAspect aspect, FileSaveAsOptions options,
                     IUnknown* doc) override
    {
        return Save("SaveAsEx", application, path, aspect, options, doc);
    }

    HRESULT GetExtension(IAutoKVDString** out) override { return KVD::String(L"tst").GetOut(out), KVD_S_OK; }
    HRESULT GetDescription(IAutoKVDString** out) override { return KVD::String(L"Test Report").GetOut(out), KVD_S_OK; }
    HRESULT GetFlags(DocFileFlags* out) override { return *out = 2, KVD_S_OK; }
    HRESULT GetFormatId(TCAFId* out) override { return *out = TestFormatId::GetId(), KVD_S_OK; }
    HRESULT GetSupportedAspects(SaveAsAspect* out) override { return *out = 6, KVD_S_OK; }

private:
    HRESULT Save(const char* how, IUnknown* application, IAutoKVDString* path, SaveAsAspect aspect,
                 FileSaveAsOptions options, IUnknown* doc)
    {
        const std::string target = KVD::ToU8String(KVD::String(path));
        document = doc;
        // The scratch file: the target's stem after a dot, a mark, six characters, its extension.
        calls.push_back(std::string(how) + " " +
                        std::regex_replace(target, std::regex("/\\.([^/]+)\\.saving-\\w{6}\\.tst$"), "/$1.tst~") +
                        " aspect " + std::to_string(aspect) + " options " + std::to_string(options) +
                        (application == nullptr ? "" : " with application"));
        std::ofstream out(target);
        if (target.find("full") != std::string::npos) {
            errno = ENOSPC;
            return KVD_E_BADSTATE;
        }
        if (target.find("locked") == std::string::npos) {
            out << how << "\n";
            return KVD_S_OK;
        }
        const int answer = KVD::CAFMessageBox(HWND{}, L"The file is locked.", L"Test Report", KVD::kMbRetryCancel);
        calls.push_back("answer " + std::to_string(answer));
        out << "The file is locked.\r\n";
        return static_cast<HRESULT>(0xF8008011);
    }
};

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The files of a folder, by name.
std::vector<std::string> Files(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SaveAs, RegisteredClassFoundDescribedAndCalledWithTheDocument)
{
    TestSaveAs saver;
    ObjectFactoryAccessor::Get()->RegisterClassObject(static_cast<ICAFClassObject*>(&saver));
    const std::vector<Host::SaveAsFormat> formats = Host::RegisteredSaveAsFormats();
    const Host::SaveAsFormat* format = Host::FindSaveAsFormat(formats, ".TST");
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->description, "Test Report");
    EXPECT_EQ(format->formatId, TestFormatId::GetId());
    EXPECT_EQ(format->flags, 2u);
    EXPECT_EQ(Host::FindSaveAsFormat(formats, "csv"), nullptr);

    auto recording = std::make_shared<Host::Recording>("r.csv", 10.0, std::vector<Host::ChannelFormat>{{"Flow", "L/s"}});
    recording->AddRecord(Host::RecordBlock{2, {{1, 2}}});
    Host::DataDocument data(recording);
    IDocument* host = &data.Document();
    const std::string folder = ::testing::TempDir() + "saveas_" + std::to_string(getpid());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    EXPECT_EQ(Host::SaveDocumentAs(*format, host, folder + "/out.tst"), KVD_S_OK);
    EXPECT_EQ(saver.document, static_cast<IUnknown*>(host));
    EXPECT_EQ(Read(folder + "/out.tst"), "SaveAsEx\n");

    // The class asks the user itself; the policy answers and the alert is kept. What it wrote
    // in place of the file is the message; the file that was there stays.
    std::ofstream(folder + "/locked.tst") << "old";
    Host::InstallAlertPolicy({"Cancel"});
    AppKit::AlertPresenter::Shared().ClearShown();
    std::string why;
    EXPECT_EQ(Host::SaveDocumentAs(*format, host, folder + "/locked.tst", &why), static_cast<HRESULT>(0xF8008011));
    EXPECT_EQ(why, "The file is locked.");
    EXPECT_EQ(Read(folder + "/locked.tst"), "old");
    ASSERT_EQ(AppKit::AlertPresenter::Shared().Shown().size(), 1u);
    EXPECT_EQ(AppKit::AlertPresenter::Shared().Shown()[0].messageText, "The file is locked.");

    // A failed write: the system's words, the old file kept, no scratch file left.
    std::ofstream(folder + "/full.tst") << "old";
    EXPECT_EQ(Host::SaveDocumentAs(*format, host, folder + "/full.tst", &why), KVD_E_BADSTATE);
    EXPECT_EQ(why, std::strerror(ENOSPC));
    EXPECT_EQ(Read(folder + "/full.tst"), "old");

    saver.offersEx = false;
    EXPECT_EQ(Host::SaveDocumentAs(*format, host, folder + "/out.tst"), KVD_S_OK);
    EXPECT_EQ(Read(folder + "/out.tst"), "SaveAs\n");
    EXPECT_EQ(saver.calls, (std::vector<std::string>{"SaveAsEx " + folder + "/out.tst~ aspect 2 options 0",
                                                     "SaveAsEx " + folder + "/locked.tst~ aspect 2 options 0",
                                                     "answer 2", "SaveAsEx " + folder + "/full.tst~ aspect 2 options 0",
                                                     "SaveAs " + folder + "/out.tst~ aspect 2 options 0"}));
    EXPECT_EQ(Files(folder), (std::vector<std::string>{"full.tst", "locked.tst", "out.tst"}));
    AppKit::AlertPresenter::Shared().SetResponder(nullptr);
    ObjectFactoryAccessor::Get()->RevokeClassObject(TestFormatId::GetId());
    std::filesystem::remove_all(folder);
}

}  // namespace
