// Fuzzes the simulated profile engine: any file bytes, then a run of reads, writes and removals with
// buffers from 0 to 8 characters and large, checking what must hold whatever the file holds. A
// second engine that scans the file on every call runs beside the one answering from its index, on
// its own copy of the file, and every call must give both the same count, buffer and file bytes;
// now and then the file is rewritten behind both engines' backs.
//
// The input is the file itself; the calls are chosen by bytes taken from its end, so a plain
// boot.ini is a useful seed as it stands.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "memory_file_store.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_text.h"

namespace ostrevo {
namespace {

constexpr char kPath[] = "C:\\fuzz.ini";
constexpr char kSentinel[] = "\x01<no such key>";
constexpr int kMaxCalls = 8;
constexpr size_t kMaxNamesPerList = 6;

// Text the calls pass: a null pointer is an absent argument.
using Arg = std::optional<std::string>;
const char* Ptr(const Arg& arg) { return arg ? arg->c_str() : nullptr; }

struct Result {
    uint32_t count = 0;
    std::string bytes;  // the first `count` bytes of the buffer
    char last = 0;      // the last byte of the buffer
};

class Harness {
public:
    explicit Harness(FuzzedDataProvider& input)
        : input_(input), profile_(store_), scanning_(scanningStore_, SimProfile::Caching::kNever) {}

    void Run() {
        const uint8_t mode = input_.ConsumeIntegral<uint8_t>();
        const int calls = input_.ConsumeIntegralInRange(0, kMaxCalls);
        // Taken from the end like the integers above, so that the file starts at the first byte.
        std::vector<uint8_t> choices;
        for (int i = 0; i < calls * 24 && input_.remaining_bytes() > 0; ++i) {
            choices.push_back(input_.ConsumeIntegral<uint8_t>());
        }
        const std::string file = input_.ConsumeRemainingBytesAsString();
        if ((mode & 1) == 0) PutBoth(file);
        store_.denyWrites = (mode & 2) != 0;
        scanningStore_.denyWrites = store_.denyWrites;

        FuzzedDataProvider choose(choices.data(), choices.size());
        CollectNames();
        for (int i = 0; i < calls; ++i) OneCall(choose);
        CheckListedKeysAreReadable();
    }

private:
    std::optional<std::string> File() const { return store_.Get(kPath); }
    void PutBoth(const std::string& file) {
        store_.Put(kPath, file);
        scanningStore_.Put(kPath, file);
    }
    static bool StartsUtf16(const std::optional<std::string>& file) {
        return file && file->size() >= 2 && (*file)[0] == '\xFF' && (*file)[1] == '\xFE';
    }
    bool Utf16() const { return StartsUtf16(File()); }
    bool HasNul() const {
        const std::optional<std::string> file = File();
        return file && file->find('\0') != std::string::npos;
    }
    // Larger than anything the file can give back, so that a read with it is never cut.
    uint32_t LargeSize() const { return static_cast<uint32_t>(File().value_or("").size() * 2 + 1024); }

    Result Read(const Arg& section, const Arg& key, const Arg& fallback, uint32_t size) {
        // Exactly `size` bytes on the heap, so that AddressSanitizer sees any write past them.
        std::vector<char> buffer(size == 0 ? 1 : size, '\x5A');
        std::vector<char> scanned = buffer;
        const std::optional<std::string> before = File();
        const int writesBefore = store_.writes;
        const uint32_t count = profile_.GetPrivateProfileStringA(Ptr(section), Ptr(key), Ptr(fallback),
                                                                 buffer.data(), size, kPath);
        const uint32_t scannedCount = scanning_.GetPrivateProfileStringA(
            Ptr(section), Ptr(key), Ptr(fallback), scanned.data(), size, kPath);
        FUZZ_CHECK(count == scannedCount);
        FUZZ_CHECK(buffer == scanned);
        FUZZ_CHECK(File() == before);
        FUZZ_CHECK(store_.writes == writesBefore);
        if (size == 0) {
            FUZZ_CHECK(count == 0);
            FUZZ_CHECK(buffer[0] == '\x5A');
            return {};
        }
        FUZZ_CHECK(count < size);
        FUZZ_CHECK(buffer[count] == '\0');
        return {count, std::string(buffer.data(), count), buffer[size - 1]};
    }

    Result ReadAll(const Arg& section, const Arg& key, const Arg& fallback) {
        const uint32_t size = LargeSize();
        const Result all = Read(section, key, fallback, size);
        FUZZ_CHECK(all.count + 2 < size);
        return all;
    }

