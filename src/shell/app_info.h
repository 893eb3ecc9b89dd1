// Names the program shows as its own.
#pragma once

namespace ostrevo {

constexpr const wchar_t* kAppTitle = L"Ostrevo";

}  // namespace ostrevo
