// The simulated profile engine: every call sees the file as it is now, as Windows keeps no cache,
// and edits go line by line so that every byte the engine does not mean to change stays where it
// was. Reads answer from an index of the decoded file while the store vouches that it is unchanged:
// start-up reads one value per boot entry, and scanning the whole file for each made it quadratic.
#include "platform/sim/sim_profile.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <unordered_map>
#include <utility>

namespace ostrevo {
namespace {

enum class LineKind { kBlank, kComment, kHeader, kKey, kOther };

// One line of the decoded file. Positions index the text; `next` equals `end` only for a last line
// without a line ending.
struct Line {
    size_t begin = 0;
    size_t end = 0;   // end of the content, before CR / LF
    size_t next = 0;  // start of the following line
    LineKind kind = LineKind::kBlank;
    size_t nameBegin = 0;  // section name of a header, key name of a key line; blanks trimmed
    size_t nameEnd = 0;
    size_t equals = 0;  // key lines: the first '='
};

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

size_t FindInLine(const std::wstring& text, size_t from, size_t end, wchar_t c) {
    // Bounded to the line: an unbounded search would rescan the rest of the file for every line.
    return static_cast<size_t>(std::find(text.begin() + static_cast<std::ptrdiff_t>(from),
                                         text.begin() + static_cast<std::ptrdiff_t>(end), c) -
                               text.begin());
}

void TrimBlanks(const std::wstring& text, size_t* begin, size_t* end) {
    while (*begin < *end && IsBlank(text[*begin])) ++*begin;
    while (*end > *begin && IsBlank(text[*end - 1])) --*end;
}

Line ReadLine(const std::wstring& text, size_t pos) {
    Line line;
    line.begin = pos;
    const size_t size = text.size();
    line.end = std::min(text.find_first_of(L"\r\n", pos), size);
    line.next = line.end;
    if (line.end < size) {
        const bool crlf = text[line.end] == L'\r' && line.end + 1 < size && text[line.end + 1] == L'\n';
        line.next = line.end + (crlf ? 2 : 1);
    }
    size_t first = pos;
    while (first < line.end && IsBlank(text[first])) ++first;
    if (first == line.end) return line;
    if (text[first] == L';') {
        line.kind = LineKind::kComment;
        return line;
    }
    if (text[first] == L'[') {
        // The name ends at the first ']'; a header that lacks one still counts.
        line.kind = LineKind::kHeader;
        line.nameBegin = first + 1;
        line.nameEnd = FindInLine(text, first + 1, line.end, L']');
        TrimBlanks(text, &line.nameBegin, &line.nameEnd);
        return line;
    }
    line.equals = FindInLine(text, first, line.end, L'=');
    if (line.equals == line.end) {
        line.kind = LineKind::kOther;
        return line;
    }
    line.kind = LineKind::kKey;
    line.nameBegin = first;
    line.nameEnd = line.equals;
    TrimBlanks(text, &line.nameBegin, &line.nameEnd);
    return line;
}

// The decoded file with the lookups and edits the two calls need. Every search is one forward pass.
class Document {
public:
    Document(const std::wstring& text, TextApi& letters) : text_(text), letters_(letters) {}

    std::wstring Upper(const std::wstring& name) const { return letters_.ToUpper(name); }

    // The first header of that name: a duplicated section is never looked at past its first copy.
    std::optional<Line> FindSection(const std::wstring& upperName) const {
        for (size_t pos = 0; pos < text_.size();) {
            const Line line = ReadLine(text_, pos);
            if (line.kind == LineKind::kHeader && NameIs(line, upperName)) return line;
            pos = line.next;
        }
        return std::nullopt;
    }

    // Visits the lines after `header` up to the next header while `visit` returns true; gives the
    // position where the section ends.
    size_t VisitSection(const Line& header, const std::function<bool(const Line&)>& visit) const {
        size_t pos = header.next;
        while (pos < text_.size()) {
            const Line line = ReadLine(text_, pos);
            if (line.kind == LineKind::kHeader || !visit(line)) break;
            pos = line.next;
        }
        return pos;
    }

    std::optional<Line> FindKey(const Line& header, const std::wstring& upperKey) const {
        std::optional<Line> found;
        VisitSection(header, [&](const Line& line) {
            if (line.kind == LineKind::kKey && NameIs(line, upperKey)) found = line;
            return !found;
        });
        return found;
    }

    std::optional<std::wstring> Value(const Line& header, const std::wstring& upperKey) const {
        const std::optional<Line> key = FindKey(header, upperKey);
        if (!key) return std::nullopt;
        return ValueAt(*key);
    }