    static std::vector<std::string> SplitNames(const std::string& list) {
        std::vector<std::string> names;
        size_t p = 0;
        while (p < list.size()) {
            const size_t q = list.find('\0', p);
            if (q == std::string::npos) break;
            names.push_back(list.substr(p, q - p));
            p = q + 1;
        }
        return names;
    }

    // Sections and keys that exist, so that calls hit them often.
    void CollectNames() {
        sections_ = SplitNames(ReadAll(std::nullopt, std::nullopt, std::string()).bytes);
        if (sections_.size() > kMaxNamesPerList) sections_.resize(kMaxNamesPerList);
        keys_.clear();
        for (const std::string& section : sections_) {
            std::vector<std::string> keys = SplitNames(ReadAll(section, std::nullopt, std::string()).bytes);
            if (keys.size() > kMaxNamesPerList) keys.resize(kMaxNamesPerList);
            for (const std::string& key : keys) keys_.emplace_back(section, key);
        }
    }

    static char RandomCharacter(FuzzedDataProvider& choose) {
        static const char kAlphabet[] = "aAbBxX zZ\t\"'=[];\\()01\xE1\xFF\x80\r\n";
        const uint8_t pick = choose.ConsumeIntegral<uint8_t>();
        // Mostly the alphabet, sometimes any non-NUL byte.
        return pick < 200 ? kAlphabet[pick % (sizeof(kAlphabet) - 1)] : static_cast<char>(pick - 199);
    }

    std::string RandomText(FuzzedDataProvider& choose, size_t maxLength) {
        std::string text;
        const size_t length = choose.ConsumeIntegralInRange<size_t>(0, maxLength);
        for (size_t i = 0; i < length; ++i) text += RandomCharacter(choose);
        return text;
    }

    Arg SectionName(FuzzedDataProvider& choose) {
        const uint8_t pick = choose.ConsumeIntegral<uint8_t>();
        if (pick < 8) return std::nullopt;
        if (pick < 140 && !sections_.empty()) return sections_[pick % sections_.size()];
        if (pick < 170) return std::string(pick % 2 ? "boot loader" : "Operating Systems");
        return RandomText(choose, 12);
    }

    Arg KeyName(FuzzedDataProvider& choose, const Arg& section) {
        const uint8_t pick = choose.ConsumeIntegral<uint8_t>();
        if (pick < 8) return std::nullopt;
        if (pick < 140 && !keys_.empty()) {
            // A key of the chosen section when there is one, else of any.
            for (size_t i = 0; i < keys_.size(); ++i) {
                const auto& candidate = keys_[(pick + i) % keys_.size()];
                if (section && candidate.first == *section) return candidate.second;
            }
            return keys_[pick % keys_.size()].second;
        }
        if (pick < 170) return std::string(pick % 2 ? "Timeout" : " default ");
        return RandomText(choose, 12);
    }

    uint32_t BufferSize(FuzzedDataProvider& choose) {
        const uint8_t pick = choose.ConsumeIntegral<uint8_t>();
        if (pick < 160) return pick % 9;  // the sizes where cutting rules bite
        if (pick < 200) return 255;
        return LargeSize();
    }

    void OneCall(FuzzedDataProvider& choose) {
        const uint8_t kind = choose.ConsumeIntegralInRange<uint8_t>(0, 7);
        const Arg section = SectionName(choose);
        const Arg key = KeyName(choose, section);
        switch (kind) {
            case 0:  // with no section it is the section list, whatever the key
                if (!section) return CheckListRead(choose, section, key);
                return CheckValueRead(choose, section, key ? key : std::string("k"));
            case 1:
                return CheckListRead(choose, section ? section : std::string(), std::nullopt);
            case 2:
                return CheckListRead(choose, std::nullopt, std::nullopt);
            case 3:
                return CheckWrite(section, key ? key : std::string("k"), RandomText(choose, 20));
            case 4:
                return CheckWrite(section, key ? key : std::string("k"), std::nullopt);
            case 5:  // a section removal ignores any text it is given
                return CheckWrite(section, std::nullopt, choose.ConsumeBool() ? Arg() : Arg("ignored"));
            case 6:
                return CheckWrite(std::nullopt, key, RandomText(choose, 4));
            default:
                return ChangeBehindTheEngines(choose);
        }
    }

    // Another program rewrites the file: a few bytes changed in place, so that its size stays, or
    // a new line added at its end.
    void ChangeBehindTheEngines(FuzzedDataProvider& choose) {
        std::string file = File().value_or("");
        if (!file.empty() && choose.ConsumeBool()) {
            const int changes = choose.ConsumeIntegralInRange(1, 3);
            for (int i = 0; i < changes; ++i) {
                file[choose.ConsumeIntegralInRange<size_t>(0, file.size() - 1)] = RandomCharacter(choose);
            }
        } else {
            file += RandomText(choose, 16) + "\r\n";
        }
        PutBoth(file);
        CollectNames();
    }

