// The manager's command line: the definition files to install at start.
#pragma once

#include <string>
#include <vector>

class DRUVCommandLineInfo {
public:
    // An argument starting with "/" or "-" is a switch; the manager knows
    // none and ignores them all. Any other argument is a file path, kept in
    // the order given.
    void ParseParam(const std::string& argument);
    // Every argument after the program's own name, in order.
    void ParseArguments(const std::vector<std::string>& arguments);

    const std::vector<std::string>& Files() const { return files_; }

private:
    std::vector<std::string> files_;
};
