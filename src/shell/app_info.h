// Names and styles the program shows as its own.
#pragma once
#include <cstdint>

#include "platform/ui_api.h"

namespace ostrevo {

constexpr const wchar_t* kAppTitle = L"Ostrevo";

// Every question the program asks: Yes and No, the warning icon, Yes as the default button.
constexpr uint32_t kQuestionStyle = kMbYesNo | kMbIconExclamation | kMbDefButton1;
// Every failure it reports: OK and the error icon.
constexpr uint32_t kFailureStyle = kMbOk | kMbIconError;

}  // namespace ostrevo
