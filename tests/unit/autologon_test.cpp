// Auto Login over the Winlogon values, and the registry values beneath it.
#include "registry/registry_utils.h"
#include "unit.h"

namespace ostrevo {
namespace {

// Natively, or under WOW64, where the 32-bit view holds other values that must be neither read nor
// changed: the logon process reads the 64-bit one.
class AutoLogin : public Unit, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        p.disk.Put(kBoot, "[operating systems]\nC:\\=\"Only\"\n");
        p.version.wow64 = GetParam();
        if (!GetParam()) return;
        Seed("DefaultUserName", Sz("bob32"));
        view = RegistryView::k64Bit;
    }
    void TearDown() override {
        if (!GetParam()) return;
        view = RegistryView::kDefault;
        EXPECT_EQ(Winlogon(), "DefaultUserName=bob32");
    }
};
INSTANTIATE_TEST_SUITE_P(NativeAndUnderWow64, AutoLogin, testing::Bool());

TEST_P(AutoLogin, OnThroughTheDialogStoresWhatWasTypedAndOffForgetsThePassword) {
    Seed("DefaultUserName", Sz("alice"));
    Seed("DefaultDomain", Sz("OLD"));
    Seed("DefaultPassword", Sz("secret"));
    ASSERT_TRUE(Start());
    Type(Strings{"", "WORK", "x"});  // with the user name emptied OK takes no click
    Click(&form->mnuAutoLogin);
    Seed("DefaultDomainName", Sz("NEW"));
    Seed("DefaultUserName", Dword(7));
    Type(Strings{"  bob ", " 007 ", " p w "});
    Click(&form->mnuAutoLogin);
    EXPECT_EQ(opened, (Strings{"alice|OLD||ok", "7|NEW||ok"}));
    const std::string typed = "DefaultUserName=bob|DefaultDomain=007|DefaultDomainName=007";
    EXPECT_EQ(Winlogon(), "AutoAdminLogon=1|" + typed + "|DefaultPassword= p w ");
    // The password is never read; each value is kept as it was, exactly, before it is changed.
    EXPECT_EQ(p.registry.calls,
              (Strings{"read AutoAdminLogon", "read DefaultUserName", "read DefaultDomainName",
                       "read DefaultDomain", "read DefaultUserName", "read DefaultDomainName",
                       "read AutoAdminLogon exact", "write AutoAdminLogon", "read DefaultUserName exact",
                       "write DefaultUserName", "read DefaultDomain exact", "write DefaultDomain",
                       "read DefaultDomainName exact", "write DefaultDomainName", "write DefaultPassword"}));
    Click(&form->mnuAutoLogin);  // off: the password goes
    EXPECT_EQ(Winlogon() + Marks() + std::to_string(p.ui.messages.size()),
              "AutoAdminLogon=0|" + typed + "|Other ()0");
}

TEST_P(AutoLogin, RefusalsAreToldAndEveryValueChangedIsTakenBackOrNamed) {
    Seed("AutoAdminLogon", Sz("1"));
    Seed("DefaultUserName", Dword(7));
    Seed("DefaultPassword", Sz("kept"));
    ASSERT_TRUE(Start());
    p.registry.allowed = {{"AutoAdminLogon", 0}};
    Click(&form->mnuAutoLogin);  // off refused: it stays on
    EXPECT_EQ(Marks(), "|Other ()|Auto Login");
    p.registry.allowed = {{"DefaultPassword", 0}};
    Click(&form->mnuAutoLogin);  // off, but the password stays
    Type(Strings{"bob", "WORK", "x"});
    Click(&form->mnuAutoLogin);  // on refused at the password: the rest taken back, exactly as kept
    EXPECT_EQ(Winlogon(), "AutoAdminLogon=0|DefaultUserName=4:07000000|DefaultPassword=kept");
    EXPECT_EQ(Strings(p.registry.calls.end() - 4, p.registry.calls.end()),
              (Strings{"delete DefaultDomainName", "delete DefaultDomain", "write DefaultUserName exact",
                       "write AutoAdminLogon exact"}));
    // What cannot be taken back, refused or never known, is named.
    p.registry.allowed = {{"DefaultPassword", 0}, {"AutoAdminLogon", 1}, {"DefaultDomain", 1}};
    p.registry.unreadable = {"DefaultUserName"};
    Type(Strings{"bob", "WORK", "x"});
    Click(&form->mnuAutoLogin);
    EXPECT_EQ(Winlogon(), "AutoAdminLogon=1|DefaultUserName=bob|DefaultDomain=WORK|DefaultPassword=kept");
    EXPECT_EQ(Marks(), "|Other ()");
    const std::string denied = "\n\nAccess is denied.", box = " [Ostrevo 16]";
    EXPECT_EQ(p.ui.messages,
              (Strings{"Could not switch automatic logon off." + denied + box,
                       "Automatic logon is off, but the stored password could not be removed." + denied + box,
                       "Could not switch automatic logon on." + denied + box,
                       "Could not switch automatic logon on." + denied +
                           "\n\nThese values could not be put back as they were and may be left changed: "
                           "AutoAdminLogon, DefaultUserName, DefaultDomain." +
                           box}));
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
    // Writes trim spaces alone, and choose a number only when one fits.
    const auto write = [this](const DynamicValue& value, int32_t type) {
        p.registry.values.clear();
        const ErrorCode error = WriteRegValue(p.platform, kHkeyLocalMachine, L"K", L"V", value, type);
        const auto it = p.registry.values.find("K\\V");
        return std::to_string(error) + " " + (it == p.registry.values.end() ? "none" : Shown(it->second));
    };
    const auto text = [](const char* value) { return DynamicValue::FromText(Widen(value)); };
    EXPECT_EQ(write(text("0042"), -1), "0 4:2A000000");
    EXPECT_EQ(write(text("16909060"), 4), "0 4:04030201");
    EXPECT_EQ(write(DynamicValue::FromInteger(-7), -1), "0 4:F9FFFFFF");
    EXPECT_EQ(WriteRegString(p.platform, kHkeyLocalMachine, L"K", L"V", L" a b "), kErrorSuccess);
    EXPECT_EQ(p.registry.values["K\\V"], Sz(" a b "));
}

}  // namespace
}  // namespace ostrevo
