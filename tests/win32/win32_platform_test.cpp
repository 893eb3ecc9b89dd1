// The real win32 side of the seam, run under Wine (or Windows): menu rendering, the hidden tray
// window's events and focus, and the pass-through calls where a copy or a conversion could go wrong.
// Prints "N passed, N failed" and exits non-zero on any failure.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/win32/menu_render.h"
#include "platform/win32/tray_window.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_power.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_version.h"
#include "platform/win32/window_text.h"
#include "platform/win32/work_area.h"
#include "shell/menu_item.h"

namespace {

using namespace ostrevo;

int passed = 0;
int failed = 0;

void Check(bool ok, const char* what, int line) {
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAILED line %d: %s\n", line, what);
}
#define CHECK(condition) Check((condition), #condition, __LINE__)

std::wstring MenuText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

UINT MenuState(HMENU menu, UINT position) { return ::GetMenuState(menu, position, MF_BYPOSITION); }

// --- the popup menu as rendered from the model -------------------------------------------------

void MenuShowsOnlyVisibleItemsInOrderWithTheirMarks() {
    MenuItem root(L"popup");
    MenuItem& timeout = root.Add(L"Timeout");
    timeout.Add(L"0");
    timeout.Add(L"30").Checked = true;
    MenuItem& reboot = root.Add(L"&Reboot");
    root.Add(L"hidden").Visible = false;
    MenuItem& disabled = root.Add(L"Auto Login");
    disabled.Enabled = false;
    MenuItem& exitItem = root.Add(L"&Exit");

    RenderedMenu menu(root);
    HMENU handle = menu.Handle();
    CHECK(handle != nullptr);
    CHECK(::GetMenuItemCount(handle) == 4);
    CHECK(MenuText(handle, 0) == L"Timeout");
    CHECK(MenuText(handle, 1) == L"&Reboot");  // the access key stays in the caption
    CHECK(MenuText(handle, 2) == L"Auto Login");
    CHECK(MenuText(handle, 3) == L"&Exit");
    CHECK((MenuState(handle, 2) & MF_GRAYED) != 0);
    CHECK((MenuState(handle, 1) & (MF_GRAYED | MF_CHECKED)) == 0);

    HMENU submenu = ::GetSubMenu(handle, 0);
    CHECK(submenu != nullptr);
    CHECK(::GetMenuItemCount(submenu) == 2);
    CHECK((MenuState(submenu, 0) & MF_CHECKED) == 0);
    CHECK((MenuState(submenu, 1) & MF_CHECKED) != 0);

    // Each command id leads back to the model item it was made from, submenus included.
    CHECK(menu.ItemFor(::GetMenuItemID(handle, 1)) == &reboot);
    CHECK(menu.ItemFor(::GetMenuItemID(handle, 3)) == &exitItem);
    CHECK(menu.ItemFor(::GetMenuItemID(submenu, 1)) == timeout.Children()[1].get());
    CHECK(menu.ItemFor(0) == nullptr);  // the menu was dismissed
    CHECK(menu.ItemFor(1000) == nullptr);
}

void MenuLeavesOutHiddenTemplatesAndGraysDisabledSubmenus() {
    MenuItem root(L"popup");
    MenuItem& defaultOs = root.Add(L"Default OS");
    MenuItem& templateItem = defaultOs.Add(L"mnuDefOs");
    templateItem.Visible = false;
    templateItem.Enabled = false;
    defaultOs.Add(L"Alpha").Checked = true;
    defaultOs.Add(L"Beta");
    MenuItem& rebootTo = root.Add(L"Reboot To...");
    rebootTo.Add(L"mnuOS");
    rebootTo.Enabled = false;

    RenderedMenu menu(root);
    HMENU submenu = ::GetSubMenu(menu.Handle(), 0);
    CHECK(::GetMenuItemCount(submenu) == 2);
    CHECK(MenuText(submenu, 0) == L"Alpha");
    CHECK((MenuState(submenu, 0) & MF_CHECKED) != 0);
    CHECK(menu.ItemFor(::GetMenuItemID(submenu, 1)) == defaultOs.Children()[2].get());
    CHECK((MenuState(menu.Handle(), 1) & MF_GRAYED) != 0);
}

// --- the hidden main window -----------------------------------------------------------------------

struct EventCounts {
    int primary = 0;
    int secondary = 0;
};

LRESULT Notify(HWND window, UINT mouseMessage) {
    return ::SendMessageW(window, kTrayCallbackMessage, kTrayIconId, mouseMessage);
}

void TrayWindowTurnsIconClicksIntoEvents(TrayWindow& window, EventCounts& counts) {
    Notify(window.Handle(), WM_LBUTTONUP);
    CHECK(counts.primary == 1 && counts.secondary == 0);
    Notify(window.Handle(), WM_RBUTTONUP);
    Notify(window.Handle(), WM_CONTEXTMENU);
    CHECK(counts.primary == 1 && counts.secondary == 2);
    // Presses, moves and double clicks are not events of their own.
    for (UINT other : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONDBLCLK})
        Notify(window.Handle(), other);
    CHECK(counts.primary == 1 && counts.secondary == 2);
}

