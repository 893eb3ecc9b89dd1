// advapi32's registry calls; the seam's key numbers become real HKEYs here.
#include "platform/win32/win32_registry.h"

#include "platform/win32/windows_shim.h"

namespace ostrevo {
namespace {

// The predefined roots are sign-extended on 64-bit Windows (0xFFFFFFFF80000002), so the seam's
// 32-bit numbers are mapped by name rather than cast.
HKEY ToHkey(RegKey key) {
    if (key == kHkeyLocalMachine) return HKEY_LOCAL_MACHINE;
    if (key == kHkeyCurrentUser) return HKEY_CURRENT_USER;
    return reinterpret_cast<HKEY>(key);
}

RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

// DWORD is `unsigned long` and uint32_t `unsigned int` here: same size, different types, so
// in-out counts travel through a local of the real type.
class DwordInOut {
public:
    explicit DwordInOut(uint32_t* target) : target_(target), value_(target != nullptr ? *target : 0) {}
    ~DwordInOut() {
        if (target_ != nullptr) *target_ = static_cast<uint32_t>(value_);
    }
    DwordInOut(const DwordInOut&) = delete;
    DwordInOut& operator=(const DwordInOut&) = delete;
    DWORD* get() { return target_ != nullptr ? &value_ : nullptr; }

private:
    uint32_t* target_;
    DWORD value_;
};

}  // namespace

// The plain calls ask for the most access allowed; the 64-bit view asks for the same.
constexpr REGSAM k64BitMostAllowed = MAXIMUM_ALLOWED | KEY_WOW64_64KEY;

int32_t Win32Registry::RegOpenKeyA(RegKey root, const char* subKey, RegistryView view, RegKey* result) {
    HKEY opened = nullptr;
    HKEY* out = result != nullptr ? &opened : nullptr;
    const LONG status = view == RegistryView::k64Bit
                            ? ::RegOpenKeyExA(ToHkey(root), subKey, 0, k64BitMostAllowed, out)
                            : ::RegOpenKeyA(ToHkey(root), subKey, out);
    if (result != nullptr) *result = FromHkey(opened);
    return status;
}

int32_t Win32Registry::RegCreateKeyA(RegKey root, const char* subKey, RegistryView view, RegKey* result) {
    HKEY created = nullptr;
    HKEY* out = result != nullptr ? &created : nullptr;
    const LONG status =
        view == RegistryView::k64Bit
            ? ::RegCreateKeyExA(ToHkey(root), subKey, 0, nullptr, 0, k64BitMostAllowed, nullptr, out, nullptr)
            : ::RegCreateKeyA(ToHkey(root), subKey, out);
    if (result != nullptr) *result = FromHkey(created);
    return status;
}

int32_t Win32Registry::RegQueryValueExA(RegKey key, const char* valueName, uint32_t* reserved, uint32_t* type,
                                        uint8_t* data, uint32_t* dataSize) {
    DwordInOut reservedArg(reserved);
    DwordInOut typeArg(type);
    DwordInOut sizeArg(dataSize);
    return ::RegQueryValueExA(ToHkey(key), valueName, reservedArg.get(), typeArg.get(), data, sizeArg.get());
}

int32_t Win32Registry::RegSetValueExA(RegKey key, const char* valueName, uint32_t reserved, uint32_t type,
                                      const uint8_t* data, uint32_t dataSize) {
    return ::RegSetValueExA(ToHkey(key), valueName, reserved, type, data, dataSize);
}

int32_t Win32Registry::RegDeleteValueA(RegKey key, const char* valueName) {
    return ::RegDeleteValueA(ToHkey(key), valueName);
}

int32_t Win32Registry::RegCloseKey(RegKey key) { return ::RegCloseKey(ToHkey(key)); }

}  // namespace ostrevo
