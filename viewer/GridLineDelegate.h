#pragma once
// Grid lines for a report-style list: each cell is drawn as usual, then framed on its right and
// bottom edge. A style sheet would draw the lines too, but it drops the rows' own brushes.

#include <QStyledItemDelegate>

class TGridLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option,
               const QModelIndex& Index) const override;
};
