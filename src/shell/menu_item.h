// The menu model: what the popup shows, independent of how a platform draws it.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ostrevo {

class MenuItem {
public:
    explicit MenuItem(std::wstring caption) : Caption(std::move(caption)) {}

    std::wstring Caption;
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
    std::wstring Tag;
    std::function<void()> Click;
    // The caption is data (a boot entry's name, a timeout value) to be shown as it stands: an "&" in
    // it is a letter, not the mark of an access key.
    bool Verbatim = false;

    MenuItem& Add(std::wstring caption) {
        children_.push_back(std::make_unique<MenuItem>(std::move(caption)));
        return *children_.back();
    }
    const std::vector<std::unique_ptr<MenuItem>>& Children() const { return children_; }
    bool HasSubmenu() const { return !children_.empty(); }

private:
    std::vector<std::unique_ptr<MenuItem>> children_;
};

// The caption as the system's menu takes it, where "&&" shows one "&".
inline std::wstring MenuText(const MenuItem& item) {
    if (!item.Verbatim) return item.Caption;
    std::wstring text;
    for (const wchar_t c : item.Caption) text += c == L'&' ? L"&&" : std::wstring(1, c);
    return text;
}

}  // namespace ostrevo
