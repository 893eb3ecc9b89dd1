// ostrevo.exe: builds the real platform and the hidden main window, runs start-up, then the tray.
#include "app/resource.h"
#include "platform/win32/win32_platform.h"
// After <windows.h>, which it needs.
#include <commctrl.h>

#include "shell/app_info.h"
#include "shell/form1.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    // The manifest asks for common controls 6; on XP its window classes (the buttons and edits of
    // every message box and dialog) exist only once the library has been loaded and initialised.
    ::InitCommonControls();
    ostrevo::TrayWindow window;
    if (!window.Create(instance, IDI_APP, ostrevo::kAppTitle)) return 1;
    ostrevo::Win32Platform platform(window);
    ostrevo::Form1 form(platform.Get());
    if (!form.Form_Load()) return 0;

    // Only now: no tray event may reach the form before its start-up has ended.
    window.SetEvents({[&form] { form.PrimaryMenuEvent(); }, [&form] { form.SecondaryMenuEvent(); }});
    window.ShowIcon();

    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
