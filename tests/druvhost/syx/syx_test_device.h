// A small device built in code for the .syx tests, and messages that fit it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "device/druv_device.h"
#include "druvhost/syx/syx_file.h"
#include "plugin/engine/checksum.h"

namespace syxtest {

using Bytes = std::vector<uint8_t>;

// "Bank": one 12-byte message, two's complement checksum over bytes 4 to 9 at 10.
// "Patches": 3 loops of one 8-byte message each.
// "Split": one loop of 12 bytes in several messages.
// "Open": 2 loops of one message of at most 9 bytes.
// "Other": as "Patches", for a second item of one size.
// "Stream": one loop of up to 30 bytes in several messages, ended by F0 7D 7F (not stored).
// "Counted": one loop of 100 bytes that ends after two messages.
// "Empty": a template of no size.
// Configurations: "Bank and Patches", "Two of one size" (Patches, Other), "Stale" (names a template
// the device no longer has).
inline std::unique_ptr<DRUVDevice> MakeDevice() {
    auto device = std::make_unique<DRUVDevice>();
    device->SetCompany("Brindle");
    device->SetProduct("Test Unit");
    device->SetSysXChanOfs(2);
    device->SetSysXChanMax(15);
    DRUVTemplate* bank = device->AddTemplate("Bank");
    bank->SetSize(12);
    bank->SetCSumType(kChecksumTwosComplement);
    bank->SetCSumStart(4);
    bank->SetCSumLength(6);
    bank->SetCSumOfs(10);
    for (const char* name : {"Patches", "Other"}) {
        DRUVTemplate* patches = device->AddTemplate(name);
        patches->SetNumLoops(3);
        patches->SetLoopRecvSize(8);
        patches->SetSize(24);
    }
    DRUVTemplate* split = device->AddTemplate("Split");
    split->SetSize(12);
    split->SetMultiSysX(1);
    DRUVTemplate* open = device->AddTemplate("Open");
    open->SetNumLoops(2);
    open->SetLoopRecvSize(9);
    open->SetSize(18);
    open->SetFixedLength(0);
    DRUVTemplate* stream = device->AddTemplate("Stream");
    stream->SetSize(30);
    stream->SetMultiSysX(1);
    stream->SetFixedLength(0);
    stream->SetTerminator("F0 7D 7F");
    DRUVTemplate* counted = device->AddTemplate("Counted");
    counted->SetSize(100);
    counted->SetMultiSysX(1);
    TemplateExtensions afterTwo;
    afterTwo.endAfterMessages = 2;
    counted->SetExtensions(afterTwo);
    device->AddTemplate("Empty");
    DRUVConfiguration* both = device->AddConfiguration("Bank and Patches");
    both->AddRef("Bank");
    both->AddRef("patches");
    DRUVConfiguration* same = device->AddConfiguration("Two of one size");
    same->AddRef("Other");
    same->AddRef("Patches");
    device->AddConfiguration("Stale")->AddRef("Gone");
    return device;
}

// F0 7D id, then data bytes counting up from `fill`, then F7: `size` bytes in all.
inline Bytes Message(size_t size, uint8_t fill, uint8_t id = 3) {
    Bytes m = {0xF0, 0x7D, id};
    while (m.size() + 1 < size) m.push_back(static_cast<uint8_t>((fill + m.size()) & 0x7F));
    m.push_back(0xF7);
    return m;
}

// A "Bank" message with its checksum right.
inline Bytes BankMessage(uint8_t fill) {
    Bytes m = Message(12, fill);
    ApplyChecksum(ChecksumRule{kChecksumTwosComplement, 4, 6, 10}, m.data(), static_cast<uint32_t>(m.size()));
    return m;
}

inline Bytes Joined(const std::vector<Bytes>& messages) {
    Bytes all;
    for (const Bytes& m : messages) all.insert(all.end(), m.begin(), m.end());
    return all;
}

inline druvhost::SyxFile Parsed(const std::vector<Bytes>& messages) {
    druvhost::SyxFile file;
    druvhost::ParseSyx(Joined(messages), file);
    return file;
}

}  // namespace syxtest
