// An in-memory registry: keys (names compared without case) holding typed values, keys that cannot
// be opened and keys that can be read but not changed, as a standard user meets them, and the two
// views a 32-bit process has on 64-bit Windows.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry_api.h"

namespace ostrevo {

class SimRegistry : public RegistryApi {
public:
    using Value = RegValue;

    ErrorCode ReadValue(RegKey root, const std::string& path, const std::string& name, RegistryView view,
                        RegValue& value) override;
    ErrorCode WriteValue(RegKey root, const std::string& path, const std::string& name, RegistryView view,
                         const RegValue& value) override;
    ErrorCode CreateKey(RegKey root, const std::string& path, RegistryView view) override;
    ErrorCode DeleteValue(RegKey root, const std::string& path, const std::string& name,
                          RegistryView view) override;

    // A 32-bit process on 64-bit Windows: its default view of HKLM\SOFTWARE is the 32-bit copy under
    // HKLM\SOFTWARE\Wow6432Node; the 64-bit view is HKLM\SOFTWARE itself. The seeding and
    // inspection helpers below always name the real path.
    bool wow64 = false;

    // Test set-up and inspection; they create missing keys and ignore access rules.
    void SetValue(RegKey root, const std::string& path, const std::string& name, uint32_t type,
                  std::vector<uint8_t> data);
    // Bytes of `text` plus one NUL (an inner NUL stays where it is).
    void SetString(RegKey root, const std::string& path, const std::string& name, const std::string& text,
                   uint32_t type = kRegSz);
    void SetExpandString(RegKey root, const std::string& path, const std::string& name,
                         const std::string& text) {
        SetString(root, path, name, text, kRegExpandSz);
    }
    void SetDword(RegKey root, const std::string& path, const std::string& name, uint32_t number);
    void SetBinary(RegKey root, const std::string& path, const std::string& name,
                   std::vector<uint8_t> bytes) {
        SetValue(root, path, name, kRegBinary, std::move(bytes));
    }
    // Each string NUL-terminated, and one more NUL after the last.
    void SetMultiString(RegKey root, const std::string& path, const std::string& name,
                        const std::vector<std::string>& strings);
    std::optional<Value> GetValue(RegKey root, const std::string& path, const std::string& name) const;
    // The value as a string without its terminating NUL, when it is a string value.
    std::optional<std::string> GetString(RegKey root, const std::string& path, const std::string& name) const;
    bool KeyExists(RegKey root, const std::string& path) const { return keys_.count(Id(root, path)) != 0; }
    // A key the caller may not open at all, nor create beneath.
    void DenyAccess(RegKey root, const std::string& path) { Seed(root, path).denied = true; }
    // A key (and everything beneath it) the caller may read but not change: a standard user under HKLM.
    void MakeReadOnly(RegKey root, const std::string& path) { Seed(root, path).readOnly = true; }

    // Record.
    int keyOpens = 0;                  // every call opens or creates one key
    std::vector<std::string> queries;  // value name of every read of an existing key
    std::vector<std::string> writes;   // "name=type" for every successful write
    std::vector<std::string> deletes;  // name of every successful removal

private:
    struct Key {
        std::map<std::string, std::pair<std::string, Value>> values;  // upper-cased name -> (name, value)
        bool denied = false;
        bool readOnly = false;
    };
    // The key's identity: its root and upper-cased parts, as the view reaches it.
    std::string Id(RegKey root, const std::string& path, RegistryView view = RegistryView::k64Bit) const;
    Key& Seed(RegKey root, const std::string& path);
    // The key `id` names, opened or created; the system's refusal otherwise.
    ErrorCode Open(const std::string& id, bool create, bool write, Key*& key);

    std::map<std::string, Key> keys_;
};

}  // namespace ostrevo
