// How the program words a failure the system reported.
#include "util/system_error_text.h"

#include "util/decimal_conversion.h"

namespace ostrevo {

std::wstring FailureText(FileApi& files, const std::wstring& what, uint32_t error) {
    if (error == 0) return what;
    std::wstring reason = files.FormatErrorMessage(error);
    if (reason.empty()) reason = L"System error " + IntegerText(error) + L".";
    return what + L"\n\n" + reason;
}

}  // namespace ostrevo
