// Draws a field of the overview: the database's value over the input's; in a field that differs, a "≠"
// before the values and the characters that differ in bold, underlined and shaded, so that the difference
// shows without colour.
#pragma once

#include <QStyledItemDelegate>

class DifferenceDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where two texts differ: the length of their common start and of their common end.
    [[nodiscard]] static std::pair<qsizetype, qsizetype> commonEnds(const QString& a, const QString& b);
};
