#include "foundation/cocoa/MessageBox.h"

#include <cwchar>

#include "foundation/TextConversion.h"

namespace KVD {
namespace {

struct ButtonSet {
    unsigned bit;
    const char* titles[3];
    int results[3];
};

const ButtonSet kButtonSets[] = {
    {kMbOk, {"OK"}, {kIdOk}},
    {kMbAbortRetryIgnore, {"Abort", "Retry", "Ignore"}, {kIdAbort, kIdRetry, kIdIgnore}},
    {kMbCancelTryContinue, {"Cancel", "Try Again", "Continue"}, {kIdCancel, kIdTryAgain, kIdContinue}},
    {kMbOkCancel, {"OK", "Cancel"}, {kIdOk, kIdCancel}},
    {kMbRetryCancel, {"Retry", "Cancel"}, {kIdRetry, kIdCancel}},
    {kMbYesNo, {"Yes", "No"}, {kIdYes, kIdNo}},
    {kMbYesNoCancel, {"Yes", "No", "Cancel"}, {kIdYes, kIdNo, kIdCancel}},
};

// The set of the lowest flag bit of 1..64; null when none of them is set.
const ButtonSet* ButtonsFor(unsigned flags)
{
    for (const ButtonSet& set : kButtonSets)
        if (flags & set.bit)
            return &set;
    return nullptr;
}

std::string Utf8(const wchar_t* text) { return text ? ToU8String(text, std::wcslen(text)) : std::string(); }

}  // namespace

int CAFMessageBox(HWND, const wchar_t* text, const wchar_t*, unsigned int flags, TCAFId, int, IDocument*,
                  unsigned int*, int, ICAFApplication*)
{
    AppKit::Alert alert;
    alert.messageText = Utf8(text);
    const ButtonSet* set = ButtonsFor(flags & 0x7F);
    if (set != nullptr)
        for (const char* title : set->titles)
            if (title != nullptr)
                alert.AddButton(title);
    const int code = alert.RunModal();
    // A single OK, or the panel's own default button, answers the panel's raw result: 1.
    if (set == nullptr || set->bit == kMbOk)
        return kIdOk;
    const int index = code - AppKit::Alert::kFirstButton;
    return index >= 0 && index < 3 && set->titles[index] != nullptr ? set->results[index] : code;
}

StandardDialog::StandardDialog() : mAlert(std::make_shared<AppKit::Alert>()) {}

StandardDialog::StandardDialog(const String& message, const String& information) : StandardDialog()
{
    mAlert->messageText = ToU8String(message.c_str(), message.length());
    mAlert->informativeText = ToU8String(information.c_str(), information.length());
}

void StandardDialog::SetSeverity(DialogSeverity severity)
{
    if (severity == kCritical)
        mAlert->style = AppKit::Alert::Style::Critical;
}

int StandardDialog::RunDialog() { return mAlert->RunModal(); }

}  // namespace KVD
