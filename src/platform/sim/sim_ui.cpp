// The scriptable user.
#include "platform/sim/sim_ui.h"

#include "shell/menu_item.h"

namespace ostrevo {
namespace {

void Describe(const MenuItem& menu, const std::wstring& indent, std::vector<std::wstring>& lines) {
    for (const auto& child : menu.Children()) {
        if (!child->Visible) continue;
        std::wstring line = indent;
        if (child->Checked) line += L"[x] ";
        if (!child->Enabled) line += L"(disabled) ";
        lines.push_back(line + child->Caption);
        Describe(*child, indent + L"  ", lines);
    }
}

MenuItem* Find(MenuItem& menu, const std::vector<std::wstring>& path, size_t level) {
    for (const auto& child : menu.Children()) {
        if (!child->Visible || !child->Enabled || child->Caption != path[level]) continue;
        if (level + 1 == path.size()) return child->HasSubmenu() ? nullptr : child.get();
        return Find(*child, path, level + 1);
    }
    return nullptr;
}

}  // namespace

std::vector<std::wstring> DescribeMenu(const MenuItem& popup) {
    std::vector<std::wstring> lines;
    Describe(popup, L"", lines);
    return lines;
}

int SimUi::MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t style) {
    messages.push_back({text, caption, style});
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    if ((style & 0xF) == kMbOk) return kIdOk;
    ++unscripted;
    return kIdNo;
}

MenuItem* SimUi::TrackPopupMenu(MenuItem& popup) {
    shownMenus.push_back(DescribeMenu(popup));
    if (menuChoices.empty()) {
        ++unscripted;
        return nullptr;
    }
    const std::vector<std::wstring> path = menuChoices.front();
    menuChoices.pop_front();
    return path.empty() ? nullptr : Find(popup, path, 0);
}

std::optional<std::wstring> SimUi::InputBox(const std::wstring& prompt, const std::wstring& title,
                                            const std::wstring& defaultText) {
    inputBoxes.push_back({prompt, title, defaultText});
    if (inputs.empty()) {
        ++unscripted;
        return std::nullopt;
    }
    std::optional<std::wstring> answer = inputs.front();
    inputs.pop_front();
    return answer;
}

void SimUi::ShowAutoLogonDialog(Form2& form) {
    ++dialogsShown;
    if (dialogActions.empty()) {
        ++unscripted;
        return;
    }
    std::function<void(Form2&)> action = dialogActions.front();
    dialogActions.pop_front();
    action(form);
}

}  // namespace ostrevo
