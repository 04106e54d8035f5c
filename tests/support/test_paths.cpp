#include "tests/support/test_paths.h"

namespace druvtest {

std::string ExamplesDir() { return DRUV_EXAMPLES_DIR; }
std::string InstrumentsDir() { return DRUV_INSTRUMENTS_DIR; }

}  // namespace druvtest
