// Runs each profile call sequence twice, through kernel32 and through the simulated engine, on two
// copies of the same file, and reports every difference in counts, buffers, results and file bytes.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim_host_store.h"
#include "platform/sim/sim_profile.h"

namespace {

using namespace std::string_literals;

constexpr uint32_t kGuard = 8;  // bytes past the buffer that no call may touch
constexpr char kFill = '\xA5';

struct Call {
    bool write = false;
    const char* section = nullptr;  // null pointers are passed as such
    const char* key = nullptr;
    const char* text = nullptr;  // the default of a read, the value of a write
    uint32_t size = 0;           // reads only
};

Call Get(const char* section, const char* key, const char* fallback, uint32_t size = 256) {
    return {false, section, key, fallback, size};
}

Call Put(const char* section, const char* key, const char* value) { return {true, section, key, value, 0}; }

// What one call shows: its count or result, and for a read the whole buffer with its guard bytes.
struct Seen {
    uint32_t result = 0;
    std::string buffer;
    bool operator==(const Seen& other) const { return result == other.result && buffer == other.buffer; }
};

struct Outcome {
    std::vector<Seen> calls;
    std::optional<std::string> file;  // nothing: no file
};

// Windows' answer for one call: the result and the bytes it puts at the start of the buffer.
struct Answer {
    uint32_t result;
    std::string bytes;
};

struct Case {
    Case(std::string caseName, std::optional<std::string> bytes, std::vector<Call> sequence,
         bool refuseWrites = false)
        : name(std::move(caseName)),
          file(std::move(bytes)),
          calls(std::move(sequence)),
          readOnly(refuseWrites) {}

