#include "druvhost/program/terminal_transfer.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "druvhost/cli/progress_line.h"
#include "druvhost/program/console.h"
#include "platform/utf16_text.h"

namespace druvhost {

namespace {

std::string Utf8(const WCHAR* text) {
    if (text == nullptr) return std::string();
    const char16_t* units = reinterpret_cast<const char16_t*>(text);
    size_t length = 0;
    while (units[length] != 0) ++length;
    return Utf16ToUtf8(units, length);
}

// The plug-in's progress reports on the terminal.
class TerminalProgress : public IMPProgressSink {
public:
    TerminalProgress() : line_(OutputIsTerminal()), start_(std::chrono::steady_clock::now()) {}
    virtual ~TerminalProgress() = default;

    HRESULT STDMETHODCALLTYPE Progress(void*, uint32_t done, uint32_t total, const WCHAR* text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (text != nullptr) text_ = Utf8(text);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        const std::string out = line_.Update(text_, done, total, seconds);
        if (!out.empty()) WriteOut(out);
        return S_OK;
    }
    void Finish() {
        std::lock_guard<std::mutex> lock(mutex_);
        WriteOut(line_.Finish());
    }

private:
    std::mutex mutex_;
    ProgressLine line_;
    std::string text_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace

TransferOutcome RunTerminalTransfer(FilterSession& session, bool transmit, uint32_t mask,
                                    std::vector<std::string>& reported, std::string& error) {
    TerminalProgress display;
    TransferOutcome outcome = TransferOutcome::Done;
    bool cancelled = false;
    {
        CancelOnCtrlC cancel(session.Services());
        // A host runs transfers on a thread of its own; this one only waits.
        std::thread worker([&] { outcome = session.Transfer(transmit, mask, &display, reported, error); });
        worker.join();
        cancelled = cancel.Cancelled();
    }
    display.Finish();
    return cancelled ? TransferOutcome::Cancelled : outcome;
}

}  // namespace druvhost
