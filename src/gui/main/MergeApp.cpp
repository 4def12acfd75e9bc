// Start-up and end of the desktop program.
#include "gui/main/MergeApp.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <utility>

#include "core/workflow/ProgramSettings.h"
#include "gui/common/QtMessageBoxes.h"
#include "gui/main/MergeWindow.h"

void showSocketFailureBox(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                    nullptr);
    box.exec();
}

MergeApp::MergeApp(MergeAppPlatform platform) : platform_(std::move(platform)) {}

int MergeApp::run() {
    if (!platform_.startSockets()) {
        platform_.showSocketFailure(QStringLiteral("Windows sockets initialization failed."));
        return 1;
    }

    ProgramSettings settings;
    const std::unique_ptr<QSettings> store = platform_.openSettings();
    // Loaded before the window exists, so that it opens with the remembered layout.
    (void)loadSettings(settings, *store);
    {
        MergeWindow window(settings, platform_.resolveStep, platform_.commentsStep, platform_.windowBoxes);
        window.exec();  // Exit, the close box and the end of a merge all lead on to the save
    }

    QtMessageBoxes ownBoxes(nullptr);
    saveSettings(settings, *store, platform_.settingsBoxes != nullptr ? *platform_.settingsBoxes : ownBoxes);
    return 0;
}
