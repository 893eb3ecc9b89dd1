// An in-memory registry: a tree of keys (names compared without case) holding typed values, with
// keys that cannot be opened and keys that can be read but not changed, as a standard user meets them.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace ostrevo {

class SimRegistry : public RegistryApi {
public:
    struct Value {
        uint32_t type = 0;
        std::vector<uint8_t> data;
        bool operator==(const Value& other) const { return type == other.type && data == other.data; }
    };

    SimRegistry();

    // RegOpenKeyA and RegCreateKeyA ask for the most access allowed, as the real ones do: a
    // read-only key opens (and "creates") fine, and only the writes through its handle fail.
    int32_t RegOpenKeyA(RegKey root, const char* subKey, RegistryView view, RegKey* result) override;
    int32_t RegCreateKeyA(RegKey root, const char* subKey, RegistryView view, RegKey* result) override;
    // Convenience for the default view.
    int32_t RegOpenKeyA(RegKey root, const char* subKey, RegKey* result) {
        return RegOpenKeyA(root, subKey, RegistryView::kDefault, result);
    }
    int32_t RegCreateKeyA(RegKey root, const char* subKey, RegKey* result) {
        return RegCreateKeyA(root, subKey, RegistryView::kDefault, result);
    }

    // A 32-bit process on 64-bit Windows: its default view of HKLM\SOFTWARE is the 32-bit copy
    // under HKLM\SOFTWARE\Wow6432Node; the 64-bit view is HKLM\SOFTWARE itself. The seeding and
    // inspection helpers below always name the real path.
    bool wow64 = false;
    int32_t RegQueryValueExA(RegKey key, const char* valueName, uint32_t* reserved, uint32_t* type,
                             uint8_t* data, uint32_t* dataSize) override;
    int32_t RegSetValueExA(RegKey key, const char* valueName, uint32_t reserved, uint32_t type,
                           const uint8_t* data, uint32_t dataSize) override;
    int32_t RegDeleteValueA(RegKey key, const char* valueName) override;
    int32_t RegCloseKey(RegKey key) override;

    // Test set-up and inspection; paths like "SOFTWARE\\Microsoft" under a predefined root. The
    // seeding helpers create missing keys and ignore access rules.
    void SetValue(RegKey root, const std::string& path, const std::string& name, uint32_t type,
                  std::vector<uint8_t> data);
    // Bytes of `text` plus one NUL (an inner NUL stays where it is).
    void SetString(RegKey root, const std::string& path, const std::string& name, const std::string& text,
                   uint32_t type = kRegSz);
    void SetExpandString(RegKey root, const std::string& path, const std::string& name,
                         const std::string& text);
    void SetDword(RegKey root, const std::string& path, const std::string& name, uint32_t number);
    void SetBinary(RegKey root, const std::string& path, const std::string& name, std::vector<uint8_t> bytes);
    // Each string NUL-terminated, and one more NUL after the last.
    void SetMultiString(RegKey root, const std::string& path, const std::string& name,
                        const std::vector<std::string>& strings);
    std::optional<Value> GetValue(RegKey root, const std::string& path, const std::string& name) const;
    // The value as a string without its terminating NUL, when it is a string value.
    std::optional<std::string> GetString(RegKey root, const std::string& path, const std::string& name) const;
    bool KeyExists(RegKey root, const std::string& path) const;
    // A key the caller may not open at all, nor create beneath.
    void DenyAccess(RegKey root, const std::string& path);
    // A key (and everything beneath it) the caller may read but not change: a standard user under HKLM.
    void MakeReadOnly(RegKey root, const std::string& path);

    int openHandles() const { return static_cast<int>(handles_.size()); }

    // Record.
    int keyOpens = 0;                  // RegOpenKeyA and RegCreateKeyA calls, successful or not
    std::vector<std::string> queries;  // value name of every RegQueryValueExA on a valid handle
    std::vector<std::string> writes;   // "name=type" for every successful RegSetValueExA
    std::vector<std::string> deletes;  // name of every successful RegDeleteValueA

private:
    struct Key {
        std::map<std::string, std::unique_ptr<Key>> children;         // by upper-cased name
        std::map<std::string, std::pair<std::string, Value>> values;  // upper-cased name -> (name, value)
        bool denied = false;
        bool readOnly = false;
    };
    struct Handle {
        Key* key;
        bool writable;
    };
    struct Found {
        Key* key = nullptr;
        bool writable = true;
        int32_t status = 0;
    };

    std::optional<Handle> Base(RegKey root) const;
    Found Walk(RegKey root, const std::string& path, bool create);
    std::string Redirected(RegKey root, const char* subKey, RegistryView view) const;
    Found Find(RegKey root, const std::string& path) const;
    Key* Seed(RegKey root, const std::string& path);
    const Handle* FromHandle(RegKey key) const;
    RegKey NewHandle(const Found& found);

    std::map<RegKey, std::unique_ptr<Key>> roots_;
    std::map<RegKey, Handle> handles_;
    RegKey nextHandle_ = 0x100;
};

}  // namespace ostrevo
