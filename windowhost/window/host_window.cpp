#include "windowhost/window/host_window.h"

#include <shellapi.h>

#include <ctime>
#include <optional>
#include <utility>

#include "contract/program_files.h"
#include "druvhost/cli/configuration_choice.h"
#include "druvhost/cli/transfer_report.h"
#include "druvhost/host/saved_settings.h"
#include "druvhost/session/device_probe.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/program_frame/about_box.h"
#include "platform/program_frame/dialog_object.h"
#include "platform/wide_text.h"
#include "plugin/engine/transfer_engine.h"
#include "windowhost/core/receive_date.h"
#include "windowhost/core/transfer_figures.h"
#include "windowhost/resources/window_host_resource_ids.h"
#include "windowhost/window/window_progress.h"
#include "windowhost/window/window_support.h"

namespace windowhost {

struct TransferEnded {
    bool transmit = false;
    uint32_t mask = 0;
    std::string configuration;
    druvhost::TransferOutcome outcome = druvhost::TransferOutcome::Failed;
    std::vector<std::string> reported;
    std::string error;
};

struct ProbeEnded {
    int instrument = -1;  // -1: the last of a round
    bool asked = false;   // false when the instrument could not be asked at all
    druvhost::Detection detection = druvhost::Detection::Offline;
};

struct BackUpStepEnded {
    BackUpStepKind kind = BackUpStepKind::Probe;
    size_t instrument = 0;
    bool ran = false;  // false: the step could not run (`error` says why)
    std::string error;
    druvhost::Detection detection = druvhost::Detection::Offline;
    bool cancelled = false;
    std::string configuration;
    std::vector<std::string> failures;
    std::vector<uint8_t> bytes;
};

namespace {

constexpr char kProjectFilter[] = "DRUV Host Project (*.dhp)|*.dhp|All Files (*.*)|*.*||";
constexpr int kRuleEnd = 648;
constexpr int kToolbarWidth = 390;  // client pixels, up to the configuration's label
// The page's own first question to the instrument goes out as it opens; a
// transfer lets it go first.
constexpr uint32_t kPageDetectionSettleMs = 300;
constexpr uint32_t kQuietMarginMs = 300;
constexpr uint32_t kLongestQuietWaitMs = 10000;

// How long the answer to the detection request takes on the wire: ten bits
// a byte at 31250 baud.
uint32_t DetectAnswerMs(const DRUVDevice& device) {
    const DRUVTemplate* probe = FindDetectTemplate(device);
    const int32_t size = probe != nullptr ? probe->Size() : 0;
    return size > 0 ? static_cast<uint32_t>(size) * 10u * 1000u / 31250u + 1u : 0u;
}

struct CommandId {
    HostCommand command;
    int id;
};

constexpr CommandId kCommandIds[] = {
    {HostCommand::New, ID_FILE_NEW},
    {HostCommand::Open, ID_FILE_OPEN},
    {HostCommand::Save, ID_FILE_SAVE},
    {HostCommand::SaveAs, ID_FILE_SAVE_AS},
    {HostCommand::Exit, ID_FILE_EXIT},
    {HostCommand::Receive, ID_INSTRUMENT_RECEIVE},
    {HostCommand::Transmit, ID_INSTRUMENT_TRANSMIT},
    {HostCommand::Cancel, ID_INSTRUMENT_CANCEL},
    {HostCommand::ImportSyx, ID_INSTRUMENT_IMPORT_SYX},
    {HostCommand::ExportSyx, ID_INSTRUMENT_EXPORT_SYX},
    {HostCommand::BackUpAll, ID_INSTRUMENT_BACK_UP_ALL},
    {HostCommand::Detect, ID_INSTRUMENT_DETECT},
    {HostCommand::Manual, ID_HELP_MANUAL},
    {HostCommand::About, ID_HELP_ABOUT},
};

bool CommandOf(int id, HostCommand& command) {
    if (id >= ID_FILE_RECENT_FIRST && id < ID_FILE_RECENT_FIRST + static_cast<int>(kRecentProjectCount)) {
        command = HostCommand::OpenRecent;
        return true;
    }
    if (id == IDC_CANCEL_TRANSFER) {
        command = HostCommand::Cancel;
        return true;
    }
    for (const CommandId& entry : kCommandIds)
        if (entry.id == id) {
            command = entry.command;
            return true;
        }
    return false;
}

// Seconds east of UTC now, for the dates in the list.
int64_t LocalUtcOffset() {
    TIME_ZONE_INFORMATION zone{};
    const DWORD kind = GetTimeZoneInformation(&zone);
    LONG bias = zone.Bias;
    if (kind == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
    if (kind == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
    return -static_cast<int64_t>(bias) * 60;
}

OnlineLight LightOf(bool asked, druvhost::Detection detection) {
    if (!asked) return OnlineLight::Unknown;
    switch (detection) {
        case druvhost::Detection::Online: return OnlineLight::Online;
        case druvhost::Detection::NoProbe: return OnlineLight::NoProbe;
        case druvhost::Detection::Offline:
        case druvhost::Detection::SendFailed: return OnlineLight::Offline;
    }
    return OnlineLight::Unknown;
}

std::string Lines(const std::string& head, const std::vector<std::string>& lines) {
    std::string text = head;
    for (const std::string& line : lines) text += "\n" + line;
    return text;
}

// The configuration names as the filter offers them to hosts.
std::vector<std::string> DataTypeNames(IMPServices* services) {
    uint32_t mask = 0;
    WCHAR* text = nullptr;
    if (services == nullptr || FAILED(services->GetDataTypes(&mask, &text, nullptr, nullptr, nullptr)) ||
        text == nullptr)
        return {"All"};
    const std::string names = Utf8Text(reinterpret_cast<const wchar_t*>(text));
    CoTaskMemFree(text);
    std::vector<std::string> split = druvhost::SplitDataTypes(names);
    if (split.empty()) split.push_back("All");
    return split;
}

// Whether an instrument answers, asked on ports of the probe's own.
bool ProbeInstalled(const druvhost::InstalledDevice& device, const std::vector<uint8_t>* saved,
                    druvhost::Detection& detection, std::string& error) {
    DRUVDevice definition;
    definition.SetFilePath(device.definitionPath.c_str());
    if (device.definitionPath.empty() || definition.LoadDefinition() != 0) {
        error = "cannot read the definition of " + device.name + " (" + device.definitionPath + ")";
        return false;
    }
    return druvhost::ProbeDevice(definition, druvhost::ProbeSettings(definition, saved), "", "", SystemClock(),
                                 detection, error);
}

}  // namespace

HostWindow::HostWindow(RegistryEditor& registry, std::string programFolder, std::string startProject)
    : registry_(registry), program_folder_(std::move(programFolder)), start_project_(std::move(startProject)) {}

HostWindow::~HostWindow() {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
    if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
}

bool HostWindow::Create(HINSTANCE module) {
    module_ = module;
    window_ = CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_WINDOW_HOST), nullptr, &HostWindow::Proc,
                                 reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

void HostWindow::Show(int how) {
    ShowWindow(window_, how);
    UpdateWindow(window_);
}

int HostWindow::Run() { return loop_.Run(); }

INT_PTR CALLBACK HostWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ForwardToDialogObject(window, message, wParam, lParam, &HostWindow::window_, &HostWindow::Handle);
}

void HostWindow::Initialise() {
    frame_.SetUp(window_, module_,
                 {IDS_ABOUT_HOST,
                  IDR_HOST_ICON,
                  {{ID_INSTRUMENT_RECEIVE, IDI_RECEIVE, "Receive"},
                   {ID_INSTRUMENT_TRANSMIT, IDI_TRANSMIT, "Transmit"},
                   {ID_INSTRUMENT_CANCEL, IDI_CANCEL, "Cancel"},
                   {ID_INSTRUMENT_BACK_UP_ALL, IDI_BACK_UP_ALL, "Back Up All"}},
                  kRuleEnd});
    // Wider than the frame's usual toolbar: four buttons with their labels.
    SetWindowPos(GetDlgItem(window_, kFrameToolbarId), nullptr, kFrameToolbarArea.left, kFrameToolbarArea.top,
                 kToolbarWidth, kFrameToolbarArea.bottom - kFrameToolbarArea.top, SWP_NOZORDER | SWP_NOACTIVATE);
    accelerators_ = LoadAcceleratorsW(module_, MAKEINTRESOURCEW(IDR_HOST_KEYS));
    loop_ = FrameMessageLoop(window_, accelerators_, FrameKeyboard::AcceleratorsOnly);
    status_.Create(window_, GetDlgItem(window_, IDC_CANCEL_TRANSFER), IDC_STATUS, IDC_PROGRESS);
    GetWindowRect(GetDlgItem(window_, IDC_PAGE_AREA), &page_area_);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&page_area_), 2);
    list_.Attach(GetDlgItem(window_, IDC_INSTRUMENTS));

