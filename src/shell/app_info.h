// Names and styles the program shows as its own.
#pragma once
#include <cstdint>
#include <string>

#include "platform/ui_api.h"

namespace ostrevo {

constexpr const wchar_t* kAppTitle = L"Ostrevo";

// Every question the program asks: Yes and No, the warning icon, Yes as the default button.
constexpr uint32_t kQuestionStyle = kMbYesNo | kMbIconExclamation | kMbDefButton1;

// Asks a question and goes ahead only on an explicit Yes: a box that could not be shown answers 0,
// and that must not restart the machine or rewrite boot.ini unasked.
inline bool Ask(UiApi& ui, const std::wstring& question) {
    return ui.MessageBox(question, kAppTitle, kQuestionStyle) == kIdYes;
}

}  // namespace ostrevo
