// An in-memory registry with the result codes of advapi32's ANSI calls.
#include "platform/sim/sim_registry.h"

#include <cstring>

namespace ostrevo {
namespace {

constexpr int32_t kErrorFileNotFound = 2;
constexpr int32_t kErrorAccessDenied = 5;
constexpr int32_t kErrorInvalidHandle = 6;
constexpr int32_t kErrorInvalidParameter = 87;

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// The non-empty parts of a backslash-separated path, upper-cased.
std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts;
    size_t p = 0;
    while (p <= path.size()) {
        size_t q = path.find('\\', p);
        if (q == std::string::npos) q = path.size();
        if (q > p) parts.push_back(Upper(path.substr(p, q - p)));
        p = q + 1;
    }
    return parts;
}

}  // namespace

SimRegistry::SimRegistry() {
    roots_[kHkeyLocalMachine] = std::make_unique<Key>();
    roots_[kHkeyCurrentUser] = std::make_unique<Key>();
}

const SimRegistry::Handle* SimRegistry::FromHandle(RegKey key) const {
    auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : &it->second;
}

std::optional<SimRegistry::Handle> SimRegistry::Base(RegKey root) const {
    auto it = roots_.find(root);
    if (it != roots_.end()) return Handle{it->second.get(), !it->second->readOnly};
    const Handle* handle = FromHandle(root);
    if (handle == nullptr) return std::nullopt;
    return *handle;
}

SimRegistry::Found SimRegistry::Walk(RegKey root, const std::string& path, bool create) {
    Found found;
    const std::optional<Handle> base = Base(root);
    if (!base) {
        found.status = kErrorInvalidHandle;
        return found;
    }
    Key* key = base->key;
    bool writable = base->writable;
    for (const std::string& part : PathParts(path)) {
        auto it = key->children.find(part);
        if (it == key->children.end()) {
            if (!create) {
                found.status = kErrorFileNotFound;
                return found;
            }
            if (!writable || key->denied) {
                found.status = kErrorAccessDenied;
                return found;
            }
            it = key->children.emplace(part, std::make_unique<Key>()).first;
        }
        key = it->second.get();
        writable = writable && !key->readOnly;
    }
    if (key->denied) {
        found.status = kErrorAccessDenied;
        return found;
    }
    found.key = key;
    found.writable = writable;
    return found;
}

SimRegistry::Key* SimRegistry::Seed(RegKey root, const std::string& path) {
    auto it = roots_.find(root);
    if (it == roots_.end()) return nullptr;
    Key* key = it->second.get();
    for (const std::string& part : PathParts(path)) {
        auto child = key->children.find(part);
        if (child == key->children.end()) child = key->children.emplace(part, std::make_unique<Key>()).first;
        key = child->second.get();
    }
    return key;
}

SimRegistry::Found SimRegistry::Find(RegKey root, const std::string& path) const {
    Found found;
    auto it = roots_.find(root);
    if (it == roots_.end()) return found;
    Key* key = it->second.get();
    for (const std::string& part : PathParts(path)) {
        auto child = key->children.find(part);
        if (child == key->children.end()) return found;
        key = child->second.get();
    }
    found.key = key;
    return found;
}

RegKey SimRegistry::NewHandle(const Found& found) {
    const RegKey handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = Handle{found.key, found.writable};
    return handle;
}

std::string SimRegistry::Redirected(RegKey root, const char* subKey, RegistryView view) const {
    const std::string path = subKey != nullptr ? subKey : "";
    const std::vector<std::string> parts = PathParts(path);
    if (!wow64 || view == RegistryView::k64Bit || root != kHkeyLocalMachine || parts.empty() ||
        parts[0] != "SOFTWARE" || (parts.size() > 1 && parts[1] == "WOW6432NODE")) {
        return path;
    }
    std::string redirected = "SOFTWARE\\Wow6432Node";
    for (size_t i = 1; i < parts.size(); ++i) redirected += "\\" + parts[i];
    return redirected;
}

int32_t SimRegistry::RegOpenKeyA(RegKey root, const char* subKey, RegistryView view, RegKey* result) {
    ++keyOpens;
    if (result == nullptr) return kErrorInvalidParameter;
    *result = 0;
    const Found found = Walk(root, Redirected(root, subKey, view), false);
    if (found.status != 0) return found.status;
    *result = NewHandle(found);
    return 0;
}

int32_t SimRegistry::RegCreateKeyA(RegKey root, const char* subKey, RegistryView view, RegKey* result) {
    ++keyOpens;
    if (result == nullptr) return kErrorInvalidParameter;
    *result = 0;
    const Found found = Walk(root, Redirected(root, subKey, view), true);
    if (found.status != 0) return found.status;
    *result = NewHandle(found);
    return 0;
}

