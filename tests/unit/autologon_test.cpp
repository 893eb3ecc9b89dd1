// The "Auto Login" item: its start-up state, the command's paths over the Winlogon values, and
// the details dialog's rule for OK.
#include <algorithm>

#include "autologon/form2.h"
#include "shell/form1.h"
#include "test_platform.h"

namespace ostrevo {
namespace {

const char kWinlogon[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

// Start-up, which ends with the item's start-up state, over a boot.ini of one entry.
void StartUp(Form1& form, SimDisk& disk) {
    disk.PutFile("C:\\boot.ini", "[boot loader]\r\ntimeout=30\r\n[operating systems]\r\nC:\\=\"Only\"\r\n");
    EXPECT_TRUE(form.Form_Load());
}

// What the dialog showed when it opened.
struct Opened {
    std::wstring user, domain, password;
    bool okEnabled = false;
};

class AutoLogonTest : public ::testing::Test {
protected:
    void Seed(const std::string& name, const std::string& value) {
        p.registry.SetString(kHkeyLocalMachine, kWinlogon, name, value);
    }
    std::optional<std::string> String(const std::string& name) {
        return p.registry.GetString(kHkeyLocalMachine, kWinlogon, name);
    }
    bool Has(const std::string& name) {
        return p.registry.GetValue(kHkeyLocalMachine, kWinlogon, name).has_value();
    }
    // Queues a user who notes what the dialog opened with, types the given texts and presses OK.
    void OkWith(const std::wstring& user, const std::wstring& domain, const std::wstring& password) {
        p.ui.dialogActions.push_back([=](Form2& f) {
            opened.push_back(
                {f.edtusername.Text(), f.edtdomain.Text(), f.edtpassword.Text(), f.btnok.Enabled});
            f.edtusername.SetText(user);
            f.edtdomain.SetText(domain);
            f.edtpassword.SetText(password);
            f.btnok_Click();
        });
    }
    void Cancel() {
        p.ui.dialogActions.push_back([this](Form2& f) {
            opened.push_back(
                {f.edtusername.Text(), f.edtdomain.Text(), f.edtpassword.Text(), f.btnok.Enabled});
            f.edtusername.SetText(L"typed then dropped");
            f.Command2_Click();
        });
    }
    void Click() { form.mnuAutoLogin_Click(); }

    TestPlatform p;
    Form1 form{p.platform};
    std::vector<Opened> opened;
};

TEST(AutoLogonStartupTest, ChecksTheItemOnlyForExactlyOne) {
    const auto checkedWith = [](const std::function<void(SimRegistry&)>& seed) {
        TestPlatform q;
        seed(q.registry);
        Form1 f(q.platform);
        StartUp(f, q.disk);
        EXPECT_TRUE(f.mnuAutoLogin.Visible);
        return f.mnuAutoLogin.Checked;
    };
    const auto text = [](const std::string& value) {
        return
            [value](SimRegistry& r) { r.SetString(kHkeyLocalMachine, kWinlogon, "AutoAdminLogon", value); };
    };
    const auto number = [](uint32_t value) {
        return [value](SimRegistry& r) { r.SetDword(kHkeyLocalMachine, kWinlogon, "AutoAdminLogon", value); };
    };
    EXPECT_TRUE(checkedWith(text("1")));
    EXPECT_TRUE(checkedWith(number(1)));
    EXPECT_FALSE(checkedWith(text("0")));
    EXPECT_FALSE(checkedWith(text("")));
    EXPECT_FALSE(checkedWith(text("1 ")));
    EXPECT_FALSE(checkedWith(number(0)));
    EXPECT_FALSE(checkedWith([](SimRegistry&) {}));
}

TEST_F(AutoLogonTest, OutsideTheNtFamilyTheItemIsHiddenAndTheRegistryUnread) {
    Seed("AutoAdminLogon", "1");
    p.version.platformId = kVerPlatformWin32Windows;
    StartUp(form, p.disk);
    EXPECT_FALSE(form.mnuAutoLogin.Visible);
    EXPECT_FALSE(form.mnuAutoLogin.Checked);
    EXPECT_EQ(p.registry.keyOpens, 0);

    // A version that cannot be read counts as not NT.
    p.version.platformId = kVerPlatformWin32Nt;
    p.version.fail = true;
    Form1 again(p.platform);
    StartUp(again, p.disk);
    EXPECT_FALSE(again.mnuAutoLogin.Visible);
    EXPECT_EQ(p.registry.keyOpens, 0);
}

TEST_F(AutoLogonTest, SwitchingOffWritesAStringZeroAndRemovesOnlyThePassword) {
    Seed("AutoAdminLogon", "1");
    Seed("DefaultUserName", "alice");
    Seed("DefaultDomain", "WORK");
    Seed("DefaultPassword", "secret");
    StartUp(form, p.disk);
    ASSERT_TRUE(form.mnuAutoLogin.Checked);

    Click();
    EXPECT_FALSE(form.mnuAutoLogin.Checked);
    EXPECT_EQ(p.ui.dialogsShown, 0);
    EXPECT_EQ(String("AutoAdminLogon"), "0");
    EXPECT_EQ(p.registry.writes, std::vector<std::string>{"AutoAdminLogon=1"});  // REG_SZ
    EXPECT_FALSE(Has("DefaultPassword"));
    EXPECT_EQ(String("DefaultUserName"), "alice");
    EXPECT_EQ(String("DefaultDomain"), "WORK");
    EXPECT_TRUE(p.ui.messages.empty());
}

TEST_F(AutoLogonTest, TheDialogIsPrefilledFreshEachTimeAndNeverWithThePassword) {
    Seed("DefaultUserName", "alice");
    Seed("DefaultPassword", "secret");
    Cancel();
    Cancel();
    Click();
    Click();
    ASSERT_EQ(opened.size(), 2u);
    for (const Opened& o : opened) {
        EXPECT_EQ(o.user, L"alice");
        EXPECT_EQ(o.domain, L"");
        EXPECT_EQ(o.password, L"");
        EXPECT_TRUE(o.okEnabled);
    }
    EXPECT_FALSE(form.mnuAutoLogin.Checked);
    EXPECT_TRUE(p.registry.writes.empty());
    EXPECT_EQ(std::count(p.registry.queries.begin(), p.registry.queries.end(), "DefaultPassword"), 0);
}

TEST_F(AutoLogonTest, DomainComesFromDefaultDomainNameWhenThatHoldsText) {
    p.registry.SetDword(kHkeyLocalMachine, kWinlogon, "DefaultUserName", 7);
    Seed("DefaultDomain", "OLD");
    for (int i = 0; i < 4; ++i) Cancel();
    Click();  // only DefaultDomain
    Seed("DefaultDomainName", "");
    Click();
    p.registry.SetDword(kHkeyLocalMachine, kWinlogon, "DefaultDomainName", 5);
    Click();
    Seed("DefaultDomainName", "NEW");
    Click();
    ASSERT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened[0].user, L"7");
    EXPECT_EQ(opened[0].domain, L"OLD");
    EXPECT_EQ(opened[1].domain, L"OLD");
    EXPECT_EQ(opened[2].domain, L"OLD");
    EXPECT_EQ(opened[3].domain, L"NEW");
}

TEST_F(AutoLogonTest, OkWritesEverythingAsStringsInOrderAndChecksTheItem) {
    Seed("DefaultDomain", "1");  // overwritten, never stored as a number
    OkWith(L"bob", L"WORK", L"pa55word");
    Click();
    EXPECT_TRUE(form.mnuAutoLogin.Checked);
    EXPECT_EQ(p.registry.writes,
              (std::vector<std::string>{"AutoAdminLogon=1", "DefaultUserName=1", "DefaultDomain=1",
                                        "DefaultDomainName=1", "DefaultPassword=1"}));
    EXPECT_EQ(String("AutoAdminLogon"), "1");
    EXPECT_EQ(String("DefaultUserName"), "bob");
    EXPECT_EQ(String("DefaultDomain"), "WORK");
    EXPECT_EQ(String("DefaultDomainName"), "WORK");
    EXPECT_EQ(String("DefaultPassword"), "pa55word");
}

TEST_F(AutoLogonTest, DigitsKeepTheirZerosAndPasswordsKeepTheirBlanks) {
    OkWith(L"  0042 ", L"007", L" 00123 ");
    Click();
    EXPECT_EQ(String("DefaultUserName"), "0042");
    EXPECT_EQ(String("DefaultDomain"), "007");
    EXPECT_EQ(String("DefaultDomainName"), "007");
    EXPECT_EQ(String("DefaultPassword"), " 00123 ");

    // Eleven digits, beyond any 32-bit number, are kept as typed too; an empty password is an empty string.
    form.mnuAutoLogin.Checked = false;
    OkWith(L"  ", L"", L"");
    Click();
    EXPECT_TRUE(form.mnuAutoLogin.Checked);
    EXPECT_EQ(String("DefaultUserName"), "");  // two blanks enable OK but are trimmed
    EXPECT_EQ(String("DefaultPassword"), "");
    form.mnuAutoLogin.Checked = false;
    OkWith(L"carol", L"", L"12345678901");
    Click();
    EXPECT_EQ(String("DefaultPassword"), "12345678901");
}

TEST_F(AutoLogonTest, AnEmptyUserNameCannotBeConfirmed) {
    p.ui.dialogActions.push_back([this](Form2& f) {
        opened.push_back({f.edtusername.Text(), f.edtdomain.Text(), f.edtpassword.Text(), f.btnok.Enabled});
        f.edtdomain.SetText(L"WORK");
        f.edtpassword.SetText(L"secret");
        f.btnok_Click();
    });
    Click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_FALSE(opened[0].okEnabled);
    EXPECT_FALSE(form.mnuAutoLogin.Checked);
    EXPECT_TRUE(p.registry.writes.empty());
}

TEST_F(AutoLogonTest, WithoutWriteRightsNothingMovesAndTheUserIsTold) {
    Seed("DefaultUserName", "alice");
    Seed("AutoAdminLogon", "1");
    Seed("DefaultPassword", "secret");
    p.registry.MakeReadOnly(kHkeyLocalMachine, "SOFTWARE");
    OkWith(L"bob", L"", L"x");
    Click();
    EXPECT_FALSE(form.mnuAutoLogin.Checked);
    form.mnuAutoLogin.Checked = true;
    Click();
    EXPECT_TRUE(form.mnuAutoLogin.Checked);
    EXPECT_EQ(String("DefaultUserName"), "alice");
    EXPECT_EQ(String("AutoAdminLogon"), "1");
    EXPECT_EQ(String("DefaultPassword"), "secret");
    ASSERT_EQ(p.ui.messages.size(), 2u);
    EXPECT_EQ(p.ui.messages[0].text, L"Could not switch automatic logon on.\n\nAccess is denied.");
    EXPECT_EQ(p.ui.messages[1].text, L"Could not switch automatic logon off.\n\nAccess is denied.");
    EXPECT_EQ(p.ui.messages[1].style, kMbOk | kMbIconError);
}

// Refuses one value name, as a key with a value-level restriction would.
// Refuses to store the value named `refused`, and after that has happened also any deletion or
// write of the values named in `lockedAfterwards` (the key turned read-only meanwhile).
class RegistryRefusing : public SimRegistry {
public:
    ErrorCode WriteValue(RegKey root, const std::string& path, const std::string& name, RegistryView view,
                         const RegValue& value) override {
        if (refused == name) {
            refusedOnce = true;
            return kErrorAccessDenied;
        }
        if (Locked(name)) return kErrorAccessDenied;
        return SimRegistry::WriteValue(root, path, name, view, value);
    }
    ErrorCode DeleteValue(RegKey root, const std::string& path, const std::string& name,
                          RegistryView view) override {
        if (Locked(name)) return kErrorAccessDenied;
        return SimRegistry::DeleteValue(root, path, name, view);
    }
    std::string refused;
    std::vector<std::string> lockedAfterwards;
    bool refusedOnce = false;

private:
    bool Locked(const std::string& name) const {
        return refusedOnce &&
               std::find(lockedAfterwards.begin(), lockedAfterwards.end(), name) != lockedAfterwards.end();
    }
};

// Every value the command changed goes back exactly as it was: its type and bytes, or its absence.
TEST_F(AutoLogonTest, APartlyStoredSwitchOnIsTakenBackWhole) {
    for (const char* refused : {"DefaultDomainName", "DefaultPassword"}) {
        RegistryRefusing registry;
        registry.refused = refused;
        registry.SetString(kHkeyLocalMachine, kWinlogon, "AutoAdminLogon", "0");
        registry.SetDword(kHkeyLocalMachine, kWinlogon, "DefaultUserName", 7);
        registry.SetString(kHkeyLocalMachine, kWinlogon, "DefaultPassword", "old secret");
        const auto before = [&registry](const char* name) {
            return registry.GetValue(kHkeyLocalMachine, kWinlogon, name);
        };
        const std::vector<std::optional<SimRegistry::Value>> was = {
            before("AutoAdminLogon"), before("DefaultUserName"), before("DefaultDomain"),
            before("DefaultDomainName"), before("DefaultPassword")};
        TestPlatform q;
        Platform platform{q.profile, q.disk, q.version, q.text, q.ui, q.power, registry};
        Form1 refusingForm(platform);
        q.ui.dialogActions.push_back([](Form2& f) {
            f.edtusername.SetText(L"bob");
            f.edtdomain.SetText(L"WORK");
            f.edtpassword.SetText(L"x");
            f.btnok_Click();
        });
        refusingForm.mnuAutoLogin_Click();

        EXPECT_FALSE(refusingForm.mnuAutoLogin.Checked);
        const std::vector<std::optional<SimRegistry::Value>> now = {
            before("AutoAdminLogon"), before("DefaultUserName"), before("DefaultDomain"),
            before("DefaultDomainName"), before("DefaultPassword")};
        EXPECT_EQ(now, was) << refused;
        ASSERT_EQ(q.ui.messages.size(), 1u);
        EXPECT_EQ(q.ui.messages[0].text, L"Could not switch automatic logon on.\n\nAccess is denied.");
    }
}

TEST_F(AutoLogonTest, ATakeBackThatFailsNamesWhatMayBeLeftChanged) {
    RegistryRefusing registry;
    registry.refused = "DefaultPassword";
    registry.lockedAfterwards = {"AutoAdminLogon", "DefaultDomain"};
    Platform platform{p.profile, p.disk, p.version, p.text, p.ui, p.power, registry};
    Form1 refusingForm(platform);
    OkWith(L"bob", L"WORK", L"x");
    refusingForm.mnuAutoLogin_Click();
    EXPECT_FALSE(refusingForm.mnuAutoLogin.Checked);
    EXPECT_FALSE(registry.GetValue(kHkeyLocalMachine, kWinlogon, "DefaultUserName").has_value());
    EXPECT_FALSE(registry.GetValue(kHkeyLocalMachine, kWinlogon, "DefaultDomainName").has_value());
    ASSERT_EQ(p.ui.messages.size(), 1u);
    EXPECT_EQ(p.ui.messages[0].text,
              L"Could not switch automatic logon on.\n\nAccess is denied.\n\nThese values could not be put "
              L"back as they were and may be left changed: AutoAdminLogon, DefaultDomain.");
}

// Under WOW64 the logon process reads the 64-bit registry: the mark, the prefill and the writes
// all use it, and the 32-bit copy under Wow6432Node is left alone.
TEST_F(AutoLogonTest, UnderWow64EverythingGoesToThe64BitView) {
    const std::string copy32 = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
    for (bool wow64 : {true, false}) {
        TestPlatform q;
        q.version.wow64 = q.registry.wow64 = wow64;
        q.registry.SetString(kHkeyLocalMachine, kWinlogon, "AutoAdminLogon", "1");
        q.registry.SetString(kHkeyLocalMachine, kWinlogon, "DefaultUserName", "alice");
        q.registry.SetString(kHkeyLocalMachine, copy32, "AutoAdminLogon", "0");
        q.registry.SetString(kHkeyLocalMachine, copy32, "DefaultUserName", "bob32");
        Form1 f(q.platform);
        StartUp(f, q.disk);
        // Without WOW64 there is no redirection: the plain key is the only one.
        EXPECT_TRUE(f.mnuAutoLogin.Checked) << wow64;

        f.mnuAutoLogin_Click();  // off
        std::wstring prefilled;
        q.ui.dialogActions.push_back([&prefilled](Form2& d) {
            prefilled = d.edtusername.Text();
            d.edtpassword.SetText(L"pw");
            d.btnok_Click();
        });
        f.mnuAutoLogin_Click();  // on again, through the dialog
        EXPECT_EQ(prefilled, L"alice") << wow64;
        EXPECT_EQ(q.registry.GetString(kHkeyLocalMachine, kWinlogon, "AutoAdminLogon"), "1") << wow64;
        EXPECT_EQ(q.registry.GetString(kHkeyLocalMachine, kWinlogon, "DefaultPassword"), "pw") << wow64;
        EXPECT_EQ(q.registry.GetString(kHkeyLocalMachine, copy32, "AutoAdminLogon"), "0") << wow64;
        EXPECT_EQ(q.registry.GetString(kHkeyLocalMachine, copy32, "DefaultUserName"), "bob32") << wow64;
        EXPECT_FALSE(q.registry.GetValue(kHkeyLocalMachine, copy32, "DefaultPassword").has_value()) << wow64;
    }
}

TEST_F(AutoLogonTest, TheMenuShowsTheMarkAndItsClickSwitches) {
    Seed("AutoAdminLogon", "1");
    p.disk.PutFile("C:\\boot.ini", "[boot loader]\r\ntimeout=30\r\n[operating systems]\r\nC:\\=\"Only\"\r\n",
                   0);
    ASSERT_TRUE(form.Form_Load());
    p.ui.menuChoices.push_back({L"Auto Login"});
    form.PrimaryMenuEvent();
    EXPECT_EQ(p.ui.shownMenus.back().at(p.ui.shownMenus.back().size() - 2), L"[x] Auto Login");
    EXPECT_EQ(String("AutoAdminLogon"), "0");
    OkWith(L"bob", L"", L"");
    p.ui.menuChoices.push_back({L"Auto Login"});
    form.PrimaryMenuEvent();
    EXPECT_EQ(p.ui.dialogsShown, 1);
    EXPECT_EQ(String("AutoAdminLogon"), "1");
}

TEST(Form2Test, OkFollowsTheUserNameWhicheverBoxChanges) {
    Form2 f;
    EXPECT_EQ(f.edtusername.Text(), L"Text1");
    EXPECT_FALSE(f.btnok.Enabled);
    EXPECT_EQ(f.Tag, L"");

    // No change, no event: OK keeps its design state until some box really changes.
    f.edtusername.SetText(L"Text1");
    EXPECT_FALSE(f.btnok.Enabled);
    f.edtpassword.SetText(L"");
    EXPECT_TRUE(f.btnok.Enabled);

    f.edtusername.SetText(L"");
    EXPECT_FALSE(f.btnok.Enabled);
    f.edtdomain.SetText(L"WORK");
    f.edtpassword.SetText(L"x");
    EXPECT_FALSE(f.btnok.Enabled);
    f.btnok_Click();
    EXPECT_EQ(f.Tag, L"");
    f.edtusername.SetText(L"  ");
    EXPECT_TRUE(f.btnok.Enabled);
    f.btnok_Click();
    EXPECT_EQ(f.Tag, L"OK");
    f.Command2_Click();
    EXPECT_EQ(f.Tag, L"");
}

}  // namespace
}  // namespace ostrevo
