// Drive C: of the simulation on a host folder: Windows paths resolved without regard to case, DOS
// attributes kept beside the files, and the refusals a real volume gives.
#include "platform/sim/sim_disk.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace ostrevo {

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kSettableAttributes =
    kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem | kFileAttributeArchive |
    0x100u /* temporary */ | 0x1000u /* offline */ | 0x2000u /* not content indexed */;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The components of "C:\a\b" after "." and ".." are applied, or the error the system gives for
// the path. The simulation has no current directory, so a relative path names nothing.
uint32_t SplitPath(const std::string& path, std::vector<std::string>* parts) {
    if (path.empty()) return kErrorPathNotFound;
    const char drive = path[0];
    const bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    if (path.size() < 2 || path[1] != ':' || !letter) return kErrorFileNotFound;
    if (drive != 'C' && drive != 'c') return kErrorNotReady;
    std::string part;
    for (size_t i = 2; i <= path.size(); ++i) {
        if (i < path.size() && !IsSeparator(path[i])) {
            part += path[i];
            continue;
        }
        if (part == "..") {
            if (!parts->empty()) parts->pop_back();
        } else if (!part.empty() && part != ".") {
            parts->push_back(part);
        }
        part.clear();
    }
    return 0;
}

// `*` and `?` over names already brought to one letter case; backtracks only to the last `*`.
bool Glob(const std::string& pattern, const std::string& name) {
    size_t p = 0;
    size_t n = 0;
    size_t star = std::string::npos;
    size_t resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool WildMatch(const std::string& pattern, const std::string& name) {
    if (Glob(pattern, name)) return true;
    // DOS heritage: "*.*" finds every name and "name.*" also finds "name".
    const size_t size = pattern.size();
    return size >= 2 && pattern.compare(size - 2, 2, ".*") == 0 && Glob(pattern.substr(0, size - 2), name);
}

std::optional<std::string> ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool WriteHostFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

}  // namespace

struct SimDisk::Resolved {
    uint32_t error = 0;  // 0 when the path names a place on drive C: whose folder exists
    fs::path host;
    std::string key;  // upper-cased, "C:" for the root
    bool exists = false;
    bool directory = false;
};

SimDisk::SimDisk(std::string hostRoot) : hostRoot_(std::move(hostRoot)) {
    std::error_code ignored;
    fs::create_directories(fs::path(hostRoot_) / "C", ignored);
}

uint32_t SimDisk::Fail(uint32_t error) {
    lastError_ = error;
    return error;
}

SimDisk::Resolved SimDisk::Resolve(const std::string& windowsPath, bool makeDirectories) {
    Resolved resolved;
    std::vector<std::string> parts;
    resolved.error = SplitPath(windowsPath, &parts);
    if (resolved.error != 0) return resolved;
    auto upper = [this](const std::string& name) {
        return text_.ToAnsi(text_.ToUpper(text_.FromAnsi(name)));
    };
    fs::path here = fs::path(hostRoot_) / "C";
    resolved.key = "C:";
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string wanted = upper(parts[i]);
        resolved.key += "\\" + wanted;
        std::optional<fs::path> match;
        std::error_code error;
        for (fs::directory_iterator it(here, error), end; !error && it != end; it.increment(error)) {
            if (upper(it->path().filename().string()) == wanted) {
                match = it->path();
                break;
            }
        }
        const bool last = i + 1 == parts.size();
        if (!match && makeDirectories && !last) {
            match = here / parts[i];
            fs::create_directory(*match, error);
        }
        if (!match) {
            if (!last) resolved.error = kErrorPathNotFound;
            resolved.host = here / parts[i];
            return resolved;
        }
        here = *match;
        if (!last && !fs::is_directory(here, error)) {
            resolved.error = kErrorPathNotFound;
            return resolved;
        }
    }
    std::error_code error;
    resolved.host = here;
    resolved.exists = true;
    resolved.directory = fs::is_directory(here, error);
    return resolved;
}

uint32_t SimDisk::AttributesOf(const std::string& key, bool directory) const {
    const auto it = attributes_.find(key);
    const uint32_t stored = it != attributes_.end() ? it->second : (directory ? 0 : kFileAttributeArchive);
    if (directory) return kFileAttributeDirectory | stored;
    return stored == 0 ? kFileAttributeNormal : stored;
}

void SimDisk::PutFile(const std::string& windowsPath, const std::string& bytes, uint32_t attributes) {
    const Resolved file = Resolve(windowsPath, true);
    if (file.error != 0 || file.directory || file.key == "C:") return;
    // Even a write that fails may have truncated the file.
    Changed(file.key);
    if (WriteHostFile(file.host, bytes)) attributes_[file.key] = attributes & kSettableAttributes;
}

std::optional<std::string> SimDisk::FileBytes(const std::string& windowsPath) {
    const Resolved file = Resolve(windowsPath);
    if (!file.exists || file.directory) return std::nullopt;
    return ReadHostFile(file.host);
}

void SimDisk::MakeDirectory(const std::string& windowsPath) {
    const Resolved folder = Resolve(windowsPath, true);
    std::error_code ignored;
    if (folder.error == 0 && !folder.exists) fs::create_directory(folder.host, ignored);
}

