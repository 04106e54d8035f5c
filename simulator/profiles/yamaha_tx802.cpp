// Yamaha TX802: the DX7II's voice banks I and II and their additional data,
// with its own performance memory and system setup:
//   voices  `F0 43 0n 09 20 00 [4096] cs F7`               4104, request `F0 43 2n 09 F7`
//   AMEM    `F0 43 0n 06 08 60 [1120] cs F7`               1128, request `F0 43 2n 06 F7`
//   PMEM    `F0 43 0n 7E hh ll "LM  8952PM" [11572] F7`    11589, request `F0 43 2n 7E "LM  8952PM" F7`
//   system  `F0 43 0n 7E 02 11 "LM  8952S " [263] cs F7`    281, request `F0 43 2n 7E "LM  8952S " F7`
// The performance block has no overall checksum; what its count bytes hold
// is not published, so the unit sends the count of identifier and data
// (5A 3E) and does not check them. The TX802's own blocks are known from a
// source without a capture of the unit.
#include "simulator/profiles/yamaha_dx7ii_family.h"

namespace druv::profiles {
namespace {

class YamahaTx802 : public YamahaDx7iiFamily {
public:
    explicit YamahaTx802(const ProfileSettings& settings)
        : YamahaDx7iiFamily(settings, {
                                          {"voices", 0x09, 0x20, 0x00, nullptr, 4096, true},
                                          {"amem", 0x06, 0x08, 0x60, nullptr, 1120, true},
                                          {"performances", 0x7E, 0x5A, 0x3E, "LM  8952PM", 11572, false, false},
                                          {"system", 0x7E, 0x02, 0x11, "LM  8952S ", 263, false},
                                      }) {}
};

}  // namespace

DRUV_PROFILE(YamahaTx802, "Yamaha", "TX802")

}  // namespace druv::profiles