void TrayWindowIsHiddenFindableAndNeverBlocksLogOff(TrayWindow& window) {
    CHECK(::FindWindowA(kMainWindowClass, "Ostrevo") == window.Handle());
    CHECK(!::IsWindowVisible(window.Handle()));
    CHECK(::SendMessageW(window.Handle(), WM_QUERYENDSESSION, 0, 0) == TRUE);
}

// Pumps what is queued for this thread so that activation changes deliver their messages.
void Pump() {
    MSG message;
    for (int round = 0; round < 20; ++round) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        ::Sleep(10);
    }
}

// Activating the window, as every tray click does, must not hand it the keyboard focus.
void TrayWindowNeverKeepsTheFocus(TrayWindow& window) {
    ::SetForegroundWindow(window.Handle());
    Pump();
    CHECK(::GetFocus() != window.Handle());

    HWND other = ::CreateWindowExW(0, L"STATIC", L"elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                                   100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    CHECK(other != nullptr);
    ::SetForegroundWindow(other);
    Pump();
    ::SetForegroundWindow(window.Handle());
    Pump();
    CHECK(::GetFocus() != window.Handle());
    ::DestroyWindow(other);
    Pump();
}

// --- the work area the autologon dialog is kept inside ------------------------------------------

POINT askedPoint{};
DWORD askedFlags = 0;

HMONITOR WINAPI SomeMonitor(POINT point, DWORD flags) {
    askedPoint = point;
    askedFlags = flags;
    return reinterpret_cast<HMONITOR>(static_cast<intptr_t>(1));
}
HMONITOR WINAPI NoMonitor(POINT, DWORD) { return nullptr; }
// Answers only a record whose size is set, as the real call does.
BOOL WINAPI SmallMonitor(HMONITOR, MONITORINFO* info) {
    if (info->cbSize != sizeof(MONITORINFO)) return FALSE;
    info->rcWork = RECT{10, 20, 300, 400};
    return TRUE;
}
BOOL WINAPI RefusingMonitor(HMONITOR, MONITORINFO*) { return FALSE; }

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void WorkAreaIsTheMonitorsOrElseThePrimaryScreens() {
    RECT primary{};
    CHECK(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &primary, 0) != 0);
    const POINT point{primary.left + 5, primary.top + 7};

    MonitorFunctions fake;
    fake.monitorFromPoint = &SomeMonitor;
    fake.getMonitorInfo = &SmallMonitor;
    CHECK(SameRect(WorkAreaNear(point, fake), RECT{10, 20, 300, 400}));
    CHECK(askedPoint.x == point.x && askedPoint.y == point.y && askedFlags == MONITOR_DEFAULTTONEAREST);

    // Windows 95 and NT 4: no monitor functions at all, or one that fails, leave the primary screen.
    CHECK(SameRect(WorkAreaNear(point, MonitorFunctions{}), primary));
    fake.monitorFromPoint = &NoMonitor;
    CHECK(SameRect(WorkAreaNear(point, fake), primary));
    fake.monitorFromPoint = &SomeMonitor;
    fake.getMonitorInfo = &RefusingMonitor;
    CHECK(SameRect(WorkAreaNear(point, fake), primary));

    // Where user32 has them (Wine poses as an NT system), the looked-up pair is the real one.
    const MonitorFunctions real = LookUpMonitorFunctions();
    CHECK(real.monitorFromPoint != nullptr && real.getMonitorInfo != nullptr);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    CHECK(::GetMonitorInfoW(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info) != 0);
    CHECK(SameRect(WorkAreaNear(point, real), info.rcWork));
}

