// How a step of a command ended, as the user is to hear it.
#pragma once
#include <string>

#include "platform/errors.h"
#include "platform/text_api.h"

namespace ostrevo {

struct Outcome {
    bool done = true;
    // What the user is told, if anything: why it failed, or what is left undone after all.
    std::wstring message;
};

// `what` on its own line, then the system's text for `error`; the code itself when the system has
// no text for it, and no reason at all for 0 (which would read "The operation completed
// successfully.") or when the system gave none.
std::wstring FailureText(TextApi& text, const std::wstring& what, ErrorCode error);

inline Outcome Failed(TextApi& text, const std::wstring& what, ErrorCode error) {
    return Outcome{false, FailureText(text, what, error)};
}

}  // namespace ostrevo
