// The configuration a transfer handles, chosen by name or number among the
// definition's own: "All" and then each configuration's name as the
// definition holds it. The filter's ';'-separated list for hosts cannot
// carry a ';' inside a name, so names are never taken from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class DRUVDevice;

namespace druvhost {

// "All" and then the name of each configuration of `device`, in order.
std::vector<std::string> ConfigurationNames(const DRUVDevice& device);

// The filter's list as a host reads it: "All;Patches;Scenes" into its
// names; the first is the entry for all.
std::vector<std::string> SplitDataTypes(const std::string& text);

// Which templates a transfer with `mask` (as ChooseConfiguration gives it)
// handles, one flag per template of `device` in order, chosen as the filter
// chooses its items: the templates each configuration names, ignoring case.
std::vector<bool> SelectedTemplates(const DRUVDevice& device, uint32_t mask);

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
