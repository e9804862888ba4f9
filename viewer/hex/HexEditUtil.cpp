#include "HexEditUtil.h"

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
#include "stl/STLUtils.h"
#include "viewer/UserInteraction.h"

using platform::guarded;
using platform::guardedVoid;

namespace {

constexpr int OffsetCol = 0;
constexpr int CharCol = 17;
constexpr int ColumnCount = 18;
// Blocks are 128 or 1024 bytes; anything far beyond that is a caller's mistake, not a block.
constexpr std::int64_t MaxEditBytes = 1 << 20;

const QString SaveQuestion = QStringLiteral(
    "This action will permanently change the file content. Are you sure you want to save all "
    "changes?");

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QString HexByte(std::uint8_t Value) {
    return QStringLiteral("%1").arg(Value, 2, 16, QLatin1Char('0')).toUpper();
}

bool IsEnterKey(int Key) {
    return Key == Qt::Key_Return || Key == Qt::Key_Enter;
}

bool IsBlankText(const QString& Text) {
    return Text.isEmpty() || Text == QLatin1String("  ");
}

HexCellEdit ReadCellText(const QString& Text) {
    QByteArray latin = Text.left(2).toLatin1();
    return NormalizeHexCellText(std::string(latin.constData(), static_cast<size_t>(latin.size())));
}

}  // namespace

// Editors with the two-digit mask, the changed-cell painting and Enter while a cell is edited.
class THexCellDelegate : public QStyledItemDelegate {
public:
    explicit THexCellDelegate(THexEditForm* Form) : QStyledItemDelegate(Form), form_(Form) {}

    QWidget* createEditor(QWidget* Parent, const QStyleOptionViewItem&,
                          const QModelIndex& Index) const override {
        const int col = Index.column();
        const int row = Index.row() + 1;
        auto* editor = new QLineEdit(Parent);
        editor->setFrame(false);
        editor->setInputMask(form_->StringGrid1GetEditMask(col, row));
        QObject::connect(editor, &QLineEdit::textEdited, editor,
                         [form = form_, editor, col, row](const QString& Text) {
                             form->StringGrid1SetEditText(col, row, Text);
                             // Corrections of the rules show in the editor at once.
                             const QString cell = form->Cell(col, row);
                             if (cell.trimmed() != Text.trimmed()) editor->setText(cell);
                         });
        return editor;
    }

    void setEditorData(QWidget* Editor, const QModelIndex& Index) const override {
        static_cast<QLineEdit*>(Editor)->setText(Index.data().toString());
    }

    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex& Index) const override {
        // The cell already holds every change; leaving it fills an unfilled position with 0.
        form_->FillBlanks(Index.column(), Index.row() + 1);
    }

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option,
               const QModelIndex& Index) const override {
        if (form_->GetChangedCellIndex(Index.column(), Index.row() + 1) < 0) {
            QStyledItemDelegate::paint(Painter, Option, Index);
            return;
        }
        Painter->save();
        Painter->fillRect(Option.rect, QColor(0xFF, 0x00, 0x00));
        Painter->setPen(Qt::white);
        Painter->setFont(Option.font);
        const QRect text = Option.rect.adjusted(2, 2, 0, 0);
        Painter->drawText(text, Qt::AlignLeft | Qt::AlignTop, Index.data().toString());
        Painter->restore();
    }

protected:
    bool eventFilter(QObject* Object, QEvent* Event) override {
        if (Event->type() == QEvent::KeyPress &&
            IsEnterKey(static_cast<QKeyEvent*>(Event)->key())) {
            auto* editor = qobject_cast<QWidget*>(Object);
            if (editor != nullptr) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                form_->StringGrid1KeyDown(Qt::Key_Return);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(Object, Event);
    }

private:
    THexEditForm* form_;
};

