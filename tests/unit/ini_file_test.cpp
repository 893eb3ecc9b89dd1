// cIniFile over the simulated profile engine: buffers, unset arguments, write results, conversions.
#include "ini/ini_file.h"

#include "test_platform.h"
#include "util/profile_read.h"

namespace ostrevo {
namespace {

class IniFileTest : public ::testing::Test {
protected:
    cIniFile Open(const std::wstring& section, const std::wstring& key) {
        cIniFile ini(p.profile, p.text);
        ini.Path(L"C:\\test.ini");
        ini.Section(section);
        ini.Key(key);
        return ini;
    }
    TestPlatform p;
};

TEST_F(IniFileTest, NewObjectHasNoSuccessAndUnsetPropertiesReadEmpty) {
    cIniFile ini(p.profile, p.text);
    EXPECT_FALSE(ini.Success());
    EXPECT_EQ(ini.LastReturnCode(), 0);
    EXPECT_EQ(ini.Default(), L"");
    EXPECT_EQ(ini.Key(), L"");
}

TEST_F(IniFileTest, MissingKeyGivesDefaultAndLongValuesAreCutTo254) {
    p.disk.PutFile("C:\\test.ini", "[s]\r\nlong=" + std::string(300, 'v') + "\r\n");
    cIniFile ini = Open(L"s", L"missing");
    EXPECT_EQ(ini.Value(), L"");
    ini.Default(L"FAIL");
    EXPECT_EQ(ini.Value(), L"FAIL");
    ini.Key(L"long");
    EXPECT_EQ(ini.Value(), std::wstring(254, L'v'));
}

TEST_F(IniFileTest, UnsetKeyReadsTheKeyListIntoTheValueBuffer) {
    std::string file = "[s]\r\n";
    for (int i = 0; i < 40; ++i) file += "key" + std::to_string(100 + i) + "=x\r\n";
    p.disk.PutFile("C:\\test.ini", file);
    cIniFile ini(p.profile, p.text);
    ini.Path(L"C:\\test.ini");
    ini.Section(L"s");
    const std::wstring list = ini.Value();
    // The list does not fit: the platform cuts the last name and ends with two NULs (count 253).
    ASSERT_EQ(list.size(), 253u);
    EXPECT_EQ(list.substr(0, 14), std::wstring(L"key100\0key101\0", 14));
    EXPECT_EQ(list.substr(245), std::wstring(L"key135\0k", 8));
}

TEST_F(IniFileTest, WriteDropsNulCharactersAndRecordsTheResult) {
    cIniFile ini = Open(L"boot loader", L"Default");
    ini.Value(std::wstring(L"a\0b\0\0c", 6));
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(p.disk.FileBytes("C:\\test.ini").value_or(""), "[boot loader]\r\nDefault=abc\r\n");

    p.disk.PutFile("C:\\test.ini", "[boot loader]\r\nDefault=abc\r\n", kFileAttributeReadOnly);
    ini.Value(L"x");
    EXPECT_FALSE(ini.Success());
    EXPECT_EQ(ini.LastReturnCode(), 0);
    ini.Value();  // reads leave the result alone
    EXPECT_FALSE(ini.Success());
    EXPECT_EQ(p.disk.FileBytes("C:\\test.ini").value_or(""), "[boot loader]\r\nDefault=abc\r\n");
}

TEST_F(IniFileTest, DeleteKeyAndSectionAndTheEnumerations) {
    p.disk.PutFile("C:\\test.ini", "[a]\r\none=1\r\ntwo=2\r\n[]\r\n[b]\r\nx=y\r\n");
    cIniFile ini = Open(L"a", L"one");
    std::vector<std::wstring> names;
    int32_t count = -1;
    ini.EnumerateCurrentSection(names, count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"one", L"two"}));

    ini.EnumerateAllSections(names, count);  // the unnamed section gives an empty piece, skipped
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(count, 2);

