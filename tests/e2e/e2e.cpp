// The end-to-end driver and its probe, one source built twice. The driver (e2e_driver.exe) does the one
// step it reads on stdin in the Wine desktop beside ostrevo.exe and prints what it saw. The probe
// (e2e_probe.dll, built with E2E_PROBE) is run by the driver on a thread of its own inside the running
// exe, the one place where the exe's popup menu can be read (GetMenuItemCount gives -1 anywhere else).
// Steps: menu [right] [ITEM] (the popup's items, or the one named, then Esc), click A>B (through the
// popup), window [BUTTON] (the exe's dialog or message box on one line, then a click on that button),
// type ID [TEXT], focus (see Focus), attributes [N] (see Attributes), lsa (see StandIn). With an
// argument the driver brings up the desktop and waits for stdin to end, so that the desktop is there for
// the programs started meanwhile.
#include <windows.h>
// After <windows.h>, which it needs.
#include <ntsecapi.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kIoSize = 65536;  // a step and the probe's answer travel in a buffer of this size

// Every text here is a caption, a control's text or a step: a few thousand bytes at most.
std::string Utf8(const std::wstring& text) {
    char out[8192] = "";
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out, sizeof(out) - 1, nullptr, nullptr);
    return out;
}

// What follows the first space in `step`.
std::string After(const std::string& step) {
    return step.find(' ') == std::string::npos ? "" : step.substr(step.find(' ') + 1);
}

// The one way anything here waits: polling, with a bound.
template <typename Done>
bool WaitFor(DWORD ms, Done done) {
    for (const DWORD start = GetTickCount(); !done(); Sleep(20))
        if (GetTickCount() - start > ms) return false;
    return true;
}

// The visible top-level windows of a process (of a class, if given), the topmost first.
std::vector<HWND> Windows(DWORD pid, const wchar_t* cls = nullptr) {
    std::vector<HWND> found;
    for (HWND wnd = nullptr; (wnd = FindWindowExW(nullptr, wnd, cls, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(wnd, &owner);
        if (owner == pid && IsWindowVisible(wnd)) found.push_back(wnd);
    }
    return found;
}

#ifdef E2E_PROBE

std::vector<HWND> Popups() { return Windows(GetCurrentProcessId(), L"#32768"); }

HMENU MenuOf(HWND popup) { return reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)); }

std::string Caption(HMENU menu, int pos) {
    wchar_t text[512] = L"";
    GetMenuStringW(menu, pos, text, 512, MF_BYPOSITION);
    return Utf8(text);
}

// "*" marks a checked item, "~" a disabled one; a submenu's items follow its own after " > ".
std::string Item(HMENU menu, int pos) {
    const UINT state = GetMenuState(menu, pos, MF_BYPOSITION);
    std::string line = std::string(state & MF_CHECKED ? "*" : "") +
                       (state & (MF_GRAYED | MF_DISABLED) ? "~" : "") + Caption(menu, pos);
    HMENU sub = GetSubMenu(menu, pos);
    for (int i = 0; sub && i < GetMenuItemCount(sub); ++i) line += (i ? " | " : " > ") + Item(sub, i);
    return line;
}

// Clicks through the open menu, each item at the centre of its own rectangle, once the menu holding it
// is the topmost. The menu takes the pointer's place from the message, as it does for any click.
std::string Click(HMENU menu, const std::string& path) {
    std::istringstream steps(path);
    for (std::string step; std::getline(steps, step, '>');) {
        HWND shown = nullptr;
        const auto showing = [&] { return !Popups().empty() && MenuOf(shown = Popups().front()) == menu; };
        if (!menu || !WaitFor(3000, showing)) return "error: no menu holds " + step + "\n";
        int pos = GetMenuItemCount(menu) - 1;
        while (pos >= 0 && Caption(menu, pos) != step) --pos;
        RECT r;
        if (pos < 0 || !GetMenuItemRect(shown, menu, pos, &r)) return "error: no item " + step + "\n";
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageW(shown, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(shown, WM_LBUTTONUP, 0, at);
        menu = GetSubMenu(menu, pos);
    }
    return "";
}

// The LSA's store, stood in for: Wine's keeps nothing and answers "not found" whatever it is given, so
// a scenario that must see what the exe stores has it taken here instead, recorded, and answered as
// done. The exe looks the function up by name, so its first instructions become a jump here.
std::string stored;

std::string Quoted(const LSA_UNICODE_STRING* text) {
    return text ? "\"" + Utf8(std::wstring(text->Buffer, text->Length / sizeof(wchar_t))) + "\"" : "NULL";
}

NTSTATUS WINAPI StoreStandIn(LSA_HANDLE, PLSA_UNICODE_STRING name, PLSA_UNICODE_STRING data) {
    stored += "LsaStorePrivateData(" + Quoted(name) + "," + Quoted(data) + ")\n";
    return 0;
}

// Stands in from the first such step on; each gives what the exe stored since the last.
std::string StandIn() {
    static bool done = false;
    void* store =
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"advapi32.dll"), "LsaStorePrivateData"));
    const auto to = reinterpret_cast<uintptr_t>(&StoreStandIn);
    // mov eax (rax), to; jmp eax (rax)
    std::string jump = sizeof(to) == 8 ? "\x48\xB8" : "\xB8";
    jump.append(reinterpret_cast<const char*>(&to), sizeof(to)).append("\xFF\xE0");
    DWORD was = 0;
    if (!done && (done = store && VirtualProtect(store, jump.size(), PAGE_EXECUTE_READWRITE, &was)))
        std::memcpy(store, jump.data(), jump.size());
    if (!done) return "error: no LsaStorePrivateData to stand in for\n";
    return std::exchange(stored, "");
}

}  // namespace

