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
    int focusLost = 0;
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

// The form ends the program when the window loses the focus, so activating the window (as every
// tray click does) must not hand it the focus, and activating another window must not end anything.
void TrayWindowNeverKeepsTheFocus(TrayWindow& window, EventCounts& counts) {
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
    ::DestroyWindow(other);
    Pump();
    CHECK(counts.focusLost == 0);

    // The event itself still works: a real loss of a focus the window did hold is reported.
    ::SendMessageW(window.Handle(), WM_KILLFOCUS, 0, 0);
    CHECK(counts.focusLost == 1);
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

void FileSearchFindsHiddenFilesAndKeepsTheError() {
    Win32Files files;
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "ostrevo-test.ini";
    FILE* file = std::fopen(path.c_str(), "w");
    CHECK(file != nullptr);
    if (file != nullptr) std::fclose(file);
    // Wine keeps hidden and system only where the host file system has extended attributes;
    // read-only it always keeps, so that is the mark that must survive the search record.
    CHECK(files.SetFileAttributesA(path.c_str(), kFileAttributeReadOnly | kFileAttributeHidden) != 0);
    CHECK((files.GetFileAttributesA(path.c_str()) & kFileAttributeReadOnly) != 0);

    FindDataA found;
    const FindHandle handle = files.FindFirstFileA(path.c_str(), &found);
    CHECK(handle != kInvalidFindHandle);
    CHECK(found.fileName == "ostrevo-test.ini");
    CHECK((found.attributes & kFileAttributeReadOnly) != 0);
    CHECK((found.attributes & kFileAttributeDirectory) == 0);
    if (handle != kInvalidFindHandle) {
        CHECK(files.FindNextFileA(handle, &found) == 0);
        CHECK(files.GetLastError() == 18);  // ERROR_NO_MORE_FILES, not lost while copying the record
        CHECK(files.FindClose(handle) != 0);
    }
    files.SetFileAttributesA(path.c_str(), kFileAttributeNormal);
    ::DeleteFileA(path.c_str());

    CHECK(files.FindFirstFileA((std::string(folder) + "no-such-file.ini").c_str(), &found) ==
          kInvalidFindHandle);
    CHECK(files.GetLastError() == kErrorFileNotFound);
}

// Run as root, Wine writes read-only files anyway; this is what the unprivileged Wine user is for.
void ProfileWriteToAReadOnlyFileIsRefused() {
    Win32Profile profile;
    Win32Files files;
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "ostrevo-readonly.ini";
    CHECK(profile.WritePrivateProfileStringA("boot loader", "timeout", "30", path.c_str()) != 0);
    CHECK(files.SetFileAttributesA(path.c_str(), kFileAttributeReadOnly) != 0);
    CHECK(profile.WritePrivateProfileStringA("boot loader", "timeout", "10", path.c_str()) == 0);
    CHECK(files.GetLastError() == kErrorAccessDenied);
    char value[16] = {};
    CHECK(profile.GetPrivateProfileStringA("boot loader", "timeout", "", value, sizeof(value),
                                           path.c_str()) == 2);
    CHECK(std::strcmp(value, "30") == 0);
    files.SetFileAttributesA(path.c_str(), kFileAttributeNormal);
    ::DeleteFileA(path.c_str());
}

void ErrorTextsHaveNoTrailingLineBreak() {
    Win32Files files;
    const std::wstring text = files.FormatErrorMessage(kErrorAccessDenied);
    CHECK(!text.empty());
    CHECK(!text.empty() && text.back() != L'\n' && text.back() != L'\r');
    CHECK(files.FormatErrorMessage(0x2FFFFFFFu).empty());  // no such message
}

void RegistryRootsAndValuesRoundTrip() {
    Win32Registry registry;
    // The seam's root numbers reach the real predefined roots.
    RegKey winlogon = 0;
    CHECK(registry.RegOpenKeyA(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
                               RegistryView::kDefault, &winlogon) == kErrorSuccess);
    if (winlogon != 0) registry.RegCloseKey(winlogon);

    RegKey key = 0;
    CHECK(registry.RegCreateKeyA(kHkeyCurrentUser, "Software\\OstrevoTest", RegistryView::kDefault, &key) ==
          kErrorSuccess);
    const char value[] = "ostrevo";
    CHECK(registry.RegSetValueExA(key, "Name", 0, kRegSz, reinterpret_cast<const uint8_t*>(value),
                                  sizeof(value)) == kErrorSuccess);
    uint32_t type = 0;
    uint32_t size = 0;
    CHECK(registry.RegQueryValueExA(key, "Name", nullptr, &type, nullptr, &size) == kErrorSuccess);
    CHECK(type == kRegSz && size == sizeof(value));
    uint8_t data[4] = {};
    size = sizeof(data);
    CHECK(registry.RegQueryValueExA(key, "Name", nullptr, &type, data, &size) == kErrorMoreData);
    CHECK(size == sizeof(value));  // the size needed comes back through the in-out count
    CHECK(registry.RegDeleteValueA(key, "Name") == kErrorSuccess);
    CHECK(registry.RegQueryValueExA(key, "Name", nullptr, &type, nullptr, &size) == 2);
    CHECK(registry.RegCloseKey(key) == kErrorSuccess);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OstrevoTest");
}

void VersionRecordIsFilledOnlyForAValidSize() {
    Win32Version version;
    OsVersionInfoA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    CHECK(version.GetVersionExA(&info) != 0);
    CHECK(info.dwPlatformId == kVerPlatformWin32Nt && info.dwMajorVersion >= 5);

    OsVersionInfoA wrong{};
    wrong.dwOSVersionInfoSize = 100;
    wrong.dwPlatformId = 77;
    CHECK(version.GetVersionExA(&wrong) == 0);
    CHECK(wrong.dwPlatformId == 77);  // untouched, as the real call leaves it
}

void ShutdownPrivilegeCallsKeepTheirResults() {
    Win32Power power;
    CHECK(power.GetCurrentProcess() == -1);
    TokenHandle token = 0;
    CHECK(power.OpenProcessToken(power.GetCurrentProcess(), kTokenAdjustPrivileges | kTokenQuery, &token) !=
          0);
    Luid luid;
    CHECK(power.LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid) != 0);
    CHECK(luid.lowPart != 0 || luid.highPart != 0);
    ostrevo::TokenPrivileges wanted;  // winnt.h has an enumerator of the same name
    wanted.privilegeCount = 1;
    wanted.luid = luid;
    wanted.attributes = kSePrivilegeEnabled;
    ostrevo::TokenPrivileges previous;
    uint32_t returned = 0;
    CHECK(power.AdjustTokenPrivileges(token, 0, &wanted, sizeof(previous), &previous, &returned) != 0);
    const uint32_t error = power.GetLastError();
    CHECK(error == 0 || error == kErrorNotAllAssigned);
    CHECK(power.CloseHandle(token) != 0);
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
        window.SetEvents({[&counts] { ++counts.primary; }, [&counts] { ++counts.secondary; },
                          [&counts] { ++counts.focusLost; }});
        TrayWindowIsHiddenFindableAndNeverBlocksLogOff(window);
        TrayWindowTurnsIconClicksIntoEvents(window, counts);
        TrayWindowNeverKeepsTheFocus(window, counts);
    }

    WorkAreaIsTheMonitorsOrElseThePrimaryScreens();
    TextFollowsTheAnsiCodePage();
    WindowTextsAndCaptionsCrossTheCodePage();
    FileSearchFindsHiddenFilesAndKeepsTheError();
    ProfileWriteToAReadOnlyFileIsRefused();
    ErrorTextsHaveNoTrailingLineBreak();
    RegistryRootsAndValuesRoundTrip();
    VersionRecordIsFilledOnlyForAValidSize();
    ShutdownPrivilegeCallsKeepTheirResults();

    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
