#include "appkit/KVDModalDialogController.h"

#include <sys/stat.h>
#include <typeinfo>

#include "appkit/KVDNumberEditHelper.h"
#include "appkit/Alert.h"
#include "appkit/Application.h"
#include "cf/Bundle.h"

namespace {

std::vector<std::string>& LayoutFolders()
{
    static std::vector<std::string> folders;
    return folders;
}

bool IsFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

void KVDModalDialogController::AddLayoutFolder(const std::string& folder) { LayoutFolders().push_back(folder); }

KVDModalDialogController::~KVDModalDialogController()
{
    if (mWindow)
        mWindow->SetController(nullptr);
}

bool KVDModalDialogController::InitWithWindowNibName(const std::string& nibName, const std::string& folder)
{
    mNibName = nibName;
    std::vector<std::string> folders = LayoutFolders();
    if (!folder.empty())
        folders.insert(folders.begin(), folder);
    // The layouts of the bundle whose code defines the dialog's class come first.
    if (NSBundle* bundle = NSBundle::BundleContaining(&typeid(*this)))
        folders.insert(folders.begin(), bundle->ResourcePath() + "/layouts");
    for (const std::string& f : folders)
        if (IsFile(AppKit::LayoutPath(f, nibName))) {
            mPath = AppKit::LayoutPath(f, nibName);
            return true;
        }
    return false;
}

AppKit::Window& KVDModalDialogController::GetWindow()
{
    if (!mWindow) {
        if (mPath.empty())
            throw AppKit::LayoutError(mNibName + ": no layout of that name");
        mWindow = AppKit::LoadLayout(mPath, *this);
        mWindow->SetController(this);
    }
    return *mWindow;
}

int KVDModalDialogController::ShowDialog()
{
    AppKit::Window& window = GetWindow();
    if (window.InitialFirstResponder() != nullptr)
        window.MakeFirstResponder(window.InitialFirstResponder());
    const int code = AppKit::Application::Shared().RunModalForWindow(window);
    window.MakeFirstResponder(nullptr);
    window.Close();
    return code == AppKit::Application::kModalResponseOK ? 1 : 0;
}

void KVDModalDialogController::Ok()
{
    if (!mWindow)
        return;
    // The field being edited gives up its text first, as leaving it would.
    mWindow->MakeFirstResponder(nullptr);
    // Every helper shows its state; the first invalid one says why and takes the keys.
    KVDNumberEditHelper* invalid = nullptr;
    for (KVDNumberEditHelper* helper : mHelpers)
        if (!helper->Validate() && invalid == nullptr)
            invalid = helper;
    if (invalid != nullptr) {
        if (invalid->ErrorProvider() == nullptr) {
            AppKit::Alert alert;
            alert.messageText = invalid->Problem();
            alert.RunModal();
        }
        if (invalid->Field() != nullptr)
            mWindow->MakeFirstResponder(invalid->Field());
        return;
    }
    Commit();
    AppKit::Application::Shared().StopModalWithCode(AppKit::Application::kModalResponseOK);
}

void KVDModalDialogController::Cancel()
{
    AppKit::Application::Shared().StopModalWithCode(AppKit::Application::kModalResponseCancel);
}

void KVDModalDialogController::Help()
{
    const std::string topic = HelpTopic();
    if (!topic.empty())
        AppKit::Application::Shared().ShowHelp(topic);
}

void KVDModalDialogController::WindowWillClose(AppKit::Window& window)
{
    // The close box of a modal dialog cancels it.
    if (AppKit::Application::Shared().ModalWindow() == &window)
        Cancel();
}

bool KVDModalDialogController::SetOutlet(const std::string& name, AppKit::View* view)
{
    const auto it = mOutlets.find(name);
    return it != mOutlets.end() && it->second(view);
}

bool KVDModalDialogController::RespondsTo(const std::string& selector) const
{
    return selector == "ok:" || selector == "cancel:" || selector == "help:" || mActions.count(selector) != 0;
}

bool KVDModalDialogController::Perform(const std::string& selector, void* sender)
{
    if (selector == "ok:")
        Ok();
    else if (selector == "cancel:")
        Cancel();
    else if (selector == "help:")
        Help();
    else if (const auto it = mActions.find(selector); it != mActions.end())
        it->second(static_cast<AppKit::Control*>(sender));
    else
        return false;
    return true;
}
