// minimal_tray.exe: the least a tray program can do, as the yardstick for ostrevo.exe's start-up:
// a hidden top-level window, one notification-area icon, a message loop. Closing the window ends it.
#include <windows.h>
// Needs the types windows.h declares.
#include <shellapi.h>

namespace {

constexpr const char* kWindowClass = "OstrevoMinimalTray";
constexpr UINT kIconId = 1;
constexpr UINT kTrayCallbackMessage = WM_APP + 1;

NOTIFYICONDATAA IconData(HWND hwnd) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;  // the first version, as ostrevo.exe gives
    data.hWnd = hwnd;
    data.uID = kIconId;
    return data;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        NOTIFYICONDATAA data = IconData(hwnd);
        ::Shell_NotifyIconA(NIM_DELETE, &data);
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    if (::RegisterClassExA(&windowClass) == 0) return 1;
    HWND hwnd = ::CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "Minimal tray", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;

    NOTIFYICONDATAA data = IconData(hwnd);
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    ::lstrcpynA(data.szTip, "Minimal tray", 64);
    ::Shell_NotifyIconA(NIM_ADD, &data);

    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
