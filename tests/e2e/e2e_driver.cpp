// The end-to-end driver: a console program run in the same Wine desktop as ostrevo.exe. Each subcommand
// does one thing a user or an observer would do, waits with bounded polling, prints what it saw and
// exits 0 on success, 1 when the expected thing did not happen, 2 on a usage error.
#include "e2e_win.h"
// The headers below need <windows.h>, which e2e_win.h includes, in front of them.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const wchar_t kMainClass[] = L"OstrevoMainWindow";
const wchar_t kAppTitle[] = L"Ostrevo";
const wchar_t kExeName[] = L"ostrevo.exe";
const UINT kTrayCallback = WM_APP + 1;
const UINT kTrayIconId = 1;

void Print(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string Hex(const void* value) {
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%#lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(value)));
    return buf;
}

// Polls until done() holds or the time is up; the one way this program waits.
bool WaitFor(DWORD timeoutMs, const std::function<bool()>& done) {
    for (DWORD waited = 0;; waited += e2e::kPollStepMs) {
        if (done()) return true;
        if (waited >= timeoutMs) return false;
        Sleep(e2e::kPollStepMs);
    }
}

DWORD ParseTimeout(const char* text) {
    long value = std::strtol(text, nullptr, 10);
    return value > 0 ? static_cast<DWORD>(value) : 0;
}

std::vector<DWORD> OstrevoProcesses() {
    std::vector<DWORD> pids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    for (BOOL ok = Process32FirstW(snap, &entry); ok; ok = Process32NextW(snap, &entry)) {
        if (lstrcmpiW(entry.szExeFile, kExeName) == 0) pids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snap);
    return pids;
}

HWND MainWindow() { return FindWindowW(kMainClass, nullptr); }

DWORD OstrevoPid() {
    HWND main = MainWindow();
    if (main) return e2e::ProcessOf(main);
    std::vector<DWORD> pids = OstrevoProcesses();
    return pids.empty() ? 0 : pids.front();
}

std::vector<HWND> OpenPopups(DWORD pid) { return e2e::TopLevelWindows(L"#32768", pid, true); }

// Who holds the foreground, the focus and the mouse capture on the thread of WND.
void PrintInputState(const char* label, HWND wnd) {
    GUITHREADINFO info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    if (!wnd || !GetGUIThreadInfo(GetWindowThreadProcessId(wnd, nullptr), &info)) {
        Print(std::string(label) + " thread: no information");
        return;
    }
    Print(std::string(label) + " thread: active " + Hex(info.hwndActive) + ", focus " + Hex(info.hwndFocus) +
          ", capture " + Hex(info.hwndCapture) + ", menu owner " + Hex(info.hwndMenuOwner));
}

void ListWindows() {
    for (HWND wnd : e2e::TopLevelWindows(L"", 0, false)) {
        RECT r = {0, 0, 0, 0};
        GetWindowRect(wnd, &r);
        char buf[160];
        std::snprintf(buf, sizeof(buf), " pid=%lu %s (%ld,%ld)-(%ld,%ld) ",
                      static_cast<unsigned long>(e2e::ProcessOf(wnd)),
                      IsWindowVisible(wnd) ? "visible" : "hidden", static_cast<long>(r.left),
                      static_cast<long>(r.top), static_cast<long>(r.right), static_cast<long>(r.bottom));
        Print(Hex(wnd) + " [" + e2e::ToUtf8(e2e::ClassOf(wnd)) + "]" + buf + "\"" +
              e2e::ToUtf8(e2e::TextOf(wnd)) + "\"");
    }
    for (DWORD pid : OstrevoProcesses()) Print("ostrevo.exe process " + std::to_string(pid));
    PrintInputState("foreground", GetForegroundWindow());
    PrintInputState("tray", FindWindowW(L"Shell_TrayWnd", nullptr));
    PrintInputState("ostrevo", MainWindow());
}

int WaitWindow(const std::wstring& className, const std::wstring& caption, DWORD timeoutMs) {
    HWND found = nullptr;
    bool ok = WaitFor(timeoutMs, [&] {
        found = FindWindowW(className.c_str(), caption == L"*" ? nullptr : caption.c_str());
        return found != nullptr;
    });
    if (!ok) {
        Print("timeout: no window of class " + e2e::ToUtf8(className));
        return 1;
    }
    Print(Hex(found));
    return 0;
}

// Wine draws the icons at the right end of its taskbar, each in a small-icon cell with a 2-pixel border,
// the first added rightmost. In a fresh prefix ostrevo's icon is the only one.
bool TrayIconPoint(POINT& pt) {
    HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    RECT r;
    if (!tray || !IsWindowVisible(tray) || !GetClientRect(tray, &r)) return false;
    int cell = GetSystemMetrics(SM_CXSMICON) + 4;
    pt.x = r.right - cell / 2;
    pt.y = (r.top + r.bottom) / 2;
    return ClientToScreen(tray, &pt) != FALSE;
}

int OpenMenu(const std::string& how, DWORD timeoutMs) {
    DWORD pid = OstrevoPid();
    HWND main = MainWindow();
    if (!pid || !main) {
        Print("error: ostrevo.exe is not running or has no main window");
        return 1;
    }
    if (!OpenPopups(pid).empty()) {
        Print("error: a popup menu is already open");
        return 1;
    }
    if (how == "post-right" || how == "post-left") {
        LPARAM mouse = how == "post-right" ? WM_RBUTTONUP : WM_LBUTTONUP;
        PostMessageW(main, kTrayCallback, kTrayIconId, mouse);
    } else if (how == "tray-left" || how == "tray-right") {
        POINT pt;
        if (!WaitFor(timeoutMs, [&] { return TrayIconPoint(pt); })) {
            Print("error: no visible Shell_TrayWnd");
            return 1;
        }
        Print("clicking the tray at " + std::to_string(pt.x) + "," + std::to_string(pt.y));
        if (!e2e::ClickAt(pt, how == "tray-right")) {
            Print("error: SendInput failed");
            return 1;
        }
    } else {
        Print("usage: open-menu tray-left|tray-right|post-left|post-right TIMEOUT_MS");
        return 2;
    }
    if (!WaitFor(timeoutMs, [&] { return !OpenPopups(pid).empty(); })) {
        Print("timeout: no popup menu opened");
        return 1;
    }
    Print("menu open");
    return 0;
}

int WaitMenuClosed(DWORD timeoutMs) {
    DWORD pid = OstrevoPid();
    if (!WaitFor(timeoutMs, [&] { return pid == 0 || OpenPopups(pid).empty(); })) {
        Print("timeout: the popup menu is still open");
        return 1;
    }
    Print("menu closed");
    return 0;
}

std::string ProbePath() {
    char buf[MAX_PATH] = {0};
    DWORD len = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string path(buf, len);
    size_t slash = path.find_last_of("\\/");
    return path.substr(0, slash == std::string::npos ? 0 : slash + 1) + "ostrevo_probe.dll";
}

bool ProbeLoadedIn(DWORD pid) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snap == INVALID_HANDLE_VALUE) return false;
    bool loaded = false;
    MODULEENTRY32W entry;
    entry.dwSize = sizeof(entry);
    for (BOOL ok = Module32FirstW(snap, &entry); ok && !loaded; ok = Module32NextW(snap, &entry)) {
        loaded = lstrcmpiW(entry.szModule, L"ostrevo_probe.dll") == 0;
    }
    CloseHandle(snap);
    return loaded;
}

