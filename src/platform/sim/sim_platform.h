// The simulated platform for the native tests and the fuzzer: the drive (sim_disk.h), a registry of
// typed values, recorded power requests, a scripted user, Latin-1 text and a chosen system.
#pragma once
#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "autologon/form2.h"
#include "platform/platform.h"
#include "platform/sim/sim_disk.h"
#include "shell/menu_item.h"

namespace ostrevo {

// Latin-1 as the ANSI code page (other characters become '?', the system's default character), the
// user's separators to set, and the system's text for one error code.
class SimText : public TextApi {
public:
    std::string ToAnsi(const std::wstring& text) override {
        std::string bytes;
        for (wchar_t c : text) bytes += c < 0x100 ? static_cast<char>(c) : '?';
        return bytes;
    }
    std::wstring FromAnsi(const std::string& bytes) override {
        std::wstring text;
        for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
        return text;
    }
    std::wstring ToUpper(const std::wstring& text) override {
        std::wstring upper = text;
        for (wchar_t& c : upper) {
            if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
                c = static_cast<wchar_t>(c - 0x20);
        }
        return upper;
    }
    std::wstring DecimalSeparator() override { return decimal; }
    std::wstring GroupSeparator() override { return group; }
    // No text, as for a code the system has none for, but for access denied.
    std::wstring ErrorText(ErrorCode code) override {
        return code == kErrorAccessDenied ? L"Access is denied." : L"";
    }

    std::wstring decimal = L".", group = L",";
};

// Records the privilege and restart requests; each can be made to fail.
class SimPower : public PowerApi {
public:
    ErrorCode EnableShutdownPrivilege() override {
        calls.push_back("privilege");
        return privilegeRefusal;
    }
    ErrorCode RequestExit(uint32_t flags) override {
        calls.push_back("exit " + std::to_string(flags));
        return exitRefusal;
    }

    ErrorCode privilegeRefusal = kErrorSuccess, exitRefusal = kErrorSuccess;
    std::vector<std::string> calls;
};

class SimVersion : public VersionApi {
public:
    uint32_t PlatformId() override { return platformId; }
    bool IsWow64Process() override { return wow64; }

    uint32_t platformId = kVerPlatformWin32Nt;  // 0 is also what a failed GetVersionExA leaves
    bool wow64 = false;
};

// Keys (compared without case) holding typed values; one key, with all beneath it, that a standard
// user may not open, or may read but not change; and under WOW64 the default view of HKLM\SOFTWARE
// that is the copy under Wow6432Node.
class SimRegistry : public RegistryApi {
public:
    ErrorCode ReadValue(RegKey root, const std::string& path, const std::string& name, RegistryView view,
                        RegData form, RegValue& value) override {
        const std::string key = Key(root, path, view);
        if (const ErrorCode refused = Open(key, false, false)) return refused;
        queries.push_back(name + (form == RegData::kExact ? " exact" : ""));
        const auto it = values_.find(key + '\n' + Upper(name));
        if (it == values_.end()) return kErrorFileNotFound;
        value = it->second;
        return kErrorSuccess;
    }
    ErrorCode WriteValue(RegKey root, const std::string& path, const std::string& name, RegistryView view,
                         RegData form, const RegValue& value) override {
        const std::string key = Key(root, path, view);
        if (const ErrorCode refusal = Refused(name) ? kErrorAccessDenied : Open(key, true, true))
            return refusal;
        values_[key + '\n' + Upper(name)] = value;
        writes.push_back(name + (form == RegData::kExact ? " exact" : ""));
        return kErrorSuccess;
    }
    ErrorCode CreateKey(RegKey root, const std::string& path, RegistryView view) override {
        return Open(Key(root, path, view), true, false);
    }
    ErrorCode DeleteValue(RegKey root, const std::string& path, const std::string& name,
                          RegistryView view) override {
        const std::string key = Key(root, path, view);
        if (const ErrorCode refusal = Refused(name) ? kErrorAccessDenied : Open(key, false, true))
            return refusal;
        return values_.erase(key + '\n' + Upper(name)) == 1 ? kErrorSuccess : kErrorFileNotFound;
    }

