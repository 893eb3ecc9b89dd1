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

// From Windows XP on, Winlogon reads the password from the LSA secret "DefaultPassword" before the
// registry value, which every user of the machine can read: there the password is kept as the secret.
// Windows 2000 documents the registry value alone.
bool PasswordIsSecret(Platform& platform) { return platform.version.Version() >= 0x0501; }

// Deletes the secret; one that was not there is deleted all the same.
ErrorCode DeleteSecret(Platform& platform) {
    const ErrorCode error = platform.secrets.StoreSecret(kDefaultPassword, nullptr);
    return error == kErrorFileNotFound ? kErrorSuccess : error;
}

// Winlogon itself reads "DefaultDomainName"; the older "DefaultDomain" is the fallback.
std::wstring StoredDomain(Platform& platform) {
    const DynamicValue domainName = ReadWinlogon(platform, kDefaultDomainName);
    if (domainName.kind() == DynamicValue::Kind::Text && !domainName.text().empty()) return domainName.text();
    return ValueToText(ReadWinlogon(platform, kDefaultDomain));
}

struct Detail {
    const wchar_t* name;
    const std::wstring& value;
    bool password;  // written as given, blanks included, and last; else as a trimmed string
};

// Writes the details in order, the switch itself first, and stops at the first refusal. What each
// changed value held before is kept in `before`, to be put back: half the details would log on
// nobody, or somebody else. The password, written last, is never kept, and never read: if it is
// refused, it was not changed.
ErrorCode WriteDetails(Platform& platform, const std::vector<Detail>& details,
                       std::vector<SavedRegValue>& before) {
    for (const Detail& detail : details) {
        SavedRegValue saved;
        if (!detail.password) saved = SaveRegValue(platform, kHkeyLocalMachine, kWinlogonKey, detail.name);
        const ErrorCode error = detail.password ? WriteRegString(platform, kHkeyLocalMachine, kWinlogonKey,
                                                                 detail.name, detail.value)
                                                : WriteWinlogonString(platform, detail.name, detail.value);
        if (error != kErrorSuccess) return error;
        if (!detail.password) before.push_back(saved);
    }
    return kErrorSuccess;
}

// After a refusal: every value changed is put back, and what cannot be is named, the password too when
// it was written: it is never kept.
Outcome TakeBack(Platform& platform, const std::vector<Detail>& details,
                 const std::vector<SavedRegValue>& before, ErrorCode refusal, bool passwordWritten) {
    std::wstring stillChanged = passwordWritten ? kDefaultPassword : L"";
    for (size_t i = before.size(); i-- > 0;) {
        const wchar_t* name = details[i].name;
        if (RestoreRegValue(platform, kHkeyLocalMachine, kWinlogonKey, name, before[i]) == kErrorSuccess)
            continue;
        stillChanged = std::wstring(name) + (stillChanged.empty() ? L"" : L", ") + stillChanged;
    }
    Outcome failed = Failed(platform.text, L"Could not switch automatic logon on.", refusal);
    if (!stillChanged.empty()) {
        failed.message += L"\n\nThese values could not be put back as they were and may be left changed: " +
                          stillChanged + L".";
    }
    return failed;
}

}  // namespace

bool AutoLogonIsOn(Platform& platform) {
    return ValueToText(ReadWinlogon(platform, kAutoAdminLogon)) == L"1";
}

Outcome SwitchAutoLogonOff(Platform& platform) {
    const ErrorCode error = WriteWinlogonString(platform, kAutoAdminLogon, L"0");
    if (error != kErrorSuccess) return Failed(platform.text, L"Could not switch automatic logon off.", error);
    // A password has no business staying anywhere once nothing uses it.
    ErrorCode kept = DeleteRegValue(platform, kHkeyLocalMachine, kWinlogonKey, kDefaultPassword);
    const ErrorCode secretKept = PasswordIsSecret(platform) ? DeleteSecret(platform) : kErrorSuccess;
    if (kept == kErrorSuccess) kept = secretKept;
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

    // The password's one copy is the dialog's, wiped with it.
    const std::wstring& password = dialog.edtpassword.Text();
    const std::wstring on = L"1";  // a Detail refers to its value: this one needs a place to live
    const bool secret = PasswordIsSecret(platform);
    std::vector<Detail> details = {{kAutoAdminLogon, on, false},
                                   {kDefaultUserName, dialog.edtusername.Text(), false},
                                   {kDefaultDomain, dialog.edtdomain.Text(), false},
                                   {kDefaultDomainName, dialog.edtdomain.Text(), false}};
    // An empty password stays an empty string in the registry: there is nothing to protect, and the
    // secret is deleted instead, so that an older password cannot win over it.
    if (!secret || password.empty()) details.push_back({kDefaultPassword, password, true});
    std::vector<SavedRegValue> before;
    ErrorCode error = WriteDetails(platform, details, before);
    const bool passwordWritten = error == kErrorSuccess && details.back().password;
    if (error == kErrorSuccess && secret) {
        error = password.empty() ? DeleteSecret(platform)
                                 : platform.secrets.StoreSecret(kDefaultPassword, &password);
    }
    if (error != kErrorSuccess) return TakeBack(platform, details, before, error, passwordWritten);
    if (!secret || details.back().password) return Outcome{};
    // Winlogon would ignore a registry copy beside the secret, but it must not stay readable.
    const ErrorCode kept = DeleteRegValue(platform, kHkeyLocalMachine, kWinlogonKey, kDefaultPassword);
    if (kept == kErrorSuccess) return Outcome{};
    return Outcome{
        true,
        FailureText(platform.text,
                    L"Automatic logon is on, but the password stored in plain text could not be removed.",
                    kept)};
}

}  // namespace ostrevo
