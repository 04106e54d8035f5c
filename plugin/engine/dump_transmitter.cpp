// Transmitting stored dumps back to the instrument, item by item.
#include <atomic>
#include <cstdint>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "platform/clock.h"
#include "plugin/engine/abortable_wait.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/item_end.h"
#include "plugin/engine/item_loops.h"
#include "plugin/engine/item_selection.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/stored_data_sender.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_progress.h"
#include "plugin/engine/transfer_state.h"
#include "plugin/engine/transfer_texts.h"

namespace {

constexpr uint32_t kAfterPreTransmitMilliseconds = 300;

bool TransmitItem(const TransferContext& context, const DumpItem& item, const DRUVTemplate& dumpTemplate,
                  TransferProgress& progress) {
    TransferState& state = context.state;
    Clock& clock = context.data.TransferClock();
    StartItemLoops(state, dumpTemplate);
    if (!dumpTemplate.PreTransmit().empty()) {
        if (!SendMessageList(context, state.host_link, &dumpTemplate, dumpTemplate.PreTransmit())) return false;
        if (!SleepUnlessAborted(clock, kAfterPreTransmitMilliseconds, state.abort)) return false;
    }
    if (!SendStoredData(context, state.host_link, &dumpTemplate, item, progress)) return false;
    return EndItem(context, dumpTemplate, dumpTemplate.PostTransmit());
}

}  // namespace

bool TransmitDumps(const TransferContext& context, uint32_t mask, IMPProgressSink* sink, void* sinkContext) {
    const DRUVDevice& device = context.device;
    DRUVData& data = context.data;
    SelectItems(device, data, mask);
    uint32_t done = 0;
    uint32_t total = 0;
    TransferProgress progress(sink, sinkContext, done, total, "", context.state.abort, false, 0,
                              data.TransferClock());
    if (data.OutPort.load(std::memory_order_acquire) == 0) {
        ReportPortError(progress, total, kNoOutPortText);
        return false;
    }

    for (const auto& item : data.Items) {
        int32_t length = item->Length.load(std::memory_order_acquire);
        if (item->Selected && length > 0) total += static_cast<uint32_t>(length);
    }
    for (const auto& item : data.Items) {
        if (!item->Selected) continue;
        progress.SetName(item->Name().c_str());
        const DRUVTemplate* dumpTemplate = device.FindTemplate(item->Name().c_str());
        if (!dumpTemplate) continue;
        if (!TransmitItem(context, *item, *dumpTemplate, progress)) return false;
    }
    progress.Report(total, total, nullptr);
    return true;
}
