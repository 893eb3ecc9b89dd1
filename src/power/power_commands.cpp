// The "&Reboot" and "&ShutDown" commands.
#include "power/rebootapi.h"
#include "shell/app_info.h"
#include "shell/form1.h"

namespace ostrevo {
void Form1::mnureboot_Click(int /*index*/) {
    if (platform_.ui.MessageBox(L"Restart?", kAppTitle, kQuestionStyle) == kIdNo) return;
    ExitSystemOrReport(platform_, kTrue16);
}

void Form1::mnushutdown_Click() {
    if (platform_.ui.MessageBox(L"ShutDown?", kAppTitle, kQuestionStyle) == kIdNo) return;
    ExitSystemOrReport(platform_, kFalse16);
}

}  // namespace ostrevo