    std::wstring ValueAt(const Line& key) const {
        size_t begin = key.equals + 1;
        size_t end = key.end;
        TrimBlanks(text_, &begin, &end);
        // One pair of matching quotes around the whole value goes; `"A" /x` keeps both of its quotes.
        if (end - begin >= 2 && (text_[begin] == L'"' || text_[begin] == L'\'') &&
            text_[end - 1] == text_[begin]) {
            ++begin;
            --end;
        }
        return text_.substr(begin, end - begin);
    }

    std::wstring UpperName(const Line& line) const {
        return Upper(text_.substr(line.nameBegin, line.nameEnd - line.nameBegin));
    }

    // Names each followed by a NUL; nothing when there are none, so the caller falls back on the default.
    std::optional<std::wstring> KeyNames(const Line& header) const {
        std::wstring names;
        VisitSection(header, [&](const Line& line) {
            if (line.kind == LineKind::kKey) AppendName(line, &names);
            return true;
        });
        return names.empty() ? std::nullopt : std::optional<std::wstring>(names);
    }

    // Unlike a key list, the list of sections never falls back on the default.
    std::wstring SectionNames() const {
        std::wstring names;
        for (size_t pos = 0; pos < text_.size();) {
            const Line line = ReadLine(text_, pos);
            if (line.kind == LineKind::kHeader) AppendName(line, &names);
            pos = line.next;
        }
        return names;
    }

    // The edits give the new text, or nothing when the file stays as it is.
    std::wstring WithValue(const std::wstring& section, const std::wstring& key,
                           const std::wstring& value) const {
        const std::optional<Line> header = FindSection(Upper(section));
        const std::wstring keyLine = key + L"=" + value + L"\r\n";
        if (!header) {
            std::wstring text = text_;
            if (!text.empty() && text.back() != L'\r' && text.back() != L'\n') text += L"\r\n";
            return text + L"[" + section + L"]\r\n" + keyLine;
        }
        const std::wstring upperKey = Upper(key);
        std::optional<Line> found;
        Line last = *header;
        VisitSection(*header, [&](const Line& line) {
            if (line.kind == LineKind::kKey && NameIs(line, upperKey)) found = line;
            // Comments and blank lines that trail a section stay below a key added to it.
            if (line.kind == LineKind::kKey || line.kind == LineKind::kOther) last = line;
            return !found;
        });
        if (found) return Splice(found->equals + 1, found->end, value);
        if (last.next == last.end) return Splice(last.end, last.end, L"\r\n" + keyLine);
        return Splice(last.next, last.next, keyLine);
    }

    std::optional<std::wstring> WithoutKey(const std::wstring& section, const std::wstring& key) const {
        const std::optional<Line> header = FindSection(Upper(section));
        if (!header) return std::nullopt;
        const std::optional<Line> found = FindKey(*header, Upper(key));
        if (!found) return std::nullopt;
        return Splice(found->begin, found->next, std::wstring());
    }

    // Removes the header and the key lines; comments and other lines of the section stay.
    std::optional<std::wstring> WithoutSection(const std::wstring& section) const {
        const std::optional<Line> header = FindSection(Upper(section));
        if (!header) return std::nullopt;
        std::wstring text = text_.substr(0, header->begin);
        const size_t sectionEnd = VisitSection(*header, [&](const Line& line) {
            if (line.kind != LineKind::kKey) text.append(text_, line.begin, line.next - line.begin);
            return true;
        });
        text.append(text_, sectionEnd, std::wstring::npos);
        return text;
    }

private:
    bool NameIs(const Line& line, const std::wstring& upperName) const {
        if (line.nameEnd - line.nameBegin != upperName.size()) return false;
        return UpperName(line) == upperName;
    }

    void AppendName(const Line& line, std::wstring* names) const {
        names->append(text_, line.nameBegin, line.nameEnd - line.nameBegin);
        names->push_back(L'\0');
    }

    std::wstring Splice(size_t begin, size_t end, const std::wstring& insert) const {
        std::wstring text;
        text.reserve(text_.size() - (end - begin) + insert.size());
        text.append(text_, 0, begin);
        text += insert;
        text.append(text_, end, std::wstring::npos);
        return text;
    }

