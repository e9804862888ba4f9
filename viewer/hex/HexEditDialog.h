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

// Shows the dialog modally for Size bytes at Offset; true when it was left with "Save Changes"
// and the changes were written. A missing file or one that cannot be opened for reading and
// writing opens no dialog; the user is told why.
bool editFile(const std::string& fileName, const std::string& additionalCaption, bool canModify,
              std::int64_t offset, std::int64_t size, QWidget* parent = nullptr);

// True when the existing file can be opened for reading and writing.
bool canOpenReadWriteFile(const std::string& fileName);

struct ChangedCell {
    std::int32_t col;  // 1..16
    std::int32_t row;  // from 1
    std::uint8_t value;
};

class HexEditDialog : public QDialog {
    Q_OBJECT
public:
    explicit HexEditDialog(QWidget* parent = nullptr);
    ~HexEditDialog() override;

    // Setting a file name makes the dialog open (and close) its own stream.
    void setFileName(const std::string& value) { m_fileName = value; }
    const std::string& fileName() const { return m_fileName; }
    // A stream handed in with an empty file name is used and not freed.
    void setFileStream(QIODevice* value) { m_fileStream = value; }
    QIODevice* fileStream() const { return m_fileStream; }
    void setOffset(std::int64_t value) { m_offset = value; }
    std::int64_t offset() const { return m_offset; }
    void setSize(std::int64_t value) { m_size = value; }
    std::int64_t size() const { return m_size; }
    void setAdditionalCaption(const std::string& value) { m_additionalCaption = value; }
    const std::string& additionalCaption() const { return m_additionalCaption; }
    void setCanModify(bool value) { m_canModify = value; }
    bool canModify() const { return m_canModify; }
    // True once "Save Changes" has written the changes to the file.
    bool saved() const { return m_saved; }

    QTableWidget* grid() const { return m_grid; }
    const std::vector<ChangedCell>& changedCells() const { return m_changedCells; }

    bool addChangedCell(int col, int row, std::uint8_t value);
    int getChangedCellIndex(int col, int row) const;
    bool getOriginalValue(int col, int row, std::uint8_t& value) const;
    bool updateRow(int row);
    bool saveChanges();

    // Grid coordinates as the grid shows them: column 0 offsets, 1..16 bytes, 17 characters;
    // row 0 is the header, byte rows count from 1.
    void onFirstShow();
    void fitWidthToColumns();
    void onClose();
    QString editMask(int column, int row) const;
    void onGridTextEdited(int column, int row, const QString& value);
    bool onGridCellSelected(int column, int row);
    void onGridKeyPressed(int key);
    void bbtnOKClick();

    // Cell text of grid coordinates (empty for cells outside the grid).
    QString cell(int column, int row) const;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setCell(int column, int row, const QString& text);
    // An unfilled digit position of a cell becomes 0, as it was read.
    void fillBlanks(int column, int row);
    bool isByteCell(int column, int row) const;
    void applyCellFlags();
    void onCurrentCellChanged(int row, int col, int previousRow, int previousCol);

    friend class HexCellDelegate;

    std::string m_fileName;
    std::int64_t m_offset = 0;
    std::int64_t m_size = 0;
    QIODevice* m_fileStream = nullptr;
    std::unique_ptr<QFile> m_ownStream;
    std::vector<ChangedCell> m_changedCells;
    std::vector<std::uint8_t> m_buffer;
    std::int64_t m_bytesRead = 0;
    std::string m_additionalCaption;
    bool m_canModify = false;
    bool m_saved = false;
    bool m_shown = false;
    bool m_closed = false;
    HexGridLayout m_layout;
    int m_prevCol = -1;
    int m_prevRow = -1;
    bool m_inSelect = false;

    QTableWidget* m_grid = nullptr;
    QPushButton* bbtnOK = nullptr;
    QPushButton* bbtnCancel = nullptr;
};