// A step about the popup menu, opened as a click on the tray icon does: the shell passes the click on;
// or "lsa" (see StandIn).
extern "C" __declspec(dllexport) DWORD WINAPI Serve(LPVOID io) {
    const std::string step = static_cast<char*>(io);
    if (step == "lsa") {
        lstrcpynA(static_cast<char*>(io), StandIn().c_str(), kIoSize);
        return 1;
    }
    const bool read = step.rfind("menu", 0) == 0, right = step.rfind("menu right", 0) == 0;
    // The path clicked, or the one item read (every item if none).
    const std::string what = right ? After(After(step)) : After(step);
    // The icon is there only once start-up is over, and the taskbar may still be settling: until then a
    // click finds nothing. A click is given 5 s to open the menu before the next: one that reached the
    // exe late would open a second menu over the first, which the steps then lose.
    for (int i = 0; i < 6 && Popups().empty(); ++i) {
        HWND shell = FindWindowW(L"Shell_TrayWnd", nullptr);
        RECT r;
        GetClientRect(shell, &r);
        const LPARAM icon = MAKELPARAM(r.right - (GetSystemMetrics(SM_CXSMICON) + 4) / 2, r.bottom / 2);
        PostMessageW(shell, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, icon);
        WaitFor(5000, [] { return !Popups().empty(); });
    }
    // Each submenu opens above the menu it belongs to.
    HMENU root = Popups().empty() ? nullptr : MenuOf(Popups().back());
    std::string out = root ? "" : "error: no menu opened\n";
    if (root && !read) out = Click(root, what);
    for (int i = 0; root && read && i < GetMenuItemCount(root); ++i)
        if (what.empty() || Caption(root, i) == what) out += Item(root, i) + "\n";
    // A menu read is closed with Esc, one menu at a time; a click closes the menu itself.
    for (int i = 0; i < 4 && !Popups().empty(); ++i) {
        if (read) PostMessageW(Popups().front(), WM_KEYDOWN, VK_ESCAPE, 0);
        WaitFor(2000, [] { return Popups().empty(); });
    }
    out += Popups().empty() ? "" : "error: a menu stays open\n";
    lstrcpynA(static_cast<char*>(io), out.c_str(), kIoSize);
    return 1;
}

#else

