// The program through its menu: start-up from boot.ini, every command with every answer, the boot.ini
// writer's ways of failing, and Auto Login over the Winlogon values.
#include "bootcfg/boot_loader_writer.h"
#include "unit.h"

namespace ostrevo {
namespace {

const std::string kUsual =
    "[boot loader]\ntimeout=30\ndefault=multi(0)disk(0)rdisk(0)partition(2)\\WINNT\n[operating systems]\n"
    "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Alpha System\" /fastdetect\n"
    "multi(0)disk(0)rdisk(0)partition(2)\\WINNT=Beta System /sos\n"
    "C:\\CMDCONS\\BOOTSECT.DAT=\"Gamma & Co\nc:\\cmdcons\\bootsect.dat=x\n";
const std::string kNotWritten = "Could not write c:\\boot.ini.\n\n";
const std::string kPutBack =
    kNotWritten + "The new value did not read back as written, so the old one was put back.";
const std::string kNotPutBack =
    kNotWritten + "The new value did not read back as written, and the old one could not be put back.";
const std::string kDenied = "Access is denied.";
const std::string kNotReadOnly = "Could not make c:\\boot.ini read-only again.\n\n" + kDenied;

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
               "[boot loader]\ntimeout=030\ndefault=C:\\\n[operating systems]\nc:\\=\"\"Quoted "
               "twice\nD:\\=\n=x\nC:\\=y\n");
    Seed("AutoAdminLogon", Sz("1 "));
    ASSERT_TRUE(Start());
    EXPECT_EQ(Marks(), "|Other (030)");
    // Two entries: a nameless key and a second spelling of a key are none.
    EXPECT_EQ(form->mnuDefOs.size(), 3u);
    p.disk.Put(kBoot, "[elsewhere]\ntimeout=10\n");  // no [boot loader]; a number 1 is on too
    Seed("AutoAdminLogon", Dword(1));
    ASSERT_TRUE(Start());
    EXPECT_EQ(Marks(), "|Other ()|Auto Login");
}

TEST_F(Unit, WithoutBootIniItSaysSoAndEndsAndOutsideNtThereIsNoAutoLoginNorPrivilege) {
    EXPECT_FALSE(Start());  // the message's words and box are read end to end
    EXPECT_EQ(p.ui.messages.size(), 1u);
    EXPECT_TRUE(p.ui.ended);
    p.disk.Put(kBoot, "");
    Seed("AutoAdminLogon", Sz("1"));
    for (const uint32_t system : {kVerPlatformWin32Windows, 0u}) {  // 0: the version could not be read
        p.version.platformId = system;
        ASSERT_TRUE(Start());
        EXPECT_FALSE(form->mnuAutoLogin.Visible);
    }
    EXPECT_EQ(p.registry.calls, Strings{});
    p.ui.answers = {kIdYes};
    Click(form->mnureboot[0]);
    EXPECT_EQ(p.power.calls, Strings{"exit 2"});
}

TEST_F(Commands, TimeoutWritesAFixedItemOrANumberTyped) {
    Click(&form->mnu20);
    p.ui.inputs = {L" 7", L"-1", L"abc", L"", std::nullopt};  // only a number other than -1 counts
    for (int i = 0; i < 5; ++i) Click(&form->mnuother);
    EXPECT_EQ(Marks(), "|Other ( 7)|Beta System /sos");
    EXPECT_EQ(p.disk.GetAttributes(kBoot), kReadOnlyHidden);
}

TEST_F(Commands, DefaultOsRebootToAndShutDownAskAndOnlyYesWritesMovesTheMarkOrAsksTheSystem) {
    Click(form->mnuDefOs[0]);                          // the hidden template: nothing
    p.ui.answers = {kIdYes, kIdNo, 0, kIdNo, kIdYes};  // 0: a box that could not be shown
    for (MenuItem* item : {form->mnuDefOs[3], form->mnuDefOs[1], form->mnuDefOs[1], form->mnuRBOS[1]})
        Click(item);
    EXPECT_EQ(Marks(), "|30|Gamma & Co");
    Click(form->mnuRBOS[1]);                   // the default written, then the restart
    p.power.exitRefusal = kErrorAccessDenied;  // told
    p.ui.answers = {kIdYes};
    Click(form->mnuRBOS[2]);
    const std::string alpha = "Set Default to Alpha System? [Ostrevo 52]",
                      restart = "Restart to Alpha System? [Ostrevo 52]";
    EXPECT_EQ(p.ui.messages, (Strings{"Set Default to Gamma & Co? [Ostrevo 52]", alpha, alpha, restart,
                                      restart, "Restart to Beta System /sos? [Ostrevo 52]",
                                      "Could not restart the computer.\n\n" + kDenied + " [Ostrevo 16]"}));
    p.ui.answers = {kIdNo, 0, kIdYes, kIdOk, kIdYes};  // the refusal's box is answered too
    for (int i = 0; i < 3; ++i) Click(&form->mnushutdown);
    p.power.privilegeRefusal = kErrorNotAllAssigned;
    Click(&form->mnushutdown);
    EXPECT_EQ(p.ui.messages.back(), "Could not shut down the computer.\n\nSystem error 1300. [Ostrevo 16]");
    EXPECT_EQ(p.power.calls,
              (Strings{"privilege", "exit 2", "privilege", "exit 2", "privilege", "exit 1", "privilege"}));
}

