// The program through its menu: start-up from boot.ini, every command with every answer, and the
// boot.ini writer's ways of failing.
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

std::string With(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

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
    EXPECT_FALSE(Start());
    EXPECT_EQ(
        p.ui.messages,
        Strings{
            "c:\\boot.ini file not found.  Ostrevo only helps if you have a dual boot system. [Ostrevo 0]"});
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
    p.ui.inputs = {L"2.5"};
    Click(&form->mnuother);
    EXPECT_EQ(p.disk.Text(kBoot), With(kUsual, "timeout=30", "timeout=2.5"));
    EXPECT_EQ(p.disk.GetAttributes(kBoot), kReadOnlyHidden);
}

TEST_F(Commands, DefaultOsRebootToAndShutDownAskAndOnlyYesWritesMovesTheMarkOrAsksTheSystem) {
    Click(form->mnuDefOs[0]);                          // the hidden template: nothing
    p.ui.answers = {kIdYes, kIdNo, 0, kIdNo, kIdYes};  // 0: a box that could not be shown
    for (MenuItem* item : {form->mnuDefOs[3], form->mnuDefOs[1], form->mnuDefOs[1], form->mnuRBOS[1]})
        Click(item);
    EXPECT_EQ(p.disk.Text(kBoot),
              With(kUsual, "multi(0)disk(0)rdisk(0)partition(2)\\WINNT\n[", "C:\\CMDCONS\\BOOTSECT.DAT\n["));
    EXPECT_EQ(Marks(), "|30|Gamma & Co");
    Click(form->mnuRBOS[1]);  // the default written, then the restart
    EXPECT_EQ(p.disk.Text(kBoot), With(kUsual, "partition(2)\\WINNT\n[", "partition(1)\\WINDOWS\n["));
    p.power.exitRefusal = kErrorAccessDenied;  // told; the mark has moved with the file
    p.ui.answers = {kIdYes};
    Click(form->mnuRBOS[2]);
    EXPECT_EQ(Marks(), "|30|Beta System /sos");
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

}  // namespace
}  // namespace ostrevo
