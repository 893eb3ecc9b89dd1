// The native unit tests, over the simulated platform. First the program through its menu: start-up from
// boot.ini, every command with every answer, the boot.ini writer's ways of failing, and Auto Login over
// the Winlogon values; then the parts beneath: reading through the profile calls, cIniFile and its
// window placement, delimited lists, numbers under the user's separators, registry values, and the
// texts and checks of the shared utilities.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "bootcfg/boot_loader_writer.h"
#include "ini/ini_file.h"
#include "platform/sim/sim_platform.h"
#include "registry/registry_utils.h"
#include "shell/form1.h"
#include "util/app_utils.h"
#include "util/numeric_text.h"
#include "util/outcome.h"
#include "util/profile_read.h"

namespace ostrevo {
namespace {

// What the tests share: the simulated platform, the program's main form on it, and what the platform
// was asked, in a form one comparison checks.
using Strings = std::vector<std::string>;
constexpr char kBoot[] = "C:\\boot.ini";
constexpr char kWinlogon[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr uint32_t kReadOnlyHidden = kFileAttributeReadOnly | kFileAttributeHidden;

RegValue Sz(const std::string& text) { return {kRegSz, {text.c_str(), text.c_str() + text.size() + 1}}; }
RegValue Dword(uint32_t n) {
    return {kRegDword, {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)}};
}
// A string value as its text, any other as "TYPE:HEX".
std::string Shown(const RegValue& value) {
    if (value.type == kRegSz && !value.data.empty())
        return std::string(value.data.begin(), value.data.end() - 1);
    std::string hex = std::to_string(value.type) + ":";
    for (uint8_t byte : value.data)
        hex += "0123456789ABCDEF"[byte >> 4] + std::string(1, "0123456789ABCDEF"[byte & 15]);
    return hex;
}

class Unit : public testing::Test {
protected:
    // False when the program ended before showing its icon.
    bool Start() {
        form = std::make_unique<Form1>(p.platform);
        return form->Form_Load();
    }
    // Opens the popup and chooses `item`.
    void Click(MenuItem* item) {
        p.ui.chosen = item;
        form->PrimaryMenuEvent();
    }
    // The captions of the checked items, in menu order.
    std::string Marks(const MenuItem* item = nullptr) {
        std::string marks;
        for (const auto& child : (item != nullptr ? *item : form->mnupopup).Children())
            marks += (child->Checked ? "|" + Latin1(child->Caption) : "") + Marks(child.get());
        return marks;
    }
    void Seed(const std::string& name, const RegValue& value) {
        p.registry.values[SimRegistry::Where(kWinlogon, name, view)] = value;
    }
    // The Winlogon values present in `view`, "Name=value" each.
    std::string Winlogon() {
        std::string seen;
        for (const char* name :
             {"AutoAdminLogon", "DefaultUserName", "DefaultDomain", "DefaultDomainName", "DefaultPassword"}) {
            const auto it = p.registry.values.find(SimRegistry::Where(kWinlogon, name, view));
            if (it != p.registry.values.end())
                seen += (seen.empty() ? "" : "|") + (name + ("=" + Shown(it->second)));
        }
        return seen;
    }
    // The user's next visit to the dialog: what it showed goes to `opened` ("user|domain|password|ok",
    // "-" for OK disabled), then the three texts are typed and OK pressed.
    void Type(const Strings& typed) {
        p.ui.dialogs.push_back([this, typed](Form2& d) {
            opened.push_back(
                Latin1(d.edtusername.Text() + L"|" + d.edtdomain.Text() + L"|" + d.edtpassword.Text()) +
                (d.btnok.Enabled ? "|ok" : "|-"));
            d.edtusername.SetText(Widen(typed[0]));
            d.edtdomain.SetText(Widen(typed[1]));
            d.edtpassword.SetText(Widen(typed[2]));
            d.btnok_Click();
        });
    }

