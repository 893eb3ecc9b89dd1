// RegistryUtils: one value per call, each call with its own key handle.
#include "registry/registry_utils.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>
#include <optional>

#include "util/app_utils.h"
#include "util/numeric_text.h"

namespace ostrevo {
namespace {

constexpr int32_t kErrorInvalidParameter = 87;

// A string value may change size between the size query and the read; a few retries cover a
// writer racing us without ever looping for good.
constexpr int kStringReadAttempts = 4;

// Closes the handle on every path out of a call.
class KeyHandle {
public:
    explicit KeyHandle(RegistryApi& registry) : registry_(registry) {}
    ~KeyHandle() {
        if (key_ != 0) registry_.RegCloseKey(key_);
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;

    RegKey* out() { return &key_; }
    RegKey get() const { return key_; }

private:
    RegistryApi& registry_;
    RegKey key_ = 0;
};

DynamicValue EmptyText() { return DynamicValue::FromText(L""); }

DynamicValue ReadString(RegistryApi& registry, TextApi& text, RegKey key, const std::string& name,
                        uint32_t size) {
    for (int attempt = 0; attempt < kStringReadAttempts; ++attempt) {
        // The size is the registry's word: one that cannot be had reads as no text. Without throwing,
        // since the Windows build has no exceptions.
        std::unique_ptr<uint8_t[]> buffer;
        if (size != 0) {
            buffer.reset(new (std::nothrow) uint8_t[size]());
            if (!buffer) return EmptyText();
        }
        uint32_t type = 0;
        uint32_t got = size;
        const int32_t status =
            registry.RegQueryValueExA(key, name.c_str(), nullptr, &type, buffer.get(), &got);
        if (status == kErrorMoreData && got > size) {
            size = got;
            continue;
        }
        if (status != kErrorSuccess || (type != kRegSz && type != kRegExpandSz)) return EmptyText();
        std::string bytes(buffer.get(), buffer.get() + std::min(got, size));
        const size_t nul = bytes.find('\0');
        if (nul != std::string::npos) bytes.resize(nul);
        return DynamicValue::FromText(text.FromAnsi(bytes));
    }
    return EmptyText();
}

DynamicValue ReadDword(RegistryApi& registry, RegKey key, const std::string& name) {
    uint8_t bytes[4] = {0, 0, 0, 0};
    uint32_t type = 0;
    uint32_t size = sizeof(bytes);
    if (registry.RegQueryValueExA(key, name.c_str(), nullptr, &type, bytes, &size) != kErrorSuccess ||
        type != kRegDword) {
        return EmptyText();
    }
    const uint32_t raw = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
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

int32_t SetString(RegistryApi& registry, TextApi& text, RegKey key, const std::string& name,
                  const std::wstring& value) {
    std::string bytes = text.ToAnsi(value);
    bytes.push_back('\0');
    if (bytes.size() > std::numeric_limits<uint32_t>::max()) return kErrorInvalidParameter;
    return registry.RegSetValueExA(key, name.c_str(), 0, kRegSz,
                                   reinterpret_cast<const uint8_t*>(bytes.data()),
                                   static_cast<uint32_t>(bytes.size()));
}

int32_t SetDword(RegistryApi& registry, RegKey key, const std::string& name, int32_t number) {
    const uint32_t raw = static_cast<uint32_t>(number);
    const uint8_t bytes[4] = {static_cast<uint8_t>(raw), static_cast<uint8_t>(raw >> 8),
                              static_cast<uint8_t>(raw >> 16), static_cast<uint8_t>(raw >> 24)};
    return registry.RegSetValueExA(key, name.c_str(), 0, kRegDword, bytes, sizeof(bytes));
}

}  // namespace

DynamicValue ReadRegValue(RegistryApi& registry, TextApi& text, RegKey root, const std::wstring& keyPath,
                          const std::wstring& valueName) {
    KeyHandle key(registry);
    if (registry.RegOpenKeyA(root, text.ToAnsi(keyPath).c_str(), key.out()) != kErrorSuccess ||
        key.get() == 0) {
        return EmptyText();
    }
    const std::string name = text.ToAnsi(valueName);
    uint32_t type = 0;
    uint32_t size = 0;
    // Only the type decides: a failed query leaves it 0, which reads as "no value".
    registry.RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (type == kRegSz || type == kRegExpandSz) return ReadString(registry, text, key.get(), name, size);
    if (type == kRegDword) return ReadDword(registry, key.get(), name);
    return EmptyText();
}

int32_t WriteRegValue(RegistryApi& registry, TextApi& text, RegKey root, const std::wstring& keyPath,
                      const std::wstring& valueName, const DynamicValue& value, int32_t valueType) {
    KeyHandle key(registry);
    // The key is created whatever follows, even for a type that writes nothing.
    const int32_t created = registry.RegCreateKeyA(root, text.ToAnsi(keyPath).c_str(), key.out());
    if (key.get() == 0) return created != kErrorSuccess ? created : kErrorInvalidParameter;
    const std::string name = text.ToAnsi(valueName);

    std::optional<int32_t> number;
    if (valueType == kRegAutomaticType || valueType == static_cast<int32_t>(kRegDword)) {
        number = AsInt32(value, text);
    } else if (valueType != static_cast<int32_t>(kRegSz)) {
        return kErrorSuccess;
    }
    if (number) return SetDword(registry, key.get(), name, *number);
    return SetString(registry, text, key.get(), name, TrimSpaces(ValueToText(value)));
}

int32_t WriteRegString(RegistryApi& registry, TextApi& text, RegKey root, const std::wstring& keyPath,
                       const std::wstring& valueName, const std::wstring& value) {
    KeyHandle key(registry);
    const int32_t created = registry.RegCreateKeyA(root, text.ToAnsi(keyPath).c_str(), key.out());
    if (key.get() == 0) return created != kErrorSuccess ? created : kErrorInvalidParameter;
    return SetString(registry, text, key.get(), text.ToAnsi(valueName), value);
}

int32_t DeleteRegValue(RegistryApi& registry, TextApi& text, RegKey root, const std::wstring& keyPath,
                       const std::wstring& valueName) {
    constexpr int32_t kErrorFileNotFound = 2;
    KeyHandle key(registry);
    const int32_t opened = registry.RegOpenKeyA(root, text.ToAnsi(keyPath).c_str(), key.out());
    if (opened == kErrorFileNotFound) return kErrorSuccess;  // no key, so no value either
    if (opened != kErrorSuccess || key.get() == 0)
        return opened != kErrorSuccess ? opened : kErrorInvalidParameter;
    const int32_t deleted = registry.RegDeleteValueA(key.get(), text.ToAnsi(valueName).c_str());
    return deleted == kErrorFileNotFound ? kErrorSuccess : deleted;
}

}  // namespace ostrevo
