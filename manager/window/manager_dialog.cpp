#include "manager/window/manager_dialog.h"

#include <shellapi.h>

#include <utility>

#include "contract/program_files.h"
#include "manager/file_association.h"
#include "manager/resources/manager_resource_ids.h"
#include "manager/toolbar_buttons.h"
#include "manager/window/add_device_dialog.h"
#include "manager/window/dropped_files.h"
#include "manager/window/instrument_list_box.h"
#include "manager/window/running_manager.h"
#include "platform/program_frame/about_box.h"
#include "platform/program_frame/dialog_object.h"
#include "platform/program_frame/frame_toolbar.h"
#include "platform/program_frame/message_filter.h"

namespace {

// Client pixels: the line under the toolbar runs a little past its 300 pixels.
constexpr int kRuleEnd = 320;
// Posted to itself: installs the files handed over, after the sender has
// had its answer.
constexpr UINT kInstallHandedOverFiles = WM_APP + 1;

}  // namespace

CDRUVManagerDlg::CDRUVManagerDlg(ManagerEnvironment environment, ManagerWindowStart start)
    : registry_(environment.registry), manager_(environment), start_(std::move(start)), managerFolder_(environment.managerFolder) {
    if (!start_.openDocument) start_.openDocument = ShellOpenDocument;
    manager_.SetListChangedHandler([this] { OnListChanged(); });
}

CDRUVManagerDlg::~CDRUVManagerDlg() {
    UnmarkManagerWindow(window_, start_.instanceName);
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
}

bool CDRUVManagerDlg::Create(HINSTANCE module) {
    module_ = module;
    window_ = CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_DRUV_MANAGER), nullptr, &CDRUVManagerDlg::Proc,
                                 reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

void CDRUVManagerDlg::Show(int how) {
    ShowWindow(window_, how);
    UpdateWindow(window_);
}

HWND CDRUVManagerDlg::ListBox() const { return GetDlgItem(window_, IDC_INSTRUMENT_LIST); }
HWND CDRUVManagerDlg::Toolbar() const { return GetDlgItem(window_, kFrameToolbarId); }

INT_PTR CALLBACK CDRUVManagerDlg::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ForwardToDialogObject(window, message, wParam, lParam, &CDRUVManagerDlg::window_, &CDRUVManagerDlg::Handle);
}

// The order matters to the person watching: the list is loaded and the
// command-line files installed, each with its own message, before the window
// first shows.
void CDRUVManagerDlg::Initialise() {
    manager_.SetMessageOwner(window_);
    // Findable from the start: a second start may come while the
    // command-line files are being installed.
    MarkManagerWindow(window_, start_.instanceName);
    frame_.SetUp(window_, module_,
                 {IDS_ABOUT_MANAGER,
                  IDR_MANAGER_ICON,
                  {{ID_ADD_DEVICE, IDI_ADD, "Add"},
                   {ID_REMOVE_DEVICE, IDI_REMOVE, "Remove"},
                   {ID_REMOVE_ALL_DEVICES, IDI_REMOVE_ALL, "Remove All"},
                   {ID_HELP_MANUAL, IDI_HELP, "Help"}},
                  kRuleEnd});
    WriteFileAssociation(registry_, managerFolder_, start_.executablePath);
    manager_.LoadInstrumentList();
    InstallEach(start_.commandLineFiles);
    accelerators_ = LoadAcceleratorsW(module_, MAKEINTRESOURCEW(IDR_MANAGER_KEYS));
    loop_ = FrameMessageLoop(window_, accelerators_, FrameKeyboard::AcceleratorsOnly);
    ApplyButtons();
    DragAcceptFiles(window_, TRUE);
    AllowDropsFromLowerRights(window_);
}

