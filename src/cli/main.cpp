// velkmerge-cli: merges a callsign list into Call3.txt from the command line.
#include <iostream>

#include "cli/CliApp.h"
#include "core/platform/PlatformFiles.h"

int main(int argc, char** argv) {
    ignoreWriteSignals(true);
    return runCli(argc, argv, {std::cin, std::cout, std::cerr, standardInputIsTerminal()});
}
