// advapi32's registry calls, one key handle per call, closed on every path.
#include "platform/win32/win32_registry.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/windows_shim.h"

namespace ostrevo {
namespace {

// The plain calls ask for the most access allowed; the 64-bit view asks for the same.
constexpr REGSAM k64BitMostAllowed = MAXIMUM_ALLOWED | KEY_WOW64_64KEY;

// A value may change size between the size query and the read; a few tries cover a writer racing
// us without ever looping for good.
constexpr int kReadAttempts = 4;

// The predefined roots are sign-extended on 64-bit Windows (0xFFFFFFFF80000002), so the seam's
// 32-bit numbers are mapped by name rather than cast.
HKEY ToHkey(RegKey key) {
    if (key == kHkeyLocalMachine) return HKEY_LOCAL_MACHINE;
    if (key == kHkeyCurrentUser) return HKEY_CURRENT_USER;
    return reinterpret_cast<HKEY>(key);
}

class Key {
public:
    ~Key() {
        if (handle_ != nullptr) ::RegCloseKey(handle_);
    }
    ErrorCode Open(RegKey root, const std::string& path, RegistryView view) {
        return static_cast<ErrorCode>(
            view == RegistryView::k64Bit
                ? ::RegOpenKeyExA(ToHkey(root), path.c_str(), 0, k64BitMostAllowed, &handle_)
                : ::RegOpenKeyA(ToHkey(root), path.c_str(), &handle_));
    }
    ErrorCode Create(RegKey root, const std::string& path, RegistryView view) {
        return static_cast<ErrorCode>(view == RegistryView::k64Bit
                                          ? ::RegCreateKeyExA(ToHkey(root), path.c_str(), 0, nullptr, 0,
                                                              k64BitMostAllowed, nullptr, &handle_, nullptr)
                                          : ::RegCreateKeyA(ToHkey(root), path.c_str(), &handle_));
    }
    HKEY handle() const { return handle_; }

private:
    HKEY handle_ = nullptr;
};

// The wide calls, for data exactly as stored: looked up at run time, like the other calls Windows 95
// does not implement, so that the import table stays as it allows. Null where there are none.
using QueryValueW = LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using SetValueW = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);
template <typename Function>
Function Wide(const char* name) {
    return LookUp<Function>(::GetModuleHandleA("advapi32.dll"), name);
}

}  // namespace

ErrorCode Win32Registry::ReadValue(RegKey root, const std::string& path, const std::string& name,
                                   RegistryView view, RegData form, RegValue& value) {
    const QueryValueW queryW = form == RegData::kExact ? Wide<QueryValueW>("RegQueryValueExW") : nullptr;
    if (form == RegData::kExact && queryW == nullptr) return ERROR_CALL_NOT_IMPLEMENTED;
    const std::wstring wideName = queryW != nullptr ? WideFromAnsi(name) : std::wstring();
    const auto query = [&](HKEY key, DWORD* type, BYTE* data, DWORD* size) {
        return queryW != nullptr ? queryW(key, wideName.c_str(), nullptr, type, data, size)
                                 : ::RegQueryValueExA(key, name.c_str(), nullptr, type, data, size);
    };
    Key key;
    if (const ErrorCode opened = key.Open(root, path, view)) return opened;
    DWORD type = 0;
    DWORD size = 0;
    LONG status = query(key.handle(), &type, nullptr, &size);
    for (int attempt = 0; status == ERROR_SUCCESS && attempt < kReadAttempts; ++attempt) {
        value.data.assign(size, 0);
        DWORD got = size;
        status = query(key.handle(), &type, value.data.data(), &got);
        if (status == ERROR_MORE_DATA && got > size) {
            size = got;
            status = ERROR_SUCCESS;
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        value.type = type;
        value.data.resize(got < size ? got : size);
        return kErrorSuccess;
    }
    return status != ERROR_SUCCESS ? static_cast<ErrorCode>(status) : kErrorMoreData;
}

ErrorCode Win32Registry::WriteValue(RegKey root, const std::string& path, const std::string& name,
                                    RegistryView view, RegData form, const RegValue& value) {
    if (value.data.size() > MAXDWORD) return kErrorInvalidParameter;
    const SetValueW setW = form == RegData::kExact ? Wide<SetValueW>("RegSetValueExW") : nullptr;
    if (form == RegData::kExact && setW == nullptr) return ERROR_CALL_NOT_IMPLEMENTED;
    Key key;
    if (const ErrorCode created = key.Create(root, path, view)) return created;
    const DWORD size = static_cast<DWORD>(value.data.size());
    return static_cast<ErrorCode>(
        setW != nullptr
            ? setW(key.handle(), WideFromAnsi(name).c_str(), 0, value.type, value.data.data(), size)
            : ::RegSetValueExA(key.handle(), name.c_str(), 0, value.type, value.data.data(), size));
}

ErrorCode Win32Registry::CreateKey(RegKey root, const std::string& path, RegistryView view) {
    Key key;
    return key.Create(root, path, view);
}

ErrorCode Win32Registry::DeleteValue(RegKey root, const std::string& path, const std::string& name,
                                     RegistryView view) {
    Key key;
    if (const ErrorCode opened = key.Open(root, path, view)) return opened;
    return static_cast<ErrorCode>(::RegDeleteValueA(key.handle(), name.c_str()));
}

}  // namespace ostrevo
