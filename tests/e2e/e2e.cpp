// The end-to-end driver and its probe, one source built twice. The driver (e2e_driver.exe) runs in the
// Wine desktop beside ostrevo.exe, takes one step a line on stdin, prints what it saw and then "<end>".
// The probe (e2e_probe.dll, built with E2E_PROBE) is loaded into the running exe, the one place where
// its popup menu can be read (GetMenuItemCount gives -1 anywhere else), and answers through two files.
// Steps: menu (the popup's items, then Esc), click A>B (through the popup), tray left|right|press,
// window [BUTTON] (the exe's dialog or message box, then a click on that button), type ID [TEXT],
// clickinto ID, esc, closebox, outside (a click beside the popup), activate (another program comes to
// the foreground), alive, gone (the exe has ended and its icon left the tray).
#include <windows.h>
// These need <windows.h> in front of them.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char kRequest[] = "C:\\e2e\\probe.in";
const char kAnswer[] = "C:\\e2e\\probe.out";

// Every text here is a caption, a control's text or a step: a few thousand bytes at most.
std::string Utf8(const std::wstring& text) {
    char out[8192] = "";
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out, sizeof(out) - 1, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& text) {
    wchar_t out[4096] = L"";
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out, 4095);
    return out;
}

// The one way anything here waits: polling, with a bound.
template <typename Done>
bool WaitFor(DWORD ms, Done done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        Sleep(20);
    }
    return true;
}

