// cIniFile: each read or write is one call of a platform profile function; no handle is kept.
#include "ini/ini_file.h"

#include <algorithm>

#include "util/profile_read.h"

namespace ostrevo {
namespace {

// Holds the ANSI form of an optional text so that an unset one can travel as a null pointer.
class AnsiArg {
public:
    AnsiArg(const std::optional<std::wstring>& text, TextApi& codec) {
        if (text) bytes_ = codec.ToAnsi(*text);
    }
    const char* get() const { return bytes_ ? bytes_->c_str() : nullptr; }
    bool TooLong() const { return bytes_ && !FitsProfileCall(*bytes_); }

private:
    std::optional<std::string> bytes_;
};

}  // namespace

std::wstring cIniFile::Read(const std::optional<std::wstring>& section,
                            const std::optional<std::wstring>& key, uint32_t size) const {
    std::string buffer(size, '\0');
    const AnsiArg sectionArg(section, text_), keyArg(key, text_), defaultArg(default_, text_),
        pathArg(path_, text_);
    uint32_t count = 0;
    if (sectionArg.TooLong() || keyArg.TooLong() || pathArg.TooLong()) {
        // No such key can be read: the answer is the default, as for a missing key.
        const std::string fallback =
            defaultArg.TooLong() ? std::string() : std::string(defaultArg.get() ? defaultArg.get() : "");
        count = static_cast<uint32_t>(std::min<size_t>(fallback.size(), size - 1));
        buffer.replace(0, count, fallback, 0, count);
    } else {
        count = profile_.GetPrivateProfileStringA(sectionArg.get(), keyArg.get(), defaultArg.get(),
                                                  buffer.data(), size, pathArg.get());
    }
    count = std::min(count, size);
    buffer.resize(count);
    return text_.FromAnsi(buffer);
}

void cIniFile::Write(const std::optional<std::wstring>& key, const std::optional<std::wstring>& text) {
    const AnsiArg sectionArg(section_, text_), keyArg(key, text_), textArg(text, text_),
        pathArg(path_, text_);
    if (sectionArg.TooLong() || keyArg.TooLong() || textArg.TooLong() || pathArg.TooLong()) {
        // Refused here, before the system was asked: no reason of the system's is this write's.
        lastReturnCode_ = 0;
        lastError_ = kErrorNoReason;
        return;
    }
    lastReturnCode_ =
        profile_.WritePrivateProfileStringA(sectionArg.get(), keyArg.get(), textArg.get(), pathArg.get());
    lastError_ = lastReturnCode_ != 0 ? kErrorSuccess : profile_.LastWriteError();
}

std::wstring cIniFile::Value() const { return Read(section_, key_, kValueBufferSize); }

void cIniFile::Value(const std::wstring& sValue) { Write(key_, WithoutNuls(sValue)); }

void cIniFile::DeleteKey() { Write(key_, std::nullopt); }

void cIniFile::DeleteSection() { Write(std::nullopt, std::nullopt); }

std::wstring cIniFile::INISection() const { return Read(section_, std::nullopt, kListBufferSize); }

void cIniFile::INISection(const std::wstring& sSection) { Write(std::nullopt, sSection); }

std::wstring cIniFile::Sections() const { return Read(std::nullopt, std::nullopt, kListBufferSize); }

// The lists are at most 8192 characters, so the count always fits.
void cIniFile::EnumerateCurrentSection(std::vector<std::wstring>& sKey, int32_t& iCount) const {
    sKey = SplitNulList(INISection(), true);
    iCount = static_cast<int32_t>(sKey.size());
}

void cIniFile::EnumerateAllSections(std::vector<std::wstring>& sSections, int32_t& iCount) const {
    sSections = SplitNulList(Sections(), false);
    iCount = static_cast<int32_t>(sSections.size());
}
}  // namespace ostrevo
