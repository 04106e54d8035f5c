#include "druvhost/cli/configuration_choice.h"

#include "device/druv_device.h"
#include "druvhost/ports/port_table.h"

namespace druvhost {

std::vector<std::string> ConfigurationNames(const DRUVDevice& device) {
    std::vector<std::string> names{"All"};
    for (size_t i = 0; i < device.ConfigurationCount(); ++i) names.push_back(device.Configuration(i)->Name());
    return names;
}

std::vector<std::string> SplitDataTypes(const std::string& text) {
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t end; (end = text.find(';', start)) != std::string::npos; start = end + 1)
        names.push_back(text.substr(start, end - start));
    // "All;" with no configurations ends in a separator; names never do.
    if (start < text.size()) names.push_back(text.substr(start));
    return names;
}

std::vector<bool> SelectedTemplates(const DRUVDevice& device, uint32_t mask) {
    std::vector<bool> selected;
    for (size_t t = 0; t < device.TemplateCount(); ++t) {
        bool chosen = mask == 0;
        for (uint32_t bit = 0; bit < 32 && bit < device.ConfigurationCount() && !chosen; ++bit)
            if ((mask & (1u << bit)) != 0)
                chosen = device.Configuration(bit)->ContainsTemplate(device.Template(t)->Name().c_str());
        selected.push_back(chosen);
    }
    return selected;
}

bool ChooseConfiguration(const std::vector<std::string>& names, const std::string& choice, uint32_t& mask,
                         std::string& error) {
    const size_t configurations = names.empty() ? 0 : names.size() - 1;
    if (choice.empty()) {
        mask = 0;
        return true;
    }
    bool digits = choice.size() <= 3;
    size_t number = 0;
    for (char c : choice) {
        if (c < '0' || c > '9') digits = false;
        number = number * 10 + static_cast<size_t>(c - '0');
    }
    if (!digits) {
        number = SIZE_MAX;
        for (size_t i = 0; i < names.size(); ++i)
            if (SameIgnoringAsciiCase(names[i], choice)) {
                number = i;
                break;
            }
    }
    if (number > configurations || number > 32) {
        error = "no configuration \"" + choice + "\"; druvhost list shows them";
        return false;
    }
    mask = number == 0 ? 0 : uint32_t(1) << (number - 1);
    return true;
}

bool DeviceIdFromShown(int shown, int displayOffset, int low, int high, uint8_t& id, std::string& error) {
    const int stored = shown - displayOffset;
    if (stored < low || stored > high) {
        error = "--id " + std::to_string(shown) + " is outside the device's range " +
                std::to_string(low + displayOffset) + " to " + std::to_string(high + displayOffset);
        return false;
    }
    id = static_cast<uint8_t>(stored);
    return true;
}

}  // namespace druvhost
