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

    MenuItem& Add(std::wstring caption) {
        children_.push_back(std::make_unique<MenuItem>(std::move(caption)));
        return *children_.back();
    }
    const std::vector<std::unique_ptr<MenuItem>>& Children() const { return children_; }
    bool HasSubmenu() const { return !children_.empty(); }

private:
    std::vector<std::unique_ptr<MenuItem>> children_;
};

}  // namespace ostrevo
