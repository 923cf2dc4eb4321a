#include "appkit/UserDriver.h"

#include "appkit/Alert.h"
#include "appkit/Application.h"
#include "appkit/Matrix.h"
#include "appkit/Menu.h"
#include "appkit/Slider.h"
#include "appkit/TabView.h"
#include "appkit/TextField.h"

namespace AppKit {
namespace {

// The title a person reads on a view, or empty.
std::string ShownTitle(View& view)
{
    if (auto* button = dynamic_cast<Button*>(&view))
        return button->Title();
    if (auto* label = dynamic_cast<Label*>(&view))
        return label->Text();
    if (auto* popUp = dynamic_cast<PopUpButton*>(&view))
        return popUp->PullsDown() ? popUp->Title() : popUp->TitleOfSelectedItem();
    return {};
}

void FindByTitle(View& view, const std::string& title, std::vector<View*>& found)
{
    if (ShownTitle(view) == title)
        found.push_back(&view);
    for (const auto& sub : view.Subviews())
        FindByTitle(*sub, title, found);
}

Gfx::Point Middle(const View& view) { return {view.Frame().width / 2, view.Frame().height / 2}; }

}  // namespace

void UserDriver::Fail(const std::string& name, const std::string& what) const
{
    throw UserDriverError("window \"" + mWindow.Title() + "\": \"" + name + "\" " + what);
}

View& UserDriver::Find(const std::string& name) const
{
    if (View* view = mWindow.ContentView().FindView(name))
        return *view;
    std::vector<View*> found;
    FindByTitle(mWindow.ContentView(), name, found);
    if (found.empty())
        Fail(name, "names no control");
    if (found.size() > 1)
        Fail(name, "names " + std::to_string(found.size()) + " controls");
    return *found.front();
}

Control& UserDriver::Enabled(const std::string& name) const
{
    auto& control = Find<Control>(name);
    if (!control.IsEnabled())
        Fail(name, "is disabled");
    if (control.IsHiddenOrHasHiddenAncestor())
        Fail(name, "is hidden");
    return control;
}

void UserDriver::Send(EventType type, View& view, const Gfx::Point& at, int clickCount, unsigned modifiers)
{
    Event e;
    e.type = type;
    e.locationInWindow = view.ConvertPointToWindow(at);
    e.clickCount = clickCount;
    e.modifierFlags = modifiers;
    mWindow.PostEvent(e);
}

void UserDriver::Click(const std::string& name, int clickCount, unsigned modifiers)
{
    // Cells of a matrix are clicked as they are, not the matrix's middle.
    View& view = Find(name);
    if (dynamic_cast<Control*>(&view) != nullptr)
        Enabled(name);
    else if (view.IsHiddenOrHasHiddenAncestor())
        Fail(name, "is hidden");
    Click(view, Middle(view), clickCount, modifiers);
}

void UserDriver::Click(View& view, const Gfx::Point& at, int clickCount, unsigned modifiers)
{
    Send(EventType::MouseDown, view, at, clickCount, modifiers);
    Send(EventType::MouseUp, view, at, clickCount, modifiers);
    mWindow.DispatchPostedEvents();
}

void UserDriver::DoubleClick(View& view, const Gfx::Point& at)
{
    Click(view, at, 1);
    Click(view, at, 2);
}

void UserDriver::RightClick(View& view, const Gfx::Point& at)
{
    Send(EventType::RightMouseDown, view, at);
    Send(EventType::RightMouseUp, view, at);
    mWindow.DispatchPostedEvents();
}

void UserDriver::Type(const std::string& field, const std::string& text)
{
    auto* found = dynamic_cast<TextField*>(&Enabled(field));
    if (found == nullptr || !found->IsEditable())
        Fail(field, "is no editable text field");
    TextField& target = *found;
    Click(target, Middle(target));
    if (mWindow.FirstResponder() != &target)
        Fail(field, "does not take the keys");
    Press("a", kCommandKeyMask);
    if (text.empty() && !target.StringValue().empty())
        Press(Key::kBackspace);
    TypeKeys(text);
}

void UserDriver::Enter(const std::string& field, const std::string& text)
{
    Type(field, text);
    Press(Key::kReturn);
}

void UserDriver::TypeKeys(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        size_t next = i + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80)
            ++next;
        Press(text.substr(i, next - i));
        i = next;
    }
}

void UserDriver::Press(const std::string& characters, unsigned modifiers)
{
    Event e;
    e.type = EventType::KeyDown;
    e.characters = characters;
    e.modifierFlags = modifiers;
    mWindow.SendEvent(e);
}

void UserDriver::Choose(const std::string& popUp, const std::string& itemTitle)
{
    auto* found = dynamic_cast<PopUpButton*>(&Enabled(popUp));
    if (found == nullptr)
        Fail(popUp, "is no pop-up button");
    PopUpButton& button = *found;
    // A menu filled as it shows is checked by the scripted user instead, when it shows.
    if (!button.ItemMenu()->IsFilledWhenShown() && button.ItemMenu()->FindPath(itemTitle) == nullptr)
        Fail(popUp, "has no item \"" + itemTitle + "\"");
    AlertPresenter::Shared().Script({itemTitle});
    Click(button, Middle(button));
}

