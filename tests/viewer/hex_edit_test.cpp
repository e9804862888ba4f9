// The hex edit dialog's cell rules and saving, and Tools → Hex Edit in the main window.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include "MenuClick.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/hex/HexEditDialog.h"
#include "viewer/hex/HexView.h"
#include "viewer/mainwindow/HexEditCommand.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/mainwindow/SubtitleListModel.h"
#include "viewer/mainwindow/SubtitleListView.h"

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

    void showFor(HexEditDialog& form, std::int64_t offset, std::int64_t size) {
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
    HexEditDialog form;
    showFor(form, 1024 + 128 * 2, 128);
    EXPECT_EQ(form.windowTitle(), "Hex Edit [TTI #3]");
    EXPECT_EQ(form.grid()->columnCount(), 18);
    EXPECT_EQ(form.grid()->rowCount(), 8);  // the header row is the grid's own header
    EXPECT_EQ(form.cell(0, 1), "0x0000000000000500");
    EXPECT_EQ(form.cell(0, 8), "0x0000000000000570");
    EXPECT_EQ(form.cell(1, 0), "00");
    EXPECT_EQ(form.cell(16, 0), "0F");
    const QByteArray file = readAll(path);
    EXPECT_EQ(form.cell(2, 1),
              QString("%1").arg(quint8(file[1024 + 256 + 1]), 2, 16, QChar('0')).toUpper());
    form.reject();
}

TEST_F(HexEditTest, GSIDialogShowsSixtyFourRows) {
    HexEditDialog form;
    showFor(form, 0, 1024);
    EXPECT_EQ(form.grid()->rowCount(), 64);
    EXPECT_EQ(form.cell(0, 64), "0x00000000000003F0");
    EXPECT_EQ(form.cell(17, 1).left(8), QString::fromLatin1(readAll(path).left(8)));
    // A fixed-pitch face, and the character column shows its 16 characters whole.
    EXPECT_TRUE(QFontInfo(form.grid()->font()).fixedPitch());
    const QFontMetrics metrics(form.grid()->font());
    EXPECT_GT(form.grid()->columnWidth(17), metrics.horizontalAdvance(QString(16, 'W')));
    EXPECT_GT(form.grid()->columnWidth(1), metrics.horizontalAdvance("WW"));
    form.reject();
}

TEST_F(HexEditTest, ALargerFontWidensTheDialogSoEveryColumnShowsWhole) {
    const QFont before = QApplication::font();
    QFont large = before;
    large.setPointSize(18);
    QApplication::setFont(large);
    HexEditDialog form;
    showFor(form, 1024, 128);
    QApplication::processEvents();
    // Every column whole, or as wide as the screen allows.
    const int screenWidth = form.screen()->availableGeometry().width();
    EXPECT_TRUE(form.grid()->horizontalScrollBar()->maximum() == 0 || form.width() >= screenWidth)
        << form.width() << " of " << screenWidth;
    form.reject();
    QApplication::setFont(before);
}

TEST_F(HexEditTest, EditTextRulesAndChangedCells) {
    HexEditDialog form;
    showFor(form, 1024, 128);
    std::uint8_t original = 0;
    ASSERT_TRUE(form.getOriginalValue(5, 1, original));

    form.onGridTextEdited(5, 1, "G");
    EXPECT_EQ(form.cell(5, 1), "00");
    form.onGridTextEdited(6, 1, "AZ");
    EXPECT_EQ(form.cell(6, 1), "A0");
    form.onGridTextEdited(7, 1, "  ");
    EXPECT_EQ(form.cell(7, 1), "00");
    form.onGridTextEdited(8, 1, "4a");
    EXPECT_EQ(form.cell(8, 1), "4A");
    EXPECT_EQ(form.cell(17, 1).at(7), QChar('J'));

    const int before = int(form.changedCells().size());
    EXPECT_GE(form.getChangedCellIndex(8, 1), 0);
    // Typing the original value back removes the record.
    form.onGridTextEdited(5, 1, QString("%1").arg(original, 2, 16, QChar('0')).toUpper());
    EXPECT_EQ(form.getChangedCellIndex(5, 1), -1);
    EXPECT_LE(int(form.changedCells().size()), before);
    form.reject();
}