    TestPlatform p;
    RegistryView view = RegistryView::kDefault;  // where the logon process reads Winlogon
    std::unique_ptr<Form1> form;
    Strings opened;
};

// The program through its menu.

const std::string kUsual =
    "[boot loader]\ntimeout=30\ndefault=multi(0)disk(0)rdisk(0)partition(2)\\WINNT\n[operating systems]\n"
    "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Alpha System\" /fastdetect\n"
    "multi(0)disk(0)rdisk(0)partition(2)\\WINNT=Beta System /sos\n"
    "C:\\CMDCONS\\BOOTSECT.DAT=\"Gamma & Co\nc:\\cmdcons\\bootsect.dat=x\n";
const std::string kNotWritten = "Could not write c:\\boot.ini.\n\n";
const std::string kNotReadBack = kNotWritten + "The new value did not read back as written, ";
const std::string kPutBack = kNotReadBack + "so the old one was put back.";
const std::string kNotPutBack = kNotReadBack + "and the old one could not be put back.";
const std::string kDenied = "Access is denied.";

class Commands : public Unit {
protected:
    void SetUp() override {
        p.disk.Put(kBoot, kUsual, kReadOnlyHidden);
        ASSERT_TRUE(Start());
    }
    // "done", "done: " and what the user is told, or only that.
    std::string Write(const wchar_t* key, const std::wstring& value) {
        const Outcome outcome = WriteBootLoaderKey(p.platform, key, value);
        return (outcome.done ? "done" : "") +
               std::string(outcome.done && !outcome.message.empty() ? ": " : "") + Latin1(outcome.message);
    }
};

TEST_F(Unit, StartUpComparesValuesExactly) {
    p.disk.Put(kBoot,
               "[boot loader]\ntimeout=030&\ndefault=C:\\\n[operating systems]\nc:\\=\"\"Quoted "
               "twice\nD:\\=\n=x\nC:\\=y\n");
    Seed("AutoAdminLogon", Sz("1 "));
    ASSERT_TRUE(Start());
    EXPECT_EQ(Marks() + Latin1(MenuText(form->mnuother)), "|Other (030&)Other (030&&)");
    EXPECT_FALSE(form->mnupopup.Visible || form->mnuRBOS[0]->Visible || form->mnuRBOS[0]->Enabled ||
                 form->mnuDefOs[0]->Visible || form->mnuDefOs[0]->Enabled);  // the templates
    // Two entries: a nameless key and a second spelling of a key are none.
    EXPECT_EQ(form->mnuDefOs.size(), 3u);
    // The timeout of another section is none; the first entry may be the default; a number 1 is on too.
    p.disk.Put(kBoot, "[elsewhere]\ntimeout=10\n[operating systems]\nk=K\n[boot loader]\ndefault=k\n");
    Seed("AutoAdminLogon", Dword(1));
    ASSERT_TRUE(Start());
    EXPECT_EQ(Marks(), "|Other ()|K|Auto Login");
}

// Windows 9x also caches profile writes, which must reach the file before it is read-only again, and
// trims the default of a read in place, which must be writable.
TEST_F(Unit, WithoutBootIniItSaysSoAndEndsAndOn9xThereIsNoAutoLoginNorPrivilegeAndWritesReachTheFile) {
    EXPECT_FALSE(Start());  // the message's words and box are read end to end, for a file deleted later
    EXPECT_EQ(p.ui.messages.size(), 1u);
    EXPECT_TRUE(p.ui.ended);
    p.disk.Put(kBoot, "[operating systems]\nC:\\=x\n", kReadOnlyHidden);
    p.disk.win9x = true;
    Seed("AutoAdminLogon", Sz("1"));
    p.version.platformId = kVerPlatformWin32Windows;
    ASSERT_TRUE(Start());
    EXPECT_FALSE(form->mnuAutoLogin.Visible);
    EXPECT_EQ(p.registry.calls, Strings{});
    Click(&form->mnu20);
    EXPECT_EQ(p.disk.Text(kBoot) + Marks(), "[operating systems]\nC:\\=x\n[boot loader]\nTimeout=20\n|20");
    p.ui.answers = {kIdYes};
    Click(form->mnureboot[0]);
    EXPECT_EQ(p.power.calls, Strings{"exit 2"});
}

// Then boot.ini goes: it is said to be missing, made by no write, and nothing else changes.
TEST_F(Commands, TimeoutWritesAFixedItemOrANumberTypedAndNothingOnceBootIniIsGone) {
    Click(&form->mnu20);
    p.ui.inputs = {L" 7", L"-1", L"abc", L"", std::nullopt, L"8"};  // only a number other than -1 counts
    for (int i = 0; i < 5; ++i) Click(&form->mnuother);
    p.disk.Remove(kBoot);
    p.ui.answers = {kIdYes, kIdOk, kIdYes, kIdOk, kIdOk};
    for (MenuItem* item : {form->mnuDefOs[1], form->mnuRBOS[1], &form->mnuother}) Click(item);
    const std::string missing =
        "c:\\boot.ini file not found.  Ostrevo only helps if you have a dual boot system. [Ostrevo 0]";
    EXPECT_EQ(p.ui.messages, (Strings{"Set Default to Alpha System? [Ostrevo 52]", missing,
                                      "Restart to Alpha System? [Ostrevo 52]", missing, missing}));
    EXPECT_EQ(Marks() + std::to_string(p.ui.foreground) + std::to_string(p.power.calls.size() + p.ui.ended),
              "|Other ( 7)|Beta System /sos90");
    EXPECT_EQ(p.disk.GetAttributes(kBoot), kInvalidFileAttributes);
}

TEST_F(Commands, DefaultOsRebootToAndShutDownAskAndOnlyYesWritesMovesTheMarkOrAsksTheSystem) {
    for (MenuItem* nothing : {form->mnuDefOs[0], form->mnuRBOS[0], static_cast<MenuItem*>(nullptr)})
        Click(nothing);                                        // the hidden templates, and the menu dismissed
    p.ui.answers = {kIdYes, kIdYes, kIdOk, 0, kIdNo, kIdYes};  // 0: a box that could not be shown
    Click(form->mnuDefOs[3]);
    p.disk.garbled = 1;  // this write does not read back: put back and told, and the mark stays
    for (MenuItem* item : {form->mnuDefOs[1], form->mnuDefOs[1], form->mnuRBOS[1]}) Click(item);
    EXPECT_EQ(Marks(), "|30|Gamma & Co");  // the system's menu is given "&&" for it, "&" for an access key
    EXPECT_EQ(Latin1(MenuText(*form->mnuRBOS[3]) + MenuText(*form->mnureboot[0])), "Gamma && Co&Reboot");
    Click(form->mnuRBOS[1]);                   // the default written, then the restart
    p.power.exitRefusal = kErrorAccessDenied;  // told
    p.ui.answers = {kIdYes};
    Click(form->mnuRBOS[2]);
    const std::string alpha = "Set Default to Alpha System? [Ostrevo 52]",
                      restart = "Restart to Alpha System? [Ostrevo 52]";
    EXPECT_EQ(p.ui.messages,
              (Strings{"Set Default to Gamma & Co? [Ostrevo 52]", alpha, kPutBack + " [Ostrevo 16]", alpha,
                       restart, restart, "Restart to Beta System /sos? [Ostrevo 52]",
                       "Could not restart the computer.\n\n" + kDenied + " [Ostrevo 16]"}));
    p.ui.answers = {kIdNo, 0, kIdYes, kIdOk, kIdYes};  // the refusal's box is answered too
    for (int i = 0; i < 3; ++i) Click(&form->mnushutdown);
    EXPECT_EQ(p.power.calls, (Strings{"privilege", "exit 2", "privilege", "exit 2", "privilege", "exit 1"}));
}

TEST_F(Commands, AWriteThatDoesNotReadBackIsPutBackOrSaidNotToBe) {
    const std::string file = "[boot loader]\ntimeout=30\ndefault=old\n";
    p.disk.Put(kBoot, file, kReadOnlyHidden);
    p.disk.garbled = 1;
    p.disk.win9x = true;  // the put-back too reaches the drive before the file is read-only again
    EXPECT_EQ(Write(L"Default", L"x"), kPutBack);
    EXPECT_EQ(p.disk.Text(kBoot), file);
    p.disk.win9x = false;
    p.disk.Put(kBoot, "[operating systems]\n");  // nothing there before: the key goes again
    p.disk.garbled = 1;
    EXPECT_EQ(Write(L"Default", L"x"), kPutBack);
    EXPECT_EQ(p.disk.Text(kBoot), "[operating systems]\n[boot loader]\n");
    // The put-back garbled too, never tried for an old value too long for the calls, or not exact for
    // one whose outer quotes the read strips: never said done.
    for (const std::string& old : {std::string("old"), std::string(40000, 'k'), std::string("\"\"x\"\"")}) {
        p.disk.Put(kBoot, "[boot loader]\ndefault=" + old + "\n");
        p.disk.garbled = old == "old" ? 2 : 1;
        EXPECT_EQ(Write(L"Default", L"y"), kNotPutBack);
    }
    EXPECT_EQ(p.disk.Text(kBoot), "[boot loader]\ndefault=\"x\"\n");
}

// Read-only, hidden and system, as setup leaves boot.ini, on a system that refuses a write for the
// last two as well: all three go, as "normal"; then a file only hidden and system, whose write drops
// them. Each then refuses its attributes back, which is told in words for what it had; a write that
// took stays done.
TEST_F(Commands, AWriteLiftsWhatStopsItAndTheFileGetsExactlyItsOwnAttributesBack) {
    const uint32_t hiddenSystem = kFileAttributeHidden | kFileAttributeSystem;
    p.disk.Put(kBoot, "[boot loader]\ntimeout=30\n", kFileAttributeReadOnly | hiddenSystem);
    p.disk.refusesHiddenSystem = true;
    p.disk.writesBeforeDenial = 1;
    EXPECT_EQ(Write(L"Timeout", L"5"), "done: Could not make c:\\boot.ini read-only again.\n\n" + kDenied);
    p.disk.refusesHiddenSystem = false;
    p.disk.Put(kBoot, "[boot loader]\ntimeout=30\n", hiddenSystem);
    p.disk.dropsHiddenSystem = true;
    p.disk.writesBeforeDenial = 1;
    EXPECT_EQ(Write(L"Timeout", L"6"),
              "done: Could not give c:\\boot.ini its attributes back.\n\n" + kDenied);
    EXPECT_EQ(p.disk.Text(kBoot), "[boot loader]\ntimeout=6\n");
    EXPECT_EQ(p.disk.attributesSet,
              (std::vector<uint32_t>{hiddenSystem, kFileAttributeNormal,
                                     kFileAttributeReadOnly | hiddenSystem, hiddenSystem}));
}

TEST_F(Commands, WhatTheReadTrimsCountsAsKeptAndWhatIsTooLongReachesNoCall) {
    p.disk.Put(kBoot,
               "[boot loader]\n[operating systems]\nC:\\=\"x\"\n" + std::string(40000, 'k') + "=long\n");
    for (const wchar_t* value : {L" 8 ", L"\"q\"", L"\"\"", L"'s'"})
        EXPECT_EQ(Write(L"Timeout", value), "done");
    EXPECT_EQ(Write(L"Timeout", std::wstring(32767, L'x')),
              kNotWritten + "The value is too long for the file.");
    EXPECT_EQ(p.disk.attributesSet, std::vector<uint32_t>{});
    ASSERT_TRUE(Start());
    EXPECT_EQ(Latin1(form->mnuRBOS.back()->Caption) + std::to_string(form->mnuRBOS.size()) + Marks(),
              "x2|Other (s)");
}

class AutoLogin : public Unit {
protected:
    void SetUp() override { p.disk.Put(kBoot, "[operating systems]\nC:\\=\"Only\"\n"); }
};

// Windows 2000: the password goes to the registry. (Switching off is read end to end.)
TEST_F(AutoLogin, OnThroughTheDialogStoresWhatWasTyped) {
    Seed("DefaultUserName", Sz("alice"));
    Seed("DefaultDomain", Sz("OLD"));
    Seed("DefaultPassword", Sz("secret"));
    ASSERT_TRUE(Start());
    Type(Strings{"", "WORK", "x"});  // with the user name emptied OK takes no click
    Click(&form->mnuAutoLogin);
    Seed("DefaultDomainName", Sz("NEW"));
    Seed("DefaultUserName", Dword(7));
    Type(Strings{"  bob ", " 007 ", " p w "});
    Click(&form->mnuAutoLogin);
    EXPECT_EQ(opened, (Strings{"alice|OLD||ok", "7|NEW||ok"}));
    EXPECT_EQ(Winlogon(),
              "AutoAdminLogon=1|DefaultUserName=bob|DefaultDomain=007|DefaultDomainName=007|"
              "DefaultPassword= p w ");
    // The password is never read, and here it is kept in the registry alone. (That each value is kept
    // exactly before it changes shows where one is taken back.)
    for (const std::string& call : p.registry.calls)
        EXPECT_TRUE(call.find("Password") == std::string::npos || call == "write DefaultPassword") << call;
}

// From Windows XP on the password is kept as the LSA's secret, and no plain copy of it stays; an empty
// one is an empty string, and an older secret goes. Each refusal is told: what was changed is taken
// back, exactly, or named; a copy or secret that stays is named. All under WOW64, where the 32-bit
// view holds other values that must be neither read nor changed: the logon process reads the 64-bit one.
TEST_F(AutoLogin, FromXpOnThePasswordIsASecretAndRefusalsAreToldAndTakenBackUnderWow64Too) {
    Seed("DefaultUserName", Sz("bob32"));
    p.version.wow64 = true;
    view = RegistryView::k64Bit;
    p.version.version = 0x0501;
    Seed("AutoAdminLogon", Sz("1"));
    Seed("DefaultUserName", Dword(7));
    Seed("DefaultPassword", Sz("kept"));
    const std::string secret = "LSA\\DefaultPassword";
    p.registry.values[secret] = Sz("old");
    ASSERT_TRUE(Start());
    p.registry.allowed = {{"AutoAdminLogon", 0}};
    Click(&form->mnuAutoLogin);  // off refused: it stays on
    EXPECT_EQ(Marks(), "|Other ()|Auto Login");
    p.registry.allowed = {{"DefaultPassword", 0}};
    Click(&form->mnuAutoLogin);  // off, but the password stays; the secret goes
    Type(Strings{"bob", "WORK", "x"});
    p.registry.allowed = {{secret, 0}};
    Click(&form->mnuAutoLogin);  // on refused at the password: the rest taken back, exactly as kept
    EXPECT_EQ(Winlogon(), "AutoAdminLogon=0|DefaultUserName=4:07000000|DefaultPassword=kept");
    // What cannot be taken back, refused or never known, is named; an empty password, written before
    // the older secret is deleted, is never kept.
    p.registry.allowed = {{secret, 0}, {"AutoAdminLogon", 1}, {"DefaultDomain", 1}};
    p.registry.unreadable = {"DefaultUserName"};
    Type(Strings{"bob", "WORK", ""});
    Click(&form->mnuAutoLogin);
    EXPECT_EQ(Winlogon() + Marks(),
              "AutoAdminLogon=1|DefaultUserName=bob|DefaultDomain=WORK|DefaultPassword=|Other ()");
    p.registry.allowed = {{"DefaultPassword", 0}};  // on, but the plain copy stays
    Type(Strings{"bob", "WORK", "x"});
    Click(&form->mnuAutoLogin);
    Click(&form->mnuAutoLogin);  // off: the copy stays again; the secret goes
    const std::string denied = "\n\nAccess is denied.", box = " [Ostrevo 16]";
    const std::string on = "Could not switch automatic logon on." + denied;
    const std::string left = "\n\nThese values could not be put back as they were and may be left changed: ";
    const std::string off = "Automatic logon is off, but the stored password could not be removed." + denied;
    const std::string copy =
        "Automatic logon is on, but the password stored in plain text could not be removed.";
    EXPECT_EQ(p.ui.messages,
              (Strings{"Could not switch automatic logon off." + denied + box, off + box, on + box,
                       on + left + "AutoAdminLogon, DefaultUserName, DefaultDomain, DefaultPassword." + box,
                       copy + denied + box, off + box}));
    // An empty password is an empty string, and the older secret goes; a password is the secret alone.
    const std::string bob = "AutoAdminLogon=1|DefaultUserName=bob|DefaultDomain=WORK|DefaultDomainName=WORK";
    p.registry.allowed.clear();
    Type(Strings{"bob", "WORK", ""});
    Click(&form->mnuAutoLogin);
    EXPECT_EQ(Winlogon() + "|" + Shown(p.registry.values[secret]), bob + "|DefaultPassword=|0:");
    Click(&form->mnuAutoLogin);  // off: no secret to delete, which is fine
    Type(Strings{"bob", "WORK", "p w"});
    Click(&form->mnuAutoLogin);
    EXPECT_EQ(Winlogon() + "|" + Shown(p.registry.values[secret]) + Marks(),
              bob + "|p w|Other ()|Auto Login");
    Click(&form->mnuAutoLogin);
    EXPECT_EQ(p.registry.values.count(secret) + p.ui.messages.size(), 6u);
    view = RegistryView::kDefault;
    EXPECT_EQ(Winlogon(), "DefaultUserName=bob32");
}

// The parts beneath the commands.

constexpr char kIni[] = "C:\\ostrevo.ini";

// The profile calls read whole, and cIniFile over them.
TEST_F(Unit, AReadGrowsItsBufferUntilNothingIsCutAndIniFileKeepsEachWritesOwnResult) {
    p.disk.Put(kIni, "[s]\nv=x\nw=" + std::string(510, 'y') + "\n=nameless\nk=1\n[b]\n" +
                         std::string(32767, 'k') + "=found\n[]\n");
    cIniFile ini(p.disk, p.text);
    ini.Path(Widen(kIni));
    ini.Section(L"s");
    const auto value = [&ini](const std::wstring& key) { return (ini.Key(key), Latin1(ini.Value())); };
    ini.Default(L"e" + std::wstring(299, L'd'));
    ini.Section(L"b");
    EXPECT_EQ(value(std::wstring(32767, L'k')), "e" + std::string(253, 'd'));  // too long to ask: the default
    ini.Section(L"s");
    ini.Key(L"k");
    ini.Value(std::wstring(L"a\0b", 3));
    ini.Value(std::wstring(32767, L'v'));  // too long: stopped before the call
    EXPECT_EQ(ini.LastReturnCode(), 0);
    EXPECT_EQ(ini.Value(), L"ab");
    std::vector<std::wstring> items;
    int32_t count = -1;
    ini.EnumerateCurrentSection(items, count);
    EXPECT_EQ(items, (std::vector<std::wstring>{L"v", L"w", L"", L"k"}));
    ini.EnumerateAllSections(items, count);
    EXPECT_EQ(items, (std::vector<std::wstring>{L"s", L"b"}));
    ini.DeleteKey();
    EXPECT_EQ(Latin1(ini.INISection()), std::string("v\0w\0\0", 5));
    ini.INISection(L"ignored");  // removes the section whatever the text
    ini.Section(L"b");
    ini.DeleteSection();
    EXPECT_EQ(Latin1(ini.Sections()), std::string("\0", 1));  // [] is left
    p.disk.full = true;  // a list that never fits is read up to 64 MB, and said to be cut
    const ProfileText list = ReadWhole(p.disk, "s", nullptr, "", kIni, 512);
    EXPECT_TRUE(list.text.size() == (1u << 26) - 2 && !list.whole);
}

TEST_F(Unit, DelimitedListsCountReadFindAndAddItems) {
    EXPECT_EQ(ListItemCount(L"", L"|") + ListItemCount(L"x|", L"|") + ListItemCount(L"x", L""), 3);
    EXPECT_EQ(ListItemCount(L"aaa", L"aa"), 3);  // overlapping delimiters each count
    std::wstring items;
    for (int i = 0; i < 6; ++i) items += L"[" + GetListItem(i, L"a|b||d", L"|") + L"]";
    EXPECT_EQ(items, L"[][a][b][][d][]");
    EXPECT_EQ(GetListItem(0, L"w", L"|") + GetListItem(1, L"w", L"|") + GetListItem(2, L"w", L"|"), L"ww");
    EXPECT_EQ(FindListItem(L"D", L"a|b||d|d", L"|", p.text), 4);
    EXPECT_EQ(FindListItem(L"z", L"a|b", L"|", p.text) + FindListItem(L"a", L"", L"|", p.text), -2);
    std::wstring list;
    AddListItem(L"b", list, false, L"|", L"");
    AddListItem(L"a", list, true, L"|", L"");
    AddListItem(L"", list, false, L"|", L"z");
    EXPECT_EQ(list, L"a|b|z");
    EXPECT_EQ(JoinList(SplitList(L"x||Y", L"|"), L"+"), L"x++Y");
}

TEST_F(Unit, NumbersFollowTheUsersSeparators) {
    const std::pair<const wchar_t*, double> numbers[] = {
        {L"0", 0},       {L" -5 ", -5},  {L"+2.5", 2.5},          {L"\t8", 8}, {L".5", 0.5}, {L"7.", 7},
        {L"2E-2", 0.02}, {L"1e+2", 100}, {L" -1,234.5e1", -12345}};
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(ParseNumericText(text, p.text), value) << Latin1(text);
    for (const wchar_t* text : {L"", L" ", L"-", L"abc", L"1e", L"1e-", L"1x", L"1e5x", L",5", L"1.2.3",
                                L"&H10", L"1e999", L"- 1", L"1 2", L"+-1"})
        EXPECT_EQ(ParseNumericText(text, p.text), std::nullopt) << Latin1(text);
    p.text.decimal = L",";
    p.text.group = L".";
    EXPECT_EQ(ParseNumericText(L"1.234,5", p.text), 1234.5);
    EXPECT_EQ(RoundToInt32(2147483647.4), INT32_MAX);
    EXPECT_EQ(RoundToInt32(-2147483648.0), INT32_MIN);
}

TEST_F(Unit, FailureTextsWipedTextsAndWhatCountsAsAFile) {
    std::wstring password = L"pw";
    const wchar_t* letters = password.data();
    WipeText(password);
    EXPECT_EQ(std::wstring(letters, 2) + password, std::wstring(2, L'\0'));
    EXPECT_EQ(FailureText(p.text, L"What.", kErrorSuccess) + FailureText(p.text, L"What.", kErrorNoReason),
              L"What.What.");
    // A file, whatever its attributes, exists; a folder does not, nor a drive without a medium. The
    // search adds "fail critical errors" to the caller's error mode, which is back afterwards.
    p.disk.Put(kBoot, "", kReadOnlyHidden | kFileAttributeSystem);
    p.disk.Put("C:\\folder", "", kFileAttributeDirectory);
    p.disk.errorMode = 0x8000;
    EXPECT_TRUE(FileExists(p.disk, p.text, L"C:\\Boot.ini"));
    EXPECT_FALSE(FileExists(p.disk, p.text, L"C:\\folder") || FileExists(p.disk, p.text, L"A:\\boot.ini") ||
                 FileExists(p.disk, p.text, L""));
    EXPECT_EQ(p.disk.searchModes, std::vector<uint32_t>(3, 0x8000 | kSemFailCriticalErrors));
    EXPECT_EQ(p.disk.errorMode, 0x8000u);
}

// A window and a screen (15 twips a pixel, 11520 twips high) answering as set; nullopt is a member
// the window lacks (without a state, it refuses to change it). The window logs what it is told.
struct Window : FormWindow {
    std::optional<int32_t> WindowState() override { return state; }
    bool WindowState(int32_t s) override {
        return (log += "state " + std::to_string(s) + " ", state.has_value());
    }
    std::optional<double> Left() override { return left; }
    std::optional<double> Top() override { return top; }
    std::optional<double> Width() override { return 4000; }
    std::optional<double> Height() override { return 3500.5; }
    bool Move(int32_t l, int32_t t, int32_t w, int32_t h) override {
        for (int32_t n : {l, t, w, h}) log += std::to_string(n) + " ";
        return true;
    }
    std::optional<int32_t> state;
    std::optional<double> left, top;
    std::string log;
};
struct Screen : ScreenMetrics {
    std::optional<double> Width() override { return width; }
    std::optional<double> Height() override { return 11520; }
    std::optional<float> TwipsPerPixelX() override { return 15.0f; }
    std::optional<float> TwipsPerPixelY() override { return 15.0f; }
    std::optional<double> width;
};

// SaveFormPosition (save) or LoadFormPosition in section [w]: the file saved or what the window was
// told, then "FAILED" when the method failed. The cursor's key and default come back.
TEST_F(Unit, WindowPlacementIsSavedForANormalWindowOnlyAndLoadedOnTheScreenAboveTheMinimum) {
    const auto run = [this](std::optional<int32_t> state, std::optional<double> left = -200,
                            bool save = false, std::optional<double> screenWidth = 15360,
                            std::optional<double> top = 900, double minimum = 3000, double minHeight = 3000) {
        Window window;
        window.state = state, window.left = left, window.top = top;
        Screen screen;
        screen.width = screenWidth;
        cIniFile ini(p.disk, p.text);
        ini.Path(L"C:\\other.ini");
        ini.Section(L"w");
        ini.Key(L"mine");
        ini.Value(L"1");  // a result that only a failure takes back to 0
        ini.Path(Widen(kIni));
        ini.Default(L"own");
        save ? ini.SaveFormPosition(window) : ini.LoadFormPosition(window, screen, minimum, minHeight);
        EXPECT_EQ(ini.Key() + ini.Default(), L"mineown");
        std::string shown = save ? p.disk.Text(kIni) : window.log;
        std::replace(shown.begin(), shown.end(), '\n', ';');
        return shown + (ini.Success() ? "" : "FAILED");
    };
    EXPECT_EQ(run(kWindowStateMinimised, -200, true), "");
    const std::string edges = ";Left=0;Top=1;Width=4000;Height=3500.5;";  // no "-0"
    EXPECT_EQ(run(kWindowStateNormal, -0.0, true, 15360, 1), "[w];Maximised=0" + edges);
    EXPECT_EQ(run(kWindowStateMaximised, 1, true), "[w];Maximised=1" + edges);
    EXPECT_EQ(run(kWindowStateNormal, NAN, true), "[w];Maximised=0" + edges + "FAILED");
    EXPECT_EQ(run(std::nullopt, -200, true), "[w];Maximised=0" + edges + "FAILED");
    p.disk.Put(kIni, "[w]\nLeft=100\nWidth=16000\n");
    EXPECT_EQ(run(0), "60 900 15240 3500 ");
    p.disk.Put(kIni, "[w]\nLeft=15000\n");
    EXPECT_EQ(run(0) + run(0, std::nullopt), "11300 900 4000 3500 FAILED");
    p.disk.Put(kIni, "[w]\nWidth=500\nMaximised=1\n");
    EXPECT_EQ(run(0, 1, false, std::nullopt), "FAILED");
    EXPECT_EQ(run(0, 1, false, -1e12), "FAILED");  // no edge on such a screen is a 32-bit number
    EXPECT_EQ(run(0, 1, false, 15360, std::nullopt), "FAILED");
    EXPECT_EQ(run(0, 1, false, 15360, 900, NAN), "FAILED");
    EXPECT_EQ(run(0, 1, false, 15360, 900, 1e12), "FAILED");
    EXPECT_EQ(run(0, 1, false, 15360, 900, 3000, 1e12), "FAILED");
    EXPECT_EQ(run(std::nullopt), "60 900 3000 3500 state 2 FAILED");  // maximising refused
    p.disk.Put(kIni, "[w]\nTop=11000\nHeight=500\nMaximised=x\n");
    EXPECT_EQ(run(0), "60 8460 4000 3000 ");
    p.disk.Put(kIni, "[w]\nTop=2147483000\nHeight=2000\n");
    EXPECT_EQ(run(0), "FAILED");
}

TEST_F(Unit, RegistryValuesReadAsTextOrSignedNumbersAndWrittenAsTheTypeChosen) {
    const auto read = [this](const RegValue& value) {
        p.registry.values["K\\V"] = value;
        const DynamicValue got = ReadRegValue(p.platform, kHkeyLocalMachine, L"K", L"V");
        return got.kind() == DynamicValue::Kind::Integer ? "int:" + std::to_string(got.integer())
                                                         : "text:" + Latin1(got.text());
    };
    EXPECT_EQ(read(Dword(0xFFFFFFFF)) + read(Dword(0x80000000)) + read(Dword(0x7FFFFFFF)),
              "int:-1int:-2147483648int:2147483647");
    EXPECT_EQ(read({kRegDword, {7, 1}}) + read({kRegDword, {1, 0, 0, 0, 0}}) + read({kRegBinary, {1}}),
              "int:263text:text:");
    // A number's text asked to go as a number goes as one; a string goes exactly as given.
    WriteRegValue(p.platform, kHkeyLocalMachine, L"K", L"V", DynamicValue::FromText(L"16909060"), kRegDword);
    EXPECT_EQ(p.registry.values["K\\V"], Dword(16909060));
    WriteRegString(p.platform, kHkeyLocalMachine, L"K", L"V", L" a b ");
    EXPECT_EQ(p.registry.values["K\\V"], Sz(" a b "));
}

}  // namespace
}  // namespace ostrevo
