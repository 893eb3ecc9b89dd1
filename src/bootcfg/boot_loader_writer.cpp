// Writes one key of [boot loader] in c:\boot.ini past its read-only attribute, and reports a refusal.
#include "bootcfg/boot_loader_writer.h"

#include <algorithm>
#include <optional>

#include "ini/ini_file.h"
#include "shell/app_info.h"
#include "shell/boot_ini.h"
#include "util/system_error_text.h"

namespace ostrevo {
namespace {

// Clears the read-only attribute while it lives and puts the file's own attributes back after.
// Hidden and system stay: they do not stop a profile write, and boot.ini should keep them.
class WritableWhileInScope {
public:
    WritableWhileInScope(FileApi& files, std::string path) : files_(files), path_(std::move(path)) {
        original_ = files_.GetFileAttributesA(path_.c_str());
        if (original_ == kInvalidFileAttributes || (original_ & kFileAttributeReadOnly) == 0) return;
        uint32_t writable = original_ & ~kFileAttributeReadOnly;
        // 0 is not a valid attribute set for the call; "normal" is how an empty one is spelt.
        if (writable == 0) writable = kFileAttributeNormal;
        // If this fails the write fails too, and that failure is the one the user hears about.
        cleared_ = files_.SetFileAttributesA(path_.c_str(), writable) != 0;
    }
    ~WritableWhileInScope() {
        if (cleared_) files_.SetFileAttributesA(path_.c_str(), original_);
    }
    WritableWhileInScope(const WritableWhileInScope&) = delete;
    WritableWhileInScope& operator=(const WritableWhileInScope&) = delete;

private:
    FileApi& files_;
    std::string path_;
    uint32_t original_ = kInvalidFileAttributes;
    bool cleared_ = false;
};

// No stored value can equal it: a value ends at the end of its line.
constexpr char kMissing[] = "\n";
// Far beyond any boot.ini; only a damaged file gets near it.
constexpr uint32_t kLargestRead = 1u << 26;

// A key's value as the profile functions deliver it, read whole.
struct StoredValue {
    bool readable = false;             // false: too large to read, so nothing is known of it
    std::optional<std::string> value;  // nullopt: the key is missing
    bool operator==(const StoredValue& other) const {
        return readable == other.readable && value == other.value;
    }
};

StoredValue ReadWhole(ProfileApi& profile, const std::string& path, const std::string& section,
                      const std::string& key) {
    for (uint32_t size = 256; size <= kLargestRead; size *= 2) {
        std::string buffer(size, '\0');
        const uint32_t count = profile.GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing,
                                                                buffer.data(), size, path.c_str());
        if (count + 1 >= size) continue;  // cut: read again with room to spare
        buffer.resize(count);
        if (buffer == kMissing) return StoredValue{true, std::nullopt};
        return StoredValue{true, buffer};
    }
    return StoredValue{};
}

// What a read of `written` gives back: blanks around it trimmed and one enclosing pair of quotes taken
// off, as the profile functions do.
std::string AsRead(const std::string& written) {
    const size_t first = written.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    std::string value = written.substr(first, written.find_last_not_of(" \t") - first + 1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// Puts `previous` back after a write that did not read back. Returns the outcome as the user is to
// hear it: empty when the old value is back and reads back as it was.
std::wstring PutBack(Platform& platform, const std::string& path, const std::string& section,
                     const std::string& key, const StoredValue& previous) {
    const std::wstring couldNot =
        L"The new value did not read back as written, and the old one could not be put back.";
    // Nothing is known of a value too large to read, and one too long for the profile calls cannot
    // be written: either way the file is left as the failed write made it, and the user is told.
    if (!previous.readable || (previous.value && previous.value->size() > kLongestProfileArgument)) {
        return couldNot;
    }
    if (platform.profile.WritePrivateProfileStringA(section.c_str(), key.c_str(),
                                                    previous.value ? previous.value->c_str() : nullptr,
                                                    path.c_str()) == 0) {
        return FailureText(platform.files, couldNot, platform.files.GetLastError());
    }
    StoredValue expected = previous;
    if (expected.value) expected.value = AsRead(*expected.value);
    if (!(ReadWhole(platform.profile, path, section, key) == expected)) return couldNot;
    return std::wstring();
}

}  // namespace

bool WriteBootLoaderKey(Platform& platform, const std::wstring& key, const std::wstring& value) {
    const std::string path = platform.text.ToAnsi(kBootIniWritePath);
    const std::string section = platform.text.ToAnsi(kBootLoaderSection);
    const std::string ansiKey = platform.text.ToAnsi(key);
    if (platform.text.ToAnsi(value).size() > kLongestProfileArgument) {
        platform.ui.MessageBox(L"Could not write c:\\boot.ini.\n\nThe value is too long for the file.",
                               kAppTitle, kMbOk | kMbIconError);
        return false;
    }
    bool written = false;
    uint32_t error = 0;
    std::wstring undone;  // how a write that did not read back ended, for the user
    bool kept = true;
    {
        const WritableWhileInScope writable(platform.files, path);
        const StoredValue previous = ReadWhole(platform.profile, path, section, ansiKey);
        cIniFile ini(platform.profile, platform.text);
        ini.Path(kBootIniWritePath);
        ini.Section(kBootLoaderSection);
        ini.Key(key);
        ini.Value(value);
        written = ini.Success();
        // Read before the attributes are restored: that call would overwrite the write's reason.
        if (!written) error = platform.files.GetLastError();
        // The profile functions can report success and still store something else (a key too long
        // for them, for one): the old line is put back rather than left damaged.
        if (written) {
            std::wstring clean = value;
            clean.erase(std::remove(clean.begin(), clean.end(), L'\0'), clean.end());
            kept = ReadWhole(platform.profile, path, section, ansiKey) ==
                   StoredValue{true, AsRead(platform.text.ToAnsi(clean))};
            if (!kept) undone = PutBack(platform, path, section, ansiKey, previous);
        }
    }
    if (written && kept) return true;
    std::wstring text = L"Could not write c:\\boot.ini.";
    if (!written) {
        text = FailureText(platform.files, text, error);
    } else if (undone.empty()) {
        text += L"\n\nThe new value did not read back as written, so the old one was put back.";
    } else {
        text += L"\n\n" + undone;
    }
    platform.ui.MessageBox(text, kAppTitle, kMbOk | kMbIconError);
    return false;
}

}  // namespace ostrevo
