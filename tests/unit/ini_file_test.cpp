// cIniFile over the simulated profile calls: its cursor, buffers and results, and window placement.
#include "ini/ini_file.h"

#include <gtest/gtest.h>

#include <cmath>

#include "test_platform.h"

namespace ostrevo {
namespace {

const char kFile[] = "C:\\test.ini";

cIniFile Cursor(SimDisk& disk, SimText& text, const std::wstring& section) {
    cIniFile ini(disk, text);
    ini.Path(L"C:\\test.ini");
    ini.Section(section);
    return ini;
}

TEST(IniFileTest, ReadsCutTo254AndGiveTheDefaultForWhatIsMissing) {
    TestPlatform p;
    p.disk.Put(kFile, "[s]\r\nlong=" + std::string(300, 'v') + "\r\nk=\"quoted\" rest\r\nj=x\r\n[t]\r\n");
    cIniFile ini = Cursor(p.disk, p.text, L"s");
    EXPECT_EQ(ini.Value(), std::wstring(L"long\0k\0j\0", 9));  // no key yet: the section's key list
    ini.Key(L"long");
    EXPECT_EQ(ini.Value(), std::wstring(254, L'v'));
    ini.Key(L"K");
    EXPECT_EQ(ini.Value(), L"\"quoted\" rest");
    ini.Key(L"missing");
    EXPECT_EQ(ini.Value(), L"");
    ini.Default(std::wstring(300, L'd'));
    EXPECT_EQ(ini.Value(), std::wstring(254, L'd'));
    ini.Key(std::wstring(32767, L'k'));  // too long for the calls: read as missing, never passed
    EXPECT_EQ(ini.Value(), std::wstring(254, L'd'));
    EXPECT_EQ(ini.Key().size(), 32767u);
    EXPECT_EQ(ini.Default().size(), 300u);
    EXPECT_EQ(ini.Path() + ini.Section(), L"C:\\test.inis");
}

TEST(IniFileTest, WritesRemoveNulsKeepTheirResultAndRemove) {
    TestPlatform p;
    p.disk.Put(kFile, "[a]\r\nx=1\r\n=e\r\ny=2\r\n[b]\r\nz=3\r\n[]\r\n");
    cIniFile ini = Cursor(p.disk, p.text, L"b");
    ini.Key(L"k");
    EXPECT_FALSE(ini.Success());
    ini.Value(std::wstring(L"a\0b\0c", 5));
    EXPECT_EQ(ini.LastReturnCode(), 1);
    p.disk.SetAttributes(kFile, kFileAttributeReadOnly);
    ini.Value(L"new");
    ini.Value();  // reads leave the result alone
    EXPECT_FALSE(ini.Success());
    p.disk.SetAttributes(kFile, kFileAttributeArchive);
    ini.Value(std::wstring(32767, L'v'));
    EXPECT_FALSE(ini.Success());
    EXPECT_EQ(p.disk.Text(kFile), "[a]\r\nx=1\r\n=e\r\ny=2\r\n[b]\r\nz=3\r\nk=abc\r\n[]\r\n");

    std::vector<std::wstring> items;
    int32_t count = -1;
    ini.EnumerateAllSections(items, count);  // the nameless one is no element
    EXPECT_EQ(items, (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(count, 2);
    ini.Section(L"a");
    ini.Key(L"x");
    ini.DeleteKey();
    EXPECT_TRUE(ini.Success());
    ini.EnumerateCurrentSection(items, count);
    EXPECT_EQ(items, (std::vector<std::wstring>{L"", L"y"}));  // a nameless key is an element
    EXPECT_EQ(count, 2);
    ini.INISection(L"ignored");
    ini.Section(L"b");
    ini.DeleteSection();
    EXPECT_EQ(p.disk.Text(kFile), "[]\r\n");
    EXPECT_EQ(ini.Sections(), std::wstring(L"\0", 1));
    ini.Section(L"");
    ini.EnumerateCurrentSection(items, count);
    EXPECT_EQ(count, 0);
}

TEST(IniFileTest, CLngDefaultIsTheNumberOrTheFallback) {
    SimText text;
    EXPECT_EQ((std::vector<int32_t>{
                  cIniFile::CLngDefault(L"42", text), cIniFile::CLngDefault(L" -60 ", text, 1),
                  cIniFile::CLngDefault(L"2.5", text, 1), cIniFile::CLngDefault(L"FAIL", text, 5),
                  cIniFile::CLngDefault(L"", text), cIniFile::CLngDefault(L"2147483648", text, 7)}),
              (std::vector<int32_t>{42, -60, 2, 5, 0, 7}));
}

// A window that logs what is done to it; nullopt members are ones it lacks.
struct Window : FormWindow {
    std::optional<int32_t> WindowState() override { return state; }
    bool WindowState(int32_t s) override {
        log += "state " + std::to_string(s) + ";";
        return true;
    }
    std::optional<double> Left() override { return left; }
    std::optional<double> Top() override { return top; }
    std::optional<double> Width() override { return 4000; }
    std::optional<double> Height() override { return 3500.5; }
    bool Move(int32_t l, int32_t t, int32_t w, int32_t h) override {
        for (int32_t n : {l, t, w, h}) log += std::to_string(n) + " ";
        return true;
    }
    std::optional<int32_t> state = 0;
    std::optional<double> left = -200;
    std::optional<double> top = 900;
    std::string log;
};

// 1024 x 768 pixels at 15 twips a pixel, unless given another width.
struct Screen : ScreenMetrics {
    explicit Screen(std::optional<double> width) : width(width) {}
    std::optional<double> Width() override { return width; }
    std::optional<double> Height() override { return 11520; }
    std::optional<float> TwipsPerPixelX() override { return 15.0f; }
    std::optional<float> TwipsPerPixelY() override { return 15.0f; }
    std::optional<double> width;
};

TEST(IniFileTest, SavedPlacementIsTheStateAndTheEdgesOfANormalWindow) {
    TestPlatform p;
    cIniFile ini = Cursor(p.disk, p.text, L"w");
    ini.Key(L"mine");
    Window window;
    window.state = kWindowStateMinimised;
    ini.SaveFormPosition(window);
    EXPECT_EQ(p.disk.Text(kFile), "");
    window.state = kWindowStateNormal;
    ini.SaveFormPosition(window);
    const std::string normal =
        "[w]\r\nMaximised=0\r\nLeft=-200\r\nTop=900\r\nWidth=4000\r\nHeight=3500.5\r\n";
    EXPECT_EQ(p.disk.Text(kFile), normal);
    EXPECT_TRUE(ini.Success());
    window.state = kWindowStateMaximised;
    window.left = 1;
    ini.SaveFormPosition(window);
    EXPECT_EQ(p.disk.Text(kFile), "[w]\r\nMaximised=1" + normal.substr(16));
    window.state = 0;
    window.left = NAN;
    ini.SaveFormPosition(window);
    EXPECT_FALSE(ini.Success());
    EXPECT_EQ(p.disk.Text(kFile), normal);
    window.state = std::nullopt;
    ini.SaveFormPosition(window);
    EXPECT_EQ(ini.Key(), L"mine");
}

TEST(IniFileTest, LoadedPlacementStaysOnTheScreenAndAboveTheMinimum) {
    struct Case {
        std::string stored;
        std::string log;
        std::optional<double> screenWidth = 15360;
        double minWidth = 3000;
        std::optional<double> top = 900;
    };
    const Case cases[] = {
        {"Left=15000\r\nWidth=4000", "11300 900 4000 3500 "},
        {"Left=100\r\nWidth=16000", "60 900 15240 3500 "},
        {"Width=500\r\nMaximised=1", "60 900 3000 3500 state 2;"},  // the window's own left
        {"Top=11000\r\nHeight=500", "60 8460 4000 3000 "},
        {"Maximised=x", "", 2000},  // too narrow for the minimum: no move, not maximised
        {"Maximised=1", "state 2;", 2000},
        {"Width=9000", "60 900 9000 3500 ", 15360, 9000},
        {"Maximised=1", "FAILED", std::nullopt},
        {"Left=2147483000\r\nWidth=2000", "FAILED"},  // the 32-bit sum overflows
        {"Top=2147483000\r\nHeight=2000", "FAILED"},
        {"", "FAILED", 15360, NAN},
        {"", "FAILED", 15360, 1e12},
        {"", "FAILED", 15360, 3000, std::nullopt},
    };
    for (const Case& c : cases) {
        TestPlatform p;
        p.disk.Put(kFile, "[w]\r\n" + c.stored + "\r\n");
        cIniFile ini = Cursor(p.disk, p.text, L"w");
        ini.Key(L"Saved");
        ini.Value(L"1");  // a last result that only a failure takes back to 0
        ini.Key(L"mine");
        ini.Default(L"own");
        Window window;
        window.top = c.top;
        Screen screen(c.screenWidth);
        ini.LoadFormPosition(window, screen, c.minWidth);
        EXPECT_EQ(ini.Success() ? window.log : "FAILED", c.log) << c.stored;
        EXPECT_EQ(ini.Key() + ini.Default(), L"mineown");
    }
}

}  // namespace
}  // namespace ostrevo