std::string Slurp(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Whole or not at all: the reader polls for the file, so it is written aside and renamed, again while the
// reader happens to hold the old one open.
void Put(const char* path, const std::string& text) {
    const std::string aside = std::string(path) + ".tmp";
    std::ofstream(aside, std::ios::binary) << text;
    WaitFor(5000, [&] { return MoveFileExA(aside.c_str(), path, MOVEFILE_REPLACE_EXISTING) != 0; });
}

std::wstring ClassOf(HWND wnd) {
    wchar_t name[64] = L"";
    GetClassNameW(wnd, name, 64);
    return name;
}

std::wstring Title(HWND wnd) {
    wchar_t title[256] = L"";
    GetWindowTextW(wnd, title, 256);
    return title;
}

DWORD PidOf(HWND wnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    return pid;
}

BOOL CALLBACK Collect(HWND wnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(wnd);
    return TRUE;
}

// Top-level windows of a process (any when 0) and class (any when null), the hidden ones if asked.
std::vector<HWND> Windows(DWORD pid, const wchar_t* cls, bool hiddenToo = false) {
    std::vector<HWND> all, found;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
    for (HWND wnd : all) {
        if ((!pid || PidOf(wnd) == pid) && (hiddenToo || IsWindowVisible(wnd)) &&
            (!cls || ClassOf(wnd) == cls))
            found.push_back(wnd);
    }
    return found;
}

// A real click: the pointer moves there first, so that the menu's hover tracking sees it as well.
void ClickAt(POINT pt, bool right = false) {
    INPUT in[3] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = (pt.x * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN);
        i.mi.dy = (pt.y * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN);
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    in[1].mi.dwFlags = MOUSEEVENTF_ABSOLUTE | (right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    in[2].mi.dwFlags = MOUSEEVENTF_ABSOLUTE | (right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    SendInput(3, in, sizeof(INPUT));
}

POINT CentreOf(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

std::wstring TextOf(HWND control) {
    wchar_t text[1024] = L"";
    DWORD_PTR got = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &got);
    return text;
}

#ifdef E2E_PROBE

struct Popup {
    HWND wnd;
    HMENU menu;
};

std::vector<Popup> Popups() {
    std::vector<Popup> open;
    for (HWND wnd : Windows(GetCurrentProcessId(), L"#32768")) {
        if (HMENU menu = reinterpret_cast<HMENU>(SendMessageW(wnd, MN_GETHMENU, 0, 0)))
            open.push_back({wnd, menu});
    }
    return open;
}

HWND Showing(HMENU menu) {
    for (const Popup& p : Popups())
        if (p.menu == menu) return p.wnd;
    return nullptr;
}

// The menu the tray handler opened: each submenu opens above the menu it belongs to.
HMENU Root() {
    const std::vector<Popup> open = Popups();
    return open.empty() ? nullptr : open.back().menu;
}

std::wstring Caption(HMENU menu, int pos) {
    wchar_t text[512] = L"";
    GetMenuStringW(menu, pos, text, 512, MF_BYPOSITION);
    return text;
}

// "*" marks a checked item, "~" a disabled one; a submenu's items follow its own after " > ".
std::string Item(HMENU menu, int pos) {
    const UINT state = GetMenuState(menu, pos, MF_BYPOSITION);
    std::string line = std::string(state & MF_CHECKED ? "*" : "") +
                       (state & (MF_GRAYED | MF_DISABLED) ? "~" : "") +
                       (state & MF_SEPARATOR ? "---" : Utf8(Caption(menu, pos)));
    if (HMENU sub = GetSubMenu(menu, pos)) {
        line += " >";
        for (int i = 0; i < GetMenuItemCount(sub); ++i) line += (i ? " | " : " ") + Item(sub, i);
    }
    return line;
}

std::string Dump() {
    HMENU root = Root();
    if (!root) return "error: no open menu\n";
    std::string out;
    for (int i = 0; i < GetMenuItemCount(root); ++i) out += Item(root, i) + "\n";
    return out;
}

// Clicks through the open menu as a user does, each item at the centre of its own rectangle.
std::string Click(const std::wstring& path) {
    HMENU menu = Root();
    for (size_t from = 0; from <= path.size();) {
        size_t to = path.find(L'>', from);
        if (to == std::wstring::npos) to = path.size();
        const std::wstring step = path.substr(from, to - from);
        from = to + 1;
        HWND wnd = nullptr;
        if (!menu || !WaitFor(3000, [&] { return (wnd = Showing(menu)) != nullptr; }))
            return "error: no open menu holds " + Utf8(step) + "\n";
        int pos = GetMenuItemCount(menu) - 1;
        while (pos >= 0 && Caption(menu, pos) != step) --pos;
        if (pos < 0) return "error: no item " + Utf8(step) + "\n";
        HMENU sub = GetSubMenu(menu, pos);
        RECT r;
        if (!(sub && Showing(sub)) && GetMenuItemRect(wnd, menu, pos, &r)) ClickAt(CentreOf(r));
        menu = sub;
    }
    return "";
}

// The system's icons are shared within a process, so the one a message box shows is known by its handle.
std::string IconName(LRESULT icon) {
    if (!icon) return "";
    if (icon == reinterpret_cast<LRESULT>(LoadIconA(nullptr, IDI_WARNING))) return " icon=warning";
    return icon == reinterpret_cast<LRESULT>(LoadIconA(nullptr, IDI_ERROR)) ? " icon=error" : " icon=other";
}

// The exe's dialog or message box: its caption, then each visible control with its id, its text and
// what else a user sees of it.
std::string Describe() {
    const std::vector<HWND> dialogs = Windows(GetCurrentProcessId(), L"#32770");
    if (dialogs.empty()) return "error: no window\n";
    HWND dialog = dialogs.front();
    std::string out = "\"" + Utf8(Title(dialog)) + "\"\n";
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
    std::vector<HWND> controls;
    EnumChildWindows(dialog, Collect, reinterpret_cast<LPARAM>(&controls));
    for (HWND c : controls) {
        if (!IsWindowVisible(c)) continue;
        std::string text = Utf8(TextOf(c));
        for (size_t i; (i = text.find_first_of("\r\n")) != std::string::npos;)
            text.replace(i, 1, text[i] == '\n' ? "\\n" : "");
        out += std::to_string(GetDlgCtrlID(c)) + " \"" + text + "\"";
        const LONG style = GetWindowLongW(c, GWL_STYLE);
        const std::wstring cls = ClassOf(c);
        if (cls == L"Button" && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) out += " default";
        if (!IsWindowEnabled(c)) out += " disabled";
        if (gui.hwndFocus == c) out += " focus";
        DWORD_PTR got = 0;
        if (cls == L"Edit" &&
            SendMessageTimeoutW(c, EM_GETPASSWORDCHAR, 0, 0, SMTO_ABORTIFHUNG, 5000, &got) && got)
            out += " password=" + Utf8(std::wstring(1, static_cast<wchar_t>(got)));
        if (cls == L"Static" && (style & SS_TYPEMASK) == SS_ICON)
            out += IconName(SendMessageW(c, STM_GETICON, 0, 0));
        out += "\n";
    }
    return out;
}

// A request is a serial number and a line; the answer starts with the same number, so that neither side
// takes an old file for a new one.
DWORD WINAPI Serve(LPVOID) {
    for (;; Sleep(20)) {
        const std::string request = Slurp(kRequest);
        const size_t line = request.find('\n');
        if (line == std::string::npos) continue;
        DeleteFileA(kRequest);
        const std::string what = request.substr(line + 1), serial = request.substr(0, line + 1);
        // One the driver's rename still held could not be removed, and comes again.
        static std::string done;
        if (serial == done) continue;
        done = serial;
        Put(kAnswer, serial + (what == "window" ? Describe() : what == "menu" ? Dump() : Click(Wide(what))));
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    // The work cannot run under the loader lock: a thread of its own starts once LoadLibraryA returns.
    if (reason == DLL_PROCESS_ATTACH) CloseHandle(CreateThread(nullptr, 0, Serve, nullptr, 0, nullptr));
    return TRUE;
}

#else

DWORD g_pid = 0;  // the ostrevo.exe last seen, its main window and whether it has the probe
HWND g_main = nullptr;
bool g_probed = false;
HWND g_shell = nullptr;

DWORD FindExe() {
    DWORD pid = 0;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    for (BOOL ok = Process32FirstW(snap, &entry); ok && !pid; ok = Process32NextW(snap, &entry))
        if (lstrcmpiW(entry.szExeFile, L"ostrevo.exe") == 0) pid = entry.th32ProcessID;
    CloseHandle(snap);
    return pid;
}

// The running exe (0 if none shows up in time), its hidden main window found by its caption.
DWORD Exe(DWORD ms = 20000) {
    DWORD pid = 0;
    WaitFor(ms, [&] { return (pid = FindExe()) != 0; });
    if (!pid) return 0;
    if (pid != g_pid) g_pid = pid, g_main = nullptr, g_probed = false;
    for (HWND wnd : g_main ? std::vector<HWND>() : Windows(pid, nullptr, true))
        if (ClassOf(wnd) != L"#32770" && Title(wnd) == L"Ostrevo") g_main = wnd;
    return pid;
}

// The shell answers NIM_MODIFY only for an icon it holds; with no flags nothing about it changes.
bool IconShown() {
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = g_main;
    data.uID = 1;
    return g_main && Shell_NotifyIconW(NIM_MODIFY, &data);
}

// LoadLibraryA of the probe, run by a thread of the exe; a failed call leaves the next one nothing to do.
bool Loaded(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    const char dll[] = "C:\\e2e\\e2e_probe.dll";
    void* remote = VirtualAllocEx(process, nullptr, sizeof(dll), MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(process, remote, dll, sizeof(dll), nullptr);
    // kernel32 lies at the same address in every 32-bit process of the prefix.
    auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, load, remote, 0, nullptr);
    DWORD module = 0;
    const bool ok = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0 && GetExitCodeThread(thread, &module);
    CloseHandle(thread);
    CloseHandle(process);
    return ok && module;
}

bool Probed() { return g_probed || (g_probed = Loaded(g_pid)); }

std::string Probe(const std::string& request) {
    static int serial = 0;
    const std::string tag = std::to_string(++serial) + "\n";
    if (!Probed()) return "error: the probe could not be loaded\n";
    Put(kRequest, tag + request);
    std::string answer;
    // A click on Exit may end the exe before its probe could answer.
    const auto answered = [&] { return (answer = Slurp(kAnswer)).rfind(tag, 0) == 0; };
    if (!WaitFor(10000, [&] { return answered() || FindExe() != g_pid; }))
        return "error: the probe did not answer\n";
    return answered() ? answer.substr(tag.size()) : "";
}

bool MenuOpen() { return !Windows(g_pid, L"#32768").empty(); }

// Opens the popup from the tray icon: with a real click of either button, or with the message the shell
// gets from one ("post-"). "press" moves over the icon, presses either button and double-clicks there,
// which must open nothing.
std::string Tray(const std::string& how) {
    if (!Exe()) return "error: ostrevo.exe is not running\n";
    if (MenuOpen()) return "";
    if (!WaitFor(10000, [] { return Exe(0) && IconShown(); })) return "error: no tray icon\n";
    // Loaded while no menu is open, so that its thread cannot disturb one.
    if (!Probed()) return "error: the probe could not be loaded\n";
    RECT r;
    GetClientRect(g_shell, &r);
    POINT pt = {r.right - (GetSystemMetrics(SM_CXSMICON) + 4) / 2, r.bottom / 2};
    const LPARAM at = MAKELPARAM(pt.x, pt.y);
    if (how == "press") {
        for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONDBLCLK})
            PostMessageW(g_shell, m, 0, at);
        return WaitFor(1000, MenuOpen) ? "error: a menu opened\n" : "";
    }
    if (how == "left" || how == "right") {
        ClientToScreen(g_shell, &pt);
        ClickAt(pt, how == "right");
    } else {
        PostMessageW(g_shell, how == "post-right" ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
    }
    return WaitFor(10000, MenuOpen) ? "" : "error: no menu opened\n";
}

void PressKey(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

std::string CloseMenu() {
    for (int i = 0; i < 4 && MenuOpen(); ++i) {
        PressKey(VK_ESCAPE);
        WaitFor(2000, [] { return !MenuOpen(); });
    }
    return MenuOpen() ? "error: the menu stays open\n" : "";
}

// The exe's dialog or message box, waited for.
HWND Dialog() {
    std::vector<HWND> found;
    WaitFor(20000, [&] { return Exe(0) && !(found = Windows(g_pid, L"#32770")).empty(); });
    return found.empty() ? nullptr : found.front();
}

std::string Gone(HWND dialog) {
    return WaitFor(10000, [&] { return !IsWindowVisible(dialog); }) ? "" : "error: the window stays open\n";
}

std::string Window(const std::string& button) {
    HWND dialog = Dialog();
    if (!dialog) return "error: no window\n";
    std::string out = Probe("window");
    if (button.empty()) return out;
    std::vector<HWND> controls;
    EnumChildWindows(dialog, Collect, reinterpret_cast<LPARAM>(&controls));
    for (HWND c : controls) {
        if (TextOf(c) != Wide(button)) continue;
        // Posted: what the button starts may end the process before a sent message could return.
        PostMessageW(c, BM_CLICK, 0, 0);
        return out + Gone(dialog);
    }
    return out + "error: no button " + button + "\n";
}

// The user's click into a control; clicked again if a dialog still settling lets the focus stay put.
std::string ClickInto(HWND dialog, HWND control) {
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    WaitFor(3000, [&] { return GetForegroundWindow() == dialog; });
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT r;
        GetWindowRect(control, &r);
        ClickAt(CentreOf(r));
        if (WaitFor(2000, [&] {
                return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui) &&
                       gui.hwndFocus == control;
            }))
            return "";
    }
    return "error: the focus did not move\n";
}

// A real Esc reaches the dialog only in the foreground.
std::string Escape(HWND dialog) {
    SetForegroundWindow(dialog);
    if (!WaitFor(5000, [&] { return GetForegroundWindow() == dialog; }))
        return "error: not in the foreground\n";
    PressKey(VK_ESCAPE);
    return Gone(dialog);
}

// A user's click on the empty desktop, away from the open menus.
std::string ClickOutside() {
    std::string out = Tray("post-right");
    POINT pt = {GetSystemMetrics(SM_CXSCREEN) / 4, GetSystemMetrics(SM_CYSCREEN) / 4};
    for (HWND popup : Windows(g_pid, L"#32768")) {
        RECT r;
        if (GetWindowRect(popup, &r) && PtInRect(&r, pt)) pt.x = GetSystemMetrics(SM_CXSCREEN) * 3 / 4;
    }
    ClickAt(pt);
    return out + (WaitFor(5000, [] { return !MenuOpen(); }) ? "" : "error: the menu stays open\n");
}

// Another program takes the foreground the way a user switches to it: a click on its window.
std::string ActivateOther() {
    HWND other = CreateWindowExW(0, L"Static", L"Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                 300, 200, nullptr, nullptr, nullptr, nullptr);
    RECT r;
    GetWindowRect(other, &r);
    ClickAt(CentreOf(r));
    SetForegroundWindow(other);
    const bool ok = WaitFor(5000, [&] {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        return GetForegroundWindow() == other;
    });
    DestroyWindow(other);
    return ok ? "" : "error: the other window did not come to the foreground\n";
}

// Still running a while after its thread has answered a message, with its main window hidden, no
// window of its own open and no crash dialog anywhere.
std::string Alive() {
    if (!Exe(0) || !g_main) return "error: ostrevo.exe is not running with its main window\n";
    // Asked as when the session ends (this program asks for restarts itself: it may never refuse one).
    DWORD_PTR willEnd = 0;
    SendMessageTimeoutW(g_main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &willEnd);
    if (WaitFor(1000, [] { return FindExe() != g_pid; })) return "error: ostrevo.exe has ended\n";
    std::string out = willEnd ? "" : "error: it would keep the session from ending\n";
    if (IsWindowVisible(g_main)) out += "error: its main window shows\n";
    for (HWND wnd : Windows(0, L"#32770"))
        if (PidOf(wnd) == g_pid || Title(wnd) == L"Program Error")
            out += "error: open: " + Utf8(Title(wnd)) + "\n";
    return out;
}

std::string Ended() {
    if (!WaitFor(10000, [] { return FindExe() == 0; })) return "error: ostrevo.exe still runs\n";
    if (IconShown()) return "error: its icon is still in the tray\n";
    return FindWindowW(L"Shell_TrayWnd", nullptr) == g_shell ? "" : "error: the shell was restarted\n";
}

std::string Run(const std::string& step) {
    const size_t space = step.find(' ');
    const std::string verb = step.substr(0, space),
                      arg = space == std::string::npos ? "" : step.substr(space + 1);
    if (verb == "tray") return Tray(arg);
    if (verb == "menu") {
        std::string out = Tray("post-left");
        if (out.empty()) out = Probe("menu");
        return out + CloseMenu();
    }
    if (verb == "click") {
        std::string out = Tray("post-left");
        if (out.empty()) out = Probe(arg);
        return out.empty() && !WaitFor(5000, [] { return !MenuOpen(); }) ? "error: the menu stays open\n"
                                                                         : out;
    }
    if (verb == "window") return Window(arg);
    if (verb == "outside") return ClickOutside();
    if (verb == "activate") return ActivateOther();
    if (verb == "alive") return Alive();
    if (verb == "gone") return Ended();
    HWND dialog = Dialog();
    if (!dialog) return "error: no window\n";
    HWND control = GetDlgItem(dialog, std::atoi(arg.c_str()));
    const size_t text = arg.find(' ');
    if (verb == "type") {
        const std::wstring wanted = Wide(text == std::string::npos ? "" : arg.substr(text + 1));
        DWORD_PTR ok = 0;
        SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wanted.c_str()),
                            SMTO_ABORTIFHUNG, 5000, &ok);
        return ok && TextOf(control) == wanted ? "" : "error: could not type into " + arg + "\n";
    }
    if (verb == "clickinto") return ClickInto(dialog, control);
    if (verb == "esc") return Escape(dialog);
    // What a click on the close box sends; the dialog manager makes it IDCANCEL.
    if (verb == "closebox" && PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0)) return Gone(dialog);
    return "error: unknown step " + step + "\n";
}

}  // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    // Asking for the desktop starts it, and with it the shell; a process using it keeps it open.
    GetDesktopWindow();
    WaitFor(30000, [] { return (g_shell = FindWindowW(L"Shell_TrayWnd", nullptr)) != nullptr; });
    std::fputs(g_shell ? "<end>\n" : "error: no Wine desktop\n<end>\n", stdout);
    std::fflush(stdout);
    char line[4096];
    while (std::fgets(line, sizeof(line), stdin)) {
        std::string step(line);
        step.erase(step.find_last_not_of("\r\n") + 1);
        std::fputs((Run(step) + "<end>\n").c_str(), stdout);
        std::fflush(stdout);
    }
    return 0;
}

#endif
