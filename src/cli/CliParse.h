// The outcome of reading the command line: options to run with, or an exit status to stop with.
#pragma once

#include <iosfwd>
#include <optional>

#include "cli/CliOptions.h"

struct CliParse {
    std::optional<CliOptions> options;
    int exitStatus = 0;  // when there are no options: 0 after --help or --version, 2 after bad usage
};

// Parses the arguments; help, version and usage errors are printed here.
[[nodiscard]] CliParse parseCliOptions(int argc, const char* const* argv, std::ostream& out,
                                       std::ostream& err);
