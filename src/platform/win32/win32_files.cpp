// kernel32's directory search and attribute calls, with the find record copied into the seam's form.
#include "platform/win32/win32_files.h"

#include <cstring>

#include "platform/win32/win32_text.h"
#include "platform/win32/windows_shim.h"

namespace ostrevo {
namespace {

// Copying the record allocates; the caller may still want the last-error value of the real call.
void CopyFindData(const WIN32_FIND_DATAA& real, FindDataA* data) {
    if (data == nullptr) return;
    const DWORD lastError = ::GetLastError();
    data->attributes = real.dwFileAttributes;
    const void* end = std::memchr(real.cFileName, '\0', sizeof(real.cFileName));
    const size_t length = end != nullptr ? static_cast<size_t>(static_cast<const char*>(end) - real.cFileName)
                                         : sizeof(real.cFileName);
    data->fileName.assign(real.cFileName, length);
    ::SetLastError(lastError);
}

HANDLE ToHandle(FindHandle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

FindHandle Win32Files::FindFirstFileA(const char* pattern, FindDataA* data) {
    WIN32_FIND_DATAA real{};
    HANDLE handle = ::FindFirstFileA(pattern, &real);
    if (handle == INVALID_HANDLE_VALUE) return kInvalidFindHandle;
    CopyFindData(real, data);
    return reinterpret_cast<FindHandle>(handle);
}

int32_t Win32Files::FindNextFileA(FindHandle handle, FindDataA* data) {
    WIN32_FIND_DATAA real{};
    const BOOL found = ::FindNextFileA(ToHandle(handle), &real);
    if (found) CopyFindData(real, data);
    return found;
}

int32_t Win32Files::FindClose(FindHandle handle) { return ::FindClose(ToHandle(handle)); }

uint32_t Win32Files::GetFileAttributesA(const char* fileName) { return ::GetFileAttributesA(fileName); }

int32_t Win32Files::SetFileAttributesA(const char* fileName, uint32_t attributes) {
    return ::SetFileAttributesA(fileName, attributes);
}

uint32_t Win32Files::SetErrorMode(uint32_t mode) { return ::SetErrorMode(mode); }

uint32_t Win32Files::GetLastError() { return ::GetLastError(); }

std::wstring Win32Files::FormatErrorMessage(uint32_t code) {
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) return std::wstring();
    std::wstring text = WideFromAnsi(std::string(buffer, length));
    ::LocalFree(buffer);
    // System texts end with a line break, which a message box would show as an empty line.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
    return text;
}

}  // namespace ostrevo
