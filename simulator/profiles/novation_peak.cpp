// Novation Peak (product bytes 01 10 00 7E) and Summit (01 11 01 33): 527-byte
// program and edit-buffer dumps. Each unit answers its own product bytes only.
#include "simulator/profiles/novation_family.h"

namespace druv::profiles {
namespace {

const Bytes kEditRequest{0x00, 0x00, 0x00, 0x00, 0x00};

class NovationPeak : public NovationFamily {
public:
    explicit NovationPeak(const ProfileSettings& settings)
        : NovationFamily(settings, {{0xF0, 0x00, 0x20, 0x29, 0x01, 0x10, 0x00, 0x7E}, kEditRequest}) {}
};

class NovationSummit : public NovationFamily {
public:
    explicit NovationSummit(const ProfileSettings& settings)
        : NovationFamily(settings, {{0xF0, 0x00, 0x20, 0x29, 0x01, 0x11, 0x01, 0x33}, kEditRequest}) {}
};

}  // namespace

DRUV_PROFILE(NovationPeak, "Novation", "Peak")
DRUV_PROFILE(NovationSummit, "Novation", "Summit")

}  // namespace druv::profiles
