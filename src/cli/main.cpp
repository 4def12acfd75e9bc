// velkmerge-cli: merges a callsign list into Call3.txt from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliApp.h"
#include "core/platform/PlatformFiles.h"

int main(int argc, char** argv) {
    holdStandardStreams();
    ignoreWriteSignals(true);
    useUtf8Console();
    const std::vector<std::string> arguments = commandLineUtf8(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    return runCli(static_cast<int>(pointers.size()), pointers.data(),
                  {std::cin, std::cout, std::cerr, standardInputIsTerminal()});
}
