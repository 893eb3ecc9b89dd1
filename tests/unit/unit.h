// What the unit tests share: the simulated platform, the program's main form on it, and what the
// platform was asked, in a form one comparison checks.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "platform/sim/sim_platform.h"
#include "shell/form1.h"

namespace ostrevo {

using Strings = std::vector<std::string>;
constexpr char kBoot[] = "C:\\boot.ini";
constexpr char kWinlogon[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr uint32_t kReadOnlyHidden = kFileAttributeReadOnly | kFileAttributeHidden;

inline RegValue Sz(const std::string& text) {
    return {kRegSz, {text.c_str(), text.c_str() + text.size() + 1}};
}
inline RegValue Dword(uint32_t n) {
    return {kRegDword, {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)}};
}
// A string value as its text, any other as "TYPE:HEX".
inline std::string Shown(const RegValue& value) {
    if (value.type == kRegSz && !value.data.empty())
        return std::string(value.data.begin(), value.data.end() - 1);
    std::string hex = std::to_string(value.type) + ":";
    for (uint8_t byte : value.data)
        hex += "0123456789ABCDEF"[byte >> 4] + std::string(1, "0123456789ABCDEF"[byte & 15]);
    return hex;
}

class Unit : public testing::Test {
protected:
    // False when the program ended before showing its icon.
    bool Start() {
        form = std::make_unique<Form1>(p.platform);
        return form->Form_Load();
    }
    // Opens the popup and chooses `item`.
    void Click(MenuItem* item) {
        p.ui.chosen = item;
        form->PrimaryMenuEvent();
    }
    // The captions of the checked items, in menu order.
    std::string Marks(const MenuItem* item = nullptr) {
        std::string marks;
        for (const auto& child : (item != nullptr ? *item : form->mnupopup).Children())
            marks += (child->Checked ? "|" + Latin1(child->Caption) : "") + Marks(child.get());
        return marks;
    }
    void Seed(const std::string& name, const RegValue& value) {
        p.registry.values[SimRegistry::Where(kWinlogon, name, view)] = value;
    }
    // The Winlogon values present in `view`, "Name=value" each.
    std::string Winlogon() {
        std::string seen;
        for (const char* name :
             {"AutoAdminLogon", "DefaultUserName", "DefaultDomain", "DefaultDomainName", "DefaultPassword"}) {
            const auto it = p.registry.values.find(SimRegistry::Where(kWinlogon, name, view));
            if (it != p.registry.values.end())
                seen += (seen.empty() ? "" : "|") + (name + ("=" + Shown(it->second)));
        }
        return seen;
    }
    // The user's next visit to the dialog: what it showed goes to `opened` ("user|domain|password|ok",
    // "-" for OK disabled), then the three texts are typed and OK pressed.
    void Type(const Strings& typed) {
        p.ui.dialogs.push_back([this, typed](Form2& d) {
            opened.push_back(
                Latin1(d.edtusername.Text() + L"|" + d.edtdomain.Text() + L"|" + d.edtpassword.Text()) +
                (d.btnok.Enabled ? "|ok" : "|-"));
            d.edtusername.SetText(Widen(typed[0]));
            d.edtdomain.SetText(Widen(typed[1]));
            d.edtpassword.SetText(Widen(typed[2]));
            d.btnok_Click();
        });
    }

    TestPlatform p;
    RegistryView view = RegistryView::kDefault;  // where the logon process reads Winlogon
    std::unique_ptr<Form1> form;
    Strings opened;
};

}  // namespace ostrevo
