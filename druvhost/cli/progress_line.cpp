#include "druvhost/cli/progress_line.h"

#include <cmath>
#include <cstdio>

namespace druvhost {

std::string FormatRate(double bytesPerSecond) {
    char text[32];
    if (bytesPerSecond < 1000)
        std::snprintf(text, sizeof text, "%.0f B/s", bytesPerSecond);
    else
        std::snprintf(text, sizeof text, "%.1f kB/s", bytesPerSecond / 1000);
    return text;
}

std::string FormatDuration(double seconds) {
    const long total = seconds > 0 ? static_cast<long>(std::lround(seconds)) : 0;
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

std::string ProgressLine::Update(const std::string& text, uint32_t done, uint32_t total, double seconds) {
    const std::string step = text.substr(0, text.find(','));
    if (!terminal_ && any_ && step == last_step_) return std::string();
    any_ = true;
    last_step_ = step;

    std::string line = text;
    if (total > 0) {
        // The plug-in's texts often count the bytes already.
        const std::string count = std::to_string(done) + " of " + std::to_string(total);
        if (text.find(count) == std::string::npos) line += "  " + count + " bytes";
        const double rate = seconds > 0 ? done / seconds : 0;
        if (rate > 0) {
            line += "  " + FormatRate(rate);
            if (done <= total) line += "  " + FormatDuration((total - done) / rate) + " left";
        }
    }
    if (!terminal_) return line + "\n";
    std::string out = "\r" + line;
    // Blanks over what is left of a longer line before it.
    if (line.size() < shown_length_) out.append(shown_length_ - line.size(), ' ');
    shown_length_ = line.size();
    return out;
}

std::string ProgressLine::Finish() {
    if (!terminal_ || shown_length_ == 0) return std::string();
    shown_length_ = 0;
    return "\n";
}

}  // namespace druvhost
