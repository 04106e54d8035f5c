// Teo-5: maker byte 10, id 5A, sixteen banks of 16 programs, 4688 packed bytes (4695-byte dump).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class OberheimTeo5 : public SequentialFamily {
public:
    explicit OberheimTeo5(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x5A, false, 16, 16, 4688, {0x10}}) {}
};

}  // namespace

DRUV_PROFILE(OberheimTeo5, "Oberheim", "Teo-5")

}  // namespace druv::profiles
