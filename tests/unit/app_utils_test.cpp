// AppUtils: delimited lists, the section key list, file and platform checks.
#include "util/app_utils.h"

#include "test_platform.h"

namespace ostrevo {
namespace {

const std::wstring D = ListDelimiter();

TEST(DelimitedListTest, CountsAndItemsAtTheEdges) {
    EXPECT_EQ(ListItemCount(L"", D), 0);
    EXPECT_EQ(ListItemCount(L"x", D), 1);
    EXPECT_EQ(ListItemCount(L"x" + D, D), 2);
    EXPECT_EQ(ListItemCount(D + L"x", D), 2);
    EXPECT_EQ(ListItemCount(L"x" + D + D + L"y", D), 3);

    const std::wstring list = L"x" + D + D + L"y";
    EXPECT_EQ(GetListItem(1, list, D), L"x");
    EXPECT_EQ(GetListItem(2, list, D), L"");
    EXPECT_EQ(GetListItem(3, list, D), L"y");
    EXPECT_EQ(GetListItem(4, list, D), L"");
    EXPECT_EQ(GetListItem(2, L"x" + D, D), L"");
    EXPECT_EQ(GetListItem(0, L"whole", D), L"whole");
    EXPECT_EQ(GetListItem(-3, L"whole", D), L"whole");
    EXPECT_EQ(GetListItem(2, L"whole", D), L"");
    EXPECT_EQ(GetListItem(0, list, D), L"");
    EXPECT_EQ(GetListItem(-1, list, D), L"");
    EXPECT_EQ(GetListItem(1, L"", D), L"");
}

TEST(DelimitedListTest, MultiCharacterDelimitersCountOverlappingOccurrences) {
    EXPECT_EQ(ListItemCount(L"aXXXb", L"XX"), 3);
    EXPECT_EQ(GetListItem(1, L"aXXXb", L"XX"), L"a");
    // The second item starts after the first occurrence and runs to the next one found from there.
    EXPECT_EQ(GetListItem(2, L"aXXXb", L"XX"), L"Xb");
    EXPECT_EQ(GetListItem(3, L"aXXXb", L"XX"), L"b");
}

TEST(DelimitedListTest, SplitAgreesWithGetListItemEverywhere) {
    for (const std::wstring& list :
         {std::wstring(L"a"), L"a" + D + L"b", D, D + D + L"c" + D, L"one" + D + D}) {
        const std::vector<std::wstring> items = SplitList(list, D);
        ASSERT_EQ(static_cast<int32_t>(items.size()), ListItemCount(list, D));
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i], GetListItem(static_cast<int32_t>(i + 1), list, D));
        }
        EXPECT_EQ(JoinList(items, D), list);
    }
}

TEST(DelimitedListTest, FindIgnoresCaseAndAddPlacesTheItem) {
    SimText text;
    const std::wstring list = L"one" + D + L"\u00E9t\u00E9" + D + L"One";
    EXPECT_EQ(FindListItem(L"ONE", list, D, text), 1);
    EXPECT_EQ(FindListItem(L"\u00C9T\u00C9", list, D, text), 2);
    EXPECT_EQ(FindListItem(L"two", list, D, text), -1);
    EXPECT_EQ(FindListItem(L"x", L"", D, text), -1);

    std::wstring added;
    AddListItem(L"b", added, false, D, L"");
    EXPECT_EQ(added, L"b");
    AddListItem(L"a", added, true, D, L"");
    AddListItem(L"", added, false, D, L"dflt");
    AddListItem(L"", added, false, D, L"");
    EXPECT_EQ(added, L"a" + D + L"b" + D + L"dflt" + D);
}

class SectionKeyListTest : public ::testing::Test {
protected:
    std::wstring Keys(const std::string& file) {
        p.disk.PutFile("C:\\boot.ini", file);
        return SectionKeyList(p.profile, p.text, L"c:\\Boot.ini", L"operating systems");
    }
    TestPlatform p;
};

TEST_F(SectionKeyListTest, KeepsFileOrderAndTheFirstSpellingOfDuplicates) {
    EXPECT_EQ(Keys("[operating systems]\r\none=1\r\ntwo=2\r\nONE=3\r\nthree=\r\n"),
              L"one" + D + L"two" + D + L"three");
    EXPECT_EQ(Keys("[Operating Systems]\r\nsingle=1\r\n"), L"single");
}

