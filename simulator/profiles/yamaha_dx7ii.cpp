// Yamaha DX7II: two 32-voice banks (I and II) with their additional voice
// data, the performance memory and the system setup.
//   voices  `F0 43 0n 09 20 00 [4096] cs F7`            4104, request `F0 43 2n 09 F7`
//   AMEM    `F0 43 0n 06 08 60 [1120] cs F7`            1128, request `F0 43 2n 06 F7`
//   PMEM    `F0 43 0n 7E 0C 6A "LM  8973PM" [1632] cs F7` 1650, request `F0 43 2n 7E "LM  8973PM" F7`
//   system  `F0 43 0n 7E 00 5F "LM  8973S " [85] cs F7`   103, request `F0 43 2n 7E "LM  8973S " F7`
#include "simulator/profiles/yamaha_dx7ii_family.h"

namespace druv::profiles {
namespace {

class YamahaDx7ii : public YamahaDx7iiFamily {
public:
    explicit YamahaDx7ii(const ProfileSettings& settings)
        : YamahaDx7iiFamily(settings, {
                                          {"voices", 0x09, 0x20, 0x00, nullptr, 4096, true},
                                          {"amem", 0x06, 0x08, 0x60, nullptr, 1120, true},
                                          {"performances", 0x7E, 0x0C, 0x6A, "LM  8973PM", 1632, false},
                                          {"system", 0x7E, 0x00, 0x5F, "LM  8973S ", 85, false},
                                      }) {}
};

}  // namespace

DRUV_PROFILE(YamahaDx7ii, "Yamaha", "DX7II")

}  // namespace druv::profiles