void SimDisk::DenyWrites(const std::string& windowsPath, bool deny) {
    const Resolved file = Resolve(windowsPath);
    if (file.error != 0) return;
    if (deny) {
        denied_.insert(file.key);
    } else {
        denied_.erase(file.key);
    }
}

std::optional<std::string> SimDisk::Read(const std::string& path) {
    const Resolved file = Resolve(path);
    if (file.error != 0) {
        Fail(file.error);
        return std::nullopt;
    }
    if (!file.exists) {
        Fail(kErrorFileNotFound);
        return std::nullopt;
    }
    std::optional<std::string> bytes = file.directory ? std::nullopt : ReadHostFile(file.host);
    if (!bytes) Fail(kErrorAccessDenied);
    return bytes;
}

uint32_t SimDisk::Write(const std::string& path, const std::string& bytes) {
    const Resolved file = Resolve(path);
    if (file.error != 0) return Fail(file.error);
    if (file.directory || denied_.count(file.key) != 0) return Fail(kErrorAccessDenied);
    // Root on the host ignores the read-only bit, so the simulation enforces it itself.
    if (file.exists && (AttributesOf(file.key, false) & kFileAttributeReadOnly) != 0) {
        return Fail(kErrorAccessDenied);
    }
    Changed(file.key);
    if (!WriteHostFile(file.host, bytes)) return Fail(kErrorAccessDenied);
    ++writeCount_;
    return 0;
}

std::optional<uint64_t> SimDisk::ChangeStamp(const std::string& path) {
    const Resolved file = Resolve(path);
    if (file.error != 0 || !file.exists || file.directory) {
        // Whatever comes to stand there later starts afresh.
        if (file.error == 0) stamps_.erase(file.key);
        return std::nullopt;
    }
    // A file the disk found in its folder and has not written yet gets its first stamp now.
    const auto known = stamps_.find(file.key);
    if (known != stamps_.end()) return known->second;
    Changed(file.key);
    return stamps_[file.key];
}

std::vector<uint32_t> SimDisk::MatchingEntries(const std::string& pattern) {
    if (pattern.empty()) {
        Fail(kErrorPathNotFound);
        return {};
    }
    const std::string& path = pattern;
    const size_t cut = path.find_last_of("\\/");
    std::string folderPath;
    std::string name;
    if (cut != std::string::npos) {
        folderPath = path.substr(0, cut + 1);
        name = path.substr(cut + 1);
    } else if (path.size() >= 2 && path[1] == ':') {
        folderPath = path.substr(0, 2);
        name = path.substr(2);
    } else {
        folderPath = path;  // relative: fails in Resolve like any other relative path
    }
    const Resolved folder = Resolve(folderPath);
    // Windows asks the user to insert a medium, unless the error mode says to fail quietly.
    if (folder.error == kErrorNotReady && (errorMode & kSemFailCriticalErrors) == 0) ++noMediumBoxes;
    if (folder.error != 0) {
        Fail(folder.error);
        return {};
    }
    if (!folder.exists || !folder.directory) {
        Fail(kErrorPathNotFound);
        return {};
    }

    auto upper = [this](const std::string& text) {
        return text_.ToAnsi(text_.ToUpper(text_.FromAnsi(text)));
    };
    const std::string wanted = upper(name);
    std::vector<std::pair<std::string, uint32_t>> found;  // by upper-cased name, for the listing order
    auto consider = [&](const std::string& entry, uint32_t attributes) {
        const std::string upperEntry = upper(entry);
        if (!wanted.empty() && WildMatch(wanted, upperEntry)) found.emplace_back(upperEntry, attributes);
    };
    // Every folder but the root lists itself and its parent, as on a real volume.
    if (folder.key != "C:") {
        consider(".", kFileAttributeDirectory);
        consider("..", kFileAttributeDirectory);
    }
    std::error_code error;
    for (fs::directory_iterator it(folder.host, error), end; !error && it != end; it.increment(error)) {
        const std::string entry = it->path().filename().string();
        std::error_code kindError;
        const bool directory = it->is_directory(kindError);
        consider(entry, AttributesOf(folder.key + "\\" + upper(entry), directory));
    }
    if (found.empty()) Fail(kErrorFileNotFound);
    std::sort(found.begin(), found.end());
    std::vector<uint32_t> results;
    for (const auto& item : found) results.push_back(item.second);
    return results;
}

bool SimDisk::FindEntry(const std::string& pattern, const std::function<bool(uint32_t)>& wanted) {
    const std::vector<uint32_t> entries = MatchingEntries(pattern);
    return std::any_of(entries.begin(), entries.end(), wanted);
}

uint32_t SimDisk::GetAttributes(const std::string& fileName) {
    const Resolved file = Resolve(fileName);
    if (file.error != 0) {
        Fail(file.error);
        return kInvalidFileAttributes;
    }
    if (!file.exists) {
        Fail(kErrorFileNotFound);
        return kInvalidFileAttributes;
    }
    return AttributesOf(file.key, file.directory);
}

ErrorCode SimDisk::SetAttributes(const std::string& fileName, uint32_t attributes) {
    const Resolved file = Resolve(fileName);
    if (file.error != 0) return Fail(file.error);
    if (!file.exists) return Fail(kErrorFileNotFound);
    if (denied_.count(file.key) != 0) return Fail(kErrorAccessDenied);
    attributes_[file.key] = attributes & kSettableAttributes;
    return kErrorSuccess;
}

}  // namespace ostrevo
