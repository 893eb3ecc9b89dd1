// The simulated profile engine: reads the whole file on every call, as Windows keeps no cache, and
// edits it line by line so that every byte it does not mean to change stays where it was.
#include "platform/sim/sim_profile.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>

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
        size_t begin = key->equals + 1;
        size_t end = key->end;
        TrimBlanks(text_, &begin, &end);
        // One pair of matching quotes around the whole value goes; `"A" /x` keeps both of its quotes.
        if (end - begin >= 2 && (text_[begin] == L'"' || text_[begin] == L'\'') &&
            text_[end - 1] == text_[begin]) {
            ++begin;
            --end;
        }
        return text_.substr(begin, end - begin);
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
        const size_t length = line.nameEnd - line.nameBegin;
        if (length != upperName.size()) return false;
        return Upper(text_.substr(line.nameBegin, length)) == upperName;
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

}  // namespace

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
    bool utf16 = false;
    std::wstring text;
    if (fileName != nullptr) {
        const std::optional<std::string> bytes = store_.Read(fileName);
        if (bytes) text = Decode(*bytes, &utf16);
    }
    const Document document(text, text_);

    if (appName == nullptr) return DeliverList(text_.ToAnsi(document.SectionNames()), returned, size);
    if (const std::optional<Line> header = document.FindSection(document.Upper(CallerName(text_, appName)))) {
        if (keyName == nullptr) {
            const std::optional<std::wstring> names = document.KeyNames(*header);
            if (names) return DeliverList(text_.ToAnsi(*names), returned, size);
        } else {
            const std::optional<std::wstring> value =
                document.Value(*header, document.Upper(CallerName(text_, keyName)));
            if (value) return DeliverValue(text_.ToAnsi(*value), returned, size);
        }
    }

    // Only spaces are cut from the end of the default, not tabs, and nothing from its start.
    std::string fallback = defaultText != nullptr ? defaultText : "";
    while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();
    return DeliverValue(fallback, returned, size);
}

int32_t SimProfile::WritePrivateProfileStringA(const char* appName, const char* keyName, const char* text,
                                               const char* fileName) {
    if (appName == nullptr || fileName == nullptr) return 0;
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
    return store_.Write(fileName, bytes) == 0 ? 1 : 0;
}

}  // namespace ostrevo
