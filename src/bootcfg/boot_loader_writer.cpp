// Writes one key of [boot loader] in c:\boot.ini past its read-only attribute, and reports a refusal.
#include "bootcfg/boot_loader_writer.h"

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

}  // namespace

bool WriteBootLoaderKey(Platform& platform, const std::wstring& key, const std::wstring& value) {
    bool written = false;
    uint32_t error = 0;
    {
        const WritableWhileInScope writable(platform.files, platform.text.ToAnsi(kBootIniWritePath));
        cIniFile ini(platform.profile, platform.text);
        ini.Path(kBootIniWritePath);
        ini.Section(kBootLoaderSection);
        ini.Key(key);
        ini.Value(value);
        written = ini.Success();
        // Read before the attributes are restored: that call would overwrite the write's reason.
        if (!written) error = platform.files.GetLastError();
    }
    if (written) return true;
    platform.ui.MessageBox(FailureText(platform.files, L"Could not write c:\\boot.ini.", error), kAppTitle,
                           kMbOk | kMbIconError);
    return false;
}

}  // namespace ostrevo
