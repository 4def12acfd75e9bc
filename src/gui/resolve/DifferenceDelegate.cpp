// Painting the values of a field with their differing characters marked.
#include "gui/resolve/DifferenceDelegate.h"

#include <QApplication>
#include <QPainter>

#include "gui/resolve/PairTableModel.h"

namespace {

// Draws `text` from `x` on the line at `y`, the characters from `start` to `end` marked; returns where it
// ended.
int drawMarked(QPainter& painter, const QFont& font, int x, int y, const QString& text, qsizetype start,
               qsizetype end, const QColor& shade) {
    const QString parts[] = {text.left(start), text.mid(start, end - start), text.mid(end)};
    for (int part = 0; part < 3; ++part) {
        QFont used = font;
        used.setBold(part == 1);
        used.setUnderline(part == 1);
        painter.setFont(used);
        const QFontMetrics metrics(used);
        const int width = metrics.horizontalAdvance(parts[part]);
        if (part == 1 && !parts[part].isEmpty()) {
            painter.fillRect(QRect(x, y - metrics.ascent(), width, metrics.height()), shade);
        }
        painter.drawText(x, y, parts[part]);
        x += width;
    }
    return x;
}

}  // namespace

std::pair<qsizetype, qsizetype> DifferenceDelegate::commonEnds(const QString& a, const QString& b) {
    qsizetype start = 0;
    while (start < a.size() && start < b.size() && a.at(start) == b.at(start)) {
        ++start;
    }
    qsizetype end = 0;
    while (end < a.size() - start && end < b.size() - start &&
           a.at(a.size() - 1 - end) == b.at(b.size() - 1 - end)) {
        ++end;
    }
    return {start, end};
}

void DifferenceDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    if (!index.data(PairTableModel::MineRole).isValid()) {
        QStyledItemDelegate::paint(painter, option, index);  // the call and the decision: plain text
        return;
    }
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    plain.text.clear();
    QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter);

    const QString mine = index.data(PairTableModel::MineRole).toString();
    const QVariant inputValue = index.data(PairTableModel::InputRole);
    const QString input = inputValue.isNull() ? QStringLiteral("\u2014") : inputValue.toString();
    const bool differs = index.data(PairTableModel::DiffersRole).toBool();
    const auto [start, end] = commonEnds(mine, input);

    painter->save();
    painter->setClipRect(option.rect);
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QColor shade =
        selected ? option.palette.color(QPalette::Highlight).darker(130) : QColor(255, 235, 140);
    const QFontMetrics metrics(option.font);
    const int left = option.rect.left() + 3;
    const int markerWidth = metrics.horizontalAdvance(QStringLiteral("\u2260 "));
    const int firstLine = option.rect.top() + 2 + metrics.ascent();
    const int secondLine = firstLine + metrics.lineSpacing();
    if (differs) {
        painter->setFont(option.font);
        painter->drawText(left, firstLine, QStringLiteral("\u2260"));
    }
    const int text = left + markerWidth;
    drawMarked(*painter, option.font, text, firstLine, mine, differs ? start : mine.size(),
               differs ? mine.size() - end : mine.size(), shade);
    drawMarked(*painter, option.font, text, secondLine, input, differs ? start : input.size(),
               differs ? input.size() - end : input.size(), shade);
    painter->restore();
}

QSize DifferenceDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (!index.data(PairTableModel::MineRole).isValid()) {
        return QStyledItemDelegate::sizeHint(option, index);
    }
    const QFontMetrics metrics(option.font);
    const QString mine = index.data(PairTableModel::MineRole).toString();
    const QString input = index.data(PairTableModel::InputRole).toString();
    const int width = std::max(metrics.horizontalAdvance(mine), metrics.horizontalAdvance(input));
    return {width + metrics.horizontalAdvance(QStringLiteral("\u2260 ")) + 8, 2 * metrics.lineSpacing() + 4};
}