TEST_F(Commands, AWriteThatDoesNotReadBackIsPutBackOrSaidNotToBe) {
    const std::string file = "[boot loader]\ntimeout=30\ndefault=old\n";
    p.disk.Put(kBoot, file, kReadOnlyHidden);
    p.disk.garbled = 1;
    EXPECT_EQ(Write(L"Default", L"x"), kPutBack);
    EXPECT_EQ(p.disk.Text(kBoot), file);
    EXPECT_EQ(p.disk.attributesSet, (std::vector<uint32_t>{kFileAttributeHidden, kReadOnlyHidden}));
    p.disk.Put(kBoot, "[operating systems]\n");  // nothing there before: the key goes again
    p.disk.garbled = 1;
    EXPECT_EQ(Write(L"Default", L"x"), kPutBack);
    EXPECT_EQ(p.disk.Text(kBoot), "[operating systems]\n[boot loader]\n");
    // The put-back refused (and the attribute with it), garbled too, never tried for an old value too
    // long for the calls, or not exact for one whose outer quotes the read strips: never said done.
    p.disk.Put(kBoot, file, kReadOnlyHidden);
    p.disk.garbled = p.disk.writesBeforeDenial = 1;
    EXPECT_EQ(Write(L"Default", L"x"), kNotPutBack + "\n\n" + kDenied + "\n\n" + kNotReadOnly);
    for (const std::string& old : {std::string("old"), std::string(40000, 'k'), std::string("\"\"x\"\"")}) {
        p.disk.Put(kBoot, "[boot loader]\ndefault=" + old + "\n");
        p.disk.garbled = old == "old" ? 2 : 1;
        EXPECT_EQ(Write(L"Default", L"y"), kNotPutBack);
    }
    EXPECT_EQ(p.disk.Text(kBoot), "[boot loader]\ndefault=\"x\"\n");
}

TEST_F(Commands, AWriteThatTookStaysWhenTheReadOnlyAttributeCannotGoBack) {
    p.disk.Put(kBoot, "[boot loader]\ntimeout=30\n", kReadOnlyHidden);
    p.disk.writesBeforeDenial = 1;
    EXPECT_EQ(Write(L"Timeout", L"5"), "done: " + kNotReadOnly);
    EXPECT_EQ(p.disk.Text(kBoot), "[boot loader]\ntimeout=5\n");
    p.disk.Put(kBoot, "[boot loader]\n", kFileAttributeReadOnly);  // read-only alone: lifted as "normal"
    p.disk.attributesSet.clear();
    EXPECT_EQ(Write(L"Timeout", L"10"), "done");
    EXPECT_EQ(p.disk.attributesSet, (std::vector<uint32_t>{kFileAttributeNormal, kFileAttributeReadOnly}));
}

TEST_F(Commands, WhatTheReadTrimsCountsAsKeptAndWhatIsTooLongReachesNoCall) {
    p.disk.Put(kBoot,
               "[boot loader]\n[operating systems]\nC:\\=\"x\"\n" + std::string(40000, 'k') + "=long\n");
    for (const wchar_t* value : {L" 8", L"9 ", L"\"q\"", L"\"\"", L"'s'"})
        EXPECT_EQ(Write(L"Timeout", value), "done");
    EXPECT_EQ(Write(L"Timeout", std::wstring(32767, L'x')),
              kNotWritten + "The value is too long for the file.");
    EXPECT_EQ(p.disk.attributesSet, std::vector<uint32_t>{});
    ASSERT_TRUE(Start());
    EXPECT_EQ(Latin1(form->mnuRBOS.back()->Caption) + std::to_string(form->mnuRBOS.size()) + Marks(),
              "x2|Other (s)");
}

