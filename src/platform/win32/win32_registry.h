// Single registry values through advapi32's ANSI calls.
#pragma once
#include "platform/registry_api.h"

namespace ostrevo {

class Win32Registry : public RegistryApi {
public:
    int32_t RegOpenKeyA(RegKey root, const char* subKey, RegistryView view, RegKey* result) override;
    int32_t RegCreateKeyA(RegKey root, const char* subKey, RegistryView view, RegKey* result) override;
    int32_t RegQueryValueExA(RegKey key, const char* valueName, uint32_t* reserved, uint32_t* type,
                             uint8_t* data, uint32_t* dataSize) override;
    int32_t RegSetValueExA(RegKey key, const char* valueName, uint32_t reserved, uint32_t type,
                           const uint8_t* data, uint32_t dataSize) override;
    int32_t RegDeleteValueA(RegKey key, const char* valueName) override;
    int32_t RegCloseKey(RegKey key) override;
};

}  // namespace ostrevo
