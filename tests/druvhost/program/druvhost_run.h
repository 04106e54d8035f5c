// Running druvhost.exe as a musician would, from a test: its arguments, what
// it prints and its exit status. Windows only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace druvhosttest {

struct RunResult {
    DWORD status = 0xFFFFFFFF;
    std::string output;  // standard output and standard error together
};

// Runs druvhost with `arguments` (UTF-8) to its end.
RunResult RunDruvhost(const std::vector<std::string>& arguments);
// The same with another build of druvhost, `program` (its path).
RunResult RunDruvhostProgram(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace druvhosttest
