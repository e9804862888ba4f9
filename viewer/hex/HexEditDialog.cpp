#include "HexEditDialog.h"

// The dialog's window and the grid's cell rules; reading and writing the block is in
// HexEditFile.cpp.

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <stdexcept>

#include "HexCellDelegate.h"
#include "HexEditCells.h"
#include "platform/Guarded.h"
#include "stl/StlUtils.h"
#include "viewer/FixedFont.h"

using platform::guarded;
using platform::guardedVoid;

using namespace hexcells;

HexEditDialog::HexEditDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Hex Edit"));
    resize(769, 613);

    m_grid = new QTableWidget(this);
    m_grid->setMinimumHeight(200);
    m_grid->resize(769, 569);
    m_grid->setFont(fixedPitchFont(QStringLiteral("Courier New"), m_grid->font().pointSize()));
    m_grid->setColumnCount(columnCount);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setDefaultSectionSize(24);
    m_grid->horizontalHeader()->setMinimumSectionSize(16);
    m_grid->setShowGrid(true);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                            QAbstractItemView::EditKeyPressed);
    m_grid->setItemDelegate(new HexCellDelegate(this));
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableWidget::currentCellChanged, this, &HexEditDialog::onCurrentCellChanged);

    bbtnOK = new QPushButton(QStringLiteral("Save Changes"), this);
    bbtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bbtnOK->setAutoDefault(false);
    bbtnCancel->setAutoDefault(false);
    connect(bbtnOK, &QPushButton::clicked, this, &HexEditDialog::bbtnOKClick);
    connect(bbtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(bbtnOK);
    buttons->addWidget(bbtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 8, 8);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
}

HexEditDialog::~HexEditDialog() {
    if (!m_closed) onClose();
}

void HexEditDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        onFirstShow();
    }
}

void HexEditDialog::done(int result) {
    QDialog::done(result);
    onClose();
}

void HexEditDialog::applyCellFlags() {
    const QBrush fixedText = palette().brush(QPalette::Active, QPalette::Text);
    for (int r = 1; r <= m_layout.rows(); ++r) {
        for (int c = 0; c < columnCount; ++c) {
            QTableWidgetItem* item = m_grid->item(r - 1, c);
            if (item == nullptr) continue;
            const std::int64_t k = m_layout.byteIndex(c, r);
            const bool holdsByte = isByteCell(c, r) && k >= 0 && k < m_bytesRead;
            if (holdsByte) {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            } else {
                // Cells that cannot be selected; their text keeps the normal colour.
                item->setFlags(Qt::NoItemFlags);
                item->setForeground(fixedText);
            }
            if (c == offsetCol) item->setBackground(palette().brush(QPalette::Button));
        }
    }
}

bool HexEditDialog::isByteCell(int column, int row) const {
    return column >= 1 && column <= hexlayout::bytesPerLine && row >= 1 && row <= m_layout.rows();
}

QString HexEditDialog::cell(int column, int row) const {
    if (column < 0 || column >= columnCount) return {};
    if (row == 0) {
        const QTableWidgetItem* header = m_grid->horizontalHeaderItem(column);
        return header ? header->text() : QString();
    }
    const QTableWidgetItem* item = m_grid->item(row - 1, column);
    return item ? item->text() : QString();
}

void HexEditDialog::setCell(int column, int row, const QString& text) {
    QTableWidgetItem* item = m_grid->item(row - 1, column);
    if (item == nullptr) throw std::out_of_range("cell");
    item->setText(text);
}

void HexEditDialog::fillBlanks(int column, int row) {
    if (!isByteCell(column, row)) return;
    QString text = cell(column, row);
    if (isBlankText(text)) return;
    text.replace(QLatin1Char(' '), QLatin1Char('0'));
    setCell(column, row, text);
}

QString HexEditDialog::editMask(int, int) const {
    // Two letters or digits shown in upper case; a position may stay unfilled.
    return QStringLiteral(">nn");
}