namespace {

// Keys as a user types them into whatever has the focus; '<' is Backspace, '^' Home, '!' F2.
void typeKeys(QWidget* fallback, const QString& keys) {
    for (const QChar key : keys) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
        if (key == '<')
            QTest::keyClick(target, Qt::Key_Backspace);
        else if (key == '^')
            QTest::keyClick(target, Qt::Key_Home);
        else if (key == '!')
            QTest::keyClick(target, Qt::Key_F2);
        else
            QTest::keyClick(target, key.toLatin1());
    }
}

}  // namespace

TEST_F(HexEditTest, TypedDigitsGoIntoTheByteAsInAnyTableEditor) {
    struct Case {
        const char* keys;  // typed on the selected cell, then Enter
        const char* cell;
        int value;
    };
    const Case cases[] = {
        {"41", "41", 0x41},    {"7A", "7A", 0x7A},      {"7a", "7A", 0x7A}, {"4", "40", 0x40},
        {"41<2", "42", 0x42},  {"41<<", "00", 0x00},    {"G", "00", 0x00},  {"AZ", "A0", 0xA0},
        {"41!^5", "51", 0x51}, {"C3!<<9B", "9B", 0x9B},
    };
    HexEditDialog form;
    showFor(form, 1024, 128);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTableWidget* grid = form.grid();
    int col = 1;
    for (const Case& c : cases) {
        ++col;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(1, col)).center());
        ASSERT_EQ(grid->currentColumn(), col);
        typeKeys(grid, QString::fromLatin1(c.keys));
        typeKeys(grid, QStringLiteral("\r"));
        EXPECT_EQ(form.cell(col, 2).toStdString(), c.cell) << c.keys;
        std::uint8_t original = 0;
        ASSERT_TRUE(form.getOriginalValue(col, 2, original));
        const int index = form.getChangedCellIndex(col, 2);
        const int recorded = index < 0 ? original : form.changedCells()[index].value;
        EXPECT_EQ(recorded, c.value) << c.keys;
        EXPECT_EQ(index < 0, original == c.value) << c.keys;
        // Enter moved on to the next byte.
        EXPECT_EQ(grid->currentColumn(), col + 1) << c.keys;
    }
    form.reject();
}

// The change mark shows in the cell being typed in, as soon as its value differs.
TEST_F(HexEditTest, ChangeMarkShowsWhileTheCellIsStillBeingTyped) {
    HexEditDialog form;
    showFor(form, 1024, 128);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTableWidget* grid = form.grid();
    const QRect cell = grid->visualItemRect(grid->item(1, 3));
    const QString original = form.cell(3, 2);
    const QString changed = original == "41" ? "42" : "41";
    const auto redShare = [&] {
        const QImage image = grid->viewport()->grab(cell).toImage();
        int red = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == QColor(0xFF, 0x00, 0x00)) ++red;
        return red * 100 / (image.width() * image.height());
    };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    // Red as the second digit makes it differ, plain again when typed back to the old value.
    const struct {
        QString keys;
        bool red;
    } steps[] = {{changed, true}, {"<<" + original, false}};
    for (const auto& step : steps) {
        typeKeys(grid, step.keys);
        EXPECT_EQ(redShare() > 50, step.red) << step.keys.toStdString() << " " << redShare();
    }
    form.reject();
}

TEST_F(HexEditTest, EnterMovesToTheNextByteAndStaysOnTheLast) {
    HexEditDialog form;
    showFor(form, 1024, 128);
    // Table rows count from 0 below the header: table row 0 is byte row 1.
    form.grid()->setCurrentCell(0, 16);
    form.onGridKeyPressed(Qt::Key_Return);
    EXPECT_EQ(form.grid()->currentRow(), 1);
    EXPECT_EQ(form.grid()->currentColumn(), 1);
    form.grid()->setCurrentCell(7, 16);
    form.onGridKeyPressed(Qt::Key_Return);
    EXPECT_EQ(form.grid()->currentRow(), 7);
    EXPECT_EQ(form.grid()->currentColumn(), 16);
    EXPECT_FALSE(form.onGridCellSelected(17, 2));
    form.reject();
}

