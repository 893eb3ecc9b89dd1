// Window placement saved to and restored from a profile section, over a simulated window and screen.
#include <cmath>
#include <limits>

#include "ini/ini_file.h"
#include "platform/sim/sim_window.h"
#include "test_platform.h"

namespace ostrevo {
namespace {

using Calls = std::vector<std::string>;

constexpr char kFile[] = "C:\\place.ini";

class FormPositionTest : public ::testing::Test {
protected:
    FormPositionTest() : ini(p.profile, p.text) {
        ini.Path(L"C:\\place.ini");
        ini.Section(L"Form1");
        ini.Key(L"Original");
        ini.Default(L"dflt");
    }
    void Store(const std::string& keys) { p.disk.PutFile(kFile, "[Form1]\r\n" + keys); }
    std::string File() { return p.disk.FileBytes(kFile).value_or("<missing>"); }
    // A successful write first, so that a failure is seen turning LastReturnCode to 0.
    void SucceedOnce() {
        ini.Key(L"Other");
        ini.Value(L"x");
        ASSERT_TRUE(ini.Success());
        ini.Key(L"Original");
    }
    void ExpectCursorRestored() {
        EXPECT_EQ(ini.Key(), L"Original");
        EXPECT_EQ(ini.Default(), L"dflt");
    }