// Loads the probe into the running exe; the probe reads the command file, answers and unloads itself.
int Inject(const std::string& command, DWORD timeoutMs) {
    DWORD pid = OstrevoPid();
    if (!pid) {
        Print("error: ostrevo.exe is not running");
        return 1;
    }
    // A probe still unloading from the last command would only gain a reference and never run again.
    if (!WaitFor(timeoutMs, [&] { return !ProbeLoadedIn(pid); })) {
        Print("timeout: the probe from an earlier command is still loaded");
        return 1;
    }
    DeleteFileA(e2e::kAnswerPath);
    FILE* f = std::fopen(e2e::kCommandPath, "wb");
    if (!f) {
        Print("error: cannot write the command file");
        return 1;
    }
    std::fwrite(command.data(), 1, command.size(), f);
    std::fclose(f);

    std::string dll = ProbePath();
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    if (!process) {
        Print("error: OpenProcess failed");
        return 1;
    }
    int rc = 1;
    void* remote = VirtualAllocEx(process, nullptr, dll.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    HANDLE thread = nullptr;
    // kernel32 lies at the same address in every 32-bit process of the prefix, so our LoadLibraryA is theirs.
    // A pointer to a function without parameters is the portable way between function pointer types.
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    if (remote && WriteProcessMemory(process, remote, dll.c_str(), dll.size() + 1, nullptr)) {
        thread = CreateRemoteThread(process, nullptr, 0, loadLibrary, remote, 0, nullptr);
    }
    if (!thread) {
        Print("error: CreateRemoteThread failed");
    } else if (WaitForSingleObject(thread, timeoutMs) != WAIT_OBJECT_0) {
        Print("timeout: LoadLibraryA did not return");
    } else {
        DWORD loaded = 0;
        GetExitCodeThread(thread, &loaded);
        std::string answer;
        if (!loaded) {
            Print("error: LoadLibraryA of " + dll + " failed in the target");
        } else if (!WaitFor(timeoutMs, [&] {
                       return GetFileAttributesA(e2e::kAnswerPath) != INVALID_FILE_ATTRIBUTES;
                   })) {
            Print("timeout: the probe did not answer");
        } else {
            answer = e2e::ReadAll(e2e::kAnswerPath);
            std::fputs(answer.c_str(), stdout);
            rc = answer.find("error:") == std::string::npos ? 0 : 1;
        }
    }
    if (thread) CloseHandle(thread);
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return rc;
}

HWND FindMessageBox() {
    for (HWND wnd : e2e::TopLevelWindows(L"#32770", 0, true)) {
        if (e2e::TextOf(wnd) == kAppTitle) return wnd;
    }
    return nullptr;
}

struct DialogParts {
    std::vector<HWND> buttons;
    std::vector<HWND> texts;
    int icons = 0;
};

BOOL CALLBACK CollectDialogPart(HWND wnd, LPARAM param) {
    DialogParts* parts = reinterpret_cast<DialogParts*>(param);
    if (!IsWindowVisible(wnd)) return TRUE;
    std::wstring cls = e2e::ClassOf(wnd);
    if (lstrcmpiW(cls.c_str(), L"Button") == 0) {
        parts->buttons.push_back(wnd);
    } else if (lstrcmpiW(cls.c_str(), L"Static") == 0) {
        LONG style = GetWindowLongW(wnd, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON) {
            // The box keeps its icon control even without an icon; only a loaded icon counts.
            if (SendMessageW(wnd, STM_GETICON, 0, 0) != 0) ++parts->icons;
        } else if (!e2e::TextOf(wnd).empty()) {
            parts->texts.push_back(wnd);
        }
    }
    return TRUE;
}

// Printed one fact a line so that the script can compare them exactly.
int MessageBoxText(DWORD timeoutMs) {
    HWND box = nullptr;
    if (!WaitFor(timeoutMs, [&] { return (box = FindMessageBox()) != nullptr; })) {
        Print("timeout: no message box captioned Ostrevo");
        return 1;
    }
    DialogParts parts;
    EnumChildWindows(box, CollectDialogPart, reinterpret_cast<LPARAM>(&parts));
    Print("caption: " + e2e::ToUtf8(e2e::TextOf(box)));
    for (HWND text : parts.texts) Print("text: " + e2e::ToUtf8(e2e::TextOf(text)));
    for (HWND button : parts.buttons) Print("button: " + e2e::ToUtf8(e2e::TextOf(button)));
    Print("icons: " + std::to_string(parts.icons));
    return 0;
}

std::wstring WithoutAccessMarks(const std::wstring& caption) {
    std::wstring out;
    for (wchar_t c : caption) {
        if (c != L'&') out += c;
    }
    return out;
}

int MessageBoxClick(const std::wstring& label, DWORD timeoutMs) {
    HWND box = nullptr;
    if (!WaitFor(timeoutMs, [&] { return (box = FindMessageBox()) != nullptr; })) {
        Print("timeout: no message box captioned Ostrevo");
        return 1;
    }
    DialogParts parts;
    EnumChildWindows(box, CollectDialogPart, reinterpret_cast<LPARAM>(&parts));
    for (HWND button : parts.buttons) {
        if (WithoutAccessMarks(e2e::TextOf(button)) != label) continue;
        // Posted, not sent: the box's owner may end the process before a sent message could return.
        PostMessageW(button, BM_CLICK, 0, 0);
        if (!WaitFor(timeoutMs, [&] { return !IsWindow(box) || !IsWindowVisible(box); })) {
            Print("timeout: the message box stayed open after the click");
            return 1;
        }
        Print("clicked " + e2e::ToUtf8(label));
        return 0;
    }
    Print("error: no button " + e2e::ToUtf8(label));
    return 1;
}

int PressNamedKey(const std::string& name) {
    WORD vk = name == "escape" ? VK_ESCAPE : name == "enter" ? VK_RETURN : 0;
    if (!vk) {
        Print("usage: key escape|enter");
        return 2;
    }
    return e2e::PressKey(vk) ? 0 : 1;
}

// A user's click on the empty desktop: the first of a few points that no popup menu covers.
int ClickOutside() {
    DWORD pid = OstrevoPid();
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    POINT candidates[] = {{width / 4, height / 4}, {width / 2, height / 4}, {width / 4, height / 2}};
    for (POINT pt : candidates) {
        bool covered = false;
        for (HWND popup : OpenPopups(pid)) {
            RECT r;
            if (GetWindowRect(popup, &r) && PtInRect(&r, pt)) covered = true;
        }
        if (covered) continue;
        Print("clicking the desktop at " + std::to_string(pt.x) + "," + std::to_string(pt.y));
        return e2e::ClickAt(pt) ? 0 : 1;
    }
    Print("error: the menus cover every point tried");
    return 1;
}

// Another application takes the foreground, the way a user switches to it: a real click on its window.
int ActivateOther(DWORD timeoutMs) {
    WNDCLASSW wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"E2eOtherWindow";
    RegisterClassW(&wc);
    HWND other = CreateWindowExW(0, wc.lpszClassName, L"Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 100, 100, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    if (!other) {
        Print("error: cannot create a window");
        return 1;
    }
    auto pump = [] {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    };
    pump();
    RECT r;
    GetWindowRect(other, &r);
    e2e::ClickAt(e2e::CentreOf(r));
    SetForegroundWindow(other);
    bool active = WaitFor(timeoutMs, [&] {
        pump();
        return GetForegroundWindow() == other;
    });
    Print(active ? "other window is in the foreground"
                 : "timeout: the other window did not become foreground");
    // A round trip through ostrevo's thread: whatever the focus change sent it has been handled after this.
    HWND main = MainWindow();
    DWORD_PTR ignored = 0;
    if (main) SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &ignored);
    DestroyWindow(other);
    pump();
    return active ? 0 : 1;
}

