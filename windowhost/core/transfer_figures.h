// What the status bar shows of a running transfer besides the plug-in's own
// text: the bar's position, bytes done of total, the rate and the time left.
// The plug-in counts the whole transfer's bytes, so one rate over the time
// since the start serves all of it.
#pragma once

#include <cstdint>
#include <string>

namespace windowhost {

struct TransferFigures {
    int percent = 0;        // the progress bar's position, 0 to 100
    std::string bytes;      // "4105 of 4372 bytes"; empty before the total is known
    std::string rate;       // "2.8 kB/s"; empty until a rate can be told
    std::string timeLeft;   // "0:04 left"; empty with the rate
};

// Before this much time a rate is mostly the first message's burst.
constexpr double kFirstRateSeconds = 0.5;

// The figures for `done` of `total` bytes `seconds` after the transfer began.
TransferFigures FiguresFor(uint32_t done, uint32_t total, double seconds);

}  // namespace windowhost
