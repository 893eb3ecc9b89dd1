// The boot configuration commands (default entry, timeout, restart into an entry), over the sim.
#include "bootcfg/boot_loader_writer.h"
#include "shell/form1.h"
#include "test_platform.h"

namespace ostrevo {
namespace {

const std::string kBootIniHead =
    "[boot loader]\r\n"
    "timeout=30\r\n";
const std::string kDefaultLine = "default=multi(0)disk(0)rdisk(0)partition(2)\\WINNT\r\n";
const std::string kEntries =
    "[operating systems]\r\n"
    "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Alpha System\" /fastdetect\r\n"
    "multi(0)disk(0)rdisk(0)partition(2)\\WINNT=Beta System /sos\r\n"
    "C:\\CMDCONS\\BOOTSECT.DAT=\"Gamma & Co\" /cmdcons\r\n";
const std::string kBootIni = kBootIniHead + kDefaultLine + kEntries;

constexpr uint32_t kBootIniAttributes = kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem;
constexpr uint32_t kQuestion = 52;  // Yes/No, warning icon, Yes the default
constexpr const wchar_t* kWriteFailedAccessDenied = L"Could not write c:\\boot.ini.\n\nAccess is denied.";

// Notes what boot.ini held when the restart was asked for.
class PowerWatchingBootIni : public SimPower {
public:
    explicit PowerWatchingBootIni(SimDisk& disk) : disk_(disk) {}
    ErrorCode RequestExit(uint32_t flags) override {
        fileAtRequest = disk_.FileBytes("C:\\boot.ini");
        return SimPower::RequestExit(flags);
    }
    std::optional<std::string> fileAtRequest;

private:
    SimDisk& disk_;
};

class BootCommandsTest : public ::testing::Test {
protected:
    Form1& Load(const std::string& bootIni = kBootIni, uint32_t attributes = kBootIniAttributes) {
        p.disk.PutFile("C:\\boot.ini", bootIni, attributes);
        form = std::make_unique<Form1>(platform);
        EXPECT_TRUE(form->Form_Load());
        return *form;
    }
    std::string File() { return p.disk.FileBytes("C:\\boot.ini").value_or("(missing)"); }
    uint32_t Attributes() { return p.disk.GetAttributes("C:\\boot.ini"); }
    std::vector<int> DefaultMarks() {
        std::vector<int> marked;
        for (size_t i = 0; i < form->mnuDefOs.size(); ++i) {
            if (form->mnuDefOs[i]->Checked) marked.push_back(static_cast<int>(i));
        }
        return marked;
    }
    std::vector<MenuItem*> TimeoutMarks() {
        std::vector<MenuItem*> marked;
        for (MenuItem* item : {&form->mnu0, &form->mnu10, &form->mnu15, &form->mnu20, &form->mnu30,
                               &form->mnu45, &form->mnuother}) {
            if (item->Checked) marked.push_back(item);
        }
        return marked;
    }

