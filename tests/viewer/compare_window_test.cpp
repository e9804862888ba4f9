// File > Compare With...: the window opened from the menu with a scripted second file, its offset
// sentence, the kinds of its rows, F7 / Shift+F7, the previews following the selection, and the
// files it cannot or can only read-only compare.

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QTableView>

#include "MenuClick.h"
#include "subtitle/TextRows.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/compare/CompareModel.h"
#include "viewer/compare/CompareWindow.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/preview/SubtitlePreview.h"

namespace {

using Builder = testsupport::StlFileBuilder;
using comparewindow::CompareModel;
using comparewindow::CompareWindow;

struct Line {
    int number;
    int second;  // in-time second; out one second later
    int frame;
    const char* text;
    int outSecond = -1;  // -1: one second after the in-time
    int outFrame = 0;
};

class CompareWindowTest : public ::testing::Test {
protected:
    QString write(const std::string& name, const std::vector<Line>& lines,
                  const char* diskFormat = "STL25.01", int announced = -1) {
        Builder builder;
        builder.gsi(gsi::diskFormatCode, diskFormat);
        for (const Line& line : lines) {
            Builder::Block b;
            b.number = static_cast<std::uint16_t>(line.number);
            b.in[2] = static_cast<std::uint8_t>(line.second);
            b.in[3] = static_cast<std::uint8_t>(line.frame);
            b.out[2] =
                static_cast<std::uint8_t>(line.outSecond < 0 ? line.second + 1 : line.outSecond);
            b.out[3] = static_cast<std::uint8_t>(line.outSecond < 0 ? line.frame : line.outFrame);
            b.text = Builder::text(line.text);
            builder.addBlock(b);
        }
        return QString::fromStdString(
            builder.announce(announced < 0 ? static_cast<int>(lines.size()) : announced)
                .writeTo(dir.file(name)));
    }

    // Loads A into the window, chooses File > Compare With... and answers B.
    CompareWindow* compare(const QString& a, const QString& b) {
        EXPECT_TRUE(form.loadFile(a));
        ui.openAnswers = {b};
        EXPECT_TRUE(viewertest::clickMenuItem(form.m_compareAction));
        return form.findChild<CompareWindow*>();
    }

    static QString label(CompareWindow* window, const char* name) {
        return window->findChild<QLabel*>(QLatin1String(name))->text();
    }
    static QStringList column(CompareWindow* window, int column) {
        QStringList out;
        for (int row = 0; row < window->model()->rowCount(); ++row)
            out << window->model()->index(row, column).data().toString();
        return out;
    }
    static QString previewText(SubtitlePreview* preview) {
        QString out;
        for (const auto& row : preview->currentLayout().lines)
            out += QString::fromStdU16String(subtitle::plainText(row));
        return out;
    }

    const std::vector<Line> original = {
        {1, 1, 0, "one"}, {2, 3, 0, "the quick fox"}, {3, 5, 0, "three"}, {4, 7, 0, "four"}};

    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;
    MainWindow form;
};

TEST_F(CompareWindowTest, MenuItemNeedsALoadedFile) {
    ui.openAnswers = {write("a.stl", original)};
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_compareAction));
    EXPECT_FALSE(form.m_compareAction->isEnabled());
    EXPECT_EQ(form.findChild<CompareWindow*>(), nullptr);
    EXPECT_TRUE(ui.openAnswers.size() == 1);  // no file dialog for a disabled item
}

TEST_F(CompareWindowTest, ShiftedCopyStatesTheOffsetAndNothingElse) {
    std::vector<Line> shifted = original;
    for (Line& line : shifted) line.frame += 10;
    CompareWindow* window = compare(write("a.stl", original), write("b.stl", shifted));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ui.shown, QStringList{"open: Compare With"});
    EXPECT_EQ(label(window, "offsetLabel"), "B is A shifted by +00:00:00:10 (10 frames).");
    EXPECT_EQ(column(window, CompareModel::Kind), QStringList(4, QString()));
    EXPECT_FALSE(window->findChild<QLabel*>("nonStandardLabel")->isVisibleTo(window));
    EXPECT_EQ(previewText(window->previewA()), "one");  // the first row shows on opening
    EXPECT_EQ(previewText(window->previewB()), "one");
}

TEST_F(CompareWindowTest, RowsShowTextChangesAndAddedSubtitles) {
    std::vector<Line> edited = original;
    edited[1].text = "the slow fox";
    edited.insert(edited.begin() + 3, {9, 6, 0, "new line"});
    CompareWindow* window = compare(write("a.stl", original), write("b.stl", edited));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(label(window, "offsetLabel"), "No shift between the files.");
    EXPECT_EQ(column(window, CompareModel::Kind), (QStringList{"", "text", "", "added", ""}));
    EXPECT_EQ(column(window, CompareModel::AText),
              (QStringList{"one", "the [-quick-] fox", "three", "", "four"}));
    EXPECT_EQ(column(window, CompareModel::BText),
              (QStringList{"one", "the {+slow+} fox", "three", "new line", "four"}));
    EXPECT_EQ(column(window, CompareModel::BNumber), (QStringList{"1", "2", "3", "9", "4"}));
}

