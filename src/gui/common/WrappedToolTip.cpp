// Wrapping and showing tooltips.
#include "gui/common/WrappedToolTip.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QStringList>
#include <QToolTip>
#include <QWidget>

#include "core/workflow/Tooltips.h"

QString wrapToWidth(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    for (QString rest : text.split(QLatin1Char('\n'))) {
        while (metrics.horizontalAdvance(rest) > width) {
            // The longest head that fits, at least one character.
            qsizetype fit = 1;
            while (fit < rest.size() && metrics.horizontalAdvance(rest.left(fit + 1)) <= width) {
                ++fit;
            }
            // Break at the last blank within it, unless that blank belongs to the line's indentation.
            qsizetype firstWord = 0;
            while (firstWord < rest.size() && rest.at(firstWord) == QLatin1Char(' ')) {
                ++firstWord;
            }
            const qsizetype blank = rest.lastIndexOf(QLatin1Char(' '), fit);
            const bool atBlank = blank > firstWord;
            const qsizetype end = atBlank ? blank : fit;
            QString head = rest.left(end);
            while (atBlank && head.endsWith(QLatin1Char(' '))) {
                head.chop(1);
            }
            lines.append(head);
            rest.remove(0, end);
            while (atBlank && rest.startsWith(QLatin1Char(' '))) {
                rest.remove(0, 1);
            }
        }
        lines.append(rest);
    }
    return lines.join(QLatin1Char('\n'));
}

bool showWrappedToolTip(QObject* watched, QEvent* event) {
    auto* control = qobject_cast<QWidget*>(watched);
    if (event->type() != QEvent::ToolTip || control == nullptr || control->toolTip().isEmpty()) {
        return false;
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(),
                       wrapToWidth(control->toolTip(), QFontMetrics(QToolTip::font()), tooltipMaximumWidth),
                       control, QRect(), tooltipDisplayMilliseconds);
    return true;
}
