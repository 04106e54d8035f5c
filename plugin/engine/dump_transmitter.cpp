// Transmitting stored dumps back to the instrument, item by item.
#include <atomic>
#include <cstdint>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "platform/clock.h"
#include "plugin/engine/abortable_wait.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/item_end.h"
#include "plugin/engine/item_selection.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/stored_data_sender.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_progress.h"
#include "plugin/engine/transfer_texts.h"

namespace {

constexpr uint32_t kAfterPreTransmitMilliseconds = 300;

bool TransmitItem(DRUVDevice& device, DRUVData& data, const DumpItem& item, const DRUVTemplate& dumpTemplate,
                  TransferProgress& progress) {
    TransferState& state = device.transfer;
    Clock& clock = data.TransferClock();
    state.loop_value = dumpTemplate.LoopStart();
    if (!dumpTemplate.PreTransmit().empty()) {
        if (!SendMessageList(device, data, state.host_link, &dumpTemplate, dumpTemplate.PreTransmit())) return false;
        if (!SleepUnlessAborted(clock, kAfterPreTransmitMilliseconds, state.abort)) return false;
    }
    if (!SendStoredData(device, data, state.host_link, &dumpTemplate, item, progress)) return false;
    return EndItem(device, data, dumpTemplate, dumpTemplate.PostTransmit());
}

}  // namespace

bool TransmitDumps(DRUVDevice& device, DRUVData* data, uint32_t mask, IMPProgressSink* sink, void* context) {
    if (!data) return false;
    SelectItems(device, *data, mask);
    uint32_t done = 0;
    uint32_t total = 0;
    TransferProgress progress(sink, context, done, total, "", device.transfer.abort, false, 0,
                              data->TransferClock());
    if (data->OutPort.load(std::memory_order_acquire) == 0) {
        ReportPortError(progress, total, kNoOutPortText);
        return false;
    }

    for (const auto& item : data->Items) {
        int32_t length = item->Length.load(std::memory_order_acquire);
        if (item->Selected && length > 0) total += static_cast<uint32_t>(length);
    }
    for (const auto& item : data->Items) {
        if (!item->Selected) continue;
        progress.SetName(item->Name().c_str());
        const DRUVTemplate* dumpTemplate = device.FindTemplate(item->Name().c_str());
        if (!dumpTemplate) continue;
        if (!TransmitItem(device, *data, *item, *dumpTemplate, progress)) return false;
    }
    progress.Report(total, total, nullptr);
    return true;
}
