// The desktop program: works on Call3.txt of the folder it is started in.
#include <QApplication>
#include <QIcon>

#include "core/platform/PlatformFiles.h"
#include "gui/main/MergeApp.h"

namespace {

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/velkmerge-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace

int main(int argc, char* argv[]) {
    ignoreWriteSignals(false);
    QApplication application(argc, argv);
    // The application name stays the executable's name; it captions the start-up failure box.
    QApplication::setOrganizationName(QStringLiteral("Tamsk"));
    Q_INIT_RESOURCE(velkmerge);  // the icons live in the static library
    QApplication::setWindowIcon(programIcon());
    return MergeApp().run();
}
