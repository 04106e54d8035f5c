#include "tools/druv_session/console_progress.h"

namespace {

// The host shows UTF-16; a terminal here gets ASCII, other units as '?'.
std::string Ascii(const WCHAR* text) {
    std::string result;
    for (; *text; ++text) result += *text < 0x80 ? static_cast<char>(*text) : '?';
    return result;
}

}  // namespace

HRESULT STDMETHODCALLTYPE ConsoleProgress::Progress(void*, uint32_t bytesDone, uint32_t bytesTotal,
                                                    const WCHAR* text) {
    done_.store(bytesDone, std::memory_order_release);
    if (text == nullptr) return S_OK;
    const std::string line = Ascii(text);
    // Status texts count bytes after a comma; a new line for each new step.
    const std::string step = line.substr(0, line.find(','));
    std::lock_guard<std::mutex> lock(mutex_);
    if (step == last_step_) return S_OK;
    last_step_ = step;
    messages_.fetch_add(1, std::memory_order_acq_rel);
    out_ << "    " << line << "\n" << std::flush;
    return S_OK;
}
