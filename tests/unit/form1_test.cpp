// Start-up from boot.ini and the tray handlers, over the simulated platform.
#include "shell/form1.h"

#include "test_platform.h"
#include "util/app_utils.h"
#include "util/profile_read.h"

namespace ostrevo {
namespace {

const char kThreeEntries[] =
    "[boot loader]\r\n"
    "timeout=30\r\n"
    "default=multi(0)disk(0)rdisk(0)partition(2)\\WINNT\r\n"
    "[operating systems]\r\n"
    "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Alpha System\" /fastdetect /noexecute=optin\r\n"
    "multi(0)disk(0)rdisk(0)partition(2)\\WINNT=Beta System /sos\r\n"
    "C:\\=\"Gamma & Co\r\n";

class Form1Test : public ::testing::Test {
protected:
    Form1& Load(const std::string& bootIni) {
        p.disk.PutFile("C:\\boot.ini", bootIni,
                       kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem);
        form = std::make_unique<Form1>(p.platform);
        loaded = form->Form_Load();
        return *form;
    }
    std::vector<std::wstring> ShownMenu() {
        p.ui.menuChoices.push_back({});
        form->PrimaryMenuEvent();
        return p.ui.shownMenus.back();
    }
    TestPlatform p;
    std::unique_ptr<Form1> form;
    bool loaded = false;
};

TEST_F(Form1Test, BuildsTheWholeMenuFromTheFile) {
    Form1& f = Load(kThreeEntries);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(ShownMenu(), (std::vector<std::wstring>{L"Timeout",
                                                      L"  0",
                                                      L"  10",
                                                      L"  15",
                                                      L"  20",
                                                      L"  [x] 30",
                                                      L"  45",
                                                      L"  Other...",
                                                      L"&Reboot",
                                                      L"&ShutDown",
                                                      L"Reboot To...",
                                                      L"  Alpha System",
                                                      L"  Beta System /sos",
                                                      L"  Gamma & Co",
                                                      L"Default OS",
                                                      L"  Alpha System",
                                                      L"  [x] Beta System /sos",
                                                      L"  Gamma & Co",
                                                      L"Auto Login",
                                                      L"&Exit"}));
    ASSERT_EQ(f.mnuDefOs.size(), 4u);
    ASSERT_EQ(f.mnuRBOS.size(), 4u);
    EXPECT_EQ(f.mnuDefOs[1]->Tag, L"multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS");
    EXPECT_EQ(f.mnuRBOS[3]->Tag, L"C:\\");
    EXPECT_EQ(f.LastDefault, 2);
    EXPECT_EQ(f.LastTimeout, &f.mnu30);
    EXPECT_FALSE(f.mnuDefOs[0]->Visible || f.mnuDefOs[0]->Enabled || f.mnuRBOS[0]->Visible ||
                 f.mnuRBOS[0]->Enabled);
    const std::wstring d = ListDelimiter();
    EXPECT_EQ(f.OSList, L"multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS" + d +
                            L"multi(0)disk(0)rdisk(0)partition(2)\\WINNT" + d + L"C:\\");
    EXPECT_EQ(p.disk.WriteCount(), 0);
}

TEST_F(Form1Test, DuplicateKeysGiveOneItemAndOddNamesStayWhole) {
    Form1& f = Load(
        "[operating systems]\r\n"
        "c:\\=\"First\"\r\n"
        "C:\\=\"Second\"\r\n"
        "d:\\=\"\"quoted twice\r\n"
        "e:\\=\r\n"
        "f:\\=" +
        std::string(300, 'n') + "\r\n");
    ASSERT_EQ(f.mnuDefOs.size(), 5u);
    EXPECT_EQ(f.mnuDefOs[1]->Caption, L"First");
    EXPECT_EQ(f.mnuDefOs[1]->Tag, L"c:\\");
    EXPECT_EQ(f.mnuDefOs[2]->Caption, L"");
    EXPECT_EQ(f.mnuDefOs[3]->Caption, L"");
    EXPECT_EQ(f.mnuDefOs[4]->Caption, std::wstring(254, L'n'));
    EXPECT_EQ(f.LastDefault, 0);
}

TEST_F(Form1Test, TimeoutMatchesOnlyExactFixedTexts) {
    struct Case {
        const char* line;
        std::wstring otherCaption;
        bool otherChecked;
    };
    for (const Case& c : {Case{"timeout=30", L"Other...", false}, Case{"timeout=030", L"Other (030)", true},
                          Case{"timeout=-1", L"Other (-1)", true}, Case{"timeout=abc", L"Other (abc)", true},
                          Case{"timeout= 30", L"Other...", false}, Case{"", L"Other ()", true}}) {
        Form1& f = Load(std::string("[boot loader]\r\n") + c.line + "\r\n[operating systems]\r\nc:\\=x\r\n");
        EXPECT_EQ(f.mnuother.Caption, c.otherCaption) << c.line;
        EXPECT_EQ(f.mnuother.Checked, c.otherChecked) << c.line;
        int checked = 0;
        for (MenuItem* item : {&f.mnu0, &f.mnu10, &f.mnu15, &f.mnu20, &f.mnu30, &f.mnu45, &f.mnuother}) {
            checked += item->Checked ? 1 : 0;
            if (item->Checked) {
                EXPECT_EQ(f.LastTimeout, item);
            }
        }
        EXPECT_EQ(checked, 1) << c.line;
    }
}

TEST_F(Form1Test, DefaultMatchesTheKeyExactly) {
    Form1& f = Load("[boot loader]\r\ndefault=C:\\Two\r\n[operating systems]\r\nc:\\one=1\r\nc:\\two=2\r\n");
    EXPECT_EQ(f.LastDefault, 0);
    EXPECT_FALSE(f.mnuDefOs[1]->Checked || f.mnuDefOs[2]->Checked);

    Form1& g = Load("[boot loader]\r\ndefault=c:\\two\r\n[operating systems]\r\nc:\\one=1\r\nc:\\two=2\r\n");
    EXPECT_EQ(g.LastDefault, 2);
    EXPECT_TRUE(g.mnuDefOs[2]->Checked);
    EXPECT_FALSE(g.mnuDefOs[1]->Checked);
    EXPECT_FALSE(g.mnuRBOS[2]->Checked);
}

TEST_F(Form1Test, NoEntryIsLostHoweverManyThereAre) {
    std::string file = "[operating systems]\r\n";
    for (int i = 0; i < 200; ++i)
        file += "multi(0)disk(0)rdisk(1)partition(" + std::to_string(i) + ")\\WINDOWS=\"OS\"\r\n";
    Form1& f = Load(file);
    ASSERT_EQ(f.mnuDefOs.size(), 201u);
    EXPECT_EQ(f.mnuDefOs[200]->Tag, L"multi(0)disk(0)rdisk(1)partition(199)\\WINDOWS");
}

TEST_F(Form1Test, MissingFileShowsTheMessageAndEnds) {
    form = std::make_unique<Form1>(p.platform);
    EXPECT_FALSE(form->Form_Load());
    ASSERT_EQ(p.ui.messages.size(), 1u);
    EXPECT_EQ(p.ui.messages[0].text,
              L"c:\\boot.ini file not found.  Ostrevo only helps if you have a dual boot system.");
    EXPECT_EQ(p.ui.messages[0].caption, L"Ostrevo");
    EXPECT_EQ(p.ui.messages[0].style, kMbOk);
    EXPECT_TRUE(p.ui.ended);
    EXPECT_EQ(form->mnuDefOs.size(), 1u);
    EXPECT_FALSE(p.disk.FileBytes("C:\\boot.ini").has_value());
}

TEST_F(Form1Test, BothTrayEventsShowTheMenuAndExitEndsTheProgram) {
    Load(kThreeEntries);
    p.ui.menuChoices.push_back({});
    form->SecondaryMenuEvent();
    EXPECT_EQ(p.ui.foregroundCalls, 1);
    ASSERT_EQ(p.ui.shownMenus.size(), 1u);
    EXPECT_FALSE(p.ui.ended);

    p.ui.menuChoices.push_back({L"&Exit"});
    form->PrimaryMenuEvent();
    EXPECT_EQ(p.ui.foregroundCalls, 2);
    EXPECT_TRUE(p.ui.ended);
    EXPECT_TRUE(p.ui.messages.empty());
    EXPECT_EQ(p.disk.WriteCount(), 0);
}

TEST_F(Form1Test, AutoLoginIsShownOnlyOnTheNtFamily) {
    p.version.platformId = kVerPlatformWin32Windows;
    Form1& f = Load(kThreeEntries);
    EXPECT_FALSE(f.mnuAutoLogin.Visible);
    EXPECT_EQ(ShownMenu().size(), 19u);
}

TEST_F(Form1Test, KeysTooLongForTheProfileCallsAreLeftOut) {
    const std::string longKey(kLongestProfileArgument + 1, 'K');
    const std::string longestKey(kLongestProfileArgument, 'L');
    Form1& f = Load("[operating systems]\r\n" + longKey + "=\"Too Long\"\r\n" + longestKey +
                    "=\"Longest\"\r\nc:\\=\"Short\"\r\n");
    ASSERT_EQ(f.mnuDefOs.size(), 3u);
    EXPECT_EQ(f.mnuDefOs[1]->Caption, L"Longest");
    EXPECT_EQ(f.mnuDefOs[2]->Tag, L"c:\\");
    EXPECT_EQ(f.mnuRBOS.size(), 3u);
}

}  // namespace
}  // namespace ostrevo
