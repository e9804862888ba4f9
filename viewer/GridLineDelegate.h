#pragma once
// Grid lines for a report-style list: each cell is drawn as usual, then framed on its right and
// bottom edge. A style sheet would draw the lines too, but it drops the rows' own brushes.

#include <QStyledItemDelegate>

class GridLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
