// Single registry values through advapi32's ANSI calls; exact copies through the wide ones.
#pragma once
#include "platform/registry_api.h"

namespace ostrevo {

class Win32Registry : public RegistryApi {
public:
    ErrorCode ReadValue(RegKey root, const std::string& path, const std::string& name, RegistryView view,
                        RegData form, RegValue& value) override;
    ErrorCode WriteValue(RegKey root, const std::string& path, const std::string& name, RegistryView view,
                         RegData form, const RegValue& value) override;
    ErrorCode CreateKey(RegKey root, const std::string& path, RegistryView view) override;
    ErrorCode DeleteValue(RegKey root, const std::string& path, const std::string& name,
                          RegistryView view) override;
};

}  // namespace ostrevo
