// The program's command line as the system splits it, in UTF-8.
#pragma once

#include <string>
#include <vector>

// The arguments after the program's own name, split as the shell splits
// them (quotes group blanks), each converted from UTF-16 to UTF-8.
std::vector<std::string> CommandLineArguments(const wchar_t* commandLine);
