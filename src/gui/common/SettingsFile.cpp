// Opening the settings store, and keeping windows' layouts in it.
#include "gui/common/SettingsFile.h"

#include <QHeaderView>
#include <QWidget>

std::unique_ptr<QSettings> openProgramSettings() {
#ifdef _WIN32
    auto store = std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\Tamsk\\VelkMerge"),
                                             QSettings::NativeFormat);
#else
    auto store = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Tamsk"), QStringLiteral("VelkMerge"));
#endif
    // Only the user's own values count, never an organisation-wide or system-wide file.
    store->setFallbacksEnabled(false);
    return store;
}

void restoreWindowLayout(QWidget& window, QHeaderView* columns, const QString& name) {
    const std::unique_ptr<QSettings> store = openProgramSettings();
    store->beginGroup(name);
    window.restoreGeometry(store->value(QStringLiteral("geometry")).toByteArray());
    if (columns != nullptr) {
        columns->restoreState(store->value(QStringLiteral("columns")).toByteArray());
    }
}

void saveWindowLayout(const QWidget& window, const QHeaderView* columns, const QString& name) {
    const std::unique_ptr<QSettings> store = openProgramSettings();
    store->beginGroup(name);
    store->setValue(QStringLiteral("geometry"), window.saveGeometry());
    if (columns != nullptr) {
        store->setValue(QStringLiteral("columns"), columns->saveState());
    }
}
