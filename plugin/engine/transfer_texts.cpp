#include "plugin/engine/transfer_texts.h"

#include "plugin/engine/transfer_progress.h"

const char kNoOutPortText[] = "Error! No MIDI OUT port assigned";
const char kNoInPortText[] = "Error! No MIDI IN port assigned";

namespace {

constexpr uint32_t kPortErrorTotal = 10;

}  // namespace

void ReportPortError(TransferProgress& progress, uint32_t& total, const char* text) {
    total = kPortErrorTotal;
    progress.ShowMessage(text, 0);
    progress.Update(kPortErrorTotal);
}
