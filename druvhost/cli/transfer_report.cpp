#include "druvhost/cli/transfer_report.h"

#include <algorithm>

#include "device/druv_device.h"
#include "druvhost/cli/configuration_choice.h"
#include "druvhost/host/saved_settings.h"

namespace druvhost {

namespace {

const char kReceiving[] = "RECEIVING ";
const char kTransmitting[] = "TRANSMITTING ";
const char kWaiting[] = "WAITING FOR ";
const char kWaitingEnd[] = " MANUAL DUMP...";
const char kManualDumpPrompt[] = "MANUAL DUMP!";

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool AllDigits(const std::string& text, size_t from, size_t to) {
    if (from >= to) return false;
    for (size_t i = from; i < to; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

// "NAME, 12 of 40 bytes" without its counts. A status line cut short (a very
// long name) has no counts left; it is all name then.
std::string WithoutCounts(const std::string& rest) {
    const std::string bytes = " bytes";
    if (!EndsWith(rest, bytes)) return rest;
    const size_t totalEnd = rest.size() - bytes.size();
    const size_t of = rest.rfind(" of ", totalEnd);
    if (of == std::string::npos || !AllDigits(rest, of + 4, totalEnd)) return rest;
    const size_t comma = rest.rfind(", ", of);
    if (comma == std::string::npos || !AllDigits(rest, comma + 2, of)) return rest;
    return rest.substr(0, comma);
}

// The item a status line names; false for a text that is no status line.
bool StatusItem(const std::string& text, std::string& item) {
    for (const char* prefix : {kReceiving, kTransmitting}) {
        if (!StartsWith(text, prefix)) continue;
        item = WithoutCounts(text.substr(std::char_traits<char>::length(prefix)));
        return true;
    }
    if (StartsWith(text, kWaiting)) {
        item = text.substr(std::char_traits<char>::length(kWaiting));
        if (EndsWith(item, kWaitingEnd)) item.resize(item.size() - std::char_traits<char>::length(kWaitingEnd));
        return true;
    }
    return false;
}

}  // namespace

bool IsProgressText(const std::string& text) {
    std::string item;
    return text.empty() || StartsWith(text, kManualDumpPrompt) || StatusItem(text, item);
}

std::vector<ReportedMessage> ReportedMessages(const std::vector<std::string>& texts) {
    std::vector<ReportedMessage> messages;
    std::string current;
    for (const std::string& text : texts) {
        std::string item;
        if (StatusItem(text, item)) current = item;
        else if (!IsProgressText(text)) messages.push_back({current, text});
    }
    return messages;
}

std::vector<ReceivedItem> SelectedItems(const DRUVDevice& device, uint32_t mask, const std::vector<uint8_t>& saved) {
    const std::vector<bool> chosen = SelectedTemplates(device, mask);
    const std::vector<std::vector<uint8_t>> data = SavedItemData(saved);
    std::vector<ReceivedItem> items;
    for (size_t t = 0; t < chosen.size(); ++t) {
        if (!chosen[t]) continue;
        items.push_back({device.Template(t)->Name(), t < data.size() ? data[t] : std::vector<uint8_t>{}});
    }
    return items;
}

std::vector<std::string> ReceiveFailures(const std::vector<std::string>& texts,
                                         const std::vector<ReceivedItem>& selected) {
    std::vector<std::string> started;
    for (const std::string& text : texts) {
        std::string item;
        if (StatusItem(text, item)) started.push_back(item);
    }
    const auto isSelected = [&selected](const std::string& name) {
        return std::any_of(selected.begin(), selected.end(),
                           [&name](const ReceivedItem& item) { return item.name == name; });
    };
    const std::vector<ReportedMessage> messages = ReportedMessages(texts);

    std::vector<std::string> lines;
    for (const ReportedMessage& message : messages)
        if (!isSelected(message.item)) lines.push_back(message.item.empty() ? message.text
                                                                           : message.item + ": " + message.text);
    for (const ReceivedItem& item : selected) {
        bool told = false;
        for (const ReportedMessage& message : messages) {
            if (message.item != item.name) continue;
            lines.push_back(item.name + ": " + message.text);
            told = true;
        }
        if (told || ItemHoldsDump(item.data)) continue;
        const bool reached = std::find(started.begin(), started.end(), item.name) != started.end();
        lines.push_back(item.name + (reached ? ": no dump came back (the instrument did not answer its requests)"
                                             : ": not received (the receive ended before it)"));
    }
    return lines;
}

std::vector<std::string> TransmitFailures(const std::vector<std::string>& texts) {
    std::vector<std::string> lines;
    for (const std::string& text : texts)
        if (!IsProgressText(text)) lines.push_back(text);
    return lines;
}

}  // namespace druvhost
