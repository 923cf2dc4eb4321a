// The message boxes and standard dialogs with which the document and the dialogs ask the user;
// they run as modal alerts of the appkit stand-in.
#pragma once

#include <memory>

#include "HWND.h"
#include "KVDTypes.h"
#include "appkit/Alert.h"
#include "foundation/KVDString.h"

struct IDocument;
struct ICAFApplication;

namespace KVD {

// Message-box flags: the lowest set bit of 1..64 picks the buttons.
enum MessageBoxFlags : unsigned {
    kMbOk = 1,
    kMbAbortRetryIgnore = 2,
    kMbCancelTryContinue = 4,
    kMbOkCancel = 8,
    kMbRetryCancel = 16,
    kMbYesNo = 32,
    kMbYesNoCancel = 64,
};

// Results of a message box.
enum MessageBoxResult : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdAbort = 3,
    kIdRetry = 4,
    kIdIgnore = 5,
    kIdYes = 6,
    kIdNo = 7,
    kIdTryAgain = 8,
    kIdContinue = 9,
};

// Shows text as a modal alert with the buttons the flags pick and returns the result of the
// button chosen. The caption and the remaining arguments are not used.
int CAFMessageBox(HWND window, const wchar_t* text, const wchar_t* caption, unsigned int flags, TCAFId id = 0,
                  int helpContext = 0, IDocument* document = nullptr, unsigned int* checkState = nullptr,
                  int reserved = 0, ICAFApplication* application = nullptr);

class StandardDialog {
public:
    enum DialogSeverity { kNormal = 0, kCritical = 1 };

    StandardDialog();
    StandardDialog(const String& message, const String& information);
    void SetSeverity(DialogSeverity severity);
    // Runs the alert modally and returns the appkit button code (1000 for the first button).
    int RunDialog();
    AppKit::Alert& Alert() const { return *mAlert; }

private:
    std::shared_ptr<AppKit::Alert> mAlert;
};

}  // namespace KVD