    std::string name;
    std::optional<std::string> file;
    std::vector<Call> calls;
    bool readOnly;
    // Only where Wine is known to answer otherwise than Windows: what Windows gives.
    std::optional<std::vector<Answer>> windowsCalls;
    std::optional<std::string> windowsFile;
};

std::string Show(const std::optional<std::string>& bytes) {
    if (!bytes) return "(no file)";
    std::string text = "\"";
    size_t end = bytes->size();
    while (end > 0 && (*bytes)[end - 1] == kFill) --end;
    for (size_t i = 0; i < end; ++i) {
        const unsigned char c = static_cast<unsigned char>((*bytes)[i]);
        if (c == '\\') {
            text += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\x%02X", c);
            text += escaped;
        }
    }
    text += "\"";
    if (end < bytes->size()) text += "+" + std::to_string(bytes->size() - end) + " untouched";
    return text;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) bytes.append(chunk, got);
    std::fclose(file);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void RemoveFile(const std::string& path) {
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(path.c_str());
}

// Both sides get a file of their own, set up the same way, so neither can see the other's writes.
template <typename Api>
Outcome Run(const Case& test, const std::string& path, Api&& api) {
    RemoveFile(path);
    if (test.file) {
        WriteFileBytes(path, *test.file);
        if (test.readOnly) ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    Outcome outcome;
    for (const Call& call : test.calls) {
        Seen seen;
        if (call.write) {
            seen.result = api.Write(call, path) != 0 ? 1 : 0;
        } else {
            seen.buffer.assign(call.size + kGuard, kFill);
            seen.result = api.Get(call, &seen.buffer[0], path);
        }
        outcome.calls.push_back(seen);
    }
    outcome.file = ReadFileBytes(path);
    RemoveFile(path);
    return outcome;
}

struct RealApi {
    uint32_t Get(const Call& call, char* buffer, const std::string& path) {
        return ::GetPrivateProfileStringA(call.section, call.key, call.text, buffer, call.size, path.c_str());
    }
    int32_t Write(const Call& call, const std::string& path) {
        return ::WritePrivateProfileStringA(call.section, call.key, call.text, path.c_str());
    }
};

struct SimApi {
    ostrevo::SimHostStore store;
    ostrevo::SimProfile profile{store};
    uint32_t Get(const Call& call, char* buffer, const std::string& path) {
        return profile.GetPrivateProfileStringA(call.section, call.key, call.text, buffer, call.size,
                                                path.c_str());
    }
    int32_t Write(const Call& call, const std::string& path) {
        return profile.WritePrivateProfileStringA(call.section, call.key, call.text, path.c_str());
    }
};

Outcome WindowsOutcome(const Case& test) {
    Outcome outcome;
    for (size_t i = 0; i < test.calls.size(); ++i) {
        const Call& call = test.calls[i];
        const Answer& answer = (*test.windowsCalls)[i];
        Seen seen;
        seen.result = answer.result;
        if (!call.write) {
            seen.buffer.assign(call.size + kGuard, kFill);
            seen.buffer.replace(0, answer.bytes.size(), answer.bytes);
        }
        outcome.calls.push_back(seen);
    }
    outcome.file = test.windowsFile;
    return outcome;
}

// Empty when the two agree, else one clause per disagreement.
std::string Differences(const Outcome& first, const char* firstName, const Outcome& second,
                        const char* secondName) {
    std::string text;
    for (size_t i = 0; i < first.calls.size() && i < second.calls.size(); ++i) {
        if (first.calls[i] == second.calls[i]) continue;
        text += "; call " + std::to_string(i + 1) + ": " + firstName + " " +
                std::to_string(first.calls[i].result) + " " + Show(first.calls[i].buffer) + ", " +
                secondName + " " + std::to_string(second.calls[i].result) + " " +
                Show(second.calls[i].buffer);
    }
    if (first.file != second.file) {
        text +=
            "; file: "s + firstName + " " + Show(first.file) + ", " + secondName + " " + Show(second.file);
    }
    return text.empty() ? text : text.substr(2);
}

// A boot.ini as setup programs write it.
const std::string kBoot =
    "[boot loader]\r\n"
    "timeout=30\r\n"
    "default=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n"
    "[operating systems]\r\n"
    "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Alpha System\" /fastdetect\r\n"
    "multi(0)disk(0)rdisk(0)partition(2)\\WINNT=\"Beta System\"\r\n"
    "C:\\CMDCONS\\BOOTSECT.DAT='Recovery Console' /cmdcons\r\n";
const char* const kAlpha = "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS";

// Key lines, a line without '=', a comment and an empty value, then an empty section.
const std::string kKeys =
    "[section1]\r\n"
    "name1=val1\r\n"
    "name2=\"val2\"\r\n"
    "name3\r\n"
    "name4=a\r\n"
    ";name5=comment\r\n"
    "name6=\r\n"
    "[section2]\r\n";

const std::string kSmall = "[s]\r\nk=abcdef\r\nq=\"abcdef\"\r\n";

std::vector<Case> ValueCases() {
    const std::string quotes =
        "[q]\r\nd=\"dq\"\r\ns='sq'\r\nm=\"mixed'\r\no=\"open\r\ne=\"\"\r\ni=\" in side \"\r\nt=\"a\"b\"\r\n"
        "x='Recovery' /cmdcons\r\n";
    const std::string blanks = "  [ \tb  ]  \r\n \t key1 \t= \t value one \t\r\nkey2=\t\r\n";
    const std::string comments = "[c]\r\n;c=1\r\n  ;d=2\r\n#h=3\r\nk=a;b\r\nname3\r\n";
    const std::string duplicates = "[d]\r\nk=first\r\nK=second\r\n[e]\r\nx=1\r\n[D]\r\nk=third\r\ny=2\r\n";
    return {
        {"value.plain", kBoot, {Get("boot loader", "timeout", "x")}},
        {"value.case-insensitive names, stored case kept",
         kBoot,
         {Get("BOOT LOADER", "TimeOut", "x"), Get("Boot Loader", "DEFAULT", "x")}},
        {"value.quoted name with switches", kBoot, {Get("operating systems", kAlpha, "")}},
        {"value.quotes",
         quotes,
         {Get("q", "d", ""), Get("q", "s", ""), Get("q", "m", ""), Get("q", "o", ""), Get("q", "e", "dflt"),
          Get("q", "i", ""), Get("q", "t", ""), Get("q", "x", "")}},
        {"value.blanks in file", blanks, {Get("b", "key1", ""), Get("b", "key2", "dflt")}},
        {"value.caller spaces trimmed", kBoot, {Get("  boot loader ", " timeout  ", "x")}},
        {"value.missing key, section, file",
         kBoot,
         {Get("boot loader", "nokey", "dflt"), Get("no section", "timeout", "dflt")}},
        {"value.missing file", std::nullopt, {Get("boot loader", "timeout", "dflt")}},
        {"value.default trimming",
         kBoot,
         {Get("boot loader", "nokey", "dflt   "), Get("boot loader", "nokey", "  dflt"),
          Get("boot loader", "nokey", "d f  "), Get("boot loader", "nokey", nullptr),
          Get("boot loader", "nokey", "")}},
        {"value.empty value is not missing", "[s]\r\nk=\r\n", {Get("s", "k", "dflt")}},
        {"value.comments and lines without equals",
         comments,
         {Get("c", "c", "dflt"), Get("c", "d", "dflt"), Get("c", "#h", "dflt"), Get("c", "k", "dflt"),
          Get("c", "name3", "dflt")}},
        {"value.duplicates: first key, first section",
         duplicates,
         {Get("d", "k", ""), Get("d", "y", "dflt"), Get("e", "x", "")}},
        {"value.keys before the first section", "k=v\r\n[s]\r\nx=1\r\n", {Get("s", "k", "dflt")}},
        {"value.text after the header's bracket", "[s] trailing\r\nk=v\r\n", {Get("s", "k", "dflt")}},
        {"value.LF line ends",
         "[a]\nx=1\n[b]\ny=2\n",
         {Get("a", "x", ""), Get("b", "y", ""), Get("a", "y", "no")}},
        {"value.CR line ends",
         "[a]\rx=1\r[b]\ry=2\r",
         {Get("a", "x", ""), Get("b", "y", ""), Get("a", "y", "no")}},
        {"value.mixed line ends", "[a]\r\nx=1\n[b]\ry=2", {Get("a", "x", ""), Get("b", "y", "")}},
        {"value.long value cut at 254",
         "[s]\r\nk=" + std::string(1000, 'v') + "\r\n",
         {Get("s", "k", "", 255)}},
    };
}

std::vector<Case> BufferCases() {
    return {
        {"buffer.value sizes",
         kSmall,
         {Get("s", "k", "", 0), Get("s", "k", "", 1), Get("s", "k", "", 2), Get("s", "k", "", 3),
          Get("s", "k", "", 6), Get("s", "k", "", 7), Get("s", "k", "", 8)}},
        {"buffer.quoted value sizes",
         kSmall,
         {Get("s", "q", "", 6), Get("s", "q", "", 8), Get("s", "q", "", 9)}},
        {"buffer.default sizes",
         kSmall,
         {Get("s", "no", "dflt", 0), Get("s", "no", "dflt", 1), Get("s", "no", "dflt", 3),
          Get("s", "no", "dflt", 5)}},
    };
}

std::vector<Case> ListCases() {
    // Lists that fit with room to spare; cut lists are among the known Wine differences below.
    const char* s = "section1";
    const std::string duplicates = "[d]\r\na=1\r\nb=2\r\nA=3\r\n[e]\r\nx=1\r\n[D]\r\nc=4\r\n";
    return {
        {"keys.comments, lines without equals, empty values",
         kKeys,
         {Get(s, nullptr, ""), Get(s, nullptr, "", 26)}},
        {"keys.size 0 and 1", kKeys, {Get(s, nullptr, "", 0), Get(s, nullptr, "", 1)}},
        {"keys.missing section", kKeys, {Get("nosection", nullptr, ""), Get("nosection", nullptr, nullptr)}},
        {"keys.missing section gives the default",
         kKeys,
         {Get("nosection", nullptr, "dflt"), Get("nosection", nullptr, "dflt", 1),
          Get("nosection", nullptr, "dflt", 3)}},
        {"keys.section without keys",
         kKeys,
         {Get("section2", nullptr, ""), Get("section2", nullptr, "dflt")}},
        {"keys.missing file", std::nullopt, {Get("s", nullptr, "")}},
        {"keys.duplicates listed", duplicates, {Get("d", nullptr, "")}},
        {"keys.blanks trimmed", "[b]\r\n \tk1 \t=x\r\n  k 2=y\r\n", {Get("b", nullptr, "")}},
        {"keys.boot entries", kBoot, {Get("operating systems", nullptr, "", 512)}},
        {"sections.full list", kBoot, {Get(nullptr, nullptr, ""), Get(nullptr, nullptr, "", 32)}},
        {"sections.key ignored without section", kBoot, {Get(nullptr, "timeout", "")}},
        {"sections.size 0 and 1", kBoot, {Get(nullptr, nullptr, "", 0), Get(nullptr, nullptr, "", 1)}},
        {"sections.duplicates listed", "[a]\r\n[b]\r\nx=1\r\n[A]\r\n", {Get(nullptr, nullptr, "")}},
        {"sections.blanks trimmed", "  [ x\t]  \r\n[y] z\r\n", {Get(nullptr, nullptr, "")}},
        {"sections.empty file", "", {Get(nullptr, nullptr, ""), Get(nullptr, nullptr, "dflt")}},
        {"sections.missing file", std::nullopt, {Get(nullptr, nullptr, ""), Get(nullptr, nullptr, "dflt")}},
    };
}

std::vector<Case> WriteCases() {
    const std::string sections = "[a]\r\nx=1\r\n[b]\r\ny=2\r\n";
    return {
        {"write.replace keeps the key's spelling",
         kBoot,
         {Put("BOOT LOADER", "TIMEOUT", "10"), Get("boot loader", "timeout", "")}},
        {"write.replace a quoted value", kBoot, {Put("operating systems", kAlpha, "\"Renamed\" /sos")}},
        {"write.new key in a middle section", kBoot, {Put("boot loader", "extra", "1")}},
        {"write.new key in the last section", sections, {Put("b", "z", "3")}},
        {"write.new section", sections, {Put("c", "k", "v"), Get(nullptr, nullptr, "")}},
        {"write.new key after a last line without line end", "[a]\r\nx=1", {Put("a", "y", "2")}},
        {"write.new section after a last line without line end", "[a]\r\nx=1", {Put("b", "y", "2")}},
        {"write.missing file created", std::nullopt, {Put("s", "k", "v")}},
        {"write.empty file", "", {Put("s", "k", "v")}},
        {"write.empty value", sections, {Put("a", "x", "")}},
        {"write.duplicate key: first replaced", "[a]\r\nk=1\r\nK=2\r\n", {Put("a", "k", "9")}},
        {"write.duplicate section: first copy",
         "[a]\r\nx=1\r\n[b]\r\ny=2\r\n[A]\r\nz=3\r\n",
         {Put("a", "w", "4")}},
        {"write.section with a line without equals", "[a]\r\nx=1\r\nloose\r\n[b]\r\n", {Put("a", "y", "2")}},
        {"write.then read back",
         sections,
         {Put("a", "n", "new"), Get("a", nullptr, ""), Get("a", "n", ""), Put("a", "n", "newer"),
          Get("a", "n", "")}},
        {"delete.key", kBoot, {Put("boot loader", "TIMEOUT", nullptr)}},
        {"delete.missing key", sections, {Put("a", "nokey", nullptr), Put("nosection", "x", nullptr)}},
        {"delete.key from a missing file", std::nullopt, {Put("a", "x", nullptr)}},
        {"delete.section", kBoot, {Put("Boot Loader", nullptr, nullptr)}},
        {"delete.section, text ignored", sections, {Put("b", nullptr, "ignored")}},
        {"delete.missing section", sections, {Put("c", nullptr, nullptr)}},
        {"null section refused", sections, {Put(nullptr, "x", "1"), Put(nullptr, nullptr, nullptr)}},
        {"null section creates no file", std::nullopt, {Put(nullptr, "x", "1")}},
        {"read-only.write refused", kBoot, {Put("boot loader", "timeout", "5")}, true},
        {"read-only.new section refused", kBoot, {Put("new", "k", "v")}, true},
        {"read-only.delete refused", kBoot, {Put("boot loader", "timeout", nullptr)}, true},
        {"read-only.removal that finds nothing refused", kBoot, {Put("boot loader", "nokey", nullptr)}, true},
        {"read-only.reads work", kBoot, {Get("boot loader", "timeout", "")}, true},
    };
}

std::vector<Case> EncodingCases() {
    // "[s]\r\nk=v\u00e9\u4e00\r\n" as UTF-16LE with its byte-order mark: the last letter has no
    // Windows-1252 form, not even a look-alike, so both sides must give '?'.
    const std::string utf16 = "\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0v\0\xE9\0\x00\x4E\r\0\n\0"s;
    return {
        {"utf16.value", utf16, {Get("s", "k", ""), Get("S", nullptr, ""), Get(nullptr, nullptr, "")}},
        {"utf16.writes stay UTF-16", utf16, {Put("s", "n", "\xE9t\xE9"), Put("t", "k", "v")}},
        {"utf16.replace", utf16, {Put("s", "k", "w")}},
        {"utf8 BOM.later sections", "\xEF\xBB\xBF[s]\r\nk=v\r\n[t]\r\nk=w\r\n", {Get("t", "k", "")}},
    };
}

// Cases where Wine is known to answer otherwise than Windows. Each states what Windows gives, and
// the simulation is held to that; Wine's answer is shown but does not count.
// `fileAfter` absent: the file must stay as it was.
Case WindowsGives(Case test, std::vector<Answer> calls, std::optional<std::string> fileAfter = std::nullopt) {
    test.windowsCalls = std::move(calls);
    test.windowsFile = fileAfter ? fileAfter : test.file;
    return test;
}

std::vector<Case> KnownWineDifferences() {
    const char* s = "section1";
    std::vector<Case> cases;
    // Windows does not understand a UTF-8 byte-order mark: it belongs to the first line, which is
    // then no header. Wine skips the mark and finds the section.
    cases.push_back(WindowsGives({"utf8 BOM.first line garbled",
                                  "\xEF\xBB\xBF[s]\r\nk=v\r\n[t]\r\nk=w\r\n",
                                  {Get("s", "k", "dflt"), Get(nullptr, nullptr, "")}},
                                 {{4, "dflt\0"s}, {2, "t\0\0"s}}));
    // Windows ends a section name at the first ']' and takes a header without one as it is; Wine
    // looks for the last ']' and rejects a header that has none.
    cases.push_back(WindowsGives({"header.without closing bracket",
                                  "[s\r\nk=v\r\n",
                                  {Get("s", "k", "dflt"), Get(nullptr, nullptr, "")}},
                                 {{1, "v\0"s}, {2, "s\0\0"s}}));
    cases.push_back(WindowsGives({"header.name ends at the first bracket",
                                  "[a]b]\r\nk=v\r\n",
                                  {Get("a", "k", "dflt"), Get(nullptr, nullptr, "")}},
                                 {{1, "v\0"s}, {2, "a\0\0"s}}));
    // Windows trims only spaces from the names a caller passes, so a tab makes another name; Wine
    // trims tabs too.
    cases.push_back(
        WindowsGives({"value.caller tab not trimmed",
                      kBoot,
                      {Get("boot loader", "\ttimeout", "dflt"), Get("boot loader\t", "timeout", "dflt")}},
                     {{4, "dflt\0"s}, {4, "dflt\0"s}}));
    // Keys before the first header belong to no section on Windows; Wine files them under the
    // empty name, where a read of section "" finds them.
    cases.push_back(WindowsGives({"value.keys before the first header unreachable",
                                  "k=v\r\n[s]\r\nx=1\r\n",
                                  {Get("s", "k", "dflt"), Get("", "k", "dflt")}},
                                 {{4, "dflt\0"s}, {4, "dflt\0"s}}));
    // A list that does not fit ends with two NULs on Windows, the count being size - 2; Wine writes
    // only one and leaves the last byte of the buffer alone. A list that fits exactly is not cut
    // on Windows; Wine counts it as cut.
    cases.push_back(WindowsGives({"keys.cut lists end with two NULs",
                                  kKeys,
                                  {Get(s, nullptr, "", 25), Get(s, nullptr, "", 24), Get(s, nullptr, "", 16),
                                   Get(s, nullptr, "", 14), Get(s, nullptr, "", 13)}},
                                 {{24, "name1\0name2\0name4\0name6\0\0"s},
                                  {22, "name1\0name2\0name4\0name\0\0"s},
                                  {14, "name1\0name2\0na\0\0"s},
                                  {12, "name1\0name2\0\0\0"s},
                                  {11, "name1\0name2\0\0"s}}));
    cases.push_back(WindowsGives({"keys.tiny buffers",
                                  kKeys,
                                  {Get(s, nullptr, "", 2), Get(s, nullptr, "", 3), Get(s, nullptr, "", 4)}},
                                 {{0, "\0\0"s}, {1, "n\0\0"s}, {2, "na\0\0"s}}));
    cases.push_back(WindowsGives(
        {"sections.cut lists end with two NULs",
         kBoot,
         {Get(nullptr, nullptr, "", 31), Get(nullptr, nullptr, "", 30), Get(nullptr, nullptr, "", 20),
          Get(nullptr, nullptr, "", 14), Get(nullptr, nullptr, "", 13), Get(nullptr, nullptr, "", 2),
          Get(nullptr, nullptr, "", 3), Get(nullptr, nullptr, "", 4)}},
        {{30, "boot loader\0operating systems\0\0"s},
         {28, "boot loader\0operating system\0\0"s},
         {18, "boot loader\0operat\0\0"s},
         {12, "boot loader\0\0\0"s},
         {11, "boot loader\0\0"s},
         {0, "\0\0"s},
         {1, "b\0\0"s},
         {2, "bo\0\0"s}}));
    // Windows changes only the line it writes; Wine rewrites the whole file and drops blank lines.
    cases.push_back(WindowsGives({"write.blank lines and leading bytes kept",
                                  "; boot file\r\n\r\n[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n",
                                  {Put("a", "x", "9"), Put("b", "z", "3")}},
                                 {{1, ""}, {1, ""}},
                                 "; boot file\r\n\r\n[a]\r\nx=9\r\n\r\n[b]\r\ny=2\r\nz=3\r\n"s));
    // The same rewrite turns LF line ends into CR LF; Windows leaves other lines alone and ends the
    // line it adds with CR LF.
    cases.push_back(WindowsGives({"write.LF lines kept", "[a]\nx=1\n[b]\ny=2\n", {Put("a", "z", "3")}},
                                 {{1, ""}}, "[a]\nx=1\nz=3\r\n[b]\ny=2\n"s));
    // Windows puts a new key after the last entry of its section, so a comment that trails the
    // section stays below; Wine appends it after the comment.
    cases.push_back(WindowsGives({"write.new key above a trailing comment",
                                  "[a]\r\nx=1\r\n;note\r\n[b]\r\ny=2\r\n",
                                  {Put("a", "z", "3")}},
                                 {{1, ""}}, "[a]\r\nx=1\r\nz=3\r\n;note\r\n[b]\r\ny=2\r\n"s));
    // Removing a section on Windows leaves the comment lines inside it; Wine removes them too.
    cases.push_back(WindowsGives({"delete.section keeps its comments",
                                  "[a]\r\nx=1\r\n;c\r\ny=2\r\n[b]\r\nz=3\r\n",
                                  {Put("a", nullptr, nullptr)}},
                                 {{1, ""}}, ";c\r\n[b]\r\nz=3\r\n"s));
    // Windows removes the spaces around the section and key names and writes the value as given;
    // Wine removes only leading spaces, and from the value as well.
    cases.push_back(WindowsGives({"write.names trimmed, value as given",
                                  std::nullopt,
                                  {Put("  s ", " k  ", "  v  "), Get("s", "k", "")}},
                                 {{1, ""}, {1, "v\0"s}}, "[s]\r\nk=  v  \r\n"s));
    return cases;
}

}  // namespace

int main() {
    char temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length > MAX_PATH) {
        std::printf("FAIL setup: no temporary folder\n0 passed, 1 failed\n");
        return 1;
    }
    const std::string folder =
        std::string(temp) + "ostrevo-fidelity-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder.c_str(), nullptr);

