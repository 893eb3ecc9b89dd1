// An in-memory registry: keys (compared without case) holding typed values, keys a standard user may
// not open or may not change, and the two views a 32-bit process has on 64-bit Windows.
#pragma once
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace ostrevo {

class SimRegistry : public RegistryApi {
public:
    ErrorCode ReadValue(RegKey root, const std::string& path, const std::string& name, RegistryView view,
                        RegValue& value) override {
        const std::string key = Key(root, path, view);
        if (const ErrorCode refused = Open(key, false, false)) return refused;
        queries.push_back(name);
        const auto it = values_.find(key + '\n' + Upper(name));
        if (it == values_.end()) return kErrorFileNotFound;
        value = it->second;
        return kErrorSuccess;
    }
    ErrorCode WriteValue(RegKey root, const std::string& path, const std::string& name, RegistryView view,
                         const RegValue& value) override {
        const std::string key = Key(root, path, view);
        if (const ErrorCode refused = Open(key, true, true)) return refused;
        values_[key + '\n' + Upper(name)] = value;
        writes.push_back(name);
        return kErrorSuccess;
    }
    ErrorCode CreateKey(RegKey root, const std::string& path, RegistryView view) override {
        return Open(Key(root, path, view), true, false);
    }
    ErrorCode DeleteValue(RegKey root, const std::string& path, const std::string& name,
                          RegistryView view) override {
        const std::string key = Key(root, path, view);
        if (const ErrorCode refused = Open(key, false, true)) return refused;
        return values_.erase(key + '\n' + Upper(name)) == 1 ? kErrorSuccess : kErrorFileNotFound;
    }

    // Set-up and inspection by the real path, past every rule.
    void Set(RegKey root, const std::string& path, const std::string& name, const RegValue& value) {
        keys_.insert(Key(root, path));
        values_[Key(root, path) + '\n' + Upper(name)] = value;
    }
    void SetString(RegKey root, const std::string& path, const std::string& name, const std::string& text) {
        Set(root, path, name, {kRegSz, std::vector<uint8_t>(text.c_str(), text.c_str() + text.size() + 1)});
    }
    std::optional<RegValue> Get(RegKey root, const std::string& path, const std::string& name) const {
        const auto it = values_.find(Key(root, path) + '\n' + Upper(name));
        return it == values_.end() ? std::nullopt : std::optional<RegValue>(it->second);
    }
    // A string value without its terminating NUL.
    std::optional<std::string> GetString(RegKey root, const std::string& path,
                                         const std::string& name) const {
        const std::optional<RegValue> value = Get(root, path, name);
        if (!value || value->type != kRegSz || value->data.empty()) return std::nullopt;
        return std::string(value->data.begin(), value->data.end() - 1);
    }
    bool KeyExists(RegKey root, const std::string& path) const { return keys_.count(Key(root, path)) != 0; }
    // A key, and all beneath it, that may not be opened at all, or may be read but not changed.
    void Deny(RegKey root, const std::string& path) { denied_.insert(Key(root, path)); }
    void MakeReadOnly(RegKey root, const std::string& path) { readOnly_.insert(Key(root, path)); }

    // The process is a 32-bit one on 64-bit Windows: its default view of HKLM\SOFTWARE is the copy
    // under HKLM\SOFTWARE\Wow6432Node.
    bool wow64 = false;
    std::vector<std::string> queries;  // every value asked for in an existing key
    std::vector<std::string> writes;   // every value stored

private:
    static std::string Upper(std::string text) {
        for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    }
    std::string Key(RegKey root, const std::string& path, RegistryView view = RegistryView::k64Bit) const {
        const std::string software = std::to_string(kHkeyLocalMachine) + "\\SOFTWARE\\";
        std::string key = std::to_string(root) + "\\" + Upper(path);
        if (wow64 && view == RegistryView::kDefault && key.rfind(software, 0) == 0) {
            key.insert(software.size(), "WOW6432NODE\\");
        }
        return key;
    }
    static bool Under(const std::string& key, const std::set<std::string>& marked) {
        for (const std::string& mark : marked) {
            if (key == mark || key.rfind(mark + "\\", 0) == 0) return true;
        }
        return false;
    }
    // Opens the key, creating it with its parents when asked; the refusal a standard user meets.
    ErrorCode Open(const std::string& key, bool create, bool write) {
        const bool exists = keys_.count(key) != 0;
        if (Under(key, denied_)) return kErrorAccessDenied;
        if (!exists && !create) return kErrorFileNotFound;
        if ((write || !exists) && Under(key, readOnly_)) return kErrorAccessDenied;
        for (size_t cut = key.find('\\'); create && cut != std::string::npos; cut = key.find('\\', cut + 1)) {
            keys_.insert(key.substr(0, cut));
        }
        if (create) keys_.insert(key);
        return kErrorSuccess;
    }

    std::set<std::string> keys_;
    std::map<std::string, RegValue> values_;  // key '\n' upper-cased value name
    std::set<std::string> denied_, readOnly_;
};

}  // namespace ostrevo
