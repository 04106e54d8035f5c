// The configuration a transfer handles, chosen by name or number among those
// the filter offers ("All;" and then each configuration's name).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace druvhost {

// "All;Patches;Scenes" into its names; the first is the entry for all.
std::vector<std::string> SplitDataTypes(const std::string& text);

// `choice` empty, "0" or the first name: every template (mask 0). A number
// n from 1 or a name (ASCII letters in any case): configuration n, bit n-1.
// False with `error` when the choice names none of them.
bool ChooseConfiguration(const std::vector<std::string>& names, const std::string& choice, uint32_t& mask,
                         std::string& error);

// The device ID the filter stores for the one the device shows (`shown`,
// counted from `displayOffset`), which must lie in [low, high]. False with
// `error` otherwise.
bool DeviceIdFromShown(int shown, int displayOffset, int low, int high, uint8_t& id, std::string& error);

}  // namespace druvhost
