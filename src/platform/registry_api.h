// Single registry values: each call opens its key, does one read, write or removal, and closes it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/errors.h"

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

// Which registry a call reaches. A 32-bit program on 64-bit Windows is shown its own copies of most
// keys under HKLM\SOFTWARE by default; the 64-bit view is the one the system itself reads.
enum class RegistryView { kDefault, k64Bit };

struct RegValue {
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;
    bool operator==(const RegValue& other) const { return type == other.type && data == other.data; }
};

// How a value's data crosses: kAnsi with strings in the ANSI code page (RegQueryValueExA,
// RegSetValueExA), the form the program reads and writes; kExact as the registry holds it (the wide
// calls, on the NT family only), for a copy to be put back unchanged whatever its letters.
enum class RegData { kAnsi, kExact };

// kDefault opens and creates keys with RegOpenKeyA / RegCreateKeyA; k64Bit with their Ex forms and
// KEY_WOW64_64KEY. Paths and names are in the ANSI code page.
class RegistryApi {
public:
    virtual ~RegistryApi() = default;
    // The value's type and whole data (a query for the size, then one for the data).
    virtual ErrorCode ReadValue(RegKey root, const std::string& path, const std::string& name,
                                RegistryView view, RegData form, RegValue& value) = 0;
    // Creates the key and its missing parents, then stores the value.
    virtual ErrorCode WriteValue(RegKey root, const std::string& path, const std::string& name,
                                 RegistryView view, RegData form, const RegValue& value) = 0;
    // Creates the key and its missing parents, and stores nothing.
    virtual ErrorCode CreateKey(RegKey root, const std::string& path, RegistryView view) = 0;
    virtual ErrorCode DeleteValue(RegKey root, const std::string& path, const std::string& name,
                                  RegistryView view) = 0;
};

}  // namespace ostrevo
