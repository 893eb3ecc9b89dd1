// RegistryUtils over the in-memory registry: reads of every type, writes and their type choice, the
// saved value put back, and the 64-bit view under WOW64.
#include <gtest/gtest.h>

#include "registry/registry_utils.h"
#include "test_platform.h"

namespace ostrevo {
namespace {

const char kKey[] = "SOFTWARE\\Ostrevo";
const wchar_t kWide[] = L"SOFTWARE\\Ostrevo";
using Bytes = std::vector<uint8_t>;

RegValue Sz(const std::string& text) { return {kRegSz, Bytes(text.begin(), text.end() + 1)}; }

class RegistryTest : public ::testing::Test {
protected:
    DynamicValue Read(const wchar_t* name) {
        return ReadRegValue(p.platform, kHkeyLocalMachine, kWide, name);
    }
    ErrorCode Write(const std::wstring& value, int32_t type, const std::wstring& key = kWide) {
        return WriteRegValue(p.platform, kHkeyLocalMachine, key, L"V", DynamicValue::FromText(value), type);
    }
    std::optional<RegValue> Stored(const std::string& name) {
        return p.registry.Get(kHkeyLocalMachine, kKey, name);
    }
    TestPlatform p;
};

TEST_F(RegistryTest, ReadsTextUpToItsNulSignedNumbersAndNothingElse) {
    const std::pair<RegValue, DynamicValue> cases[] = {
        {{kRegSz, Bytes{'a', 'b', 0, 'c', 0}}, DynamicValue::FromText(L"ab")},
        {{kRegExpandSz, Bytes{'%', 'P', '%'}}, DynamicValue::FromText(L"%P%")},  // unexpanded, no NUL at all
        {{kRegDword, Bytes{0xFF, 0xFF, 0xFF, 0xFF}}, DynamicValue::FromInteger(-1)},
        {{kRegDword, Bytes{0, 0, 0, 0x80}}, DynamicValue::FromInteger(INT32_MIN)},
        {{kRegDword, Bytes{7, 1}}, DynamicValue::FromInteger(263)},
        {{kRegDword, Bytes{1, 0, 0, 0, 0}}, DynamicValue::FromText(L"")},  // does not fit 4 bytes
        {{kRegBinary, Bytes{1}}, DynamicValue::FromText(L"")},
    };
    for (const auto& [stored, read] : cases) {
        p.registry.Set(kHkeyLocalMachine, kKey, "X", stored);
        EXPECT_EQ(Read(L"X"), read) << stored.type;
    }
    EXPECT_EQ(Read(L"Missing"), DynamicValue::FromText(L""));
    p.registry.Deny(kHkeyLocalMachine, kKey);
    EXPECT_EQ(Read(L"X"), DynamicValue::FromText(L""));
}

TEST_F(RegistryTest, WritesChooseTheirTypeAndTrimOnlySpaces) {
    const RegValue minus7 = {kRegDword, {0xF9, 0xFF, 0xFF, 0xFF}};
    const std::tuple<const wchar_t*, int32_t, RegValue> cases[] = {
        {L"  x  ", 1, Sz("x")},
        {L"\tx ", 1, Sz("\tx")},
        {L"0042", 1, Sz("0042")},
        {L"0042", -1, {kRegDword, {42, 0, 0, 0}}},
        {L"2.5", -1, {kRegDword, {2, 0, 0, 0}}},
        {L"3.5", 4, {kRegDword, {4, 0, 0, 0}}},
        {L"-7", -1, minus7},
        {L"16909060", -1, {kRegDword, {4, 3, 2, 1}}},
        {L"word", -1, Sz("word")},
        {L"word", 4, Sz("word")},
        {L"99999999999", -1, Sz("99999999999")},
    };
    for (const auto& [value, type, stored] : cases) {
        EXPECT_EQ(Write(value, type), kErrorSuccess);
        EXPECT_EQ(Stored("V"), stored) << testing::PrintToString(std::wstring(value)) << " " << type;
    }
    WriteRegValue(p.platform, kHkeyLocalMachine, kWide, L"N", DynamicValue::FromInteger(-7), 1);
    WriteRegValue(p.platform, kHkeyLocalMachine, kWide, L"M", DynamicValue::FromInteger(-7), -1);
    WriteRegString(p.platform, kHkeyLocalMachine, kWide, L"E", L" a b ");
    EXPECT_EQ((std::vector<std::optional<RegValue>>{Stored("N"), Stored("M"), Stored("E")}),
              (std::vector<std::optional<RegValue>>{Sz("-7"), minus7, Sz(" a b ")}));
    EXPECT_EQ(Write(L"x", 7, L"SOFTWARE\\Ostrevo\\New"), kErrorSuccess);  // the key, and nothing in it
    EXPECT_TRUE(p.registry.KeyExists(kHkeyLocalMachine, "SOFTWARE\\Ostrevo\\New"));
    EXPECT_FALSE(p.registry.Get(kHkeyLocalMachine, "SOFTWARE\\Ostrevo\\New", "V"));
    p.registry.MakeReadOnly(kHkeyLocalMachine, kKey);
    EXPECT_EQ(Write(L"new", 1), kErrorAccessDenied);
}

TEST_F(RegistryTest, SavedValuesArePutBackAndRemovalsOfNothingAreDone) {
    p.registry.Set(kHkeyLocalMachine, kKey, "Kept", {kRegBinary, {9, 8}});
    const SavedRegValue kept = SaveRegValue(p.platform, kHkeyLocalMachine, kWide, L"Kept");
    const SavedRegValue absent = SaveRegValue(p.platform, kHkeyLocalMachine, kWide, L"Absent");
    EXPECT_TRUE(SaveRegValue(p.platform, kHkeyLocalMachine, L"SOFTWARE\\None", L"x").known);
    WriteRegString(p.platform, kHkeyLocalMachine, kWide, L"Kept", L"changed");
    WriteRegString(p.platform, kHkeyLocalMachine, kWide, L"Absent", L"changed");
    EXPECT_EQ(RestoreRegValue(p.platform, kHkeyLocalMachine, kWide, L"Kept", kept), kErrorSuccess);
    EXPECT_EQ(RestoreRegValue(p.platform, kHkeyLocalMachine, kWide, L"Absent", absent), kErrorSuccess);
    EXPECT_EQ(Stored("Kept"), (RegValue{kRegBinary, {9, 8}}));
    EXPECT_FALSE(Stored("Absent"));
    EXPECT_EQ(DeleteRegValue(p.platform, kHkeyLocalMachine, L"SOFTWARE\\None", L"x"), kErrorSuccess);
    EXPECT_FALSE(p.registry.KeyExists(kHkeyLocalMachine, "SOFTWARE\\None"));
    p.registry.Deny(kHkeyLocalMachine, kKey);
    const SavedRegValue denied = SaveRegValue(p.platform, kHkeyLocalMachine, kWide, L"Kept");
    EXPECT_FALSE(denied.known);
    EXPECT_NE(RestoreRegValue(p.platform, kHkeyLocalMachine, kWide, L"Kept", denied), kErrorSuccess);
    EXPECT_EQ(DeleteRegValue(p.platform, kHkeyLocalMachine, kWide, L"Kept"), kErrorAccessDenied);
}

// A 32-bit program on 64-bit Windows must reach the 64-bit registry, where the system reads.
TEST_F(RegistryTest, UnderWow64EveryCallGoesToThe64BitView) {
    const char copy32[] = "SOFTWARE\\Wow6432Node\\Ostrevo";
    p.registry.SetString(kHkeyLocalMachine, kKey, "Here", "64");
    p.registry.SetString(kHkeyLocalMachine, copy32, "Here", "32");
    EXPECT_EQ(Read(L"Here"), DynamicValue::FromText(L"64"));  // no WOW64: no redirection either
    p.registry.wow64 = p.version.wow64 = true;
    EXPECT_EQ(Read(L"Here"), DynamicValue::FromText(L"64"));
    EXPECT_EQ(Write(L"w", 1), kErrorSuccess);
    EXPECT_EQ(DeleteRegValue(p.platform, kHkeyLocalMachine, kWide, L"Here"), kErrorSuccess);
    EXPECT_EQ(Stored("V"), Sz("w"));
    EXPECT_FALSE(Stored("Here"));
    EXPECT_EQ(p.registry.GetString(kHkeyLocalMachine, copy32, "Here"), "32");
    EXPECT_FALSE(p.registry.Get(kHkeyLocalMachine, copy32, "V"));
}

}  // namespace
}  // namespace ostrevo
