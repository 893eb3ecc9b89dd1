// The one place that writes a key of [boot loader] in c:\boot.ini, for all three boot commands.
#pragma once
#include <string>

#include "platform/platform.h"
#include "util/outcome.h"

namespace ostrevo {

// Writes `value` as `key` of [boot loader]. A read-only file (the normal state of boot.ini) is made
// writable for the write, hidden and system too when the system refuses it for them, and the file
// gets exactly its own attributes back afterwards. Not done when the file still refuses or does not
// keep the value; the message then says why, and whether the old value is back. A write that took
// stays done even when the attributes cannot go back; the message says so.
Outcome WriteBootLoaderKey(Platform& platform, const std::wstring& key, const std::wstring& value);

}  // namespace ostrevo
