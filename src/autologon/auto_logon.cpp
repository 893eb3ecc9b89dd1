// Automatic logon over the Winlogon values.
#include "autologon/auto_logon.h"

#include <vector>

#include "autologon/form2.h"
#include "registry/registry_utils.h"
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
    return ReadRegValue(platform, kHkeyLocalMachine, kWinlogonKey, name);
}

// Winlogon reads these as strings, so they are always written as strings: a number value would
// lose leading zeros and mean nothing to the logon process.
ErrorCode WriteWinlogonString(Platform& platform, const wchar_t* name, const std::wstring& value) {
    return WriteRegValue(platform, kHkeyLocalMachine, kWinlogonKey, name, DynamicValue::FromText(value),
                         static_cast<int32_t>(kRegSz));
}

// Winlogon itself reads "DefaultDomainName"; the older "DefaultDomain" is the fallback.
std::wstring StoredDomain(Platform& platform) {
    const DynamicValue domainName = ReadWinlogon(platform, kDefaultDomainName);
    if (domainName.kind() == DynamicValue::Kind::Text && !domainName.text().empty()) return domainName.text();
    return ValueToText(ReadWinlogon(platform, kDefaultDomain));
}

struct Detail {
    const wchar_t* name;
    std::wstring value;
    bool exact;  // written as given, blanks included (the password); else as a trimmed string
};

// Writes the details in order, the switch itself first, and stops at the first refusal. What each
// changed value held before is kept in `before`, to be put back: half the details would log on
// nobody, or somebody else. A refused value was not changed, so the last one (the password) is never
// kept, and never read.
ErrorCode WriteDetails(Platform& platform, const std::vector<Detail>& details,
                       std::vector<SavedRegValue>& before) {
    for (size_t i = 0; i < details.size(); ++i) {
        const bool last = i + 1 == details.size();
        const Detail& detail = details[i];
        SavedRegValue saved;
        if (!last) saved = SaveRegValue(platform, kHkeyLocalMachine, kWinlogonKey, detail.name);
        const ErrorCode error = detail.exact ? WriteRegString(platform, kHkeyLocalMachine, kWinlogonKey,
                                                              detail.name, detail.value)
                                             : WriteWinlogonString(platform, detail.name, detail.value);
        if (error != kErrorSuccess) return error;
        if (!last) before.push_back(saved);
    }
    return kErrorSuccess;
}

}  // namespace

bool AutoLogonIsOn(Platform& platform) {
    return ValueToText(ReadWinlogon(platform, kAutoAdminLogon)) == L"1";
}

Outcome SwitchAutoLogonOff(Platform& platform) {
    const ErrorCode error = WriteWinlogonString(platform, kAutoAdminLogon, L"0");
    if (error != kErrorSuccess) return Failed(platform.text, L"Could not switch automatic logon off.", error);
    // A password in clear text has no business staying in the registry once nothing uses it.
    const ErrorCode kept = DeleteRegValue(platform, kHkeyLocalMachine, kWinlogonKey, kDefaultPassword);
    if (kept == kErrorSuccess) return Outcome{};
    return Outcome{
        true, FailureText(platform.text,
                          L"Automatic logon is off, but the stored password could not be removed.", kept)};
}

Outcome SwitchAutoLogonOn(Platform& platform) {
    Form2 dialog;
    dialog.edtusername.SetText(ValueToText(ReadWinlogon(platform, kDefaultUserName)));
    dialog.edtdomain.SetText(StoredDomain(platform));
    // The stored password is never read back; this assignment also settles OK's state.
    dialog.edtpassword.SetText(L"");
    platform.ui.ShowAutoLogonDialog(dialog);
    if (dialog.Tag != L"OK") return Outcome{false, L""};

    const std::vector<Detail> details = {{kAutoAdminLogon, L"1", false},
                                         {kDefaultUserName, dialog.edtusername.Text(), false},
                                         {kDefaultDomain, dialog.edtdomain.Text(), false},
                                         {kDefaultDomainName, dialog.edtdomain.Text(), false},
                                         {kDefaultPassword, dialog.edtpassword.Text(), true}};
    std::vector<SavedRegValue> before;
    const ErrorCode error = WriteDetails(platform, details, before);
    if (error == kErrorSuccess) return Outcome{};

    std::wstring stillChanged;
    for (size_t i = before.size(); i-- > 0;) {
        const wchar_t* name = details[i].name;
        if (RestoreRegValue(platform, kHkeyLocalMachine, kWinlogonKey, name, before[i]) == kErrorSuccess)
            continue;
        stillChanged = std::wstring(name) + (stillChanged.empty() ? L"" : L", ") + stillChanged;
    }
    Outcome failed = Failed(platform.text, L"Could not switch automatic logon on.", error);
    if (!stillChanged.empty()) {
        failed.message += L"\n\nThese values could not be put back as they were and may be left changed: " +
                          stillChanged + L".";
    }
    return failed;
}

}  // namespace ostrevo
