// Helpers shared by the end-to-end driver and the probe DLL: window search, text conversion, real input.
// Both run under Wine beside the exe under test, so everything here is plain Win32.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace e2e {

// The fixed places where the driver and the probe meet inside the prefix.
constexpr const char* kCommandPath = "C:\\e2e\\probe-cmd.txt";
constexpr const char* kAnswerPath = "C:\\e2e\\probe-out.txt";
constexpr const char* kAnswerTempPath = "C:\\e2e\\probe-out.tmp";

constexpr DWORD kPollStepMs = 50;

inline std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr,
                        nullptr);
    return out;
}

inline std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
    return out;
}

// The whole file, or the empty text when it cannot be read: the command and answer files.
inline std::string ReadAll(const char* path) {
    std::string text;
    FILE* f = std::fopen(path, "rb");
    if (!f) return text;
    char buf[1024];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof(buf), f)) > 0) text.append(buf, got);
    std::fclose(f);
    return text;
}

inline std::wstring ClassOf(HWND wnd) {
    wchar_t name[256] = {0};
    int len = GetClassNameW(wnd, name, 256);
    return std::wstring(name, len > 0 ? static_cast<size_t>(len) : 0);
}

inline std::wstring TextOf(HWND wnd) {
    int len = GetWindowTextLengthW(wnd);
    if (len <= 0) return std::wstring();
    std::vector<wchar_t> buf(static_cast<size_t>(len) + 1, L'\0');
    int got = GetWindowTextW(wnd, buf.data(), len + 1);
    return std::wstring(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

inline DWORD ProcessOf(HWND wnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    return pid;
}

struct TopLevelFilter {
    std::wstring className;  // empty: any class
    DWORD pid = 0;           // 0: any process
    bool visibleOnly = false;
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectTopLevel(HWND wnd, LPARAM param) {
    TopLevelFilter* filter = reinterpret_cast<TopLevelFilter*>(param);
    if (filter->visibleOnly && !IsWindowVisible(wnd)) return TRUE;
    if (filter->pid != 0 && ProcessOf(wnd) != filter->pid) return TRUE;
    if (!filter->className.empty() && ClassOf(wnd) != filter->className) return TRUE;
    filter->found.push_back(wnd);
    return TRUE;
}

inline std::vector<HWND> TopLevelWindows(const std::wstring& className, DWORD pid, bool visibleOnly) {
    TopLevelFilter filter;
    filter.className = className;
    filter.pid = pid;
    filter.visibleOnly = visibleOnly;
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&filter));
    return filter.found;
}

// The menu shown by an open #32768 window; null when the window is gone or does not answer in time.
inline HMENU MenuOfPopupWindow(HWND wnd) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(wnd, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 2000, &result)) return nullptr;
    return reinterpret_cast<HMENU>(result);
}

// A real click as the user makes it: the pointer moves there first, so hover tracking sees it too.
inline bool ClickAt(POINT pt, bool rightButton = false) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 1 || height <= 1) return false;
    INPUT inputs[3];
    ZeroMemory(inputs, sizeof(inputs));
    for (INPUT& in : inputs) {
        in.type = INPUT_MOUSE;
        // Normalised coordinates map 0..65535 onto the whole screen; aim at the pixel's middle.
        in.mi.dx = static_cast<LONG>((pt.x * 65536LL + 32768) / width);
        in.mi.dy = static_cast<LONG>((pt.y * 65536LL + 32768) / height);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags =
        (rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN) | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = (rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP) | MOUSEEVENTF_ABSOLUTE;
    return SendInput(3, inputs, sizeof(INPUT)) == 3;
}

inline bool PressKey(WORD vk) {
    INPUT inputs[2];
    ZeroMemory(inputs, sizeof(inputs));
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = vk;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

inline POINT CentreOf(const RECT& r) {
    POINT pt;
    pt.x = r.left + (r.right - r.left) / 2;
    pt.y = r.top + (r.bottom - r.top) / 2;
    return pt;
}

}  // namespace e2e
