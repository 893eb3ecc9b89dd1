// The "&Reboot" and "&ShutDown" commands.
#include "power/rebootapi.h"
#include "shell/app_info.h"
#include "shell/form1.h"

namespace ostrevo {
void Form1::mnureboot_Click(int /*index*/) {
    if (!Ask(platform_.ui, L"Restart?")) return;
    ExitSystemOrReport(platform_, kTrue16);
}

void Form1::mnushutdown_Click() {
    if (!Ask(platform_.ui, L"ShutDown?")) return;
    ExitSystemOrReport(platform_, kFalse16);
}

}  // namespace ostrevo