// Wine closes a desktop, and with it the shell that owns the tray, once no program uses it any more.
// Holding it open keeps one shell for the whole scenario, so "icon absent" cannot come from a new one.
int Hold(DWORD timeoutMs) {
    HWND keeper = CreateWindowExW(0, L"Static", L"e2e keeper", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    SetTimer(nullptr, 0, timeoutMs, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) break;
        DispatchMessageW(&msg);
    }
    if (keeper) DestroyWindow(keeper);
    return 0;
}

int IsRunning() {
    std::vector<DWORD> pids = OstrevoProcesses();
    HWND main = MainWindow();
    Print("processes: " + std::to_string(pids.size()) + ", main window: " + (main ? Hex(main) : "none"));
    return !pids.empty() && main ? 0 : 1;
}

int WaitExit(DWORD timeoutMs) {
    if (!WaitFor(timeoutMs, [] { return OstrevoProcesses().empty(); })) {
        Print("timeout: ostrevo.exe is still running");
        return 1;
    }
    Print("ostrevo.exe has ended");
    return 0;
}

// The shell answers NIM_MODIFY only for an icon it holds; with no flags set nothing about it changes.
bool TrayIconPresent(HWND owner) {
    NOTIFYICONDATAW data;
    ZeroMemory(&data, sizeof(data));
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = owner;
    data.uID = kTrayIconId;
    data.uFlags = 0;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

int Usage();

// ---------------------------------------------------------------------------------------------------------
// Dialogs of the exe (the input box, the AutoLogon dialog), found by caption, their controls by ID. The
// controls live in another process, so their texts are asked with WM_GETTEXT: GetWindowText reads only
// the window's own caption there, which an edit control never updates.

HWND FindDialog(const std::wstring& caption, bool visibleOnly) {
    for (HWND wnd : e2e::TopLevelWindows(L"#32770", 0, visibleOnly)) {
        if (e2e::TextOf(wnd) == caption) return wnd;
    }
    return nullptr;
}

HWND WaitDialog(const std::wstring& caption, DWORD timeoutMs) {
    HWND dialog = nullptr;
    WaitFor(timeoutMs, [&] { return (dialog = FindDialog(caption, true)) != nullptr; });
    if (!dialog) Print("timeout: no dialog captioned " + e2e::ToUtf8(caption));
    return dialog;
}

// Hidden ones count too: a modal dialog exists, not yet shown, from the moment it is created.
bool WaitDialogGone(const std::wstring& caption, DWORD timeoutMs) {
    if (WaitFor(timeoutMs, [&] { return FindDialog(caption, false) == nullptr; })) return true;
    Print("timeout: the dialog " + e2e::ToUtf8(caption) + " is still there");
    return false;
}

HWND DialogControl(HWND dialog, int id) {
    HWND control = dialog ? GetDlgItem(dialog, id) : nullptr;
    if (dialog && !control) Print("error: the dialog has no control " + std::to_string(id));
    return control;
}

bool SendWithTimeout(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    return SendMessageTimeoutW(wnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

bool ControlText(HWND control, std::wstring& text) {
    DWORD_PTR length = 0;
    if (!SendWithTimeout(control, WM_GETTEXTLENGTH, 0, 0, length)) return false;
    std::vector<wchar_t> buf(length + 2, L'\0');
    DWORD_PTR copied = 0;
    if (!SendWithTimeout(control, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), copied)) {
        return false;
    }
    text.assign(buf.data(), copied < buf.size() ? copied : buf.size() - 1);
    return true;
}

// One fact about a control: its text, whether it is enabled, or the character a password box shows.
int DialogGet(const std::wstring& caption, int id, const std::string& what) {
    HWND control = DialogControl(WaitDialog(caption, 0), id);
    if (!control) return 1;
    if (what == "text") {
        std::wstring text;
        if (!ControlText(control, text)) {
            Print("error: WM_GETTEXT went unanswered");
            return 1;
        }
        Print(e2e::ToUtf8(text));
        return 0;
    }
    if (what == "enabled") {
        Print(IsWindowEnabled(control) ? "enabled" : "disabled");
        return 0;
    }
    if (what == "password-char") {
        DWORD_PTR shown = 0;
        if (!SendWithTimeout(control, EM_GETPASSWORDCHAR, 0, 0, shown)) {
            Print("error: EM_GETPASSWORDCHAR went unanswered");
            return 1;
        }
        Print(shown ? e2e::ToUtf8(std::wstring(1, static_cast<wchar_t>(shown))) : "none");
        return 0;
    }
    return Usage();
}

// The keyboard focus in the dialog's thread: the control ID, "none", or a window outside the dialog.
std::string FocusIn(HWND dialog) {
    GUITHREADINFO info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) return "unknown";
    if (!info.hwndFocus) return "none";
    if (info.hwndFocus != dialog && IsChild(dialog, info.hwndFocus)) {
        return std::to_string(GetDlgCtrlID(info.hwndFocus));
    }
    return "other " + Hex(info.hwndFocus) + " [" + e2e::ToUtf8(e2e::ClassOf(info.hwndFocus)) + "]";
}

int DialogFocus(const std::wstring& caption) {
    HWND dialog = WaitDialog(caption, 0);
    if (!dialog) return 1;
    Print(FocusIn(dialog));
    return 0;
}

// WM_SETTEXT on an edit control raises EN_CHANGE, as typing does; the text read back is printed.
int DialogSet(const std::wstring& caption, int id, const std::wstring& text) {
    HWND control = DialogControl(WaitDialog(caption, 0), id);
    if (!control) return 1;
    DWORD_PTR ok = 0;
    std::wstring now;
    if (!SendWithTimeout(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), ok) || !ok ||
        !ControlText(control, now)) {
        Print("error: WM_SETTEXT failed");
        return 1;
    }
    Print(e2e::ToUtf8(now));
    return now == text ? 0 : 1;
}

