// The hidden main form: start-up builds the menu from boot.ini, the tray events show it, and each
// item's command runs here, with every check-mark rule of the menu.
#include "shell/form1.h"

#include "autologon/auto_logon.h"
#include "bootcfg/boot_ini.h"
#include "bootcfg/boot_loader_writer.h"
#include "ini/ini_file.h"
#include "power/rebootapi.h"
#include "shell/app_info.h"
#include "util/app_utils.h"
#include "util/numeric_text.h"
#include "util/profile_read.h"

namespace ostrevo {
namespace {

constexpr const wchar_t* kMissingBootIniMessage =
    L"c:\\boot.ini file not found.  Ostrevo only helps if you have a dual boot system.";

std::wstring OtherCaption(const std::wstring& value) { return L"Other (" + value + L")"; }

}  // namespace

Form1::Form1(Platform& platform)
    : platform_(platform),
      mnupopup(root_.Add(L"mnupopup")),
      MnuTimeout(mnupopup.Add(L"Timeout")),
      mnu0(MnuTimeout.Add(L"0")),
      mnu10(MnuTimeout.Add(L"10")),
      mnu15(MnuTimeout.Add(L"15")),
      mnu20(MnuTimeout.Add(L"20")),
      mnu30(MnuTimeout.Add(L"30")),
      mnu45(MnuTimeout.Add(L"45")),
      mnuother(MnuTimeout.Add(L"Other...")),
      mnureboot{&mnupopup.Add(L"&Reboot")},
      mnushutdown(mnupopup.Add(L"&ShutDown")),
      mnurebootto(mnupopup.Add(L"Reboot To...")),
      mnuRBOS{&mnurebootto.Add(L"mnuOS")},
      mnudefault(mnupopup.Add(L"Default OS")),
      mnuDefOs{&mnudefault.Add(L"mnuDefOs")},
      mnuAutoLogin(mnupopup.Add(L"Auto Login")),
      mnuExit(mnupopup.Add(L"&Exit")) {
    mnupopup.Visible = false;
    // "Other" shows a value from the file or typed in, and has no access key of its own.
    mnuother.Verbatim = true;
    for (MenuItem* item : {&mnu0, &mnu10, &mnu15, &mnu20, &mnu30, &mnu45, &mnuother}) {
        item->Click = [this, item] { SetTimeout(*item); };
    }
    mnureboot[0]->Click = [this] { mnureboot_Click(0); };
    mnuRBOS[0]->Click = [this] { mnuRBOS_Click(0); };
    mnuDefOs[0]->Click = [this] { mnuDefOs_Click(0); };
    mnushutdown.Click = [this] { mnushutdown_Click(); };
    mnuAutoLogin.Click = [this] { mnuAutoLogin_Click(); };
    mnuExit.Click = [this] { mnuExit_Click(); };
}

MenuItem& Form1::AddArrayItem(MenuItem& submenu, std::vector<MenuItem*>& array, void (Form1::*handler)(int)) {
    MenuItem& item = submenu.Add(L"");
    const int index = static_cast<int>(array.size());
    array.push_back(&item);
    item.Click = [this, handler, index] { (this->*handler)(index); };
    return item;
}

bool Form1::Form_Load() {
    if (!BootIniFound()) {
        platform_.ui.EndProgram();
        return false;
    }

    // The keys are kept whole for the menus; OSList is their joined form.
    const std::vector<std::wstring> keys =
        SectionKeys(platform_.profile, platform_.text, kBootIniKeyListPath, kOperatingSystemsSection);
    OSList = JoinList(keys, ListDelimiter());

    cIniFile ini(platform_.profile, platform_.text);
    ini.Path(kBootIniReadPath);
    ini.Section(kOperatingSystemsSection);
    for (const std::wstring& key : keys) {
        // A key too long for the profile calls names no entry they could read or make the default.
        if (FitsProfileCall(platform_.text.ToAnsi(key))) AddEntry(ini, key);
    }
    mnuRBOS[0]->Visible = false;
    mnuRBOS[0]->Enabled = false;
    mnuDefOs[0]->Visible = false;
    mnuDefOs[0]->Enabled = false;

    ini.Section(kBootLoaderSection);
    ini.Key(kTimeoutKey);
    MarkTimeout(TimeoutItemFor(ini.Value()));

    ini.Key(kDefaultKey);
    const std::wstring defaultKey = ini.Value();
    for (size_t i = 1; i < mnuDefOs.size(); ++i) {
        if (mnuDefOs[i]->Tag == defaultKey) MarkDefault(static_cast<int>(i));
    }

    // Outside the NT family there is no Winlogon to ask.
    mnuAutoLogin.Visible = IsWinNT(platform_.version);
    if (mnuAutoLogin.Visible) mnuAutoLogin.Checked = AutoLogonIsOn(platform_);
    return true;
}

void Form1::AddEntry(cIniFile& ini, const std::wstring& key) {
    MenuItem& rebootTo = AddArrayItem(mnurebootto, mnuRBOS, &Form1::mnuRBOS_Click);
    MenuItem& makeDefault = AddArrayItem(mnudefault, mnuDefOs, &Form1::mnuDefOs_Click);
    ini.Key(key);
    const std::wstring caption = DisplayName(ini.Value());
    rebootTo.Caption = caption;
    makeDefault.Caption = caption;
    rebootTo.Tag = ini.Key();
    makeDefault.Tag = ini.Key();
    rebootTo.Verbatim = makeDefault.Verbatim = true;
}

// The fixed item captioned with the value, or "Other" showing it.
MenuItem& Form1::TimeoutItemFor(const std::wstring& timeout) {
    for (MenuItem* fixed : {&mnu0, &mnu10, &mnu15, &mnu20, &mnu30, &mnu45}) {
        if (fixed->Caption == timeout) return *fixed;
    }
    mnuother.Caption = OtherCaption(timeout);
    return mnuother;
}

void Form1::PrimaryMenuEvent() {
    platform_.ui.SetForegroundWindow();
    MenuItem* chosen = platform_.ui.TrackPopupMenu(mnupopup);
    if (chosen != nullptr && chosen->Click) chosen->Click();
}

void Form1::SecondaryMenuEvent() { PrimaryMenuEvent(); }

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
    if (!WriteBootIni(kTimeoutKey, seconds)) return;
    if (chosen == &mnuother) mnuother.Caption = OtherCaption(seconds);
    MarkTimeout(*chosen);
}

