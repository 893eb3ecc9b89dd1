// minimal_tray.exe: the least a tray program can do, as the yardstick for ostrevo.exe's start-up:
// a hidden top-level window, one notification-area icon, a message loop. Closing the window ends it.
#include <windows.h>
// Needs the types windows.h declares.
#include <shellapi.h>

namespace {

constexpr const wchar_t* kWindowClass = L"OstrevoMinimalTray";
constexpr UINT kIconId = 1;
constexpr UINT kTrayCallbackMessage = WM_APP + 1;

NOTIFYICONDATAW IconData(HWND hwnd) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;  // what Windows XP accepts, as ostrevo.exe gives
    data.hWnd = hwnd;
    data.uID = kIconId;
    return data;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        NOTIFYICONDATAW data = IconData(hwnd);
        ::Shell_NotifyIconW(NIM_DELETE, &data);
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    if (::RegisterClassExW(&windowClass) == 0) return 1;
    HWND hwnd = ::CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"Minimal tray", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;

    NOTIFYICONDATAW data = IconData(hwnd);
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    ::lstrcpynW(data.szTip, L"Minimal tray", ARRAYSIZE(data.szTip));
    ::Shell_NotifyIconW(NIM_ADD, &data);

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
