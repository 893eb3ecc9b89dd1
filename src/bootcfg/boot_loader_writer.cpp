// Writes one key of [boot loader] in c:\boot.ini past its read-only attribute, and checks that it took.
#include "bootcfg/boot_loader_writer.h"

#include <optional>

#include "bootcfg/boot_ini.h"
#include "ini/ini_file.h"
#include "util/profile_read.h"

namespace ostrevo {
namespace {

const wchar_t kCouldNotWrite[] = L"Could not write c:\\boot.ini.";
const wchar_t kCouldNotRestoreReadOnly[] = L"Could not make c:\\boot.ini read-only again.";
const wchar_t kCouldNotRestoreAttributes[] = L"Could not give c:\\boot.ini its attributes back.";

// boot.ini is read-only, hidden and system as setup leaves it. What stops a write is lifted for it, and
// afterwards the file gets back exactly the attributes it had, whatever changed them: the lift, or a
// system that writes the file anew.
class Attributes {
public:
    Attributes(FileApi& files, std::string path)
        : files_(files), path_(std::move(path)), original_(files_.GetAttributes(path_)) {}
    bool Has(uint32_t mask) const { return original_ != kInvalidFileAttributes && (original_ & mask) != 0; }
    // Clears `mask`. If that fails, so does the write, and that is the failure the user hears about.
    void Lift(uint32_t mask) {
        if (!Has(mask)) return;
        uint32_t lifted = original_ & ~mask;
        // 0 is not a valid attribute set for the call; "normal" is how an empty one is spelt.
        if (lifted == 0) lifted = kFileAttributeNormal;
        files_.SetAttributes(path_, lifted);
    }
    ErrorCode Restore() {
        if (original_ == kInvalidFileAttributes || files_.GetAttributes(path_) == original_)
            return kErrorSuccess;
        return files_.SetAttributes(path_, original_);
    }

private:
    FileApi& files_;
    std::string path_;
    uint32_t original_;
};

// Windows 95, 98 and ME keep the last profile write in a cache and write it out later, by then to a
// file read-only again: it is sent to the file now. The NT family has no such cache. The call answers
// FALSE whatever happened, so the read that follows is what tells.
void Flush(ProfileApi& profile, const std::string& path) {
    profile.WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

// No stored value can equal it: a value ends at the end of its line. It ends in no blank, which
// Windows 9x would trim.
constexpr char kMissing[] = "\n-";

// A key's value as the profile functions deliver it, read whole.
struct StoredValue {
    bool readable = false;             // false: too large to read, so nothing is known of it
    std::optional<std::string> value;  // nullopt: the key is missing
    bool operator==(const StoredValue& other) const {
        return readable == other.readable && value == other.value;
    }
};

StoredValue ReadStored(ProfileApi& profile, const std::string& path, const std::string& section,
                       const std::string& key) {
    const ProfileText read = ReadWhole(profile, section.c_str(), key.c_str(), kMissing, path.c_str(), 256);
    if (!read.whole) return StoredValue{};
    if (read.text == kMissing) return StoredValue{true, std::nullopt};
    return StoredValue{true, read.text};
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

// Puts `previous` back after a write that did not read back. Returns what the user is to hear.
std::wstring PutBack(Platform& platform, const std::string& path, const std::string& section,
                     const std::string& key, const StoredValue& previous) {
    const std::wstring couldNot =
        L"The new value did not read back as written, and the old one could not be put back.";
    // Nothing is known of a value too large to read, and one too long for the profile calls cannot
    // be written: either way the file is left as the failed write made it, and the user is told.
    if (!previous.readable || (previous.value && !FitsProfileCall(*previous.value))) return couldNot;
    if (platform.profile.WritePrivateProfileStringA(section.c_str(), key.c_str(),
                                                    previous.value ? previous.value->c_str() : nullptr,
                                                    path.c_str()) == 0) {
        return FailureText(platform.text, couldNot, platform.profile.LastWriteError());
    }
    Flush(platform.profile, path);
    // Compared with the old value exactly: one the read trims (outer quotes) cannot come back as it was.
    if (!(ReadStored(platform.profile, path, section, key) == previous)) return couldNot;
    return L"The new value did not read back as written, so the old one was put back.";
}

// The write itself, with the read-only attribute already lifted.
Outcome WriteLifted(Platform& platform, Attributes& attributes, const std::string& path,
                    const std::string& section, const std::wstring& key, const std::wstring& value) {
    const std::string ansiKey = platform.text.ToAnsi(key);
    const StoredValue previous = ReadStored(platform.profile, path, section, ansiKey);
    cIniFile ini(platform.profile, platform.text);
    ini.Path(kBootIniWritePath);
    ini.Section(kBootLoaderSection);
    ini.Key(key);
    ini.Value(value);
    // A system that writes the file anew is refused a hidden or system file, as any such creation is.
    const uint32_t hiddenOrSystem = kFileAttributeHidden | kFileAttributeSystem;
    if (!ini.Success() && ini.LastError() == kErrorAccessDenied && attributes.Has(hiddenOrSystem)) {
        attributes.Lift(kFileAttributeReadOnly | hiddenOrSystem);
        ini.Value(value);
    }
    if (!ini.Success()) return Failed(platform.text, kCouldNotWrite, ini.LastError());
    Flush(platform.profile, path);

    // The profile functions can report success and still store something else (a key too long for
    // them, for one): the old line is put back rather than left damaged.
    const std::string stored = platform.text.ToAnsi(WithoutNuls(value));
    if (ReadStored(platform.profile, path, section, ansiKey) == StoredValue{true, AsRead(stored)}) {
        return Outcome{};
    }
    return Outcome{
        false, std::wstring(kCouldNotWrite) + L"\n\n" + PutBack(platform, path, section, ansiKey, previous)};
}

}  // namespace

Outcome WriteBootLoaderKey(Platform& platform, const std::wstring& key, const std::wstring& value) {
    const std::string path = platform.text.ToAnsi(kBootIniWritePath);
    if (!FitsProfileCall(platform.text.ToAnsi(value))) {
        return Outcome{false, std::wstring(kCouldNotWrite) + L"\n\nThe value is too long for the file."};
    }
    Attributes attributes(platform.files, path);
    attributes.Lift(kFileAttributeReadOnly);
    Outcome outcome =
        WriteLifted(platform, attributes, path, platform.text.ToAnsi(kBootLoaderSection), key, value);
    // Whatever the write did stays; a file left without its attributes is told, as a failure of its own.
    const ErrorCode restored = attributes.Restore();
    if (restored != kErrorSuccess) {
        outcome.message += (outcome.message.empty() ? L"" : L"\n\n") +
                           FailureText(platform.text,
                                       attributes.Has(kFileAttributeReadOnly) ? kCouldNotRestoreReadOnly
                                                                              : kCouldNotRestoreAttributes,
                                       restored);
    }
    return outcome;
}

}  // namespace ostrevo