    const std::wstring& text_;
    TextApi& letters_;
};

// Leading and trailing spaces of a name the caller passes do not count; a tab does.
std::wstring CallerName(TextApi& text, const char* name) {
    std::wstring wide = text.FromAnsi(name);
    const size_t first = wide.find_first_not_of(L' ');
    if (first == std::wstring::npos) return std::wstring();
    return wide.substr(first, wide.find_last_not_of(L' ') - first + 1);
}

uint32_t DeliverValue(const std::string& value, char* buffer, uint32_t size) {
    const size_t count = std::min(value.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, value.data(), count);
    buffer[count] = '\0';
    return static_cast<uint32_t>(count);
}

// `names` holds each name followed by its NUL; the list ends with one more NUL. A list that does
// not fit loses the end of its last name so that the buffer still ends with two NULs.
uint32_t DeliverList(const std::string& names, char* buffer, uint32_t size) {
    if (names.size() < size) {
        std::memcpy(buffer, names.data(), names.size());
        buffer[names.size()] = '\0';
        return static_cast<uint32_t>(names.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, names.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

// The answers a read can give, found by scanning the text as it stands: a forward pass per call.
class Scan {
public:
    Scan(const Document& document, TextApi& letters) : document_(document), letters_(letters) {}

    std::string SectionList() { return letters_.ToAnsi(document_.SectionNames()); }

    std::optional<std::string> KeyList(const std::wstring& upperSection) {
        const std::optional<Line> header = document_.FindSection(upperSection);
        if (!header) return std::nullopt;
        const std::optional<std::wstring> names = document_.KeyNames(*header);
        if (!names) return std::nullopt;
        return letters_.ToAnsi(*names);
    }

    std::optional<std::string> Value(const std::wstring& upperSection, const std::wstring& upperKey) {
        const std::optional<Line> header = document_.FindSection(upperSection);
        if (!header) return std::nullopt;
        const std::optional<std::wstring> value = document_.Value(*header, upperKey);
        if (!value) return std::nullopt;
        return letters_.ToAnsi(*value);
    }

private:
    const Document& document_;
    TextApi& letters_;
};

// One read, from a Scan or from the index: the same rules whichever answers.
template <typename Source>
uint32_t Answer(Source& source, TextApi& text, const char* appName, const char* keyName,
                const char* defaultText, char* returned, uint32_t size) {
    if (appName == nullptr) return DeliverList(source.SectionList(), returned, size);
    const std::wstring section = text.ToUpper(CallerName(text, appName));
    if (keyName == nullptr) {
        const std::optional<std::string> names = source.KeyList(section);
        if (names) return DeliverList(*names, returned, size);
    } else {
        const std::optional<std::string> value =
            source.Value(section, text.ToUpper(CallerName(text, keyName)));
        if (value) return DeliverValue(*value, returned, size);
    }

    // Only spaces are cut from the end of the default, not tabs, and nothing from its start.
    std::string fallback = defaultText != nullptr ? defaultText : "";
    while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();
    return DeliverValue(fallback, returned, size);
}

}  // namespace

// The decoded file, the first header of each name found in one pass and, once a section is asked
// about, the first line of each of its keys. Lists are built by the same scans as without the index,
// once each. Only first copies are indexed: a repeated section or key is never looked at past them.
class SimProfile::Index {
public:
    // Without text the read failed: the index answers as for an empty file, and only this once, so
    // that the next call reads again and the store reports its error again.
    Index(std::string path, uint64_t stamp, std::optional<std::wstring> text, TextApi& letters)
        : path_(std::move(path)),
          stamp_(stamp),
          reusable_(text.has_value()),
          text_(text ? std::move(*text) : std::wstring()),
          letters_(letters),
          document_(text_, letters) {
        for (size_t pos = 0; pos < text_.size();) {
            const Line line = ReadLine(text_, pos);
            if (line.kind == LineKind::kHeader) sections_.emplace(document_.UpperName(line), Section(line));
            pos = line.next;
        }
    }
    Index(const Index&) = delete;  // document_ refers to text_
    Index& operator=(const Index&) = delete;

    bool Holds(const char* path, uint64_t stamp) const {
        return reusable_ && stamp == stamp_ && path_ == path;
    }

    const std::string& SectionList() {
        if (!sectionList_) sectionList_ = letters_.ToAnsi(document_.SectionNames());
        return *sectionList_;
    }

    std::optional<std::string> KeyList(const std::wstring& upperSection) {
        Section* section = Find(upperSection);
        if (section == nullptr) return std::nullopt;
        if (!section->listed) {
            const std::optional<std::wstring> names = document_.KeyNames(section->header);
            if (names) section->keyList = letters_.ToAnsi(*names);
            section->listed = true;
        }
        return section->keyList;
    }

    std::optional<std::string> Value(const std::wstring& upperSection, const std::wstring& upperKey) {
        Section* section = Find(upperSection);
        if (section == nullptr) return std::nullopt;
        if (!section->keysIndexed) {
            document_.VisitSection(section->header, [&](const Line& line) {
                if (line.kind == LineKind::kKey) section->keys.emplace(document_.UpperName(line), line);
                return true;
            });
            section->keysIndexed = true;
        }
        const auto key = section->keys.find(upperKey);
        if (key == section->keys.end()) return std::nullopt;
        return letters_.ToAnsi(document_.ValueAt(key->second));
    }

private:
    struct Section {
        explicit Section(const Line& line) : header(line) {}
        Line header;
        bool keysIndexed = false;
        std::unordered_map<std::wstring, Line> keys;  // by upper-cased name, the first line only
        bool listed = false;
        std::optional<std::string> keyList;
    };

    Section* Find(const std::wstring& upperSection) {
        const auto found = sections_.find(upperSection);
        return found == sections_.end() ? nullptr : &found->second;
    }

    const std::string path_;
    const uint64_t stamp_;
    const bool reusable_;
    const std::wstring text_;
    TextApi& letters_;
    const Document document_;
    std::unordered_map<std::wstring, Section> sections_;  // by upper-cased name, the first header only
    std::optional<std::string> sectionList_;
};

SimProfile::SimProfile(SimFileStore& store, Caching caching) : store_(store), caching_(caching) {}

SimProfile::~SimProfile() = default;

SimProfile::Index* SimProfile::CurrentIndex(const char* fileName) {
    if (caching_ == Caching::kNever || fileName == nullptr) return nullptr;
    const std::optional<uint64_t> stamp = store_.ChangeStamp(fileName);
    if (!stamp) {
        cache_.reset();
        return nullptr;
    }
    if (cache_ && cache_->Holds(fileName, *stamp)) return cache_.get();
    cache_.reset();  // before the new text is decoded, so that two copies are never held
    // The stamp is taken before the read, so a change between the two can only cost a reload.
    const std::optional<std::string> bytes = store_.Read(fileName);
    std::optional<std::wstring> text;
    bool utf16 = false;
    if (bytes) text = Decode(*bytes, &utf16);
    cache_ = std::make_unique<Index>(fileName, *stamp, std::move(text), text_);
    return cache_.get();
}

std::wstring SimProfile::Decode(const std::string& bytes, bool* utf16) {
    *utf16 = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
    if (!*utf16) return text_.FromAnsi(bytes);
    // A stray odd byte at the end holds no character and is not written back.
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned low = static_cast<unsigned char>(bytes[i]);
        const unsigned high = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<wchar_t>(low | (high << 8)));
    }
    return text;
}

std::string SimProfile::Encode(const std::wstring& text, bool utf16) {
    if (!utf16) return text_.ToAnsi(text);
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + text.size() * 2);
    for (wchar_t c : text) {
        const unsigned unit = static_cast<unsigned>(c) & 0xFFFFu;
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(unit & 0xFFu)));
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(unit >> 8)));
    }
    return bytes;
}

