// Auto Login over the Winlogon values, and the registry calls beneath it.
#include "registry/registry_utils.h"
#include "unit.h"

namespace ostrevo {
namespace {

class AutoLogin : public Unit {
protected:
    void SetUp() override { p.disk.Put(kBoot, "[operating systems]\nC:\\=\"Only\"\n"); }
};

TEST_F(AutoLogin, OnThroughTheDialogStoresWhatWasTypedAndOffForgetsThePassword) {
    Seed("DefaultUserName", Sz("alice"));
    Seed("DefaultDomain", Sz("OLD"));
    Seed("DefaultPassword", Sz("secret"));
    ASSERT_TRUE(Start());
    Type(Strings{"", "WORK", "x"});  // with the user name emptied OK takes no click
    Click("Auto Login");
    EXPECT_EQ(Winlogon(), "DefaultUserName=alice|DefaultDomain=OLD|DefaultPassword=secret");
    Seed("DefaultDomainName", Sz("NEW"));
    Seed("DefaultUserName", Dword(7));
    Type(Strings{"  bob ", " 007 ", " p w "});
    Click("Auto Login");
    EXPECT_EQ(opened, (Strings{"alice|OLD||ok", "7|NEW||ok"}));
    EXPECT_EQ(Winlogon(),
              "AutoAdminLogon=1|DefaultUserName=bob|DefaultDomain=007|DefaultDomainName=007|"
              "DefaultPassword= p w ");
    EXPECT_EQ(Marks(), "Other ()|Auto Login");
    // The password is never read; each value is kept as it was, exactly, before it is changed.
    EXPECT_EQ(p.registry.calls,
              (Strings{"read AutoAdminLogon", "read DefaultUserName", "read DefaultDomainName",
                       "read DefaultDomain", "read DefaultUserName", "read DefaultDomainName",
                       "read AutoAdminLogon exact", "write AutoAdminLogon", "read DefaultUserName exact",
                       "write DefaultUserName", "read DefaultDomain exact", "write DefaultDomain",
                       "read DefaultDomainName exact", "write DefaultDomainName", "write DefaultPassword"}));
    Click("Auto Login");
    EXPECT_EQ(Winlogon(), "AutoAdminLogon=0|DefaultUserName=bob|DefaultDomain=007|DefaultDomainName=007");
    Type(std::nullopt);  // Cancel stores nothing and leaves it off
    Click("Auto Login");
    EXPECT_EQ(Winlogon(), "AutoAdminLogon=0|DefaultUserName=bob|DefaultDomain=007|DefaultDomainName=007");
    EXPECT_EQ(Marks(), "Other ()");
    EXPECT_EQ(Messages(), Strings{});
}

TEST_F(AutoLogin, RefusalsAreToldAndEveryValueChangedIsTakenBackOrNamed) {
    Seed("AutoAdminLogon", Sz("1"));
    Seed("DefaultUserName", Dword(7));
    Seed("DefaultPassword", Sz("kept"));
    ASSERT_TRUE(Start());
    p.registry.allowed = {{"AutoAdminLogon", 0}};
    Click("Auto Login");  // off refused: it stays on
    EXPECT_EQ(Marks(), "Other ()|Auto Login");
    p.registry.allowed = {{"DefaultPassword", 0}};
    Click("Auto Login");  // off, but the password stays
    Type(Strings{"bob", "WORK", "x"});
    Click("Auto Login");  // on refused at the password: the rest taken back exactly as kept
    EXPECT_EQ(Winlogon(), "AutoAdminLogon=0|DefaultUserName=4:07000000|DefaultPassword=kept");
    EXPECT_EQ(Strings(p.registry.calls.end() - 4, p.registry.calls.end()),
              (Strings{"delete DefaultDomainName", "delete DefaultDomain", "write DefaultUserName exact",
                       "write AutoAdminLogon exact"}));
    // What cannot be taken back, refused or never known, is named.
    p.registry.allowed = {{"DefaultPassword", 0}, {"AutoAdminLogon", 1}, {"DefaultDomain", 1}};
    p.registry.unreadable = {"DefaultUserName"};
    Type(Strings{"bob", "WORK", "x"});
    Click("Auto Login");
    EXPECT_EQ(Winlogon(), "AutoAdminLogon=1|DefaultUserName=bob|DefaultDomain=WORK|DefaultPassword=kept");
    EXPECT_EQ(opened, (Strings{"7|||ok", "|||-"}));
    EXPECT_EQ(Marks(), "Other ()");
    const std::string denied = "\n\nAccess is denied.";
    EXPECT_EQ(Messages(),
              (Strings{"Could not switch automatic logon off." + denied + " [Ostrevo 16]",
                       "Automatic logon is off, but the stored password could not be removed." + denied +
                           " [Ostrevo 16]",
                       "Could not switch automatic logon on." + denied + " [Ostrevo 16]",
                       "Could not switch automatic logon on." + denied +
                           "\n\nThese values could not be put back as they were and may be left changed: "
                           "AutoAdminLogon, DefaultUserName, DefaultDomain. [Ostrevo 16]"}));
}

TEST_F(AutoLogin, UnderWow64EverythingIsInThe64BitRegistry) {
    p.version.wow64 = true;
    Seed("AutoAdminLogon", Sz("1"), RegistryView::k64Bit);
    Seed("DefaultUserName", Sz("alice"), RegistryView::k64Bit);
    Seed("AutoAdminLogon", Sz("0"));
    Seed("DefaultUserName", Sz("bob32"));
    ASSERT_TRUE(Start());
    Click("Auto Login");
    Type(Strings{"alice", "HOME", "pw"});
    Click("Auto Login");
    EXPECT_EQ(opened, Strings{"alice|||ok"});
    EXPECT_EQ(Winlogon(RegistryView::k64Bit),
              "AutoAdminLogon=1|DefaultUserName=alice|DefaultDomain=HOME|DefaultDomainName=HOME|"
              "DefaultPassword=pw");
    EXPECT_EQ(Winlogon(), "AutoAdminLogon=0|DefaultUserName=bob32");
    EXPECT_EQ(Marks(), "Other ()|Auto Login");
}

TEST_F(Unit, RegistryValuesReadAsTextUpToANulOrAsSignedNumbersOrNothing) {
    const auto read = [this](const RegValue& value) {
        p.registry.values["K\\V"] = value;
        const DynamicValue got = ReadRegValue(p.platform, kHkeyLocalMachine, L"K", L"V");
        return got.kind() == DynamicValue::Kind::Integer ? "int:" + std::to_string(got.integer())
                                                         : "text:" + N(got.text());
    };
    EXPECT_EQ(read({kRegSz, {'a', 'b', 0, 'c', 0}}), "text:ab");
    EXPECT_EQ(read({kRegExpandSz, {'%', 'P', '%'}}), "text:%P%");
    EXPECT_EQ(read(Dword(0xFFFFFFFF)), "int:-1");
    EXPECT_EQ(read(Dword(0x80000000)), "int:-2147483648");
    EXPECT_EQ(read({kRegDword, {7, 1}}), "int:263");
    EXPECT_EQ(read({kRegDword, {1, 0, 0, 0, 0}}), "text:");
    EXPECT_EQ(read({kRegBinary, {1}}), "text:");
    p.registry.values.clear();
    EXPECT_EQ(N(ReadRegValue(p.platform, kHkeyLocalMachine, L"K", L"V").text()), "");
}

TEST_F(Unit, RegistryWritesTrimSpacesAloneAndChooseANumberOnlyWhenOneFits) {
    const auto write = [this](const DynamicValue& value, int32_t type) {
        p.registry.values.clear();
        const ErrorCode error = WriteRegValue(p.platform, kHkeyLocalMachine, L"K", L"V", value, type);
        const auto it = p.registry.values.find("K\\V");
        return std::to_string(error) + " " + (it == p.registry.values.end() ? "none" : Shown(it->second));
    };
    const auto text = [](const char* value) { return DynamicValue::FromText(W(value)); };
    EXPECT_EQ(write(text("  x  "), 1), "0 x");
    EXPECT_EQ(write(text("\tx "), 1), "0 \tx");
    EXPECT_EQ(write(text("0042"), 1), "0 0042");
    EXPECT_EQ(write(text("0042"), -1), "0 4:2A000000");
    EXPECT_EQ(write(text("2.5"), -1), "0 4:02000000");
    EXPECT_EQ(write(text("3.5"), 4), "0 4:04000000");
    EXPECT_EQ(write(text("16909060"), -1), "0 4:04030201");
    EXPECT_EQ(write(text("word"), 4), "0 word");
    EXPECT_EQ(write(text("99999999999"), -1), "0 99999999999");
    EXPECT_EQ(write(DynamicValue::FromInteger(-7), 1), "0 -7");
    EXPECT_EQ(write(DynamicValue::FromInteger(-7), -1), "0 4:F9FFFFFF");
    EXPECT_EQ(write(text("x"), 7), "0 none");
    EXPECT_EQ(p.registry.calls.back(), "create K");
    EXPECT_EQ(WriteRegString(p.platform, kHkeyLocalMachine, L"K", L"V", L" a b "), kErrorSuccess);
    EXPECT_EQ(p.registry.values["K\\V"], Sz(" a b "));
}

TEST_F(Unit, ASavedRegistryValueGoesBackExactlyOrIsRemoved) {
    const auto save = [this](const wchar_t* name) {
        return SaveRegValue(p.platform, kHkeyLocalMachine, L"K", name);
    };
    const auto restore = [this](const wchar_t* name, const SavedRegValue& saved) {
        return RestoreRegValue(p.platform, kHkeyLocalMachine, L"K", name, saved);
    };
    p.registry.values["K\\Kept"] = {kRegBinary, {9, 8}};
    const SavedRegValue kept = save(L"Kept"), absent = save(L"Absent");
    p.registry.values["K\\Kept"] = Sz("c");
    p.registry.values["K\\Absent"] = Sz("");
    EXPECT_EQ(restore(L"Kept", kept), kErrorSuccess);
    EXPECT_EQ(restore(L"Absent", absent), kErrorSuccess);
    EXPECT_EQ(p.registry.values, (std::map<std::string, RegValue>{{"K\\Kept", {kRegBinary, {9, 8}}}}));
    // Removing what is not there is done; a value that could not be read cannot be put back.
    EXPECT_EQ(DeleteRegValue(p.platform, kHkeyLocalMachine, L"K", L"Absent"), kErrorSuccess);
    p.registry.unreadable = {"Kept"};
    EXPECT_EQ(restore(L"Kept", save(L"Kept")), kErrorInvalidParameter);
}

}  // namespace
}  // namespace ostrevo
