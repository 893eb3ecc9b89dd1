// trayclick.exe: a tiny driver for the demo, run inside the same Wine desktop as ostrevo.exe. It clicks
// the tray icon, presses keys, waits for popup menus and reports the main window's state.
//
//   trayclick wait-window [ms]     wait until the hidden main window exists
//   trayclick click-icon [left|right]  click the first tray icon (right end of Shell_TrayWnd)
//   trayclick post [left|right]    post the tray callback to the main window instead of clicking
//   trayclick wait-menus N [ms]    wait until exactly N popup menus are visible
//   trayclick keys KEY...          press keys: down up left right return escape
//   trayclick click-desktop        click the middle of the desktop (activates another window)
//   trayclick wait-background [ms] wait until the main window is no longer the foreground window
//   trayclick focus                print whether the main window is active and holds the keyboard focus
//   trayclick message-text [ms]    wait for the "Ostrevo" message box and print its text
//   trayclick message-ok           press the message box's OK button
//   trayclick wait-gone [ms]       wait until the main window has gone
// Exit code 0 on success, 1 on a timeout or a failed check, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kDefaultTimeoutMs = 10000;
constexpr DWORD kPollMs = 50;
constexpr const wchar_t* kMainClass = L"OstrevoMainWindow";
constexpr const wchar_t* kTitle = L"Ostrevo";

HWND MainWindow() { return ::FindWindowW(kMainClass, kTitle); }

template <typename Check>
bool WaitFor(DWORD timeoutMs, Check check) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (check()) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(kPollMs);
    }
}

DWORD TimeoutArg(int argc, char** argv, int index) {
    return argc > index ? static_cast<DWORD>(std::strtoul(argv[index], nullptr, 10)) : kDefaultTimeoutMs;
}

BOOL CALLBACK CountMenu(HWND hwnd, LPARAM lParam) {
    wchar_t name[16] = {};
    ::GetClassNameW(hwnd, name, 16);
    if (std::wcscmp(name, L"#32768") == 0 && ::IsWindowVisible(hwnd)) ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

int VisibleMenus() {
    int count = 0;
    ::EnumWindows(CountMenu, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Move and buttons in one SendInput: a separate SetCursorPos may not have reached the desktop yet,
// and the click would land where the pointer was before.
void ClickAt(POINT point, bool right) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    if (width <= 1 || height <= 1) return;
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) input.type = INPUT_MOUSE;
    inputs[0].mi.dx = point.x * 65535 / (width - 1);
    inputs[0].mi.dy = point.y * 65535 / (height - 1);
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    ::SendInput(3, inputs, sizeof(INPUT));
}

int ClickIcon(bool right) {
    HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    RECT rect;
    if (tray == nullptr || !::GetWindowRect(tray, &rect)) {
        std::fprintf(stderr, "trayclick: no Shell_TrayWnd\n");
        return 1;
    }
    // Icons are laid out from the right end, each a small-icon width plus a small border.
    const int iconWidth = ::GetSystemMetrics(SM_CXSMICON);
    const POINT point{rect.right - 2 - iconWidth / 2, (rect.top + rect.bottom) / 2};
    std::printf("click %s at %ld,%ld (tray %ld,%ld-%ld,%ld)\n", right ? "right" : "left", point.x, point.y,
                rect.left, rect.top, rect.right, rect.bottom);
    ClickAt(point, right);
    return 0;
}

int Post(bool right) {
    HWND main = MainWindow();
    if (main == nullptr) return 1;
    // Put the pointer where a user's click would be, so the menu opens there.
    HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    RECT rect;
    if (tray != nullptr && ::GetWindowRect(tray, &rect)) {
        ::SetCursorPos(rect.right - 2 - ::GetSystemMetrics(SM_CXSMICON) / 2, (rect.top + rect.bottom) / 2);
    }
    return ::PostMessageW(main, WM_APP + 1, 1, right ? WM_RBUTTONUP : WM_LBUTTONUP) ? 0 : 1;
}

WORD KeyCode(const char* name) {
    struct Named {
        const char* name;
        WORD key;
    };
    static const Named keys[] = {{"down", VK_DOWN},   {"up", VK_UP},         {"left", VK_LEFT},
                                 {"right", VK_RIGHT}, {"return", VK_RETURN}, {"escape", VK_ESCAPE}};
    for (const Named& key : keys) {
        if (std::strcmp(key.name, name) == 0) return key.key;
    }
    return 0;
}

int Keys(int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        const WORD key = KeyCode(argv[i]);
        if (key == 0) {
            std::fprintf(stderr, "trayclick: unknown key %s\n", argv[i]);
            return 2;
        }
        INPUT inputs[2] = {};
        inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
        inputs[0].ki.wVk = inputs[1].ki.wVk = key;
        inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, inputs, sizeof(INPUT));
        ::Sleep(kPollMs);  // lets the menu loop take one key before the next
    }
    return 0;
}

int ClickDesktop() {
    RECT rect;
    if (!::GetWindowRect(::GetDesktopWindow(), &rect)) return 1;
    ClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, false);
    return 0;
}

int Focus() {
    HWND main = MainWindow();
    if (main == nullptr) return 1;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &info)) return 1;
    auto name = [main](HWND hwnd) { return hwnd == main ? "main" : hwnd == nullptr ? "none" : "other"; };
    std::printf("active=%s focus=%s\n", name(info.hwndActive), name(info.hwndFocus));
    return info.hwndFocus == main ? 1 : 0;
}

HWND MessageBoxWindow() { return ::FindWindowW(L"#32770", kTitle); }

int MessageText(DWORD timeoutMs) {
    if (!WaitFor(timeoutMs, [] { return MessageBoxWindow() != nullptr; })) return 1;
    // The text of a message box is its static control 0xFFFF.
    wchar_t text[512] = {};
    ::GetDlgItemTextW(MessageBoxWindow(), 0xFFFF, text, 512);
    char utf8[1024] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    std::printf("%s\n", utf8);
    return 0;
}

int MessageOk() {
    HWND box = MessageBoxWindow();
    if (box == nullptr) return 1;
    HWND ok = ::GetDlgItem(box, IDOK);
    if (ok == nullptr) ok = ::GetDlgItem(box, IDCANCEL);
    return ok != nullptr && ::PostMessageW(ok, BM_CLICK, 0, 0) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string command = argv[1];
    const bool right = argc > 2 && std::strcmp(argv[2], "right") == 0;
    if (command == "wait-window")
        return WaitFor(TimeoutArg(argc, argv, 2), [] { return MainWindow() != nullptr; }) ? 0 : 1;
    if (command == "wait-gone")
        return WaitFor(TimeoutArg(argc, argv, 2), [] { return MainWindow() == nullptr; }) ? 0 : 1;
    if (command == "click-icon") return ClickIcon(right);
    if (command == "post") return Post(right);
    if (command == "wait-menus" && argc > 2) {
        const int wanted = std::atoi(argv[2]);
        return WaitFor(TimeoutArg(argc, argv, 3), [wanted] { return VisibleMenus() == wanted; }) ? 0 : 1;
    }
    if (command == "keys") return Keys(argc, argv);
    if (command == "click-desktop") return ClickDesktop();
    if (command == "wait-background") {
        return WaitFor(TimeoutArg(argc, argv, 2), [] { return ::GetForegroundWindow() != MainWindow(); }) ? 0
                                                                                                          : 1;
    }
    if (command == "focus") return Focus();
    if (command == "message-text") return MessageText(TimeoutArg(argc, argv, 2));
    if (command == "message-ok") return MessageOk();
    return 2;
}