// --- pass-through calls -------------------------------------------------------------------------

void TextFollowsTheAnsiCodePage() {
    Win32Text text;
    if (::GetACP() != 1252) {
        std::printf("skipped: code page %u is not 1252\n", ::GetACP());
        return;
    }
    CHECK(text.ToAnsi(L"a\u00e1b") ==
          "a\xe1"
          "b");
    CHECK(text.ToAnsi(L"\u0416") == "?");  // not in the code page
    CHECK(text.FromAnsi("\xe1") == L"\u00e1");
    // Explicit lengths: an embedded NUL must not cut the text short.
    CHECK(text.FromAnsi(std::string("a\0b", 3)) == std::wstring(L"a\0b", 3));
    CHECK(text.ToAnsi(std::wstring(L"a\0b", 3)) == std::string("a\0b", 3));
    CHECK(text.ToUpper(L"\u00e1bc") == L"\u00c1BC");
    CHECK(text.ToAnsi(L"").empty() && text.FromAnsi("").empty());
    CHECK(text.DecimalSeparator() == L"." && text.GroupSeparator() == L",");
}

// Captions and control texts cross to Windows in the ANSI code page and must come back unchanged.
void WindowTextsAndCaptionsCrossTheCodePage() {
    if (::GetACP() != 1252) {
        std::printf("skipped: code page %u is not 1252\n", ::GetACP());
        return;
    }
    const std::wstring accented = L"Windows XP \u00e9dition fran\u00e7aise";
    MenuItem root(L"popup");
    root.Add(accented);
    RenderedMenu menu(root);
    CHECK(MenuText(menu.Handle(), 0) == accented);

    const HWND label = ::CreateWindowExW(0, L"STATIC", accented.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr,
                                         nullptr, ::GetModuleHandleW(nullptr), nullptr);
    CHECK(label != nullptr);
    CHECK(WindowText(label) == accented);
    // Longer than any fixed buffer would be: the whole text comes back.
    const std::wstring longText(3000, L'\u00e4');
    ::SetWindowTextW(label, longText.c_str());
    CHECK(WindowText(label) == longText);
    ::DestroyWindow(label);
}

void FileSearchFindsHiddenFiles() {
    Win32Files files;
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "ostrevo-test.ini";
    FILE* file = std::fopen(path.c_str(), "w");
    CHECK(file != nullptr);
    if (file != nullptr) std::fclose(file);
    // Wine keeps hidden and system only where the host file system has extended attributes;
    // read-only it always keeps, so that is the mark that must survive the search.
    CHECK(files.SetAttributes(path, kFileAttributeReadOnly | kFileAttributeHidden) == kErrorSuccess);
    CHECK((files.GetAttributes(path) & kFileAttributeReadOnly) != 0);

    std::vector<uint32_t> seen;
    const auto note = [&seen](uint32_t attributes) {
        seen.push_back(attributes);
        return false;
    };
    CHECK(!files.FindEntry(path, note));
    CHECK(seen.size() == 1);
    CHECK(!seen.empty() && (seen[0] & kFileAttributeReadOnly) != 0);
    CHECK(!seen.empty() && (seen[0] & kFileAttributeDirectory) == 0);
    CHECK(files.FindEntry(std::string(folder) + "ostrevo-*.ini", [](uint32_t) { return true; }));
    files.SetAttributes(path, kFileAttributeNormal);
    ::DeleteFileA(path.c_str());

    CHECK(!files.FindEntry(std::string(folder) + "no-such-file.ini", [](uint32_t) { return true; }));
    CHECK(files.SetAttributes(std::string(folder) + "no-such-file.ini", kFileAttributeNormal) ==
          kErrorFileNotFound);
}