std::string TextOf(HWND wnd) {
    wchar_t text[1024] = L"";
    SendMessageW(wnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return Utf8(text);
}

// The window with the keyboard focus in `wnd`'s thread.
HWND FocusOf(HWND wnd) {
    GUITHREADINFO gui = {sizeof(gui), 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {}};
    GetGUIThreadInfo(GetWindowThreadProcessId(wnd, nullptr), &gui);
    return gui.hwndFocus;
}

// The exe's process, from its hidden main window, waited for.
DWORD Exe() {
    HWND main = nullptr;
    DWORD pid = 0;
    WaitFor(20000, [&] { return (main = FindWindowW(L"OstrevoMainWindow", nullptr)) != nullptr; });
    return GetWindowThreadProcessId(main, &pid) ? pid : 0;
}

// Runs `routine` in the exe on a copy of `io`, which gets what the routine leaves there. Returns the
// routine's exit code: 0 also when the exe ended meanwhile.
DWORD InExe(DWORD pid, uintptr_t routine, std::string& io) {
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    void* remote = VirtualAllocEx(process, nullptr, kIoSize, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(process, remote, io.c_str(), io.size() + 1, nullptr);
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(routine),
                                       remote, 0, nullptr);
    DWORD code = 0;
    std::vector<char> answer(kIoSize + 1);
    if (WaitForSingleObject(thread, 60000) == WAIT_OBJECT_0 && GetExitCodeThread(thread, &code) && code)
        ReadProcessMemory(process, remote, answer.data(), kIoSize, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    io = answer.data();
    return code;
}

// The probe's Serve, run in the exe: loaded there by LoadLibraryA (kernel32 lies at the same address in
// every process of the exe's width), its address found from the copy loaded here. The load's result comes
// back as a thread's 32-bit exit code: the x86-64 probe is linked below 4 GB (CMakeLists.txt).
std::string Probe(const std::string& step) {
    std::string dll = "C:\\e2e\\e2e_probe.dll", io = step;
    const auto here = reinterpret_cast<uintptr_t>(LoadLibraryA(dll.c_str()));
    const DWORD pid = Exe(), there = InExe(pid, reinterpret_cast<uintptr_t>(&LoadLibraryA), dll);
    const auto serve = reinterpret_cast<uintptr_t>(GetProcAddress(reinterpret_cast<HMODULE>(here), "Serve"));
    if (!pid || !there || !serve) return "error: the probe could not be loaded\n";
    // Reading the menu changes nothing, so a read that got no answer from the exe is asked once more. A
    // click may end the exe (Exit, a granted shutdown) before its answer comes back.
    const bool read = step.rfind("menu", 0) == 0;
    for (int tries = read ? 2 : 1; tries > 0; --tries, io = step)
        if (InExe(pid, serve - here + there, io)) return io;
    return read ? "error: no answer from the probe\n" : "";
}

// The exe's dialog or message box, waited for.
HWND Dialog() {
    std::vector<HWND> found;
    const DWORD pid = Exe();
    WaitFor(20000, [&] { return !(found = Windows(pid, L"#32770")).empty(); });
    return found.empty() ? nullptr : found[0];
}

// The exe's dialog or message box on one line: its caption, then each visible control's text (or "icon"
// for an icon shown) and what else a user sees of it (the default button, the focus, disabled, a
// password box); then a click on the button captioned `button`, if given.
std::string Window(const std::string& button) {
    HWND dialog = Dialog(), focus = FocusOf(dialog), clicked = nullptr;
    std::string out = dialog ? "\"" + TextOf(dialog) + "\"" : "error: no window";
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        std::string text = TextOf(c);
        clicked = text == button ? c : clicked;
        for (size_t i; (i = text.find_first_of("\r\n")) != std::string::npos;)
            text.replace(i, 1, text[i] == '\n' ? "\\n" : "");
        if (!IsWindowVisible(c)) continue;
        // Each control says itself what it is: an icon shown, the default button.
        out += SendMessageW(c, STM_GETICON, 0, 0) ? " | icon" : " | \"" + text + "\"";
        if (SendMessageW(c, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) out += " default";
        out += std::string(IsWindowEnabled(c) ? "" : " disabled") + (focus == c ? " focus" : "");
        out += SendMessageW(c, EM_GETPASSWORDCHAR, 0, 0) ? " password" : "";
    }
    out += "\n";
    if (button.empty()) return out;
    // Posted: what the button starts may end the process before a sent message could return.
    if (!clicked || !PostMessageW(clicked, BM_CLICK, 0, 0)) return out + "error: no button " + button + "\n";
    return out + (WaitFor(10000, [&] { return !IsWindowVisible(dialog); }) ? "" : "error: it stays open\n");
}

// The step is UTF-8; the control gets the text as the letters it names, whatever the code page. What it
// holds then shows in the next window step.
std::string Type(const std::string& arg) {
    wchar_t text[1024] = L"";
    MultiByteToWideChar(CP_UTF8, 0, After(arg).c_str(), -1, text, 1023);
    const bool typed = SetDlgItemTextW(Dialog(), std::atoi(arg.c_str()), text);
    return typed ? "" : "error: could not type into " + arg + "\n";
}

// C:\boot.ini's attributes as GetFileAttributesA reads them, once set to the number given, if one is:
// hidden and system first, which Wine cannot store on a file that is read-only already.
std::string Attributes(const std::string& arg) {
    const DWORD wanted = std::strtoul(arg.c_str(), nullptr, 0), readOnly = FILE_ATTRIBUTE_READONLY;
    const bool set = arg.empty() || (SetFileAttributesA("C:\\boot.ini", wanted & ~readOnly) &&
                                     SetFileAttributesA("C:\\boot.ini", wanted));
    return set ? "attributes " + std::to_string(GetFileAttributesA("C:\\boot.ini")) + "\n"
               : "error: not set\n";
}

// Whether the exe's hidden window, still there, has kept the keyboard focus.
std::string Focus() {
    HWND main = FindWindowW(L"OstrevoMainWindow", nullptr);
    return main && !FocusOf(main) ? "" : "error: ended, or its window has the keyboard focus\n";
}

}  // namespace

int main(int argc, char**) {
    std::string step;
    if (argc > 1 && GetDesktopWindow()) {
        const bool up = WaitFor(30000, [] { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; });
        std::cout << (up ? "up" : "no desktop") << std::endl;
        return std::getline(std::cin, step, '\0').good();
    }
    std::getline(std::cin, step);
    std::string out = "error: unknown step " + step + "\n";
    if (step.rfind("menu", 0) == 0 || step.rfind("click ", 0) == 0 || step == "lsa") out = Probe(step);
    if (step.rfind("window", 0) == 0) out = Window(After(step));
    if (step.rfind("type ", 0) == 0) out = Type(After(step));
    if (step == "focus") out = Focus();
    if (step.rfind("attributes", 0) == 0) out = Attributes(After(step));
    std::cout << out;
    return 0;
}

#endif
