#include "windowhost/core/transfer_figures.h"

#include "druvhost/cli/progress_line.h"

namespace windowhost {

TransferFigures FiguresFor(uint32_t done, uint32_t total, double seconds) {
    TransferFigures figures;
    if (total == 0) return figures;
    // A reply longer than announced must not run the bar past its end.
    const uint32_t shown = done < total ? done : total;
    figures.percent = static_cast<int>(uint64_t(shown) * 100 / total);
    figures.bytes = std::to_string(done) + " of " + std::to_string(total) + " bytes";
    if (seconds < kFirstRateSeconds || done == 0) return figures;
    const double rate = done / seconds;
    figures.rate = druvhost::FormatRate(rate);
    figures.timeLeft = druvhost::FormatDuration((total - shown) / rate) + " left";
    return figures;
}

}  // namespace windowhost
