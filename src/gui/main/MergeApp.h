// The program from start to end: the socket layer, the remembered settings and the main window.
#pragma once

#include <QSettings>
#include <QString>
#include <functional>
#include <memory>

#include "core/workflow/MessageBoxes.h"
#include "gui/main/SettingsStore.h"
#include "gui/main/SocketLayer.h"

class CommentsStep;
class ResolveStep;

// Shows "Windows sockets initialization failed." (or any text) with OK and the exclamation icon,
// captioned with the application name and owned by no window.
void showSocketFailureBox(const QString& text);

// Everything start-up reaches outside the program. The defaults are the real ones; tests replace them.
struct MergeAppPlatform {
    std::function<bool()> startSockets = startSocketLayer;
    std::function<std::unique_ptr<QSettings>()> openSettings = openProgramSettings;
    std::function<void(const QString&)> showSocketFailure = showSocketFailureBox;
    MessageBoxes* settingsBoxes = nullptr;  // the settings save error; null: a Qt box with no owner
    MessageBoxes* windowBoxes = nullptr;    // the main window's boxes; null: the window's own
    ResolveStep* resolveStep = nullptr;     // null: the window's own
    CommentsStep* commentsStep = nullptr;   // null: the window's own
};

class MergeApp {
  public:
    explicit MergeApp(MergeAppPlatform platform = {});

    // Starts the socket layer (on failure: one box, and the end, with the settings untouched), loads
    // the settings, runs the main window until it closes, saves the settings. 0, or 1 when the socket
    // layer did not start.
    int run();

  private:
    MergeAppPlatform platform_;
};
