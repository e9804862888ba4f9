#include "HexEditDialog.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <stdexcept>

#include "platform/Guarded.h"
#include "stl/StlUtils.h"
#include "viewer/UserInteraction.h"

using platform::guarded;
using platform::guardedVoid;

namespace {

constexpr int offsetCol = 0;
constexpr int charCol = 17;
constexpr int columnCount = 18;
// Blocks are 128 or 1024 bytes; anything far beyond that is a caller's mistake, not a block.
constexpr std::int64_t maxEditBytes = 1 << 20;

const QString saveQuestion = QStringLiteral(
    "This action will permanently change the file content. Are you sure you want to save all "
    "changes?");

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QString hexByte(std::uint8_t value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

bool isEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool isBlankText(const QString& text) {
    return text.isEmpty() || text == QLatin1String("  ");
}

HexCellEdit readCellText(const QString& text) {
    QByteArray latin = text.left(2).toLatin1();
    return normalizeHexCellText(std::string(latin.constData(), static_cast<size_t>(latin.size())));
}

}  // namespace

// Editors with the two-digit mask, the changed-cell painting and Enter while a cell is edited.
class HexCellDelegate : public QStyledItemDelegate {
public:
    explicit HexCellDelegate(HexEditDialog* form) : QStyledItemDelegate(form), m_form(form) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        const int col = index.column();
        const int row = index.row() + 1;
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setInputMask(m_form->editMask(col, row));
        QObject::connect(editor, &QLineEdit::textEdited, editor,
                         [form = m_form, editor, col, row](const QString& text) {
                             form->onGridTextEdited(col, row, text);
                             // Corrections of the rules show in the editor at once.
                             const QString cell = form->cell(col, row);
                             if (cell.trimmed() != text.trimmed()) editor->setText(cell);
                         });
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QLineEdit*>(editor)->setText(index.data().toString());
    }

    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex& index) const override {
        // The cell already holds every change; leaving it fills an unfilled position with 0.
        m_form->fillBlanks(index.column(), index.row() + 1);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
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

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            isEnterKey(static_cast<QKeyEvent*>(event)->key())) {
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

private:
    HexEditDialog* m_form;
};

HexEditDialog::HexEditDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Hex Edit"));
    resize(769, 613);

    m_grid = new QTableWidget(this);
    m_grid->setMinimumHeight(200);
    m_grid->resize(769, 569);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    m_grid->setFont(font);
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