// The user's click into a control, at the centre of its own rectangle; done once it holds the focus.
int DialogClickInto(const std::wstring& caption, int id, DWORD timeoutMs) {
    HWND dialog = WaitDialog(caption, timeoutMs);
    HWND control = DialogControl(dialog, id);
    if (!control) return 1;
    RECT r;
    if (!GetWindowRect(control, &r) || !e2e::ClickAt(e2e::CentreOf(r))) {
        Print("error: cannot click the control");
        return 1;
    }
    const std::string wanted = std::to_string(id);
    if (!WaitFor(timeoutMs, [&] { return FocusIn(dialog) == wanted; })) {
        Print("timeout: the focus is on " + FocusIn(dialog));
        return 1;
    }
    Print("focus on " + wanted);
    return 0;
}

int DialogButton(const std::wstring& caption, int id, DWORD timeoutMs) {
    HWND button = DialogControl(WaitDialog(caption, timeoutMs), id);
    if (!button) return 1;
    // Posted, not sent: what the button starts may outlast the timeout of a sent message.
    PostMessageW(button, BM_CLICK, 0, 0);
    if (!WaitDialogGone(caption, timeoutMs)) return 1;
    Print("clicked " + std::to_string(id) + ", dialog gone");
    return 0;
}

int DialogClose(const std::wstring& caption, DWORD timeoutMs) {
    HWND dialog = WaitDialog(caption, timeoutMs);
    if (!dialog) return 1;
    // What a click on the close box sends; the dialog manager turns it into IDCANCEL.
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (!WaitDialogGone(caption, timeoutMs)) return 1;
    Print("closed, dialog gone");
    return 0;
}

