// The detail trees at the window's default size: every field shows its value beside its padded
// name without scrolling sideways, before and after the list's font is changed.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>

#include "MenuClick.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/mainwindow/SubtitleListModel.h"
#include "viewer/mainwindow/SubtitleListView.h"

namespace {

// Lines whose first Characters do not fit in their tree's viewport.
QStringList cutLines(const QTreeWidget* tree, int characters) {
    QStringList cut;
    const QFontMetrics metrics(tree->font());
    const QTreeWidgetItem* root = tree->topLevelItem(0);
    for (int i = 0; root && i < root->childCount(); ++i) {
        const QTreeWidgetItem* item = root->child(i);
        const QString shown = item->text(0).left(characters).trimmed();
        const int right = tree->visualItemRect(item).left() + metrics.horizontalAdvance(shown);
        if (right > tree->viewport()->width()) cut << shown;
    }
    return cut;
}

TEST(DetailWidthTest, NamesAndValuesShowSideBySideAtTheDefaultSize) {
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;
    MainWindow form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(form.loadFile(QString::fromStdString(
        testsupport::StlFileBuilder().addBlocks(3).writeTo(dir.file("a.stl")))));
    ASSERT_EQ(form.m_ttiTree->topLevelItem(0)->childCount(), 10);
    QFont larger = form.m_subtitleList->font();
    larger.setPointSize(larger.pointSize() * 2);
    ui.fontAnswers = {larger};
    for (const char* when : {"default font", "larger list font"}) {
        SCOPED_TRACE(when);
        // "TimeCodeIn" and its padding, " : " and "00:00:01:00 (4 bytes)"; the GSI text fields
        // at least that far.
        EXPECT_EQ(cutLines(form.m_ttiTree, 61), QStringList());
        EXPECT_EQ(cutLines(form.m_gsiTree, 61), QStringList());
        // The list still shows its number and time code columns whole.
        const QHeaderView* header = form.m_subtitleList->header();
        EXPECT_LT(header->sectionViewportPosition(SubtitleListModel::TextColumn),
                  form.m_subtitleList->viewport()->width() / 2);
        ASSERT_TRUE(viewertest::clickMenuItem(form.m_fontAction));
    }
    form.close();
}

}  // namespace