    // Set-up and inspection by the real path, past every rule.
    void Set(RegKey root, const std::string& path, const std::string& name, const RegValue& value) {
        keys_.insert(Key(root, path));
        values_[Key(root, path) + '\n' + Upper(name)] = value;
    }
    std::optional<RegValue> Get(RegKey root, const std::string& path, const std::string& name) const {
        const auto it = values_.find(Key(root, path) + '\n' + Upper(name));
        return it == values_.end() ? std::nullopt : std::optional<RegValue>(it->second);
    }
    bool KeyExists(RegKey root, const std::string& path) const { return keys_.count(Key(root, path)) != 0; }
    void Deny(RegKey root, const std::string& path, bool readOnly) {
        (readOnly ? readOnly_ : denied_) = Key(root, path);
    }

    bool wow64 = false;
    // Changes of the value named `refused` are refused; once one has been, also those of `locked`.
    std::string refused;
    std::vector<std::string> locked;
    bool refusedOnce = false;
    std::vector<std::string> queries;  // every value asked for in an existing key, " exact" when so
    std::vector<std::string> writes;   // every value stored, " exact" when so

private:
    std::string Key(RegKey root, const std::string& path, RegistryView view = RegistryView::k64Bit) const {
        const std::string software = std::to_string(kHkeyLocalMachine) + "\\SOFTWARE\\";
        std::string key = std::to_string(root) + "\\" + Upper(path);
        if (wow64 && view == RegistryView::kDefault && key.rfind(software, 0) == 0)
            key.insert(software.size(), "WOW6432NODE\\");
        return key;
    }
    bool Refused(const std::string& name) {
        refusedOnce = refusedOnce || name == refused;
        return name == refused || (refusedOnce && std::count(locked.begin(), locked.end(), name) != 0);
    }
    static bool Under(const std::string& key, const std::string& top) {
        return !top.empty() && (key == top || key.rfind(top + "\\", 0) == 0);
    }
    // Opens the key, creating it when asked; the refusal a standard user meets.
    ErrorCode Open(const std::string& key, bool create, bool write) {
        const bool exists = keys_.count(key) != 0;
        if (Under(key, denied_)) return kErrorAccessDenied;
        if (!exists && !create) return kErrorFileNotFound;
        if ((write || !exists) && Under(key, readOnly_)) return kErrorAccessDenied;
        if (create) keys_.insert(key);
        return kErrorSuccess;
    }

    std::set<std::string> keys_;
    std::map<std::string, RegValue> values_;  // key '\n' upper-cased value name
    std::string denied_, readOnly_;
};

// A scripted user: answers the message boxes, input boxes, dialog and popup from queues, and records
// what it was shown. An empty queue answers 0 (a box that could not be shown), Cancel, nothing chosen.
class SimUi : public UiApi {
public:
    int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t style) override {
        messages.push_back(text + L" [" + caption + L" " + std::to_wstring(style) + L"]");
        return Pop(answers, 0);
    }
    void SetForegroundWindow() override { events.push_back("foreground"); }
    // The next choice names an item by the captions of its path.
    MenuItem* TrackPopupMenu(MenuItem& popup) override {
        events.push_back("popup");
        MenuItem* item = &popup;
        for (const std::wstring& caption : Pop(choices, {})) {
            MenuItem* parent = item;
            item = nullptr;
            for (const auto& child : parent->Children()) {
                if (child->Visible && child->Caption == caption) item = child.get();
            }
            if (item == nullptr) return nullptr;
        }
        return item == &popup ? nullptr : item;
    }
    std::optional<std::wstring> InputBox(const std::wstring& prompt, const std::wstring& title,
                                         const std::wstring& defaultText) override {
        inputBoxes.push_back(prompt + L"|" + title + L"|" + defaultText);
        return Pop(inputs, {});
    }
    void ShowAutoLogonDialog(Form2& form) override {
        if (const auto user = Pop(dialogs, {})) user(form);
    }
    void EndProgram() override { events.push_back("end"); }

    std::deque<int> answers;
    std::deque<std::vector<std::wstring>> choices;
    std::deque<std::optional<std::wstring>> inputs;
    std::deque<std::function<void(Form2&)>> dialogs;  // what the user does there
    std::vector<std::wstring> messages, inputBoxes;
    std::vector<std::string> events;

private:
    template <typename T>
    static T Pop(std::deque<T>& queue, T none) {
        if (queue.empty()) return none;
        T next = std::move(queue.front());
        queue.pop_front();
        return next;
    }
};

// One of each, bundled as the logic expects them.
struct TestPlatform {
    SimDisk disk;
    SimVersion version;
    SimText text;
    SimUi ui;
    SimPower power;
    SimRegistry registry;
    Platform platform{disk, disk, version, text, ui, power, registry};
};

}  // namespace ostrevo
