// The simulated platform for the native tests and the benchmark: the drive (sim_disk.h), a registry of
// values and secrets, recorded power requests, a scripted user, Latin-1 text and a chosen system. Each fake
// records what it was asked and answers as the test told it.
#pragma once
#include <cwctype>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "autologon/form2.h"
#include "platform/platform.h"
#include "platform/sim/sim_disk.h"
#include "shell/menu_item.h"

namespace ostrevo {

// A text of Latin-1 characters as its bytes, as the records below keep texts, and back.
inline std::string Latin1(const std::wstring& text) { return std::string(text.begin(), text.end()); }
inline std::wstring Widen(const std::string& bytes) {
    std::wstring text;
    for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

// Latin-1 as the ANSI code page, the separators to set, and the system's text for access denied
// alone.
class SimText : public TextApi {
public:
    std::string ToAnsi(const std::wstring& text) override { return Latin1(text); }
    std::wstring FromAnsi(const std::string& bytes) override { return Widen(bytes); }
    std::wstring ToUpper(const std::wstring& text) override {
        std::wstring upper = text;
        for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));  // ASCII letters alone
        return upper;
    }
    std::wstring DecimalSeparator() override { return decimal; }
    std::wstring GroupSeparator() override { return group; }
    std::wstring ErrorText(ErrorCode code) override {
        return code == kErrorAccessDenied ? L"Access is denied." : L"";
    }

    std::wstring decimal = L".", group = L",";
};

class SimPower : public PowerApi {
public:
    ErrorCode EnableShutdownPrivilege() override {
        calls.push_back("privilege");
        return kErrorSuccess;
    }
    ErrorCode RequestExit(uint32_t flags) override {
        calls.push_back("exit " + std::to_string(flags));
        return exitRefusal;
    }

    ErrorCode exitRefusal = kErrorSuccess;
    std::vector<std::string> calls;
};

class SimVersion : public VersionApi {
public:
    uint32_t PlatformId() override { return platformId; }
    uint32_t Version() override { return version; }
    bool IsWow64Process() override { return wow64; }

    uint32_t platformId = kVerPlatformWin32Nt;
    uint32_t version = 0x0500;  // Windows 2000
    bool wow64 = false;
};

// Values by view, key path and name, as told; every value's call recorded as "read NAME", "write NAME"
// or "delete NAME", " exact" added for the exact form (a key made is not). Changes of a value named in
// `allowed` are refused once its count is used up. The LSA's secrets are values "LSA\NAME" of no view,
// stored as strings, their changes recorded as "secret store NAME" or "secret delete NAME".
class SimRegistry : public RegistryApi, public SecretApi {
public:
    ErrorCode ReadValue(RegKey, const std::string& path, const std::string& name, RegistryView view,
                        RegData form, RegValue& value) override {
        Log("read ", name, form);
        if (unreadable.count(name) != 0) return kErrorAccessDenied;
        const auto it = values.find(Where(path, name, view));
        if (it == values.end()) return kErrorFileNotFound;
        value = it->second;
        return kErrorSuccess;
    }
    ErrorCode WriteValue(RegKey, const std::string& path, const std::string& name, RegistryView view,
                         RegData form, const RegValue& value) override {
        Log("write ", name, form);
        if (Refused(name)) return kErrorAccessDenied;
        values[Where(path, name, view)] = value;
        return kErrorSuccess;
    }
    ErrorCode CreateKey(RegKey, const std::string&, RegistryView) override { return kErrorSuccess; }
    ErrorCode DeleteValue(RegKey, const std::string& path, const std::string& name,
                          RegistryView view) override {
        Log("delete ", name, RegData::kAnsi);
        if (Refused(name)) return kErrorAccessDenied;
        return values.erase(Where(path, name, view)) == 1 ? kErrorSuccess : kErrorFileNotFound;
    }
    ErrorCode StoreSecret(const std::wstring& name, const std::wstring* value) override {
        const std::string secret = "LSA\\" + Latin1(name), text = value != nullptr ? Latin1(*value) : "";
        calls.push_back((value != nullptr ? "secret store " : "secret delete ") + Latin1(name));
        if (Refused(secret)) return kErrorAccessDenied;
        if (value == nullptr) return values.erase(secret) == 1 ? kErrorSuccess : kErrorFileNotFound;
        values[secret] = RegValue{kRegSz, {text.c_str(), text.c_str() + text.size() + 1}};
        return kErrorSuccess;
    }
    static std::string Where(const std::string& path, const std::string& name, RegistryView view) {
        return (view == RegistryView::k64Bit ? "64:" : "") + path + "\\" + name;
    }

    std::map<std::string, RegValue> values;  // by Where()
    std::map<std::string, int> allowed;      // value name: changes still allowed
    std::set<std::string> unreadable;
    std::vector<std::string> calls;

private:
    void Log(const char* what, const std::string& name, RegData form) {
        calls.push_back(what + name + (form == RegData::kExact ? " exact" : ""));
    }
    bool Refused(const std::string& name) {
        const auto it = allowed.find(name);
        return it != allowed.end() && it->second-- <= 0;
    }
};

// A scripted user: answers the message boxes, input boxes and dialog from queues, and records what it
// was shown. An empty queue answers 0 (a box that could not be shown) or Cancel.
class SimUi : public UiApi {
public:
    int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t style) override {
        messages.push_back(Latin1(text + L" [" + caption + L" ") + std::to_string(style) + "]");
        return Pop(answers, 0);
    }
    void SetForegroundWindow() override { ++foreground; }
    MenuItem* TrackPopupMenu(MenuItem&) override { return std::exchange(chosen, nullptr); }
    std::optional<std::wstring> InputBox(const std::wstring&, const std::wstring&,
                                         const std::wstring&) override {
        return Pop(inputs, {});
    }
    void ShowAutoLogonDialog(Form2& form) override {
        if (const auto user = Pop(dialogs, {})) user(form);
    }
    void EndProgram() override { ended = true; }

    std::deque<int> answers;
    MenuItem* chosen = nullptr;  // the next popup's choice
    std::deque<std::optional<std::wstring>> inputs;
    std::deque<std::function<void(Form2&)>> dialogs;  // what the user does there
    std::vector<std::string> messages;                // "text [caption style]"
    int foreground = 0;                               // times the main window was brought forward
    bool ended = false;

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
    Platform platform{disk, disk, version, text, ui, power, registry, registry};
};

}  // namespace ostrevo
