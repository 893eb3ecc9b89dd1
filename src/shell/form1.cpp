// The hidden main form: start-up builds the menu from boot.ini; the tray events show it.
#include "shell/form1.h"

#include "autologon/auto_logon.h"
#include "ini/ini_file.h"
#include "shell/app_info.h"
#include "shell/boot_ini.h"
#include "util/app_utils.h"

namespace ostrevo {
namespace {

constexpr const wchar_t* kMissingBootIniMessage =
    L"c:\\boot.ini file not found.  Ostrevo only helps if you have a dual boot system.";

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
    if (!FileExists(platform_.files, platform_.text, kBootIniExistsPath)) {
        platform_.ui.MessageBox(kMissingBootIniMessage, kAppTitle, kMbOk);
        EndProgram();
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
        if (platform_.text.ToAnsi(key).size() > kLongestProfileArgument) continue;
        MenuItem& rebootTo = AddArrayItem(mnurebootto, mnuRBOS, &Form1::mnuRBOS_Click);
        MenuItem& makeDefault = AddArrayItem(mnudefault, mnuDefOs, &Form1::mnuDefOs_Click);
        ini.Key(key);
        const std::wstring caption = DisplayName(ini.Value());
        rebootTo.Caption = caption;
        makeDefault.Caption = caption;
        rebootTo.Tag = ini.Key();
        makeDefault.Tag = ini.Key();
    }
    mnuRBOS[0]->Visible = false;
    mnuRBOS[0]->Enabled = false;
    mnuDefOs[0]->Visible = false;
    mnuDefOs[0]->Enabled = false;

    ini.Section(kBootLoaderSection);
    ini.Key(kTimeoutKey);
    MarkTimeout(ini.Value());

    ini.Key(kDefaultKey);
    const std::wstring defaultKey = ini.Value();
    for (size_t i = 1; i < mnuDefOs.size(); ++i) {
        mnuDefOs[i]->Checked = mnuDefOs[i]->Tag == defaultKey;
        if (mnuDefOs[i]->Checked) LastDefault = static_cast<int>(i);
    }

    AutoLogonStartup(*this, platform_);
    return true;
}

void Form1::MarkTimeout(const std::wstring& timeout) {
    MenuItem* item = &mnuother;
    for (MenuItem* fixed : {&mnu0, &mnu10, &mnu15, &mnu20, &mnu30, &mnu45}) {
        if (fixed->Caption == timeout) {
            item = fixed;
            break;
        }
    }
    if (item == &mnuother) mnuother.Caption = L"Other (" + timeout + L")";
    item->Checked = true;
    LastTimeout = item;
}

void Form1::PrimaryMenuEvent() {
    platform_.ui.SetForegroundWindow();
    MenuItem* chosen = platform_.ui.TrackPopupMenu(mnupopup);
    if (chosen != nullptr && chosen->Click) chosen->Click();
}

void Form1::SecondaryMenuEvent() { PrimaryMenuEvent(); }

void Form1::Form_LostFocus() { EndProgram(); }

void Form1::mnuExit_Click() { EndProgram(); }

void Form1::mnuAutoLogin_Click() { AutoLogonCommand(*this, platform_); }

void Form1::EndProgram() {
    ended_ = true;
    platform_.ui.EndProgram();
}

}  // namespace ostrevo
