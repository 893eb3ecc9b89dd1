// The menu model rendered into a real popup menu, and the way back from a command id to its item.
#pragma once
#include <vector>

#include "platform/win32/windows_shim.h"

namespace ostrevo {

class MenuItem;

// Holds an HMENU built from the visible children of one model item; destroys it with itself.
class RenderedMenu {
public:
    explicit RenderedMenu(const MenuItem& popup);
    ~RenderedMenu();
    RenderedMenu(const RenderedMenu&) = delete;
    RenderedMenu& operator=(const RenderedMenu&) = delete;

    // Null when the system could not create the menu.
    HMENU Handle() const { return handle_; }
    // The item behind a command id as TrackPopupMenu returns it; null for 0 (dismissed) or unknown ids.
    MenuItem* ItemFor(UINT_PTR commandId) const;

private:
    HMENU Build(const MenuItem& parent);
    void Append(HMENU menu, MenuItem& item);

    std::vector<MenuItem*> commands_;  // command id n is commands_[n - 1]
    HMENU handle_ = nullptr;
};

}  // namespace ostrevo
