// The desktop program: works on Call3.txt of the folder it is started in.
#include <QApplication>
#include <QIcon>
#include <cstring>
#include <iostream>

#include "core/platform/PlatformFiles.h"
#include "gui/main/MergeApp.h"

namespace {

// What --help prints; the manual page velkmerge(1) is made from it too.
constexpr const char* helpText =
    "Usage: velkmerge [OPTION]\n"
    "Merges a newer callsign list into the Velk callsign database Call3.txt of the folder it is started\n"
    "in, in a window: choose the input file and its layout, set the merge options and press Merge. New\n"
    "calls are added, known calls get the automatic conversions the options allow, and the calls whose\n"
    "data still differ are settled in the resolve window, field by field or pair by pair, with undo.\n"
    "The previous file is kept as Call3.bak. F1 in each window explains it and its keys.\n"
    "\n"
    "Options:\n"
    "  --help       print this help and exit\n"
    "  --version    print the version and exit\n"
    "\n"
    "Other arguments are ignored. The settings live in $XDG_CONFIG_HOME/Tamsk/VelkMerge.ini\n"
    "(~/.config/Tamsk/VelkMerge.ini by default), unfinished decisions in\n"
    "$XDG_DATA_HOME/Tamsk/velkmerge/resume/. velkmerge-cli(1) does the same merge from the command line.\n";

// --help and --version are answered before any window opens, so they work without a display.
bool answeredFromCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::cout << helpText;
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "velkmerge " VELKMERGE_VERSION "\n";
            return true;
        }
    }
    return false;
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/velkmerge-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace

int main(int argc, char* argv[]) {
    holdStandardStreams();
    if (answeredFromCommandLine(argc, argv)) {
        return std::cout.flush() ? 0 : 1;
    }
    ignoreWriteSignals(false);
    QApplication application(argc, argv);
    // The application name stays the executable's name; it captions the start-up failure box.
    QApplication::setOrganizationName(QStringLiteral("Tamsk"));
    Q_INIT_RESOURCE(velkmerge);  // the icons live in the static library
    QApplication::setWindowIcon(programIcon());
    return MergeApp().run();
}
