// Novation UltraNova: product bytes 03 01 7F, 526-byte program and edit-buffer
// dumps; the edit buffer is asked for with `40 21 00 00 00 00`. Its setup
// asks for Protect off, so that programs sent back are written; a unit here
// is always set up so.
#include "simulator/profiles/novation_family.h"

namespace druv::profiles {
namespace {

class NovationUltraNova : public NovationFamily {
public:
    explicit NovationUltraNova(const ProfileSettings& settings)
        : NovationFamily(settings, {{0xF0, 0x00, 0x20, 0x29, 0x03, 0x01, 0x7F}, {0x21, 0x00, 0x00, 0x00, 0x00}}) {}
};

}  // namespace

DRUV_PROFILE(NovationUltraNova, "Novation", "UltraNova")

}  // namespace druv::profiles
