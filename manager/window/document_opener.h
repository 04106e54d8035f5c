// How the manager asks the shell to open a document (its manual). A seam: the
// window is given the function, so that tests see the request without
// anything being launched.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// `document` and `workingFolder` are UTF-8 full paths. Failures are not
// reported: a missing manual is no error of the manager's.
using DocumentOpener = std::function<void(HWND owner, const std::string& document, const std::string& workingFolder)>;

// The shell's "open" action on the document.
void ShellOpenDocument(HWND owner, const std::string& document, const std::string& workingFolder);
