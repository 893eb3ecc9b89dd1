// The "Auto Login" item: its start-up state and its command, over the Winlogon values.
#include "autologon/auto_logon.h"

#include <vector>

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
    return ReadRegValue(platform, kHkeyLocalMachine, kWinlogonKey, name);
}

// Winlogon reads these as strings, so they are always written as strings: a number value would
// lose leading zeros and mean nothing to the logon process.
int32_t WriteWinlogonString(Platform& platform, const wchar_t* name, const std::wstring& value) {
    return WriteRegValue(platform, kHkeyLocalMachine, kWinlogonKey, name, DynamicValue::FromText(value),
                         static_cast<int32_t>(kRegSz));
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
    const int32_t kept = DeleteRegValue(platform, kHkeyLocalMachine, kWinlogonKey, kDefaultPassword);
    if (kept != kErrorSuccess) {
        Report(platform, L"Automatic logon is off, but the stored password could not be removed.", kept);
    }
    return true;
}

struct Detail {
    const wchar_t* name;
    std::wstring value;
    bool exact;  // written as given, blanks included (the password); else as a trimmed string
};

// Writes the details in order, the switch itself first, and stops at the first refusal. Every
// value that was changed is named in `changed`, in order.
int32_t WriteDetails(Platform& platform, const std::vector<Detail>& details,
                     std::vector<const wchar_t*>& changed) {
    for (const Detail& detail : details) {
        const int32_t error = detail.exact ? WriteRegString(platform, kHkeyLocalMachine, kWinlogonKey,
                                                            detail.name, detail.value)
                                           : WriteWinlogonString(platform, detail.name, detail.value);
        if (error != kErrorSuccess) return error;
        changed.push_back(detail.name);
    }
    return kErrorSuccess;
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

    const std::vector<Detail> details = {{kAutoAdminLogon, L"1", false},
                                         {kDefaultUserName, dialog.edtusername.Text(), false},
                                         {kDefaultDomain, dialog.edtdomain.Text(), false},
                                         {kDefaultDomainName, dialog.edtdomain.Text(), false},
                                         {kDefaultPassword, dialog.edtpassword.Text(), true}};
    // Kept only to be put back: half the details would log on nobody, or somebody else.
    std::vector<SavedRegValue> before;
    for (const Detail& detail : details) {
        before.push_back(SaveRegValue(platform, kHkeyLocalMachine, kWinlogonKey, detail.name));
    }
    std::vector<const wchar_t*> changed;
    const int32_t error = WriteDetails(platform, details, changed);
    if (error == kErrorSuccess) return true;

    std::wstring stillChanged;
    for (size_t i = changed.size(); i-- > 0;) {
        if (RestoreRegValue(platform, kHkeyLocalMachine, kWinlogonKey, changed[i], before[i]) ==
            kErrorSuccess) {
            continue;
        }
        stillChanged = std::wstring(changed[i]) + (stillChanged.empty() ? L"" : L", ") + stillChanged;
    }
    std::wstring text =
        FailureText(platform.files, L"Could not switch automatic logon on.", static_cast<uint32_t>(error));
    if (!stillChanged.empty()) {
        text += L"\n\nThese values could not be put back as they were and may be left changed: " +
                stillChanged + L".";
    }
    platform.ui.MessageBox(text, kAppTitle, kMbOk | kMbIconError);
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
