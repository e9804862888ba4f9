// The hex edit dialog's cell rules and saving, and Tools → Hex Edit in the main window.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTableWidget>

#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/hex/HexEditUtil.h"
#include "viewer/mainwindow/HexEditCommand.h"
#include "viewer/mainwindow/SubtitleListModel.h"
#include "viewer/mainwindow/SubtitleListView.h"
#include "viewer/mainwindow/Unit1.h"

using testsupport::StlFileBuilder;

namespace {

QByteArray readAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

class HexEditTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;
    std::string path = StlFileBuilder().addBlocks(4).writeTo(dir.file("edit.stl"));

    void showFor(THexEditForm& form, std::int64_t offset, std::int64_t size) {
        form.setFileName(path);
        form.setOffset(offset);
        form.setSize(size);
        form.setCanModify(true);
        form.setAdditionalCaption(" [TTI #3]");
        form.show();
    }
};

}  // namespace

TEST_F(HexEditTest, RowsCaptionAndCellsOfATTIBlock) {
    THexEditForm form;
    showFor(form, 1024 + 128 * 2, 128);
    EXPECT_EQ(form.windowTitle(), "Hex Edit [TTI #3]");
    EXPECT_EQ(form.Grid()->columnCount(), 18);
    EXPECT_EQ(form.Grid()->rowCount(), 8);  // the header row is the grid's own header
    EXPECT_EQ(form.Cell(0, 1), "0x0000000000000500");
    EXPECT_EQ(form.Cell(0, 8), "0x0000000000000570");
    EXPECT_EQ(form.Cell(1, 0), "00");
    EXPECT_EQ(form.Cell(16, 0), "0F");
    const QByteArray file = readAll(path);
    EXPECT_EQ(form.Cell(2, 1),
              QString("%1").arg(quint8(file[1024 + 256 + 1]), 2, 16, QChar('0')).toUpper());
    form.reject();
}

TEST_F(HexEditTest, GSIDialogShowsSixtyFourRows) {
    THexEditForm form;
    showFor(form, 0, 1024);
    EXPECT_EQ(form.Grid()->rowCount(), 64);
    EXPECT_EQ(form.Cell(0, 64), "0x00000000000003F0");
    EXPECT_EQ(form.Cell(17, 1).left(8), QString::fromLatin1(readAll(path).left(8)));
    form.reject();
}

TEST_F(HexEditTest, EditTextRulesAndChangedCells) {
    THexEditForm form;
    showFor(form, 1024, 128);
    std::uint8_t original = 0;
    ASSERT_TRUE(form.GetOriginalValue(5, 1, original));

    form.StringGrid1SetEditText(5, 1, "G");
    EXPECT_EQ(form.Cell(5, 1), "00");
    form.StringGrid1SetEditText(6, 1, "AZ");
    EXPECT_EQ(form.Cell(6, 1), "A0");
    form.StringGrid1SetEditText(7, 1, "  ");
    EXPECT_EQ(form.Cell(7, 1), "00");
    form.StringGrid1SetEditText(8, 1, "4a");
    EXPECT_EQ(form.Cell(8, 1), "4A");
    EXPECT_EQ(form.Cell(17, 1).at(7), QChar('J'));

    const int before = int(form.ChangedCells().size());
    EXPECT_GE(form.GetChangedCellIndex(8, 1), 0);
    // Typing the original value back removes the record.
    form.StringGrid1SetEditText(5, 1, QString("%1").arg(original, 2, 16, QChar('0')).toUpper());
    EXPECT_EQ(form.GetChangedCellIndex(5, 1), -1);
    EXPECT_LE(int(form.ChangedCells().size()), before);
    form.reject();
}

TEST_F(HexEditTest, EnterMovesToTheNextByteAndStaysOnTheLast) {
    THexEditForm form;
    showFor(form, 1024, 128);
    // Table rows count from 0 below the header: table row 0 is byte row 1.
    form.Grid()->setCurrentCell(0, 16);
    form.StringGrid1KeyDown(Qt::Key_Return);
    EXPECT_EQ(form.Grid()->currentRow(), 1);
    EXPECT_EQ(form.Grid()->currentColumn(), 1);
    form.Grid()->setCurrentCell(7, 16);
    form.StringGrid1KeyDown(Qt::Key_Return);
    EXPECT_EQ(form.Grid()->currentRow(), 7);
    EXPECT_EQ(form.Grid()->currentColumn(), 16);
    EXPECT_FALSE(form.StringGrid1SelectCell(17, 2));
    form.reject();
}

