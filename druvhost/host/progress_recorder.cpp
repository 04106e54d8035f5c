#include "druvhost/host/progress_recorder.h"

namespace druvhost {

std::string ProgressRecord::Ascii() const {
    std::string ascii;
    for (char16_t unit : text) ascii += unit < 0x80 ? static_cast<char>(unit) : '?';
    return ascii;
}

HRESULT ProgressRecorder::Progress(void* context, uint32_t bytesDone, uint32_t bytesTotal, const WCHAR* text) {
    ProgressRecord record{context, bytesDone, bytesTotal, text != nullptr, {}};
    for (const WCHAR* unit = text; unit && *unit; ++unit) record.text += static_cast<char16_t>(*unit);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.push_back(std::move(record));
    }
    return display_ != nullptr ? display_->Progress(context, bytesDone, bytesTotal, text) : S_OK;
}

std::vector<ProgressRecord> ProgressRecorder::Records() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return records_;
}

void ProgressRecorder::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.clear();
}

}  // namespace druvhost
