#include "plugin/engine/item_end.h"

#include <atomic>
#include <cstdint>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "plugin/engine/abortable_wait.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/transfer_state.h"

bool EndItem(const TransferContext& context, const DRUVTemplate& dumpTemplate, const ByteString& closing) {
    const DRUVData& data = context.data;
    TransferState& state = context.state;
    if (!SendMessageList(context, state.host_link, &dumpTemplate, closing)) return false;
    // A negative sum would be a sleep of weeks; it counts as none.
    int64_t pause = int64_t{data.ItemDelay.load(std::memory_order_acquire)} + dumpTemplate.DelayBetweenSysX();
    return pause <= 0 || SleepUnlessAborted(data.TransferClock(), static_cast<uint32_t>(pause), state.abort);
}