TEST_F(HexEditTest, SaveWritesExactlyTheEditedBytes) {
    const QByteArray before = readAll(path);
    {
        HexEditDialog form;
        showFor(form, 1024 + 128, 128);
        form.onGridTextEdited(1, 1, "7E");
        form.onGridTextEdited(16, 8, "01");
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
        HexEditDialog form;
        showFor(form, 1024, 128);
        form.bbtnOKClick();
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    EXPECT_EQ(ui.shown.last(), "message: No changes to be saved.");
    {
        HexEditDialog form;
        showFor(form, 1024, 128);
        form.onGridTextEdited(3, 2, "55");
        ui.confirmAnswers.push_back(false);
        form.bbtnOKClick();
    }
    EXPECT_EQ(readAll(path), before);
}

TEST_F(HexEditTest, AFileThatCannotBeWrittenOpensNoDialogAndSaysWhy) {
    const std::string missing = dir.file("missing.stl");
    EXPECT_FALSE(editFile(missing, "", true, 0, 1024));
    EXPECT_EQ(ui.shown.value(0), "error: The file cannot be edited: it no longer exists.\n\n" +
                                     QString::fromStdString(missing));
    // Edits go to a regular file only; a FIFO would block the dialog's open.
    const std::string fifo = dir.file("fifo.stl");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(canOpenReadWriteFile(fifo));
    for (const std::string& name : {fifo, dir.path()}) {
        ui.shown.clear();
        EXPECT_FALSE(editFile(name, "", true, 0, 1024));
        EXPECT_EQ(ui.shown.value(0),
                  "error: The file cannot be edited: it is not a regular file.\n\n" +
                      QString::fromStdString(name));
    }
    if (geteuid() != 0) {
        ui.shown.clear();
        chmod(path.c_str(), 0444);
        EXPECT_FALSE(canOpenReadWriteFile(path));
        EXPECT_FALSE(editFile(path, "", true, 0, 1024));
        EXPECT_TRUE(ui.shown.value(0).contains("(Permission denied)"))
            << ui.shown.value(0).toStdString();
    }
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
    HexEditFunction previous =
        setHexEditFunction([this](const QString&, const QString& caption, bool, std::int64_t offset,
                                  std::int64_t size, QWidget*) {
            calls.push_back({caption, offset, size});
            return saved;
        });
    ~HexEditCommandTest() override { setHexEditFunction(previous); }
};

}  // namespace

TEST_F(HexEditCommandTest, BlockOffsetsLabelsAndReload) {
    MainWindow form;
    form.show();
    const std::string path = StlFileBuilder().addBlocks(12).writeTo(dir.file("a.stl"));
    ASSERT_TRUE(form.loadFile(QString::fromStdString(path)));

    // Without a selected row only the TTI command refuses; the GSI block needs no row.
    form.m_subtitleList->clearSelection();
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_hexEditTtiAction));
    EXPECT_EQ(ui.shown, QStringList{"error: There is no TTI selected."});
    EXPECT_TRUE(calls.empty());
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_hexEditGsiAction));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].caption, " [GSI]");
    EXPECT_EQ(calls[0].offset, 0);
    EXPECT_EQ(calls[0].size, 1024);

    form.m_subtitleList->setCurrentIndex(form.m_listModel->index(11, 1));
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_hexEditTtiAction));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].caption, " [TTI #12]");
    EXPECT_EQ(calls[1].offset, 2432);
    EXPECT_EQ(calls[1].size, 128);
    EXPECT_EQ(ui.shown.size(), 1);  // nothing saved: no question

    // Saved, answered No: nothing is reloaded and the selection stays.
    saved = true;
    ui.confirmAnswers.push_back(false);
    form.onHexEditTriggered(1);
    EXPECT_EQ(ui.shown.last(), "confirm: Do you want to reload the file with the new changes?");
    EXPECT_EQ(form.selectedRow(), 11);

    // Yes reloads: the list is rebuilt and the edited row stays selected and shown.
    ui.confirmAnswers.push_back(true);
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_hexEditTtiAction));
    EXPECT_EQ(form.m_listModel->rowCount(), 12);
    EXPECT_EQ(form.selectedRow(), 11);
    EXPECT_EQ(form.hexView()->lastRefreshOffset(), 2432);
    form.close();
}
