// How the window names the definition it holds: in its title bar, and in the
// question asked before unsaved changes would be lost.
#pragma once

#include <string>

// The file's name without its folder, or "Untitled" for a definition that has
// no file yet.
std::string DocumentName(const std::string& path);

// The program's name alone for a new definition without changes; otherwise
// the document's name, a "*" while there are unsaved changes, and the
// program's name ("mixer.druv* - DRUV Template Builder").
std::string WindowTitle(const std::string& path, bool unsaved);