    TestPlatform p;
    cIniFile ini;
    SimFormWindow window;
    SimScreen screen;
};

// --- Saving ---

TEST_F(FormPositionTest, SaveOfANormalWindowWritesAllFiveKeysInOrder) {
    window.left = -150;
    ini.SaveFormPosition(window);
    EXPECT_EQ(File(), "[Form1]\r\nMaximised=0\r\nLeft=-150\r\nTop=900\r\nWidth=6000\r\nHeight=4500\r\n");
    EXPECT_EQ(window.calls,
              (Calls{"WindowState", "WindowState", "WindowState", "Left", "Top", "Width", "Height"}));
    EXPECT_TRUE(ini.Success());
    ExpectCursorRestored();
}

TEST_F(FormPositionTest, SaveOfAMaximisedWindowWritesOnlyTheStateAndKeepsTheEarlierPlacement) {
    Store("Maximised=0\r\nLeft=1\r\nTop=2\r\nWidth=3\r\nHeight=4\r\n");
    window.windowState = kWindowStateMaximised;
    ini.SaveFormPosition(window);
    EXPECT_EQ(File(), "[Form1]\r\nMaximised=1\r\nLeft=1\r\nTop=2\r\nWidth=3\r\nHeight=4\r\n");
    EXPECT_EQ(window.calls, (Calls{"WindowState", "WindowState", "WindowState"}));
    EXPECT_TRUE(ini.Success());
}

TEST_F(FormPositionTest, SaveOfAMinimisedWindowWritesNothingAndKeepsTheLastResult) {
    SucceedOnce();
    const std::string before = File();
    const int writes = p.disk.WriteCount();
    window.windowState = kWindowStateMinimised;
    ini.SaveFormPosition(window);
    EXPECT_EQ(File(), before);
    EXPECT_EQ(p.disk.WriteCount(), writes);
    EXPECT_EQ(ini.LastReturnCode(), 1);
    ExpectCursorRestored();
}

TEST_F(FormPositionTest, FractionalEdgesAreWrittenInTheLocaleSoTheyReadBack) {
    p.text.decimal = L",";
    p.text.group = L".";
    window.width = 857.142857;  // 100 pixels at 168 dots per inch
    window.height = -0.0;
    ini.SaveFormPosition(window);
    EXPECT_EQ(File(), "[Form1]\r\nMaximised=0\r\nLeft=1200\r\nTop=900\r\nWidth=857,1429\r\nHeight=0\r\n");
    ini.Key(L"Width");
    EXPECT_EQ(ini.CLngDefault(ini.Value(), -1), 857);
}

TEST_F(FormPositionTest, SaveFailuresKeepWhatWasWrittenAndReportZero) {
    struct Case {
        const char* what;
        void (*breakWindow)(SimFormWindow&);
        std::string file;
    };
    const Case cases[] = {
        {"no WindowState", [](SimFormWindow& w) { w.windowState.reset(); }, "[Form1]\r\nOther=x\r\n"},
        {"no Height", [](SimFormWindow& w) { w.height.reset(); },
         "[Form1]\r\nOther=x\r\nMaximised=0\r\nLeft=1200\r\nTop=900\r\nWidth=6000\r\n"},
        {"infinite Top", [](SimFormWindow& w) { w.top = std::numeric_limits<double>::infinity(); },
         "[Form1]\r\nOther=x\r\nMaximised=0\r\nLeft=1200\r\n"},
        {"NaN Left", [](SimFormWindow& w) { w.left = std::nan(""); },
         "[Form1]\r\nOther=x\r\nMaximised=0\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        p.disk.PutFile(kFile, "");
        SucceedOnce();
        SimFormWindow broken;
        c.breakWindow(broken);
        ini.SaveFormPosition(broken);
        EXPECT_EQ(File(), c.file);
        EXPECT_EQ(ini.LastReturnCode(), 0);
        ExpectCursorRestored();
    }
}

// --- Restoring ---

TEST_F(FormPositionTest, LoadFollowsTheWorkedExamplesOnA1024By768Screen) {
    struct Case {
        const char* stored;
        const char* move;
    };
    const Case cases[] = {
        {"Left=15000\r\nTop=900\r\nWidth=4000\r\nHeight=3000\r\n", "Move 11300 900 4000 3000"},
        {"Left=100\r\nTop=900\r\nWidth=16000\r\nHeight=3000\r\n", "Move 60 900 15240 3000"},
        {"Left=-200\r\nTop=900\r\nWidth=4000\r\nHeight=3000\r\n", "Move 60 900 4000 3000"},
        // The same rules on the vertical axis: 11520 - 60 = 11460 is the bottom limit.
        {"Left=900\r\nTop=10000\r\nWidth=4000\r\nHeight=3000\r\n", "Move 900 8460 4000 3000"},
        {"Left=900\r\nTop=100\r\nWidth=4000\r\nHeight=12000\r\n", "Move 900 60 4000 11400"},
        // Stored text CLngDefault does not accept falls back on the window's own value.
        {"Left=abc\r\nTop=1e3\r\nWidth=2.5e3\r\nHeight=99999999999\r\n", "Move 1200 1000 3000 4500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        Store(c.stored);
        SimFormWindow fresh;
        ini.LoadFormPosition(fresh, screen);
        EXPECT_EQ(fresh.calls, (Calls{"Left", "Top", "Width", "Height", c.move}));
        ExpectCursorRestored();
    }
}

TEST_F(FormPositionTest, LoadOfAnEmptySectionPushesTheWindowsOwnPlacementInside) {
    Store("");
    window.left = -30;
    window.top = 2501.5;  // halves go to the even neighbour, up or down
    window.width = 2500.5;
    window.height = 3500.5;
    ini.LoadFormPosition(window, screen);
    // Width 2500 is raised to the minimum.
    EXPECT_EQ(window.calls, (Calls{"Left", "Top", "Width", "Height", "Move 60 2502 3000 3500"}));
    EXPECT_EQ(window.windowState, kWindowStateNormal);
    EXPECT_EQ(ini.LastReturnCode(), 0);  // a load changes no result; nothing was written before
    ExpectCursorRestored();
}

TEST_F(FormPositionTest, LoadRaisesAStoredWidthOf500ToTheDefaultMinimum) {
    Store("Left=1000\r\nTop=1000\r\nWidth=500\r\nHeight=500\r\n");
    ini.LoadFormPosition(window, screen);
    EXPECT_EQ(window.calls.back(), "Move 1000 1000 3000 3000");
    Store("Left=1000\r\nTop=1000\r\nWidth=500\r\nHeight=500\r\n");
    window.calls.clear();
    ini.LoadFormPosition(window, screen, 4000, 1000);
    EXPECT_EQ(window.calls.back(), "Move 1000 1000 4000 1000");
}

TEST_F(FormPositionTest, LoadMaximisesAfterMoveOnlyForANonZeroNumber) {
    const std::pair<const char*, bool> cases[] = {{"Maximised=1\r\n", true},    {"Maximised= 2 \r\n", true},
                                                  {"Maximised=0\r\n", false},   {"Maximised=yes\r\n", false},
                                                  {"Maximised=0.4\r\n", false}, {"", false}};
    for (const auto& [stored, maximised] : cases) {
        SCOPED_TRACE(stored);
        Store(stored);
        SimFormWindow fresh;
        ini.LoadFormPosition(fresh, screen);
        ASSERT_EQ(fresh.calls.size(), maximised ? 6u : 5u);
        EXPECT_EQ(fresh.calls[4], "Move 1200 900 6000 4500");
        if (maximised) {
            EXPECT_EQ(fresh.calls[5], "WindowState=2");
        }
    }
}

TEST_F(FormPositionTest, AScreenTooSmallForTheMinimumSkipsMoveButStillMaximises) {
    Store("Maximised=1\r\nLeft=0\r\nTop=0\r\nWidth=4000\r\nHeight=3000\r\n");
    screen.width = 200 * 15;  // 200 pixels: 3000 - 120 twips is all there is
    ini.LoadFormPosition(window, screen);
    EXPECT_EQ(window.calls, (Calls{"Left", "Top", "Width", "Height", "WindowState=2"}));
    EXPECT_EQ(window.moves, 0);
    ExpectCursorRestored();
}

TEST_F(FormPositionTest, LoadUsesEachAxisOwnPixelSizeForItsMargin) {
    Store("Left=0\r\nTop=0\r\nWidth=4000\r\nHeight=3000\r\n");
    screen.twipsPerPixelX = 12.0f;    // 120 dots per inch
    screen.twipsPerPixelY = 15.125f;  // margin 60.5 rounds to 60 (even)
    ini.LoadFormPosition(window, screen);
    EXPECT_EQ(window.calls.back(), "Move 48 60 4000 3000");
}

TEST_F(FormPositionTest, LoadFailuresRestoreTheCursorAndReportZero) {
    struct Case {
        const char* what;
        const char* stored;
        void (*breakIt)(SimFormWindow&, SimScreen&);
        bool moved;
    };
    const Case cases[] = {
        {"no Left", "", [](SimFormWindow& w, SimScreen&) { w.left.reset(); }, false},
        // The window's own value counts even when a stored one is used.
        {"no Top, stored Top", "Top=100\r\n", [](SimFormWindow& w, SimScreen&) { w.top.reset(); }, false},
        {"NaN Width, stored Width", "Width=4000\r\n",
         [](SimFormWindow& w, SimScreen&) { w.width = std::nan(""); }, false},
        {"Height beyond 32 bits", "Height=4000\r\n", [](SimFormWindow& w, SimScreen&) { w.height = 3e9; },
         false},
        {"no Move", "", [](SimFormWindow& w, SimScreen&) { w.canMove = false; }, false},
        {"cannot maximise", "Maximised=1\r\n",
         [](SimFormWindow& w, SimScreen&) { w.canSetWindowState = false; }, true},
        {"L + W overflows", "Left=2147480000\r\nWidth=4000\r\n", [](SimFormWindow&, SimScreen&) {}, false},
        {"T + H overflows", "Top=2147483000\r\nHeight=5000\r\n", [](SimFormWindow&, SimScreen&) {}, false},
        {"screen fails", "", [](SimFormWindow&, SimScreen& s) { s.fail = true; }, false},
        {"no screen height", "", [](SimFormWindow&, SimScreen& s) { s.height.reset(); }, false},
        {"NaN pixel size", "",
         [](SimFormWindow&, SimScreen& s) { s.twipsPerPixelY = std::numeric_limits<float>::quiet_NaN(); },
         false},
        {"infinite screen width", "",
         [](SimFormWindow&, SimScreen& s) { s.width = std::numeric_limits<double>::infinity(); }, false},
        // Pulled back left of the screen, the new left no longer fits 32 bits.
        {"screen beyond 32 bits", "Width=4000\r\n", [](SimFormWindow&, SimScreen& s) { s.width = -5e9; },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Store(c.stored);
        SucceedOnce();
        SimFormWindow broken;
        SimScreen badScreen;
        c.breakIt(broken, badScreen);
        ini.LoadFormPosition(broken, badScreen);
        EXPECT_EQ(ini.LastReturnCode(), 0);
        EXPECT_EQ(broken.moves, c.moved ? 1 : 0);
        EXPECT_EQ(broken.windowState, kWindowStateNormal);
        ExpectCursorRestored();
    }
}

TEST_F(FormPositionTest, ANonFiniteMinimumIsAFailureNotASilentSkip) {
    Store("");
    SucceedOnce();
    ini.LoadFormPosition(window, screen, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(ini.LastReturnCode(), 0);
    EXPECT_EQ(window.moves, 0);
    ExpectCursorRestored();
}

TEST_F(FormPositionTest, AnUnsetKeyAndDefaultStayUnset) {
    cIniFile bare(p.profile, p.text);
    bare.Path(L"C:\\place.ini");
    bare.Section(L"Form1");
    Store("a=1\r\nb=2\r\n");
    bare.LoadFormPosition(window, screen);
    bare.SaveFormPosition(window);
    // Unset, the key still asks for the key list and the default is no "FAIL".
    EXPECT_EQ(bare.Value(), std::wstring(L"a\0b\0Maximised\0Left\0Top\0Width\0Height\0", 36));
    bare.Section(L"none");
    bare.Key(L"x");
    EXPECT_EQ(bare.Value(), L"");
}

}  // namespace
}  // namespace ostrevo
