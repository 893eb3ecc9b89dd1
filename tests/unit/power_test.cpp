// ReBootAPI and the "&Reboot" and "&ShutDown" commands, over the simulated platform.
#include "power/rebootapi.h"
#include "shell/form1.h"
#include "test_platform.h"

namespace ostrevo {
namespace {

const std::vector<std::string> kPrivilegeCalls = {"GetCurrentProcess", "OpenProcessToken 0x28",
                                                  "LookupPrivilegeValueA (null) SeShutdownPrivilege",
                                                  "AdjustTokenPrivileges 0 16", "CloseHandle"};

std::vector<std::string> Then(std::vector<std::string> calls, const std::string& last) {
    calls.push_back(last);
    return calls;
}

TEST(GetPlatformName, NamesEachPlatformId) {
    struct Case {
        uint32_t id;
        const wchar_t* name;
    };
    for (const Case& c :
         {Case{0, L"Win32"}, Case{1, L"Win95"}, Case{2, L"WinNT"}, Case{3, L""}, Case{99, L""}}) {
        SimVersion version;
        version.platformId = c.id;
        EXPECT_EQ(GetPlatformName(version), c.name) << c.id;
    }
    SimVersion failing;
    failing.fail = true;
    EXPECT_EQ(GetPlatformName(failing), L"Win32");
}

TEST(ExitSystem, FlagsFollowForceAndRestartWhereOnlyMinusOneIsTrue) {
    struct Case {
        int16_t force;
        int16_t restart;
        uint32_t flags;
    };
    for (const Case& c : {Case{0, 0, 1}, Case{0, -1, 2}, Case{-1, 0, 5}, Case{-1, -1, 6}, Case{0, 1, 1},
                          Case{1, -1, 2}, Case{1, 1, 1}, Case{-2, 0, 1}, Case{0, 0x7FFF, 1}}) {
        TestPlatform p;
        const ExitSystemResult result = ExitSystem(p.platform, c.force, c.restart);
        EXPECT_TRUE(result.requested);
        EXPECT_EQ(p.power.exitWindowsFlags, std::vector<uint32_t>{c.flags}) << c.force << " " << c.restart;
        EXPECT_EQ(p.power.calls.back(), "ExitWindowsEx " + std::to_string(c.flags) + " 0");
    }
}

TEST(ExitSystem, EnablesTheShutdownPrivilegeOnNtAndClosesTheToken) {
    TestPlatform p;
    EXPECT_TRUE(ExitSystem(p.platform, kFalse16, kTrue16).requested);
    EXPECT_EQ(p.power.calls, Then(kPrivilegeCalls, "ExitWindowsEx 2 0"));
    EXPECT_EQ(p.power.lastPrivileges.privilegeCount, 1u);
    EXPECT_EQ(p.power.lastPrivileges.luid.lowPart, 19u);  // the sim's LUID for SeShutdownPrivilege
    EXPECT_EQ(p.power.lastPrivileges.attributes, kSePrivilegeEnabled);
    EXPECT_EQ(p.power.openTokens, 0);
}

TEST(ExitSystem, OtherPlatformsAskWithoutAnyTokenCall) {
    for (uint32_t id : {kVerPlatformWin32Windows, kVerPlatformWin32s, 7u}) {
        TestPlatform p;
        p.version.platformId = id;
        EXPECT_TRUE(ExitSystem(p.platform, kFalse16, kTrue16).requested);
        EXPECT_EQ(p.power.calls, std::vector<std::string>{"ExitWindowsEx 2 0"}) << id;
    }
}

TEST(ExitSystem, AnyPrivilegeFailureAsksNothingAndSaysWhy) {
    struct Case {
        const char* name;
        void (*arrange)(SimPower&);
        std::vector<std::string> calls;
        uint32_t error;
    };
    const std::vector<std::string> opened = {"GetCurrentProcess", "OpenProcessToken 0x28"};
    const std::vector<Case> cases = {
        {"open", [](SimPower& s) { s.failOpenToken = true; }, opened, 5},
        {"lookup", [](SimPower& s) { s.failLookup = true; },
         Then(Then(opened, "LookupPrivilegeValueA (null) SeShutdownPrivilege"), "CloseHandle"), 5},
        {"adjust", [](SimPower& s) { s.failAdjust = true; }, kPrivilegeCalls, 5},
        {"not held", [](SimPower& s) { s.privilegeNotHeld = true; }, kPrivilegeCalls, kErrorNotAllAssigned},
    };
    for (const Case& c : cases) {
        TestPlatform p;
        c.arrange(p.power);
        const ExitSystemResult result = ExitSystem(p.platform, kFalse16, kTrue16);
        EXPECT_FALSE(result.requested) << c.name;
        EXPECT_EQ(result.error, c.error) << c.name;
        EXPECT_TRUE(p.power.exitWindowsFlags.empty()) << c.name;
        EXPECT_EQ(p.power.calls, c.calls) << c.name;
        EXPECT_EQ(p.power.openTokens, 0) << c.name;
    }
}

class PowerCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        p.disk.PutFile("C:\\boot.ini",
                       "[boot loader]\r\ntimeout=30\r\n[operating systems]\r\nc:\\=\"A\"\r\n");
        ASSERT_TRUE(form.Form_Load());
    }
    TestPlatform p;
    Form1 form{p.platform};
};

