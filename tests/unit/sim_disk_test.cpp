// The simulated drive C:: path resolution, refusals and their error codes, attributes, directory
// search, and its use as the profile engine's store.
#include "platform/sim/sim_disk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <random>

#include "platform/sim/sim_profile.h"

namespace ostrevo {
namespace {

namespace fs = std::filesystem;

class SimDiskTest : public ::testing::Test {
protected:
    static fs::path FreshFolder() {
        std::random_device seed;
        fs::path folder = fs::temp_directory_path() / ("ostrevo-sim-disk-" + std::to_string(seed()));
        fs::create_directories(folder);
        return folder;
    }
    void TearDown() override { fs::remove_all(root); }

    // What a search gives, in name order: "d" for a folder, "f" for a file.
    std::string Search(const char* pattern) {
        const std::vector<uint32_t> found = disk.MatchingEntries(pattern);
        if (found.empty()) return "error " + std::to_string(disk.LastError());
        std::string kinds;
        for (uint32_t attributes : found) kinds += (attributes & kFileAttributeDirectory) != 0 ? "d" : "f";
        return kinds;
    }

    fs::path root = FreshFolder();
    SimDisk disk{root.string()};
};

using SimDiskPathTest = SimDiskTest;
using SimDiskWriteTest = SimDiskTest;
using SimDiskSearchTest = SimDiskTest;

TEST_F(SimDiskPathTest, NamesResolveWithoutCaseAndWithEitherSlash) {
    disk.PutFile("C:\\Dir\\Boot.ini", "bytes");
    EXPECT_TRUE(fs::exists(root / "C" / "Dir" / "Boot.ini"));
    EXPECT_EQ(disk.FileBytes("c:/DIR/boot.INI"), "bytes");
    EXPECT_EQ(disk.Read("C:\\dir\\.\\x\\..\\BOOT.ini"), "bytes");
    EXPECT_EQ(disk.Write("c:\\dir\\boot.ini", "new"), 0u);
    EXPECT_EQ(disk.FileBytes("C:\\Dir\\Boot.ini"), "new");
    // The write went to the file that was there, not to a new one spelt another way.
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "C" / "Dir"), fs::directory_iterator()), 1);
}

TEST_F(SimDiskPathTest, FailuresCarryTheSystemsErrorCodes) {
    disk.PutFile("C:\\boot.ini", "x");
    const std::pair<const char*, uint32_t> cases[] = {
        {"D:\\boot.ini", 21},  {"", 3}, {"boot.ini", 2}, {"C:\\none.ini", 2}, {"C:\\nodir\\boot.ini", 3},
        {"C:\\boot.ini\\x", 3}};
    for (const auto& [path, error] : cases) {
        EXPECT_EQ(disk.GetAttributes(path), kInvalidFileAttributes) << path;
        EXPECT_EQ(disk.LastError(), error) << path;
        EXPECT_EQ(disk.Read(path), std::nullopt) << path;
        EXPECT_NE(disk.SetAttributes(path, 0), 0u) << path;
    }
    EXPECT_EQ(disk.Write("E:\\boot.ini", "x"), 21u);
    EXPECT_EQ(disk.Write("C:\\nodir\\boot.ini", "x"), 3u);
    EXPECT_EQ(disk.LastError(), 3u);
}

TEST_F(SimDiskPathTest, AttributesDefaultToArchiveAndKeepWhatIsSet) {
    disk.PutFile("C:\\boot.ini", "x");
    disk.MakeDirectory("C:\\Folder\\Sub");
    EXPECT_EQ(disk.GetAttributes("C:\\BOOT.INI"), kFileAttributeArchive);
    EXPECT_EQ(disk.GetAttributes("C:\\folder\\sub"), kFileAttributeDirectory);
    EXPECT_EQ(disk.GetAttributes("C:\\"), kFileAttributeDirectory);
    const uint32_t hiddenSystemReadOnly =
        kFileAttributeHidden | kFileAttributeSystem | kFileAttributeReadOnly;
    EXPECT_EQ(disk.SetAttributes("c:/boot.ini", hiddenSystemReadOnly), 0u);
    EXPECT_EQ(disk.GetAttributes("C:\\boot.ini"), hiddenSystemReadOnly);
    EXPECT_EQ(disk.SetAttributes("C:\\boot.ini", 0), 0u);
    EXPECT_EQ(disk.GetAttributes("C:\\boot.ini"), kFileAttributeNormal);
}

