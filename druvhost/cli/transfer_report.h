// What the plug-in reported through the progress sink during a transfer, and
// whether that transfer may count as done. Besides its progress (the status
// line of the item in progress and the manual-dump prompt), the plug-in only
// ever shows a text when something went wrong: no port assigned, a reply
// too long or too short, an item without data to send. Any such text fails
// the transfer, as does an item of the chosen configuration that a receive
// left without a dump (loop ends only, from requests nobody answered); what
// the plug-in does with an item's earlier dump afterwards does not change
// that verdict.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class DRUVDevice;

namespace druvhost {

// Whether `text` reports progress (a status line or the manual-dump prompt)
// rather than telling of something that went wrong.
bool IsProgressText(const std::string& text);

struct ReportedMessage {
    std::string item;  // the item in progress when it came; empty when none was
    std::string text;
};

// The messages among the texts of one transfer (in the order the sink had
// them), each with the item whose status line came last before it.
std::vector<ReportedMessage> ReportedMessages(const std::vector<std::string>& texts);

// An item of the chosen configuration and its data after the receive, in the
// stored form (each loop closed by FF).
struct ReceivedItem {
    std::string name;
    std::vector<uint8_t> data;
};

// The items a receive with `mask` (as ChooseConfiguration gives it) was to
// fill, with their data from the bytes the filter `saved` afterwards.
std::vector<ReceivedItem> SelectedItems(const DRUVDevice& device, uint32_t mask, const std::vector<uint8_t>& saved);

// Empty when the receive may be kept: nothing went wrong and every item in
// `selected` holds a dump. Otherwise what went wrong, one line per item
// ("NAME: what"), after any message that came before the first item.
std::vector<std::string> ReceiveFailures(const std::vector<std::string>& texts,
                                         const std::vector<ReceivedItem>& selected);

// Empty when the transmit reported nothing wrong; otherwise each message as
// the plug-in gave it (its text for an item without data names the item).
std::vector<std::string> TransmitFailures(const std::vector<std::string>& texts);

}  // namespace druvhost