uint32_t SimProfile::GetPrivateProfileStringA(const char* appName, const char* keyName,
                                              const char* defaultText, char* returned, uint32_t size,
                                              const char* fileName) {
    if (returned == nullptr || size == 0) return 0;
    if (Index* index = CurrentIndex(fileName)) {
        return Answer(*index, text_, appName, keyName, defaultText, returned, size);
    }
    bool utf16 = false;
    std::wstring text;
    if (fileName != nullptr) {
        const std::optional<std::string> bytes = store_.Read(fileName);
        if (bytes) text = Decode(*bytes, &utf16);
    }
    const Document document(text, text_);
    Scan scan(document, text_);
    return Answer(scan, text_, appName, keyName, defaultText, returned, size);
}

int32_t SimProfile::WritePrivateProfileStringA(const char* appName, const char* keyName, const char* text,
                                               const char* fileName) {
    if (appName == nullptr || fileName == nullptr) {
        lastWriteError_ = kErrorInvalidParameter;
        return 0;
    }
    const std::optional<std::string> old = store_.Read(fileName);
    bool utf16 = false;
    const std::wstring oldText = old ? Decode(*old, &utf16) : std::wstring();
    const Document document(oldText, text_);
    const std::wstring section = CallerName(text_, appName);

    std::optional<std::wstring> updated;
    if (keyName == nullptr) {
        updated = document.WithoutSection(section);
    } else if (text == nullptr) {
        updated = document.WithoutKey(section, CallerName(text_, keyName));
    } else {
        updated = document.WithValue(section, CallerName(text_, keyName), text_.FromAnsi(text));
    }

    // Removing what is not there succeeds; a missing file is not created for it.
    if (!updated && !old) return 1;
    // A file that refuses writes fails even a removal that finds nothing, as with the real call:
    // writing the same bytes back gives that.
    const std::string bytes = updated ? Encode(*updated, utf16) : *old;
    // The store's stamp moves with the write as well; this keeps our own write safe from a store
    // that would vouch too eagerly.
    cache_.reset();
    lastWriteError_ = store_.Write(fileName, bytes);
    return lastWriteError_ == kErrorSuccess ? 1 : 0;
}

}  // namespace ostrevo
