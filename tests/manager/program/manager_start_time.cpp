// How long the manager takes to show its window: starts a copy of the real
// program without arguments several times and measures from CreateProcessW
// to its main window becoming visible, then closes it. A figure to read, not
// a test:
//   druv-manager-start-time [runs]      (default 5)
// Prints each time (and how long the closing took) and the median in
// milliseconds; exits non-zero when the
// program could not be started, its window did not show or it did not end.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/manager/program/manager_process.h"
#include "tests/manager/program/manager_sandbox.h"

namespace {

constexpr DWORD kWaitMs = 30000;

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One start: the time to the visible window, or a negative number on failure.
// `closing` receives the time from WM_CLOSE to the end of the process.
double TimeOneStart(const std::wstring& program, const std::wstring& folder, double& closing) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start, shown;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start the program (error %lu)\n", GetLastError());
        return -1;
    }
    double elapsed = -1;
    HWND main = nullptr;
    for (;;) {
        main = FindMainWindow(process.dwProcessId);
        QueryPerformanceCounter(&shown);
        if (main && IsWindowVisible(main)) {
            elapsed = Milliseconds(start, shown);
            break;
        }
        if (Milliseconds(start, shown) > kWaitMs || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "the main window did not show (another manager running?)\n");
            break;
        }
        Sleep(1);
    }
    LARGE_INTEGER closed;
    QueryPerformanceCounter(&shown);
    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(process.hProcess, kWaitMs) == WAIT_OBJECT_0;
    QueryPerformanceCounter(&closed);
    closing = Milliseconds(shown, closed);
    if (!ended) {
        std::fprintf(stderr, "the program did not end after WM_CLOSE; terminated\n");
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kWaitMs);
        elapsed = -1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    if (runs < 1) {
        std::fprintf(stderr, "usage: druv-manager-start-time [runs]\n");
        return 2;
    }
    ManagerSandbox sandbox(L"DRUV Manager start time");
    const std::wstring program = sandbox.CopyManagerWithEmptyList();
    if (program.empty()) return 1;

    std::vector<double> times;
    for (int run = 1; run <= runs; ++run) {
        double closing = 0;
        const double elapsed = TimeOneStart(program, sandbox.Folder(), closing);
        if (elapsed < 0) return 1;
        std::printf("start %d: %.1f ms (closing took %.1f ms)\n", run, elapsed, closing);
        std::fflush(stdout);
        times.push_back(elapsed);
    }
    std::sort(times.begin(), times.end());
    const size_t middle = times.size() / 2;
    const double median = times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
    std::printf("median of %d starts: %.1f ms\n", runs, median);
    return 0;
}
