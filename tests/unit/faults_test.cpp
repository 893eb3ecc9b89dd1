// What the scenarios do not say: a profile that stores something else than it was given, one whose
// answers never fit, and texts too long for the profile calls.
#include <gtest/gtest.h>

#include "bootcfg/boot_loader_writer.h"
#include "platform/sim/sim_platform.h"
#include "shell/form1.h"
#include "util/profile_read.h"

namespace ostrevo {
namespace {

// Every answer fills the buffer, as a list always too large would: the reads grow to a cap and stop.
struct AlwaysCut : SimDisk {
    uint32_t GetPrivateProfileStringA(const char*, const char*, const char*, char* out, uint32_t size,
                                      const char*) override {
        sizes.push_back(size);
        std::fill(out, out + size, '\0');
        return size - 2;
    }
    std::vector<uint32_t> sizes;
};

TEST(FaultsTest, AListThatNeverFitsIsReadUpToACapAndReportedCut) {
    AlwaysCut cut;
    const ProfileText list = ReadWhole(cut, "s", nullptr, "", "x", 512);
    EXPECT_FALSE(list.whole);
    ASSERT_EQ(cut.sizes.size(), 18u);
    for (size_t i = 0; i < cut.sizes.size(); ++i) EXPECT_EQ(cut.sizes[i], 512u << i);
    EXPECT_EQ(list.text.size(), (1u << 26) - 2);
}

const char kBoot[] = "C:\\boot.ini";
std::string BootIni(const std::string& defaultKey = "old") {
    return "[boot loader]\r\ntimeout=30\r\ndefault=" + defaultKey +
           "\r\n[operating systems]\r\nC:\\=\"x\"\r\n";
}

// Reports success for its first write but stores something else, as the real calls do with a key too
// long for them; later writes go through, are refused, or are garbled too.
struct GarblingDisk : SimDisk {
    enum Later { kWritten, kRefused, kGarbled } later = kWritten;
    int32_t WritePrivateProfileStringA(const char* section, const char* key, const char* text,
                                       const char* path) override {
        if (++calls == 1 || later == kGarbled)
            return SimDisk::WritePrivateProfileStringA(section, key, "?@?", path);
        if (later == kRefused) DenyWrites(path);
        return SimDisk::WritePrivateProfileStringA(section, key, text, path);
    }
    int calls = 0;
};

TEST(FaultsTest, AWriteThatDoesNotReadBackIsPutBackAndNeverClaimedOtherwise) {
    const std::wstring head =
        L"Could not write c:\\boot.ini.\n\nThe new value did not read back as written, ";
    const std::wstring back = head + L"so the old one was put back.";
    const std::wstring notBack = head + L"and the old one could not be put back.";
    const std::string noLoader = "[operating systems]\r\nC:\\=\"x\"\r\n";
    const std::tuple<GarblingDisk::Later, std::string, std::wstring, int, std::string> cases[] = {
        {GarblingDisk::kWritten, BootIni(), back, 2, BootIni()},
        {GarblingDisk::kWritten, noLoader, back, 2, noLoader + "[boot loader]\r\n"},
        {GarblingDisk::kRefused, BootIni(), notBack + L"\n\nAccess is denied.", 2, BootIni("?@?")},
        {GarblingDisk::kGarbled, BootIni(), notBack, 2, BootIni("?@?")},
        {GarblingDisk::kWritten, BootIni(std::string(40000, 'k')), notBack, 1, BootIni("?@?")}};
    for (const auto& [later, file, message, calls, after] : cases) {
        TestPlatform q;
        GarblingDisk disk;
        disk.later = later;
        disk.Put(kBoot, file, kFileAttributeReadOnly);
        Platform garbled{disk, disk, q.version, q.text, q.ui, q.power, q.registry};
        const Outcome outcome = WriteBootLoaderKey(garbled, L"Default", L"x");
        EXPECT_FALSE(outcome.done);
        EXPECT_EQ(outcome.message, message);
        EXPECT_EQ(disk.calls, calls);
        EXPECT_EQ(disk.Text(kBoot), after);
        // A file that came to refuse writes refuses the attributes back too.
        EXPECT_EQ(disk.GetAttributes(kBoot),
                  later == GarblingDisk::kRefused ? kFileAttributeNormal : kFileAttributeReadOnly);
    }
}

TEST(FaultsTest, WhatTheReadTrimsStillCountsAsKeptAndTooLongNeverReachesTheCalls) {
    TestPlatform p;
    p.disk.Put(kBoot, BootIni() + std::string(40000, 'k') + "=long\r\n");
    for (const wchar_t* value : {L" 8", L"9 ", L"\"q\"", L"\"\"", L"'s'"}) {
        EXPECT_TRUE(WriteBootLoaderKey(p.platform, L"Timeout", value).done) << value;
    }
    EXPECT_EQ(p.disk.attributeChanges, 0);  // nothing to lift from a file that is not read-only
    const Outcome tooLong = WriteBootLoaderKey(p.platform, L"Timeout", std::wstring(32767, L'9'));
    EXPECT_FALSE(tooLong.done);
    EXPECT_EQ(tooLong.message, L"Could not write c:\\boot.ini.\n\nThe value is too long for the file.");
    // A key too long for the calls names nothing they could read or write: no item for it.
    Form1 form(p.platform);
    ASSERT_TRUE(form.Form_Load());
    EXPECT_EQ(form.mnuDefOs.size(), 2u);
    EXPECT_EQ(form.mnuDefOs[1]->Tag, L"C:\\");
}

}  // namespace
}  // namespace ostrevo
