// ReBootAPI and the "&Reboot" and "&ShutDown" commands, over the simulated platform.
#include "power/rebootapi.h"
#include "shell/form1.h"
#include "test_platform.h"

namespace ostrevo {
namespace {

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

TEST(ExitSystem, FlagsFollowForceAndRestart) {
    struct Case {
        bool force;
        bool restart;
        uint32_t flags;
    };
    for (const Case& c :
         {Case{false, false, 1}, Case{false, true, 2}, Case{true, false, 5}, Case{true, true, 6}}) {
        TestPlatform p;
        EXPECT_EQ(ExitSystem(p.platform, c.force, c.restart), kErrorSuccess);
        EXPECT_EQ(p.power.exitWindowsFlags, std::vector<uint32_t>{c.flags}) << c.force << " " << c.restart;
    }
}

TEST(ExitSystem, EnablesTheShutdownPrivilegeOnNtOnly) {
    TestPlatform p;
    EXPECT_EQ(ExitSystem(p.platform, false, true), kErrorSuccess);
    EXPECT_EQ(p.power.calls, (std::vector<std::string>{"EnableShutdownPrivilege", "RequestExit 2"}));
    for (uint32_t id : {kVerPlatformWin32Windows, kVerPlatformWin32s, 7u}) {
        TestPlatform q;
        q.version.platformId = id;
        EXPECT_EQ(ExitSystem(q.platform, false, true), kErrorSuccess);
        EXPECT_EQ(q.power.calls, std::vector<std::string>{"RequestExit 2"}) << id;
    }
}

TEST(ExitSystem, APrivilegeRefusedAsksNothingAndSaysWhy) {
    TestPlatform p;
    p.power.privilegeRefusal = kErrorNotAllAssigned;
    EXPECT_EQ(ExitSystem(p.platform, false, true), kErrorNotAllAssigned);
    EXPECT_TRUE(p.power.exitWindowsFlags.empty());
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
    p.power.privilegeRefusal = kErrorNotAllAssigned;
    p.ui.answers = {kIdYes};
    form.mnureboot_Click(0);
    ASSERT_EQ(p.ui.messages.size(), 2u);
    // The sim knows no text for 1300; the real system gives its own sentence here.
    EXPECT_EQ(p.ui.messages[1].text, L"Could not restart the computer.\n\nSystem error 1300.");
    EXPECT_EQ(p.ui.messages[1].caption, L"Ostrevo");
    EXPECT_EQ(p.ui.messages[1].style, kMbOk | kMbIconError);
    EXPECT_TRUE(p.power.exitWindowsFlags.empty());

    p.power.privilegeRefusal = kErrorSuccess;
    p.power.exitRefusal = kErrorAccessDenied;
    p.ui.answers = {kIdYes};
    form.mnushutdown_Click();
    ASSERT_EQ(p.ui.messages.size(), 4u);
    EXPECT_EQ(p.ui.messages[3].text, L"Could not shut down the computer.\n\nAccess is denied.");
    EXPECT_EQ(p.power.exitWindowsFlags, std::vector<uint32_t>{kEwxShutdown});
}

}  // namespace
}  // namespace ostrevo