// A real Esc key, so it must reach the dialog through the foreground. A click on the caption bar is
// the user's way to bring it there when asking for it is not enough.
int DialogEscape(const std::wstring& caption, DWORD timeoutMs) {
    HWND dialog = WaitDialog(caption, timeoutMs);
    if (!dialog) return 1;
    SetForegroundWindow(dialog);
    if (!WaitFor(timeoutMs / 2, [&] { return GetForegroundWindow() == dialog; })) {
        RECT r;
        GetWindowRect(dialog, &r);
        POINT onCaption = {r.left + (r.right - r.left) / 3,
                           r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
        e2e::ClickAt(onCaption);
        if (!WaitFor(timeoutMs / 2, [&] { return GetForegroundWindow() == dialog; })) {
            Print("timeout: the dialog did not come to the foreground");
            return 1;
        }
    }
    if (!e2e::PressKey(VK_ESCAPE)) {
        Print("error: SendInput failed");
        return 1;
    }
    if (!WaitDialogGone(caption, timeoutMs)) return 1;
    Print("escape, dialog gone");
    return 0;
}

// The label of the message box's default button: the one drawn as such (DM_GETDEFID is no guide, as
// Wine's box keeps the ID of its template's OK button there whatever buttons it shows).
int MessageBoxDefault(DWORD timeoutMs) {
    HWND box = nullptr;
    if (!WaitFor(timeoutMs, [&] { return (box = FindMessageBox()) != nullptr; })) {
        Print("timeout: no message box captioned Ostrevo");
        return 1;
    }
    DialogParts parts;
    EnumChildWindows(box, CollectDialogPart, reinterpret_cast<LPARAM>(&parts));
    std::vector<std::string> defaults;
    for (HWND button : parts.buttons) {
        if ((GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            defaults.push_back(e2e::ToUtf8(WithoutAccessMarks(e2e::TextOf(button))));
        }
    }
    if (defaults.size() != 1) {
        Print("error: " + std::to_string(defaults.size()) + " default buttons");
        return 1;
    }
    Print(defaults.front());
    return 0;
}

// The system's own wording of an error code, which the program is expected to pass on.
int SystemMessage(const char* codeText) {
    DWORD code = std::strtoul(codeText, nullptr, 10);
    wchar_t* text = nullptr;
    DWORD len = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    if (!len || !text) {
        Print("error: no text for " + std::to_string(code));
        return 1;
    }
    std::wstring message(text, len);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n')) message.pop_back();
    Print(e2e::ToUtf8(message));
    return 0;
}

// The owner is given once the program is gone; the shell's process is printed so that the script can
// tell that "absent" comes from the same shell that had the icon.
int WaitTrayIcon(const std::string& wanted, DWORD timeoutMs, const char* ownerText) {
    if (wanted != "present" && wanted != "absent") return Usage();
    HWND owner = ownerText
                     ? reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(ownerText, nullptr, 0)))
                     : MainWindow();
    if (!owner) {
        Print("error: no window to ask about");
        return 1;
    }
    bool wantPresent = wanted == "present";
    bool ok = WaitFor(timeoutMs, [&] { return TrayIconPresent(owner) == wantPresent; });
    HWND shell = FindWindowW(L"Shell_TrayWnd", nullptr);
    std::string seen = ok == wantPresent ? "present" : "absent";
    Print("tray icon " + seen + " for " + Hex(owner) + ", shell process " +
          std::to_string(shell ? e2e::ProcessOf(shell) : 0));
    return ok ? 0 : 1;
}