    TestPlatform p;
    PowerWatchingBootIni power{p.disk};
    Platform platform{p.profile, p.disk, p.version, p.text, p.ui, power, p.registry};
    std::unique_ptr<Form1> form;
};

std::string WithDefault(const std::string& key) {
    return kBootIniHead + "default=" + key + "\r\n" + kEntries;
}
std::string WithTimeout(const std::string& value) {
    return "[boot loader]\r\ntimeout=" + value + "\r\n" + kDefaultLine + kEntries;
}

TEST_F(BootCommandsTest, DefaultOsYesWritesTheKeyOnlyAndMovesTheMark) {
    Form1& f = Load();
    p.ui.answers = {kIdYes, kIdYes, kIdYes};
    f.mnuDefOs_Click(1);
    ASSERT_EQ(p.ui.messages.size(), 1u);
    EXPECT_EQ(p.ui.messages[0].text, L"Set Default to Alpha System?");
    EXPECT_EQ(p.ui.messages[0].caption, L"Ostrevo");
    EXPECT_EQ(p.ui.messages[0].style, kQuestion);
    EXPECT_EQ(File(), WithDefault("multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS"));
    EXPECT_EQ(DefaultMarks(), std::vector<int>{1});
    EXPECT_EQ(f.LastDefault, 1);

    f.mnuDefOs_Click(3);
    EXPECT_EQ(p.ui.messages[1].text, L"Set Default to Gamma & Co?");
    EXPECT_EQ(File(), WithDefault("C:\\CMDCONS\\BOOTSECT.DAT"));
    EXPECT_EQ(DefaultMarks(), std::vector<int>{3});
    EXPECT_EQ(f.LastDefault, 3);

    // The item already marked is asked about and written again, and keeps its mark.
    f.mnuDefOs_Click(3);
    EXPECT_EQ(p.ui.messages.size(), 3u);
    EXPECT_EQ(p.disk.WriteCount(), 3);
    EXPECT_EQ(DefaultMarks(), std::vector<int>{3});

    for (MenuItem* item : f.mnuRBOS) EXPECT_FALSE(item->Checked);
    EXPECT_TRUE(power.calls.empty());
    EXPECT_EQ(p.ui.unscripted, 0);
}

TEST_F(BootCommandsTest, DefaultOsWithNothingMarkedMarksOnlyTheClickedItem) {
    Form1& f = Load(WithDefault("no such entry"));
    ASSERT_EQ(f.LastDefault, 0);
    p.ui.answers = {kIdYes};
    f.mnuDefOs_Click(2);
    EXPECT_EQ(DefaultMarks(), std::vector<int>{2});
    EXPECT_EQ(f.LastDefault, 2);
    EXPECT_EQ(File(), WithDefault("multi(0)disk(0)rdisk(0)partition(2)\\WINNT"));
}

TEST_F(BootCommandsTest, AnsweringNoChangesNothingAndRequestsNothing) {
    Form1& f = Load();
    p.ui.answers = {kIdNo, kIdNo};
    f.mnuDefOs_Click(1);
    f.mnuRBOS_Click(3);
    ASSERT_EQ(p.ui.messages.size(), 2u);
    EXPECT_EQ(p.ui.messages[1].text, L"Restart to Gamma & Co?");
    EXPECT_EQ(p.ui.messages[1].style, kQuestion);
    EXPECT_EQ(File(), kBootIni);
    EXPECT_EQ(p.disk.WriteCount(), 0);
    EXPECT_EQ(Attributes(), kBootIniAttributes);
    EXPECT_EQ(DefaultMarks(), std::vector<int>{2});
    EXPECT_EQ(f.LastDefault, 2);
    EXPECT_TRUE(power.calls.empty());
}

TEST_F(BootCommandsTest, FixedTimeoutWritesItsCaptionAndMovesTheMark) {
    Form1& f = Load();
    f.mnu20.Click();
    EXPECT_EQ(File(), WithTimeout("20"));
    EXPECT_EQ(TimeoutMarks(), std::vector<MenuItem*>{&f.mnu20});
    EXPECT_EQ(f.LastTimeout, &f.mnu20);

    f.mnu20.Click();
    EXPECT_EQ(p.disk.WriteCount(), 2);
    EXPECT_EQ(TimeoutMarks(), std::vector<MenuItem*>{&f.mnu20});

    f.mnu0.Click();
    EXPECT_EQ(File(), WithTimeout("0"));
    EXPECT_EQ(TimeoutMarks(), std::vector<MenuItem*>{&f.mnu0});
    EXPECT_TRUE(p.ui.inputBoxes.empty());
    EXPECT_TRUE(p.ui.messages.empty());
    EXPECT_EQ(f.mnuother.Caption, L"Other...");
}

TEST_F(BootCommandsTest, OtherTimeoutAsksAndShowsTheValue) {
    Form1& f = Load();
    p.ui.inputs = {L"7", L"9"};
    f.mnuother.Click();
    ASSERT_EQ(p.ui.inputBoxes.size(), 1u);
    EXPECT_EQ(p.ui.inputBoxes[0].prompt, L"New Timeout Value (Seconds)");
    EXPECT_EQ(p.ui.inputBoxes[0].title, L"Enter Startup Default Time");
    EXPECT_EQ(p.ui.inputBoxes[0].defaultText, L"-1");
    EXPECT_EQ(File(), WithTimeout("7"));
    EXPECT_EQ(f.mnuother.Caption, L"Other (7)");
    EXPECT_EQ(TimeoutMarks(), std::vector<MenuItem*>{&f.mnuother});
    EXPECT_EQ(f.LastTimeout, &f.mnuother);

    f.mnuother.Click();
    EXPECT_EQ(p.ui.inputBoxes[1].defaultText, L"-1");
    EXPECT_EQ(f.mnuother.Caption, L"Other (9)");
    EXPECT_EQ(TimeoutMarks(), std::vector<MenuItem*>{&f.mnuother});

    // A fixed value afterwards takes the mark but leaves the custom caption.
    f.mnu10.Click();
    EXPECT_EQ(File(), WithTimeout("10"));
    EXPECT_EQ(TimeoutMarks(), std::vector<MenuItem*>{&f.mnu10});
    EXPECT_EQ(f.mnuother.Caption, L"Other (9)");
    EXPECT_EQ(p.ui.unscripted, 0);
}

TEST_F(BootCommandsTest, OtherTimeoutWritesNumbersAsTyped) {
    Form1& f = Load();
    for (const std::wstring typed : {L"-5", L"2.5", L" 8", L"1,000", L"+3", L"1e1"}) {
        p.ui.inputs = {typed};
        f.mnuother.Click();
        EXPECT_EQ(File(), WithTimeout(p.text.ToAnsi(typed)));
        EXPECT_EQ(f.mnuother.Caption, L"Other (" + typed + L")");
    }
    // The user's own separators decide.
    p.text.decimal = L",";
    p.text.group = L" ";
    p.ui.inputs = {L"2,5", L"2.5"};
    f.mnuother.Click();
    EXPECT_EQ(f.mnuother.Caption, L"Other (2,5)");
    f.mnuother.Click();
    EXPECT_EQ(f.mnuother.Caption, L"Other (2,5)");
    EXPECT_EQ(File(), WithTimeout("2,5"));
}

TEST_F(BootCommandsTest, OtherTimeoutIgnoresMinusOneTextEmptyAndCancel) {
    Form1& f = Load();
    p.ui.inputs = {L"-1", L"abc", L"", std::nullopt, L"7a", L"0x10", L"1 2", L"--1"};
    const size_t asked = p.ui.inputs.size();
    for (size_t i = 0; i < asked; ++i) f.mnuother.Click();
    EXPECT_EQ(p.ui.inputBoxes.size(), asked);
    EXPECT_EQ(File(), kBootIni);
    EXPECT_EQ(p.disk.WriteCount(), 0);
    EXPECT_EQ(f.mnuother.Caption, L"Other...");
    EXPECT_EQ(TimeoutMarks(), std::vector<MenuItem*>{&f.mnu30});
    EXPECT_EQ(f.LastTimeout, &f.mnu30);
    EXPECT_TRUE(p.ui.messages.empty());
}

TEST_F(BootCommandsTest, RebootToWritesTheDefaultThenRestarts) {
    Form1& f = Load();
    p.ui.answers = {kIdYes};
    f.mnuRBOS_Click(3);
    ASSERT_EQ(p.ui.messages.size(), 1u);
    EXPECT_EQ(p.ui.messages[0].text, L"Restart to Gamma & Co?");
    EXPECT_EQ(p.ui.messages[0].caption, L"Ostrevo");
    EXPECT_EQ(p.ui.messages[0].style, kQuestion);
    const std::string expected = WithDefault("C:\\CMDCONS\\BOOTSECT.DAT");
    EXPECT_EQ(File(), expected);
    EXPECT_EQ(power.exitWindowsFlags, std::vector<uint32_t>{kEwxReboot});
    EXPECT_EQ(power.fileAtRequest, expected);
    // The Default OS menu follows the file, so it is right if the restart does not happen.
    EXPECT_EQ(DefaultMarks(), std::vector<int>{3});
    EXPECT_EQ(f.LastDefault, 3);
    EXPECT_EQ(Attributes(), kBootIniAttributes);
}

TEST_F(BootCommandsTest, RefusedRestartIsReportedAndTheMenuStillFollowsTheFile) {
    Form1& f = Load();
    power.exitRefusal = kErrorAccessDenied;
    p.ui.answers = {kIdYes};
    f.mnuRBOS_Click(1);
    ASSERT_EQ(p.ui.messages.size(), 2u);
    EXPECT_EQ(p.ui.messages[1].text, L"Could not restart the computer.\n\nAccess is denied.");
    EXPECT_EQ(p.ui.messages[1].style, kMbOk | kMbIconError);
    EXPECT_EQ(File(), WithDefault("multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS"));
    EXPECT_EQ(DefaultMarks(), std::vector<int>{1});
    EXPECT_EQ(f.LastDefault, 1);
}

TEST_F(BootCommandsTest, AnUnwritableFileIsReportedAndMovesNothing) {
    Form1& f = Load();
    p.disk.DenyWrites("C:\\boot.ini");
    p.ui.answers = {kIdYes, kIdOk, kIdYes, kIdOk};
    p.ui.inputs = {L"7"};

    f.mnuDefOs_Click(1);
    f.mnuRBOS_Click(3);
    f.mnu10.Click();
    f.mnuother.Click();

    ASSERT_EQ(p.ui.messages.size(), 6u);
    for (size_t i : {1u, 3u, 4u, 5u}) {
        EXPECT_EQ(p.ui.messages[i].text, kWriteFailedAccessDenied) << i;
        EXPECT_EQ(p.ui.messages[i].caption, L"Ostrevo") << i;
        EXPECT_EQ(p.ui.messages[i].style, kMbOk | kMbIconError) << i;
    }
    EXPECT_EQ(File(), kBootIni);
    EXPECT_EQ(Attributes(), kBootIniAttributes);
    EXPECT_EQ(DefaultMarks(), std::vector<int>{2});
    EXPECT_EQ(f.LastDefault, 2);
    EXPECT_EQ(TimeoutMarks(), std::vector<MenuItem*>{&f.mnu30});
    EXPECT_EQ(f.LastTimeout, &f.mnu30);
    EXPECT_EQ(f.mnuother.Caption, L"Other...");
    // No restart into an entry the file does not name.
    EXPECT_TRUE(power.calls.empty());
}

TEST_F(BootCommandsTest, WritesGetPastReadOnlyAndKeepTheFileAttributes) {
    for (uint32_t attributes : {kBootIniAttributes, kFileAttributeReadOnly, kFileAttributeArchive,
                                kFileAttributeHidden | kFileAttributeSystem | kFileAttributeArchive}) {
        Form1& f = Load(kBootIni, attributes);
        f.mnu45.Click();
        EXPECT_EQ(File(), WithTimeout("45")) << attributes;
        EXPECT_EQ(Attributes(), attributes) << attributes;
        EXPECT_TRUE(f.mnu45.Checked);
    }
    EXPECT_TRUE(p.ui.messages.empty());
}

// A file another program holds open: its attributes can change but the write is refused.
class LockedBootIni : public ProfileApi, public FileApi {
public:
    explicit LockedBootIni(SimDisk& disk, SimProfile& profile) : disk_(disk), profile_(profile) {}

