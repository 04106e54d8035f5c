// One musician's session with the plug-in, played through the test host
// against simulated instruments: fetch every dump of a device from one
// instrument, keep them with a project, open the project in a fresh plug-in
// and send the dumps to a second instrument set to another device ID.
#pragma once

#include <ostream>
#include <string>

struct SessionResult {
    bool completed = false;     // every step ran
    bool identical = false;     // the second instrument holds the first one's dumps
    int mismatchedLoops = 0;
    int refusedMessages = 0;    // wrong ID or bad checksum at the second instrument
};

SessionResult RunSession(const std::string& definitionPath, std::ostream& out);
