// An in-memory registry with the result codes of advapi32.
#include "platform/sim/sim_registry.h"

namespace ostrevo {
namespace {

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

std::string SimRegistry::Id(RegKey root, const std::string& path, RegistryView view) const {
    std::vector<std::string> parts = PathParts(path);
    if (wow64 && view == RegistryView::kDefault && root == kHkeyLocalMachine && !parts.empty() &&
        parts[0] == "SOFTWARE" && (parts.size() < 2 || parts[1] != "WOW6432NODE")) {
        parts.insert(parts.begin() + 1, "WOW6432NODE");
    }
    std::string id = std::to_string(root);
    for (const std::string& part : parts) id += "\\" + part;
    return id;
}

SimRegistry::Key& SimRegistry::Seed(RegKey root, const std::string& path) {
    std::string id = std::to_string(root);
    keys_[id];
    for (const std::string& part : PathParts(path)) keys_[id += "\\" + part];
    return keys_[id];
}

ErrorCode SimRegistry::Open(const std::string& id, bool create, bool write, Key*& key) {
    ++keyOpens;
    // Walk down from the root: a denied key stops everything beneath it, a read-only one any change.
    bool readOnly = false;
    for (size_t cut = id.find('\\');; cut = id.find('\\', cut + 1)) {
        const std::string prefix = id.substr(0, cut);
        auto it = keys_.find(prefix);
        if (it == keys_.end()) {
            if (!create) return kErrorFileNotFound;
            if (readOnly) return kErrorAccessDenied;
            it = keys_.emplace(prefix, Key{}).first;
        }
        if (it->second.denied) return kErrorAccessDenied;
        readOnly = readOnly || it->second.readOnly;
        if (cut == std::string::npos) {
            if (write && readOnly) return kErrorAccessDenied;
            key = &it->second;
            return kErrorSuccess;
        }
    }
}

ErrorCode SimRegistry::ReadValue(RegKey root, const std::string& path, const std::string& name,
                                 RegistryView view, RegValue& value) {
    Key* key = nullptr;
    if (const ErrorCode opened = Open(Id(root, path, view), false, false, key)) return opened;
    queries.push_back(name);
    const auto it = key->values.find(Upper(name));
    if (it == key->values.end()) return kErrorFileNotFound;
    value = it->second.second;
    return kErrorSuccess;
}

ErrorCode SimRegistry::WriteValue(RegKey root, const std::string& path, const std::string& name,
                                  RegistryView view, const RegValue& value) {
    Key* key = nullptr;
    if (const ErrorCode opened = Open(Id(root, path, view), true, true, key)) return opened;
    key->values[Upper(name)] = {name, value};
    writes.push_back(name + "=" + std::to_string(value.type));
    return kErrorSuccess;
}

ErrorCode SimRegistry::CreateKey(RegKey root, const std::string& path, RegistryView view) {
    Key* key = nullptr;
    return Open(Id(root, path, view), true, false, key);
}

ErrorCode SimRegistry::DeleteValue(RegKey root, const std::string& path, const std::string& name,
                                   RegistryView view) {
    Key* key = nullptr;
    if (const ErrorCode opened = Open(Id(root, path, view), false, true, key)) return opened;
    if (key->values.erase(Upper(name)) != 1) return kErrorFileNotFound;
    deletes.push_back(name);
    return kErrorSuccess;
}

void SimRegistry::SetValue(RegKey root, const std::string& path, const std::string& name, uint32_t type,
                           std::vector<uint8_t> data) {
    Seed(root, path).values[Upper(name)] = {name, Value{type, std::move(data)}};
}

void SimRegistry::SetString(RegKey root, const std::string& path, const std::string& name,
                            const std::string& text, uint32_t type) {
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    SetValue(root, path, name, type, std::move(data));
}

void SimRegistry::SetDword(RegKey root, const std::string& path, const std::string& name, uint32_t number) {
    SetValue(root, path, name, kRegDword,
             {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
              static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)});
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
    const auto key = keys_.find(Id(root, path));
    if (key == keys_.end()) return std::nullopt;
    const auto it = key->second.values.find(Upper(name));
    if (it == key->second.values.end()) return std::nullopt;
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

}  // namespace ostrevo
