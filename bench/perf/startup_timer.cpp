// startup_timer.exe: starts tray programs in turn inside one Wine desktop and times each start, from
// just before CreateProcess to three moments:
//   window  its window of a known class exists;
//   icon    the shell holds its icon (window, id 1): a NIM_MODIFY that changes nothing succeeds;
//   ready   WaitForInputIdle returns: it waits for input with none pending, the first time that its
//           thread asks for a message. A tray program asks only once its icon is added.
// All three are checked about once a millisecond, which is the resolution of the figures.
//
//   startup_timer ROUNDS NAME EXE CLASS [NAME EXE CLASS]...
//
// Each round starts every program once, in turn, the order reversed every other round; the window
// is closed and the program's end awaited before the next start. Round 0 is a warm-up. Prints
// "run NAME ROUND WINDOW_MS ICON_MS READY_MS" per start; exit code 1 if any start failed, 2 on bad
// usage.
#include <windows.h>
// Needs the types windows.h declares.
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStartLimitMs = 60000;
constexpr DWORD kExitLimitMs = 10000;
constexpr UINT kIconId = 1;  // both programs' one icon

struct Program {
    std::string name;
    std::wstring exe;
    std::wstring windowClass;
};

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; *text != '\0'; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return wide;
}

double Since(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

bool WaitForTray() {
    for (DWORD waited = 0; waited < kStartLimitMs; waited += 50) {
        if (::FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr) return true;
        ::Sleep(50);
    }
    return false;
}

// The shell answers NIM_MODIFY only for an icon it holds; with no flags nothing about it changes.
bool IconPresent(HWND owner) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = owner;
    data.uID = kIconId;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

struct Moments {
    double windowMs = -1;
    double iconMs = -1;
    double readyMs = -1;
};

// The one-millisecond waits for idleness pace the checks.
bool TimeStart(const Program& program, Moments& moments, HANDLE& process) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + program.exe + L"\"";
    LARGE_INTEGER start;
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(program.exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        std::printf("error: %s: CreateProcess failed (%lu)\n", program.name.c_str(), ::GetLastError());
        return false;
    }
    ::CloseHandle(info.hThread);
    process = info.hProcess;

    HWND window = nullptr;
    while (moments.iconMs < 0 || moments.readyMs < 0) {
        if (window == nullptr && (window = ::FindWindowW(program.windowClass.c_str(), nullptr)) != nullptr) {
            moments.windowMs = Since(start);
        }
        if (window != nullptr && moments.iconMs < 0 && IconPresent(window)) moments.iconMs = Since(start);
        if (moments.readyMs < 0) {
            const DWORD idle = ::WaitForInputIdle(process, 1);
            if (idle == 0 && window != nullptr) moments.readyMs = Since(start);
            if (idle == WAIT_FAILED) {
                std::printf("error: %s cannot be waited for\n", program.name.c_str());
                return false;
            }
            if (idle == 0 && window == nullptr) ::Sleep(1);  // idle before any window: no wait there
        } else {
            ::Sleep(1);
        }
        if (::WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            std::printf("error: %s ended before it was ready\n", program.name.c_str());
            return false;
        }
        if (Since(start) > kStartLimitMs) {
            std::printf("error: %s was not ready within %lu ms\n", program.name.c_str(), kStartLimitMs);
            return false;
        }
    }
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    return true;
}

bool AwaitEnd(const Program& program, HANDLE process) {
    const bool ended = ::WaitForSingleObject(process, kExitLimitMs) == WAIT_OBJECT_0;
    if (!ended) {
        std::printf("error: %s did not end after WM_CLOSE\n", program.name.c_str());
        ::TerminateProcess(process, 1);
        ::WaitForSingleObject(process, kExitLimitMs);
    }
    ::CloseHandle(process);
    return ended;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || (argc - 2) % 3 != 0) {
        std::printf("usage: startup_timer ROUNDS NAME EXE CLASS [NAME EXE CLASS]...\n");
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    std::vector<Program> programs;
    for (int i = 2; i + 2 < argc; i += 3)
        programs.push_back({argv[i], Widen(argv[i + 1]), Widen(argv[i + 2])});
    // A window of our own brings the Wine desktop and its taskbar up, and keeps them between starts:
    // an empty desktop closes, and a new shell would come up during a measured start.
    const HWND keeper =
        ::CreateWindowExW(0, L"STATIC", L"startup timer", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (keeper == nullptr || !WaitForTray()) {
        std::printf("error: no Shell_TrayWnd: the desktop has no taskbar\n");
        return 1;
    }

    bool allGood = true;
    for (int round = 0; round <= rounds; ++round) {
        for (size_t k = 0; k < programs.size(); ++k) {
            const Program& program = programs[round % 2 == 0 ? k : programs.size() - 1 - k];
            Moments moments;
            HANDLE process = nullptr;
            const bool started = TimeStart(program, moments, process);
            if (process != nullptr && !AwaitEnd(program, process)) allGood = false;
            if (!started) {
                allGood = false;
                continue;
            }
            std::printf("run %s %d %.1f %.1f %.1f\n", program.name.c_str(), round, moments.windowMs,
                        moments.iconMs, moments.readyMs);
            std::fflush(stdout);
        }
    }
    ::DestroyWindow(keeper);
    return allGood ? 0 : 1;
}
