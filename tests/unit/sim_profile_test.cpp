// The simulated profile engine: what the reads deliver, how the buffers are cut, and the exact bytes
// the writes leave, on an in-memory store. Every case runs twice: scanning the file on each call,
// and answering from the engine's index of it.
#include "platform/sim/sim_profile.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace ostrevo {
namespace {

using namespace std::string_literals;

constexpr const char* kPath = "C:\\test.ini";

// Files by exact path. Every change moves the stamp, which is all a caching engine needs.
class MemoryStore : public SimFileStore {
public:
    void Put(const std::string& path, const std::string& bytes) {
        files_[path] = bytes;
        ++generation_;
    }
    void Clear() {
        files_.clear();
        ++generation_;
    }
    std::optional<std::string> Get(const std::string& path) const {
        const auto it = files_.find(path);
        if (it == files_.end()) return std::nullopt;
        return it->second;
    }

    std::optional<std::string> Read(const std::string& path) override { return Get(path); }
    uint32_t Write(const std::string& path, const std::string& bytes) override {
        if (refuseWith != 0) return refuseWith;
        Put(path, bytes);
        ++writes;
        return 0;
    }
    std::optional<uint64_t> ChangeStamp(const std::string&) override { return generation_; }

    uint32_t refuseWith = 0;
    int writes = 0;

private:
    std::map<std::string, std::string> files_;
    uint64_t generation_ = 0;
};

struct Delivered {
    uint32_t count;
    std::string buffer;  // the whole buffer, `size` bytes
};

class ProfileTest : public ::testing::TestWithParam<SimProfile::Caching> {
protected:
    void SetFile(const std::string& bytes) { store.Put(kPath, bytes); }
    std::string File() { return store.Get(kPath).value_or("(none)"); }

    Delivered Get(const char* section, const char* key, const char* fallback, uint32_t size) {
        std::string buffer(size + 4, '#');
        const uint32_t count =
            profile.GetPrivateProfileStringA(section, key, fallback, &buffer[0], size, kPath);
        EXPECT_EQ(buffer.substr(size), "####") << "wrote past the buffer";
        return {count, buffer.substr(0, size)};
    }
    // What a caller sees of a value read with a roomy buffer.
    std::string Value(const char* section, const char* key, const char* fallback = "") {
        const Delivered got = Get(section, key, fallback, 255);
        EXPECT_LT(got.count, 255u);
        EXPECT_EQ(got.buffer[got.count], '\0');
        return got.buffer.substr(0, got.count);
    }
    // A list with the NUL that ends it.
    std::string List(const char* section) {
        const Delivered got = Get(section, nullptr, "", 8192);
        return got.buffer.substr(0, got.count + 1);
    }
    int32_t Put(const char* section, const char* key, const char* text) {
        return profile.WritePrivateProfileStringA(section, key, text, kPath);
    }

