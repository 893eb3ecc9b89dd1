// The hidden main window and its notification-area icon.
#include "platform/win32/tray_window.h"

#include <shellapi.h>

#include "platform/win32/win32_text.h"

namespace ostrevo {
namespace {

constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT kRetryIntervalMs = 2000;
constexpr int kRetryCount = 15;  // half a minute: long enough for a slow log-on shell

HICON LoadAppIcon(HINSTANCE instance, WORD iconId, int widthMetric, int heightMetric) {
    return static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                           ::GetSystemMetrics(widthMetric), ::GetSystemMetrics(heightMetric),
                                           LR_DEFAULTCOLOR));
}

}  // namespace

TrayWindow::~TrayWindow() {
    // Backstop for paths that end without WM_DESTROY: a dead icon would linger until hovered.
    RemoveIcon();
    if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
    if (smallIcon_ != nullptr) ::DestroyIcon(smallIcon_);
    if (largeIcon_ != nullptr) ::DestroyIcon(largeIcon_);
}

bool TrayWindow::Create(HINSTANCE instance, WORD iconId, const std::wstring& title) {
    title_ = AnsiFromWide(title);
    smallIcon_ = LoadAppIcon(instance, iconId, SM_CXSMICON, SM_CYSMICON);
    largeIcon_ = LoadAppIcon(instance, iconId, SM_CXICON, SM_CYICON);
    taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &TrayWindow::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = largeIcon_;
    windowClass.hIconSm = smallIcon_;
    windowClass.lpszClassName = kMainWindowClass;
    if (::RegisterClassExA(&windowClass) == 0) return false;

    // A top-level window rather than a message-only one: only top-level windows hear "TaskbarCreated".
    // The tool-window style keeps it off the taskbar and Alt+Tab if anything ever showed it.
    hwnd_ = ::CreateWindowExA(WS_EX_TOOLWINDOW, kMainWindowClass, title_.c_str(), WS_POPUP, 0, 0, 0, 0,
                              nullptr, nullptr, instance, this);
    return hwnd_ != nullptr;
}

void TrayWindow::ShowIcon() {
    iconWanted_ = true;
    if (!AddIcon()) StartRetries();
}

void TrayWindow::RemoveIcon() {
    iconWanted_ = false;
    if (hwnd_ == nullptr) return;
    ::KillTimer(hwnd_, kRetryTimer);
    if (!iconShown_) return;
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = hwnd_;
    data.uID = kTrayIconId;
    ::Shell_NotifyIconA(NIM_DELETE, &data);
    iconShown_ = false;
}

bool TrayWindow::AddIcon() {
    NOTIFYICONDATAA data{};
    // The first version of the record, which every shell from Windows 95 on accepts; nothing here
    // needs the later fields. The icon is identified by window and id.
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = hwnd_;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = smallIcon_;
    // The first version's tooltip holds 64 bytes, the terminating NUL included.
    constexpr size_t kTipCapacity = 64;
    static_assert(sizeof(data.szTip) >= kTipCapacity,
                  "the tooltip field is shorter than the first version's");
    title_.copy(data.szTip, kTipCapacity - 1);
    // After "TaskbarCreated" the new shell may already know the icon; then an update is what works.
    iconShown_ = ::Shell_NotifyIconA(NIM_ADD, &data) || ::Shell_NotifyIconA(NIM_MODIFY, &data);
    return iconShown_;
}

void TrayWindow::StartRetries() {
    retriesLeft_ = kRetryCount;
    ::SetTimer(hwnd_, kRetryTimer, kRetryIntervalMs, nullptr);
}

void TrayWindow::Raise(const std::function<void()>& event) {
    if (event) event();
}

void TrayWindow::OnTrayNotification(LPARAM lParam) {
    switch (LOWORD(lParam)) {
        case WM_LBUTTONUP:
            Raise(events_.primary);
            break;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
            Raise(events_.secondary);
            break;
        default:
            break;
    }
}

LRESULT CALLBACK TrayWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* self = static_cast<TrayWindow*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TrayWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return self->HandleMessage(hwnd, message, wParam, lParam);
}

LRESULT TrayWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        // Explorer restarted: the old icon went with it.
        iconShown_ = false;
        if (iconWanted_ && !AddIcon()) StartRetries();
        return 0;
    }
    switch (message) {
        case kTrayCallbackMessage:
            OnTrayNotification(lParam);
            return 0;
        case WM_TIMER:
            if (wParam == kRetryTimer && (AddIcon() || --retriesLeft_ <= 0)) ::KillTimer(hwnd_, kRetryTimer);
            return 0;
        case WM_ACTIVATE:
            // Not passed on: DefWindowProc would give the activated window the keyboard focus, and a
            // hidden window has no use for keystrokes (they would go nowhere the user can see).
            return 0;
        case WM_SETFOCUS:
            // Wine gives an activated window the focus whatever WM_ACTIVATE returns.
            ::SetFocus(nullptr);
            return 0;
        case WM_QUERYENDSESSION:
            // This program asks for restarts itself; it must never stand in the way of one.
            return TRUE;
        case WM_ENDSESSION:
            if (wParam) RemoveIcon();
            return 0;
        case WM_DESTROY:
            RemoveIcon();
            hwnd_ = nullptr;
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace ostrevo