    std::vector<Case> cases;
    for (auto group : {ValueCases, BufferCases, ListCases, WriteCases, EncodingCases, KnownWineDifferences}) {
        for (Case& test : group()) cases.push_back(std::move(test));
    }

    int passed = 0;
    int failed = 0;
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& test = cases[i];
        const std::string stem = folder + "\\case" + std::to_string(i);
        const Outcome real = Run(test, stem + "-real.ini", RealApi{});
        const Outcome sim = Run(test, stem + "-sim.ini", SimApi{});
        if (!test.windowsCalls) {
            const std::string differences = Differences(real, "real", sim, "sim");
            if (differences.empty()) {
                ++passed;
                std::printf("PASS %s\n", test.name.c_str());
            } else {
                ++failed;
                std::printf("FAIL %s: %s\n", test.name.c_str(), differences.c_str());
            }
            continue;
        }
        const Outcome windows = WindowsOutcome(test);
        const std::string simVersusWindows = Differences(windows, "windows", sim, "sim");
        const std::string realVersusWindows = Differences(windows, "windows", real, "this system");
        if (!simVersusWindows.empty()) {
            ++failed;
            std::printf("FAIL %s: %s\n", test.name.c_str(), simVersusWindows.c_str());
        } else if (realVersusWindows.empty()) {
            ++passed;  // on Windows itself the expectation is met by the real call too
            std::printf("PASS %s\n", test.name.c_str());
        } else {
            ++passed;
            std::printf("KNOWN-WINE-DIFFERENCE %s\n    (%s)\n", test.name.c_str(), realVersusWindows.c_str());
        }
    }
    ::RemoveDirectoryA(folder.c_str());
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
