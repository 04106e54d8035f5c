#include "manager/window/running_manager.h"

#include "manager/file_handover.h"
#include "platform/clock.h"
#include "platform/file_system.h"

namespace {

constexpr DWORD kLookAgainMs = 50;

struct Search {
    const std::wstring* name;
    HWND found;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (!GetPropW(window, search->name->c_str())) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

void MarkManagerWindow(HWND window, const std::wstring& instanceName) {
    if (!instanceName.empty()) SetPropW(window, instanceName.c_str(), reinterpret_cast<HANDLE>(1));
}

void UnmarkManagerWindow(HWND window, const std::wstring& instanceName) {
    if (!instanceName.empty() && IsWindow(window)) RemovePropW(window, instanceName.c_str());
}

HWND FindManagerWindow(const std::wstring& instanceName) {
    if (instanceName.empty()) return nullptr;
    Search search{&instanceName, nullptr};
    EnumWindows(&VisitWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool HandFilesToRunningManager(const std::wstring& instanceName, const std::vector<std::string>& paths, DWORD waitMs) {
    std::vector<std::string> absolute;
    for (const std::string& path : paths) absolute.push_back(AbsolutePath(path));
    std::vector<uint8_t> bytes = EncodeFileHandover(absolute);
    if (bytes.empty()) return false;

    Clock& clock = SystemClock();
    const uint32_t start = clock.TickCount();
    HWND window = FindManagerWindow(instanceName);
    while (!window) {
        if (clock.TickCount() - start >= waitMs) return false;
        clock.Sleep(kLookAgainMs);
        window = FindManagerWindow(instanceName);
    }
    // The running manager may come to the front only if this start, which
    // the person just made, lets it.
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    AllowSetForegroundWindow(processId);
    COPYDATASTRUCT data{kFileHandoverTag, static_cast<DWORD>(bytes.size()), bytes.data()};
    DWORD_PTR answer = FALSE;
    return SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               kHandOverAnswerMs, &answer) != 0 &&
           answer == TRUE;
}

bool ReadHandedOverFiles(LPARAM copyData, std::vector<std::string>& paths) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(copyData);
    if (!data || data->dwData != kFileHandoverTag) return false;
    return DecodeFileHandover(static_cast<const uint8_t*>(data->lpData), data->cbData, paths);
}
