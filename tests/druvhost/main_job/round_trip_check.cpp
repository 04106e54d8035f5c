// What the main job cannot learn from druvhost's own words: which device IDs
// to use, and whether a project file holds, byte for byte, the dumps the
// simulated instrument behind druvhost's built-in port pair sent.
//   round-trip-check ids DEFINITION
//       prints two device IDs as the device shows them: the first is not the
//       definition's default (so a receive that ignored --id would fail), the
//       second differs from the first where the device has more than one
//       (the same twice for a device without IDs)
//   round-trip-check received DEFINITION PROJECT SHOWN_ID
//       compares each item the project keeps for the definition's device with
//       what an instrument set to SHOWN_ID holds, and prints the number of
//       dump messages a full transmit must get stored; exit status 1 when an
//       item differs or the project lacks the device
// druvhost's simulated pair plays an instrument with the simulator's default
// settings but for the device ID and MIDI channel, so the same settings here
// give the same memory.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "device/druv_device.h"
#include "druvhost/project/project_store.h"
#include "simulator/simulated_instrument.h"

namespace {

struct SavedItem {
    std::string name;
    std::vector<uint8_t> data;
};

uint32_t BigEndian32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | uint32_t(bytes[3]);
}

// The items in the bytes a filter saves: its header ("DRUV", length, format,
// three texts), 42 bytes of settings, then one TMPT chunk per item (tag,
// four bytes, name length and name, data length, data). Empty when the bytes
// are of another form.
std::vector<SavedItem> SavedItems(const std::vector<uint8_t>& saved) {
    std::vector<SavedItem> items;
    if (saved.size() < 11 || std::memcmp(saved.data(), "DRUV", 4) != 0) return items;
    size_t at = 10;
    for (int text = 0; text < 3 && at < saved.size(); ++text) at += 1 + saved[at];
    at += 42;
    while (saved.size() >= at + 9 && std::memcmp(saved.data() + at, "TMPT", 4) == 0) {
        const size_t nameLength = saved[at + 8];
        if (saved.size() < at + 13 + nameLength) break;
        const uint32_t length = BigEndian32(saved.data() + at + 9 + nameLength);
        const size_t data = at + 13 + nameLength;
        if (saved.size() - data < length) break;
        items.push_back({std::string(saved.begin() + at + 9, saved.begin() + at + 9 + nameLength),
                         std::vector<uint8_t>(saved.begin() + data, saved.begin() + data + length)});
        at = data + length;
    }
    return items;
}

bool Load(const char* path, DRUVDevice& device) {
    device.SetFilePath(path);
    if (device.LoadDefinition() == 0 && device.TemplateCount() > 0) return true;
    std::fprintf(stderr, "cannot read the definition %s\n", path);
    return false;
}

int PrintIds(const DRUVDevice& device) {
    const int low = device.SysXChanMin(), high = device.SysXChanMax(), fallback = device.SysXChanDefault();
    int first = low;
    while (first == fallback && first < high) ++first;
    int second = first + 3 <= high ? first + 3 : low;
    if (second == first && first < high) second = first + 1;
    std::printf("%d %d\n", first + device.SysXDisplayOfs(), second + device.SysXDisplayOfs());
    return 0;
}

int CheckReceived(const DRUVDevice& device, const char* projectPath, int shownId) {
    druvhost::Project project;
    std::string error;
    if (druvhost::LoadProjectFile(projectPath, project, error) != druvhost::ProjectLoad::Loaded) {
        std::printf("the project %s cannot be read: %s\n", projectPath, error.c_str());
        return 1;
    }
    druvhost::ClassId classId;
    std::memcpy(classId.data(), &device.DeviceGUID(), classId.size());
    const druvhost::ProjectEntry* entry = project.Find(classId);
    if (entry == nullptr) {
        std::printf("the project holds nothing for %s %s\n", device.Company().c_str(), device.Product().c_str());
        return 1;
    }
    druv::simulator::SimulatedInstrument::Settings settings;
    settings.deviceId = static_cast<uint8_t>(shownId - device.SysXDisplayOfs());
    settings.midiChannel = 0;  // the main job gives --channel 1
    settings.delivery = druv::simulator::SimulatedInstrument::Delivery::Synchronous;
    druv::simulator::SimulatedInstrument instrument(device, settings, nullptr);
    const druv::simulator::InstrumentMemory memory = instrument.Memory();

    const std::vector<SavedItem> items = SavedItems(entry->filterData);
    int same = 0;
    size_t messages = 0;
    for (size_t t = 0; t < device.TemplateCount(); ++t) {
        const DRUVTemplate* record = device.Template(t);
        for (int loop = 0; loop < memory.LoopCount(t); ++loop) messages += memory.Slot(t, loop).size();
        const std::vector<uint8_t> expected = memory.StoredForm(t, record->UseMidiChannel() != 0);
        const SavedItem* item = nullptr;
        for (const SavedItem& candidate : items)
            if (candidate.name == record->Name()) item = &candidate;
        if (item != nullptr && item->data == expected) {
            ++same;
            continue;
        }
        size_t at = 0;
        if (item != nullptr)
            while (at < item->data.size() && at < expected.size() && item->data[at] == expected[at]) ++at;
        std::printf("  %s: %s (%zu bytes kept, %zu expected, first difference at byte %zu)\n", record->Name().c_str(),
                    item == nullptr ? "missing from the project" : "differs from the instrument's dump",
                    item == nullptr ? size_t(0) : item->data.size(), expected.size(), at);
    }
    std::printf("%d of %zu item(s) hold the instrument's dumps byte for byte (%zu bytes kept for the device)\n",
                same, device.TemplateCount(), entry->filterData.size());
    std::printf("dump messages: %zu\n", messages);
    return same == static_cast<int>(device.TemplateCount()) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    DRUVDevice device;
    if (command == "ids" && argc == 3) return Load(argv[2], device) ? PrintIds(device) : 2;
    if (command == "received" && argc == 5)
        return Load(argv[2], device) ? CheckReceived(device, argv[3], std::atoi(argv[4])) : 2;
    std::fprintf(stderr, "usage: round-trip-check ids DEFINITION | received DEFINITION PROJECT SHOWN_ID\n");
    return 2;
}
