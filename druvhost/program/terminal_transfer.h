// A transfer of druvhost's: run on a thread of its own, as a host runs
// transfers, with its progress on the terminal and Ctrl+C cancelling it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "druvhost/session/filter_session.h"

namespace druvhost {

// As FilterSession::Transfer; Cancelled when Ctrl+C was pressed meanwhile.
TransferOutcome RunTerminalTransfer(FilterSession& session, bool transmit, uint32_t mask,
                                    std::vector<std::string>& reported, std::string& error);

}  // namespace druvhost