TEST_F(HexEditTest, SaveWritesExactlyTheEditedBytes) {
    const QByteArray before = readAll(path);
    {
        THexEditForm form;
        showFor(form, 1024 + 128, 128);
        form.StringGrid1SetEditText(1, 1, "7E");
        form.StringGrid1SetEditText(16, 8, "01");
        ui.confirmAnswers.push_back(true);
        form.bbtnOKClick();
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    QByteArray expected = before;
    expected[1024 + 128] = 0x7E;
    expected[1024 + 128 + 127] = 0x01;
    EXPECT_EQ(readAll(path), expected);
    EXPECT_TRUE(ui.shown.last().startsWith("confirm: This action will permanently change"));
}

TEST_F(HexEditTest, NoChangesOrNoAnswerWritesNothing) {
    const QByteArray before = readAll(path);
    {
        THexEditForm form;
        showFor(form, 1024, 128);
        form.bbtnOKClick();
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    EXPECT_EQ(ui.shown.last(), "message: No changes to be saved.");
    {
        THexEditForm form;
        showFor(form, 1024, 128);
        form.StringGrid1SetEditText(3, 2, "55");
        ui.confirmAnswers.push_back(false);
        form.bbtnOKClick();
    }
    EXPECT_EQ(readAll(path), before);
}

TEST_F(HexEditTest, ReadOnlyOrMissingFileGivesNoDialog) {
    EXPECT_FALSE(EditFile(dir.file("missing.stl"), "", true, 0, 1024));
    if (geteuid() != 0) {
        chmod(path.c_str(), 0444);
        EXPECT_FALSE(CanOpenReadWriteFile(path));
        EXPECT_FALSE(EditFile(path, "", true, 0, 1024));
    }
    EXPECT_TRUE(ui.shown.isEmpty());
}

namespace {

struct EditCall {
    QString caption;
    std::int64_t offset = -1, size = -1;
};

class HexEditCommandTest : public ::testing::Test {
protected:
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;
    std::vector<EditCall> calls;
    bool saved = false;
    THexEditFunction previous =
        SetHexEditFunction([this](const QString&, const QString& caption, bool, std::int64_t offset,
                                  std::int64_t size, QWidget*) {
            calls.push_back({caption, offset, size});
            return saved;
        });
    ~HexEditCommandTest() override { SetHexEditFunction(previous); }
};

}  // namespace

TEST_F(HexEditCommandTest, BlockOffsetsLabelsAndReload) {
    TForm1 form;
    form.show();
    const std::string path = StlFileBuilder().addBlocks(12).writeTo(dir.file("a.stl"));
    ASSERT_TRUE(form.LoadFile(QString::fromStdString(path)));

    form.ListView1->clearSelection();
    form.HexEditClick(0);
    EXPECT_EQ(ui.shown.last(), "error: There is no TTI selected.");
    EXPECT_TRUE(calls.empty());

    form.ListView1->setCurrentIndex(form.ListModel->index(11, 1));
    form.HexEditClick(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].caption, " [TTI #12]");
    EXPECT_EQ(calls[0].offset, 2432);
    EXPECT_EQ(calls[0].size, 128);
    form.HexEditClick(0);
    EXPECT_EQ(calls[1].caption, " [GSI]");
    EXPECT_EQ(calls[1].offset, 0);
    EXPECT_EQ(calls[1].size, 1024);
    EXPECT_FALSE(ui.shown.last().startsWith("confirm:"));  // cancelled: no question

    // Saved, answered No: nothing is reloaded and the selection stays.
    saved = true;
    ui.confirmAnswers.push_back(false);
    form.HexEditClick(1);
    EXPECT_EQ(ui.shown.last(), "confirm: Do you want to reload the file with the new changes?");
    EXPECT_EQ(form.SelectedRow(), 11);

    // Yes reloads: the list is rebuilt and row 0 selected.
    ui.confirmAnswers.push_back(true);
    form.HexEditClick(1);
    EXPECT_EQ(form.SelectedRow(), 0);
    EXPECT_EQ(form.ListModel->rowCount(), 12);
    form.close();
}
