// Shows the real manager with two instruments and the second one selected,
// for the screenshot script (scripts/screenshots.sh):
//   druv-manager-viewer [--seconds N] [--ready-file PATH]
// Starts a copy of the program with two definitions made from the examples
// (with identifiers of this run) and an empty stored list, answers its two
// messages, selects item 1 as a click would, and writes into the ready file
// one line of numbers, pixels relative to the window's client area (the
// screenshot; without a window manager no frame is drawn around it anyway):
//   x y width height               the client area on the screen
//   selectedX selectedY            a point of item 1, right of its text
//   otherX otherY                  the same point of item 0
//   ruleY ruleX1 ruleX2 ruleX3     three points of the line under the toolbar
//   red green blue                 the selection's highlight colour
//   removeEnabled                  1 when the Remove button is enabled
// After N seconds (default 3) it closes the program and takes back what the
// program wrote to the registry. Exits non-zero when something did not show.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "tests/manager/program/manager_process.h"
#include "tests/manager/program/manager_sandbox.h"
#include "tests/support/viewer_options.h"
#include "tests/support/test_paths.h"

namespace {

constexpr DWORD kWaitMs = 30000;
constexpr int kToolbarId = 1;
constexpr int kRemoveCommand = 1002;
// The line under the toolbar, in client pixels.
constexpr int kRuleY = 28;
constexpr int kRuleEnd = 320;
const char* const kExamples[] = {"brindle-koss-sd16-mixer.druv", "velmora-aster8-synth.druv"};

POINT ScreenPoint(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    return point;
}

// The probes of the ready file, from the program's windows as they are now.
std::string Probes(HWND main, HWND list, HWND toolbar) {
    RECT client{}, listClient{};
    GetClientRect(main, &client);
    GetClientRect(list, &listClient);
    const POINT origin = ScreenPoint(main, 0, 0);
    const auto inClient = [&origin](POINT point) {
        return POINT{point.x - origin.x, point.y - origin.y};
    };
    const int itemHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 1, 0));
    const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    const int itemX = listClient.right - 6;
    const POINT selected = inClient(ScreenPoint(list, itemX, (1 - top) * itemHeight + itemHeight / 2));
    const POINT other = inClient(ScreenPoint(list, itemX, (0 - top) * itemHeight + itemHeight / 2));
    const int ruleEnd = client.right < kRuleEnd ? client.right : kRuleEnd;
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const bool removeEnabled = SendMessageW(toolbar, TB_ISBUTTONENABLED, kRemoveCommand, 0) != 0;
    char line[256];
    std::snprintf(line, sizeof line, "%ld %ld %ld %ld %ld %ld %ld %ld %d %d %d %d %d %d %d %d\n", origin.x,
                  origin.y, client.right, client.bottom, selected.x, selected.y, other.x, other.y, kRuleY, 4,
                  ruleEnd / 2, ruleEnd - 4, GetRValue(highlight), GetGValue(highlight), GetBValue(highlight),
                  removeEnabled ? 1 : 0);
    return line;
}

int Show(const ViewerOptions& options) {
    ManagerSandbox sandbox(L"DRUV Manager screenshot");
    const std::wstring program = sandbox.CopyManagerWithEmptyList();
    if (program.empty()) return 1;
    std::wstring error;
    const std::wstring devices = sandbox.Subfolder(L"Device Files");
    std::vector<std::wstring> paths;
    for (const char* example : kExamples) {
        const TestDefinition definition = sandbox.CopyDefinition(
            devices, WideText(example), WideText(druvtest::ExamplesDir() + "/" + example));
        if (definition.path.empty()) {
            std::fprintf(stderr, "cannot make a definition from %s\n", example);
            return 1;
        }
        paths.push_back(definition.path);
    }

    ManagerProcess manager;
    if (!manager.Start(program, paths, devices, error)) {
        std::fprintf(stderr, "%s\n", Utf8Text(error).c_str());
        return 1;
    }
    const bool answered = manager.Watcher().WaitForBoxes(paths.size(), kWaitMs);
    const HWND main = manager.Watcher().WaitForVisibleMainWindow(kWaitMs);
    for (const SeenBox& box : manager.Watcher().Boxes()) std::printf("message: %s\n", Utf8Text(box.text).c_str());
    if (!answered || !main) {
        std::fprintf(stderr, "the program did not show %s\n", answered ? "its window" : "its two messages");
        return 1;
    }
    const HWND list = GetDlgItem(main, kInstrumentListId);
    SendMessageW(list, LB_SETSEL, TRUE, 1);
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(kInstrumentListId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(500);  // the other process paints in its own time
    std::printf("list: %d items, item 0 %sselected, item 1 %sselected\n",
                static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)),
                SendMessageW(list, LB_GETSEL, 0, 0) > 0 ? "" : "not ",
                SendMessageW(list, LB_GETSEL, 1, 0) > 0 ? "" : "not ");
    const std::string probes = Probes(main, list, GetDlgItem(main, kToolbarId));
    std::printf("probes: %s", probes.c_str());
    std::fflush(stdout);
    WriteReadyFile(options.readyFile, probes);
    Sleep(static_cast<DWORD>(options.seconds > 0 ? options.seconds : 0) * 1000);
    if (!manager.Close(kWaitMs)) {
        std::fprintf(stderr, "the program did not end after WM_CLOSE; terminated\n");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    ViewerOptions options;
    if (!ParseViewerOptions(argc, argv, options, false)) {
        std::fprintf(stderr, "usage: druv-manager-viewer [--seconds N] [--ready-file PATH]\n");
        return 2;
    }
    return Show(options);
}
