// The parts beneath the commands: reading through the profile calls, cIniFile and its window
// placement, delimited lists, numbers under the user's separators, registry values, and the texts and
// checks of the shared utilities.
#include <cmath>

#include "ini/ini_file.h"
#include "registry/registry_utils.h"
#include "unit.h"
#include "util/app_utils.h"
#include "util/numeric_text.h"
#include "util/outcome.h"
#include "util/profile_read.h"

namespace ostrevo {
namespace {

constexpr char kIni[] = "C:\\ostrevo.ini";

// The profile calls read whole, and cIniFile over them.
TEST_F(Unit, AReadGrowsItsBufferUntilNothingIsCutAndIniFileKeepsEachWritesOwnResultAndReason) {
    p.disk.Put(kIni, "[s]\nv=x\nw=" + std::string(510, 'y') + "\n=nameless\nk=1\n[b]\n" +
                         std::string(32767, 'k') + "=found\n[]\n");
    const auto whole = [this](const char* key, uint32_t size) {
        const ProfileText read = ReadWhole(p.disk, "s", key, "", kIni, size);
        return read.text + (read.whole ? "" : " (cut)");
    };
    EXPECT_EQ(whole("w", 512), std::string(510, 'y'));  // size - 2 characters: read again
    cIniFile ini(p.disk, p.text);
    ini.Path(Widen(kIni));
    ini.Section(L"s");
    const auto value = [&ini](const std::wstring& key) { return (ini.Key(key), Latin1(ini.Value())); };
    ini.Default(std::wstring(300, L'd'));
    ini.Section(L"b");
    EXPECT_EQ(value(std::wstring(32767, L'k')), std::string(254, 'd'));  // too long to ask: the default
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
    // A refusal carries the system's reason; a write stopped before the call carries none of it.
    p.disk.Put(kIni, "", kReadOnlyHidden);
    ini.Value(L"x");
    EXPECT_EQ(ini.LastError(), kErrorAccessDenied);
    ini.Value(std::wstring(32767, L'v'));
    EXPECT_EQ(ini.LastError(), kErrorNoReason);
    p.disk.full = true;  // a list that never fits is read up to 64 MB, and said to be cut
    EXPECT_EQ(whole(nullptr, 512).size(), (1u << 26) - 2 + 6);
    EXPECT_EQ(FitsProfileCall(std::string(32766, 'a')) && !FitsProfileCall(std::string(32767, 'a')), true);
}

TEST_F(Unit, DelimitedListsCountReadFindAndAddItems) {
    EXPECT_EQ(ListItemCount(L"", L"|") + ListItemCount(L"x|", L"|"), 2);
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

TEST_F(Unit, FailureTextsAndWhatCountsAsAFile) {
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
    const std::string edges = ";Left=-200;Top=900;Width=4000;Height=3500.5;";
    EXPECT_EQ(run(kWindowStateNormal, -200, true), "[w];Maximised=0" + edges);
    EXPECT_EQ(run(kWindowStateMaximised, 1, true), "[w];Maximised=1" + edges);
    EXPECT_EQ(run(kWindowStateNormal, NAN, true), "[w];Maximised=0" + edges + "FAILED");
    EXPECT_EQ(run(std::nullopt, -200, true), "[w];Maximised=0" + edges + "FAILED");
    p.disk.Put(kIni, "[w]\nLeft=100\nWidth=16000\n");
    EXPECT_EQ(run(0), "60 900 15240 3500 ");
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
    EXPECT_EQ(read(Dword(0xFFFFFFFF)) + read(Dword(0x80000000)), "int:-1int:-2147483648");
    EXPECT_EQ(read({kRegDword, {7, 1}}) + read({kRegDword, {1, 0, 0, 0, 0}}) + read({kRegBinary, {1}}),
              "int:263text:text:");
    // A number's text asked to go as a number goes as one; a string goes exactly as given.
    const DynamicValue number = DynamicValue::FromText(L"16909060");
    EXPECT_EQ(WriteRegValue(p.platform, kHkeyLocalMachine, L"K", L"V", number, kRegDword), kErrorSuccess);
    EXPECT_EQ(p.registry.values["K\\V"], Dword(16909060));
    EXPECT_EQ(WriteRegString(p.platform, kHkeyLocalMachine, L"K", L"V", L" a b "), kErrorSuccess);
    EXPECT_EQ(p.registry.values["K\\V"], Sz(" a b "));
}

}  // namespace
}  // namespace ostrevo
