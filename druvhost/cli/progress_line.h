// The progress of a transfer as the terminal shows it: the plug-in's text,
// bytes done of total, the rate and the time left. On a terminal one line is
// rewritten in place; into a file or pipe one line is written per step (a new
// text before its first comma), so logs stay short and readable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace druvhost {

class ProgressLine {
public:
    explicit ProgressLine(bool terminal) : terminal_(terminal) {}

    // What to write for one report of the plug-in; `seconds` since the
    // transfer started. Empty when nothing is to be written.
    std::string Update(const std::string& text, uint32_t done, uint32_t total, double seconds);
    // What ends the display (the line break after an in-place line).
    std::string Finish();

private:
    bool terminal_;
    size_t shown_length_ = 0;  // of the line now on the terminal
    std::string last_step_;
    bool any_ = false;
};

// "1.2 kB/s" and the like; "12 B/s" below one kilobyte a second.
std::string FormatRate(double bytesPerSecond);
// "0:07", "12:30", "1:02:03".
std::string FormatDuration(double seconds);

}  // namespace druvhost
