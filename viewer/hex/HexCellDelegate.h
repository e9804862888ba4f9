#pragma once
// The hex edit grid's cells: editors with the two-digit mask, the red painting of changed cells
// and Enter while a cell is edited.

#include <QStyledItemDelegate>

class HexEditDialog;

class HexCellDelegate : public QStyledItemDelegate {
public:
    explicit HexCellDelegate(HexEditDialog* form);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    HexEditDialog* m_form;
    // Set while an editor's text is written into its own cell.
    mutable bool m_writingBack = false;
};