THexEditForm::THexEditForm(QWidget* Parent) : QDialog(Parent) {
    setWindowTitle(QStringLiteral("Hex Edit"));
    resize(769, 613);

    StringGrid1 = new QTableWidget(this);
    StringGrid1->setMinimumHeight(200);
    StringGrid1->resize(769, 569);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    StringGrid1->setFont(font);
    StringGrid1->setColumnCount(ColumnCount);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->horizontalHeader()->setDefaultSectionSize(24);
    StringGrid1->horizontalHeader()->setMinimumSectionSize(16);
    StringGrid1->setShowGrid(true);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    StringGrid1->setEditTriggers(QAbstractItemView::AnyKeyPressed |
                                 QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed);
    StringGrid1->setItemDelegate(new THexCellDelegate(this));
    StringGrid1->installEventFilter(this);
    connect(StringGrid1, &QTableWidget::currentCellChanged, this,
            &THexEditForm::OnCurrentCellChanged);

    bbtnOK = new QPushButton(QStringLiteral("Save Changes"), this);
    bbtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bbtnOK->setAutoDefault(false);
    bbtnCancel->setAutoDefault(false);
    connect(bbtnOK, &QPushButton::clicked, this, &THexEditForm::bbtnOKClick);
    connect(bbtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(bbtnOK);
    buttons->addWidget(bbtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 8, 8);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(buttons);
}

THexEditForm::~THexEditForm() {
    if (!FClosed) FormClose();
}

void THexEditForm::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void THexEditForm::done(int Result) {
    QDialog::done(Result);
    FormClose();
}

void THexEditForm::FormShow() {
    guardedVoid("THexEditForm.FormShow", [&] {
        WaitCursor wait;
        if (FOffset < 0 || FSize < 0 || FSize > MaxEditBytes)
            throw std::invalid_argument("block range");
        if (FFileStream == nullptr && !FFileName.empty()) {
            // Opened by descriptor so the path's bytes are used exactly as given.
            const int fd = ::open(FFileName.c_str(), O_RDWR | O_CLOEXEC);
            if (fd < 0) throw std::runtime_error("open failed");
            FOwnStream = std::make_unique<QFile>();
            if (!FOwnStream->open(fd, QIODevice::ReadWrite | QIODevice::Unbuffered,
                                  QFileDevice::AutoCloseHandle)) {
                ::close(fd);
                FOwnStream.reset();
                throw std::runtime_error("open failed");
            }
            FFileStream = FOwnStream.get();
        }
        if (FFileStream == nullptr) throw std::runtime_error("no stream");

        FChangedCells.clear();
        FPrevCol = FPrevRow = -1;
        FLayout = HexGridLayout{FOffset, FSize};
        const int lead = FLayout.Lead();
        StringGrid1->setColumnWidth(OffsetCol, 180);
        StringGrid1->setColumnWidth(CharCol, 120);
        StringGrid1->setRowCount(FLayout.Rows());
        QStringList header{QString()};
        for (int c = 0; c < hexlayout::BytesPerLine; ++c) header << HexByte(c);
        header << QString();
        StringGrid1->setHorizontalHeaderLabels(header);
        for (int r = 1; r <= FLayout.Rows(); ++r) {
            for (int c = 0; c < ColumnCount; ++c)
                StringGrid1->setItem(r - 1, c, new QTableWidgetItem);
            SetCell(OffsetCol, r,
                    QString::fromStdString(hexlayout::OffsetText(FLayout.RowStartOffset(r))));
        }

        FBuffer.assign(static_cast<std::size_t>(FSize), 0);
        FBytesRead = 0;
        if (!FFileStream->seek(FOffset)) throw std::runtime_error("seek failed");
        while (FBytesRead < FSize) {
            const qint64 got = FFileStream->read(
                reinterpret_cast<char*>(FBuffer.data()) + FBytesRead, FSize - FBytesRead);
            if (got < 0) throw std::runtime_error("read failed");
            if (got == 0) break;
            FBytesRead += got;
        }

        for (std::int64_t k = 0; k < FBytesRead; ++k)
            SetCell(FLayout.ColOf(k), FLayout.RowOf(k), HexByte(FBuffer[k]));
        if (FBytesRead > 0)
            for (int r = 1; r <= FLayout.RowOf(FBytesRead - 1); ++r) UpdateRow(r);

        setWindowTitle(QStringLiteral("Hex Edit") + QString::fromStdString(FAdditionalCaption));
        ApplyCellFlags();
        if (FBytesRead > 0) StringGrid1->setCurrentCell(0, lead + 1);
    });
}

void THexEditForm::ApplyCellFlags() {
    const QBrush fixedText = palette().brush(QPalette::Active, QPalette::Text);
    for (int r = 1; r <= FLayout.Rows(); ++r) {
        for (int c = 0; c < ColumnCount; ++c) {
            QTableWidgetItem* item = StringGrid1->item(r - 1, c);
            if (item == nullptr) continue;
            const std::int64_t k = FLayout.ByteIndex(c, r);
            const bool holdsByte = IsByteCell(c, r) && k >= 0 && k < FBytesRead;
            if (holdsByte) {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            } else {
                // Cells that cannot be selected; their text keeps the normal colour.
                item->setFlags(Qt::NoItemFlags);
                item->setForeground(fixedText);
            }
            if (c == OffsetCol) item->setBackground(palette().brush(QPalette::Button));
        }
    }
}

void THexEditForm::FormClose() {
    guardedVoid("THexEditForm.FormClose", [&] {
        FClosed = true;
        FBuffer.clear();
        FChangedCells.clear();
        if (FOwnStream) {
            FOwnStream->close();
            FOwnStream.reset();
            FFileStream = nullptr;
        }
    });
}

bool THexEditForm::IsByteCell(int ACol, int ARow) const {
    return ACol >= 1 && ACol <= hexlayout::BytesPerLine && ARow >= 1 && ARow <= FLayout.Rows();
}

QString THexEditForm::Cell(int ACol, int ARow) const {
    if (ACol < 0 || ACol >= ColumnCount) return {};
    if (ARow == 0) {
        const QTableWidgetItem* header = StringGrid1->horizontalHeaderItem(ACol);
        return header ? header->text() : QString();
    }
    const QTableWidgetItem* item = StringGrid1->item(ARow - 1, ACol);
    return item ? item->text() : QString();
}

void THexEditForm::SetCell(int ACol, int ARow, const QString& Text) {
    QTableWidgetItem* item = StringGrid1->item(ARow - 1, ACol);
    if (item == nullptr) throw std::out_of_range("cell");
    item->setText(Text);
}

void THexEditForm::FillBlanks(int ACol, int ARow) {
    if (!IsByteCell(ACol, ARow)) return;
    QString text = Cell(ACol, ARow);
    if (IsBlankText(text)) return;
    text.replace(QLatin1Char(' '), QLatin1Char('0'));
    SetCell(ACol, ARow, text);
}

QString THexEditForm::StringGrid1GetEditMask(int, int) const {
    // Two letters or digits shown in upper case; a position may stay unfilled.
    return QStringLiteral(">nn");
}

void THexEditForm::StringGrid1SetEditText(int ACol, int ARow, const QString& Value) {
    std::uint8_t original = 0;
    if (!IsByteCell(ACol, ARow) || !GetOriginalValue(ACol, ARow, original)) return;
    try {
        const HexCellEdit edit = ReadCellText(Value);
        SetCell(ACol, ARow, QString::fromLatin1(edit.Text.c_str()));
        AddChangedCell(ACol, ARow, edit.Value);
        UpdateRow(ARow);
    } catch (...) {
        guardedVoid("THexEditForm.StringGrid1SetEditText",
                    [&] { SetCell(ACol, ARow, QStringLiteral("00")); });
    }
}

bool THexEditForm::StringGrid1SelectCell(int ACol, int ARow) {
    return guarded("THexEditForm.StringGrid1SelectCell", false, [&] {
        if (ARow == 1 && ACol >= 1 && ACol <= FLayout.Lead()) return false;
        FillBlanks(FPrevCol, FPrevRow);
        if (!IsByteCell(ACol, ARow) || IsBlankText(Cell(ACol, ARow))) return false;
        FPrevCol = ACol;
        FPrevRow = ARow;
        return true;
    });
}

void THexEditForm::OnCurrentCellChanged(int Row, int Col, int PreviousRow, int PreviousCol) {
    if (FInSelect || Row < 0 || Col < 0) return;
    if (StringGrid1SelectCell(Col, Row + 1)) return;
    // Refused: go back to where the cursor was.
    FInSelect = true;
    if (PreviousRow >= 0 && PreviousCol >= 0) StringGrid1->setCurrentCell(PreviousRow, PreviousCol);
    FInSelect = false;
}

void THexEditForm::StringGrid1KeyDown(int Key) {
    guardedVoid("THexEditForm.StringGrid1KeyDown", [&] {
        if (!IsEnterKey(Key)) return;
        const int col = StringGrid1->currentColumn();
        const int row = StringGrid1->currentRow() + 1;
        if (!IsByteCell(col, row)) return;
        const std::int64_t next = FLayout.ByteIndex(col, row) + 1;
        const std::int64_t lastByte = std::min(FSize, FBytesRead) - 1;
        if (next > lastByte) return;
        StringGrid1->setCurrentCell(FLayout.RowOf(next) - 1, FLayout.ColOf(next));
    });
}

bool THexEditForm::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == StringGrid1 && Event->type() == QEvent::KeyPress &&
        IsEnterKey(static_cast<QKeyEvent*>(Event)->key())) {
        StringGrid1KeyDown(Qt::Key_Return);
        return true;
    }
    return QDialog::eventFilter(Watched, Event);
}

