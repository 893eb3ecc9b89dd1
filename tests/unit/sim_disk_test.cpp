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

    // Every name a search gives, in order, with a trailing '/' on folders.
    std::string Search(const char* pattern) {
        FindDataA data;
        const FindHandle handle = disk.FindFirstFileA(pattern, &data);
        if (handle == kInvalidFindHandle) return "error " + std::to_string(disk.GetLastError());
        std::string names;
        do {
            names += data.fileName + ((data.attributes & kFileAttributeDirectory) != 0 ? "/ " : " ");
        } while (disk.FindNextFileA(handle, &data) != 0);
        EXPECT_EQ(disk.GetLastError(), 18u);  // no more files
        EXPECT_NE(disk.FindClose(handle), 0);
        return names;
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
        EXPECT_EQ(disk.GetFileAttributesA(path), kInvalidFileAttributes) << path;
        EXPECT_EQ(disk.GetLastError(), error) << path;
        EXPECT_EQ(disk.Read(path), std::nullopt) << path;
        EXPECT_EQ(disk.SetFileAttributesA(path, 0), 0) << path;
    }
    EXPECT_EQ(disk.Write("E:\\boot.ini", "x"), 21u);
    EXPECT_EQ(disk.Write("C:\\nodir\\boot.ini", "x"), 3u);
    EXPECT_EQ(disk.GetLastError(), 3u);
}

TEST_F(SimDiskPathTest, AttributesDefaultToArchiveAndKeepWhatIsSet) {
    disk.PutFile("C:\\boot.ini", "x");
    disk.MakeDirectory("C:\\Folder\\Sub");
    EXPECT_EQ(disk.GetFileAttributesA("C:\\BOOT.INI"), kFileAttributeArchive);
    EXPECT_EQ(disk.GetFileAttributesA("C:\\folder\\sub"), kFileAttributeDirectory);
    EXPECT_EQ(disk.GetFileAttributesA("C:\\"), kFileAttributeDirectory);
    const uint32_t hiddenSystemReadOnly =
        kFileAttributeHidden | kFileAttributeSystem | kFileAttributeReadOnly;
    EXPECT_NE(disk.SetFileAttributesA("c:/boot.ini", hiddenSystemReadOnly), 0);
    EXPECT_EQ(disk.GetFileAttributesA("C:\\boot.ini"), hiddenSystemReadOnly);
    EXPECT_NE(disk.SetFileAttributesA("C:\\boot.ini", 0), 0);
    EXPECT_EQ(disk.GetFileAttributesA("C:\\boot.ini"), kFileAttributeNormal);
}

TEST_F(SimDiskWriteTest, ReadOnlyFileRefusesWritesWithAccessDenied) {
    disk.PutFile("C:\\boot.ini", "old", kFileAttributeReadOnly | kFileAttributeArchive);
    EXPECT_EQ(disk.Write("C:\\Boot.ini", "new"), 5u);
    EXPECT_EQ(disk.GetLastError(), 5u);
    EXPECT_EQ(disk.FileBytes("C:\\boot.ini"), "old");
    EXPECT_EQ(disk.WriteCount(), 0);
    EXPECT_NE(disk.SetFileAttributesA("C:\\boot.ini", kFileAttributeArchive), 0);
    EXPECT_EQ(disk.Write("C:\\Boot.ini", "new"), 0u);
    EXPECT_EQ(disk.FileBytes("C:\\boot.ini"), "new");
    EXPECT_EQ(disk.WriteCount(), 1);
}

TEST_F(SimDiskWriteTest, DeniedFileRefusesWritesAndAttributeChangesButReads) {
    disk.PutFile("C:\\boot.ini", "old");
    disk.DenyWrites("c:\\BOOT.ini");
    EXPECT_EQ(disk.Write("C:\\boot.ini", "new"), 5u);
    EXPECT_EQ(disk.SetFileAttributesA("C:\\boot.ini", kFileAttributeArchive), 0);
    EXPECT_EQ(disk.GetLastError(), 5u);
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
    EXPECT_NE(disk.SetFileAttributesA("C:\\boot.ini", kFileAttributeReadOnly), 0);
    EXPECT_EQ(profile.WritePrivateProfileStringA("boot loader", "timeout", "5", "C:\\boot.ini"), 0);
    EXPECT_EQ(disk.FileBytes("C:\\boot.ini"), "[boot loader]\r\ntimeout=10\r\n");
    EXPECT_EQ(disk.WriteCount(), 1);
}

TEST_F(SimDiskSearchTest, WildcardsFindFilesAndFoldersInNameOrder) {
    disk.PutFile("C:\\Boot.ini", "x", kFileAttributeHidden | kFileAttributeSystem | kFileAttributeReadOnly);
    disk.PutFile("C:\\boot.bak", "x");
    disk.PutFile("C:\\Dir\\inner.txt", "x");
    disk.MakeDirectory("C:\\boots");
    EXPECT_EQ(Search("C:\\*"), "boot.bak Boot.ini boots/ Dir/ ");
    EXPECT_EQ(Search("c:/BOOT.*"), "boot.bak Boot.ini ");
    EXPECT_EQ(Search("C:\\boot?"), "boots/ ");
    EXPECT_EQ(Search("C:\\*.*"), "boot.bak Boot.ini boots/ Dir/ ");
    EXPECT_EQ(Search("C:\\dir\\*"), "./ ../ inner.txt ");
    FindDataA data;
    ASSERT_NE(disk.FindFirstFileA("c:\\BOOT.INI", &data), kInvalidFindHandle);
    EXPECT_EQ(data.fileName, "Boot.ini");
    EXPECT_EQ(data.attributes, kFileAttributeHidden | kFileAttributeSystem | kFileAttributeReadOnly);
}

TEST_F(SimDiskSearchTest, FailedSearchesSetTheError) {
    disk.MakeDirectory("C:\\Dir");
    EXPECT_EQ(Search("C:\\none.ini"), "error 2");
    EXPECT_EQ(Search("C:\\Dir\\"), "error 2");
    EXPECT_EQ(Search("C:\\nodir\\*"), "error 3");
    EXPECT_EQ(Search("D:\\boot.ini"), "error 21");
    EXPECT_EQ(Search(""), "error 3");
    FindDataA data;
    EXPECT_EQ(disk.FindNextFileA(12345, &data), 0);
    EXPECT_EQ(disk.GetLastError(), 6u);
    EXPECT_EQ(disk.FindClose(12345), 0);
}

TEST_F(SimDiskTest, ErrorTextsAreTheSystems) {
    EXPECT_EQ(disk.FormatErrorMessage(2), L"The system cannot find the file specified.");
    EXPECT_EQ(disk.FormatErrorMessage(3), L"The system cannot find the path specified.");
    EXPECT_EQ(disk.FormatErrorMessage(5), L"Access is denied.");
    EXPECT_EQ(disk.FormatErrorMessage(21), L"The device is not ready.");
    EXPECT_EQ(disk.FormatErrorMessage(32),
              L"The process cannot access the file because it is being used by another process.");
}

}  // namespace
}  // namespace ostrevo
