// The profile engine's index of a file over the simulated drive: never an answer from bytes the file
// no longer holds, whichever way they changed, and one read of an unchanged file however many
// calls ask about it.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/sim/sim_disk.h"
#include "platform/sim/sim_host_store.h"
#include "platform/sim/sim_profile.h"

namespace ostrevo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

constexpr const char* kBoot = "C:\\boot.ini";

// Passes every call on and counts the reads, so that a test sees when the engine used its index.
class CountingStore : public SimFileStore {
public:
    explicit CountingStore(SimFileStore& inner) : inner_(inner) {}
    std::optional<std::string> Read(const std::string& path) override {
        ++reads;
        if (locked) return std::nullopt;
        return inner_.Read(path);
    }
    uint32_t Write(const std::string& path, const std::string& bytes) override {
        return inner_.Write(path, bytes);
    }
    std::optional<uint64_t> ChangeStamp(const std::string& path) override { return inner_.ChangeStamp(path); }

    int reads = 0;
    bool locked = false;  // the file is there, unchanged, but cannot be read for now

private:
    SimFileStore& inner_;
};

class SimProfileCacheTest : public ::testing::Test {
protected:
    static fs::path FreshFolder() {
        std::random_device seed;
        fs::path folder = fs::temp_directory_path() / ("ostrevo-profile-cache-" + std::to_string(seed()));
        fs::create_directories(folder);
        return folder;
    }
    void TearDown() override { fs::remove_all(root); }

    static std::string Value(SimProfile& engine, const char* section, const char* key,
                             const char* file = kBoot) {
        char buffer[64];
        const uint32_t count =
            engine.GetPrivateProfileStringA(section, key, "(default)", buffer, sizeof(buffer), file);
        return std::string(buffer, count);
    }
    static std::string Keys(SimProfile& engine, const char* section, const char* file = kBoot) {
        char buffer[256];
        const uint32_t count =
            engine.GetPrivateProfileStringA(section, nullptr, "", buffer, sizeof(buffer), file);
        return std::string(buffer, count);
    }
    std::string Value(const char* section, const char* key, const char* file = kBoot) {
        return Value(profile, section, key, file);
    }

    fs::path root = FreshFolder();
    SimDisk disk{root.string()};
    SimProfile profile{disk};
};

using SimProfileStaleCacheTest = SimProfileCacheTest;
using SimProfileCacheUseTest = SimProfileCacheTest;
using SimDiskStampTest = SimProfileCacheTest;

TEST_F(SimProfileStaleCacheTest, OwnWritesAreSeenByTheNextRead) {
    disk.PutFile(kBoot, "[boot loader]\r\ntimeout=30\r\n");
    ASSERT_EQ(Value("boot loader", "timeout"), "30");
    ASSERT_EQ(Keys(profile, "boot loader"), "timeout\0"s);
    EXPECT_NE(profile.WritePrivateProfileStringA("boot loader", "timeout", "5", kBoot), 0);
    EXPECT_NE(profile.WritePrivateProfileStringA("boot loader", "default", "x", kBoot), 0);
    EXPECT_EQ(Value("boot loader", "timeout"), "5");
    EXPECT_EQ(Keys(profile, "boot loader"), "timeout\0default\0"s);
    EXPECT_NE(profile.WritePrivateProfileStringA("boot loader", nullptr, nullptr, kBoot), 0);
    EXPECT_EQ(Value("boot loader", "timeout"), "(default)");
}

TEST_F(SimProfileStaleCacheTest, OtherBytesOfTheSameSizeAreSeen) {
    disk.PutFile(kBoot, "[s]\r\nk=aaa\r\n");
    ASSERT_EQ(Value("s", "k"), "aaa");
    disk.PutFile(kBoot, "[s]\r\nk=bbb\r\n");
    EXPECT_EQ(Value("s", "k"), "bbb");
    EXPECT_EQ(disk.Write(kBoot, "[s]\r\nk=ccc\r\n"), 0u);
    EXPECT_EQ(Value("s", "k"), "ccc");
}

