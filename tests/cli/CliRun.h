// Runs the batch command in-process and keeps what it printed.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliApp.h"

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// velkmerge-cli -C folder args...
inline CliRun runIn(const std::filesystem::path& folder, std::vector<std::string> args) {
    args.insert(args.begin(), {"velkmerge-cli", "-C", folder.string()});
    std::vector<const char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}
