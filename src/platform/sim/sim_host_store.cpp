// Whole-file reads and writes through the C library; on Windows the read-only attribute refuses a
// write as the real profile functions do.
#include "platform/sim/sim_host_store.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ostrevo {
namespace {

constexpr uint32_t kAccessDenied = 5;

}  // namespace

std::optional<std::string> SimHostStore::Read(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::string bytes;
    char chunk[16384];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) bytes.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return bytes;
}

uint32_t SimHostStore::Write(const std::string& path, const std::string& bytes) {
#ifdef _WIN32
    // Asked first so that the attribute decides even where the process could open the file anyway
    // (Wine run as root does): the real call refuses a read-only file with access denied.
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return kAccessDenied;
    }
#endif
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return kAccessDenied;
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    const bool closed = std::fclose(file) == 0;
    return written == bytes.size() && closed ? 0 : kAccessDenied;
}

}  // namespace ostrevo