// Run as root, Wine writes read-only files anyway; this is what the unprivileged Wine user is for.
void ProfileWriteToAReadOnlyFileIsRefused() {
    Win32Profile profile;
    Win32Files files;
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "ostrevo-readonly.ini";
    CHECK(profile.WritePrivateProfileStringA("boot loader", "timeout", "30", path.c_str()) != 0);
    CHECK(files.SetAttributes(path, kFileAttributeReadOnly) == kErrorSuccess);
    CHECK(profile.WritePrivateProfileStringA("boot loader", "timeout", "10", path.c_str()) == 0);
    // Kept from the write itself, whatever later calls do to the thread's last error.
    files.SetAttributes(std::string(folder) + "no-such-file.ini", kFileAttributeNormal);
    CHECK(profile.LastWriteError() == kErrorAccessDenied);
    char value[16] = {};
    CHECK(profile.GetPrivateProfileStringA("boot loader", "timeout", "", value, sizeof(value),
                                           path.c_str()) == 2);
    CHECK(std::strcmp(value, "30") == 0);
    files.SetAttributes(path, kFileAttributeNormal);
    ::DeleteFileA(path.c_str());
}

void ErrorTextsHaveNoTrailingLineBreak() {
    Win32Text text;
    const std::wstring denied = text.ErrorText(kErrorAccessDenied);
    CHECK(!denied.empty());
    CHECK(!denied.empty() && denied.back() != L'\n' && denied.back() != L'\r');
    CHECK(text.ErrorText(0x2FFFFFFFu).empty());  // no such message
}

void RegistryRootsAndValuesRoundTrip() {
    Win32Registry registry;
    // The seam's root numbers reach the real predefined roots.
    RegValue shell;
    CHECK(registry.ReadValue(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
                             "Shell", RegistryView::kDefault, shell) == kErrorSuccess);
    CHECK(shell.type == kRegSz && !shell.data.empty());

    const char* key = "Software\\OstrevoTest\\Sub";
    const RegValue name{kRegSz, {'o', 's', 't', 'r', 'e', 'v', 'o', 0}};
    for (RegistryView view : {RegistryView::kDefault, RegistryView::k64Bit}) {
        CHECK(registry.WriteValue(kHkeyCurrentUser, key, "Name", view, name) == kErrorSuccess);
        RegValue read;
        CHECK(registry.ReadValue(kHkeyCurrentUser, key, "Name", view, read) == kErrorSuccess);
        CHECK(read == name);
        CHECK(registry.DeleteValue(kHkeyCurrentUser, key, "Name", view) == kErrorSuccess);
        CHECK(registry.ReadValue(kHkeyCurrentUser, key, "Name", view, read) == kErrorFileNotFound);
        CHECK(registry.DeleteValue(kHkeyCurrentUser, key, "Name", view) == kErrorFileNotFound);
    }
    CHECK(registry.ReadValue(kHkeyCurrentUser, "Software\\OstrevoNone", "Name", RegistryView::kDefault,
                             shell) == kErrorFileNotFound);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, key);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OstrevoTest");
}

void VersionIsTheNtFamilyAndNotWow64InA32BitPrefix() {
    Win32Version version;
    CHECK(version.PlatformId() == kVerPlatformWin32Nt);
    CHECK(!version.IsWow64Process());
}

// Wine grants every privilege; the sequence must still find the privilege and enable it.
void ShutdownPrivilegeIsEnabled() {
    Win32Power power;
    const ErrorCode enabled = power.EnableShutdownPrivilege();
    CHECK(enabled == kErrorSuccess || enabled == kErrorNotAllAssigned);
}

}  // namespace

int main() {
    MenuShowsOnlyVisibleItemsInOrderWithTheirMarks();
    MenuLeavesOutHiddenTemplatesAndGraysDisabledSubmenus();

    TrayWindow window;
    const bool created = window.Create(::GetModuleHandleW(nullptr), 0, L"Ostrevo");
    CHECK(created);
    if (created) {
        EventCounts counts;
        window.SetEvents({[&counts] { ++counts.primary; }, [&counts] { ++counts.secondary; }});
        TrayWindowIsHiddenFindableAndNeverBlocksLogOff(window);
        TrayWindowTurnsIconClicksIntoEvents(window, counts);
        TrayWindowNeverKeepsTheFocus(window);
    }

    WorkAreaIsTheMonitorsOrElseThePrimaryScreens();
    TextFollowsTheAnsiCodePage();
    WindowTextsAndCaptionsCrossTheCodePage();
    FileSearchFindsHiddenFiles();
    ProfileWriteToAReadOnlyFileIsRefused();
    ErrorTextsHaveNoTrailingLineBreak();
    RegistryRootsAndValuesRoundTrip();
    VersionIsTheNtFamilyAndNotWow64InA32BitPrefix();
    ShutdownPrivilegeIsEnabled();

    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
