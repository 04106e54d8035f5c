// The builder's fixture requires every box to be owned by the window; the
// one box no other test can bring up is the warning about an identifier the
// system could not make.
#include "builder/definition_identity.h"
#include "tests/builder/builder_test_support.h"

namespace {

TEST_F(BuilderTest, TheWarningsAboutIdentifiersThatCannotBeMadeAreOwnedByTheWindow) {
    ClearIdentifiers(device());
    FillMissingIdentifiers(device(), [](GUID&) { return false; });
    EXPECT_EQ((std::vector<std::string>{"Error creating GUID!", "Error creating Editor GUID!"}), boxes);
}

}  // namespace
