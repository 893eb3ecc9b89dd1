// kernel32's directory search and attribute calls.
#include "platform/win32/win32_files.h"

#include "platform/win32/windows_shim.h"

namespace ostrevo {

bool Win32Files::FindEntry(const std::string& pattern, const std::function<bool(uint32_t)>& wanted) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool accepted = false;
    do {
        accepted = wanted(found.dwFileAttributes);
    } while (!accepted && ::FindNextFileA(search, &found));
    ::FindClose(search);
    return accepted;
}

uint32_t Win32Files::GetAttributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

ErrorCode Win32Files::SetAttributes(const std::string& path, uint32_t attributes) {
    return ::SetFileAttributesA(path.c_str(), attributes) ? kErrorSuccess : LastFailure();
}

uint32_t Win32Files::SetErrorMode(uint32_t mode) { return ::SetErrorMode(mode); }

}  // namespace ostrevo
