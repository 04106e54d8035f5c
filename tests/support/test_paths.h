#pragma once
// Where the tests find the tree's example and instrument definitions. One
// file holds the tree's path, so that the compiler cache serves every other
// test file to any clone of the tree.
#include <string>

namespace druvtest {

// The folders, without a separator at the end; on Windows as Wine sees them.
std::string ExamplesDir();
std::string InstrumentsDir();

}  // namespace druvtest