TEST_F(SimDiskWriteTest, ReadOnlyFileRefusesWritesWithAccessDenied) {
    disk.PutFile("C:\\boot.ini", "old", kFileAttributeReadOnly | kFileAttributeArchive);
    EXPECT_EQ(disk.Write("C:\\Boot.ini", "new"), 5u);
    EXPECT_EQ(disk.LastError(), 5u);
    EXPECT_EQ(disk.FileBytes("C:\\boot.ini"), "old");
    EXPECT_EQ(disk.WriteCount(), 0);
    EXPECT_EQ(disk.SetAttributes("C:\\boot.ini", kFileAttributeArchive), 0u);
    EXPECT_EQ(disk.Write("C:\\Boot.ini", "new"), 0u);
    EXPECT_EQ(disk.FileBytes("C:\\boot.ini"), "new");
    EXPECT_EQ(disk.WriteCount(), 1);
}

TEST_F(SimDiskWriteTest, DeniedFileRefusesWritesAndAttributeChangesButReads) {
    disk.PutFile("C:\\boot.ini", "old");
    disk.DenyWrites("c:\\BOOT.ini");
    EXPECT_EQ(disk.Write("C:\\boot.ini", "new"), 5u);
    EXPECT_EQ(disk.SetAttributes("C:\\boot.ini", kFileAttributeArchive), 5u);
    EXPECT_EQ(disk.LastError(), 5u);
    EXPECT_EQ(disk.Read("C:\\boot.ini"), "old");
    disk.DenyWrites("C:\\boot.ini", false);
    EXPECT_EQ(disk.Write("C:\\boot.ini", "new"), 0u);
}

TEST_F(SimDiskWriteTest, FolderCannotBeWrittenAsAFile) {
    disk.MakeDirectory("C:\\boot.ini");
    EXPECT_EQ(disk.Write("C:\\boot.ini", "x"), 5u);
    EXPECT_EQ(disk.Read("C:\\boot.ini"), std::nullopt);
}

TEST_F(SimDiskWriteTest, ServesAsTheProfileStore) {
    disk.PutFile("C:\\boot.ini", "[boot loader]\r\ntimeout=30\r\n");
    SimProfile profile(disk);
    EXPECT_NE(profile.WritePrivateProfileStringA("boot loader", "timeout", "10", "c:\\Boot.ini"), 0);
    EXPECT_EQ(disk.FileBytes("C:\\boot.ini"), "[boot loader]\r\ntimeout=10\r\n");
    EXPECT_EQ(disk.WriteCount(), 1);
    EXPECT_EQ(disk.SetAttributes("C:\\boot.ini", kFileAttributeReadOnly), 0u);
    EXPECT_EQ(profile.WritePrivateProfileStringA("boot loader", "timeout", "5", "C:\\boot.ini"), 0);
    EXPECT_EQ(disk.FileBytes("C:\\boot.ini"), "[boot loader]\r\ntimeout=10\r\n");
    EXPECT_EQ(disk.WriteCount(), 1);
}

TEST_F(SimDiskSearchTest, WildcardsFindFilesAndFoldersInNameOrder) {
    disk.PutFile("C:\\Boot.ini", "x", kFileAttributeHidden | kFileAttributeSystem | kFileAttributeReadOnly);
    disk.PutFile("C:\\boot.bak", "x");
    disk.PutFile("C:\\Dir\\inner.txt", "x");
    disk.MakeDirectory("C:\\boots");
    EXPECT_EQ(Search("C:\\*"), "ffdd");
    EXPECT_EQ(Search("c:/BOOT.*"), "ff");
    EXPECT_EQ(Search("C:\\boot?"), "d");
    EXPECT_EQ(Search("C:\\*.*"), "ffdd");
    EXPECT_EQ(Search("C:\\dir\\*"), "ddf");
    EXPECT_EQ(disk.MatchingEntries("c:\\BOOT.INI"),
              std::vector<uint32_t>{kFileAttributeHidden | kFileAttributeSystem | kFileAttributeReadOnly});
}

TEST_F(SimDiskSearchTest, FailedSearchesSetTheError) {
    disk.MakeDirectory("C:\\Dir");
    EXPECT_EQ(Search("C:\\none.ini"), "error 2");
    EXPECT_EQ(Search("C:\\Dir\\"), "error 2");
    EXPECT_EQ(Search("C:\\nodir\\*"), "error 3");
    EXPECT_EQ(Search("D:\\boot.ini"), "error 21");
    EXPECT_EQ(Search(""), "error 3");
}

}  // namespace
}  // namespace ostrevo