    MemoryStore store;
    SimProfile profile{store, GetParam()};
};

std::string PathName(const ::testing::TestParamInfo<SimProfile::Caching>& info) {
    return info.param == SimProfile::Caching::kNever ? "Scanning" : "Indexed";
}

#define OSTREVO_ON_BOTH_PATHS(suite)                                                                        \
    using suite = ProfileTest;                                                                              \
    INSTANTIATE_TEST_SUITE_P(                                                                               \
        , suite, ::testing::Values(SimProfile::Caching::kNever, SimProfile::Caching::kWhenTheStoreVouches), \
        PathName)

OSTREVO_ON_BOTH_PATHS(ProfileValueTest);
OSTREVO_ON_BOTH_PATHS(ProfileBufferTest);
OSTREVO_ON_BOTH_PATHS(ProfileListTest);
OSTREVO_ON_BOTH_PATHS(ProfileWriteTest);
OSTREVO_ON_BOTH_PATHS(ProfileEncodingTest);
OSTREVO_ON_BOTH_PATHS(ProfileRobustnessTest);

TEST_P(ProfileValueTest, OnePairOfQuotesAroundTheWholeValueGoes) {
    SetFile(
        "[q]\r\nd=\"dq\"\r\ns='sq'\r\nw=\"Alpha System\" /fastdetect\r\nm=\"mixed'\r\no=\"open\r\ne=\"\"\r\n"
        "i= \" in side \" \r\n");
    EXPECT_EQ(Value("q", "d"), "dq");
    EXPECT_EQ(Value("q", "s"), "sq");
    EXPECT_EQ(Value("q", "w"), "\"Alpha System\" /fastdetect");
    EXPECT_EQ(Value("q", "m"), "\"mixed'");
    EXPECT_EQ(Value("q", "o"), "\"open");
    EXPECT_EQ(Value("q", "e", "dflt"), "");
    EXPECT_EQ(Value("q", "i"), " in side ");
}

TEST_P(ProfileValueTest, BlanksInTheFileAndSpacesFromTheCallerDoNotCount) {
    SetFile("  [ \tBoot Loader  ] junk\r\n \t TimeOut \t= \t 30 \t\r\n");
    EXPECT_EQ(Value("boot loader", "timeout"), "30");
    EXPECT_EQ(Value("  BOOT LOADER ", " TIMEOUT  "), "30");
    EXPECT_EQ(Value("boot loader", "\ttimeout", "tab"), "tab");
    EXPECT_EQ(Value("boot loader\t", "timeout", "tab"), "tab");
}

TEST_P(ProfileValueTest, Windows1252LettersMatchWithoutCase) {
    SetFile("[\xC4pfel \xFF]\r\nSchl\xFC\x73sel\x9A=Wert\r\n");
    EXPECT_EQ(Value("\xE4PFEL \x9F", "SCHL\xDCSSEL\x8A"), "Wert");
}

TEST_P(ProfileValueTest, MissingThingsGiveTheDefaultLessTrailingSpaces) {
    EXPECT_EQ(Value("s", "k", "no file  "), "no file");
    SetFile("[s]\r\nk=\r\nline without equals\r\n");
    EXPECT_EQ(Value("s", "k", "dflt"), "");
    EXPECT_EQ(Value("s", "line without equals", "dflt"), "dflt");
    EXPECT_EQ(Value("s", "other", "  lead"), "  lead");
    EXPECT_EQ(Value("s", "other", "tab\t"), "tab\t");
    EXPECT_EQ(Value("other", "k", nullptr), "");
}

TEST_P(ProfileValueTest, FirstKeyAndFirstSectionWin) {
    SetFile("[d]\r\nk=first\r\nK=second\r\n[e]\r\n[D]\r\nk=third\r\ny=2\r\n");
    EXPECT_EQ(Value("d", "k"), "first");
    EXPECT_EQ(Value("d", "y", "dflt"), "dflt");
}

TEST_P(ProfileValueTest, CommentsAndKeysBeforeTheFirstHeaderCannotBeReached) {
    SetFile("k=v\r\n[s]\r\n;c=1\r\n  ;d=2\r\n#h=3\r\nj=a;b\r\n");
    EXPECT_EQ(Value("s", "k", "dflt"), "dflt");
    EXPECT_EQ(Value("", "k", "dflt"), "dflt");
    EXPECT_EQ(Value("s", ";c", "dflt"), "dflt");
    EXPECT_EQ(Value("s", ";d", "dflt"), "dflt");
    EXPECT_EQ(Value("s", "#h"), "3");
    EXPECT_EQ(Value("s", "j"), "a;b");
}

TEST_P(ProfileValueTest, HeaderNameEndsAtTheFirstBracketOrTheLine) {
    SetFile("[a]b]\r\nk=1\r\n[open\r\nk=2\r\n");
    EXPECT_EQ(Value("a", "k"), "1");
    EXPECT_EQ(Value("open", "k"), "2");
}

TEST_P(ProfileValueTest, CrLfCrAndLfAllEndLines) {
    SetFile("[a]\rx=1\n[b]\r\ny=2\n\rz=3");
    EXPECT_EQ(Value("a", "x"), "1");
    EXPECT_EQ(Value("b", "y"), "2");
    EXPECT_EQ(Value("b", "z"), "3");
    EXPECT_EQ(Value("a", "y", "none"), "none");
}

TEST_P(ProfileValueTest, Utf8ByteOrderMarkGarblesTheFirstLine) {
    SetFile("\xEF\xBB\xBF[s]\r\nk=v\r\n[t]\r\nk=w\r\n");
    EXPECT_EQ(Value("s", "k", "dflt"), "dflt");
    EXPECT_EQ(Value("t", "k"), "w");
    EXPECT_EQ(List(nullptr), "t\0\0"s);
}

TEST_P(ProfileBufferTest, ValueAndDefaultCutToSizeMinusOne) {
    SetFile("[s]\r\nk=abcdef\r\n");
    const Delivered none = Get("s", "k", "", 0);
    EXPECT_EQ(none.count, 0u);
    EXPECT_EQ(Get("s", "k", "", 1).buffer, "\0"s);
    EXPECT_EQ(Get("s", "k", "", 1).count, 0u);
    EXPECT_EQ(Get("s", "k", "", 2).buffer, "a\0"s);
    EXPECT_EQ(Get("s", "k", "", 6).count, 5u);
    EXPECT_EQ(Get("s", "k", "", 6).buffer, "abcde\0"s);
    EXPECT_EQ(Get("s", "k", "", 7).count, 6u);
    EXPECT_EQ(Get("s", "k", "", 7).buffer, "abcdef\0"s);
    EXPECT_EQ(Get("s", "none", "dflt", 3).buffer, "df\0"s);
    EXPECT_EQ(Get("s", "none", "dflt", 3).count, 2u);
}

TEST_P(ProfileBufferTest, ListThatDoesNotFitEndsWithTwoNuls) {
    SetFile("[s]\r\nname1=1\r\nname2=2\r\n");  // "name1\0name2\0\0": 13 characters
    EXPECT_EQ(Get("s", nullptr, "", 13).count, 12u);
    EXPECT_EQ(Get("s", nullptr, "", 13).buffer, "name1\0name2\0\0"s);
    EXPECT_EQ(Get("s", nullptr, "", 12).count, 10u);
    EXPECT_EQ(Get("s", nullptr, "", 12).buffer, "name1\0name\0\0"s);
    EXPECT_EQ(Get("s", nullptr, "", 8).buffer, "name1\0\0\0"s);
    EXPECT_EQ(Get("s", nullptr, "", 3).buffer, "n\0\0"s);
    EXPECT_EQ(Get("s", nullptr, "", 2).buffer, "\0\0"s);
    EXPECT_EQ(Get("s", nullptr, "", 2).count, 0u);
    EXPECT_EQ(Get("s", nullptr, "", 1).buffer, "\0"s);
    EXPECT_EQ(Get(nullptr, nullptr, "", 2).buffer, "\0\0"s);
    EXPECT_EQ(Get(nullptr, nullptr, "", 0).count, 0u);
}

TEST_P(ProfileListTest, KeyListHoldsKeyLinesOnlyAndRepeatsDuplicates) {
    SetFile("[s]\r\n \tname1 \t=x\r\nname2=\r\nno equals\r\n;name3=c\r\nNAME1=y\r\n[t]\r\n[S]\r\nz=1\r\n");
    EXPECT_EQ(List("s"), "name1\0name2\0NAME1\0\0"s);
}

TEST_P(ProfileListTest, SectionListRepeatsDuplicatesAndNeverGivesTheDefault) {
    SetFile("x=0\r\n[a]\r\n  [ b ] c\r\n[A]\r\n");
    EXPECT_EQ(List(nullptr), "a\0b\0A\0\0"s);
    EXPECT_EQ(Get(nullptr, "ignored", "", 32).count, 6u);
    SetFile("no sections\r\n");
    EXPECT_EQ(Get(nullptr, nullptr, "dflt", 16).count, 0u);
    store.Clear();
    EXPECT_EQ(Get(nullptr, nullptr, "dflt", 16).count, 0u);
}

TEST_P(ProfileListTest, MissingOrEmptySectionGivesTheDefault) {
    SetFile("[empty]\r\n;only a comment\r\n");
    EXPECT_EQ(Get("empty", nullptr, "", 16).count, 0u);
    EXPECT_EQ(Value("empty", nullptr, "dflt"), "dflt");
    EXPECT_EQ(Value("missing", nullptr, "dflt  "), "dflt");
}

TEST_P(ProfileWriteTest, ReplacesTheValueInPlaceKeepingEveryOtherByte) {
    SetFile("; top\r\nstray=1\n\r\n[boot loader]\r\n  TimeOut=30\r\n\r\n;c\r\n[other]\ntimeout=7\n");
    EXPECT_EQ(Put("BOOT LOADER", " timeout ", "10"), 1);
    EXPECT_EQ(File(),
              "; top\r\nstray=1\n\r\n[boot loader]\r\n  TimeOut=10\r\n\r\n;c\r\n[other]\ntimeout=7\n");
    EXPECT_EQ(Value("boot loader", "timeout"), "10");
}

TEST_P(ProfileWriteTest, NewKeyFollowsTheLastEntryOfItsSection) {
    SetFile("[a]\r\nx=1\r\nloose\r\n;note\r\n\r\n[b]\r\n;only\r\n[c]\r\nk=1\r\n[a]\r\n");
    EXPECT_EQ(Put("a", "y", "2"), 1);
    EXPECT_EQ(Put("b", "z", "3"), 1);
    EXPECT_EQ(File(),
              "[a]\r\nx=1\r\nloose\r\ny=2\r\n;note\r\n\r\n[b]\r\nz=3\r\n;only\r\n[c]\r\nk=1\r\n[a]\r\n");
}

TEST_P(ProfileWriteTest, NewSectionGoesAtTheEndWithALineEndBeforeIt) {
    SetFile("[a]\r\nx=1\r\n");
    EXPECT_EQ(Put(" b ", " k ", "  v  "), 1);
    EXPECT_EQ(File(), "[a]\r\nx=1\r\n[b]\r\nk=  v  \r\n");
    SetFile("[a]\r\nx=1");
    EXPECT_EQ(Put("b", "k", "v"), 1);
    EXPECT_EQ(File(), "[a]\r\nx=1\r\n[b]\r\nk=v\r\n");
    SetFile("[a]\r\nx=1");
    EXPECT_EQ(Put("a", "y", "2"), 1);
    EXPECT_EQ(File(), "[a]\r\nx=1\r\ny=2\r\n");
}

TEST_P(ProfileWriteTest, MissingFileIsCreatedWithSectionAndKey) {
    EXPECT_EQ(Put("boot loader", "timeout", "30"), 1);
    EXPECT_EQ(File(), "[boot loader]\r\ntimeout=30\r\n");
}

TEST_P(ProfileWriteTest, NullValueRemovesTheKeyLine) {
    SetFile("[a]\r\nx=1\r\nX=2\r\n[b]\r\nx=3");
    EXPECT_EQ(Put("a", "x", nullptr), 1);
    EXPECT_EQ(File(), "[a]\r\nX=2\r\n[b]\r\nx=3");
    EXPECT_EQ(Put("b", "x", nullptr), 1);
    EXPECT_EQ(File(), "[a]\r\nX=2\r\n[b]\r\n");
    EXPECT_EQ(Put("b", "none", nullptr), 1);
    EXPECT_EQ(File(), "[a]\r\nX=2\r\n[b]\r\n");
}

TEST_P(ProfileWriteTest, NullKeyRemovesHeaderAndKeysButNotComments) {
    SetFile("[a]\r\nx=1\r\n[b]\r\ny=2\r\n;keep\r\nloose\r\nz=3\r\n[c]\r\n");
    EXPECT_EQ(Put("B", nullptr, "ignored"), 1);
    EXPECT_EQ(File(), "[a]\r\nx=1\r\n;keep\r\nloose\r\n[c]\r\n");
}

TEST_P(ProfileWriteTest, RemovingFromAMissingFileCreatesNothing) {
    EXPECT_EQ(Put("a", "x", nullptr), 1);
    EXPECT_EQ(Put("a", nullptr, nullptr), 1);
    EXPECT_EQ(store.writes, 0);
    EXPECT_EQ(File(), "(none)");
}

TEST_P(ProfileWriteTest, NullSectionIsRefusedAndTouchesNothing) {
    EXPECT_EQ(Put(nullptr, "k", "v"), 0);
    EXPECT_EQ(File(), "(none)");
    SetFile("[a]\r\nk=1\r\n");
    EXPECT_EQ(Put(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(store.writes, 0);
}

TEST_P(ProfileWriteTest, RefusedStoreWriteGivesFalseEvenForARemovalThatFindsNothing) {
    SetFile("[a]\r\nk=1\r\n");
    store.refuseWith = 5;
    EXPECT_EQ(Put("a", "k", "2"), 0);
    EXPECT_EQ(Put("a", "none", nullptr), 0);
    EXPECT_EQ(Put("b", "k", "2"), 0);
    EXPECT_EQ(File(), "[a]\r\nk=1\r\n");
}

TEST_P(ProfileEncodingTest, Utf16FileIsReadThroughWindows1252) {
    // [s] k=vé一 with a UTF-16LE byte-order mark; 一 has no Windows-1252 form.
    SetFile("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0v\0\xE9\0\x00\x4E\r\0\n\0"s);
    EXPECT_EQ(Value("S", "K"), "v\xE9?");
    EXPECT_EQ(List("s"), "k\0\0"s);
    EXPECT_EQ(List(nullptr), "s\0\0"s);
}

TEST_P(ProfileEncodingTest, Utf16FileIsWrittenAsUtf16) {
    SetFile("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0"s);
    EXPECT_EQ(Put("s", "k", "\xE9"), 1);
    EXPECT_EQ(Put("s", "n", "x"), 1);
    EXPECT_EQ(File(), "\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0n\0=\0x\0\r\0\n\0"s);
}

// Random files built from the characters the parser cares about: no read may overrun or leave an
// unterminated buffer, and a written value must read back.
TEST_P(ProfileRobustnessTest, ArbitraryBytesNeverBreakTheCalls) {
    std::mt19937 random(12345);
    const std::string alphabet = "[]=;\"' \t\r\n\0sk\xFF\xFE\xEF\xBB\xBFxyz"s;
    for (int round = 0; round < 400; ++round) {
        std::string bytes;
        const size_t length = random() % 200;
        for (size_t i = 0; i < length; ++i) {
            bytes +=
                random() % 4 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
        }
        SetFile(bytes);
        for (uint32_t size : {1u, 2u, 3u, 5u, 40u}) {
            for (const char* key :
                 {"k", static_cast<const char*>(nullptr), static_cast<const char*>(nullptr)}) {
                const char* section = key != nullptr ? "s" : (size % 2 == 0 ? nullptr : "s");
                const Delivered got = Get(section, key, "dflt", size);
                ASSERT_LT(got.count, size);
                EXPECT_EQ(got.buffer[got.count], '\0');
            }
        }
        EXPECT_EQ(Get("s", "k", "dflt", 0).count, 0u);
        ASSERT_EQ(Put("s", "k", "written"), 1);
        EXPECT_EQ(Value("s", "k"), "written") << "file: " << bytes;
    }
}

TEST_P(ProfileRobustnessTest, MegabyteLinesAndManyLines) {
    std::string bytes = "[big]\r\n" + std::string(3000000, 'x') + "\r\n";
    for (int i = 0; i < 100000; ++i) bytes += "line" + std::to_string(i) + "\n";
    bytes += "last=value";
    SetFile(bytes);
    EXPECT_EQ(Value("big", "last"), "value");
    EXPECT_EQ(Put("big", "added", "1"), 1);
    EXPECT_EQ(File(), bytes + "\r\nadded=1\r\n");
}

}  // namespace
}  // namespace ostrevo
