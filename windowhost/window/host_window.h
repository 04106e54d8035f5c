// The window host's main window: the instrument list with its lights and
// receive dates, the selected instrument's editor page, menus, toolbar and
// status bar. What it decides comes from the core (windowhost/core); this
// class turns the musician's commands into work on the transfer thread and
// shows what comes back.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "druvhost/cli/installed_devices.h"
#include "druvhost/session/filter_session.h"
#include "platform/program_frame/frame_message_loop.h"
#include "platform/program_frame/program_frame.h"
#include "platform/registry_editor.h"
#include "windowhost/core/back_up_all.h"
#include "windowhost/core/host_commands.h"
#include "windowhost/core/host_document.h"
#include "windowhost/core/progress_mailbox.h"
#include "windowhost/core/recent_projects.h"
#include "windowhost/window/hosted_page.h"
#include "windowhost/window/instrument_list_view.h"
#include "windowhost/window/status_area.h"
#include "windowhost/window/transfer_worker.h"

namespace windowhost {

// Posted by the transfer thread.
constexpr UINT kProgressMessage = WM_APP + 1;
constexpr UINT kTransferEndedMessage = WM_APP + 2;
constexpr UINT kProbeEndedMessage = WM_APP + 3;
constexpr UINT kBackUpStepEndedMessage = WM_APP + 4;
// Posted to itself: run what waited for the probes to end.
constexpr UINT kRunDeferredMessage = WM_APP + 5;

struct TransferEnded;
struct ProbeEnded;
struct BackUpStepEnded;

class HostWindow {
public:
    // `registry`: where the installed instruments and the recent projects
    // are; `programFolder`: where the manual lies; `startProject`: the
    // project to open as the window opens (none when empty).
    HostWindow(RegistryEditor& registry, std::string programFolder, std::string startProject);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    bool Create(HINSTANCE module);
    void Show(int how);
    // Runs the message loop until the window is closed.
    int Run();
    HWND Window() const { return window_; }

private:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Initialise();
    void OnCommand(int id);
    HostState State() const;
    void ApplyCommands();
    void ShowMenuTip(UINT id);

    // The project.
    void NewProject();
    void ChooseAndOpen();
    void OpenRecent(size_t index);
    bool OpenPath(const std::string& path);
    bool Save();
    bool SaveAs();
    bool MayLetGoOfProject();
    void Close();
    void ShowTitle();
    void ShowRecentProjects();
    void Remember(const std::string& path);

    // The instruments.
    void LoadInstruments();
    void ShowReceiveDates();
    void OnSelectionChanged();
    void OpenSelected();
    void CloseSelected();
    void KeepPageChoices();
    void FillConfigurations();
    uint32_t ChosenMask(std::string& configuration) const;
    const druvhost::ProjectEntry* StoredEntry(size_t instrument) const;
    // Runs `action` now, or once the probes under way have stopped (they
    // may use the selected instrument's session) and the transfer under way
    // has ended, after the actions that waited before it.
    void WhenSessionFree(std::function<void()> action);

    // .syx files (host_window_syx.cpp): into the chosen configuration after
    // the preview, and out of it into one file or one per item.
    void ImportSyx();
    void ImportSyxNow(const std::string& path);
    void ExportSyx();
    void ExportSyxNow();

    // Work on the transfer thread.
    void RunDeferred();
    void StartTransfer(bool transmit);
    void StartTransferNow(bool transmit);
    void OnTransferEnded(std::unique_ptr<TransferEnded> ended);
    void StartProbes();
    void OnProbeEnded(std::unique_ptr<ProbeEnded> ended);
    void StartBackUpAll();
    void RunBackUpStep();
    void OnBackUpStepEnded(std::unique_ptr<BackUpStepEnded> ended);
    void CancelWork();
    void OnProgress();
    void BeginRunning(const std::string& text);
    void EndRunning(const std::string& text);
    void AfterWork();
    template <typename Result>
    void Post(UINT message, std::unique_ptr<Result> result);

    RegistryEditor& registry_;
    std::string program_folder_;
    std::string start_project_;
    HINSTANCE module_ = nullptr;
    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr;
    ProgramFrame frame_;
    FrameMessageLoop loop_{nullptr};
    InstrumentListView list_;
    StatusArea status_;
    RECT page_area_{};

    HostDocument document_;
    RecentProjects recent_;
    size_t recent_shown_ = 0;  // menu entries made for them
    std::vector<druvhost::InstalledDevice> devices_;
    int selected_ = -1;  // the instrument whose session and page are open
    std::unique_ptr<druvhost::FilterSession> session_;
    HostedPage page_;
    std::vector<uint8_t> opened_bytes_;  // what the selected filter saved as it opened
    uint32_t quiet_from_ = 0;  // the system's tick from which the page's instrument is quiet

    ProgressMailbox mailbox_;
    std::chrono::steady_clock::time_point transfer_start_;
    bool transfer_running_ = false;  // a transfer or Back Up All
    bool probing_ = false;
    std::atomic<bool> stop_probes_{false};
    std::deque<std::function<void()>> deferred_;
    bool close_pending_ = false;
    std::string status_text_;

    std::unique_ptr<BackUpAll> back_up_;
    // The session a step of Back Up All runs, for Cancel from this thread.
    std::mutex back_up_session_mutex_;
    druvhost::FilterSession* back_up_session_ = nullptr;
    std::atomic<bool> back_up_cancelled_{false};

    // Declared last so that it is destroyed first: the jobs still queued
    // use the members above.
    TransferWorker worker_;
};

}  // namespace windowhost