    recent_.Load(registry_);
    ShowRecentProjects();
    document_.New();
    LoadInstruments();
    ShowTitle();
    // Before any instrument is opened, so that the first one opens once,
    // with the project's settings.
    if (!start_project_.empty()) OpenPath(start_project_);
    // The first instrument opens its page through the list's notification.
    if (!devices_.empty() && selected_ < 0) list_.Select(0);
    status_text_ = devices_.empty() ? "No instruments are installed; add them with DRUV Manager" : "Ready";
    status_.ShowText(status_text_);
    ApplyCommands();
    StartProbes();
}

INT_PTR HostWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto answer = frame_.Answer(message, wParam, [this] { OnCommand(ID_HELP_ABOUT); })) return *answer;
    switch (message) {
    case WM_INITDIALOG:
        Initialise();
        return FALSE;  // the list keeps the focus it was given
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_INSTRUMENTS && header->code == LVN_ITEMCHANGED) {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED)) OnSelectionChanged();
        }
        return FALSE;
    }
    case WM_INITMENUPOPUP:
        ApplyCommands();
        return TRUE;
    case WM_MENUSELECT:
        ShowMenuTip(LOWORD(wParam));
        return TRUE;
    case WM_EXITMENULOOP:
        status_.ShowText(status_text_);
        return TRUE;
    case kProgressMessage:
        OnProgress();
        return TRUE;
    case kTransferEndedMessage:
        OnTransferEnded(std::unique_ptr<TransferEnded>(reinterpret_cast<TransferEnded*>(lParam)));
        return TRUE;
    case kProbeEndedMessage:
        OnProbeEnded(std::unique_ptr<ProbeEnded>(reinterpret_cast<ProbeEnded*>(lParam)));
        return TRUE;
    case kBackUpStepEndedMessage:
        OnBackUpStepEnded(std::unique_ptr<BackUpStepEnded>(reinterpret_cast<BackUpStepEnded*>(lParam)));
        return TRUE;
    case kRunDeferredMessage:
        RunDeferred();
        return TRUE;
    case WM_CLOSE:
        Close();
        return TRUE;
    default:
        return FALSE;
    }
}

