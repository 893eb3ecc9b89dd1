// Builds a fresh HMENU from the model each time the menu opens, so the model stays the only truth.
#include "platform/win32/menu_render.h"

#include "platform/win32/win32_text.h"
#include "shell/menu_item.h"

namespace ostrevo {
namespace {

// Command ids travel in 16 bits through WM_COMMAND and, on older systems, TrackPopupMenu's result.
constexpr size_t kMaxCommandId = 0xFFFF;

}  // namespace

RenderedMenu::RenderedMenu(const MenuItem& popup) { handle_ = Build(popup); }

RenderedMenu::~RenderedMenu() {
    if (handle_ != nullptr) ::DestroyMenu(handle_);  // submenus go with it
}

MenuItem* RenderedMenu::ItemFor(UINT_PTR commandId) const {
    if (commandId == 0 || commandId > commands_.size()) return nullptr;
    return commands_[commandId - 1];
}

HMENU RenderedMenu::Build(const MenuItem& parent) {
    HMENU menu = ::CreatePopupMenu();
    if (menu == nullptr) return nullptr;
    for (const auto& child : parent.Children()) {
        if (child->Visible) Append(menu, *child);
    }
    return menu;
}

void RenderedMenu::Append(HMENU menu, MenuItem& item) {
    UINT flags = MF_STRING;
    flags |= item.Checked ? MF_CHECKED : MF_UNCHECKED;
    flags |= item.Enabled ? MF_ENABLED : MF_GRAYED;
    if (item.HasSubmenu()) {
        HMENU submenu = Build(item);
        if (submenu == nullptr) return;
        if (!::AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                           AnsiFromWide(MenuText(item)).c_str())) {
            ::DestroyMenu(submenu);
        }
        return;
    }
    if (commands_.size() >= kMaxCommandId) return;
    commands_.push_back(&item);
    ::AppendMenuA(menu, flags, commands_.size(), AnsiFromWide(MenuText(item)).c_str());
}

}  // namespace ostrevo
