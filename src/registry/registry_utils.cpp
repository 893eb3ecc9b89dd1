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
constexpr int32_t kErrorNotEnoughMemory = 8;

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

constexpr int32_t kNotFound = 2;  // ERROR_FILE_NOT_FOUND: no such key or value

// Under WOW64 the logon process and every 64-bit program read the 64-bit registry, so that is the
// one this program reads and writes too; elsewhere there is only one, reached by the plain calls.
RegistryView ViewOf(Platform& platform) {
    return platform.version.IsWow64Process() ? RegistryView::k64Bit : RegistryView::kDefault;
}

DynamicValue EmptyText() { return DynamicValue::FromText(L""); }

// The value's bytes read whole, starting from the size the registry gave; its type in `type`. The
// status of the last query on failure (a value that will not fit any buffer we can have included).
int32_t ReadBytes(RegistryApi& registry, RegKey key, const std::string& name, uint32_t size, uint32_t& type,
                  std::vector<uint8_t>& bytes) {
    for (int attempt = 0; attempt < kStringReadAttempts; ++attempt) {
        // The size is the registry's word: one that cannot be had reads as nothing. Without throwing,
        // since the Windows build has no exceptions.
        std::unique_ptr<uint8_t[]> buffer;
        if (size != 0) {
            buffer.reset(new (std::nothrow) uint8_t[size]());
            if (!buffer) return kErrorNotEnoughMemory;
        }
        uint32_t got = size;
        const int32_t status =
            registry.RegQueryValueExA(key, name.c_str(), nullptr, &type, buffer.get(), &got);
        if (status == kErrorMoreData && got > size) {
            size = got;
            continue;
        }
        if (status != kErrorSuccess) return status;
        bytes.assign(buffer.get(), buffer.get() + std::min(got, size));
        return kErrorSuccess;
    }
    return kErrorMoreData;
}

DynamicValue ReadString(RegistryApi& registry, TextApi& text, RegKey key, const std::string& name,
                        uint32_t size) {
    uint32_t type = 0;
    std::vector<uint8_t> bytes;
    if (ReadBytes(registry, key, name, size, type, bytes) != kErrorSuccess ||
        (type != kRegSz && type != kRegExpandSz)) {
        return EmptyText();
    }
    std::string chars(bytes.begin(), bytes.end());
    const size_t nul = chars.find('\0');
    if (nul != std::string::npos) chars.resize(nul);
    return DynamicValue::FromText(text.FromAnsi(chars));
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

DynamicValue ReadRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                          const std::wstring& valueName) {
    RegistryApi& registry = platform.registry;
    TextApi& text = platform.text;
    KeyHandle key(registry);
    if (registry.RegOpenKeyA(root, text.ToAnsi(keyPath).c_str(), ViewOf(platform), key.out()) !=
            kErrorSuccess ||
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

int32_t WriteRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                      const std::wstring& valueName, const DynamicValue& value, int32_t valueType) {
    RegistryApi& registry = platform.registry;
    TextApi& text = platform.text;
    KeyHandle key(registry);
    // The key is created whatever follows, even for a type that writes nothing.
    const int32_t created =
        registry.RegCreateKeyA(root, text.ToAnsi(keyPath).c_str(), ViewOf(platform), key.out());
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

int32_t WriteRegString(Platform& platform, RegKey root, const std::wstring& keyPath,
                       const std::wstring& valueName, const std::wstring& value) {
    KeyHandle key(platform.registry);
    const int32_t created = platform.registry.RegCreateKeyA(root, platform.text.ToAnsi(keyPath).c_str(),
                                                            ViewOf(platform), key.out());
    if (key.get() == 0) return created != kErrorSuccess ? created : kErrorInvalidParameter;
    return SetString(platform.registry, platform.text, key.get(), platform.text.ToAnsi(valueName), value);
}

int32_t DeleteRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                       const std::wstring& valueName) {
    KeyHandle key(platform.registry);
    const int32_t opened = platform.registry.RegOpenKeyA(root, platform.text.ToAnsi(keyPath).c_str(),
                                                         ViewOf(platform), key.out());
    if (opened == kNotFound) return kErrorSuccess;  // no key, so no value either
    if (opened != kErrorSuccess || key.get() == 0)
        return opened != kErrorSuccess ? opened : kErrorInvalidParameter;
    const int32_t deleted =
        platform.registry.RegDeleteValueA(key.get(), platform.text.ToAnsi(valueName).c_str());
    return deleted == kNotFound ? kErrorSuccess : deleted;
}

SavedRegValue SaveRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                           const std::wstring& valueName) {
    SavedRegValue saved;
    KeyHandle key(platform.registry);
    const int32_t opened = platform.registry.RegOpenKeyA(root, platform.text.ToAnsi(keyPath).c_str(),
                                                         ViewOf(platform), key.out());
    if (opened == kNotFound) {
        saved.known = true;  // no key, so no value either
        return saved;
    }
    if (opened != kErrorSuccess || key.get() == 0) return saved;
    const std::string name = platform.text.ToAnsi(valueName);
    uint32_t size = 0;
    const int32_t sized =
        platform.registry.RegQueryValueExA(key.get(), name.c_str(), nullptr, &saved.type, nullptr, &size);
    if (sized == kNotFound) {
        saved.known = true;
        return saved;
    }
    if (sized != kErrorSuccess) return saved;
    saved.known =
        ReadBytes(platform.registry, key.get(), name, size, saved.type, saved.data) == kErrorSuccess;
    saved.present = saved.known;
    return saved;
}

int32_t RestoreRegValue(Platform& platform, RegKey root, const std::wstring& keyPath,
                        const std::wstring& valueName, const SavedRegValue& saved) {
    if (!saved.known) return kErrorInvalidParameter;
    if (!saved.present) return DeleteRegValue(platform, root, keyPath, valueName);
    if (saved.data.size() > std::numeric_limits<uint32_t>::max()) return kErrorInvalidParameter;
    KeyHandle key(platform.registry);
    const int32_t created = platform.registry.RegCreateKeyA(root, platform.text.ToAnsi(keyPath).c_str(),
                                                            ViewOf(platform), key.out());
    if (key.get() == 0) return created != kErrorSuccess ? created : kErrorInvalidParameter;
    return platform.registry.RegSetValueExA(key.get(), platform.text.ToAnsi(valueName).c_str(), 0, saved.type,
                                            saved.data.data(), static_cast<uint32_t>(saved.data.size()));
}

}  // namespace ostrevo
