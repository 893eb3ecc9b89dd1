// The program as its user meets it, over the simulated platform: start-up from boot.ini, the tray
// events, and every command with its questions, writes, requests and reports.
#include "shell/form1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "bootcfg/boot_loader_writer.h"
#include "test_platform.h"
#include "util/app_utils.h"

namespace ostrevo {
namespace {

using Texts = std::vector<std::wstring>;
using Strings = std::vector<std::string>;
const char kBoot[] = "C:\\boot.ini";
const std::string kAlpha = "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS";
const std::string kBeta = "multi(0)disk(0)rdisk(0)partition(2)\\WINNT";
const std::string kEntries =
    "[operating systems]\r\n" + kAlpha + "=\"Alpha System\" /fastdetect\r\n" + kBeta +
    "=Beta System /sos\r\nC:\\CMDCONS\\BOOTSECT.DAT=\"Gamma & Co\r\nc:\\cmdcons\\bootsect.dat=x\r\n";
std::string BootIni(const std::string& defaultKey = kBeta, const std::string& timeout = "30") {
    return "[boot loader]\r\ntimeout=" + timeout + "\r\ndefault=" + defaultKey + "\r\n" + kEntries;
}
const uint32_t kReadOnlyHiddenSystem = kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem;
const char kWinlogon[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const wchar_t kDenied[] = L"Could not write c:\\boot.ini.\n\nAccess is denied.";

// The visible menu: captions, '*' for a check mark, '!' for a disabled item, submenus in brackets.
std::string Describe(const MenuItem& menu) {
    std::string text;
    for (const auto& item : menu.Children()) {
        if (!item->Visible) continue;
        text += (text.empty() ? "" : "|") + std::string(item->Caption.begin(), item->Caption.end()) +
                (item->Checked ? "*" : "") + (item->Enabled ? "" : "!");
        if (item->HasSubmenu()) text += "[" + Describe(*item) + "]";
    }
    return text;
}

// Notes what boot.ini held when the restart was asked for.
struct WatchingPower : SimPower {
    explicit WatchingPower(SimDisk& disk) : disk(disk) {}
    ErrorCode RequestExit(uint32_t flags) override {
        fileAtRequest = disk.Text(kBoot);
        return SimPower::RequestExit(flags);
    }
    SimDisk& disk;
    std::string fileAtRequest;
};

// Refuses the value named `refused`; after that, also any change of those in `lockedAfterwards`.
struct RefusingRegistry : SimRegistry {
    ErrorCode WriteValue(RegKey root, const std::string& path, const std::string& name, RegistryView view,
                         const RegValue& value) override {
        refusedOnce = refusedOnce || name == refused;
        if (name == refused || Locked(name)) return kErrorAccessDenied;
        return SimRegistry::WriteValue(root, path, name, view, value);
    }
    ErrorCode DeleteValue(RegKey root, const std::string& path, const std::string& name,
                          RegistryView view) override {
        return Locked(name) ? kErrorAccessDenied : SimRegistry::DeleteValue(root, path, name, view);
    }
    bool Locked(const std::string& name) const {
        return refusedOnce && std::count(lockedAfterwards.begin(), lockedAfterwards.end(), name) != 0;
    }
    std::string refused;
    Strings lockedAfterwards;
    bool refusedOnce = false;
};

class Form1Test : public ::testing::Test {
protected:
    Form1& Load(const std::string& text = BootIni(), uint32_t attributes = kReadOnlyHiddenSystem) {
        p.disk.Put(kBoot, text, attributes);
        form = std::make_unique<Form1>(platform);
        EXPECT_TRUE(form->Form_Load());
        return *form;
    }
    std::string Menu() { return Describe(form->mnupopup); }
    std::string Sub(MenuItem& item) { return Describe(item); }
    Texts Messages() {
        Texts texts;
        for (const SimUi::Message& m : p.ui.messages) texts.push_back(m.text);
        return texts;
    }
    std::optional<std::string> Winlogon(const std::string& name) {
        return registry.GetString(kHkeyLocalMachine, kWinlogon, name);
    }
    void Winlogon(const std::string& name, const std::string& value) {
        registry.SetString(kHkeyLocalMachine, kWinlogon, name, value);
    }
    // Queues a user who notes what the dialog opened with, types the details and presses OK.
    void Types(const std::wstring& user, const std::wstring& domain, const std::wstring& password) {
        p.ui.dialogs.push_back([=](Form2& d) {
            opened = {d.edtusername.Text(), d.edtdomain.Text(), d.edtpassword.Text(),
                      d.btnok.Enabled ? L"ok" : L"-"};
            d.edtusername.SetText(user);
            d.edtdomain.SetText(domain);
            d.edtpassword.SetText(password);
            d.btnok_Click();
        });
    }

    TestPlatform p;
    WatchingPower power{p.disk};
    RefusingRegistry registry;
    Platform platform{p.disk, p.disk, p.version, p.text, p.ui, power, registry};
    std::unique_ptr<Form1> form;
    Texts opened;
};

TEST_F(Form1Test, StartUpBuildsAndMarksTheMenuFromTheFile) {
    Form1& f = Load();
    EXPECT_EQ(Menu(),
              "Timeout[0|10|15|20|30*|45|Other...]|&Reboot|&ShutDown|Reboot To...[Alpha System|"
              "Beta System /sos|Gamma & Co]|Default OS[Alpha System|Beta System /sos*|Gamma & Co]|Auto "
              "Login|&Exit");
    const Texts keys = {std::wstring(kAlpha.begin(), kAlpha.end()), std::wstring(kBeta.begin(), kBeta.end()),
                        L"C:\\CMDCONS\\BOOTSECT.DAT"};
    for (size_t i = 1; i < 4; ++i)
        EXPECT_EQ(f.mnuDefOs[i]->Tag + f.mnuRBOS[i]->Tag, keys[i - 1] + keys[i - 1]);
    EXPECT_EQ(f.OSList, JoinList(keys, ListDelimiter()));
    EXPECT_FALSE(f.mnuDefOs[0]->Visible || f.mnuDefOs[0]->Enabled || f.mnuRBOS[0]->Visible ||
                 f.mnuRBOS[0]->Enabled);
    EXPECT_EQ(f.LastDefault, 2);
    EXPECT_EQ(f.LastTimeout, &f.mnu30);

    const std::tuple<std::string, std::string, int> cases[] = {
        {BootIni(kAlpha, "0"), "0*|10|15|20|30|45|Other...", 1},
        {BootIni(kBeta, "030"), "0|10|15|20|30|45|Other (030)*", 2},
        {BootIni("MULTI(0)DISK(0)RDISK(0)PARTITION(1)\\WINDOWS", "45"), "0|10|15|20|30|45*|Other...", 0},
        {kEntries, "0|10|15|20|30|45|Other ()*", 0},
    };
    for (const auto& [file, timeouts, lastDefault] : cases) {
        Load(file);
        EXPECT_EQ(Sub(form->MnuTimeout), timeouts);
        EXPECT_EQ(form->LastDefault, lastDefault);
        const std::string menu = Menu();
        EXPECT_EQ(std::count(menu.begin(), menu.end(), '*'), 1 + (lastDefault != 0));
    }
    // A key too long for the profile calls names nothing they could read or write.
    Load("[operating systems]\r\n" + std::string(40000, 'k') + "=long\r\nC:\\=\"Short\"\r\n");
    EXPECT_EQ(Sub(form->mnudefault), "Short");
}

TEST_F(Form1Test, WithoutBootIniOnlyTheMessageAndTheEnd) {
    Form1 f(platform);
    EXPECT_FALSE(f.Form_Load());
    ASSERT_EQ(p.ui.messages.size(), 1u);
    EXPECT_EQ(p.ui.messages[0].text,
              L"c:\\boot.ini file not found.  Ostrevo only helps if you have a dual boot system.");
    EXPECT_EQ(p.ui.messages[0].caption + std::to_wstring(p.ui.messages[0].style), L"Ostrevo0");
    EXPECT_EQ(p.ui.events, Strings{"end"});
    EXPECT_EQ(p.disk.reads, 0);
}

TEST_F(Form1Test, TheAutoLoginItemShowsTheRegistryOnTheNtFamilyOnly) {
    for (const char* on : {"1", "1 ", "0"}) {
        Winlogon("AutoAdminLogon", on);
        EXPECT_EQ(Load().mnuAutoLogin.Checked, std::string(on) == "1") << on;
    }
    registry.Set(kHkeyLocalMachine, kWinlogon, "AutoAdminLogon", {kRegDword, {1, 0, 0, 0}});
    EXPECT_TRUE(Load().mnuAutoLogin.Checked);
    p.version.platformId = kVerPlatformWin32Windows;
    registry.queries.clear();
    Form1& f = Load();
    EXPECT_FALSE(f.mnuAutoLogin.Visible || f.mnuAutoLogin.Checked);
    EXPECT_TRUE(registry.queries.empty());
}

TEST_F(Form1Test, EitherTrayEventShowsTheMenuAndRunsTheChoice) {
    Form1& f = Load();
    p.ui.choices = {{L"Timeout", L"45"}, {}, {L"&Exit"}};
    f.PrimaryMenuEvent();
    f.SecondaryMenuEvent();
    f.SecondaryMenuEvent();
    EXPECT_EQ(p.ui.events,
              (Strings{"foreground", "popup", "foreground", "popup", "foreground", "popup", "end"}));
    EXPECT_EQ(p.disk.Text(kBoot), BootIni(kBeta, "45"));
}

TEST_F(Form1Test, TimeoutItemsWriteAndMarkAndOtherAsks) {
    Form1& f = Load();
    f.mnu20.Click();
    EXPECT_EQ(p.disk.Text(kBoot), BootIni(kBeta, "20"));
    p.ui.inputs = {L" 7", L"-1", L"abc", L"", std::nullopt, L"2.5"};
    for (int i = 0; i < 5; ++i) f.mnuother.Click();
    EXPECT_EQ(p.disk.Text(kBoot), BootIni(kBeta, " 7"));
    EXPECT_EQ(Sub(f.MnuTimeout), "0|10|15|20|30|45|Other ( 7)*");
    EXPECT_EQ(p.ui.inputBoxes.back(), L"New Timeout Value (Seconds)|Enter Startup Default Time|-1");
    f.mnu10.Click();
    EXPECT_EQ(Sub(f.MnuTimeout), "0|10*|15|20|30|45|Other ( 7)");
    f.mnuother.Click();
    EXPECT_EQ(Sub(f.MnuTimeout), "0|10|15|20|30|45|Other (2.5)*");
    EXPECT_EQ(f.LastTimeout, &f.mnuother);
    EXPECT_EQ(p.disk.GetAttributes(kBoot), kReadOnlyHiddenSystem);
    p.disk.DenyWrites(kBoot);
    f.mnu0.Click();
    EXPECT_EQ(Messages(), Texts{kDenied});
    EXPECT_EQ(p.ui.messages[0].style, 16u);
    EXPECT_EQ(Sub(f.MnuTimeout), "0|10|15|20|30|45|Other (2.5)*");
}

TEST_F(Form1Test, DefaultOsAsksThenWritesTheKeyAndMovesTheMark) {
    Form1& f = Load();
    p.ui.answers = {kIdYes, kIdNo, 0, kIdYes, kIdYes};
    f.mnuDefOs[1]->Click();
    EXPECT_EQ(p.ui.messages[0].text + p.ui.messages[0].caption, L"Set Default to Alpha System?Ostrevo");
    EXPECT_EQ(p.ui.messages[0].style, 52u);
    EXPECT_EQ(p.disk.Text(kBoot), BootIni(kAlpha));
    f.mnuDefOs[3]->Click();  // No
    f.mnuDefOs[3]->Click();  // a box that could not be shown
    f.mnuDefOs_Click(0);     // the template asks nothing
    f.mnuDefOs[1]->Click();
    EXPECT_EQ(p.disk.Text(kBoot), BootIni(kAlpha));
    EXPECT_EQ(Sub(f.mnudefault), "Alpha System*|Beta System /sos|Gamma & Co");
    p.disk.DenyWrites(kBoot);
    f.mnuDefOs[3]->Click();
    EXPECT_EQ(Messages().back(), kDenied);
    EXPECT_EQ(Sub(f.mnudefault), "Alpha System*|Beta System /sos|Gamma & Co");
    EXPECT_EQ(f.LastDefault, 1);
    EXPECT_TRUE(power.calls.empty());
}

TEST_F(Form1Test, RebootToWritesTheDefaultThenRestarts) {
    Form1& f = Load();
    p.ui.answers = {kIdNo, kIdYes, kIdYes, kIdYes};
    f.mnuRBOS[3]->Click();
    EXPECT_TRUE(power.calls.empty());
    f.mnuRBOS[3]->Click();
    EXPECT_EQ(Messages()[1], L"Restart to Gamma & Co?");
    EXPECT_EQ(power.fileAtRequest, BootIni("C:\\CMDCONS\\BOOTSECT.DAT"));
    EXPECT_EQ(power.calls, (Strings{"privilege", "exit 2"}));
    EXPECT_EQ(Sub(f.mnudefault), "Alpha System|Beta System /sos|Gamma & Co*");  // the file's default
    power.exitRefusal = kErrorAccessDenied;
    f.mnuRBOS[1]->Click();
    EXPECT_EQ(Messages().back(), L"Could not restart the computer.\n\nAccess is denied.");
    EXPECT_EQ(f.LastDefault, 1);
    p.disk.DenyWrites(kBoot);
    power.calls.clear();
    f.mnuRBOS[2]->Click();
    EXPECT_TRUE(power.calls.empty());  // no restart into an entry the file does not name
}

TEST_F(Form1Test, RestartAndShutdownAskAndRequestOnlyOnYes) {
    Form1& f = Load();
    p.ui.answers = {kIdNo, 0, kIdYes, kIdYes, kIdYes, kIdYes};
    for (int i = 0; i < 2; ++i) {
        f.mnureboot[0]->Click();
        f.mnushutdown.Click();
    }
    EXPECT_EQ(Messages(), (Texts{L"Restart?", L"ShutDown?", L"Restart?", L"ShutDown?"}));
    EXPECT_EQ(power.calls, (Strings{"privilege", "exit 2", "privilege", "exit 1"}));
    p.version.platformId = kVerPlatformWin32Windows;  // no privileges outside the NT family
    f.mnureboot[0]->Click();
    EXPECT_EQ(power.calls.back(), "exit 2");
    EXPECT_EQ(power.calls.size(), 5u);
    p.version.platformId = kVerPlatformWin32Nt;
    power.privilegeRefusal = 1300;
    f.mnushutdown.Click();
    EXPECT_EQ(Messages().back(), L"Could not shut down the computer.\n\nSystem error 1300.");
    EXPECT_EQ(power.calls.back(), "privilege");
}

TEST_F(Form1Test, AutoLoginOnAsksForTheDetailsAndOffForgetsThePassword) {
    Winlogon("DefaultUserName", "alice");
    Winlogon("DefaultDomain", "OLD");
    Winlogon("DefaultPassword", "secret");
    Form1& f = Load();
    Types(L"", L"WORK", L"x");  // no user name: OK cannot be pressed
    f.mnuAutoLogin.Click();
    EXPECT_EQ(opened, (Texts{L"alice", L"OLD", L"", L"ok"}));
    Winlogon("DefaultDomainName", "NEW");
    registry.writes.clear();
    Types(L"  bob ", L" 007 ", L" p w ");
    f.mnuAutoLogin.Click();
    EXPECT_EQ(opened[1], L"NEW");
    EXPECT_TRUE(f.mnuAutoLogin.Checked);
    EXPECT_EQ(registry.writes, (Strings{"AutoAdminLogon=1", "DefaultUserName=1", "DefaultDomain=1",
                                        "DefaultDomainName=1", "DefaultPassword=1"}));
    EXPECT_EQ(
        (std::vector<std::optional<std::string>>{Winlogon("AutoAdminLogon"), Winlogon("DefaultUserName"),
                                                 Winlogon("DefaultDomain"), Winlogon("DefaultPassword")}),
        (std::vector<std::optional<std::string>>{"1", "bob", "007", " p w "}));
    EXPECT_EQ(std::count(registry.queries.begin(), registry.queries.end(), "DefaultPassword"), 0);
    f.mnuAutoLogin.Click();
    EXPECT_FALSE(f.mnuAutoLogin.Checked);
    EXPECT_EQ(Winlogon("AutoAdminLogon"), "0");
    EXPECT_EQ(Winlogon("DefaultPassword"), std::nullopt);
    EXPECT_EQ(Winlogon("DefaultUserName"), "bob");
    EXPECT_TRUE(p.ui.messages.empty());
}

TEST_F(Form1Test, AutoLoginRefusedIsToldAndEverythingChangedIsPutBack) {
    Winlogon("AutoAdminLogon", "0");
    registry.Set(kHkeyLocalMachine, kWinlogon, "DefaultUserName", {kRegDword, {7, 0, 0, 0}});
    Form1& f = Load();
    const auto all = [this] {
        std::vector<std::optional<RegValue>> values;
        for (const char* name : {"AutoAdminLogon", "DefaultUserName", "DefaultDomain", "DefaultDomainName"})
            values.push_back(registry.Get(kHkeyLocalMachine, kWinlogon, name));
        return values;
    };
    const auto before = all();
    registry.refused = "DefaultPassword";
    Types(L"bob", L"WORK", L"x");
    f.mnuAutoLogin.Click();
    EXPECT_EQ(opened[0], L"7");
    EXPECT_FALSE(f.mnuAutoLogin.Checked);
    EXPECT_EQ(all(), before);
    registry.refusedOnce = false;
    registry.lockedAfterwards = {"AutoAdminLogon", "DefaultDomain"};
    Types(L"bob", L"WORK", L"x");
    f.mnuAutoLogin.Click();
    const std::wstring refused = L"Could not switch automatic logon on.\n\nAccess is denied.";
    EXPECT_EQ(Messages(),
              (Texts{refused, refused + L"\n\nThese values could not be put back as they were and "
                                        L"may be left changed: AutoAdminLogon, DefaultDomain."}));
    f.mnuAutoLogin.Checked = true;
    registry.refused = "AutoAdminLogon";
    f.mnuAutoLogin.Click();
    EXPECT_TRUE(f.mnuAutoLogin.Checked);  // still on
    registry.refused.clear();
    registry.lockedAfterwards = {"DefaultPassword"};
    f.mnuAutoLogin.Click();
    EXPECT_FALSE(f.mnuAutoLogin.Checked);  // off, with the password left behind and told
    EXPECT_EQ(Messages().back(),
              L"Automatic logon is off, but the stored password could not be removed.\n\nAccess is denied.");
}

TEST(Form2Test, OkNeedsAUserNameWhicheverBoxChanges) {
    Form2 d;
    EXPECT_EQ(d.edtusername.Text() + (d.btnok.Enabled ? L"+" : L"-"), L"Text1-");
    d.edtusername.SetText(L"Text1");  // no change, no event
    EXPECT_FALSE(d.btnok.Enabled);
    d.edtpassword.SetText(L"");
    EXPECT_TRUE(d.btnok.Enabled);
    d.edtusername.SetText(L"");
    d.btnok_Click();
    d.edtdomain.SetText(L"  ");
    EXPECT_EQ(d.Tag + (d.btnok.Enabled ? L"+" : L"-"), L"-");
    d.edtusername.SetText(L" ");
    d.btnok_Click();
    EXPECT_EQ(d.Tag, L"OK");
    d.Command2_Click();
    EXPECT_EQ(d.Tag, L"");
}

// Reports success for its first write but stores something else, as the real calls do with a key too
// long for them; later writes go through, are refused, or are garbled too.
struct GarblingDisk : SimDisk {
    enum Later { kWritten, kRefused, kGarbled } later = kWritten;
    int32_t WritePrivateProfileStringA(const char* section, const char* key, const char* text,
                                       const char* path) override {
        if (++calls == 1 || later == kGarbled)
            return SimDisk::WritePrivateProfileStringA(section, key, "?@?", path);
        if (later == kRefused) DenyWrites(path);
        return SimDisk::WritePrivateProfileStringA(section, key, text, path);
    }
    int calls = 0;
};

TEST(BootLoaderWriterTest, AWriteThatDoesNotReadBackIsPutBackAndNeverClaimedOtherwise) {
    const std::wstring head =
        L"Could not write c:\\boot.ini.\n\nThe new value did not read back as written, ";
    const std::wstring back = head + L"so the old one was put back.";
    const std::wstring notBack = head + L"and the old one could not be put back.";
    const std::tuple<GarblingDisk::Later, std::string, std::wstring, int, std::string> cases[] = {
        {GarblingDisk::kWritten, BootIni(), back, 2, BootIni()},
        {GarblingDisk::kWritten, kEntries, back, 2, kEntries + "[boot loader]\r\n"},
        {GarblingDisk::kRefused, BootIni(), notBack + L"\n\nAccess is denied.", 2, BootIni("?@?")},
        {GarblingDisk::kGarbled, BootIni(), notBack, 2, BootIni("?@?")},
        {GarblingDisk::kWritten, BootIni(std::string(40000, 'k')), notBack, 1, BootIni("?@?")}};
    for (const auto& [later, file, message, calls, after] : cases) {
        TestPlatform q;
        GarblingDisk disk;
        disk.later = later;
        disk.Put(kBoot, file, kReadOnlyHiddenSystem);
        Platform garbled{disk, disk, q.version, q.text, q.ui, q.power, q.registry};
        const Outcome outcome = WriteBootLoaderKey(garbled, L"Default", L"x");
        EXPECT_FALSE(outcome.done);
        EXPECT_EQ(outcome.message, message);
        EXPECT_EQ(disk.calls, calls);
        EXPECT_EQ(disk.Text(kBoot), after);
    }
}

TEST(BootLoaderWriterTest, WhatTheReadTrimsStillCountsAsKeptAndAttributesStay) {
    TestPlatform p;
    p.disk.Put(kBoot, BootIni(), kFileAttributeArchive);
    for (const wchar_t* value : {L" 8", L"9 ", L"\"q\"", L"\"\"", L"'s'"}) {
        EXPECT_TRUE(WriteBootLoaderKey(p.platform, L"Timeout", value).done) << value;
    }
    EXPECT_EQ(p.disk.attributeChanges, 0);  // nothing to lift from a file that is not read-only
    p.disk.SetAttributes(kBoot, kFileAttributeReadOnly);
    EXPECT_TRUE(WriteBootLoaderKey(p.platform, L"Timeout", L"5").done);
    EXPECT_EQ(p.disk.GetAttributes(kBoot), kFileAttributeReadOnly);
    const Outcome tooLong = WriteBootLoaderKey(p.platform, L"Timeout", std::wstring(32767, L'9'));
    EXPECT_FALSE(tooLong.done);
    EXPECT_EQ(tooLong.message, L"Could not write c:\\boot.ini.\n\nThe value is too long for the file.");
    EXPECT_EQ(p.disk.Text(kBoot), BootIni(kBeta, "5"));
}

}  // namespace
}  // namespace ostrevo
