// The plug-in's progress on its way from the transfer thread to the window.
// The transfer thread leaves the latest report here and posts one message
// only when the window has taken the one before, so a plug-in that reports
// every few bytes never floods the window's queue; the window takes the
// latest report when that message comes.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace windowhost {

struct ProgressReport {
    uint32_t done = 0;
    uint32_t total = 0;
    std::string text;  // the plug-in's last text (UTF-8); reports without one keep it
    uint32_t reports = 0;  // how many reports came since the transfer began
};

class ProgressMailbox {
public:
    // A new transfer: the last one's text and count are gone.
    void Reset();
    // From the transfer thread. True when the caller must post the message
    // that tells the window, false when one is on its way already.
    bool Leave(uint32_t done, uint32_t total, const std::string* text);
    // From the window, on that message: the latest report; the next Leave
    // posts again.
    ProgressReport Take();

private:
    std::mutex mutex_;
    ProgressReport latest_;
    std::atomic<bool> posted_{false};
};

}  // namespace windowhost
