#include "plugin/engine/item_loops.h"

#include <algorithm>
#include <limits>

#include "device/druv_template.h"
#include "plugin/engine/transfer_state.h"

int32_t InnerLoopCount(const DRUVTemplate& dumpTemplate) {
    int32_t loops = dumpTemplate.NumLoops();
    return loops == 0 ? 1 : (loops < 0 ? 0 : loops);
}

bool HasOuterLoop(const DRUVTemplate& dumpTemplate) { return dumpTemplate.Extensions().outerLoopCount > 0; }

int32_t ItemLoopCount(const DRUVTemplate& dumpTemplate) {
    const int64_t inner = InnerLoopCount(dumpTemplate);
    if (!HasOuterLoop(dumpTemplate)) return static_cast<int32_t>(inner);
    const int64_t loops = inner * dumpTemplate.Extensions().outerLoopCount;
    return static_cast<int32_t>(std::min<int64_t>(loops, std::numeric_limits<int32_t>::max()));
}

void StartItemLoops(TransferState& state, const DRUVTemplate& dumpTemplate) {
    state.loop_value = dumpTemplate.LoopStart();
    state.outer_loop_value = dumpTemplate.Extensions().outerLoopStart;
    state.loop_index = 0;
}

namespace {

// The values are wrapping 32-bit counters, as the loop value always was.
int32_t Stepped(int32_t value, int32_t step) {
    return static_cast<int32_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(step));
}

}  // namespace

void StepItemLoop(TransferState& state, const DRUVTemplate& dumpTemplate) {
    state.loop_value = Stepped(state.loop_value, dumpTemplate.LoopIncDec());
    state.loop_index = Stepped(state.loop_index, 1);
    if (!HasOuterLoop(dumpTemplate)) return;
    const int32_t inner = InnerLoopCount(dumpTemplate);
    if (inner > 0 && state.loop_index % inner == 0) {
        state.loop_value = dumpTemplate.LoopStart();
        state.outer_loop_value = Stepped(state.outer_loop_value, dumpTemplate.Extensions().outerLoopIncDec);
    }
}
