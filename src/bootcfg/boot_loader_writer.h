// The one place that writes a key of [boot loader] in c:\boot.ini, for all three boot commands.
#pragma once
#include <string>

#include "platform/platform.h"

namespace ostrevo {

// Writes `value` as `key` of [boot loader]. A read-only file (the normal state of boot.ini) is made
// writable for the write and gets its own attributes back afterwards. When the file still refuses,
// the user is told why and false comes back; the caller must then leave its state as it was.
bool WriteBootLoaderKey(Platform& platform, const std::wstring& key, const std::wstring& value);

}  // namespace ostrevo