    ini.DeleteKey();
    EXPECT_TRUE(ini.Success());
    ini.EnumerateCurrentSection(names, count);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"two"}));

    ini.DeleteSection();
    ini.EnumerateCurrentSection(names, count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(p.disk.FileBytes("C:\\test.ini").value_or(""), "[]\r\n[b]\r\nx=y\r\n");
}

TEST_F(IniFileTest, EnumerationsOfAMissingFileAndADefaultWithoutNul) {
    cIniFile ini = Open(L"a", L"k");
    ini.Path(L"C:\\nothing.ini");
    std::vector<std::wstring> names{L"stale"};
    int32_t count = 9;
    ini.EnumerateAllSections(names, count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
    ini.Default(L"FAIL");  // delivered as the list, but it has no NUL: no element
    ini.EnumerateCurrentSection(names, count);
    EXPECT_EQ(count, 0);
}

TEST_F(IniFileTest, ArgumentsTooLongForTheProfileCallsNeverReachThem) {
    p.disk.PutFile("C:\\test.ini", "[s]\r\nk=v\r\n");
    cIniFile ini = Open(L"s", std::wstring(kLongestProfileArgument + 1, L'k'));
    ini.Default(L"FAIL");
    EXPECT_EQ(ini.Value(), L"FAIL");
    ini.Key(L"k");
    ini.Value(L"ok");
    EXPECT_TRUE(ini.Success());
    ini.Value(std::wstring(kLongestProfileArgument + 1, L'v'));
    EXPECT_FALSE(ini.Success());
    EXPECT_EQ(p.disk.FileBytes("C:\\test.ini").value_or(""), "[s]\r\nk=ok\r\n");
}

TEST(CLngDefaultTest, ConvertsPlainNumbersAndFallsBackOnEverythingElse) {
    SimText locale;
    EXPECT_EQ(cIniFile::CLngDefault(L"42", locale), 42);
    EXPECT_EQ(cIniFile::CLngDefault(L"  -60 ", locale), -60);
    EXPECT_EQ(cIniFile::CLngDefault(L"FAIL", locale, 5), 5);
    EXPECT_EQ(cIniFile::CLngDefault(L"", locale), 0);
    EXPECT_EQ(cIniFile::CLngDefault(L"2147483647", locale, 7), 2147483647);
    EXPECT_EQ(cIniFile::CLngDefault(L"2147483648", locale, 7), 7);
    EXPECT_EQ(cIniFile::CLngDefault(L"-2147483648", locale, 7), -2147483647 - 1);
    EXPECT_EQ(cIniFile::CLngDefault(L"12abc", locale, 7), 7);
    EXPECT_EQ(cIniFile::CLngDefault(L"0x10", locale, 7), 7);
    EXPECT_EQ(cIniFile::CLngDefault(L"2.5", locale), 2);  // halves to the even neighbour
    EXPECT_EQ(cIniFile::CLngDefault(L"3.5", locale), 4);
    EXPECT_EQ(cIniFile::CLngDefault(L"-2.5", locale), -2);
    EXPECT_EQ(cIniFile::CLngDefault(L"1,000", locale), 1000);
    EXPECT_EQ(cIniFile::CLngDefault(L"1e3", locale), 1000);
    EXPECT_EQ(cIniFile::CLngDefault(L"1e", locale, 7), 7);
    EXPECT_EQ(cIniFile::CLngDefault(L"+", locale, 7), 7);
    EXPECT_EQ(cIniFile::CLngDefault(L"1e400", locale, 7), 7);
}

TEST(CLngDefaultTest, FollowsTheLocaleSeparators) {
    SimText locale;
    locale.decimal = L",";
    locale.group = L".";
    EXPECT_EQ(cIniFile::CLngDefault(L"2,5", locale), 2);
    EXPECT_EQ(cIniFile::CLngDefault(L"1.000", locale), 1000);
    EXPECT_EQ(cIniFile::CLngDefault(L"1,2,3", locale, 7), 7);
}

}  // namespace
}  // namespace ostrevo
