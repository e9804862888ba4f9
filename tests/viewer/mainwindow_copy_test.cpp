// Ctrl+C on the subtitle list puts the subtitle as a person reads it on the clipboard.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/mainwindow/SubtitleListModel.h"
#include "viewer/mainwindow/SubtitleListView.h"

namespace {

TEST(SubtitleCopyTest, CtrlCCopiesPlainRowsWithFieldsUnlessOnTheText) {
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::StlFileBuilder::Block first, chained, last;
    first.number = 1;
    first.in[2] = 1;
    first.out[2] = 2;
    first.text = testsupport::StlFileBuilder::text(
        "\x0D\x0B\x0B"
        "comme La Trompette\x0A\x0A\x8A\x8A\x03\x0B\x0BMes histoires\x0A\x0A");
    chained = first;
    chained.number = 2;
    chained.extension = 0;
    chained.text = testsupport::StlFileBuilder::text("Two blocks, ");
    last = chained;
    last.extension = 0xFF;
    last.text = testsupport::StlFileBuilder::text("one subtitle");
    const std::string path = testsupport::StlFileBuilder()
                                 .addBlock(first)
                                 .addBlock(chained)
                                 .addBlock(last)
                                 .announce(3)
                                 .writeTo(dir.file("copy.stl"));
    MainWindow form;
    form.show();
    ASSERT_TRUE(form.loadFile(QString::fromStdString(path)));
    SubtitleListView* list = form.m_subtitleList;
    const auto click = [&](int row, int column) {
        const QModelIndex index = list->model()->index(row, column);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    };
    const struct {
        int row, column;
        QString expected;
    } cases[] = {
        {0, SubtitleListModel::TextColumn, "comme La Trompette\nMes histoires"},
        {0, SubtitleListModel::TCInColumn,
         "1\t00:00:01:00\t00:00:02:00\tcomme La Trompette\nMes histoires"},
        // A block of a chain copies its whole subtitle.
        {1, SubtitleListModel::TextColumn, "Two blocks, one subtitle"},
    };
    for (const auto& c : cases) {
        click(c.row, c.column);
        QApplication::clipboard()->clear();
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), c.expected) << c.row << " " << c.column;
    }
}

}  // namespace
