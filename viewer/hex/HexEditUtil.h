#pragma once
// Dialog that edits the raw bytes of one block of a file (the GSI block or one TTI block) in a grid
// and writes the changed bytes back in place.

#include <QDialog>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "HexLayout.h"

class QIODevice;
class QFile;
class QTableWidget;
class QPushButton;

// Shows the dialog modally for Size bytes at Offset; true when it was left with "Save Changes".
// A missing file or one that cannot be opened for reading and writing shows nothing.
bool EditFile(const std::string& FileName, const std::string& AdditionalCaption, bool CanModify,
              std::int64_t Offset, std::int64_t Size, QWidget* Parent = nullptr);

// True when the existing file can be opened for reading and writing.
bool CanOpenReadWriteFile(const std::string& FileName);

struct TChangedCell {
    std::int32_t Col;  // 1..16
    std::int32_t Row;  // from 1
    std::uint8_t Value;
};

class THexEditForm : public QDialog {
    Q_OBJECT
public:
    explicit THexEditForm(QWidget* Parent = nullptr);
    ~THexEditForm() override;

    // Setting a file name makes the dialog open (and close) its own stream.
    void setFileName(const std::string& Value) { FFileName = Value; }
    const std::string& FileName() const { return FFileName; }
    // A stream handed in with an empty file name is used and not freed.
    void setFileStream(QIODevice* Value) { FFileStream = Value; }
    QIODevice* FileStream() const { return FFileStream; }
    void setOffset(std::int64_t Value) { FOffset = Value; }
    std::int64_t Offset() const { return FOffset; }
    void setSize(std::int64_t Value) { FSize = Value; }
    std::int64_t Size() const { return FSize; }
    void setAdditionalCaption(const std::string& Value) { FAdditionalCaption = Value; }
    const std::string& AdditionalCaption() const { return FAdditionalCaption; }
    void setCanModify(bool Value) { FCanModify = Value; }
    bool CanModify() const { return FCanModify; }

    QTableWidget* Grid() const { return StringGrid1; }
    const std::vector<TChangedCell>& ChangedCells() const { return FChangedCells; }

    bool AddChangedCell(int Col, int Row, std::uint8_t Value);
    int GetChangedCellIndex(int Col, int Row) const;
    bool GetOriginalValue(int Col, int Row, std::uint8_t& Value) const;
    bool UpdateRow(int Row);
    bool SaveChanges();

    // Grid coordinates as the grid shows them: column 0 offsets, 1..16 bytes, 17 characters;
    // row 0 is the header, byte rows count from 1.
    void FormShow();
    void FormClose();
    QString StringGrid1GetEditMask(int ACol, int ARow) const;
    void StringGrid1SetEditText(int ACol, int ARow, const QString& Value);
    bool StringGrid1SelectCell(int ACol, int ARow);
    void StringGrid1KeyDown(int Key);
    void bbtnOKClick();

    // Cell text of grid coordinates (empty for cells outside the grid).
    QString Cell(int ACol, int ARow) const;

protected:
    void showEvent(QShowEvent* Event) override;
    void done(int Result) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void SetCell(int ACol, int ARow, const QString& Text);
    // An unfilled digit position of a cell becomes 0, as it was read.
    void FillBlanks(int ACol, int ARow);
    bool IsByteCell(int ACol, int ARow) const;
    void ApplyCellFlags();
    void OnCurrentCellChanged(int Row, int Col, int PreviousRow, int PreviousCol);

    friend class THexCellDelegate;

    std::string FFileName;
    std::int64_t FOffset = 0;
    std::int64_t FSize = 0;
    QIODevice* FFileStream = nullptr;
    std::unique_ptr<QFile> FOwnStream;
    std::vector<TChangedCell> FChangedCells;
    std::vector<std::uint8_t> FBuffer;
    std::int64_t FBytesRead = 0;
    std::string FAdditionalCaption;
    bool FCanModify = false;
    bool FShown = false;
    bool FClosed = false;
    HexGridLayout FLayout;
    int FPrevCol = -1;
    int FPrevRow = -1;
    bool FInSelect = false;

    QTableWidget* StringGrid1 = nullptr;
    QPushButton* bbtnOK = nullptr;
    QPushButton* bbtnCancel = nullptr;
};
