// The "Auto Login" item: its start-up state and its command, over the Winlogon values.
#include "autologon/auto_logon.h"

#include "autologon/form2.h"
#include "registry/registry_utils.h"
#include "shell/app_info.h"
#include "shell/form1.h"
#include "util/app_utils.h"
#include "util/system_error_text.h"

namespace ostrevo {
namespace {

const wchar_t kWinlogonKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const wchar_t kAutoAdminLogon[] = L"AutoAdminLogon";
const wchar_t kDefaultUserName[] = L"DefaultUserName";
const wchar_t kDefaultDomain[] = L"DefaultDomain";
const wchar_t kDefaultDomainName[] = L"DefaultDomainName";
const wchar_t kDefaultPassword[] = L"DefaultPassword";

DynamicValue ReadWinlogon(Platform& platform, const wchar_t* name) {
    return ReadRegValue(platform.registry, platform.text, kHkeyLocalMachine, kWinlogonKey, name);
}

// Winlogon reads these as strings, so they are always written as strings: a number value would
// lose leading zeros and mean nothing to the logon process.
int32_t WriteWinlogonString(Platform& platform, const wchar_t* name, const std::wstring& value) {
    return WriteRegValue(platform.registry, platform.text, kHkeyLocalMachine, kWinlogonKey, name,
                         DynamicValue::FromText(value), static_cast<int32_t>(kRegSz));
}

// Winlogon itself reads "DefaultDomainName"; the older "DefaultDomain" is the fallback.
std::wstring StoredDomain(Platform& platform) {
    const DynamicValue domainName = ReadWinlogon(platform, kDefaultDomainName);
    if (domainName.kind() == DynamicValue::Kind::Text && !domainName.text().empty()) return domainName.text();
    return ValueToText(ReadWinlogon(platform, kDefaultDomain));
}

void Report(Platform& platform, const wchar_t* what, int32_t error) {
    platform.ui.MessageBox(FailureText(platform.files, what, static_cast<uint32_t>(error)), kAppTitle,
                           kMbOk | kMbIconError);
}

// Returns false when automatic logon could not be switched off (the user has been told why).
bool SwitchOff(Platform& platform) {
    const int32_t error = WriteWinlogonString(platform, kAutoAdminLogon, L"0");
    if (error != kErrorSuccess) {
        Report(platform, L"Could not switch automatic logon off.", error);
        return false;
    }
    // A password in clear text has no business staying in the registry once nothing uses it.
    const int32_t kept =
        DeleteRegValue(platform.registry, platform.text, kHkeyLocalMachine, kWinlogonKey, kDefaultPassword);
    if (kept != kErrorSuccess) {
        Report(platform, L"Automatic logon is off, but the stored password could not be removed.", kept);
    }
    return true;
}

// The values in the order the logon process is told them; the switch itself goes first.
int32_t WriteDetails(Platform& platform, const Form2& dialog) {
    int32_t error = WriteWinlogonString(platform, kAutoAdminLogon, L"1");
    if (error == kErrorSuccess)
        error = WriteWinlogonString(platform, kDefaultUserName, dialog.edtusername.Text());
    if (error == kErrorSuccess)
        error = WriteWinlogonString(platform, kDefaultDomain, dialog.edtdomain.Text());
    if (error == kErrorSuccess)
        error = WriteWinlogonString(platform, kDefaultDomainName, dialog.edtdomain.Text());
    // Blanks are legal in a password: stored exactly as typed.
    if (error == kErrorSuccess) {
        error = WriteRegString(platform.registry, platform.text, kHkeyLocalMachine, kWinlogonKey,
                               kDefaultPassword, dialog.edtpassword.Text());
    }
    return error;
}

// Returns true when automatic logon is on: the user confirmed and every value was stored.
bool AskAndSwitchOn(Platform& platform) {
    Form2 dialog;
    dialog.edtusername.SetText(ValueToText(ReadWinlogon(platform, kDefaultUserName)));
    dialog.edtdomain.SetText(StoredDomain(platform));
    // The stored password is never read back; this assignment also settles OK's state.
    dialog.edtpassword.SetText(L"");
    platform.ui.ShowAutoLogonDialog(dialog);
    if (dialog.Tag != L"OK") return false;

    const int32_t error = WriteDetails(platform, dialog);
    if (error == kErrorSuccess) return true;
    // Half the details would log on nobody: the switch goes back off before the user is told.
    WriteWinlogonString(platform, kAutoAdminLogon, L"0");
    Report(platform, L"Could not switch automatic logon on.", error);
    return false;
}

}  // namespace

void AutoLogonStartup(Form1& form, Platform& platform) {
    const bool winNT = IsWinNT(platform.version);
    form.mnuAutoLogin.Visible = winNT;
    // Outside the NT family there is no Winlogon to ask.
    if (!winNT) return;
    form.mnuAutoLogin.Checked = ValueToText(ReadWinlogon(platform, kAutoAdminLogon)) == L"1";
}

// The check mark decides, not the registry; it moves only when the registry did.
void AutoLogonCommand(Form1& form, Platform& platform) {
    if (form.mnuAutoLogin.Checked) {
        if (SwitchOff(platform)) form.mnuAutoLogin.Checked = false;
        return;
    }
    if (AskAndSwitchOn(platform)) form.mnuAutoLogin.Checked = true;
}

}  // namespace ostrevo
