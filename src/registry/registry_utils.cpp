// RegistryUtils: one value per call, each call with its own key handle.
#include "registry/registry_utils.h"

#include <optional>

#include "util/app_utils.h"
#include "util/numeric_text.h"

namespace ostrevo {
namespace {

// Under WOW64 the logon process and every 64-bit program read the 64-bit registry, so that is the
// one this program reads and writes too; elsewhere there is only one, reached by the plain calls.
RegistryView ViewOf(Platform& platform) {
    return platform.version.IsWow64Process() ? RegistryView::k64Bit : RegistryView::kDefault;
}

DynamicValue EmptyText() { return DynamicValue::FromText(L""); }

DynamicValue TextOf(TextApi& text, const std::vector<uint8_t>& data) {
    std::string chars(data.begin(), data.end());
    const size_t nul = chars.find('\0');
    if (nul != std::string::npos) chars.resize(nul);
    return DynamicValue::FromText(text.FromAnsi(chars));
}

// The value as a 4-byte read gives it: shorter data leaves the rest 0, longer data does not fit.
DynamicValue NumberOf(const std::vector<uint8_t>& data) {
    if (data.size() > 4) return EmptyText();
    uint32_t raw = 0;
    for (size_t i = 0; i < data.size(); ++i) raw |= static_cast<uint32_t>(data[i]) << (8 * i);
    // Two's complement spelled out: the cast of a large unsigned value is not portable before C++20.
    const int32_t number = raw <= 0x7FFFFFFFu ? static_cast<int32_t>(raw) : -static_cast<int32_t>(~raw) - 1;
    return DynamicValue::FromInteger(number);
}

std::wstring TrimSpaces(const std::wstring& value) {
    const size_t first = value.find_first_not_of(L' ');
    if (first == std::wstring::npos) return L"";
    return value.substr(first, value.find_last_not_of(L' ') - first + 1);
}

// The 32-bit number a value stands for, when it stands for one.
std::optional<int32_t> AsInt32(const DynamicValue& value, TextApi& text) {
    if (value.kind() == DynamicValue::Kind::Integer) return value.integer();
    if (value.kind() != DynamicValue::Kind::Text) return std::nullopt;
    const std::optional<double> number = ParseNumericText(value.text(), text);
    if (!number) return std::nullopt;
    return RoundToInt32(*number);
}

RegValue StringValue(TextApi& text, const std::wstring& value) {
    const std::string bytes = text.ToAnsi(value);
    RegValue stored{kRegSz, std::vector<uint8_t>(bytes.begin(), bytes.end())};
    stored.data.push_back(0);
    return stored;
}

RegValue NumberValue(int32_t number) {
    const uint32_t raw = static_cast<uint32_t>(number);
    return RegValue{kRegDword,
                    {static_cast<uint8_t>(raw), static_cast<uint8_t>(raw >> 8),
                     static_cast<uint8_t>(raw >> 16), static_cast<uint8_t>(raw >> 24)}};
}

ErrorCode Store(Platform& platform, RegKey root, const std::wstring& keyPath, const std::wstring& valueName,
                const RegValue& value, RegData form = RegData::kAnsi) {
    return platform.registry.WriteValue(root, platform.text.ToAnsi(keyPath), platform.text.ToAnsi(valueName),
                                        ViewOf(platform), form, value);
}

}  // namespace

DynamicValue ReadRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                          const std::wstring& valueName) {
    RegValue value;
    if (platform.registry.ReadValue(root, platform.text.ToAnsi(keyPath), platform.text.ToAnsi(valueName),
                                    ViewOf(platform), RegData::kAnsi, value) != kErrorSuccess) {
        return EmptyText();
    }
    if (value.type == kRegSz || value.type == kRegExpandSz) return TextOf(platform.text, value.data);
    if (value.type == kRegDword) return NumberOf(value.data);
    return EmptyText();
}

ErrorCode WriteRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                        const std::wstring& valueName, const DynamicValue& value, int32_t valueType) {
    std::optional<int32_t> number;
    if (valueType == kRegAutomaticType || valueType == static_cast<int32_t>(kRegDword)) {
        number = AsInt32(value, platform.text);
    } else if (valueType != static_cast<int32_t>(kRegSz)) {
        // The key is created whatever follows, even for a type that writes nothing.
        return platform.registry.CreateKey(root, platform.text.ToAnsi(keyPath), ViewOf(platform));
    }
    if (number) return Store(platform, root, keyPath, valueName, NumberValue(*number));
    return Store(platform, root, keyPath, valueName,
                 StringValue(platform.text, TrimSpaces(ValueToText(value))));
}

ErrorCode WriteRegString(Platform& platform, RegKey root, const std::wstring& keyPath,
                         const std::wstring& valueName, const std::wstring& value) {
    return Store(platform, root, keyPath, valueName, StringValue(platform.text, value));
}

ErrorCode DeleteRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                         const std::wstring& valueName) {
    const ErrorCode deleted = platform.registry.DeleteValue(
        root, platform.text.ToAnsi(keyPath), platform.text.ToAnsi(valueName), ViewOf(platform));
    // No key, or no value: either way it is gone.
    return deleted == kErrorFileNotFound ? kErrorSuccess : deleted;
}

SavedRegValue SaveRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                           const std::wstring& valueName) {
    SavedRegValue saved;
    const ErrorCode read =
        platform.registry.ReadValue(root, platform.text.ToAnsi(keyPath), platform.text.ToAnsi(valueName),
                                    ViewOf(platform), RegData::kExact, saved.value);
    saved.known = read == kErrorSuccess || read == kErrorFileNotFound;
    saved.present = read == kErrorSuccess;
    return saved;
}

ErrorCode RestoreRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                          const std::wstring& valueName, const SavedRegValue& saved) {
    if (!saved.known) return kErrorInvalidParameter;
    if (!saved.present) return DeleteRegValue(platform, root, keyPath, valueName);
    return Store(platform, root, keyPath, valueName, saved.value, RegData::kExact);
}

}  // namespace ostrevo