TEST_F(PowerCommandsTest, YesRestartsOrShutsDownAfterTheQuestion) {
    p.ui.answers = {kIdYes, kIdYes};
    form.mnureboot_Click(0);
    form.mnushutdown_Click();
    ASSERT_EQ(p.ui.messages.size(), 2u);
    EXPECT_EQ(p.ui.messages[0].text, L"Restart?");
    EXPECT_EQ(p.ui.messages[1].text, L"ShutDown?");
    for (const SimUi::Message& message : p.ui.messages) {
        EXPECT_EQ(message.caption, L"Ostrevo");
        EXPECT_EQ(message.style, 52u);
    }
    EXPECT_EQ(p.power.exitWindowsFlags, (std::vector<uint32_t>{kEwxReboot, kEwxShutdown}));
    EXPECT_EQ(p.power.openTokens, 0);
    EXPECT_EQ(p.disk.WriteCount(), 0);
}

// No, and a box that could not be shown at all (0), are no Yes.
TEST_F(PowerCommandsTest, AnythingButYesMakesNoPlatformCallAtAll) {
    const int versionCalls = p.version.calls;
    p.ui.answers = {kIdNo, kIdNo, 0, 0};
    form.mnureboot_Click(0);
    form.mnushutdown_Click();
    form.mnureboot_Click(0);
    form.mnushutdown_Click();
    EXPECT_EQ(p.ui.messages.size(), 4u);
    EXPECT_TRUE(p.power.calls.empty());
    EXPECT_EQ(p.version.calls, versionCalls);
}

TEST_F(PowerCommandsTest, ARefusalIsShownWithTheSystemsReason) {
    p.power.privilegeNotHeld = true;
    p.ui.answers = {kIdYes};
    form.mnureboot_Click(0);
    ASSERT_EQ(p.ui.messages.size(), 2u);
    // The sim knows no text for 1300; the real system gives its own sentence here.
    EXPECT_EQ(p.ui.messages[1].text, L"Could not restart the computer.\n\nSystem error 1300.");
    EXPECT_EQ(p.ui.messages[1].caption, L"Ostrevo");
    EXPECT_EQ(p.ui.messages[1].style, kMbOk | kMbIconError);
    EXPECT_TRUE(p.power.exitWindowsFlags.empty());

    p.power.privilegeNotHeld = false;
    p.power.failExitWindows = true;
    p.ui.answers = {kIdYes};
    form.mnushutdown_Click();
    ASSERT_EQ(p.ui.messages.size(), 4u);
    EXPECT_EQ(p.ui.messages[3].text, L"Could not shut down the computer.\n\nAccess is denied.");
    EXPECT_EQ(p.power.exitWindowsFlags, std::vector<uint32_t>{kEwxShutdown});
}

}  // namespace
}  // namespace ostrevo
