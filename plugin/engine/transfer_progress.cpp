#include "plugin/engine/transfer_progress.h"

#include <cstdio>

#include "device/text_fields.h"
#include "platform/clock.h"
#include "plugin/engine/wide_text.h"

const char kManualDumpPrompt[] = "MANUAL DUMP! Trigger the dump when \"WAITING FOR MANUAL DUMP\" appears...";

namespace {

constexpr uint32_t kPauseStepMilliseconds = 100;
constexpr int kPromptPauseSteps = 30;
constexpr int kMessagePauseSteps = 15;

}  // namespace

TransferProgress::TransferProgress(IMPProgressSink* sink, void* context, uint32_t& bytesDone, uint32_t& total,
                                   const char* name, const std::atomic<bool>& abort, bool receiving,
                                   uint32_t requestLength, Clock& clock)
    : sink_(sink),
      context_(context),
      bytes_done_(bytesDone),
      total_(total),
      name_(CapText(name)),
      abort_(abort),
      receiving_(receiving),
      request_length_(requestLength),
      clock_(clock) {
    if (receiving_ && request_length_ == 0) {
        Report(bytes_done_, total_, kManualDumpPrompt);
        PauseUnlessAborted(kPromptPauseSteps);
    }
}

void TransferProgress::SetName(const char* name) { name_ = CapText(name); }

std::string TransferProgress::StatusText(uint32_t pending) const {
    uint32_t done = bytes_done_ + pending;
    // snprintf cuts at the buffer; a character it splits is dropped when the
    // text is widened.
    char text[kMaxProgressTextLength + 1];
    if (receiving_ && request_length_ == 0 && done == 0)
        std::snprintf(text, sizeof text, "WAITING FOR %s MANUAL DUMP...", name_.c_str());
    else
        std::snprintf(text, sizeof text, "%s %s, %u of %u bytes", receiving_ ? "RECEIVING" : "TRANSMITTING",
                      name_.c_str(), done, total_);
    return text;
}

void TransferProgress::Update(uint32_t pending) {
    Report(bytes_done_ + pending, total_, StatusText(pending).c_str());
}

void TransferProgress::Advance(uint32_t bytes) { bytes_done_ += bytes; }

void TransferProgress::ShowMessage(const char* text, uint32_t pending) {
    Report(bytes_done_ + pending, total_, text ? text : "");
    PauseUnlessAborted(kMessagePauseSteps);
}

void TransferProgress::Report(uint32_t bytesDone, uint32_t total, const char* text) {
    if (!sink_) return;
    if (!text) {
        sink_->Progress(context_, bytesDone, total, nullptr);
        return;
    }
    std::unique_ptr<WCHAR[]> wide = WidenText(text, kMaxProgressTextLength);
    if (!wide) return;  // no memory: the host misses one text, the transfer goes on
    sink_->Progress(context_, bytesDone, total, wide.get());
}

void TransferProgress::PauseUnlessAborted(int steps) {
    for (int i = 0; i < steps && !abort_.load(std::memory_order_acquire); ++i) clock_.Sleep(kPauseStepMilliseconds);
}