int32_t SimRegistry::RegQueryValueExA(RegKey handle, const char* valueName, uint32_t* reserved,
                                      uint32_t* type, uint8_t* data, uint32_t* dataSize) {
    const Handle* open = FromHandle(handle);
    if (open == nullptr) return kErrorInvalidHandle;
    const std::string name = valueName != nullptr ? valueName : "";
    queries.push_back(name);
    if (reserved != nullptr || (data != nullptr && dataSize == nullptr)) return kErrorInvalidParameter;
    auto it = open->key->values.find(Upper(name));
    if (it == open->key->values.end()) return kErrorFileNotFound;
    const Value& value = it->second.second;
    if (type != nullptr) *type = value.type;
    const uint32_t size = static_cast<uint32_t>(value.data.size());
    if (data == nullptr) {
        if (dataSize != nullptr) *dataSize = size;
        return 0;
    }
    if (*dataSize < size) {
        *dataSize = size;
        return kErrorMoreData;
    }
    if (size > 0) std::memcpy(data, value.data.data(), size);
    *dataSize = size;
    return 0;
}

int32_t SimRegistry::RegSetValueExA(RegKey handle, const char* valueName, uint32_t reserved, uint32_t type,
                                    const uint8_t* data, uint32_t dataSize) {
    const Handle* open = FromHandle(handle);
    if (open == nullptr) return kErrorInvalidHandle;
    if (reserved != 0 || (data == nullptr && dataSize != 0)) return kErrorInvalidParameter;
    if (!open->writable) return kErrorAccessDenied;
    const std::string name = valueName != nullptr ? valueName : "";
    Value value{type, data != nullptr ? std::vector<uint8_t>(data, data + dataSize) : std::vector<uint8_t>()};
    open->key->values[Upper(name)] = {name, std::move(value)};
    writes.push_back(name + "=" + std::to_string(type));
    return 0;
}

int32_t SimRegistry::RegDeleteValueA(RegKey handle, const char* valueName) {
    const Handle* open = FromHandle(handle);
    if (open == nullptr) return kErrorInvalidHandle;
    if (!open->writable) return kErrorAccessDenied;
    const std::string name = valueName != nullptr ? valueName : "";
    if (open->key->values.erase(Upper(name)) != 1) return kErrorFileNotFound;
    deletes.push_back(name);
    return 0;
}

int32_t SimRegistry::RegCloseKey(RegKey handle) {
    return handles_.erase(handle) == 1 ? 0 : kErrorInvalidHandle;
}

void SimRegistry::SetValue(RegKey root, const std::string& path, const std::string& name, uint32_t type,
                           std::vector<uint8_t> data) {
    Key* key = Seed(root, path);
    if (key != nullptr) key->values[Upper(name)] = {name, Value{type, std::move(data)}};
}

void SimRegistry::SetString(RegKey root, const std::string& path, const std::string& name,
                            const std::string& text, uint32_t type) {
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    SetValue(root, path, name, type, std::move(data));
}

void SimRegistry::SetExpandString(RegKey root, const std::string& path, const std::string& name,
                                  const std::string& text) {
    SetString(root, path, name, text, kRegExpandSz);
}

void SimRegistry::SetDword(RegKey root, const std::string& path, const std::string& name, uint32_t number) {
    SetValue(root, path, name, kRegDword,
             {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
              static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)});
}

void SimRegistry::SetBinary(RegKey root, const std::string& path, const std::string& name,
                            std::vector<uint8_t> bytes) {
    SetValue(root, path, name, kRegBinary, std::move(bytes));
}

void SimRegistry::SetMultiString(RegKey root, const std::string& path, const std::string& name,
                                 const std::vector<std::string>& strings) {
    std::vector<uint8_t> data;
    for (const std::string& text : strings) {
        data.insert(data.end(), text.begin(), text.end());
        data.push_back(0);
    }
    data.push_back(0);
    SetValue(root, path, name, kRegMultiSz, std::move(data));
}

std::optional<SimRegistry::Value> SimRegistry::GetValue(RegKey root, const std::string& path,
                                                        const std::string& name) const {
    const Found found = Find(root, path);
    if (found.key == nullptr) return std::nullopt;
    auto it = found.key->values.find(Upper(name));
    if (it == found.key->values.end()) return std::nullopt;
    return it->second.second;
}

std::optional<std::string> SimRegistry::GetString(RegKey root, const std::string& path,
                                                  const std::string& name) const {
    const std::optional<Value> value = GetValue(root, path, name);
    if (!value || (value->type != kRegSz && value->type != kRegExpandSz)) return std::nullopt;
    std::string text(value->data.begin(), value->data.end());
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

bool SimRegistry::KeyExists(RegKey root, const std::string& path) const {
    return Find(root, path).key != nullptr;
}

void SimRegistry::DenyAccess(RegKey root, const std::string& path) {
    Key* key = Seed(root, path);
    if (key != nullptr) key->denied = true;
}

void SimRegistry::MakeReadOnly(RegKey root, const std::string& path) {
    Key* key = Seed(root, path);
    if (key != nullptr) key->readOnly = true;
}

}  // namespace ostrevo
