// The boot configuration commands: default entry, timeout, restart into an entry.
#include "bootcfg/boot_loader_writer.h"
#include "power/rebootapi.h"
#include "shell/app_info.h"
#include "shell/boot_ini.h"
#include "shell/form1.h"
#include "util/numeric_text.h"

namespace ostrevo {
namespace {

bool IsEntryIndex(const std::vector<MenuItem*>& items, int index) {
    return index >= 1 && static_cast<size_t>(index) < items.size();
}

// Moves the Default OS check mark to the entry the file now names.
void MarkDefault(Form1& form, int index) {
    if (IsEntryIndex(form.mnuDefOs, form.LastDefault)) form.mnuDefOs[form.LastDefault]->Checked = false;
    form.LastDefault = index;
    form.mnuDefOs[index]->Checked = true;
}

}  // namespace

void Form1::SetTimeout(MenuItem& aMenu) {
    std::wstring seconds = aMenu.Caption;
    MenuItem* chosen = &aMenu;
    // The fixed items are captioned with their own value; only "Other" asks for one.
    if (!IsNumeric(seconds, platform_.text)) {
        const std::optional<std::wstring> typed =
            platform_.ui.InputBox(L"New Timeout Value (Seconds)", L"Enter Startup Default Time", L"-1");
        if (!typed || *typed == L"-1" || !IsNumeric(*typed, platform_.text)) return;
        seconds = *typed;
        chosen = &mnuother;
    }
    if (!WriteBootLoaderKey(platform_, kTimeoutKey, seconds)) return;

    if (chosen == &mnuother) mnuother.Caption = L"Other (" + seconds + L")";
    if (LastTimeout != nullptr) LastTimeout->Checked = false;
    chosen->Checked = true;
    LastTimeout = chosen;
}

void Form1::mnuDefOs_Click(int index) {
    if (!IsEntryIndex(mnuDefOs, index)) return;
    const MenuItem& item = *mnuDefOs[index];
    if (!Ask(platform_.ui, L"Set Default to " + item.Caption + L"?")) return;
    if (!WriteBootLoaderKey(platform_, kDefaultKey, item.Tag)) return;
    MarkDefault(*this, index);
}

void Form1::mnuRBOS_Click(int index) {
    if (!IsEntryIndex(mnuRBOS, index)) return;
    const MenuItem& item = *mnuRBOS[index];
    if (!Ask(platform_.ui, L"Restart to " + item.Caption + L"?")) return;
    // Restarting after a failed write would boot the old default while the user expects the new one.
    if (!WriteBootLoaderKey(platform_, kDefaultKey, item.Tag)) return;
    // Both submenus are built entry by entry, so the same index names the same entry; if the restart
    // is refused, the Default OS menu still shows what the file holds.
    if (IsEntryIndex(mnuDefOs, index)) MarkDefault(*this, index);
    ExitSystemOrReport(platform_, kTrue16);
}

}  // namespace ostrevo
