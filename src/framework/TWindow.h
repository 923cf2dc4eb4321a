// The plug-in's window: a view's native window and the hooks around making it. Create answers
// the window record whose third word is the native window; the base has none.
#pragma once

#include <cstdint>

#include "HWND.h"

class TWindow {
public:
    explicit TWindow(void* nativeWindow = nullptr) : mNativeWindow(nativeWindow) {}
    virtual ~TWindow() = default;

    virtual void SetupWindow() {}
    virtual void CleanupWindow() {}
    virtual HWND Create() { return HWND{}; }

    void* GetNativeWindow() const { return mNativeWindow; }
    void SetNativeWindow(void* window) { mNativeWindow = window; }

private:
    void* mNativeWindow;  // not owned
};
