// RegistryUtils over the in-memory registry: reads of every type, writes and their type choice.
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_text.h"
#include "registry/registry_utils.h"
#include "test_platform.h"
#include "util/app_utils.h"

namespace ostrevo {
namespace {

const char kKey[] = "SOFTWARE\\Ostrevo Test";
const wchar_t kWideKey[] = L"SOFTWARE\\Ostrevo Test";

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

class RegistryTest : public ::testing::Test {
protected:
    DynamicValue Read(const std::wstring& name, const std::wstring& key = kWideKey) {
        return ReadRegValue(p.platform, kHkeyLocalMachine, key, name);
    }
    void Write(const std::wstring& name, const DynamicValue& value, int32_t type,
               const std::wstring& key = kWideKey) {
        WriteRegValue(p.platform, kHkeyLocalMachine, key, name, value, type);
    }
    void WriteText(const std::wstring& name, const std::wstring& value, int32_t type) {
        Write(name, DynamicValue::FromText(value), type);
    }
    SimRegistry::Value Stored(const std::string& name) {
        const std::optional<SimRegistry::Value> value = reg.GetValue(kHkeyLocalMachine, kKey, name);
        EXPECT_TRUE(value.has_value()) << name;
        return value.value_or(SimRegistry::Value{});
    }
    SimRegistry::Value Dword(uint32_t number) {
        return {kRegDword,
                {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                 static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)}};
    }
    SimRegistry::Value Sz(const std::string& text) { return {kRegSz, Bytes(text + '\0')}; }