bool THexEditForm::AddChangedCell(int Col, int Row, std::uint8_t Value) {
    return guarded("THexEditForm.AddChangedCell", false, [&] {
        std::uint8_t original = 0;
        if (!GetOriginalValue(Col, Row, original)) throw std::out_of_range("cell");
        const int index = GetChangedCellIndex(Col, Row);
        if (index >= 0) {
            if (Value == original)
                FChangedCells.erase(FChangedCells.begin() + index);
            else
                FChangedCells[index].Value = Value;
        } else if (Value != original) {
            FChangedCells.push_back({Col, Row, Value});
        }
        if (QTableWidgetItem* item = StringGrid1->item(Row - 1, Col))
            StringGrid1->viewport()->update(StringGrid1->visualItemRect(item));
        return true;
    });
}

int THexEditForm::GetChangedCellIndex(int Col, int Row) const {
    return guarded("THexEditForm.GetChangedCellIndex", -1, [&] {
        for (std::size_t i = 0; i < FChangedCells.size(); ++i)
            if (FChangedCells[i].Col == Col && FChangedCells[i].Row == Row)
                return static_cast<int>(i);
        return -1;
    });
}

bool THexEditForm::GetOriginalValue(int Col, int Row, std::uint8_t& Value) const {
    return guarded("THexEditForm.GetOriginalValue", false, [&] {
        const std::int64_t k = FLayout.ByteIndex(Col, Row);
        if (!IsByteCell(Col, Row) || k < 0 || k >= FBytesRead) throw std::out_of_range("cell");
        Value = FBuffer.at(static_cast<std::size_t>(k));
        return true;
    });
}

