// Receiving dumps: for each selected item the template's request loops run
// one after another (receive_loop.cpp), inner loops inside outer ones
// (item_loops.h), while the input handlers fill the item's buffer.
#include <atomic>
#include <cstdint>
#include <cstdio>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "platform/clock.h"
#include "plugin/engine/abortable_wait.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/item_end.h"
#include "plugin/engine/item_loops.h"
#include "plugin/engine/item_selection.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/previous_dump.h"
#include "plugin/engine/receive_loop.h"
#include "plugin/engine/receive_window.h"
#include "plugin/engine/template_checksums.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_progress.h"
#include "plugin/engine/transfer_state.h"
#include "plugin/engine/transfer_texts.h"

namespace {

constexpr uint32_t kAfterPreRequestMilliseconds = 250;

// No window open, no write position, nothing counted.
void ClearReceiveState(TransferState& state) {
    CloseReceiveWindow(state);
    state.write_position.store(nullptr, std::memory_order_release);
    state.bytes_received.store(0, std::memory_order_release);
    state.space_left.store(0, std::memory_order_release);
    state.data_received.store(false, std::memory_order_release);
}

bool Fail(TransferState& state) {
    ClearReceiveState(state);
    return false;
}

// The item is left as it is when its dump cannot be copied aside: a receive
// that then failed would lose it.
bool KeepPreviousDump(PreviousDump& previous, const DumpItem& item, IMPProgressSink* sink, void* sinkContext,
                      uint32_t& done, uint32_t& total, const TransferState& state, Clock& clock) {
    if (previous.Keep(item)) return true;
    // A nonzero request length: no manual-dump prompt for this reporter.
    TransferProgress progress(sink, sinkContext, done, total, item.Name().c_str(), state.abort, true, 1, clock);
    char text[kMaxProgressTextLength + 1];
    std::snprintf(text, sizeof text, kNoMemoryToKeepDumpFormat, item.Name().c_str());
    progress.ShowMessage(text, 0);
    return false;
}

// `previous` keeps what the item held until its loops are done.
bool ReceiveItem(const TransferContext& context, DumpItem& item, const DRUVTemplate& dumpTemplate,
                 PreviousDump& previous, IMPProgressSink* sink, void* sinkContext, uint32_t& done, uint32_t& total) {
    TransferState& state = context.state;
    Clock& clock = context.data.TransferClock();
    if (!KeepPreviousDump(previous, item, sink, sinkContext, done, total, state, clock)) return false;
    state.write_position.store(item.Data(), std::memory_order_release);

    // An empty Request makes this a manual dump: the reporter shows its prompt.
    TransferProgress progress(sink, sinkContext, done, total, item.Name().c_str(), state.abort, true,
                              static_cast<uint32_t>(dumpTemplate.Request().size()), clock);
    if (!dumpTemplate.PreRequest().empty()) {
        if (!SendMessageList(context, state.host_link, &dumpTemplate, dumpTemplate.PreRequest())) return false;
        if (!SleepUnlessAborted(clock, kAfterPreRequestMilliseconds, state.abort)) return false;
    }

    item.Length.store(0, std::memory_order_release);
    StartItemLoops(state, dumpTemplate);
    ItemReceive receive{context,
                        dumpTemplate,
                        item,
                        progress,
                        ItemLoopCount(dumpTemplate),
                        dumpTemplate.Extensions().csumVerify != 0,
                        DumpChecksumRule(dumpTemplate, context.device.FormatVersion())};
    int64_t expected = ExpectedLoopSize(dumpTemplate, receive.loopCount);
    for (int32_t loop = 0; loop < receive.loopCount; ++loop) {
        if (!ReceiveLoop(receive)) return false;
        progress.Advance(static_cast<uint32_t>(expected));
        StepItemLoop(state, dumpTemplate);
    }
    // The new dump is whole; a cancel in the item's closing pause keeps it.
    previous.Drop();

    // No loop is open any more: the post-request and the pause store nothing.
    return EndItem(context, dumpTemplate, dumpTemplate.PostRequest());
}

}  // namespace

bool ReceiveDumps(const TransferContext& context, uint32_t mask, IMPProgressSink* sink, void* sinkContext) {
    const DRUVDevice& device = context.device;
    DRUVData& data = context.data;
    TransferState& state = context.state;
    ClearReceiveState(state);
    Clock& clock = data.TransferClock();

    uint32_t done = 0;
    uint32_t total = 0;
    const char* portError = nullptr;
    if (data.OutPort.load(std::memory_order_acquire) == 0)
        portError = kNoOutPortText;
    else if (data.InPort.load(std::memory_order_acquire) == 0)
        portError = kNoInPortText;
    if (portError) {
        // A nonzero request length: no manual-dump prompt for this reporter.
        TransferProgress progress(sink, sinkContext, done, total, "", state.abort, true, 1, clock);
        ReportPortError(progress, total, portError);
        return false;
    }

    SelectItems(device, data, mask);
    for (const auto& item : data.Items)
        if (item->Selected) total += item->Capacity();

    for (const auto& item : data.Items) {
        if (!item->Selected) continue;
        const DRUVTemplate* dumpTemplate = device.FindTemplate(item->Name().c_str());
        if (!dumpTemplate || !item->Data()) continue;
        PreviousDump previous;
        if (!ReceiveItem(context, *item, *dumpTemplate, previous, sink, sinkContext, done, total)) {
            Fail(state);  // closes the window: no input handler writes into the buffer any more
            previous.Restore(*item);
            return false;
        }
    }
    ClearReceiveState(state);
    return true;
}
