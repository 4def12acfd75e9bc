// The batch command's options, parsed from its command line.
#pragma once

#include <string>

#include "core/merge/MergeOptions.h"

struct CliOptions {
    enum class Resolve { Original, Input, Fail };
    enum class Comments { Both, Database, None };

    std::string input;   // as typed
    std::string folder;  // empty: the current folder
    int layout = 0;
    MergeOptions options;
    Resolve resolve = Resolve::Original;
    Comments comments = Comments::Both;
    bool dryRun = false;
    std::string reportPath;  // empty: no report; "-": standard output
    bool quiet = false;
};