bool THexEditForm::UpdateRow(int Row) {
    return guarded("THexEditForm.UpdateRow", false, [&] {
        QString text;
        if (Row == 1) text.fill(QLatin1Char(' '), FLayout.Lead());
        for (int c = 1; c <= hexlayout::BytesPerLine; ++c) {
            const QString cell = Cell(c, Row);
            if (cell.isEmpty()) continue;
            text += QChar(HexDisplayChar(ReadCellText(cell).Value));
        }
        SetCell(CharCol, Row, text);
        return true;
    });
}

bool THexEditForm::SaveChanges() {
    return guarded("THexEditForm.SaveChanges", false, [&] {
        if (FFileStream == nullptr) throw std::runtime_error("no stream");
        for (const TChangedCell& cell : FChangedCells) {
            const char value = static_cast<char>(cell.Value);
            if (!FFileStream->seek(FLayout.FileOffset(cell.Col, cell.Row)) ||
                FFileStream->write(&value, 1) != 1)
                throw std::runtime_error("write failed");
        }
        // Only a write that reached the disk counts as saved.
        if (auto* file = qobject_cast<QFileDevice*>(FFileStream)) {
            if (!file->flush()) throw std::runtime_error("flush failed");
            if (file->handle() >= 0 && ::fsync(file->handle()) != 0)
                throw std::runtime_error("fsync failed");
        }
        return true;
    });
}

void THexEditForm::bbtnOKClick() {
    guardedVoid("THexEditForm.bbtnOKClick", [&] {
        if (FCanModify) {
            if (FChangedCells.empty()) {
                userInteraction().showMessage(this, QStringLiteral("No changes to be saved."));
            } else if (userInteraction().confirm(this, SaveQuestion) && !SaveChanges()) {
                // The edits stay in the grid so the user can try again or cancel.
                userInteraction().showError(
                    this, QStringLiteral("The changes could not be written to the file."));
                return;
            }
        }
        accept();
    });
}

bool CanOpenReadWriteFile(const std::string& FileName) {
    return guarded("CanOpenReadWriteFile", false, [&] {
        const int fd = ::open(FileName.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return false;
        ::close(fd);
        return true;
    });
}

bool EditFile(const std::string& FileName, const std::string& AdditionalCaption, bool CanModify,
              std::int64_t Offset, std::int64_t Size, QWidget* Parent) {
    return guarded("EditFile", false, [&] {
        std::error_code ec;
        if (!std::filesystem::exists(FileName, ec)) {
            platform::reportError("EditFile", "file not found");
            return false;
        }
        if (!CanOpenReadWriteFile(FileName)) {
            platform::reportError("EditFile", "can not read/write file");
            return false;
        }
        if (Offset < 0 || Size <= 0 || Size > MaxEditBytes) {
            platform::reportError("EditFile", "invalid block range");
            return false;
        }
        THexEditForm form(Parent);
        form.setFileName(FileName);
        form.setOffset(Offset);
        form.setSize(Size);
        form.setAdditionalCaption(AdditionalCaption);
        form.setCanModify(CanModify);
        return form.exec() == QDialog::Accepted;
    });
}
