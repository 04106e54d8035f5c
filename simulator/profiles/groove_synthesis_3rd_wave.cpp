// 3rd Wave: maker ID 00 02 4A, id 01, five banks of 100 programs, 4604 data bytes of parameter pairs (a 4611-byte
// edit buffer; the program dump is the same with bank and program, 4613 bytes).
#include "simulator/profiles/sequential_family.h"

namespace druv::profiles {
namespace {

class GrooveSynthesis3rdWave : public SequentialFamily {
public:
    explicit GrooveSynthesis3rdWave(const ProfileSettings& settings)
        : SequentialFamily(settings, {0x01, false, 5, 100, 4604, {0x00, 0x02, 0x4A}}) {}
};

}  // namespace

DRUV_PROFILE(GrooveSynthesis3rdWave, "Groove Synthesis", "3rd Wave")

}  // namespace druv::profiles
