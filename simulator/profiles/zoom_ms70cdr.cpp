// Zoom MS-70CDR (header `F0 52 00 61`): no patch-number request. The
// current patch `F0 52 00 61 29 F7` is answered by `F0 52 00 61 28 [140]
// F7` (146 bytes, no checksum), once editing has been enabled with
// `F0 52 00 61 50 F7`; before that the unit ignores the request. A program
// change (any channel) selects patch pp (0..49) as the current one. A
// patch dump sent to the unit loads the current patch. The MS-50G (58) and
// MS-60B (5F) share the scheme, but their dump sizes are not published.
#include "simulator/profiles/instrument_profile.h"
#include "simulator/profiles/profile_bytes.h"

namespace druv::profiles {
namespace {

constexpr uint8_t kModel = 0x61;
constexpr size_t kPatch = 140;
constexpr uint8_t kPatches = 50;
constexpr uint8_t kEditEnable = 0x50, kPatchRequest = 0x29, kPatchDump = 0x28;

class ZoomMs70cdr : public InstrumentProfile {
public:
    using InstrumentProfile::InstrumentProfile;
    DeviceIdRule IdRule() const override { return {false, 0, 0}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override {
        if (!StartsWith(message, {0xF0, 0x52, 0x00, kModel}) || message.size() < 6 || message[4] != kPatchDump)
            return DumpCheck::NotADump();
        if (message.size() != 5 + kPatch + 1) return DumpCheck::Invalid("patch dump of wrong size");
        return DumpCheck::Valid("current patch", Bytes(message.begin() + 5, message.end() - 1), -1);
    }

    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override {
        if (!StartsWith(message, {0xF0, 0x52, 0x00, kModel}) || message.size() != 6) return false;
        if (message[4] == kEditEnable) {
            editing_ = true;
            return true;
        }
        if (message[4] != kPatchRequest) return false;
        if (!editing_) {
            Refuse(&ProfileCounts::unrecognised, "patch request before editing was enabled");
            return true;
        }
        Bytes reply{0xF0, 0x52, 0x00, kModel, kPatchDump};
        Append(reply, Current());
        reply.push_back(0xF7);
        replies.push_back(reply);
        return true;
    }

    void HandleChannel(const Bytes& message, std::vector<Bytes>& replies) override {
        (void)replies;
        if ((message[0] & 0xF0) != 0xC0 || message.size() != 2 || message[1] >= kPatches) return;
        MutableMemory()["current patch"] = Slot("patch " + std::to_string(message[1]), kPatch);
    }

private:
    // After power-on the current patch is patch 1.
    Bytes& Current() {
        if (!Memory().count("current patch")) MutableMemory()["current patch"] = Slot("patch 0", kPatch);
        return MutableMemory()["current patch"];
    }

    bool editing_ = false;
};

}  // namespace

DRUV_PROFILE(ZoomMs70cdr, "Zoom", "MS-70CDR")

}  // namespace druv::profiles
