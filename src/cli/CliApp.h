// The batch command as a function, so that tests can run it without a process of its own.
#pragma once

#include <iosfwd>

// Runs velkmerge-cli with the given arguments and returns its exit status.
[[nodiscard]] int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
