// Prophet 12 (the keyboard; the module answers as 2B): id 2A, eight banks of 99 programs, 1171 packed bytes
// (1178-byte dump).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialProphet12 : public SequentialFamily {
public:
    explicit SequentialProphet12(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x2A, false, 8, 99, 1171}) {}
};

}  // namespace

DRUV_PROFILE(SequentialProphet12, "Sequential", "Prophet 12")

}  // namespace druv::profiles