TEST_F(CompareWindowTest, SplitsAndMergesTakeARowPerPartAndTheHeaderSaysWhatChanged) {
    const std::vector<Line> a = {{1, 1, 0, "one"}, {2, 3, 0, "nobody saw you there", 5, 0}};
    const std::vector<Line> b = {
        {1, 1, 0, "one"}, {2, 3, 0, "nobody saw", 4, 0}, {3, 4, 0, "you there", 5, 0}};
    struct Case {
        const char* name;
        std::vector<Line> a, b;
        QStringList kinds, textA, textB;
    };
    const Case cases[] = {
        {"split",
         a,
         b,
         {"", "split", ""},
         {"one", "nobody saw you there", ""},
         {"one", "nobody saw", "you there"}},
        {"merged",
         b,
         a,
         {"", "merged", ""},
         {"one", "nobody saw", "you there"},
         {"one", "nobody saw you there", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CompareWindow* window = compare(write("a.stl", c.a), write("b.stl", c.b));
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(column(window, CompareModel::Kind), c.kinds);
        EXPECT_EQ(column(window, CompareModel::AText), c.textA);
        EXPECT_EQ(column(window, CompareModel::BText), c.textB);
        EXPECT_TRUE(label(window, "headerLabel").startsWith("Header: TotalNumberOfTTI"))
            << label(window, "headerLabel").toStdString();
        // F7 stops once at the split or merge, not at its second row.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        window->activateWindow();
        QTest::keyClick(window->table(), Qt::Key_F7);
        QTest::keyClick(window->table(), Qt::Key_F7);
        EXPECT_EQ(window->table()->currentIndex().row(), 1);
        delete window;
    }
}

TEST_F(CompareWindowTest, F7WalksTheDifferencesAndThePreviewsFollow) {
    std::vector<Line> edited = original;
    edited[1].text = "the slow fox";
    edited.insert(edited.begin() + 3, {9, 6, 0, "new line"});
    CompareWindow* window = compare(write("a.stl", original), write("b.stl", edited));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    window->table()->setFocus();
    struct Step {
        Qt::KeyboardModifiers modifiers;
        int row;
        std::int64_t blockA, blockB;
        const char *textA, *textB;
    };
    const Step steps[] = {
        {Qt::NoModifier, 1, 1, 1, "the quick fox", "the slow fox"},
        {Qt::NoModifier, 3, -1, 3, "", "new line"},
        {Qt::NoModifier, 1, 1, 1, "the quick fox", "the slow fox"},  // wraps
        {Qt::ShiftModifier, 3, -1, 3, "", "new line"},               // wraps backwards
    };
    for (const Step& step : steps) {
        QTest::keyClick(window->table(), Qt::Key_F7, step.modifiers);
        EXPECT_EQ(window->table()->currentIndex().row(), step.row);
        EXPECT_EQ(window->shownBlockA(), step.blockA);
        EXPECT_EQ(window->shownBlockB(), step.blockB);
        EXPECT_EQ(previewText(window->previewA()), step.textA);
        EXPECT_EQ(previewText(window->previewB()), step.textB);
    }
    // A click on an unchanged row shows both versions of it.
    QTest::mouseClick(window->table()->viewport(), Qt::LeftButton, {},
                      window->table()->visualRect(window->model()->index(4, 0)).center());
    EXPECT_EQ(window->shownBlockA(), 3);
    EXPECT_EQ(window->shownBlockB(), 4);
}

TEST_F(CompareWindowTest, FilesThatCannotOrCanOnlyBeReadOnlyCompared) {
    const QString a = write("a.stl", original);
    QFile junk(QString::fromStdString(dir.file("junk.stl")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a subtitle file");
    junk.close();
    EXPECT_EQ(compare(a, junk.fileName()), nullptr);
    ASSERT_EQ(ui.shown.size(), 2);
    EXPECT_TRUE(ui.shown[1].startsWith("error: Cannot compare \"" + junk.fileName() +
                                       "\": not valid EBU STL file"))
        << ui.shown[1].toStdString();

    // The two kinds the viewer opens anyway: an unusual frame rate, blocks missing at the end.
    for (const QString& b :
         {write("b24.stl", original, "STL24.01"), write("short.stl", original, "STL25.01", 6)}) {
        SCOPED_TRACE(b.toStdString());
        CompareWindow* window = compare(a, b);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(label(window, "nonStandardLabel").startsWith("B is a non-standard file ("));
        EXPECT_TRUE(label(window, "nonStandardLabel").endsWith("), compared read-only."));
        EXPECT_FALSE(label(window, "nonStandardLabel").contains(".)"));
        window->table()->selectRow(3);
        EXPECT_EQ(previewText(window->previewB()), "four");
        delete window;
    }
}

}  // namespace
