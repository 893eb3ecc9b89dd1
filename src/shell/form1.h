// The hidden main form: start-up from boot.ini, the menu it owns, the tray handlers and exit.
#pragma once
#include <string>
#include <vector>

#include "platform/platform.h"
#include "shell/menu_item.h"

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
    void Form_LostFocus();

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

    bool Ended() const { return ended_; }

private:
    void EndProgram();
    // Checks the timeout item for a Timeout value; anything but a fixed caption is "Other (value)".
    void MarkTimeout(const std::wstring& timeout);
    MenuItem& AddArrayItem(MenuItem& submenu, std::vector<MenuItem*>& array, void (Form1::*handler)(int));

    bool ended_ = false;
};

}  // namespace ostrevo
