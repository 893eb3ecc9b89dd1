// The probe: e2e_driver loads it into the running ostrevo.exe, where the open popup menu can be read
// (another process only gets -1 from GetMenuItemCount). It runs one command, answers, and unloads.
#include <cstdio>
#include <string>
#include <vector>

#include "e2e_win.h"

namespace {

HMODULE g_self = nullptr;

struct OpenMenu {
    HWND wnd;
    HMENU menu;
};

std::vector<OpenMenu> OpenMenus() {
    std::vector<OpenMenu> open;
    for (HWND wnd : e2e::TopLevelWindows(L"#32768", GetCurrentProcessId(), true)) {
        HMENU menu = e2e::MenuOfPopupWindow(wnd);
        if (menu) open.push_back({wnd, menu});
    }
    return open;
}

bool IsSubmenuOf(HMENU parent, HMENU child) {
    int count = GetMenuItemCount(parent);
    for (int i = 0; i < count; ++i) {
        if (GetSubMenu(parent, i) == child) return true;
    }
    return false;
}

// The popup the tray handler opened: the open menu that is nobody's submenu.
HMENU RootMenu(const std::vector<OpenMenu>& open) {
    for (const OpenMenu& candidate : open) {
        bool nested = false;
        for (const OpenMenu& other : open) {
            if (other.menu != candidate.menu && IsSubmenuOf(other.menu, candidate.menu)) nested = true;
        }
        if (!nested) return candidate.menu;
    }
    return nullptr;
}

HWND WindowShowing(HMENU menu) {
    for (const OpenMenu& m : OpenMenus()) {
        if (m.menu == menu) return m.wnd;
    }
    return nullptr;
}

HWND WaitUntilShown(HMENU menu, DWORD timeoutMs) {
    for (DWORD waited = 0;; waited += e2e::kPollStepMs) {
        HWND wnd = WindowShowing(menu);
        if (wnd || waited >= timeoutMs) return wnd;
        Sleep(e2e::kPollStepMs);
    }
}

std::wstring CaptionAt(HMENU menu, int pos) {
    wchar_t buf[512] = {0};
    int len = GetMenuStringW(menu, static_cast<UINT>(pos), buf, 512, MF_BYPOSITION);
    return std::wstring(buf, len > 0 ? static_cast<size_t>(len) : 0);
}

std::wstring WithoutAccessMarks(const std::wstring& caption) {
    std::wstring out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

// Only the lasting state goes here (no highlight), so that a dump can be compared with an expected one.
std::string FlagsAt(HMENU menu, int pos) {
    UINT state = GetMenuState(menu, static_cast<UINT>(pos), MF_BYPOSITION);
    MENUITEMINFOW info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info);
    std::string flags;
    auto add = [&flags](const char* flag) {
        if (!flags.empty()) flags += ',';
        flags += flag;
    };
    if (info.hSubMenu) add("popup");
    if (state & MF_CHECKED) add("checked");
    if (state & MF_GRAYED) add("grayed");
    if (state & MF_DISABLED) add("disabled");
    if (info.fType & MFT_SEPARATOR) add("separator");
    if (info.fType & MFT_RADIOCHECK) add("radio");
    if (info.fType & MFT_OWNERDRAW) add("ownerdraw");
    if (info.fState & MFS_DEFAULT) add("default");
    return flags.empty() ? "-" : flags;
}

void DumpMenu(HMENU menu, const std::string& prefix, std::string& out) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        std::string path = prefix + std::to_string(i);
        out += path + "|" + FlagsAt(menu, i) + "|" + e2e::ToUtf8(CaptionAt(menu, i)) + "\n";
        HMENU sub = GetSubMenu(menu, i);
        if (sub) DumpMenu(sub, path + ".", out);
    }
}

std::string MenuCommand() {
    std::vector<OpenMenu> open = OpenMenus();
    HMENU root = RootMenu(open);
    if (!root) return "error: no open popup menu in this process\n";
    std::string out = "open popups: " + std::to_string(open.size()) + "\n";
    DumpMenu(root, "", out);
    return out;
}

