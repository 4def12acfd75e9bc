// velkmerge-cli: merges a callsign list into Call3.txt from the command line.
#include <iostream>

#include "calldata/PlatformFiles.h"
#include "calldata/PlatformMemory.h"
#include "cli/CliApp.h"

int main(int argc, char** argv) {
    returnLargeBlocksWhenFreed();
    ignoreWriteSignals(true);
    return runCli(argc, argv, std::cout, std::cerr);
}
