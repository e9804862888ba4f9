// The subtitle model's columns of the list (View > Columns), sorting by a click on a heading with
// the selection kept on its block, the status bar's file summary, and the text Find searches
// against the rows Copy takes from the subtitle model.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

#include "MenuClick.h"
#include "SubtitleFixture.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/mainwindow/SubtitleCopy.h"
#include "viewer/mainwindow/SubtitleListModel.h"
#include "viewer/mainwindow/SubtitleListView.h"

namespace {

using Model = SubtitleListModel;

class ColumnsTest : public ::testing::Test {
protected:
    void load(MainWindow& form) {
        form.show();
        ASSERT_TRUE(form.loadFile(QString::fromStdString(file)));
    }
    static QString cell(MainWindow& form, int row, int column) {
        return form.m_listModel->index(row, column).data().toString();
    }
    static std::vector<int> blocksInViewOrder(MainWindow& form) {
        std::vector<int> blocks;
        for (int row = 0; row < form.m_listModel->rowCount(); ++row)
            blocks.push_back(cell(form, row, Model::NumberColumn).toInt() - 1);
        return blocks;
    }
    static void clickHeading(MainWindow& form, int column) {
        QHeaderView* header = form.m_subtitleList->header();
        const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;
    std::string file = viewertest::writeSubtitleFixture(dir.file("c.stl"));
};

TEST_F(ColumnsTest, ColumnsShowWhatTheSubtitleModelSaysAndAreRemembered) {
    {
        MainWindow form;
        load(form);
        for (QAction* item : form.m_columnActions) {
            EXPECT_FALSE(item->isChecked());
            ASSERT_TRUE(viewertest::clickMenuItem(item));
        }
        // Block, duration, characters per second, rows, longest row, gap; the chain's second
        // block and the user data show nothing.
        const std::vector<std::vector<QString>> expected = {
            {"2.00", "6.00", "1", "12", "25"},
            {"1.00", "19.00", "2", "10", "125"},
            {"", "", "", "", ""},
            {"2.48", "2.83", "1", "7", "188"},
            {"", "", "", "", ""},
            {"1.00", "3.00", "1", "3", ""},
        };
        for (int block = 0; block < 6; ++block) {
            std::vector<QString> cells;
            for (int column = Model::DurationColumn; column <= Model::GapColumn; ++column) {
                EXPECT_FALSE(form.m_subtitleList->isColumnHidden(column));
                cells.push_back(cell(form, block, column));
            }
            EXPECT_EQ(cells, expected[std::size_t(block)]) << "block " << block;
        }
        form.close();
    }
    MainWindow again;
    load(again);
    for (QAction* item : again.m_columnActions) EXPECT_TRUE(item->isChecked());
}

TEST_F(ColumnsTest, HeadingsSortAndTheSelectionStaysOnItsBlock) {
    MainWindow form;
    load(form);
    form.selectRow(3);
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_columnActions[0]));  // Duration
    const struct {
        int column;
        std::vector<int> blocks;
    } clicks[] = {
        {Model::DurationColumn, {1, 5, 0, 3, 2, 4}},
        {Model::DurationColumn, {3, 0, 1, 5, 2, 4}},  // descending, rows without one last
        {Model::DurationColumn, {0, 1, 2, 3, 4, 5}},  // the third click: file order again
        {Model::TextColumn, {2, 1, 4, 0, 5, 3}},      // the text as listed, case aside
    };
    for (const auto& click : clicks) {
        clickHeading(form, click.column);
        EXPECT_EQ(blocksInViewOrder(form), click.blocks);
        EXPECT_EQ(form.selectedRow(), 3);
        EXPECT_EQ(form.m_ttiTree->topLevelItemCount() > 0, true);
    }
    // Go to and copy work on blocks, not view rows, while sorted.
    form.selectRow(1);
    EXPECT_EQ(form.m_subtitleList->currentIndex().row(), form.m_listModel->rowOfBlock(1));
    EXPECT_EQ(form.selectedRow(), 1);
}

TEST_F(ColumnsTest, StatusBarSumsUpTheFile) {
    MainWindow form;
    load(form);
    EXPECT_EQ(form.fileSummaryText(), "4 subtitles · 6 blocks · 00:00:20:00 long · 25 fps");
    form.unloadFile();
    EXPECT_EQ(form.fileSummaryText(), "");
}

TEST_F(ColumnsTest, FindSearchesTheRowsCopyTakesFromTheModel) {
    MainWindow form;
    load(form);
    form.m_listModel->ensureReadings();
    const SubtitleFacts& facts = form.m_listModel->facts();
    ASSERT_EQ(facts.subtitles().size(), 4u);
    for (int s = 0; s < 4; ++s) {
        const auto start = facts.textStart(s);
        const QString searched = QString::fromStdU16String(
            facts.plainTexts().substr(start, facts.textStart(s + 1) - start - 1));
        const QStringList rows = subtitleTextRows(
            *form.stlReader(), facts.subtitles()[std::size_t(s)].firstBlock, form.textCodePage());
        EXPECT_EQ(searched, rows.join(' ')) << s;
    }
}

}  // namespace