HostState HostWindow::State() const {
    HostState state;
    state.transferRunning = transfer_running_;
    state.instrumentSelected = session_ != nullptr;
    if (selected_ >= 0)
        if (const druvhost::ProjectEntry* entry = StoredEntry(static_cast<size_t>(selected_)))
            state.selectedHoldsDumps = druvhost::SavedItemsWithDumps(entry->filterData) > 0;
    state.instruments = devices_.size();
    state.syxFiles = true;
    return state;
}

void HostWindow::ApplyCommands() {
    const HostState state = State();
    HMENU menu = GetMenu(window_);
    for (const CommandId& entry : kCommandIds) {
        const bool enabled = IsEnabled(entry.command, state);
        EnableMenuItem(menu, entry.id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    for (size_t i = 0; i < recent_shown_; ++i)
        EnableMenuItem(menu, ID_FILE_RECENT_FIRST + static_cast<UINT>(i),
                       MF_BYCOMMAND | (IsEnabled(HostCommand::OpenRecent, state) ? MF_ENABLED : MF_GRAYED));
    HWND toolbar = GetDlgItem(window_, kFrameToolbarId);
    EnableFrameToolbarButton(toolbar, ID_INSTRUMENT_RECEIVE, IsEnabled(HostCommand::Receive, state));
    EnableFrameToolbarButton(toolbar, ID_INSTRUMENT_TRANSMIT, IsEnabled(HostCommand::Transmit, state));
    EnableFrameToolbarButton(toolbar, ID_INSTRUMENT_CANCEL, IsEnabled(HostCommand::Cancel, state));
    EnableFrameToolbarButton(toolbar, ID_INSTRUMENT_BACK_UP_ALL, IsEnabled(HostCommand::BackUpAll, state));
    EnableWindow(GetDlgItem(window_, IDC_CONFIGURATION), IsEnabled(HostCommand::Receive, state));
    EnableWindow(GetDlgItem(window_, IDC_INSTRUMENTS), !transfer_running_);
}

void HostWindow::ShowMenuTip(UINT id) {
    HostCommand command;
    if (!CommandOf(static_cast<int>(id), command)) return;
    status_.ShowText(TextOf(command).toolTip);
}

void HostWindow::OnCommand(int id) {
    HostCommand command;
    if (!CommandOf(id, command)) return;  // IDOK and IDCANCEL among them: Enter and Escape close nothing
    // Keys arrive whether or not their command may be chosen now.
    if (!IsEnabled(command, State())) return;
    switch (command) {
        case HostCommand::New: NewProject(); break;
        case HostCommand::Open: ChooseAndOpen(); break;
        case HostCommand::Save: Save(); break;
        case HostCommand::SaveAs: SaveAs(); break;
        case HostCommand::OpenRecent: OpenRecent(static_cast<size_t>(id - ID_FILE_RECENT_FIRST)); break;
        case HostCommand::Exit: Close(); break;
        case HostCommand::Receive: StartTransfer(false); break;
        case HostCommand::Transmit: StartTransfer(true); break;
        case HostCommand::Cancel: CancelWork(); break;
        case HostCommand::ImportSyx: ImportSyx(); break;
        case HostCommand::ExportSyx: ExportSyx(); break;
        case HostCommand::BackUpAll: StartBackUpAll(); break;
        case HostCommand::Detect:
            KeepPageChoices();
            StartProbes();
            break;
        case HostCommand::Manual: {
            const std::wstring manual = WideText(program_folder_ + "\\" + kManualFileName);
            const std::wstring folder = WideText(program_folder_);
            ShellExecuteW(window_, L"open", manual.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
            break;
        }
        case HostCommand::About:
            ShowAboutBox(window_, module_,
                         {"About DRUV Host", IDR_HOST_ICON, std::string("DRUV Host Version ") + DRUV_HOST_VERSION,
                          IDB_ABOUT_FIRST, IDB_ABOUT_SECOND});
            break;
    }
}

// --- The project

bool HostWindow::MayLetGoOfProject() {
    KeepPageChoices();
    return MayLetGo(
        document_,
        [this](const std::string& question) {
            switch (ShowMessageBox(question.c_str(), kProgramName, MessageIcon::Question,
                                   MessageButtons::YesNoCancel, window_)) {
                case MessageAnswer::Yes: return UnsavedAnswer::Save;
                case MessageAnswer::No: return UnsavedAnswer::DontSave;
                default: return UnsavedAnswer::Cancel;
            }
        },
        [this] { return Save(); });
}

void HostWindow::NewProject() {
    if (!MayLetGoOfProject()) return;
    WhenSessionFree([this] {
        CloseSelected();
        document_.New();
        ShowReceiveDates();
        OpenSelected();
        ShowTitle();
        StartProbes();
    });
}

void HostWindow::ChooseAndOpen() {
    if (!MayLetGoOfProject()) return;
    const std::string path = ChooseFileToOpen(window_, kProjectFilter, "dhp", nullptr);
    if (path.empty()) return;
    WhenSessionFree([this, path] {
        if (OpenPath(path)) StartProbes();
    });
}

void HostWindow::OpenRecent(size_t index) {
    if (index >= recent_.Paths().size() || !MayLetGoOfProject()) return;
    const std::string path = recent_.Paths()[index];
    WhenSessionFree([this, path] {
        if (OpenPath(path)) {
            StartProbes();
            return;
        }
        // A project that cannot be opened any more leaves the list.
        recent_.Remove(path);
        recent_.Store(registry_);
        ShowRecentProjects();
    });
}

bool HostWindow::OpenPath(const std::string& path) {
    HostDocument opened;
    std::string error;
    if (!opened.Open(path, error)) {
        ShowError(window_, "The project cannot be opened: " + error);
        return false;
    }
    CloseSelected();
    document_ = std::move(opened);
    Remember(path);
    ShowReceiveDates();
    // The project's own first instrument comes up, not the one of the last.
    for (size_t i = 0; i < devices_.size(); ++i)
        if (StoredEntry(i) != nullptr) {
            selected_ = static_cast<int>(i);
            list_.Select(selected_);
            break;
        }
    OpenSelected();
    ShowTitle();
    return true;
}

bool HostWindow::Save() {
    if (transfer_running_) return false;
    KeepPageChoices();
    if (!document_.HasPath()) return SaveAs();
    std::string error;
    if (!document_.Save(error)) {
        ShowError(window_, "The project could not be saved: " + error);
        return false;
    }
    Remember(document_.Path());
    ShowTitle();
    return true;
}

bool HostWindow::SaveAs() {
    if (transfer_running_) return false;
    KeepPageChoices();
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.filter = kProjectFilter;
    request.defaultExtension = "dhp";
    request.initialName = document_.Name() + ".dhp";
    request.flags = kFileDialogOverwritePrompt | kFileDialogPathMustExist | kFileDialogHideReadOnly;
    request.owner = window_;
    const FileDialogResult chosen = ShowFileDialog(request);
    if (chosen.outcome != FileDialogOutcome::Chosen || chosen.paths.empty()) return false;
    std::string error;
    if (!document_.SaveAs(chosen.paths.front(), error)) {
        ShowError(window_, "The project could not be saved: " + error);
        return false;
    }
    Remember(document_.Path());
    ShowTitle();
    return true;
}

// A close while work runs cancels it and closes once it has ended: the
// window does not wait for the transfer thread here.
void HostWindow::Close() {
    if (transfer_running_ || probing_) {
        close_pending_ = true;
        CancelWork();
        return;
    }
    close_pending_ = false;
    if (!MayLetGoOfProject()) return;
    CloseSelected();
    DestroyWindow(window_);
}

void HostWindow::ShowTitle() { SetWindowTextW(window_, WideText(document_.Title()).c_str()); }

void HostWindow::Remember(const std::string& path) {
    recent_.Add(path);
    recent_.Store(registry_);
    ShowRecentProjects();
}

// The recent projects stand between Save As... and Exit, with a separator
// of their own after them.
void HostWindow::ShowRecentProjects() {
    HMENU file = GetSubMenu(GetMenu(window_), 0);
    constexpr UINT kFirstPlace = 5;  // after New, Open, Save, Save As and the separator
    for (size_t i = 0; i < recent_shown_; ++i)
        DeleteMenu(file, ID_FILE_RECENT_FIRST + static_cast<UINT>(i), MF_BYCOMMAND);
    if (recent_shown_ > 0) DeleteMenu(file, kFirstPlace, MF_BYPOSITION);
    recent_shown_ = recent_.Paths().size();
    for (size_t i = 0; i < recent_shown_; ++i) {
        const std::wstring label = WideText(RecentProjectLabel(i, recent_.Paths()[i]));
        InsertMenuW(file, kFirstPlace + static_cast<UINT>(i), MF_BYPOSITION | MF_STRING,
                    ID_FILE_RECENT_FIRST + i, label.c_str());
    }
    if (recent_shown_ > 0)
        InsertMenuW(file, kFirstPlace + static_cast<UINT>(recent_shown_), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    DrawMenuBar(window_);
}

// --- The instruments

void HostWindow::LoadInstruments() {
    devices_ = druvhost::InstalledDevices(registry_);
    list_.Clear();
    for (const druvhost::InstalledDevice& device : devices_) list_.Add(device.name, OnlineLight::Unknown, "");
    ShowReceiveDates();
}

const druvhost::ProjectEntry* HostWindow::StoredEntry(size_t instrument) const {
    if (instrument >= devices_.size()) return nullptr;
    return document_.Project().Find(ToClassId(devices_[instrument].classId));
}

void HostWindow::ShowReceiveDates() {
    const int64_t offset = LocalUtcOffset();
    for (size_t i = 0; i < devices_.size(); ++i) {
        const druvhost::ProjectEntry* entry = StoredEntry(i);
        list_.SetReceived(static_cast<int>(i), ReceiveDateText(entry ? entry->receivedAt : 0, offset));
    }
}

void HostWindow::OnSelectionChanged() {
    const int row = list_.Selected();
    if (row < 0 || row == selected_ || transfer_running_) return;
    WhenSessionFree([this] {
        const int now = list_.Selected();
        if (now < 0 || now == selected_) return;
        KeepPageChoices();
        CloseSelected();
        selected_ = now;
        OpenSelected();
    });
}

void HostWindow::OpenSelected() {
    if (selected_ < 0) selected_ = list_.Selected();
    if (selected_ < 0 || static_cast<size_t>(selected_) >= devices_.size()) return;
    const druvhost::InstalledDevice& device = devices_[static_cast<size_t>(selected_)];
    const druvhost::ProjectEntry* stored = StoredEntry(static_cast<size_t>(selected_));
    auto session = std::make_unique<druvhost::FilterSession>(device);
    std::string error;
    if (!session->Open(stored ? &stored->filterData : nullptr, {}, error)) {
        status_text_ = device.name + ": " + error;
        status_.ShowText(status_text_);
        ApplyCommands();
        return;
    }
    session_ = std::move(session);
    quiet_from_ = SystemClock().TickCount() + kPageDetectionSettleMs;
    if (!page_.Open(window_, page_area_, session_->Filter())) {
        status_text_ = "The editor page of " + device.name + " cannot be shown";
        status_.ShowText(status_text_);
    }
    // What the filter holds before the musician changes anything: a device
    // the project does not hold yet joins it only once that differs.
    std::string unused;
    opened_bytes_.clear();
    session_->Save(opened_bytes_, unused);
    FillConfigurations();
    ApplyCommands();
}

void HostWindow::CloseSelected() {
    page_.Close();
    session_.reset();
    SendDlgItemMessageW(window_, IDC_CONFIGURATION, CB_RESETCONTENT, 0, 0);
    ApplyCommands();
}

// The page's port, ID, channel and delay choices into the project: a device
// the project holds is stored again (a change only when its bytes differ),
// one it does not hold only once the musician changed something.
void HostWindow::KeepPageChoices() {
    if (session_ == nullptr || selected_ < 0) return;
    page_.Apply();
    const druvhost::ClassId id = ToClassId(devices_[static_cast<size_t>(selected_)].classId);
    std::vector<uint8_t> bytes;
    std::string error;
    if (!session_->Save(bytes, error)) {
        ShowError(window_, error);
        return;
    }
    if (document_.Project().Find(id) == nullptr && bytes == opened_bytes_) return;
    document_.Put(id, bytes);
    ShowTitle();
}

void HostWindow::FillConfigurations() {
    HWND box = GetDlgItem(window_, IDC_CONFIGURATION);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    if (session_ == nullptr) return;
    for (const std::string& name : DataTypeNames(session_->Services()))
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(name).c_str()));
    SendMessageW(box, CB_SETCURSEL, 0, 0);
}

uint32_t HostWindow::ChosenMask(std::string& configuration) const {
    HWND box = GetDlgItem(window_, IDC_CONFIGURATION);
    const LRESULT chosen = SendMessageW(box, CB_GETCURSEL, 0, 0);
    const int index = chosen == CB_ERR ? 0 : static_cast<int>(chosen);
    wchar_t name[256] = {};
    if (SendMessageW(box, CB_GETLBTEXTLEN, index, 0) < 255)
        SendMessageW(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(name));
    configuration = Utf8Text(name);
    // The first entry is all of them; entry n is configuration n.
    return index == 0 ? 0u : 1u << (index - 1);
}

void HostWindow::WhenSessionFree(std::function<void()> action) {
    if (!probing_ && !transfer_running_ && deferred_.empty()) {
        action();
        return;
    }
    stop_probes_.store(true, std::memory_order_release);
    deferred_.push_back(std::move(action));
}

// In the order they were asked for; an action that starts work leaves the
// rest for its end.
void HostWindow::RunDeferred() {
    while (!deferred_.empty() && !probing_ && !transfer_running_) {
        std::function<void()> action = std::move(deferred_.front());
        deferred_.pop_front();
        action();
    }
}

// --- Work on the transfer thread

template <typename Result>
void HostWindow::Post(UINT message, std::unique_ptr<Result> result) {
    if (PostMessageW(window_, message, 0, reinterpret_cast<LPARAM>(result.get()))) result.release();
}

void HostWindow::BeginRunning(const std::string& text) {
    transfer_running_ = true;
    stop_probes_.store(true, std::memory_order_release);
    mailbox_.Reset();
    transfer_start_ = std::chrono::steady_clock::now();
    status_.SetRunning(true);
    status_text_ = text;
    status_.ShowText(text);
    ApplyCommands();
}

void HostWindow::EndRunning(const std::string& text) {
    transfer_running_ = false;
    status_.SetRunning(false);
    status_text_ = text;
    status_.ShowText(text);
    ApplyCommands();
}

// After every transfer the lights are asked anew, unless the window is to
// close; called once the boxes about the transfer have been answered.
void HostWindow::AfterWork() {
    if (close_pending_) {
        PostMessageW(window_, WM_CLOSE, 0, 0);
        return;
    }
    if (!deferred_.empty()) {
        PostMessageW(window_, kRunDeferredMessage, 0, 0);
        return;
    }
    StartProbes();
}

// After the probes under way and any instrument change asked for before:
// the transfer is the one of the instrument the list shows.
void HostWindow::StartTransfer(bool transmit) {
    WhenSessionFree([this, transmit] {
        if (!transfer_running_ && session_ != nullptr) StartTransferNow(transmit);
    });
}

void HostWindow::StartTransferNow(bool transmit) {
    KeepPageChoices();
    auto ended = std::make_unique<TransferEnded>();
    ended->transmit = transmit;
    ended->mask = ChosenMask(ended->configuration);
    const std::string name = devices_[static_cast<size_t>(selected_)].name;
    BeginRunning((transmit ? "Transmitting " : "Receiving ") + name);
    druvhost::FilterSession* session = session_.get();
    TransferEnded* result = ended.release();
    const uint32_t quietFrom = quiet_from_;
    worker_.Queue([this, session, result, quietFrom] {
        std::unique_ptr<TransferEnded> owned(result);
        // The page, and the probe before it, ask the instrument whether it
        // answers by requesting a dump; while the instrument is still sending
        // those answers, a receive's requests would wait behind them and time
        // out. Whole messages come in at once, so an input quiet for longer
        // than the longest answer takes on the wire has nothing on its way.
        const uint32_t now = SystemClock().TickCount();
        if (TickIsAfter(quietFrom, now)) SystemClock().Sleep(quietFrom - now);
        session->WaitForQuietInput(DetectAnswerMs(session->Definition()) + kQuietMarginMs, kLongestQuietWaitMs);
        WindowProgress progress(mailbox_, window_, kProgressMessage);
        owned->outcome = session->Transfer(owned->transmit, owned->mask, &progress, owned->reported, owned->error);
        Post(kTransferEndedMessage, std::move(owned));
    });
}

void HostWindow::OnTransferEnded(std::unique_ptr<TransferEnded> ended) {
    OnProgress();
    const druvhost::InstalledDevice& device = devices_[static_cast<size_t>(selected_)];
    if (ended->transmit) {
        std::vector<std::string> failures = druvhost::TransmitFailures(ended->reported);
        if (ended->outcome == druvhost::TransferOutcome::Failed) failures.insert(failures.begin(), ended->error);
        if (ended->outcome == druvhost::TransferOutcome::Cancelled) {
            EndRunning("The transmit was cancelled");
        } else if (!failures.empty()) {
            EndRunning("The transmit failed");
            ShowError(window_, Lines("The transmit failed:", failures));
        } else {
            EndRunning("Transmitted " + ended->configuration + " to " + device.name);
        }
        AfterWork();
        return;
    }
    // A receive is kept whole or not at all; the filter, which holds what
    // came in, starts again from the project.
    std::vector<uint8_t> bytes;
    std::string error = ended->error;
    std::vector<std::string> failures;
    if (ended->outcome == druvhost::TransferOutcome::Done && session_->Save(bytes, error)) {
        failures = druvhost::ReceiveFailures(ended->reported,
                                             druvhost::SelectedItems(session_->Definition(), ended->mask, bytes));
        if (failures.empty() && druvhost::SavedItemsWithDumps(bytes) == 0)
            failures.push_back("nothing was received from the instrument");
    } else if (ended->outcome != druvhost::TransferOutcome::Cancelled) {
        failures.push_back(error);
    }
    if (ended->outcome == druvhost::TransferOutcome::Done && failures.empty()) {
        document_.PutReceived(ToClassId(device.classId), bytes, static_cast<int64_t>(std::time(nullptr)));
        ShowReceiveDates();
        ShowTitle();
        EndRunning("Received " + ended->configuration + " from " + device.name);
        AfterWork();
        return;
    }
    CloseSelected();
    OpenSelected();
    if (ended->outcome == druvhost::TransferOutcome::Cancelled) {
        EndRunning("The receive was cancelled; the project was not changed");
    } else {
        EndRunning("The receive failed; the project was not changed");
        ShowError(window_, Lines("The receive failed; the project was not changed:", failures));
    }
    AfterWork();
}

void HostWindow::StartProbes() {
    if (probing_ || transfer_running_ || devices_.empty()) return;
    probing_ = true;
    stop_probes_.store(false, std::memory_order_release);
    std::vector<druvhost::InstalledDevice> devices = devices_;
    std::vector<std::vector<uint8_t>> saved(devices.size());
    std::vector<bool> hasSaved(devices.size(), false);
    for (size_t i = 0; i < devices.size(); ++i)
        if (const druvhost::ProjectEntry* entry = StoredEntry(i)) {
            saved[i] = entry->filterData;
            hasSaved[i] = true;
        }
    druvhost::FilterSession* session = session_.get();
    const int selected = session != nullptr ? selected_ : -1;
    worker_.Queue([this, devices, saved, hasSaved, session, selected] {
        for (size_t i = 0; i < devices.size(); ++i) {
            if (stop_probes_.load(std::memory_order_acquire)) break;
            auto ended = std::make_unique<ProbeEnded>();
            ended->instrument = static_cast<int>(i);
            const std::vector<uint8_t>* stored = hasSaved[i] ? &saved[i] : nullptr;
            std::string error;
            if (static_cast<int>(i) == selected) {
                // The selected instrument's ports are the session's: asked there.
                const druvhost::SavedSettings settings = druvhost::ProbeSettings(session->Definition(), stored);
                ended->detection = session->Probe(settings.deviceId, settings.channel);
                ended->asked = true;
            } else {
                ended->asked = ProbeInstalled(devices[i], stored, ended->detection, error);
            }
            Post(kProbeEndedMessage, std::move(ended));
        }
        Post(kProbeEndedMessage, std::make_unique<ProbeEnded>());
    });
}

void HostWindow::OnProbeEnded(std::unique_ptr<ProbeEnded> ended) {
    if (ended->instrument >= 0) {
        list_.SetLight(ended->instrument, LightOf(ended->asked, ended->detection));
        return;
    }
    probing_ = false;
    if (!deferred_.empty()) PostMessageW(window_, kRunDeferredMessage, 0, 0);
    if (close_pending_ && !transfer_running_) PostMessageW(window_, WM_CLOSE, 0, 0);
}

void HostWindow::StartBackUpAll() {
    KeepPageChoices();
    WhenSessionFree([this] {
        if (transfer_running_) return;
        // Each instrument's ports are opened in turn by its own session.
        CloseSelected();
        std::vector<std::string> names;
        for (const druvhost::InstalledDevice& device : devices_) names.push_back(device.name);
        back_up_ = std::make_unique<BackUpAll>(names);
        back_up_cancelled_.store(false, std::memory_order_release);
        BeginRunning("Backing up all instruments");
        RunBackUpStep();
    });
}

void HostWindow::RunBackUpStep() {
    const std::optional<BackUpStep> step = back_up_->Next();
    if (!step) {
        const std::string summary = BackUpSummary(*back_up_);
        back_up_.reset();
        OpenSelected();
        EndRunning("Back Up All has ended");
        ShowMessageBox(summary.c_str(), "Back Up All", MessageIcon::Information, MessageButtons::Ok, window_);
        AfterWork();
        return;
    }
    const druvhost::InstalledDevice device = devices_[step->instrument];
    const druvhost::ProjectEntry* entry = StoredEntry(step->instrument);
    const bool hasSaved = entry != nullptr;
    const std::vector<uint8_t> saved = hasSaved ? entry->filterData : std::vector<uint8_t>();
    const BackUpStep now = *step;
    status_text_ = (now.kind == BackUpStepKind::Probe ? "Asking " : "Receiving ") + device.name;
    status_.ShowText(status_text_);
    mailbox_.Reset();
    transfer_start_ = std::chrono::steady_clock::now();
    worker_.Queue([this, device, hasSaved, saved, now] {
        auto ended = std::make_unique<BackUpStepEnded>();
        ended->kind = now.kind;
        ended->instrument = now.instrument;
        if (now.kind == BackUpStepKind::Probe) {
            ended->ran = ProbeInstalled(device, hasSaved ? &saved : nullptr, ended->detection, ended->error);
            Post(kBackUpStepEndedMessage, std::move(ended));
            return;
        }
        druvhost::FilterSession session(device);
        if (!session.Open(hasSaved ? &saved : nullptr, {}, ended->error)) {
            Post(kBackUpStepEndedMessage, std::move(ended));
            return;
        }
        ended->ran = true;
        {
            std::lock_guard<std::mutex> lock(back_up_session_mutex_);
            back_up_session_ = &session;
        }
        if (back_up_cancelled_.load(std::memory_order_acquire)) session.Cancel();
        // The first configuration; a definition without any has only "All".
        const std::vector<std::string> names = session.Configurations();
        const uint32_t mask = names.size() > 1 ? 1u : 0u;
        ended->configuration = names.size() > 1 ? names[1] : names.front();
        WindowProgress progress(mailbox_, window_, kProgressMessage);
        std::vector<std::string> reported;
        std::string error;
        const druvhost::TransferOutcome outcome = session.Transfer(false, mask, &progress, reported, error);
        {
            std::lock_guard<std::mutex> lock(back_up_session_mutex_);
            back_up_session_ = nullptr;
        }
        if (outcome == druvhost::TransferOutcome::Cancelled) {
            ended->cancelled = true;
        } else if (outcome == druvhost::TransferOutcome::Failed) {
            ended->failures.push_back(error);
        } else if (!session.Save(ended->bytes, error)) {
            ended->failures.push_back(error);
        } else {
            ended->failures =
                druvhost::ReceiveFailures(reported, druvhost::SelectedItems(session.Definition(), mask, ended->bytes));
            if (ended->failures.empty() && druvhost::SavedItemsWithDumps(ended->bytes) == 0)
                ended->failures.push_back("nothing was received from the instrument");
        }
        Post(kBackUpStepEndedMessage, std::move(ended));
    });
}

void HostWindow::OnBackUpStepEnded(std::unique_ptr<BackUpStepEnded> ended) {
    OnProgress();
    if (back_up_ == nullptr) return;
    const bool cancelled = back_up_cancelled_.load(std::memory_order_acquire);
    if (ended->kind == BackUpStepKind::Probe) {
        list_.SetLight(static_cast<int>(ended->instrument), LightOf(ended->ran, ended->detection));
        if (!cancelled) {
            if (ended->ran)
                back_up_->ProbeEnded(ended->detection);
            else
                back_up_->StepFailed(ended->error);
        }
    } else if (!cancelled) {
        if (!ended->ran) {
            back_up_->StepFailed(ended->error);
        } else if (ended->cancelled) {
            back_up_->Cancel();
        } else {
            if (ended->failures.empty()) {
                document_.PutReceived(ToClassId(devices_[ended->instrument].classId), ended->bytes,
                                      static_cast<int64_t>(std::time(nullptr)));
                ShowReceiveDates();
                ShowTitle();
            }
            back_up_->ReceiveEnded(ended->configuration, ended->failures);
        }
    }
    RunBackUpStep();
}

void HostWindow::CancelWork() {
    stop_probes_.store(true, std::memory_order_release);
    if (back_up_ != nullptr) {
        back_up_cancelled_.store(true, std::memory_order_release);
        back_up_->Cancel();
        std::lock_guard<std::mutex> lock(back_up_session_mutex_);
        if (back_up_session_ != nullptr) back_up_session_->Cancel();
        return;
    }
    if (transfer_running_ && session_ != nullptr) session_->Cancel();
}

void HostWindow::OnProgress() {
    const ProgressReport report = mailbox_.Take();
    if (!transfer_running_ || report.reports == 0) return;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - transfer_start_).count();
    if (!report.text.empty()) status_.ShowText(report.text);
    status_.ShowFigures(FiguresFor(report.done, report.total, seconds));
}

}  // namespace windowhost
