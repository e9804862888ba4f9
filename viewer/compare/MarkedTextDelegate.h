#pragma once
// Draws the text columns of the comparison table with the changed words picked out: [-removed-]
// struck through in red, {+added+} bold in green. The marks themselves stay, so the change reads
// without colour too (and copies as it shows).

#include <QStyledItemDelegate>

namespace comparewindow {

class MarkedTextDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace comparewindow
