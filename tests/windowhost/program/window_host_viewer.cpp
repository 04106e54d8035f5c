// Shows the real window host for the screenshot script (scripts/screenshots.sh):
//   druv-window-host-viewer --project PATH [--quiet NAME] [--select NAME] [--receive]
//                           [--import FILE.syx [--picture FILE.bmp]] [--seconds N]
//                           [--ready-file PATH]
// The window is the program's own, over the program's port systems with one
// more interface that nobody is connected to ("DRUV Quiet Test Port", the
// instrument switched off). --quiet puts the instrument NAME of the project
// on that interface first, so that its light shows red; --select selects the
// instrument NAME as a click would; --receive starts a receive of it. Once
// every light has its colour (and, with --receive, the progress bar stands
// between its ends) the ready file gets one line, pixels relative to the
// window's client area (without a window manager no frame is drawn):
//   x y width height          the client area on the screen
//   light0X light0Y           the centre of the first row's light
//   light1X light1Y           the same for the second row
//   barX barY barWidth barHeight position   the progress bar and its position
//   rows                      how many instruments the list shows
// --import chooses FILE.syx through Import .syx... (the file dialog answered
// by this program) and waits for the preview instead; the line then is
//   x y width height          the preview dialog on the screen
//   listX listY listWidth listHeight   its list of rows, relative to it
//   0 0 0 0 0                 (unused)
//   rows                      how many rows the preview lists
// and --picture writes the preview as it has drawn itself to FILE.bmp first.
// After N more seconds (default 3) the window closes, its question answered
// Don't Save. Exits non-zero when the window did not show as asked.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "druvhost/cli/installed_devices.h"
#include "druvhost/project/project_store.h"
#include "druvhost/session/filter_session.h"
#include "platform/file_dialog.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/safe_file_write.h"
#include "platform/program_frame/common_controls.h"
#include "platform/registry_editor.h"
#include "tests/support/viewer_options.h"
#include "windowhost/resources/window_host_resource_ids.h"
#include "windowhost/window/host_window.h"
#include "windowhost/window/instrument_list_view.h"

