// The batch command's options, parsed from its command line.
#pragma once

#include <string>
#include <vector>

#include "core/merge/MergeOptions.h"
#include "core/workflow/ResolvePair.h"

struct CliOptions {
    enum class Resolve { Original, Input, Fail, Ask };
    enum class Comments { Both, Database, None };

    std::string input;   // as typed
    std::string folder;  // empty: the current folder
    int layout = 0;
    bool detectLayout = false;        // --layout auto
    std::vector<std::string> fields;  // --fields: the columns of a comma layout of the user's making
    bool checkLayoutFit = true;       // off with --force-layout
    MergeOptions options;
    Resolve resolve = Resolve::Original;
    std::vector<PairField> take;  // fields taken from the input in every differing pair
    Comments comments = Comments::Both;
    bool dryRun = false;
    std::string reportPath;  // empty: no report; "-": standard output
    bool quiet = false;
};
