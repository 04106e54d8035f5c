// Evolver: id 20 followed by the file version 01, four banks of 128 programs, 220 packed bytes (228-byte dump).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class SequentialEvolver : public SequentialFamily {
public:
    explicit SequentialEvolver(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x20, true, 4, 128, 220}) {}
};

}  // namespace

DRUV_PROFILE(SequentialEvolver, "Sequential", "Evolver")

}  // namespace druv::profiles
