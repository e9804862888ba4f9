#include "HexCellDelegate.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "HexEditCells.h"
#include "HexEditDialog.h"

namespace {

// The open editor covers its cell, so it carries the cell's change mark itself.
void markEditor(QLineEdit* editor, bool changed) {
    QPalette palette = editor->parentWidget() ? editor->parentWidget()->palette() : QPalette();
    if (changed) {
        palette.setColor(QPalette::Base, QColor(0xFF, 0x00, 0x00));
        palette.setColor(QPalette::Text, Qt::white);
    }
    editor->setPalette(palette);
}

}  // namespace

HexCellDelegate::HexCellDelegate(HexEditDialog* form) : QStyledItemDelegate(form), m_form(form) {}

QWidget* HexCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                       const QModelIndex& index) const {
    const int col = index.column();
    const int row = index.row() + 1;
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setInputMask(m_form->editMask(col, row));
    QObject::connect(editor, &QLineEdit::textEdited, editor,
                     [this, editor, col, row](const QString& text) {
                         // Every keystroke goes into the cell at once (red mark, character column);
                         // the open editor keeps its own text and cursor, so the next digit lands
                         // where it is typed.
                         m_writingBack = true;
                         m_form->onGridTextEdited(col, row, text);
                         m_writingBack = false;
                         // Corrections of the rules ("G" is 00, "AZ" is A0) show in the editor at
                         // once.
                         const QString cell = m_form->cell(col, row);
                         if (cell.trimmed() != text.trimmed()) {
                             const int at = editor->cursorPosition();
                             editor->setText(cell);
                             editor->setCursorPosition(at);
                         }
                         markEditor(editor, m_form->getChangedCellIndex(col, row) >= 0);
                     });
    markEditor(editor, m_form->getChangedCellIndex(col, row) >= 0);
    return editor;
}

void HexCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (m_writingBack) return;
    static_cast<QLineEdit*>(editor)->setText(index.data().toString());
}

void HexCellDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex& index) const {
    // The cell already holds every change; leaving it fills an unfilled position with 0.
    m_form->fillBlanks(index.column(), index.row() + 1);
}

void HexCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    if (m_form->getChangedCellIndex(index.column(), index.row() + 1) < 0) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    painter->fillRect(option.rect, QColor(0xFF, 0x00, 0x00));
    painter->setPen(Qt::white);
    painter->setFont(option.font);
    const QRect text = option.rect.adjusted(2, 2, 0, 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop, index.data().toString());
    painter->restore();
}

bool HexCellDelegate::eventFilter(QObject* object, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        hexcells::isEnterKey(static_cast<QKeyEvent*>(event)->key())) {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor != nullptr) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            m_form->onGridKeyPressed(Qt::Key_Return);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
