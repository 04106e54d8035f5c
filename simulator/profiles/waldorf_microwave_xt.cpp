// Waldorf Microwave II, XT and XTk: `F0 3E 0E dd 00 BB NN cs F7` asks for
// sound NN (0..127) of bank BB (0..1), or with 20 00 for the edit buffer;
// its cs is (BB + NN) & 7F, and a request whose cs is wrong goes unanswered.
// The answer is `F0 3E 0E dd 10 BB NN [256] cs F7` (265 bytes), cs the sum
// of the 256 data bytes without BB and NN. The maker's rule that a checksum
// of 7F always passes is applied to requests as well as to dumps.
#include "simulator/profiles/waldorf_family.h"

namespace druv::profiles {
namespace {

class WaldorfMicrowaveXt : public WaldorfFamily {
public:
    explicit WaldorfMicrowaveXt(const ProfileSettings& settings) : WaldorfFamily(settings, Format()) {}

private:
    static WaldorfFormat Format() {
        WaldorfFormat format;
        format.model = 0x0E;
        format.requestType = {0x00};
        format.dumpType = {0x10};
        format.banks = 2;
        format.programs = 128;
        format.editAddress = {0x20, 0x00};
        format.dataSize = 256;
        format.requestChecksum = true;
        format.anyChecksum7F = true;
        return format;
    }
};

}  // namespace

DRUV_PROFILE(WaldorfMicrowaveXt, "Waldorf", "Microwave II/XT")

}  // namespace druv::profiles
