#include "manager/command_line_info.h"

void DRUVCommandLineInfo::ParseParam(const std::string& argument) {
    if (!argument.empty() && (argument[0] == '/' || argument[0] == '-')) return;
    files_.push_back(argument);
}

void DRUVCommandLineInfo::ParseArguments(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) ParseParam(argument);
}
