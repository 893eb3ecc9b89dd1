// LsaOpenPolicy, LsaStorePrivateData and LsaClose of advapi32. Windows 95, 98 and ME have none of them,
// so they are looked up at run time, as the i686 exe's import table must stay what Windows 95 offers.
#include "platform/win32/win32_secrets.h"

#include "platform/win32/windows_shim.h"

// After <windows.h>, which it needs.
#include <ntsecapi.h>

namespace ostrevo {
namespace {

using OpenPolicy = NTSTATUS(WINAPI*)(PLSA_UNICODE_STRING, PLSA_OBJECT_ATTRIBUTES, ACCESS_MASK, PLSA_HANDLE);
using StorePrivateData = NTSTATUS(WINAPI*)(LSA_HANDLE, PLSA_UNICODE_STRING, PLSA_UNICODE_STRING);
using Close = NTSTATUS(WINAPI*)(LSA_HANDLE);
using NtStatusToWinError = ULONG(WINAPI*)(NTSTATUS);

// A counted string over `text`, its terminator in the room but not in the length; false when the text
// is too long for the 16-bit byte counts.
bool Counted(std::wstring& text, LSA_UNICODE_STRING& counted) {
    if (text.size() >= 0x7FFF) return false;
    counted.Length = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    counted.MaximumLength = static_cast<USHORT>(counted.Length + sizeof(wchar_t));
    counted.Buffer = &text[0];
    return true;
}

// The system's reason, never 0 for a failure.
ErrorCode Reason(NtStatusToWinError toWinError, NTSTATUS status) {
    const ULONG error = toWinError(status);
    return error != ERROR_SUCCESS ? static_cast<ErrorCode>(error) : kErrorNoReason;
}

}  // namespace

ErrorCode Win32Secrets::StoreSecret(const std::wstring& name, const std::wstring* value) {
    const HMODULE advapi = ::GetModuleHandleA("advapi32.dll");
    const auto open = LookUp<OpenPolicy>(advapi, "LsaOpenPolicy");
    const auto store = LookUp<StorePrivateData>(advapi, "LsaStorePrivateData");
    const auto close = LookUp<Close>(advapi, "LsaClose");
    const auto toWinError = LookUp<NtStatusToWinError>(advapi, "LsaNtStatusToWinError");
    if (open == nullptr || store == nullptr || close == nullptr || toWinError == nullptr) {
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    std::wstring key = name;
    // The password's one copy here, wiped once stored.
    std::wstring data = value != nullptr ? *value : std::wstring();
    LSA_UNICODE_STRING keyString{}, dataString{};
    if (!Counted(key, keyString) || !Counted(data, dataString)) return ERROR_INVALID_PARAMETER;

    LSA_OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof(attributes);
    LSA_HANDLE policy = nullptr;
    NTSTATUS status = open(nullptr, &attributes, POLICY_CREATE_SECRET, &policy);
    if (status >= 0) {
        status = store(policy, &keyString, value != nullptr ? &dataString : nullptr);
        close(policy);
    }
    ::SecureZeroMemory(&data[0], data.size() * sizeof(wchar_t));
    return status >= 0 ? kErrorSuccess : Reason(toWinError, status);
}

}  // namespace ostrevo
