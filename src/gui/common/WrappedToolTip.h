// Tooltips that wrap at a width the program chooses and stay long enough to read, in every window.
#pragma once

#include <QString>

class QEvent;
class QFontMetrics;
class QObject;

// `text` broken into lines no wider than `width`, at blanks where there are some.
[[nodiscard]] QString wrapToWidth(const QString& text, const QFontMetrics& metrics, int width);

// Shows the wrapped tooltip of `watched` for a tooltip event; false for any other event, or a control
// without a tooltip. For a window's event filter.
bool showWrappedToolTip(QObject* watched, QEvent* event);
