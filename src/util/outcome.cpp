// How the program words a failure the system reported.
#include "util/outcome.h"

#include "util/numeric_text.h"

namespace ostrevo {

std::wstring FailureText(TextApi& text, const std::wstring& what, ErrorCode error) {
    if (error == kErrorSuccess || error == kErrorNoReason) return what;
    std::wstring reason = text.ErrorText(error);
    if (reason.empty()) reason = L"System error " + IntegerText(error) + L".";
    return what + L"\n\n" + reason;
}

}  // namespace ostrevo