TEST_F(SimProfileStaleCacheTest, RemovedAndRecreatedFileIsSeen) {
    disk.PutFile(kBoot, "[s]\r\nk=old\r\n");
    ASSERT_EQ(Value("s", "k"), "old");
    ASSERT_TRUE(fs::remove(root / "C" / "boot.ini"));
    EXPECT_EQ(Value("s", "k"), "(default)");
    EXPECT_EQ(disk.LastError(), 2u);  // the read still went to the disk and found nothing
    disk.PutFile(kBoot, "[s]\r\nk=new\r\n");
    EXPECT_EQ(Value("s", "k"), "new");
    ASSERT_TRUE(fs::remove(root / "C" / "boot.ini"));
    EXPECT_EQ(Value("s", "k"), "(default)");
    EXPECT_NE(profile.WritePrivateProfileStringA("s", "k", "written", kBoot), 0);
    EXPECT_EQ(Value("s", "k"), "written");
}

TEST_F(SimProfileStaleCacheTest, ChangesThroughAnotherSpellingOfThePathAreSeen) {
    disk.PutFile(kBoot, "[s]\r\nk=1\r\n");
    SimProfile other(disk);
    ASSERT_EQ(Value("s", "k", "C:\\BOOT.INI"), "1");
    EXPECT_NE(other.WritePrivateProfileStringA("s", "k", "2", "c:/Boot.Ini"), 0);
    EXPECT_EQ(Value("s", "k", "C:\\BOOT.INI"), "2");
    EXPECT_EQ(disk.Write("c:\\boot.INI", "[s]\r\nk=3\r\n"), 0u);
    EXPECT_EQ(Value("s", "k", "C:\\BOOT.INI"), "3");
    // Moving between spellings of one file and back never brings an older answer back.
    EXPECT_EQ(Value("s", "k", kBoot), "3");
    disk.PutFile("C:\\Boot.ini", "[s]\r\nk=4\r\n");
    EXPECT_EQ(Value("s", "k", "C:\\BOOT.INI"), "4");
    EXPECT_EQ(Value("s", "k", kBoot), "4");
}

TEST_F(SimProfileStaleCacheTest, TwoEnginesOverOneDiskSeeEachOthersWrites) {
    disk.PutFile(kBoot, "[s]\r\nk=start\r\n");
    SimProfile other(disk);
    ASSERT_EQ(Value(profile, "s", "k"), "start");
    ASSERT_EQ(Value(other, "s", "k"), "start");
    EXPECT_NE(profile.WritePrivateProfileStringA("s", "k", "first", kBoot), 0);
    EXPECT_EQ(Value(other, "s", "k"), "first");
    EXPECT_NE(other.WritePrivateProfileStringA("s", "j", "second", kBoot), 0);
    EXPECT_EQ(Keys(profile, "s"), "k\0j\0"s);
    EXPECT_EQ(Value(profile, "s", "j"), "second");
}

TEST_F(SimProfileStaleCacheTest, EachFileAnswersForItself) {
    disk.PutFile("C:\\a.ini", "[s]\r\nk=a\r\n");
    disk.PutFile("C:\\b.ini", "[s]\r\nk=b\r\n");
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(Value("s", "k", "C:\\a.ini"), "a");
        EXPECT_EQ(Value("s", "k", "C:\\b.ini"), "b");
    }
    disk.PutFile("C:\\b.ini", "[s]\r\nk=B\r\n");
    EXPECT_EQ(Value("s", "k", "C:\\a.ini"), "a");
    EXPECT_EQ(Value("s", "k", "C:\\b.ini"), "B");
}

TEST_F(SimProfileCacheUseTest, UnchangedFileIsReadOnceForAllItsEntries) {
    std::string file = "[boot loader]\r\ntimeout=30\r\n[operating systems]\r\n";
    for (int i = 0; i < 50; ++i)
        file += "entry" + std::to_string(i) + "=\"System " + std::to_string(i) + "\"\r\n";
    disk.PutFile(kBoot, file);
    CountingStore counting(disk);
    SimProfile engine(counting);
    EXPECT_EQ(Keys(engine, "boot loader"), "timeout\0"s);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(Value(engine, "Operating Systems", ("ENTRY" + std::to_string(i)).c_str()),
                  "System " + std::to_string(i));
    }
    EXPECT_EQ(Value(engine, "boot loader", "timeout"), "30");
    EXPECT_EQ(counting.reads, 1);
    // A write reads the file itself; the read after it needs the new bytes once.
    EXPECT_NE(engine.WritePrivateProfileStringA("boot loader", "timeout", "7", kBoot), 0);
    EXPECT_EQ(Value(engine, "boot loader", "timeout"), "7");
    EXPECT_EQ(Value(engine, "operating systems", "entry49"), "System 49");
    EXPECT_EQ(counting.reads, 3);
}

