// The terminal druvhost writes to: UTF-8 text whether the output is a
// console or a file, and Ctrl+C turned into a request to cancel.
#pragma once

#include <atomic>
#include <string>

struct IMPServices;

namespace druvhost {

// Whether standard output is a console window (progress is then rewritten
// in place).
bool OutputIsTerminal();
// Writes UTF-8 text to standard output or standard error.
void WriteOut(const std::string& text);
void WriteError(const std::string& text);

// While one exists, Ctrl+C (or Ctrl+Break) calls Cancel on the filter's
// services instead of ending the program.
class CancelOnCtrlC {
public:
    explicit CancelOnCtrlC(IMPServices* services);
    ~CancelOnCtrlC();
    CancelOnCtrlC(const CancelOnCtrlC&) = delete;
    CancelOnCtrlC& operator=(const CancelOnCtrlC&) = delete;

    bool Cancelled() const;
};

}  // namespace druvhost
