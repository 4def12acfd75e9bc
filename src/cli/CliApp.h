// The batch command as a function, so that tests can run it without a process of its own.
#pragma once

#include <iosfwd>
#include <istream>
#include <ostream>

// Where the batch command talks: `in` gives the answers of --resolve ask, which needs a terminal there.
struct CliStreams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool inIsTerminal = false;
};

// Runs velkmerge-cli with the given arguments and returns its exit status.
[[nodiscard]] int runCli(int argc, const char* const* argv, const CliStreams& streams);
// The same with nothing to read answers from.
[[nodiscard]] int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