    TestPlatform p;
    SimRegistry& reg = p.registry;
};

TEST_F(RegistryTest, StringValuesReadUpToTheirFirstNulUnexpandedAndWhole) {
    reg.SetString(kHkeyLocalMachine, kKey, "Plain", "alice");
    reg.SetString(kHkeyLocalMachine, kKey, "Empty", "");
    reg.SetString(kHkeyLocalMachine, kKey, "Inner", std::string("abc\0def", 7));
    reg.SetExpandString(kHkeyLocalMachine, kKey, "Expand", "%SystemRoot%\\system32");
    reg.SetValue(kHkeyLocalMachine, kKey, "Unterminated", kRegSz, Bytes("no nul"));
    reg.SetString(kHkeyLocalMachine, kKey, "Ansi", "caf\xE9 \x80");
    const std::string longText(40000, 'x');
    reg.SetString(kHkeyLocalMachine, kKey, "Long", longText);

    EXPECT_EQ(Read(L"plain"), DynamicValue::FromText(L"alice"));  // names ignore case
    EXPECT_EQ(Read(L"Empty"), DynamicValue::FromText(L""));
    EXPECT_EQ(Read(L"Inner"), DynamicValue::FromText(L"abc"));
    EXPECT_EQ(Read(L"Expand"), DynamicValue::FromText(L"%SystemRoot%\\system32"));
    EXPECT_EQ(Read(L"Unterminated"), DynamicValue::FromText(L"no nul"));
    EXPECT_EQ(Read(L"Ansi"), DynamicValue::FromText(L"caf\u00E9 \u20AC"));
    EXPECT_EQ(Read(L"Long"), DynamicValue::FromText(std::wstring(40000, L'x')));
}

TEST_F(RegistryTest, NumberValuesReadAsSignedIntegers) {
    reg.SetDword(kHkeyLocalMachine, kKey, "Seven", 7);
    reg.SetDword(kHkeyLocalMachine, kKey, "AllOnes", 0xFFFFFFFFu);
    reg.SetDword(kHkeyLocalMachine, kKey, "Lowest", 0x80000000u);
    EXPECT_EQ(Read(L"Seven"), DynamicValue::FromInteger(7));
    EXPECT_EQ(Read(L"AllOnes"), DynamicValue::FromInteger(-1));
    EXPECT_EQ(ValueToText(Read(L"AllOnes")), L"-1");
    EXPECT_EQ(Read(L"Lowest"), DynamicValue::FromInteger(INT32_MIN));
}

TEST_F(RegistryTest, OtherTypesAndAnythingMissingOrDeniedReadAsTheEmptyText) {
    reg.SetBinary(kHkeyLocalMachine, kKey, "Binary", {'1', 0});
    reg.SetMultiString(kHkeyLocalMachine, kKey, "Multi", {"one", "two"});
    reg.SetString(kHkeyLocalMachine, "SOFTWARE\\Locked", "Secret", "x");
    reg.DenyAccess(kHkeyLocalMachine, "SOFTWARE\\Locked");
    reg.SetString(kHkeyLocalMachine, "SOFTWARE\\Readable", "Open", "yes");
    reg.MakeReadOnly(kHkeyLocalMachine, "SOFTWARE");

    const DynamicValue emptyText = DynamicValue::FromText(L"");
    EXPECT_EQ(Read(L"Binary"), emptyText);
    EXPECT_EQ(Read(L"Multi"), emptyText);
    EXPECT_EQ(Read(L"Missing"), emptyText);
    EXPECT_EQ(Read(L"Secret", L"SOFTWARE\\Locked"), emptyText);
    EXPECT_EQ(Read(L"Any", L"SOFTWARE\\No Such Key"), emptyText);
    EXPECT_FALSE(reg.KeyExists(kHkeyLocalMachine, "SOFTWARE\\No Such Key"));
    // A key the user may only read is read as usual.
    EXPECT_EQ(Read(L"Open", L"SOFTWARE\\Readable"), DynamicValue::FromText(L"yes"));
}

TEST_F(RegistryTest, StringWritesTrimOnlySpacesAndCountTheirNul) {
    WriteText(L"Spaced", L"  x  ", static_cast<int32_t>(kRegSz));
    WriteText(L"Tabbed", L"\tx ", static_cast<int32_t>(kRegSz));
    WriteText(L"Digits", L"0042", static_cast<int32_t>(kRegSz));
    Write(L"Number", DynamicValue::FromInteger(-7), static_cast<int32_t>(kRegSz));
    WriteText(L"Blanks", L"  ", static_cast<int32_t>(kRegSz));
    EXPECT_EQ(Stored("Spaced"), Sz("x"));
    EXPECT_EQ(Stored("Spaced").data.size(), 2u);
    EXPECT_EQ(Stored("Tabbed"), Sz("\tx"));
    EXPECT_EQ(Stored("Digits"), Sz("0042"));
    EXPECT_EQ(Stored("Number"), Sz("-7"));
    EXPECT_EQ(Stored("Blanks"), Sz(""));

    WriteRegString(p.platform, kHkeyLocalMachine, kWideKey, L"Exact", L"  pass word ");
    EXPECT_EQ(Stored("Exact"), Sz("  pass word "));
}

// Numbers under the user's separators, rounded halves to even; anything that cannot be a 32-bit
// number, however it was asked for, is kept as a string rather than lost.
TEST_F(RegistryTest, NumberChoiceFollowsTheLocaleAndTheThirtyTwoBitRange) {
    struct Case {
        const wchar_t* value;
        int32_t type;
        SimRegistry::Value stored;
    };
    const int32_t automatic = kRegAutomaticType;
    const int32_t number = static_cast<int32_t>(kRegDword);
    const Case cases[] = {
        {L"0042", automatic, Dword(42)},
        {L" 12 ", automatic, Dword(12)},
        {L"-5", automatic, Dword(0xFFFFFFFBu)},
        {L"1,234", automatic, Dword(1234)},
        {L"1e3", automatic, Dword(1000)},
        {L"2.5", automatic, Dword(2)},
        {L"3.5", automatic, Dword(4)},
        {L"-2.5", automatic, Dword(0xFFFFFFFEu)},
        {L" abc ", automatic, Sz("abc")},
        {L"0x10", automatic, Sz("0x10")},
        {L"", automatic, Sz("")},
        {L"2147483647", automatic, Dword(0x7FFFFFFFu)},
        {L"-2147483648", automatic, Dword(0x80000000u)},
        {L"2147483648", automatic, Sz("2147483648")},
        {L"12345678901", automatic, Sz("12345678901")},
        {L"2147483647.5", automatic, Sz("2147483647.5")},
        {L"12", number, Dword(12)},
        {L"99999999999", number, Sz("99999999999")},
        {L"abc", number, Sz("abc")},
    };
    for (const Case& c : cases) {
        WriteText(L"V", c.value, c.type);
        EXPECT_EQ(Stored("V"), c.stored)
            << testing::PrintToString(std::wstring(c.value)) << " type " << c.type;
    }
    Write(L"V", DynamicValue::FromInteger(9), automatic);
    EXPECT_EQ(Stored("V"), Dword(9));

    // With a decimal comma, "2,5" is two and a half and the full stop groups digits.
    p.text.decimal = L",";
    p.text.group = L".";
    WriteText(L"V", L"2,5", automatic);
    EXPECT_EQ(Stored("V"), Dword(2));
    WriteText(L"V", L"1.234", automatic);
    EXPECT_EQ(Stored("V"), Dword(1234));
}

TEST_F(RegistryTest, UnsupportedTypesCreateTheKeyAndWriteNothing) {
    for (int32_t type : {0, 2, 3, 7, -2}) {
        const std::wstring key = L"SOFTWARE\\Type" + std::to_wstring(type + 10);
        Write(L"Value", DynamicValue::FromText(L"1"), type, key);
        EXPECT_TRUE(reg.KeyExists(kHkeyLocalMachine, "SOFTWARE\\Type" + std::to_string(type + 10))) << type;
    }
    EXPECT_TRUE(reg.writes.empty());
}

TEST_F(RegistryTest, WritesCreateMissingParentsAndReplaceOtherTypes) {
    Write(L"Deep", DynamicValue::FromText(L"yes"), static_cast<int32_t>(kRegSz), L"SOFTWARE\\A\\B\\C");
    EXPECT_TRUE(reg.KeyExists(kHkeyLocalMachine, "SOFTWARE\\A"));
    EXPECT_TRUE(reg.KeyExists(kHkeyLocalMachine, "SOFTWARE\\A\\B"));
    EXPECT_EQ(reg.GetString(kHkeyLocalMachine, "SOFTWARE\\A\\B\\C", "Deep"), "yes");

    reg.SetMultiString(kHkeyLocalMachine, kKey, "Was", {"a"});
    WriteText(L"Was", L"5", kRegAutomaticType);
    EXPECT_EQ(Stored("Was"), Dword(5));
}

TEST_F(RegistryTest, WritesAndDeletesWithoutTheRightChangeNothing) {
    reg.SetString(kHkeyLocalMachine, kKey, "Kept", "old");
    reg.MakeReadOnly(kHkeyLocalMachine, kKey);
    reg.SetString(kHkeyLocalMachine, "SOFTWARE\\Locked", "Kept", "old");
    reg.DenyAccess(kHkeyLocalMachine, "SOFTWARE\\Locked");

    WriteText(L"Kept", L"new", static_cast<int32_t>(kRegSz));
    WriteRegString(p.platform, kHkeyLocalMachine, kWideKey, L"Kept", L"new");
    Write(L"Other", DynamicValue::FromText(L"x"), static_cast<int32_t>(kRegSz),
          L"SOFTWARE\\Ostrevo Test\\Sub");
    Write(L"Kept", DynamicValue::FromText(L"new"), static_cast<int32_t>(kRegSz), L"SOFTWARE\\Locked");
    DeleteRegValue(p.platform, kHkeyLocalMachine, kWideKey, L"Kept");
    EXPECT_EQ(reg.GetString(kHkeyLocalMachine, kKey, "Kept"), "old");
    EXPECT_EQ(reg.GetString(kHkeyLocalMachine, "SOFTWARE\\Locked", "Kept"), "old");
    EXPECT_FALSE(reg.KeyExists(kHkeyLocalMachine, "SOFTWARE\\Ostrevo Test\\Sub"));
    EXPECT_TRUE(reg.writes.empty());
    EXPECT_TRUE(reg.deletes.empty());
}

TEST_F(RegistryTest, DeleteRemovesOneValueAndCreatesNothing) {
    reg.SetString(kHkeyLocalMachine, kKey, "Gone", "x");
    reg.SetString(kHkeyLocalMachine, kKey, "Stays", "y");
    DeleteRegValue(p.platform, kHkeyLocalMachine, kWideKey, L"GONE");
    DeleteRegValue(p.platform, kHkeyLocalMachine, L"SOFTWARE\\Nowhere", L"Gone");
    EXPECT_FALSE(reg.GetValue(kHkeyLocalMachine, kKey, "Gone").has_value());
    EXPECT_EQ(reg.GetString(kHkeyLocalMachine, kKey, "Stays"), "y");
    EXPECT_FALSE(reg.KeyExists(kHkeyLocalMachine, "SOFTWARE\\Nowhere"));
}

}  // namespace
}  // namespace ostrevo
