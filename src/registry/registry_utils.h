// RegistryUtils: single registry values read and written through advapi32's ANSI calls (saved copies
// excepted). Every call opens and closes its own key; a 32-bit program on 64-bit Windows reaches the
// 64-bit registry. Reads that fail give the empty text; writes give the system's result code (0 on
// success) for callers that must not show a failure as success.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "util/dynamic_value.h"

namespace ostrevo {

// The ValueType argument of WriteRegValue besides the registry's own type numbers.
constexpr int32_t kRegAutomaticType = -1;

// A string value up to its first NUL (expandable strings unexpanded), a number value as a signed
// integer; the empty text for a missing key or value, another type, or a failed read.
DynamicValue ReadRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                          const std::wstring& valueName);

// Creates the key (and missing parents), then stores `value` as REG_SZ (1, blanks trimmed), REG_DWORD
// (4, rounded halves to even) or by automatic choice (-1: a number when the value reads as one under
// the user's locale). Any other type writes nothing. A value that cannot be a 32-bit number (out of
// range, or not numeric with type 4) is stored as a string rather than lost.
ErrorCode WriteRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                        const std::wstring& valueName, const DynamicValue& value, int32_t valueType);

// Stores `value` as REG_SZ exactly as given, blanks included.
ErrorCode WriteRegString(Platform& platform, RegKey root, const std::wstring& keyPath,
                         const std::wstring& valueName, const std::wstring& value);

// Removes one value from an existing key; a missing key or value counts as removed.
ErrorCode DeleteRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                         const std::wstring& valueName);

// A value exactly as it was stored, read and written back past the ANSI code page, so that a change
// can be taken back whatever letters the value holds.
struct SavedRegValue {
    bool known = false;    // false: it could not be read, so it cannot be put back either
    bool present = false;  // false: there was no such value
    RegValue value;
};
SavedRegValue SaveRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                           const std::wstring& valueName);
// Puts a saved value back as it was, or removes the value when there was none.
ErrorCode RestoreRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                          const std::wstring& valueName, const SavedRegValue& saved);

}  // namespace ostrevo
