// The batch command's options, parsed from its command line.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "merge/MergeOptions.h"

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

// The parsed options, or the exit status when the program should stop at once (0 after --help or
// --version, 2 after bad usage, with the text already printed).
struct CliParse {
    std::optional<CliOptions> options;
    int exitStatus = 0;
};

[[nodiscard]] CliParse parseCliOptions(int argc, const char* const* argv, std::ostream& out,
                                       std::ostream& err);
