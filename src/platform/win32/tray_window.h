// The hidden main window: it owns the notification-area icon and turns what happens to it into the
// form's events. It is never shown and never keeps the keyboard focus.
#pragma once
#include <functional>
#include <string>

#include "platform/win32/windows_shim.h"

namespace ostrevo {

constexpr const char* kMainWindowClass = "OstrevoMainWindow";
constexpr UINT kTrayCallbackMessage = WM_APP + 1;
constexpr UINT kTrayIconId = 1;

struct TrayEvents {
    std::function<void()> primary;    // left button released on the icon
    std::function<void()> secondary;  // right button released, or the icon's context-menu key
};

class TrayWindow {
public:
    TrayWindow() = default;
    ~TrayWindow();
    TrayWindow(const TrayWindow&) = delete;
    TrayWindow& operator=(const TrayWindow&) = delete;

    // Registers the class and creates the hidden window; `title` is its caption and the tooltip.
    bool Create(HINSTANCE instance, WORD iconId, const std::wstring& title);
    HWND Handle() const { return hwnd_; }

    // Until this is called no event reaches the form, so start-up runs undisturbed.
    void SetEvents(TrayEvents events) { events_ = std::move(events); }

    // Adds the icon; while the shell refuses it (not started yet at log-on), a timer tries again.
    void ShowIcon();
    void RemoveIcon();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnTrayNotification(LPARAM lParam);
    bool AddIcon();
    void StartRetries();
    static void Raise(const std::function<void()>& event);

    HWND hwnd_ = nullptr;
    HICON smallIcon_ = nullptr;
    HICON largeIcon_ = nullptr;
    std::string title_;  // in the ANSI code page, as the window and the tooltip take it
    UINT taskbarCreated_ = 0;
    TrayEvents events_;
    bool iconWanted_ = false;
    bool iconShown_ = false;
    int retriesLeft_ = 0;
};

}  // namespace ostrevo