int Usage() {
    Print(
        "usage: e2e_driver windows | wait-window CLASS CAPTION|* MS | open-menu HOW MS | wait-menu-closed "
        "MS");
    Print(
        "       inject COMMAND... | msgbox-text MS | msgbox-click LABEL MS | key escape|enter | "
        "click-outside");
    Print(
        "       activate-other MS | hold MS | is-running | wait-exit MS | wait-tray-icon present|absent MS "
        "[HWND]");
    Print("       msgbox-default MS | system-message CODE | dialog-wait CAPTION MS | dialog-gone CAPTION MS");
    Print(
        "       dialog-get CAPTION ID text|enabled|password-char | dialog-focus CAPTION | dialog-set "
        "CAPTION ID TEXT");
    Print(
        "       dialog-click-into CAPTION ID MS | dialog-button CAPTION ID MS | dialog-close CAPTION MS | "
        "dialog-escape CAPTION MS");
    return 2;
}

}  // namespace

int main() {
    // The script compares lines exactly: no CR added to them.
    _setmode(_fileno(stdout), _O_BINARY);
    // Captions may hold any character: take the arguments as UTF-16, not in the ANSI code page.
    int argc = 0;
    LPWSTR* wideArgs = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(e2e::ToUtf8(wideArgs[i]));
    if (wideArgs) LocalFree(wideArgs);
    std::vector<const char*> argvStore;
    for (const std::string& a : args) argvStore.push_back(a.c_str());
    const char* const* argv = argvStore.data();
    if (argc < 2) return Usage();
    std::string cmd = argv[1];
    auto arg = [&](int i) { return std::string(i < argc ? argv[i] : ""); };
    if (cmd == "windows") {
        ListWindows();
        return 0;
    }
    if (cmd == "wait-window" && argc == 5) {
        return WaitWindow(e2e::FromUtf8(arg(2)), e2e::FromUtf8(arg(3)), ParseTimeout(argv[4]));
    }
    if (cmd == "open-menu" && argc == 4) return OpenMenu(arg(2), ParseTimeout(argv[3]));
    if (cmd == "wait-menu-closed" && argc == 3) return WaitMenuClosed(ParseTimeout(argv[2]));
    if (cmd == "inject" && argc >= 3) {
        std::string command = arg(2);
        for (int i = 3; i < argc; ++i) command += " " + arg(i);
        return Inject(command, 10000);
    }
    if (cmd == "msgbox-text" && argc == 3) return MessageBoxText(ParseTimeout(argv[2]));
    if (cmd == "msgbox-click" && argc == 4)
        return MessageBoxClick(e2e::FromUtf8(arg(2)), ParseTimeout(argv[3]));
    if (cmd == "key" && argc == 3) return PressNamedKey(arg(2));
    if (cmd == "click-outside") return ClickOutside();
    if (cmd == "activate-other" && argc == 3) return ActivateOther(ParseTimeout(argv[2]));
    if (cmd == "hold" && argc == 3) return Hold(ParseTimeout(argv[2]));
    if (cmd == "is-running") return IsRunning();
    if (cmd == "wait-exit" && argc == 3) return WaitExit(ParseTimeout(argv[2]));
    if (cmd == "wait-tray-icon" && (argc == 4 || argc == 5)) {
        return WaitTrayIcon(arg(2), ParseTimeout(argv[3]), argc == 5 ? argv[4] : nullptr);
    }
    if (cmd == "msgbox-default" && argc == 3) return MessageBoxDefault(ParseTimeout(argv[2]));
    if (cmd == "system-message" && argc == 3) return SystemMessage(argv[2]);
    std::wstring caption = e2e::FromUtf8(arg(2));
    int id = std::atoi(arg(3).c_str());
    if (cmd == "dialog-wait" && argc == 4) {
        HWND dialog = WaitDialog(caption, ParseTimeout(argv[3]));
        if (dialog) Print(Hex(dialog));
        return dialog ? 0 : 1;
    }
    if (cmd == "dialog-gone" && argc == 4) return WaitDialogGone(caption, ParseTimeout(argv[3])) ? 0 : 1;
    if (cmd == "dialog-get" && argc == 5) return DialogGet(caption, id, arg(4));
    if (cmd == "dialog-focus" && argc == 3) return DialogFocus(caption);
    if (cmd == "dialog-set" && argc == 5) return DialogSet(caption, id, e2e::FromUtf8(arg(4)));
    if (cmd == "dialog-click-into" && argc == 5) return DialogClickInto(caption, id, ParseTimeout(argv[4]));
    if (cmd == "dialog-button" && argc == 5) return DialogButton(caption, id, ParseTimeout(argv[4]));
    if (cmd == "dialog-close" && argc == 4) return DialogClose(caption, ParseTimeout(argv[3]));
    if (cmd == "dialog-escape" && argc == 4) return DialogEscape(caption, ParseTimeout(argv[3]));
    return Usage();
}
