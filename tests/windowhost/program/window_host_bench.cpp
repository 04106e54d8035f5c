// Figures of the window host, for scripts/bench-window-host.sh. Not a test:
// it prints what it measures.
//   druv-window-host-bench start [RUNS]
//     starts "DRUV Host.exe" RUNS times (default 5), each from CreateProcessW
//     to its main window showing, and closes it; prints each time and the
//     median in milliseconds
//   druv-window-host-bench receive PROJECT DEVICE
//     shows the program's window in this process, selects DEVICE (a class
//     identifier in braces), receives all of it and pumps the window's
//     messages itself meanwhile, timing each; prints the longest time the
//     window's thread spent on one message during the receive, and how many
//     progress reports reached the window per second
// Exits non-zero when the window did not show or the receive did not run.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "druvhost/cli/installed_devices.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/program_frame/common_controls.h"
#include "platform/program_frame/frame_message_loop.h"
#include "platform/registry_editor.h"
#include "tests/windowhost/program/window_host_process.h"
#include "windowhost/resources/window_host_resource_ids.h"
#include "windowhost/window/host_window.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

int MeasureStart(int runs) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        windowhosttest::WindowHostProcess host;
        DWORD error = 0;
        const LARGE_INTEGER start = Now();
        if (!host.Start("", error)) {
            std::fprintf(stderr, "cannot start the program (error %lu)\n", error);
            return 1;
        }
        if (host.WaitForMainWindow(30000) == nullptr) {
            std::fprintf(stderr, "the window did not show\n");
            return 1;
        }
        const double shown = Milliseconds(start, Now());
        times.push_back(shown);
        std::printf("start %d: %.0f ms\n", run + 1, shown);
        PostMessageW(host.Main(), WM_CLOSE, 0, 0);
        if (host.WaitForExit(30000) == STILL_ACTIVE) {
            std::fprintf(stderr, "the program did not end\n");
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("start to window shown: median %.0f ms of %d\n", times[times.size() / 2], runs);
    return 0;
}

int MeasureReceive(const std::string& project, const std::string& device) {
    if (FAILED(OleInitialize(nullptr))) return 1;
    InitialiseFrameControls();
    const std::vector<druvhost::InstalledDevice> devices = druvhost::InstalledDevices(SystemRegistryEditor());
    std::string error;
    const druvhost::InstalledDevice* chosen = druvhost::FindDevice(devices, device, error);
    if (chosen == nullptr) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    ScopedMessageBoxHandler answers([](const MessageBoxRequest& box) {
        std::printf("box: %s\n", box.text);
        return box.buttons == MessageButtons::YesNoCancel ? MessageAnswer::No : MessageAnswer::Ok;
    });
    int status = 0;
    {
        windowhost::HostWindow window(SystemRegistryEditor(), FolderOfPath(ModuleFilePath()), AbsolutePath(project));
        if (!window.Create(GetModuleHandleW(nullptr))) return 1;
        HWND main = window.Window();
        window.Show(SW_SHOWNORMAL);
        LVITEMW item{};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendDlgItemMessageW(main, IDC_INSTRUMENTS, LVM_SETITEMSTATE, static_cast<WPARAM>(chosen - devices.data()),
                            reinterpret_cast<LPARAM>(&item));
        PostMessageW(main, WM_COMMAND, ID_INSTRUMENT_RECEIVE, 0);
        HWND cancel = GetDlgItem(main, IDC_CANCEL_TRANSFER);
        FrameMessageLoop loop(main, LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_HOST_KEYS)));
        bool began = false, ended = false;
        double longest = 0;
        UINT longestMessage = 0;
        int progress = 0;
        LARGE_INTEGER began_at{}, ended_at{};
        MSG message;
        while (!ended && GetMessageW(&message, nullptr, 0, 0) > 0) {
            // Only messages that came while the receive ran count, not the
            // one that started it.
            const bool runningBefore = IsWindowVisible(cancel) != FALSE;
            const LARGE_INTEGER before = Now();
            if (!loop.PreTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            const double spent = Milliseconds(before, Now());
            const bool running = IsWindowVisible(cancel) != FALSE;
            if (!began && running) {
                began = true;
                began_at = Now();
            }
            if (runningBefore && running) {
                if (message.message == windowhost::kProgressMessage) ++progress;
                if (spent > longest) {
                    longest = spent;
                    longestMessage = message.message;
                }
            }
            if (began && !running) {
                ended = true;
                ended_at = Now();
            }
        }
        if (!ended) {
            std::fprintf(stderr, "the receive did not run to its end\n");
            status = 1;
        } else {
            const double seconds = Milliseconds(began_at, ended_at) / 1000.0;
            std::printf("receive: %.1f s\n", seconds);
            std::printf("longest message on the window's thread during the receive: %.1f ms (message 0x%04X)\n",
                        longest, longestMessage);
            std::printf("progress updates: %d in %.1f s, %.1f per second\n", progress, seconds, progress / seconds);
        }
        PostMessageW(main, WM_CLOSE, 0, 0);
        while (IsWindow(main) && GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (!loop.PreTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    OleUninitialize();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "start") return MeasureStart(argc > 2 ? std::max(1, std::atoi(argv[2])) : 5);
    if (what == "receive" && argc == 4) return MeasureReceive(argv[2], argv[3]);
    std::fprintf(stderr, "usage: druv-window-host-bench start [RUNS] | receive PROJECT {DEVICE}\n");
    return 2;
}