    // A cut value is the first size - 1 characters of the whole one.
    void CheckValueRead(FuzzedDataProvider& choose, const Arg& section, const Arg& key) {
        const uint8_t pick = choose.ConsumeIntegral<uint8_t>();
        const Arg fallback = pick < 64 ? Arg() : pick < 128 ? Arg("") : Arg(RandomText(choose, 6));
        const uint32_t size = BufferSize(choose);
        const Result all = ReadAll(section, key, fallback);
        const Result cut = Read(section, key, fallback, size);
        if (size == 0) return;
        FUZZ_CHECK(cut.count == std::min<uint32_t>(all.count, size - 1));
        FUZZ_CHECK(cut.bytes == all.bytes.substr(0, cut.count));
    }

    // With an empty default a list either fits whole or loses the end of its last name, keeping
    // two NULs at the end of the buffer and giving size - 2.
    void CheckListRead(FuzzedDataProvider& choose, const Arg& section, const Arg& key) {
        const Arg fallback = choose.ConsumeBool() ? Arg() : Arg("");
        const uint32_t size = BufferSize(choose);
        const Result all = ReadAll(section, key, fallback);
        if (all.count > 0) FUZZ_CHECK(all.bytes.back() == '\0');
        const Result cut = Read(section, key, fallback, size);
        if (size == 0) return;
        if (all.count < size) {
            FUZZ_CHECK(cut.count == all.count);
            FUZZ_CHECK(cut.bytes == all.bytes);
        } else if (size < 2) {
            FUZZ_CHECK(cut.count == 0);
        } else {
            FUZZ_CHECK(cut.count == size - 2);
            FUZZ_CHECK(cut.bytes == all.bytes.substr(0, size - 2));
            FUZZ_CHECK(cut.last == '\0');  // the NUL after the cut name and the final one
        }
    }

    // Names a caller could pass that the file format can hold and find again.
    static bool CleanName(const std::string& name, bool isKey) {
        if (name.find_first_of("\r\n") != std::string::npos) return false;
        if (!name.empty() && (name.front() == '\t' || name.back() == '\t')) return false;
        if (name.find(isKey ? '=' : ']') != std::string::npos) return false;
        const size_t first = name.find_first_not_of(' ');
        if (isKey && first != std::string::npos && (name[first] == '[' || name[first] == ';')) return false;
        // A tab right inside the spaces the call trims would be trimmed from the file only.
        const size_t last = name.find_last_not_of(' ');
        if (first != std::string::npos && (name[first] == '\t' || name[last] == '\t')) return false;
        return true;
    }

    std::string Upper(const std::string& name) {
        std::string trimmed = name;
        const size_t first = trimmed.find_first_not_of(' ');
        trimmed = first == std::string::npos
                      ? ""
                      : trimmed.substr(first, trimmed.find_last_not_of(' ') - first + 1);
        return text_.ToAnsi(text_.ToUpper(text_.FromAnsi(trimmed)));
    }

    // What a read gives back for a value written: blanks around it trimmed, one pair of matching
    // quotes around the whole of it removed.
    static std::string ReadBackForm(const std::string& value) {
        size_t begin = value.find_first_not_of(" \t");
        if (begin == std::string::npos) return "";
        size_t end = value.find_last_not_of(" \t") + 1;
        if (end - begin >= 2 && (value[begin] == '"' || value[begin] == '\'') &&
            value[end - 1] == value[begin]) {
            ++begin;
            --end;
        }
        return value.substr(begin, end - begin);
    }

    std::map<std::pair<std::string, std::string>, std::string> Snapshot() {
        std::map<std::pair<std::string, std::string>, std::string> values;
        for (const auto& pair : keys_) values[pair] = ReadAll(pair.first, pair.second, kSentinel).bytes;
        return values;
    }

    static size_t LineBreaks(const std::string& text) {
        size_t breaks = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
                ++breaks;
        }
        return breaks;
    }

