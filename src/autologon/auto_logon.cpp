// The "Auto Login" item: its start-up state and its command, over the Winlogon values.
#include "autologon/auto_logon.h"

#include "autologon/form2.h"
#include "registry/registry_utils.h"
#include "shell/form1.h"
#include "util/app_utils.h"

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
void WriteWinlogonString(Platform& platform, const wchar_t* name, const std::wstring& value) {
    WriteRegValue(platform.registry, platform.text, kHkeyLocalMachine, kWinlogonKey, name,
                  DynamicValue::FromText(value), static_cast<int32_t>(kRegSz));
}

// Winlogon itself reads "DefaultDomainName"; the older "DefaultDomain" is the fallback.
std::wstring StoredDomain(Platform& platform) {
    const DynamicValue domainName = ReadWinlogon(platform, kDefaultDomainName);
    if (domainName.kind() == DynamicValue::Kind::Text && !domainName.text().empty()) return domainName.text();
    return ValueToText(ReadWinlogon(platform, kDefaultDomain));
}

void SwitchOff(Platform& platform) {
    WriteWinlogonString(platform, kAutoAdminLogon, L"0");
    // A password in clear text has no business staying in the registry once nothing uses it.
    DeleteRegValue(platform.registry, platform.text, kHkeyLocalMachine, kWinlogonKey, kDefaultPassword);
}

// Returns false when the user left the dialog without OK.
bool AskAndSwitchOn(Platform& platform) {
    Form2 dialog;
    dialog.edtusername.SetText(ValueToText(ReadWinlogon(platform, kDefaultUserName)));
    dialog.edtdomain.SetText(StoredDomain(platform));
    // The stored password is never read back; this assignment also settles OK's state.
    dialog.edtpassword.SetText(L"");
    platform.ui.ShowAutoLogonDialog(dialog);
    if (dialog.Tag != L"OK") return false;

    WriteWinlogonString(platform, kAutoAdminLogon, L"1");
    WriteWinlogonString(platform, kDefaultUserName, dialog.edtusername.Text());
    WriteWinlogonString(platform, kDefaultDomain, dialog.edtdomain.Text());
    WriteWinlogonString(platform, kDefaultDomainName, dialog.edtdomain.Text());
    // Blanks are legal in a password: stored exactly as typed.
    WriteRegString(platform.registry, platform.text, kHkeyLocalMachine, kWinlogonKey, kDefaultPassword,
                   dialog.edtpassword.Text());
    return true;
}

}  // namespace

void AutoLogonStartup(Form1& form, Platform& platform) {
    const bool winNT = IsWinNT(platform.version);
    form.mnuAutoLogin.Visible = winNT;
    // Outside the NT family there is no Winlogon to ask.
    if (!winNT) return;
    form.mnuAutoLogin.Checked = ValueToText(ReadWinlogon(platform, kAutoAdminLogon)) == L"1";
}

// The check mark decides, not the registry: it flips even when a write was refused.
void AutoLogonCommand(Form1& form, Platform& platform) {
    if (form.mnuAutoLogin.Checked) {
        SwitchOff(platform);
        form.mnuAutoLogin.Checked = false;
        return;
    }
    if (AskAndSwitchOn(platform)) form.mnuAutoLogin.Checked = true;
}

}  // namespace ostrevo
