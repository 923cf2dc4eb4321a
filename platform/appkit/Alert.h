// Modal alerts. Nobody sits at the screen: a presenter answers them — a scripted user in
// tests, the host's policy in spirohost — and every alert shown is kept for inspection.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace AppKit {

class Alert {
public:
    enum class Style { Warning, Informational, Critical };
    // Button codes of a modal run: the first button answers 1000, the second 1001, ...
    static constexpr int kFirstButton = 1000;

    std::string messageText;
    std::string informativeText;
    Style style = Style::Warning;

    // Buttons in order; an alert without any shows a single "OK".
    void AddButton(const std::string& title) { mButtons.push_back(title); }
    const std::vector<std::string>& Buttons() const { return mButtons; }

    // Shows the alert through the presenter and returns the code of the button chosen.
    int RunModal() const;

private:
    std::vector<std::string> mButtons;
};

// Answers alerts with the index (0-based) of the button chosen.
class AlertPresenter {
public:
    using Responder = std::function<size_t(const Alert&)>;

    static AlertPresenter& Shared();

    // Without a responder the first button is chosen.
    void SetResponder(Responder responder) { mResponder = std::move(responder); }
    // Answers the next alerts with these button titles in turn, then falls back to the
    // responder. A title that is no button of its alert aborts the program with a message.
    void Script(std::vector<std::string> buttonTitles);

    size_t Present(const Alert& alert);
    const std::vector<Alert>& Shown() const { return mShown; }
    void ClearShown() { mShown.clear(); }

private:
    Responder mResponder;
    std::vector<std::string> mScript;
    std::vector<Alert> mShown;
};

}  // namespace AppKit