void HexEditDialog::onGridTextEdited(int column, int row, const QString& value) {
    std::uint8_t original = 0;
    if (!isByteCell(column, row) || !getOriginalValue(column, row, original)) return;
    try {
        const HexCellEdit edit = readCellText(value);
        setCell(column, row, QString::fromLatin1(edit.text.c_str()));
        addChangedCell(column, row, edit.value);
        updateRow(row);
    } catch (...) {
        guardedVoid("THexEditForm.StringGrid1SetEditText",
                    [&] { setCell(column, row, QStringLiteral("00")); });
    }
}

bool HexEditDialog::onGridCellSelected(int column, int row) {
    return guarded("THexEditForm.StringGrid1SelectCell", false, [&] {
        if (row == 1 && column >= 1 && column <= m_layout.lead()) return false;
        fillBlanks(m_prevCol, m_prevRow);
        if (!isByteCell(column, row) || isBlankText(cell(column, row))) return false;
        m_prevCol = column;
        m_prevRow = row;
        return true;
    });
}

void HexEditDialog::onCurrentCellChanged(int row, int col, int previousRow, int previousCol) {
    if (m_inSelect || row < 0 || col < 0) return;
    if (onGridCellSelected(col, row + 1)) return;
    // Refused: go back to where the cursor was.
    m_inSelect = true;
    if (previousRow >= 0 && previousCol >= 0) m_grid->setCurrentCell(previousRow, previousCol);
    m_inSelect = false;
}

void HexEditDialog::onGridKeyPressed(int key) {
    guardedVoid("THexEditForm.StringGrid1KeyDown", [&] {
        if (!isEnterKey(key)) return;
        const int col = m_grid->currentColumn();
        const int row = m_grid->currentRow() + 1;
        if (!isByteCell(col, row)) return;
        const std::int64_t next = m_layout.byteIndex(col, row) + 1;
        const std::int64_t lastByte = std::min(m_size, m_bytesRead) - 1;
        if (next > lastByte) return;
        m_grid->setCurrentCell(m_layout.rowOf(next) - 1, m_layout.colOf(next));
    });
}

bool HexEditDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress &&
        isEnterKey(static_cast<QKeyEvent*>(event)->key())) {
        onGridKeyPressed(Qt::Key_Return);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool HexEditDialog::addChangedCell(int col, int row, std::uint8_t value) {
    return guarded("THexEditForm.AddChangedCell", false, [&] {
        std::uint8_t original = 0;
        if (!getOriginalValue(col, row, original)) throw std::out_of_range("cell");
        const int index = getChangedCellIndex(col, row);
        if (index >= 0) {
            if (value == original)
                m_changedCells.erase(m_changedCells.begin() + index);
            else
                m_changedCells[index].value = value;
        } else if (value != original) {
            m_changedCells.push_back({col, row, value});
        }
        if (QTableWidgetItem* item = m_grid->item(row - 1, col))
            m_grid->viewport()->update(m_grid->visualItemRect(item));
        return true;
    });
}

int HexEditDialog::getChangedCellIndex(int col, int row) const {
    return guarded("THexEditForm.GetChangedCellIndex", -1, [&] {
        for (std::size_t i = 0; i < m_changedCells.size(); ++i)
            if (m_changedCells[i].col == col && m_changedCells[i].row == row)
                return static_cast<int>(i);
        return -1;
    });
}

bool HexEditDialog::getOriginalValue(int col, int row, std::uint8_t& value) const {
    return guarded("THexEditForm.GetOriginalValue", false, [&] {
        const std::int64_t k = m_layout.byteIndex(col, row);
        if (!isByteCell(col, row) || k < 0 || k >= m_bytesRead) throw std::out_of_range("cell");
        value = m_buffer.at(static_cast<std::size_t>(k));
        return true;
    });
}

bool HexEditDialog::updateRow(int row) {
    return guarded("THexEditForm.UpdateRow", false, [&] {
        QString text;
        if (row == 1) text.fill(QLatin1Char(' '), m_layout.lead());
        for (int c = 1; c <= hexlayout::bytesPerLine; ++c) {
            const QString cellText = cell(c, row);
            if (cellText.isEmpty()) continue;
            text += QChar(hexDisplayChar(readCellText(cellText).value));
        }
        setCell(charCol, row, text);
        return true;
    });
}