namespace {

constexpr char kQuietPort[] = "DRUV Quiet Test Port";
constexpr UINT_PTR kWatchTimer = 7;
constexpr UINT kWatchMs = 50;
constexpr int kGiveUpTicks = 60000 / kWatchMs;
constexpr int kPreviewSettleTicks = 500 / kWatchMs;

struct Watch {
    HWND main = nullptr;
    bool receive = false;
    bool import = false;
    bool importAsked = false;
    int previewTicks = 0;
    std::string picture;
    std::string readyFile;
    int seconds = 3;
    bool ready = false;
    int ticks = 0;
    int closeAt = 0;
};
Watch watch;

const druvhost::InstalledDevice* Find(const std::vector<druvhost::InstalledDevice>& devices, const std::string& name) {
    std::string error;
    const druvhost::InstalledDevice* device = druvhost::FindDevice(devices, name, error);
    if (device == nullptr) std::fprintf(stderr, "druv-window-host-viewer: %s\n", error.c_str());
    return device;
}

// The instrument's entry of the project, its ports the quiet interface.
bool PutOnQuietPort(const std::string& projectPath, const druvhost::InstalledDevice& device) {
    druvhost::Project project;
    std::string error;
    if (druvhost::LoadProjectFile(projectPath, project, error) == druvhost::ProjectLoad::Refused) return false;
    druvhost::ClassId id;
    std::memcpy(id.data(), &device.classId, id.size());
    const druvhost::ProjectEntry* stored = project.Find(id);
    std::vector<uint8_t> bytes;
    {
        druvhost::FilterSession session(device);
        if (!session.Open(stored ? &stored->filterData : nullptr, {kQuietPort, kQuietPort, {}, {}, {}}, error) ||
            !session.Save(bytes, error)) {
            std::fprintf(stderr, "druv-window-host-viewer: %s\n", error.c_str());
            return false;
        }
    }
    project.Put(id, bytes);
    return druvhost::SaveProjectFile(projectPath, project, error);
}

POINT LightCentre(HWND main, HWND list, int row) {
    RECT icon{LVIR_ICON, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&icon));
    POINT centre{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
    MapWindowPoints(list, main, &centre, 1);
    return centre;
}

int Light(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

// The window as it has drawn itself, frame included, as a 24-bit BMP file.
// Without a window manager Xvfb showed the preview's X window black although
// the dialog had painted, so the picture is taken from the window's own
// surface instead of the screen.
bool WriteWindowPicture(HWND window, const std::string& path) {
    RECT frame{};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP picture = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool written = false;
    if (picture != nullptr) {
        HGDIOBJ before = SelectObject(memory, picture);
        BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
        GdiFlush();
        const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
        BITMAPFILEHEADER header{};
        header.bfType = 0x4D42;
        header.bfOffBits = sizeof header + sizeof info.bmiHeader;
        header.bfSize = header.bfOffBits + stride * static_cast<DWORD>(height);
        std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
        bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        bytes.append(static_cast<const char*>(bits), stride * static_cast<DWORD>(height));
        written = WriteFileSafely(path, bytes.data(), bytes.size());
        SelectObject(memory, before);
        DeleteObject(picture);
    }
    DeleteDC(memory);
    ReleaseDC(window, source);
    return written;
}

BOOL CALLBACK FindPreview(HWND window, LPARAM found) {
    if (GetDlgItem(window, IDC_SYX_ROWS) == nullptr) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The import preview this thread shows, or null.
HWND Preview() {
    HWND preview = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindPreview, reinterpret_cast<LPARAM>(&preview));
    return preview;
}

void LookAtPreview() {
    HWND preview = Preview();
    if (preview == nullptr || !IsWindowVisible(preview)) {
        if (watch.ticks > kGiveUpTicks) PostQuitMessage(3);
        return;
    }
    // The display shows a new window a little after the system does.
    if (++watch.previewTicks < kPreviewSettleTicks) return;
    RECT frame{}, list{};
    GetWindowRect(preview, &frame);
    GetWindowRect(GetDlgItem(preview, IDC_SYX_ROWS), &list);
    const int rows = static_cast<int>(SendDlgItemMessageW(preview, IDC_SYX_ROWS, LB_GETCOUNT, 0, 0));
    char line[256];
    std::snprintf(line, sizeof line, "%ld %ld %ld %ld %ld %ld %ld %ld 0 0 0 0 0 %d", frame.left, frame.top,
                  frame.right - frame.left, frame.bottom - frame.top, list.left - frame.left, list.top - frame.top,
                  list.right - list.left, list.bottom - list.top, rows);
    if (!watch.picture.empty() && !WriteWindowPicture(preview, watch.picture)) PostQuitMessage(3);
    WriteReadyFile(watch.readyFile, line);
    watch.ready = true;
    watch.closeAt = watch.ticks + watch.seconds * 1000 / static_cast<int>(kWatchMs);
}

void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD) {
    ++watch.ticks;
    if (watch.ready) {
        if (watch.ticks < watch.closeAt) return;
        // The preview first: nothing is imported, and the window closes after it.
        if (HWND preview = Preview()) PostMessageW(preview, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        else PostMessageW(watch.main, WM_CLOSE, 0, 0);
        return;
    }
    if (watch.importAsked) {
        LookAtPreview();
        return;
    }
    HWND list = GetDlgItem(watch.main, IDC_INSTRUMENTS);
    HWND bar = GetDlgItem(GetDlgItem(watch.main, IDC_STATUS), IDC_PROGRESS);
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    bool lit = rows >= 2;
    for (int row = 0; row < rows && lit; ++row)
        lit = Light(list, row) != static_cast<int>(windowhost::OnlineLight::Unknown);
    const int position = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
    const bool moving = position >= 20 && position <= 80;
    if (!(watch.receive ? moving : lit)) {
        if (watch.ticks > kGiveUpTicks) PostQuitMessage(3);
        return;
    }
    if (watch.import) {
        // Once the instruments are listed and probed, as a musician would.
        PostMessageW(watch.main, WM_COMMAND, ID_INSTRUMENT_IMPORT_SYX, 0);
        watch.importAsked = true;
        return;
    }
    RECT client{}, barRect{};
    GetClientRect(watch.main, &client);
    POINT origin{0, 0};
    ClientToScreen(watch.main, &origin);
    GetWindowRect(bar, &barRect);
    MapWindowPoints(nullptr, watch.main, reinterpret_cast<POINT*>(&barRect), 2);
    const POINT first = LightCentre(watch.main, list, 0);
    const POINT second = LightCentre(watch.main, list, 1);
    char line[256];
    std::snprintf(line, sizeof line, "%ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %d %d", origin.x, origin.y,
                  client.right, client.bottom, first.x, first.y, second.x, second.y, barRect.left, barRect.top,
                  barRect.right - barRect.left, barRect.bottom - barRect.top, position, rows);
    // Painting follows the last change; the shot is taken after this.
    UpdateWindow(watch.main);
    WriteReadyFile(watch.readyFile, line);
    watch.ready = true;
    watch.closeAt = watch.ticks + watch.seconds * 1000 / static_cast<int>(kWatchMs);
}

}  // namespace

int main(int argc, char** argv) {
    ViewerOptions options;
    std::string project, quiet, select, syx;
    bool parsed = ParseViewerOptions(argc, argv, options, false, [&](const std::string& argument, const char* next) {
        if (argument == "--receive") {
            watch.receive = true;
            return 1;
        }
        std::string* value = argument == "--project" ? &project : argument == "--quiet" ? &quiet
                             : argument == "--select" ? &select : argument == "--import"  ? &syx
                             : argument == "--picture" ? &watch.picture : nullptr;
        if (value == nullptr || next == nullptr) return 0;
        *value = next;
        return 2;
    });
    if (!parsed || project.empty()) {
        std::fprintf(stderr, "usage: druv-window-host-viewer --project PATH [--quiet NAME] [--select NAME] "
                             "[--receive] [--import FILE.syx [--picture FILE.bmp]] [--seconds N] [--ready-file PATH]\n");
        return 2;
    }
    if (FAILED(OleInitialize(nullptr))) return 1;
    InitialiseFrameControls();
    const std::vector<druvhost::InstalledDevice> devices = druvhost::InstalledDevices(SystemRegistryEditor());
    if (!quiet.empty()) {
        const druvhost::InstalledDevice* device = Find(devices, quiet);
        if (device == nullptr || !PutOnQuietPort(project, *device)) return 1;
    }
    ScopedMessageBoxHandler answers([](const MessageBoxRequest& box) {
        std::fprintf(stderr, "box: %s\n", box.text);
        return box.buttons == MessageButtons::YesNoCancel ? MessageAnswer::No : MessageAnswer::Ok;
    });
    ScopedFileDialogHandler chooser([&syx](const FileDialogRequest&) {
        FileDialogResult chosen;
        chosen.outcome = FileDialogOutcome::Chosen;
        chosen.paths.push_back(syx);
        return chosen;
    });
    watch.import = !syx.empty();
    int status = 1;
    {
        windowhost::HostWindow window(SystemRegistryEditor(), FolderOfPath(ModuleFilePath()), AbsolutePath(project));
        if (!window.Create(GetModuleHandleW(nullptr))) return 1;
        watch.main = window.Window();
        watch.readyFile = options.readyFile;
        watch.seconds = options.seconds;
        window.Show(SW_SHOWNORMAL);
        if (!select.empty()) {
            const druvhost::InstalledDevice* device = Find(devices, select);
            if (device == nullptr) return 1;
            const int row = static_cast<int>(device - devices.data());
            LVITEMW item{};
            item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendDlgItemMessageW(watch.main, IDC_INSTRUMENTS, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
        }
        if (watch.receive) PostMessageW(watch.main, WM_COMMAND, ID_INSTRUMENT_RECEIVE, 0);
        SetTimer(nullptr, kWatchTimer, kWatchMs, Look);
        status = window.Run();
        if (!watch.ready) status = 3;
    }
    OleUninitialize();
    return status;
}