// Natively, or under WOW64, where the 32-bit view holds other values that must be neither read nor
// changed: the logon process reads the 64-bit one.
class AutoLogin : public Unit, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        p.disk.Put(kBoot, "[operating systems]\nC:\\=\"Only\"\n");
        p.version.wow64 = GetParam();
        if (!GetParam()) return;
        Seed("DefaultUserName", Sz("bob32"));
        view = RegistryView::k64Bit;
    }
    void TearDown() override {
        if (!GetParam()) return;
        view = RegistryView::kDefault;
        EXPECT_EQ(Winlogon(), "DefaultUserName=bob32");
    }
};
INSTANTIATE_TEST_SUITE_P(NativeAndUnderWow64, AutoLogin, testing::Bool());

TEST_P(AutoLogin, OnThroughTheDialogStoresWhatWasTypedAndOffForgetsThePassword) {
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
    const std::string typed = "DefaultUserName=bob|DefaultDomain=007|DefaultDomainName=007";
    EXPECT_EQ(Winlogon(), "AutoAdminLogon=1|" + typed + "|DefaultPassword= p w ");
    // The password is never read; each value is kept as it was, exactly, before it is changed.
    EXPECT_EQ(p.registry.calls,
              (Strings{"read AutoAdminLogon", "read DefaultUserName", "read DefaultDomainName",
                       "read DefaultDomain", "read DefaultUserName", "read DefaultDomainName",
                       "read AutoAdminLogon exact", "write AutoAdminLogon", "read DefaultUserName exact",
                       "write DefaultUserName", "read DefaultDomain exact", "write DefaultDomain",
                       "read DefaultDomainName exact", "write DefaultDomainName", "write DefaultPassword"}));
    Click(&form->mnuAutoLogin);  // off: the password goes
    EXPECT_EQ(Winlogon() + Marks() + std::to_string(p.ui.messages.size()),
              "AutoAdminLogon=0|" + typed + "|Other ()0");
}

TEST_P(AutoLogin, RefusalsAreToldAndEveryValueChangedIsTakenBackOrNamed) {
    Seed("AutoAdminLogon", Sz("1"));
    Seed("DefaultUserName", Dword(7));
    Seed("DefaultPassword", Sz("kept"));
    ASSERT_TRUE(Start());
    p.registry.allowed = {{"AutoAdminLogon", 0}};
    Click(&form->mnuAutoLogin);  // off refused: it stays on
    EXPECT_EQ(Marks(), "|Other ()|Auto Login");
    p.registry.allowed = {{"DefaultPassword", 0}};
    Click(&form->mnuAutoLogin);  // off, but the password stays
    Type(Strings{"bob", "WORK", "x"});
    Click(&form->mnuAutoLogin);  // on refused at the password: the rest taken back, exactly as kept
    EXPECT_EQ(Winlogon(), "AutoAdminLogon=0|DefaultUserName=4:07000000|DefaultPassword=kept");
    EXPECT_EQ(Strings(p.registry.calls.end() - 4, p.registry.calls.end()),
              (Strings{"delete DefaultDomainName", "delete DefaultDomain", "write DefaultUserName exact",
                       "write AutoAdminLogon exact"}));
    // What cannot be taken back, refused or never known, is named.
    p.registry.allowed = {{"DefaultPassword", 0}, {"AutoAdminLogon", 1}, {"DefaultDomain", 1}};
    p.registry.unreadable = {"DefaultUserName"};
    Type(Strings{"bob", "WORK", "x"});
    Click(&form->mnuAutoLogin);
    EXPECT_EQ(Winlogon(), "AutoAdminLogon=1|DefaultUserName=bob|DefaultDomain=WORK|DefaultPassword=kept");
    EXPECT_EQ(Marks(), "|Other ()");
    const std::string denied = "\n\nAccess is denied.", box = " [Ostrevo 16]";
    EXPECT_EQ(p.ui.messages,
              (Strings{"Could not switch automatic logon off." + denied + box,
                       "Automatic logon is off, but the stored password could not be removed." + denied + box,
                       "Could not switch automatic logon on." + denied + box,
                       "Could not switch automatic logon on." + denied +
                           "\n\nThese values could not be put back as they were and may be left changed: "
                           "AutoAdminLogon, DefaultUserName, DefaultDomain." +
                           box}));
}

}  // namespace
}  // namespace ostrevo