INT_PTR CDRUVManagerDlg::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto answer = frame_.Answer(message, wParam, [this] { ShowAbout(); })) return *answer;
    switch (message) {
    case WM_INITDIALOG:
        Initialise();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_INSTRUMENT_LIST) {
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                TakeListSelection(ListBox(), manager_);
                ApplyButtons();
            }
            return TRUE;
        }
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_HELP:
        OpenManual();
        return TRUE;
    case WM_DROPFILES:
        InstallEach(TakeDroppedFiles(reinterpret_cast<HDROP>(wParam)));
        return TRUE;
    case WM_COPYDATA:
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, TakeHandedOverFiles(lParam) ? TRUE : FALSE);
        return TRUE;
    case kInstallHandedOverFiles:
        InstallHandedOverFiles();
        return TRUE;
    case WM_CLOSE:
        Close();
        return TRUE;
    default:
        return FALSE;
    }
}

void CDRUVManagerDlg::OnCommand(int command) {
    switch (command) {
    case ID_ADD_DEVICE:
        AddDevices();
        break;
    case ID_REMOVE_DEVICE:
        manager_.Remove();
        break;
    case ID_REMOVE_ALL_DEVICES:
        manager_.RemoveAll();
        break;
    case ID_HELP_MANUAL:
        OpenManual();
        break;
    default:
        // IDOK and IDCANCEL among them: the window is closed only by its
        // close button or system menu.
        break;
    }
}

void CDRUVManagerDlg::OnListChanged() {
    ShowInstrumentList(ListBox(), manager_.List());
    ApplyButtons();
}

void CDRUVManagerDlg::ApplyButtons() {
    const ToolbarButtons buttons = UpdateButtons(manager_.List());
    HWND toolbar = Toolbar();
    EnableFrameToolbarButton(toolbar, ID_ADD_DEVICE, buttons.add);
    EnableFrameToolbarButton(toolbar, ID_REMOVE_DEVICE, buttons.remove);
    EnableFrameToolbarButton(toolbar, ID_REMOVE_ALL_DEVICES, buttons.removeAll);
    EnableFrameToolbarButton(toolbar, ID_HELP_MANUAL, buttons.help);
}

void CDRUVManagerDlg::AddDevices() { InstallEach(ChooseDeviceFiles(window_, managerFolder_)); }

void CDRUVManagerDlg::InstallEach(const std::vector<std::string>& paths) { manager_.InstallDevices(paths); }

// Any process may send WM_COPYDATA (drops from programs with lower rights
// need it allowed), so only exactly the hand-over format is taken.
bool CDRUVManagerDlg::TakeHandedOverFiles(LPARAM copyData) {
    std::vector<std::string> paths;
    if (manager_.Closed() || !ReadHandedOverFiles(copyData, paths)) return false;
    handed_over_.insert(handed_over_.end(), paths.begin(), paths.end());
    PostMessageW(window_, kInstallHandedOverFiles, 0, 0);
    BringToFront();
    return true;
}

void CDRUVManagerDlg::InstallHandedOverFiles() {
    std::vector<std::string> paths;
    paths.swap(handed_over_);
    InstallEach(paths);
}

// A window that is not shown yet (still installing its own command line)
// shows when it is ready; one that is shown comes to the front.
void CDRUVManagerDlg::BringToFront() {
    if (!IsWindowVisible(window_)) return;
    if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
    SetForegroundWindow(window_);
}

// By its full path: the working folder alone does not make the shell look
// there for a relative name.
void CDRUVManagerDlg::OpenManual() {
    start_.openDocument(window_, managerFolder_ + "\\" + kManualFileName, managerFolder_);
}

void CDRUVManagerDlg::ShowAbout() {
    ShowAboutBox(window_, module_,
                 {"About DRUV Manager", IDR_MANAGER_ICON, "DRUV Manager Version 1.0.3", IDB_ABOUT_FIRST,
                  IDB_ABOUT_SECOND});
}

// The records are let go of without touching the registry: the host's
// entries and the stored list stay as they are. An install or removal whose
// box is still up when this runs writes nothing more.
void CDRUVManagerDlg::Close() {
    manager_.DeselectAll();
    manager_.Close();
    handed_over_.clear();
    UnmarkManagerWindow(window_, start_.instanceName);
    DestroyWindow(window_);
}
