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

// Latin-1 texts as bytes, and back.
inline std::string N(const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text) bytes += static_cast<char>(c);
    return bytes;
}
inline std::wstring W(const std::string& bytes) {
    std::wstring text;
    for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}
inline RegValue Sz(const std::string& text) { return {kRegSz, {text.begin(), text.end() + 1}}; }
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
    // Chooses the popup item named by its captions, "Default OS>Alpha"; "" dismisses the menu.
    void Click(const std::string& path) {
        std::vector<std::wstring> captions;
        for (size_t at = 0, end; !path.empty() && at <= path.size(); at = end + 1) {
            end = std::min(path.find('>', at), path.size());
            captions.push_back(W(path.substr(at, end - at)));
        }
        p.ui.choices.push_back(captions);
        form->PrimaryMenuEvent();
    }
    // The visible menu, a line per top item with its submenu after " > "; '*' marks a check.
    std::string Menu(const MenuItem* item = nullptr) {
        std::string text = item == nullptr ? "" : (item->Checked ? "*" : "") + N(item->Caption);
        const char* separator = item == nullptr ? "" : " > ";
        for (const auto& child : (item == nullptr ? form->mnupopup : *item).Children()) {
            if (child->Visible) text += separator + Menu(child.get());
            if (child->Visible) separator = item == nullptr ? "\n" : " | ";
        }
        return text;
    }
    // The checked items' captions, in menu order.
    std::string Marks() {
        std::string marks;
        for (MenuItem* item : {&form->mnu0, &form->mnu10, &form->mnu15, &form->mnu20, &form->mnu30,
                               &form->mnu45, &form->mnuother, &form->mnuAutoLogin})
            if (item->Checked) marks += (marks.empty() ? "" : "|") + N(item->Caption);
        for (MenuItem* item : form->mnuDefOs)
            if (item->Checked) marks += "|" + N(item->Caption);
        return marks;
    }
    // The message boxes shown since last asked, each "text [caption style]".
    Strings Messages() {
        Strings shown;
        for (const std::wstring& message : p.ui.messages) shown.push_back(N(message));
        p.ui.messages.clear();
        return shown;
    }
    void Seed(const std::string& name, const RegValue& value, RegistryView view = RegistryView::kDefault) {
        p.registry.values[SimRegistry::Where(kWinlogon, name, view)] = value;
    }
    // The Winlogon values present, "Name=value" each.
    std::string Winlogon(RegistryView view = RegistryView::kDefault) {
        std::string seen;
        for (const char* name :
             {"AutoAdminLogon", "DefaultUserName", "DefaultDomain", "DefaultDomainName", "DefaultPassword"}) {
            const auto it = p.registry.values.find(SimRegistry::Where(kWinlogon, name, view));
            if (it != p.registry.values.end())
                seen += (seen.empty() ? "" : "|") + (name + ("=" + Shown(it->second)));
        }
        return seen;
    }
    // The user's next visit to the dialog: what it showed is kept in `opened` ("user|domain|password|ok"
    // or "-" for OK disabled), then the three texts are typed and OK pressed; with none, Cancel.
    void Type(std::optional<Strings> typed) {
        p.ui.dialogs.push_back([this, typed](Form2& d) {
            opened.push_back(
                N(d.edtusername.Text() + L"|" + d.edtdomain.Text() + L"|" + d.edtpassword.Text()) +
                (d.btnok.Enabled ? "|ok" : "|-"));
            if (!typed) return d.Command2_Click();
            d.edtusername.SetText(W((*typed)[0]));
            d.edtdomain.SetText(W((*typed)[1]));
            d.edtpassword.SetText(W((*typed)[2]));
            d.btnok_Click();
        });
    }

    TestPlatform p;
    std::unique_ptr<Form1> form;
    Strings opened;
};

}  // namespace ostrevo
