// Pro 3: id 31, eight banks of 128 programs, 4688 packed bytes (4695-byte dump).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialPro3 : public SequentialFamily {
public:
    explicit SequentialPro3(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x31, false, 8, 128, 4688}) {}
};

}  // namespace

DRUV_PROFILE(SequentialPro3, "Sequential", "Pro 3")

}  // namespace druv::profiles
