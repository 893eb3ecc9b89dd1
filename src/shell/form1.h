// The hidden main form: start-up from boot.ini, the menu it owns, the tray handlers and every command.
#pragma once
#include <string>
#include <vector>

#include "ini/ini_file.h"
#include "platform/platform.h"
#include "shell/menu_item.h"
#include "util/outcome.h"

namespace ostrevo {

class Form1 {
    // Declared first: the named menu references below bind into this tree.
    Platform& platform_;
    MenuItem root_{L""};

public:
    explicit Form1(Platform& platform);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Start-up. Returns false when the program has ended (no boot.ini); the caller must stop then.
    bool Form_Load();

    // The two tray events the program handles.
    void PrimaryMenuEvent();
    void SecondaryMenuEvent();

    // The menu tree, in stored order. `mnupopup` holds the popup and is itself never shown.
    MenuItem& mnupopup;
    MenuItem& MnuTimeout;
    MenuItem& mnu0;
    MenuItem& mnu10;
    MenuItem& mnu15;
    MenuItem& mnu20;
    MenuItem& mnu30;
    MenuItem& mnu45;
    MenuItem& mnuother;
    std::vector<MenuItem*> mnureboot;
    MenuItem& mnushutdown;
    MenuItem& mnurebootto;
    std::vector<MenuItem*> mnuRBOS;
    MenuItem& mnudefault;
    std::vector<MenuItem*> mnuDefOs;
    MenuItem& mnuAutoLogin;
    MenuItem& mnuExit;

    // Keys of all boot entries joined by the list delimiter, in file order.
    std::wstring OSList;
    // Index of the checked mnuDefOs item, 0 for none.
    int LastDefault = 0;
    // The timeout item that carries the check mark.
    MenuItem* LastTimeout = nullptr;

    // Writes a new boot-menu timeout chosen through one of the timeout items.
    void SetTimeout(MenuItem& aMenu);

    // Click handlers.
    void mnuExit_Click();
    void mnuDefOs_Click(int index);
    void mnuRBOS_Click(int index);
    void mnureboot_Click(int index);
    void mnushutdown_Click();
    void mnuAutoLogin_Click();

private:
    // One item in each of "Reboot To..." and "Default OS" for the entry of `key`.
    void AddEntry(cIniFile& ini, const std::wstring& key);
    MenuItem& TimeoutItemFor(const std::wstring& timeout);
    MenuItem& AddArrayItem(MenuItem& submenu, std::vector<MenuItem*>& array, void (Form1::*handler)(int));
    // The check-mark rules: one timeout item, at most one default entry.
    void MarkTimeout(MenuItem& item);
    void MarkDefault(int index);
    bool IsEntryIndex(const std::vector<MenuItem*>& items, int index) const;
    // Goes ahead only on an explicit Yes: a box that could not be shown answers 0, and that must not
    // restart the machine or rewrite boot.ini unasked.
    bool Ask(const std::wstring& question);
    // Whether boot.ini is there; when it is not, the user is told.
    bool BootIniFound();
    // Writes a key of [boot loader] when boot.ini is still there, telling the user what went wrong;
    // true when it was written.
    bool WriteBootIni(const wchar_t* key, const std::wstring& value);
    // Tells the user what the outcome has to say, if anything; true when the step was done.
    bool Report(const Outcome& outcome);
    void RestartOrShutDown(bool restart);
};

}  // namespace ostrevo
