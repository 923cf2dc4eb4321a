// The host's base of modal dialogs. It loads its window from the layout of its nib name, runs
// it modally and answers whether the user confirmed. Its layouts connect the buttons to "ok:",
// "cancel:" and "help:": OK first validates every registered number helper (each shows its
// state in its error provider) and refuses while any is invalid (the first invalid one's field
// takes the keys; an alert says why when it has no error provider); otherwise it calls Commit
// and stops with 1. Cancel stops with 0. Help
// opens the subclass's help topic. Subclasses declare their outlets and actions by name.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "appkit/Layout.h"
#include "appkit/Window.h"

class KVDNumberEditHelper;

class KVDModalDialogController : public AppKit::WindowController, public AppKit::LayoutOwner {
public:
    // Layouts are looked up by nib name in the folders added here, too.
    static void AddLayoutFolder(const std::string& folder);

    KVDModalDialogController() = default;
    ~KVDModalDialogController() override;

    // Names the layout NAME.xml, looked for in the layouts folder of the bundle whose code
    // defines the dialog's class, then the folder given, then the folders added. False when
    // none holds it.
    bool InitWithWindowNibName(const std::string& nibName, const std::string& folder = {});
    const std::string& NibName() const { return mNibName; }

    // The window, loaded on first use; throws AppKit::LayoutError when its layout cannot be read.
    AppKit::Window& GetWindow();
    bool IsWindowLoaded() const { return mWindow != nullptr; }

    // Runs the dialog modally: 1 when confirmed, 0 when not.
    int ShowDialog();
    // The helper stays the subclass's; it must live as long as the dialog shows.
    void AddValidationHelper(KVDNumberEditHelper* helper) { mHelpers.push_back(helper); }

    // Called on confirmation, after validation: the subclass takes the controls' values.
    virtual void Commit() {}
    // The help topic of the dialog; none by default.
    virtual std::string HelpTopic() const { return {}; }

    // The buttons' actions.
    void Ok();
    void Cancel();
    void Help();

    bool SetOutlet(const std::string& name, AppKit::View* view) override;
    bool RespondsTo(const std::string& selector) const override;
    bool Perform(const std::string& selector, void* sender) override;
    void WindowWillClose(AppKit::Window&) override;

protected:
    // Binds an outlet of the layout to a member; a view of another class is refused.
    template <class T>
    void DeclareOutlet(const std::string& name, T*& member)
    {
        mOutlets[name] = [&member](AppKit::View* view) {
            member = dynamic_cast<T*>(view);
            return member != nullptr;
        };
    }
    // Binds an action of the layout; the sender is the control.
    void DeclareAction(const std::string& selector, std::function<void(AppKit::Control*)> action)
    {
        mActions[selector] = std::move(action);
    }

private:
    std::string mNibName;
    std::string mPath;
    std::unique_ptr<AppKit::Window> mWindow;
    std::vector<KVDNumberEditHelper*> mHelpers;
    std::map<std::string, std::function<bool(AppKit::View*)>> mOutlets;
    std::map<std::string, std::function<void(AppKit::Control*)>> mActions;
};