TEST_F(SectionKeyListTest, EmptyMissingSectionAndMissingFileGiveNothing) {
    EXPECT_EQ(Keys("[operating systems]\r\n[boot loader]\r\ntimeout=3\r\n"), L"");
    EXPECT_EQ(Keys("[boot loader]\r\ntimeout=3\r\n"), L"");
    EXPECT_EQ(SectionKeyList(p.profile, p.text, L"c:\\none.ini", L"operating systems"), L"");
}

TEST_F(SectionKeyListTest, ReadsEveryKeyWholeHoweverLongTheList) {
    std::string file = "[operating systems]\r\n";
    std::vector<std::wstring> expected;
    for (int i = 0; i < 300; ++i) {
        const std::string key = "multi(0)disk(0)rdisk(0)partition(" + std::to_string(i) + ")\\WINDOWS";
        file += key + "=\"System " + std::to_string(i) + "\"\r\n";
        expected.emplace_back(key.begin(), key.end());
    }
    const std::vector<std::wstring> keys =
        SectionKeys(p.profile, p.text, L"c:\\Boot.ini", L"operating systems");
    EXPECT_TRUE(keys.empty());
    p.disk.PutFile("C:\\boot.ini", file);
    EXPECT_EQ(SectionKeys(p.profile, p.text, L"c:\\Boot.ini", L"operating systems"), expected);
}

TEST(FileExistsTest, CountsFilesWhateverTheirAttributesButNeverDirectories) {
    TestPlatform p;
    p.disk.PutFile(
        "C:\\boot.ini", "x",
        kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem | kFileAttributeArchive);
    p.disk.MakeDirectory("C:\\folder");
    EXPECT_TRUE(FileExists(p.disk, p.text, L"C:\\Boot.ini"));
    EXPECT_TRUE(FileExists(p.disk, p.text, L"C:\\b??t.*"));
    EXPECT_FALSE(FileExists(p.disk, p.text, L"C:\\folder"));
    EXPECT_FALSE(FileExists(p.disk, p.text, L"C:\\missing.ini"));
    EXPECT_FALSE(FileExists(p.disk, p.text, L""));
    EXPECT_FALSE(FileExists(p.disk, p.text, L"A:\\boot.ini"));  // a drive without medium: no message, false
    EXPECT_EQ(p.disk.noMediumBoxes, 0);
}

TEST(FileExistsTest, TheCallersErrorModeIsBackAfterTheSearch) {
    TestPlatform p;
    p.disk.PutFile("C:\\boot.ini", "x");
    for (const wchar_t* path : {L"C:\\boot.ini", L"A:\\boot.ini", L"C:\\none"}) {
        p.disk.errorMode = 0x8002;
        FileExists(p.disk, p.text, path);
        EXPECT_EQ(p.disk.errorMode, 0x8002u);
    }
}

TEST(PlatformCheckTest, OnlyPlatformTwoIsNtAndAFailedCallIsNot) {
    SimVersion version;
    EXPECT_TRUE(IsWinNT(version));
    version.platformId = kVerPlatformWin32Windows;
    EXPECT_FALSE(IsWinNT(version));
    version.platformId = kVerPlatformWin32s;
    EXPECT_FALSE(IsWinNT(version));
    version.platformId = kVerPlatformWin32Nt;
    version.fail = true;
    EXPECT_FALSE(IsWinNT(version));
}

TEST(ValueToTextTest, TextNumbersAndNothing) {
    EXPECT_EQ(ValueToText(DynamicValue::FromInteger(1)), L"1");
    EXPECT_EQ(ValueToText(DynamicValue::FromInteger(-5)), L"-5");
    EXPECT_EQ(ValueToText(DynamicValue::FromInteger(-2147483647 - 1)), L"-2147483648");
    EXPECT_EQ(ValueToText(DynamicValue::FromText(L"")), L"");
    EXPECT_EQ(ValueToText(DynamicValue::FromText(L"alice")), L"alice");
    EXPECT_EQ(ValueToText(DynamicValue::Null()), L"");
    EXPECT_EQ(ValueToText(DynamicValue()), L"");
}

}  // namespace
}  // namespace ostrevo
