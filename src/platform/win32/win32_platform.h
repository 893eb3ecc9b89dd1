// The real platform: one object of each win32 implementation, bundled as the logic expects them.
#pragma once
#include "platform/platform.h"
#include "platform/win32/tray_window.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_power.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_secrets.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_ui.h"
#include "platform/win32/win32_version.h"

namespace ostrevo {

class Win32Platform {
public:
    explicit Win32Platform(TrayWindow& window) : ui_(window) {}
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform& Get() { return platform_; }

private:
    Win32Profile profile_;
    Win32Files files_;
    Win32Version version_;
    Win32Text text_;
    Win32Ui ui_;
    Win32Power power_;
    Win32Registry registry_;
    Win32Secrets secrets_;
    // Declared last: it refers to the members above.
    Platform platform_{profile_, files_, version_, text_, ui_, power_, registry_, secrets_};
};

}  // namespace ostrevo