void HexEditDialog::onFirstShow() {
    guardedVoid("THexEditForm.FormShow", [&] {
        WaitCursor wait;
        if (m_offset < 0 || m_size < 0 || m_size > maxEditBytes)
            throw std::invalid_argument("block range");
        if (m_fileStream == nullptr && !m_fileName.empty()) {
            // Opened by descriptor so the path's bytes are used exactly as given.
            const int fd = ::open(m_fileName.c_str(), O_RDWR | O_CLOEXEC);
            if (fd < 0) throw std::runtime_error("open failed");
            m_ownStream = std::make_unique<QFile>();
            if (!m_ownStream->open(fd, QIODevice::ReadWrite | QIODevice::Unbuffered,
                                   QFileDevice::AutoCloseHandle)) {
                ::close(fd);
                m_ownStream.reset();
                throw std::runtime_error("open failed");
            }
            m_fileStream = m_ownStream.get();
        }
        if (m_fileStream == nullptr) throw std::runtime_error("no stream");

        m_changedCells.clear();
        m_prevCol = m_prevRow = -1;
        m_layout = HexGridLayout{m_offset, m_size};
        const int lead = m_layout.lead();
        m_grid->setColumnWidth(offsetCol, 180);
        m_grid->setColumnWidth(charCol, 120);
        m_grid->setRowCount(m_layout.rows());
        QStringList header{QString()};
        for (int c = 0; c < hexlayout::bytesPerLine; ++c) header << hexByte(c);
        header << QString();
        m_grid->setHorizontalHeaderLabels(header);
        for (int r = 1; r <= m_layout.rows(); ++r) {
            for (int c = 0; c < columnCount; ++c) m_grid->setItem(r - 1, c, new QTableWidgetItem);
            setCell(offsetCol, r,
                    QString::fromStdString(hexlayout::offsetText(m_layout.rowStartOffset(r))));
        }

        m_buffer.assign(static_cast<std::size_t>(m_size), 0);
        m_bytesRead = 0;
        if (!m_fileStream->seek(m_offset)) throw std::runtime_error("seek failed");
        while (m_bytesRead < m_size) {
            const qint64 got = m_fileStream->read(
                reinterpret_cast<char*>(m_buffer.data()) + m_bytesRead, m_size - m_bytesRead);
            if (got < 0) throw std::runtime_error("read failed");
            if (got == 0) break;
            m_bytesRead += got;
        }

        for (std::int64_t k = 0; k < m_bytesRead; ++k)
            setCell(m_layout.colOf(k), m_layout.rowOf(k), hexByte(m_buffer[k]));
        if (m_bytesRead > 0)
            for (int r = 1; r <= m_layout.rowOf(m_bytesRead - 1); ++r) updateRow(r);

        setWindowTitle(QStringLiteral("Hex Edit") + QString::fromStdString(m_additionalCaption));
        applyCellFlags();
        if (m_bytesRead > 0) m_grid->setCurrentCell(0, lead + 1);
    });
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

void HexEditDialog::onClose() {
    guardedVoid("THexEditForm.FormClose", [&] {
        m_closed = true;
        m_buffer.clear();
        m_changedCells.clear();
        if (m_ownStream) {
            m_ownStream->close();
            m_ownStream.reset();
            m_fileStream = nullptr;
        }
    });
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

bool HexEditDialog::saveChanges() {
    return guarded("THexEditForm.SaveChanges", false, [&] {
        if (m_fileStream == nullptr) throw std::runtime_error("no stream");
        for (const ChangedCell& cell : m_changedCells) {
            const char value = static_cast<char>(cell.value);
            if (!m_fileStream->seek(m_layout.fileOffset(cell.col, cell.row)) ||
                m_fileStream->write(&value, 1) != 1)
                throw std::runtime_error("write failed");
        }
        // Only a write that reached the disk counts as saved.
        if (auto* file = qobject_cast<QFileDevice*>(m_fileStream)) {
            if (!file->flush()) throw std::runtime_error("flush failed");
            if (file->handle() >= 0 && ::fsync(file->handle()) != 0)
                throw std::runtime_error("fsync failed");
        }
        return true;
    });
}

void HexEditDialog::bbtnOKClick() {
    guardedVoid("THexEditForm.bbtnOKClick", [&] {
        if (m_canModify) {
            if (m_changedCells.empty()) {
                userInteraction().showMessage(this, QStringLiteral("No changes to be saved."));
            } else if (userInteraction().confirm(this, saveQuestion) && !saveChanges()) {
                // The edits stay in the grid so the user can try again or cancel.
                userInteraction().showError(
                    this, QStringLiteral("The changes could not be written to the file."));
                return;
            }
        }
        accept();
    });
}

bool canOpenReadWriteFile(const std::string& fileName) {
    return guarded("CanOpenReadWriteFile", false, [&] {
        const int fd = ::open(fileName.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return false;
        ::close(fd);
        return true;
    });
}

bool editFile(const std::string& fileName, const std::string& additionalCaption, bool canModify,
              std::int64_t offset, std::int64_t size, QWidget* parent) {
    return guarded("EditFile", false, [&] {
        std::error_code ec;
        if (!std::filesystem::exists(fileName, ec)) {
            platform::reportError("EditFile", "file not found");
            return false;
        }
        if (!canOpenReadWriteFile(fileName)) {
            platform::reportError("EditFile", "can not read/write file");
            return false;
        }
        if (offset < 0 || size <= 0 || size > maxEditBytes) {
            platform::reportError("EditFile", "invalid block range");
            return false;
        }
        HexEditDialog form(parent);
        form.setFileName(fileName);
        form.setOffset(offset);
        form.setSize(size);
        form.setAdditionalCaption(additionalCaption);
        form.setCanModify(canModify);
        return form.exec() == QDialog::Accepted;
    });
}
