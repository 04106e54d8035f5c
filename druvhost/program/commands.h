// druvhost's commands over the system: each returns the exit status.
#pragma once

#include "druvhost/cli/command_line.h"

namespace druvhost {

int RunCommand(const CommandLine& line);

}  // namespace druvhost