void Form1::mnuDefOs_Click(int index) {
    if (!IsEntryIndex(mnuDefOs, index)) return;
    const MenuItem& item = *mnuDefOs[index];
    if (!Ask(L"Set Default to " + item.Caption + L"?")) return;
    if (!WriteBootIni(kDefaultKey, item.Tag)) return;
    MarkDefault(index);
}

void Form1::mnuRBOS_Click(int index) {
    if (!IsEntryIndex(mnuRBOS, index)) return;
    const MenuItem& item = *mnuRBOS[index];
    if (!Ask(L"Restart to " + item.Caption + L"?")) return;
    // Restarting after a failed write would boot the old default while the user expects the new one.
    if (!WriteBootIni(kDefaultKey, item.Tag)) return;
    // Both submenus are built entry by entry, so the same index names the same entry; if the restart
    // is refused, the Default OS menu still shows what the file holds.
    if (IsEntryIndex(mnuDefOs, index)) MarkDefault(index);
    RestartOrShutDown(true);
}

void Form1::mnureboot_Click(int /*index*/) {
    if (Ask(L"Restart?")) RestartOrShutDown(true);
}

void Form1::mnushutdown_Click() {
    if (Ask(L"ShutDown?")) RestartOrShutDown(false);
}

// The check mark decides, not the registry; it moves only when the registry did.
void Form1::mnuAutoLogin_Click() {
    if (mnuAutoLogin.Checked) {
        if (Report(SwitchAutoLogonOff(platform_))) mnuAutoLogin.Checked = false;
        return;
    }
    if (Report(SwitchAutoLogonOn(platform_))) mnuAutoLogin.Checked = true;
}

void Form1::mnuExit_Click() { platform_.ui.EndProgram(); }

void Form1::MarkTimeout(MenuItem& item) {
    if (LastTimeout != nullptr) LastTimeout->Checked = false;
    item.Checked = true;
    LastTimeout = &item;
}

void Form1::MarkDefault(int index) {
    if (IsEntryIndex(mnuDefOs, LastDefault)) mnuDefOs[LastDefault]->Checked = false;
    LastDefault = index;
    mnuDefOs[index]->Checked = true;
}

bool Form1::IsEntryIndex(const std::vector<MenuItem*>& items, int index) const {
    return index >= 1 && static_cast<size_t>(index) < items.size();
}

bool Form1::Ask(const std::wstring& question) {
    return platform_.ui.MessageBox(question, kAppTitle, kQuestionStyle) == kIdYes;
}

bool Form1::BootIniFound() {
    if (FileExists(platform_.files, platform_.text, kBootIniExistsPath)) return true;
    platform_.ui.MessageBox(kMissingBootIniMessage, kAppTitle, kMbOk);
    return false;
}

// Gone since start-up, the file is not written: a profile write would make a new one holding this one
// key. It may come back, so the program stays.
bool Form1::WriteBootIni(const wchar_t* key, const std::wstring& value) {
    return BootIniFound() && Report(WriteBootLoaderKey(platform_, key, value));
}

bool Form1::Report(const Outcome& outcome) {
    if (!outcome.message.empty()) platform_.ui.MessageBox(outcome.message, kAppTitle, kFailureStyle);
    return outcome.done;
}

void Form1::RestartOrShutDown(bool restart) {
    const ErrorCode refused = ExitSystem(platform_, false, restart);
    if (refused == kErrorSuccess) return;
    Report(Failed(platform_.text,
                  restart ? L"Could not restart the computer." : L"Could not shut down the computer.",
                  refused));
}

}  // namespace ostrevo
