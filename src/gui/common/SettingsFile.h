// Where the desktop program keeps what it remembers between runs: the three values of the main window,
// and the size of windows and the widths of their lists' columns, each window in a group of its own,
// which older versions ignore.
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

class QHeaderView;
class QWidget;

// The user's own settings store: the registry key "Software\Tamsk\VelkMerge" on Windows, the user's
// Tamsk/VelkMerge.ini elsewhere. Nothing is read or written until it is used.
[[nodiscard]] std::unique_ptr<QSettings> openProgramSettings();

// Gives `window` (and `columns`, when not null) the size and widths remembered under `name`, if any.
void restoreWindowLayout(QWidget& window, QHeaderView* columns, const QString& name);
void saveWindowLayout(const QWidget& window, const QHeaderView* columns, const QString& name);