// A path step is a caption (access marks optional) or "#N" for the item at position N.
int FindItem(HMENU menu, const std::wstring& step) {
    int count = GetMenuItemCount(menu);
    if (step.size() > 1 && step[0] == L'#') {
        int pos = _wtoi(step.c_str() + 1);
        return pos >= 0 && pos < count ? pos : -1;
    }
    for (int i = 0; i < count; ++i) {
        std::wstring caption = CaptionAt(menu, i);
        if (caption == step || WithoutAccessMarks(caption) == step) return i;
    }
    return -1;
}

std::vector<std::wstring> SplitPath(const std::wstring& path) {
    std::vector<std::wstring> steps;
    size_t start = 0;
    for (;;) {
        size_t end = path.find(L'>', start);
        steps.push_back(path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) return steps;
        start = end + 1;
    }
}

std::string RectText(const RECT& r) {
    char buf[96];
    std::snprintf(buf, sizeof(buf), "(%ld,%ld)-(%ld,%ld)", static_cast<long>(r.left),
                  static_cast<long>(r.top), static_cast<long>(r.right), static_cast<long>(r.bottom));
    return buf;
}

// Clicks through the open menu as a user does: each item at the centre of its own rectangle.
std::string ClickCommand(const std::wstring& path) {
    HMENU menu = RootMenu(OpenMenus());
    if (!menu) return "error: no open popup menu in this process\n";
    std::string log;
    std::vector<std::wstring> steps = SplitPath(path);
    for (size_t s = 0; s < steps.size(); ++s) {
        HWND wnd = WaitUntilShown(menu, 3000);
        if (!wnd) return log + "error: the menu holding '" + e2e::ToUtf8(steps[s]) + "' did not open\n";
        int pos = FindItem(menu, steps[s]);
        if (pos < 0) return log + "error: no item '" + e2e::ToUtf8(steps[s]) + "'\n";
        RECT r;
        if (!GetMenuItemRect(wnd, menu, static_cast<UINT>(pos), &r)) {
            return log + "error: no rectangle for '" + e2e::ToUtf8(steps[s]) + "'\n";
        }
        log += "click " + e2e::ToUtf8(CaptionAt(menu, pos)) + " at " + RectText(r) + "\n";
        HMENU sub = GetSubMenu(menu, pos);
        // A submenu that is already open (hovering can open one) needs no click.
        if (!(sub && WindowShowing(sub)) && !e2e::ClickAt(e2e::CentreOf(r))) {
            return log + "error: SendInput failed\n";
        }
        if (!sub) {
            if (s + 1 < steps.size()) return log + "error: '" + e2e::ToUtf8(steps[s]) + "' has no submenu\n";
            return log + "clicked\n";
        }
        menu = sub;
    }
    if (!WaitUntilShown(menu, 3000)) return log + "error: the last submenu did not open\n";
    return log + "opened\n";
}

// The command, without the line break an editor or echo may leave after it.
std::string ReadCommand(const char* path) {
    std::string text = e2e::ReadAll(path);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

// The driver polls for the answer file, so it must never see it half written.
void WriteAnswer(const std::string& answer) {
    FILE* f = std::fopen(e2e::kAnswerTempPath, "wb");
    if (!f) return;
    std::fwrite(answer.data(), 1, answer.size(), f);
    std::fclose(f);
    MoveFileExA(e2e::kAnswerTempPath, e2e::kAnswerPath, MOVEFILE_REPLACE_EXISTING);
}

std::string RunCommand(const std::string& line) {
    std::wstring command = e2e::FromUtf8(line);
    if (command == L"menu") return MenuCommand();
    if (command.rfind(L"click ", 0) == 0) return ClickCommand(command.substr(6));
    return "error: unknown command '" + line + "'\n";
}

DWORD WINAPI ProbeThread(LPVOID) {
    WriteAnswer(RunCommand(ReadCommand(e2e::kCommandPath)));
    // Unloading here lets the driver inject the probe again for the next command.
    FreeLibraryAndExitThread(g_self, 0);
    return 0;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    g_self = instance;
    DisableThreadLibraryCalls(instance);
    // The work cannot run under the loader lock; the thread starts once LoadLibraryA has returned.
    HANDLE thread = CreateThread(nullptr, 0, ProbeThread, nullptr, 0, nullptr);
    if (thread) CloseHandle(thread);
    return TRUE;
}
