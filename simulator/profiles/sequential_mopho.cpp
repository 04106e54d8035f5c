// Mopho (desktop): id 25, three banks of 128 programs, 293 packed bytes (300-byte dump).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialMopho : public SequentialFamily {
public:
    explicit SequentialMopho(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x25, false, 3, 128, 293}) {}
};

}  // namespace

DRUV_PROFILE(SequentialMopho, "Sequential", "Mopho")

}  // namespace druv::profiles
