// The display name of a boot entry.
#include "bootcfg/boot_ini.h"

namespace ostrevo {

std::wstring DisplayName(const std::wstring& value) {
    if (value.empty() || value[0] != L'"') return value;
    const std::wstring rest = value.substr(1);
    return rest.substr(0, rest.find(L'"'));
}

}  // namespace ostrevo
