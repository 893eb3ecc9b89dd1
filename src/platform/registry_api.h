// Single registry values, shaped like advapi32's ANSI forms.
#pragma once
#include <cstdint>

namespace ostrevo {

using RegKey = uintptr_t;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;

constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

constexpr int32_t kErrorSuccess = 0;
constexpr int32_t kErrorMoreData = 234;

// Which registry an open or create reaches. A 32-bit program on 64-bit Windows is shown its own
// copies of most keys under HKLM\SOFTWARE by default; the 64-bit view is the one the system reads.
enum class RegistryView { kDefault, k64Bit };

class RegistryApi {
public:
    virtual ~RegistryApi() = default;
    // kDefault is the plain RegOpenKeyA / RegCreateKeyA; k64Bit their Ex forms with KEY_WOW64_64KEY.
    virtual int32_t RegOpenKeyA(RegKey root, const char* subKey, RegistryView view, RegKey* result) = 0;
    virtual int32_t RegCreateKeyA(RegKey root, const char* subKey, RegistryView view, RegKey* result) = 0;
    // Null data asks only for the type and size, as the real call allows.
    virtual int32_t RegQueryValueExA(RegKey key, const char* valueName, uint32_t* reserved, uint32_t* type,
                                     uint8_t* data, uint32_t* dataSize) = 0;
    virtual int32_t RegSetValueExA(RegKey key, const char* valueName, uint32_t reserved, uint32_t type,
                                   const uint8_t* data, uint32_t dataSize) = 0;
    virtual int32_t RegDeleteValueA(RegKey key, const char* valueName) = 0;
    virtual int32_t RegCloseKey(RegKey key) = 0;
};

}  // namespace ostrevo