    uint32_t GetPrivateProfileStringA(const char* appName, const char* keyName, const char* defaultText,
                                      char* returned, uint32_t size, const char* fileName) override {
        return profile_.GetPrivateProfileStringA(appName, keyName, defaultText, returned, size, fileName);
    }
    int32_t WritePrivateProfileStringA(const char*, const char*, const char*, const char*) override {
        return 0;
    }
    ErrorCode LastWriteError() override { return kErrorSharingViolation; }
    bool FindEntry(const std::string& pattern, const std::function<bool(uint32_t)>& wanted) override {
        return disk_.FindEntry(pattern, wanted);
    }
    uint32_t GetAttributes(const std::string& fileName) override { return disk_.GetAttributes(fileName); }
    uint32_t SetErrorMode(uint32_t mode) override { return disk_.SetErrorMode(mode); }
    ErrorCode SetAttributes(const std::string& fileName, uint32_t attributes) override {
        ++attributeChanges;
        return disk_.SetAttributes(fileName, attributes);
    }

    int attributeChanges = 0;

private:
    SimDisk& disk_;
    SimProfile& profile_;
};

TEST_F(BootCommandsTest, TheReasonShownIsTheWritesNotTheAttributeRestores) {
    p.disk.PutFile("C:\\boot.ini", kBootIni, kBootIniAttributes);
    LockedBootIni locked(p.disk, p.profile);
    Platform lockedPlatform{locked, locked, p.version, p.text, p.ui, power, p.registry};

    const Outcome outcome = WriteBootLoaderKey(lockedPlatform, L"Timeout", L"5");
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(locked.attributeChanges, 2);  // cleared, then restored
    EXPECT_EQ(Attributes(), kBootIniAttributes);
    EXPECT_EQ(outcome.message,
              L"Could not write c:\\boot.ini.\n\n"
              L"The process cannot access the file because it is being used by another process.");
}

// Reports success for its first write but stores something else, as the real functions do with a
// key too long for them; later writes go through unchanged, are refused, or are garbled as well.
class FirstWriteGarbled : public SimProfile {
public:
    enum class Later { kWritten, kRefused, kGarbled };
    FirstWriteGarbled(SimDisk& disk, Later later = Later::kWritten)
        : SimProfile(disk), disk_(disk), later_(later) {}
    int32_t WritePrivateProfileStringA(const char* section, const char* key, const char* text,
                                       const char* file) override {
        if ((writes++ == 0 || later_ == Later::kGarbled) && text != nullptr) {
            SimProfile::WritePrivateProfileStringA(section, key, "?@?", file);
            return 1;
        }
        if (later_ == Later::kRefused) disk_.DenyWrites("C:\\boot.ini");
        return SimProfile::WritePrivateProfileStringA(section, key, text, file);
    }
    int writes = 0;

private:
    SimDisk& disk_;
    Later later_;
};

TEST_F(BootCommandsTest, AWriteThatDoesNotReadBackIsUndoneAndReported) {
    p.disk.PutFile("C:\\boot.ini", kBootIni, kBootIniAttributes);
    FirstWriteGarbled garbling(p.disk);
    Platform garbled{garbling, p.disk, p.version, p.text, p.ui, power, p.registry};
    Form1 f(garbled);
    ASSERT_TRUE(f.Form_Load());
    p.ui.answers = {kIdYes, kIdOk};

    f.mnuRBOS_Click(1);

    EXPECT_EQ(garbling.writes, 2);  // the write, then the old value put back
    EXPECT_EQ(File(), kBootIni);
    EXPECT_EQ(Attributes(), kBootIniAttributes);
    ASSERT_EQ(p.ui.messages.size(), 2u);
    EXPECT_EQ(p.ui.messages[1].text,
              L"Could not write c:\\boot.ini.\n\nThe new value did not read back as written, so the old one "
              L"was put back.");
    EXPECT_EQ(f.LastDefault, 2);
    EXPECT_TRUE(f.mnuDefOs[2]->Checked);
    EXPECT_TRUE(power.calls.empty());
}

// The put-back is itself checked: the user never hears that the old value is back when it is not.
TEST_F(BootCommandsTest, APutBackThatFailsIsReportedAsFailed) {
    const std::wstring notBack =
        L"Could not write c:\\boot.ini.\n\nThe new value did not read back as written, and the old one "
        L"could not be put back.";
    struct Case {
        FirstWriteGarbled::Later later;
        std::string bootIni;
        int writes;
        std::wstring message;
    };
    const std::string tooLong = WithDefault(std::string(40000, 'k'));
    for (const Case& c :
         {Case{FirstWriteGarbled::Later::kRefused, kBootIni, 2, notBack + L"\n\nAccess is denied."},
          Case{FirstWriteGarbled::Later::kGarbled, kBootIni, 2, notBack},
          // Too long for the profile calls: never handed to them.
          Case{FirstWriteGarbled::Later::kWritten, tooLong, 1, notBack}}) {
        TestPlatform q;
        q.disk.PutFile("C:\\boot.ini", c.bootIni);
        FirstWriteGarbled garbling(q.disk, c.later);
        Platform garbled{garbling, q.disk, q.version, q.text, q.ui, q.power, q.registry};

        const Outcome outcome =
            WriteBootLoaderKey(garbled, L"Default", L"multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS");
        EXPECT_FALSE(outcome.done);
        EXPECT_EQ(garbling.writes, c.writes);
        EXPECT_EQ(outcome.message, c.message);
    }
}

// A question that could not be asked (the box failed and answered 0) is no Yes.
TEST_F(BootCommandsTest, AQuestionThatFailsChangesNothing) {
    Form1& f = Load();
    p.ui.answers = {0, 0};
    f.mnuDefOs_Click(1);
    f.mnuRBOS_Click(1);
    EXPECT_EQ(p.ui.messages.size(), 2u);
    EXPECT_EQ(File(), kBootIni);
    EXPECT_EQ(f.LastDefault, 2);
    EXPECT_TRUE(power.calls.empty());
}

TEST_F(BootCommandsTest, ValuesTheReadTrimsStillCountAsKept) {
    Load();
    for (const std::wstring& value : {std::wstring(L" 8"), std::wstring(L"9 "), std::wstring(L"\"q\"")}) {
        EXPECT_TRUE(WriteBootLoaderKey(platform, L"Timeout", value).done);
    }
    EXPECT_TRUE(p.ui.messages.empty());
}

}  // namespace
}  // namespace ostrevo
