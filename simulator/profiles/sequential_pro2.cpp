// Pro 2: id 2C, eight banks of 99 programs, 1171 packed bytes (1178-byte dump).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialPro2 : public SequentialFamily {
public:
    explicit SequentialPro2(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x2C, false, 8, 99, 1171}) {}
};

}  // namespace

DRUV_PROFILE(SequentialPro2, "Sequential", "Pro 2")

}  // namespace druv::profiles
