// The batch command as a function, so that tests can run it without a process of its own.
#pragma once

#include <iosfwd>

// Runs velkmerge-cli with the given arguments and returns its exit status.
[[nodiscard]] int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// The two files are mapped, not read: should another program cut one short during the merge, the part
// the merge was looking at has no bytes behind it any more and the system stops the program. This
// makes it say what happened first (on systems that stop it so). Called once, at start-up.
void stopCleanlyOnFileCutShort();
