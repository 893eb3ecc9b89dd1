// The one place that writes a key of [boot loader] in c:\boot.ini, for all three boot commands.
#pragma once
#include <string>

#include "platform/platform.h"
#include "util/outcome.h"

namespace ostrevo {

// Writes `value` as `key` of [boot loader]. A read-only file (the normal state of boot.ini) is made
// writable for the write and gets its own attributes back afterwards. Not done when the file still
// refuses or does not keep the value; the message then says why, and whether the old value is back.
// A write that took stays done even when the read-only attribute cannot go back; the message says so.
Outcome WriteBootLoaderKey(Platform& platform, const std::wstring& key, const std::wstring& value);

}  // namespace ostrevo
