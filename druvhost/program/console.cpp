#include "druvhost/program/console.h"

#include <windows.h>

#include <cstdio>

#include "platform/utf16_text.h"
#include "plugin/abi/host_interfaces.h"

namespace druvhost {

namespace {

std::atomic<IMPServices*> g_services{nullptr};
std::atomic<bool> g_cancelled{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    g_cancelled.store(true);
    if (IMPServices* services = g_services.load()) services->Cancel();
    return TRUE;
}

void Write(DWORD which, FILE* stream, const std::string& text) {
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        const std::u16string wide = Utf8ToUtf16(text);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

}  // namespace

bool OutputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

void WriteOut(const std::string& text) { Write(STD_OUTPUT_HANDLE, stdout, text); }
void WriteError(const std::string& text) { Write(STD_ERROR_HANDLE, stderr, text); }

CancelOnCtrlC::CancelOnCtrlC(IMPServices* services) {
    g_cancelled.store(false);
    g_services.store(services);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

CancelOnCtrlC::~CancelOnCtrlC() {
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    g_services.store(nullptr);
}

bool CancelOnCtrlC::Cancelled() const { return g_cancelled.load(); }

}  // namespace druvhost
