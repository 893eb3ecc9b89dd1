// How the program words a failure the system reported: what failed, then the system's own reason.
#pragma once
#include <cstdint>
#include <string>

#include "platform/file_api.h"

namespace ostrevo {

// `what` on its own line, then the system's text for `error`; the code itself when the system has
// no text for it, and no reason at all for 0, which would read "The operation completed successfully."
std::wstring FailureText(FileApi& files, const std::wstring& what, uint32_t error);

}  // namespace ostrevo
