// The shared rules: delimited lists, the profile reading rules, numbers, the file and platform checks.
#include <gtest/gtest.h>

#include "bootcfg/boot_ini.h"
#include "test_platform.h"
#include "util/app_utils.h"
#include "util/numeric_text.h"
#include "util/outcome.h"
#include "util/profile_read.h"

namespace ostrevo {
namespace {

using Texts = std::vector<std::wstring>;
const std::wstring D = ListDelimiter();

TEST(UtilsTest, DelimitedLists) {
    SimText text;
    const std::wstring list = L"x" + D + D + L"Y";
    EXPECT_EQ((std::vector<int>{ListItemCount(L"", D), ListItemCount(L"x", D), ListItemCount(L"x" + D, D),
                                ListItemCount(list, D), ListItemCount(L"aaa", L"aa")}),
              (std::vector<int>{0, 1, 2, 3, 3}));  // overlapping delimiters each count
    EXPECT_EQ((Texts{GetListItem(1, list, D), GetListItem(2, list, D), GetListItem(3, list, D),
                     GetListItem(4, list, D), GetListItem(0, list, D), GetListItem(0, L"all", D),
                     GetListItem(2, L"all", D)}),
              (Texts{L"x", L"", L"Y", L"", L"", L"all", L""}));
    EXPECT_EQ(SplitList(list, D), (Texts{L"x", L"", L"Y"}));
    EXPECT_EQ(FindListItem(L"y", list, D, text), 3);
    EXPECT_EQ(FindListItem(L"\u00e9", L"x" + D + L"\u00c9", D, text), 2);
    EXPECT_EQ(FindListItem(L"z", list, D, text), -1);
    std::wstring added;
    AddListItem(L"b", added, false, D, L"");
    AddListItem(L"a", added, true, D, L"");
    AddListItem(L"", added, false, D, L"z");
    AddListItem(L"", added, false, D, L"");
    EXPECT_EQ(added, JoinList({L"a", L"b", L"z", L""}, D));
}

TEST(UtilsTest, SectionKeysInFileOrderOnceEachAndWhole) {
    TestPlatform p;
    std::string many = "[os]\r\none=1\r\nTwo=2\r\nONE=3\r\n";
    Texts expected = {L"one", L"Two"};
    for (int i = 0; i < 300; ++i) {
        many += "key" + std::to_string(i) + "=v\r\n";
        expected.push_back(L"key" + std::to_wstring(i));
    }
    p.disk.Put("C:\\boot.ini", many + "[x]\r\n");
    EXPECT_EQ(SectionKeys(p.disk, p.text, L"c:\\BOOT.INI", L"OS"), expected);
    EXPECT_EQ(SectionKeyList(p.disk, p.text, L"C:\\boot.ini", L"os").substr(0, 9),
              L"one" + D + L"Two" + D + L"k");
    EXPECT_TRUE(SectionKeys(p.disk, p.text, L"C:\\boot.ini", L"x").empty());
    EXPECT_TRUE(SectionKeys(p.disk, p.text, L"C:\\none.ini", L"os").empty());
}

// A profile whose every answer fills the buffer, as a list always too large would.
struct AlwaysCut : SimDisk {
    uint32_t GetPrivateProfileStringA(const char*, const char*, const char*, char* out, uint32_t size,
                                      const char*) override {
        sizes.push_back(size);
        std::fill(out, out + size, '\0');
        return size - 2;
    }
    std::vector<uint32_t> sizes;
};

TEST(UtilsTest, ProfileReadsAreGrownUntilWholeUpToACap) {
    TestPlatform p;
    p.disk.Put("C:\\a.ini", "[s]\r\nv=" + std::string(600, 'x') + "\r\nw=" + std::string(510, 'y') + "\r\n");
    EXPECT_EQ(ReadWhole(p.disk, "s", "v", "", "C:\\a.ini", 256).text, std::string(600, 'x'));
    const int reads = p.disk.reads;
    EXPECT_EQ(ReadWhole(p.disk, "s", "w", "", "C:\\a.ini", 512).text.size(), 510u);  // 510 + 2 fills 512
    EXPECT_EQ(ReadWhole(p.disk, "s", "w", "", "C:\\a.ini", 513).text.size(), 510u);  // 510 + 3 does not
    EXPECT_EQ(p.disk.reads - reads, 3);
    EXPECT_EQ(ReadWhole(p.disk, "s", nullptr, "", "C:\\a.ini", 4).text, std::string("v\0w\0", 4));
    AlwaysCut cut;
    const ProfileText list = ReadWhole(cut, "s", nullptr, "", "x", 512);
    EXPECT_FALSE(list.whole);
    EXPECT_EQ(cut.sizes, (std::vector<uint32_t>{1u << 9, 1u << 10, 1u << 11, 1u << 12, 1u << 13, 1u << 14,
                                                1u << 15, 1u << 16, 1u << 17, 1u << 18, 1u << 19, 1u << 20,
                                                1u << 21, 1u << 22, 1u << 23, 1u << 24, 1u << 25, 1u << 26}));
    EXPECT_EQ(list.text.size(), (1u << 26) - 2);
    EXPECT_EQ(SplitNulList(std::wstring(L"a\0\0b\0tail", 9), true), (Texts{L"a", L"", L"b"}));
    EXPECT_EQ(SplitNulList(std::wstring(L"a\0\0b\0", 5), false), (Texts{L"a", L"b"}));
    EXPECT_EQ(WithoutNuls(std::wstring(L"a\0b\0", 4)), L"ab");
    EXPECT_TRUE(FitsProfileCall(std::string(32766, 'a')));
    EXPECT_FALSE(FitsProfileCall(std::string(32767, 'a')));
}

TEST(UtilsTest, NumbersUnderTheUsersSeparators) {
    SimText text;
    for (const wchar_t* yes :
         {L"0", L" -5 ", L"+2.5", L"\t8", L"1,234.5", L".5", L"1e3", L"2E-2", L"7.", L"1e+2"}) {
        EXPECT_TRUE(IsNumeric(yes, text)) << yes;
    }
    for (const wchar_t* no : {L"", L" ", L"-", L"abc", L"1e", L"1x", L"1e5x", L",5", L"1.2.3", L"&H10",
                              L"1e999", L"- 1", L"1 2", L"+-1", L"1e-"}) {
        EXPECT_FALSE(IsNumeric(no, text)) << no;
    }
    EXPECT_EQ(ParseNumericText(L" -1,234.5e1", text), -12345.0);
    text.decimal = L",";
    text.group = L".";
    EXPECT_EQ(ParseNumericText(L"1.234,5", text), 1234.5);
    EXPECT_FALSE(IsNumeric(L"1,2,3", text));
    EXPECT_EQ(
        (std::vector<std::optional<int32_t>>{RoundToInt32(2.5), RoundToInt32(3.5), RoundToInt32(-2.5),
                                             RoundToInt32(2147483647.4), RoundToInt32(-2147483648.0),
                                             RoundToInt32(2147483647.5), RoundToInt32(-2147483649.0)}),
        (std::vector<std::optional<int32_t>>{2, 4, -2, 2147483647, INT32_MIN, std::nullopt, std::nullopt}));
    EXPECT_EQ(IntegerText(-42), L"-42");
}

TEST(UtilsTest, FilesWhateverTheirAttributesButNoFoldersAndNoDiskBox) {
    TestPlatform p;
    p.disk.Put("C:\\boot.ini", "", kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem);
    p.disk.MakeDirectory("C:\\folder");
    p.disk.errorMode = 0x8000;
    EXPECT_TRUE(FileExists(p.disk, p.text, L"C:\\Boot.ini"));
    for (const wchar_t* no : {L"C:\\folder", L"C:\\none.ini", L"", L"A:\\boot.ini"}) {
        EXPECT_FALSE(FileExists(p.disk, p.text, no)) << no;
    }
    EXPECT_EQ(p.disk.noMediumBoxes, 0);
    EXPECT_EQ(p.disk.errorMode, 0x8000u);  // the caller's mode is back
    for (uint32_t id : {0u, 1u, 2u, 3u}) {
        p.version.platformId = id;
        EXPECT_EQ(IsWinNT(p.version), id == 2) << id;
    }
    EXPECT_EQ((Texts{ValueToText(DynamicValue::FromInteger(-5)), ValueToText(DynamicValue::FromText(L"t")),
                     ValueToText(DynamicValue::Null()), ValueToText(DynamicValue())}),
              (Texts{L"-5", L"t", L"", L""}));
}

TEST(UtilsTest, DisplayNamesAndFailureTexts) {
    EXPECT_EQ((Texts{DisplayName(L"\"Alpha\" /fastdetect"), DisplayName(L"Beta /sos"), DisplayName(L"\"\"x"),
                     DisplayName(L"\"open"), DisplayName(L"")}),
              (Texts{L"Alpha", L"Beta /sos", L"", L"open", L""}));
    SimText text;
    EXPECT_EQ((Texts{FailureText(text, L"What.", kErrorSuccess), FailureText(text, L"What.", kErrorNoReason),
                     FailureText(text, L"What.", kErrorAccessDenied), FailureText(text, L"What.", 1300)}),
              (Texts{L"What.", L"What.", L"What.\n\nAccess is denied.", L"What.\n\nSystem error 1300."}));
}

}  // namespace
}  // namespace ostrevo