TEST_F(SimProfileCacheUseTest, EveryCallReadsWhenTheStoreCannotVouchOrCachingIsOff) {
    disk.PutFile(kBoot, "[s]\r\nk=v\r\n");
    CountingStore counting(disk);
    SimProfile scanning(counting, SimProfile::Caching::kNever);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Value(scanning, "s", "k"), "v");
    EXPECT_EQ(counting.reads, 3);

    // The store of the fidelity program under Wine: that run keeps testing the scanning path.
    const std::string hostPath = (root / "host.ini").string();
    SimHostStore host;
    ASSERT_EQ(host.Write(hostPath, "[s]\r\nk=host\r\n"), 0u);
    CountingStore countingHost(host);
    SimProfile onHost(countingHost);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Value(onHost, "s", "k", hostPath.c_str()), "host");
    EXPECT_EQ(countingHost.reads, 3);
}

TEST_F(SimProfileStaleCacheTest, FailedReadIsNotKept) {
    disk.PutFile(kBoot, "[s]\r\nk=v\r\n");
    CountingStore counting(disk);
    SimProfile engine(counting);
    counting.locked = true;
    EXPECT_EQ(Value(engine, "s", "k"), "(default)");
    EXPECT_EQ(Value(engine, "s", "k"), "(default)");
    EXPECT_EQ(counting.reads, 2);
    counting.locked = false;
    EXPECT_EQ(Value(engine, "s", "k"), "v");
}

TEST_F(SimDiskStampTest, MovesWithEveryWriteWhateverTheSpellingAndOnlyThen) {
    disk.PutFile(kBoot, "[s]\r\nk=1\r\n");
    const std::optional<uint64_t> first = disk.ChangeStamp(kBoot);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(disk.ChangeStamp("c:/BOOT.INI"), first);
    // Reading and changing attributes leave the bytes alone, so an index stays usable.
    EXPECT_TRUE(disk.Read(kBoot).has_value());
    EXPECT_EQ(disk.SetAttributes(kBoot, kFileAttributeHidden), 0u);
    EXPECT_EQ(disk.ChangeStamp(kBoot), first);

    EXPECT_EQ(disk.Write("c:\\Boot.Ini", "[s]\r\nk=2\r\n"), 0u);
    const std::optional<uint64_t> second = disk.ChangeStamp(kBoot);
    EXPECT_NE(second, first);
    disk.PutFile("C:\\BOOT.INI", "[s]\r\nk=2\r\n");  // the same bytes: the disk does not compare
    EXPECT_NE(disk.ChangeStamp(kBoot), second);

    disk.PutFile("C:\\other.ini", "[s]\r\nk=2\r\n");
    EXPECT_NE(disk.ChangeStamp("C:\\other.ini"), disk.ChangeStamp(kBoot));
}

TEST_F(SimDiskStampTest, MissingFilesAndFoldersAreNotVouchedForSoTheirReadsSetTheError) {
    disk.MakeDirectory("C:\\folder");
    EXPECT_EQ(disk.ChangeStamp("C:\\none.ini"), std::nullopt);
    EXPECT_EQ(disk.ChangeStamp("C:\\folder"), std::nullopt);
    EXPECT_EQ(disk.ChangeStamp("D:\\boot.ini"), std::nullopt);
    EXPECT_EQ(disk.ChangeStamp("C:\\none\\boot.ini"), std::nullopt);

    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(disk.GetAttributes("D:\\x"), kInvalidFileAttributes);
        ASSERT_EQ(disk.LastError(), 21u);  // not ready
        EXPECT_EQ(Value("s", "k", "C:\\none.ini"), "(default)");
        EXPECT_EQ(disk.LastError(), 2u);  // file not found
    }
}

}  // namespace
}  // namespace ostrevo