    // Lines with their endings, so that a removal can be seen to take whole lines only.
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        size_t begin = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
            if (text[i] == '\n' || (text[i] == '\r' && !crlf)) {
                lines.push_back(text.substr(begin, i + 1 - begin));
                begin = i + 1;
            }
        }
        if (begin < text.size()) lines.push_back(text.substr(begin));
        return lines;
    }

    // True when `after` is `before` with some of its whole lines taken out. Lines are those of
    // `before`: a removal may leave a lone CR next to an LF, which a new reading would join.
    static bool RemovesWholeLines(const std::vector<std::string>& lines, const std::string& after) {
        std::set<size_t> reach = {0};
        for (const std::string& line : lines) {
            std::set<size_t> next = reach;  // with the line taken out
            for (size_t pos : reach) {
                if (after.compare(pos, line.size(), line) == 0) next.insert(pos + line.size());
            }
            reach.swap(next);
        }
        return reach.count(after.size()) > 0;
    }

    static bool RemovesOneLine(const std::vector<std::string>& lines, const std::string& after) {
        std::string kept;
        for (size_t removed = 0; removed < lines.size(); ++removed) {
            kept.clear();
            for (size_t i = 0; i < lines.size(); ++i) {
                if (i != removed) kept += lines[i];
            }
            if (kept == after) return true;
        }
        return false;
    }

    void CheckWrite(const Arg& section, const Arg& key, const Arg& value) {
        const std::optional<std::string> before = File();
        const auto valuesBefore = Snapshot();
        const int32_t result = profile_.WritePrivateProfileStringA(Ptr(section), Ptr(key), Ptr(value), kPath);
        const std::optional<std::string> after = File();
        FUZZ_CHECK(scanning_.WritePrivateProfileStringA(Ptr(section), Ptr(key), Ptr(value), kPath) == result);
        FUZZ_CHECK(scanningStore_.Get(kPath) == after);

        const bool removal = !key || !value;
        if (!section) {
            FUZZ_CHECK(result == 0);
            FUZZ_CHECK(after == before);
            return;
        }
        if (store_.denyWrites) {
            // Removing from a file that is not there needs no write; anything else fails.
            FUZZ_CHECK(result == (removal && !before ? 1 : 0));
            FUZZ_CHECK(after == before);
            return;
        }
        FUZZ_CHECK(result != 0);
        FUZZ_CHECK(after.has_value() == (before.has_value() || !removal));  // only a write creates the file

        const bool clean = CleanName(*section, false) && (!key || CleanName(*key, true)) &&
                           (!value || value->find_first_of("\r\n") == std::string::npos);
        if (!clean) {
            CollectNames();
            return;
        }

        // A removal can bring a UTF-16 byte-order mark to the front of the file, which then reads as
        // UTF-16 from its first byte on, as Windows reads it: no value stays as it was.
        if (StartsUtf16(after) != StartsUtf16(before)) {
            CollectNames();
            return;
        }

        // Everything not written keeps its value.
        const std::string upperSection = Upper(*section);
        for (const auto& [pair, old] : valuesBefore) {
            if (Upper(pair.first) == upperSection && (!key || Upper(pair.second) == Upper(*key))) continue;
            FUZZ_CHECK(ReadAll(pair.first, pair.second, kSentinel).bytes == old);
        }
        if (key && value) {
            FUZZ_CHECK(ReadAll(section, key, kSentinel).bytes == ReadBackForm(*value));
        }
        if (before && after && !Utf16()) CheckBytesOutsideStay(*before, *after, removal, key.has_value());
        CollectNames();
    }

    static void CheckBytesOutsideStay(const std::string& before, const std::string& after, bool removal,
                                      bool hasKey) {
        size_t prefix = 0;
        while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
        size_t suffix = 0;
        while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
               before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
            ++suffix;
        }
        const std::string removed = before.substr(prefix, before.size() - prefix - suffix);
        const std::string added = after.substr(prefix, after.size() - prefix - suffix);
        if (!removal) {
            // A value changes inside its own line, or whole new lines come in: no line of the
            // file is lost or merged with another.
            FUZZ_CHECK(removed.find_first_of("\r\n") == std::string::npos);
            FUZZ_CHECK(LineBreaks(added) <= 3);
            return;
        }
        // Removals take whole lines and add nothing; a key removal takes one line at most.
        if (after == before) return;
        const std::vector<std::string> lines = Lines(before);
        FUZZ_CHECK(hasKey ? RemovesOneLine(lines, after) : RemovesWholeLines(lines, after));
    }

    // Every listed key of every listed section reads as a value, not as the default.
    void CheckListedKeysAreReadable() {
        if (!File() || Utf16() || HasNul()) return;  // names the code page or a NUL would change
        CollectNames();
        for (const auto& [section, key] : keys_)
            FUZZ_CHECK(ReadAll(section, key, kSentinel).bytes != kSentinel);
    }

    FuzzedDataProvider& input_;
    MemoryFileStore store_;
    SimProfile profile_;  // answers from its index while the stamp stays
    MemoryFileStore scanningStore_;
    SimProfile scanning_;  // the reference: reads the file on every call
    SimText text_;
    std::vector<std::string> sections_;
    std::vector<std::pair<std::string, std::string>> keys_;
};

}  // namespace
}  // namespace ostrevo

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    ostrevo::Harness(input).Run();
    return 0;
}