void UserDriver::ChooseFromContextMenu(View& view, const Gfx::Point& at, const std::string& itemPath)
{
    AlertPresenter::Shared().Script({itemPath});
    const size_t before = AlertPresenter::Shared().ScriptedAnswersLeft();
    RightClick(view, at);
    if (AlertPresenter::Shared().ScriptedAnswersLeft() == before)
        Fail(view.Identifier(), "shows no context menu there");
}

void UserDriver::ChooseMenuItem(const std::string& path)
{
    MenuItem* item = MainMenu().FindPath(path);
    if (item == nullptr)
        throw UserDriverError("the main menu has no item \"" + path + "\"");
    if (!item->Invoke())
        throw UserDriverError("the menu item \"" + path + "\" does nothing");
}

void UserDriver::Drag(View& view, const Gfx::Point& from, const Gfx::Point& to, int steps, unsigned modifiers)
{
    Send(EventType::MouseDown, view, from, 1, modifiers);
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps;
        Send(EventType::MouseDragged, view, {from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t}, 1, modifiers);
    }
    Send(EventType::MouseUp, view, to, 1, modifiers);
    mWindow.DispatchPostedEvents();
}

void UserDriver::MoveMouse(View& view, const Gfx::Point& to, unsigned modifiers)
{
    Send(EventType::MouseMoved, view, to, 0, modifiers);
    mWindow.DispatchPostedEvents();
}

void UserDriver::ChangeModifiers(unsigned modifiers)
{
    Event e;
    e.type = EventType::FlagsChanged;
    e.modifierFlags = modifiers;
    mWindow.SendEvent(e);
}

void UserDriver::Scroll(View& view, const Gfx::Point& at, double dy, double dx)
{
    Event e;
    e.type = EventType::ScrollWheel;
    e.locationInWindow = view.ConvertPointToWindow(at);
    e.deltaX = dx;
    e.deltaY = dy;
    mWindow.SendEvent(e);
}

void UserDriver::AnswerNextModal(std::function<void(UserDriver&)> answer)
{
    Application::Shared().ScriptModal([answer = std::move(answer)](Window& window) {
        UserDriver user(window);
        answer(user);
    });
}

void UserDriver::AnswerNextAlert(const std::string& buttonTitle) { AlertPresenter::Shared().Script({buttonTitle}); }

std::string UserDriver::StringValue(const std::string& name) const
{
    View& view = Find(name);
    if (auto* field = dynamic_cast<TextField*>(&view))
        return field->StringValue();
    const std::string title = ShownTitle(view);
    if (title.empty() && dynamic_cast<Button*>(&view) == nullptr && dynamic_cast<Label*>(&view) == nullptr &&
        dynamic_cast<PopUpButton*>(&view) == nullptr)
        Fail(name, "shows no text");
    return title;
}

double UserDriver::DoubleValue(const std::string& name) const
{
    View& view = Find(name);
    if (auto* field = dynamic_cast<TextField*>(&view))
        return field->DoubleValue();
    if (auto* slider = dynamic_cast<Slider*>(&view))
        return slider->DoubleValue();
    if (auto* stepper = dynamic_cast<Stepper*>(&view))
        return stepper->DoubleValue();
    if (auto* scroller = dynamic_cast<Scroller*>(&view))
        return scroller->Value();
    Fail(name, "shows no number");
}

int UserDriver::State(const std::string& name) const { return Find<Button>(name).GetState(); }

int UserDriver::SelectedTag(const std::string& name) const
{
    View& view = Find(name);
    if (auto* popUp = dynamic_cast<PopUpButton*>(&view))
        return popUp->SelectedTag();
    if (auto* matrix = dynamic_cast<Matrix*>(&view))
        return matrix->SelectedTag();
    Fail(name, "has no selection");
}

std::string UserDriver::SelectedTitle(const std::string& name) const
{
    View& view = Find(name);
    if (auto* popUp = dynamic_cast<PopUpButton*>(&view))
        return popUp->TitleOfSelectedItem();
    if (auto* matrix = dynamic_cast<Matrix*>(&view))
        return matrix->SelectedCell() ? matrix->SelectedCell()->Title() : std::string();
    if (auto* tabs = dynamic_cast<TabView*>(&view))
        return tabs->IndexOfSelectedTab() < 0 ? std::string() : tabs->LabelAt(size_t(tabs->IndexOfSelectedTab()));
    Fail(name, "has no selection");
}

bool UserDriver::IsEnabled(const std::string& name) const { return Find<Control>(name).IsEnabled(); }

std::string UserDriver::ToolTip(const std::string& name) const { return Find<Control>(name).ToolTip(); }

}  // namespace AppKit
