// Shows the builder's window with a definition open and one configuration
// and one template chosen, for screenshots and for a look by hand:
//   druv-builder-viewer <definition.druv> [--configuration NAME]
//                       [--template NAME] [--advanced] [--seconds N]
//                       [--ready-file PATH]
// The definition is opened through the window's own Open command. Once the
// window has painted, the ready file receives one line: the client area's
// screen place "x y width height", then client points "x y" of the chosen
// configuration, of an unchosen configuration and of the chosen template,
// each inside its row but clear of its text, then the selection colour
// "r g b". The viewer closes itself after N seconds (default 3).
//
// With --advanced the template's "Advanced..." button is pressed, and the
// line describes the dialog: its client area's screen place (a picture of
// the display leaves an owned window of this viewer black under Wine, so it
// is best taken of the dialog's window itself), a client point
// of the focused first drop-down's entry clear of its text, the squares
// "x y size" of the "Check on Receive" and "Unknown Length" boxes, then the
// selection colour. The dialog is cancelled after N seconds.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "builder/builder_controls.h"
#include "builder/window/builder_dialog.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/program_frame/common_controls.h"
#include "platform/wide_text.h"
#include "tests/support/viewer_options.h"

namespace {

namespace ids = builder_controls;

struct Options : ViewerOptions {
    std::string configuration = "Everything";
    std::string templateName = "Current Scene";
    bool advanced = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    return ParseViewerOptions(argc, argv, options, true, [&options](const std::string& argument, const char* next) {
        if (argument == "--configuration" && next) {
            options.configuration = next;
            return 2;
        }
        if (argument == "--template" && next) {
            options.templateName = next;
            return 2;
        }
        if (argument == "--advanced") {
            options.advanced = true;
            return 1;
        }
        return 0;
    });
}
// Chooses the item as a click would: the list's selection, then its notification.
int Select(HWND window, int list, const std::string& name) {
    HWND box = GetDlgItem(window, list);
    const LRESULT index =
        SendMessageW(box, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(WideText(name).c_str()));
    if (index == LB_ERR) return -1;
    SendMessageW(box, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    return static_cast<int>(index);
}

// A point of the item's row in the window's client area, a few pixels in
// from its right end, where short names leave the row empty.
POINT RowPoint(HWND window, int list, int index) {
    HWND box = GetDlgItem(window, list);
    RECT item{};
    SendMessageW(box, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    POINT point{item.right - 4, (item.top + item.bottom) / 2};
    MapWindowPoints(box, window, &point, 1);
    return point;
}

// A check box's square, in its dialog's client area: at the box's left,
// centred on its height, as the system draws it.
std::string CheckSquare(HWND dialog, int id) {
    HWND box = GetDlgItem(dialog, id);
    RECT client{};
    GetClientRect(box, &client);
    const int size = GetSystemMetrics(SM_CYMENUCHECK) - 2;
    POINT corner{client.left + 1, client.top + (client.bottom - client.top - size) / 2};
    MapWindowPoints(box, dialog, &corner, 1);
    char text[64];
    std::snprintf(text, sizeof text, "%ld %ld %d", corner.x, corner.y, size);
    return text;
}

// What the timer procedure needs of main's state.
struct AdvancedShot {
    CDRUVTemplateBuilderDlg* dialog = nullptr;
    std::string readyFile;
    DWORD deadline = 0;
    DWORD shownAt = 0;
    bool ready = false;
};
AdvancedShot g_shot;

void CALLBACK WhileAdvancedShows(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND advanced = g_shot.dialog->AdvancedWindow();
    if (!advanced || !IsWindowVisible(advanced)) return;
    const DWORD now = GetTickCount();
    if (g_shot.shownAt == 0) g_shot.shownAt = now;
    if (!g_shot.ready && now - g_shot.shownAt > 500) {
        g_shot.ready = true;
        RECT client{};
        GetClientRect(advanced, &client);
        POINT origin{0, 0};
        ClientToScreen(advanced, &origin);
        HWND type = GetDlgItem(advanced, advanced_controls::kRequestCSumType);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(type, &info);
        POINT entry{info.rcItem.right - 3, (info.rcItem.top + info.rcItem.bottom) / 2};
        MapWindowPoints(type, advanced, &entry, 1);
        const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
        char line[256];
        std::snprintf(line, sizeof line, "%ld %ld %ld %ld %ld %ld %s %s %d %d %d\n", origin.x, origin.y, client.right,
                      client.bottom, entry.x, entry.y, CheckSquare(advanced, advanced_controls::kCSumVerify).c_str(),
                      CheckSquare(advanced, advanced_controls::kUnknownLength).c_str(), GetRValue(highlight),
                      GetGValue(highlight), GetBValue(highlight));
        WriteReadyFile(g_shot.readyFile, line);
    }
    if (now > g_shot.deadline) {
        KillTimer(nullptr, timer);
        EndDialog(advanced, IDCANCEL);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: druv-builder-viewer <definition.druv> [--configuration NAME] "
                             "[--template NAME] [--seconds N] [--ready-file PATH]\n");
        return 2;
    }
    // Nothing may wait for a person.
    ScopedMessageBoxHandler boxes([](const MessageBoxRequest& request) {
        std::fprintf(stderr, "message: %s\n", request.text ? request.text : "");
        return MessageAnswer::No;
    });
    ScopedFileDialogHandler dialogs([&options](const FileDialogRequest&) {
        return FileDialogResult{FileDialogOutcome::Chosen, {options.definition}};
    });

    InitialiseFrameControls();
    CDRUVTemplateBuilderDlg dialog;
    if (!dialog.Create(GetModuleHandleW(nullptr))) return 1;
    HWND window = dialog.Window();
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(builder_commands::kOpen, BN_CLICKED), 0);
    const int configuration = Select(window, ids::kConfigurations, options.configuration);
    const int chosenTemplate = Select(window, ids::kTemplates, options.templateName);
    if (configuration < 0 || chosenTemplate < 0) {
        std::fprintf(stderr, "the definition has no configuration \"%s\" or no template \"%s\"\n",
                     options.configuration.c_str(), options.templateName.c_str());
        return 1;
    }
    const int other = configuration == 0 ? 1 : 0;

    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    dialog.Show();
    const DWORD start = GetTickCount();
    // The dialog's own loop runs inside the button's command; the timer
    // takes the picture's measures there and ends it.
    bool ready = false;
    if (options.advanced) {
        g_shot = {&dialog, options.readyFile, start + static_cast<DWORD>(options.seconds) * 1000u, 0, false};
        SetTimer(nullptr, 0, 100, WhileAdvancedShows);
        HWND button = GetDlgItem(window, ids::kAdvanced);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(ids::kAdvanced, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        ready = true;
    }
    while (IsWindow(window) && GetTickCount() - start < static_cast<DWORD>(options.seconds) * 1000u) {
        if (!dialog.Loop().PumpPending()) break;
        // Half a second for the display to show what was painted.
        if (!ready && GetTickCount() - start > 500) {
            ready = true;
            if (!options.readyFile.empty()) {
                RECT client{};
                GetClientRect(window, &client);
                POINT origin{0, 0};
                ClientToScreen(window, &origin);
                const POINT chosen = RowPoint(window, ids::kConfigurations, configuration);
                const POINT unchosen = RowPoint(window, ids::kConfigurations, other);
                const POINT templ = RowPoint(window, ids::kTemplates, chosenTemplate);
                const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
                char line[256];
                std::snprintf(line, sizeof line, "%ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %d %d %d\n", origin.x,
                              origin.y, client.right, client.bottom, chosen.x, chosen.y, unchosen.x, unchosen.y,
                              templ.x, templ.y, GetRValue(highlight), GetGValue(highlight), GetBValue(highlight));
                WriteReadyFile(options.readyFile, line);
            }
        }
        Sleep(20);
    }
    return 0;
}
