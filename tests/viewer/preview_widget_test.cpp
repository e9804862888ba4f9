// The preview pane as painted and as the main window drives it: pixels at known cells, the View
// menu item, the selection it follows and the settings it keeps.

#include <gtest/gtest.h>

#include <tuple>

#include <QFontDatabase>

#include <QAction>
#include <QMenu>
#include <QSplitter>
#include <QTest>
#include <QWheelEvent>
#include <functional>

#include "MenuClick.h"
#include "platform/Registry.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/mainwindow/SubtitleListModel.h"
#include "viewer/mainwindow/SubtitleListView.h"
#include "viewer/preview/PreviewBlocks.h"
#include "viewer/preview/SubtitlePreview.h"

using testsupport::StlFileBuilder;

namespace {

constexpr const char* settingsKey = "Software\\Vantorel\\Lumtrace";

class PreviewWidgetTest : public ::testing::Test {
protected:
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;

    std::string write(std::string_view dsc, std::vector<StlFileBuilder::Block> blocks,
                      std::string_view rows = "23") {
        StlFileBuilder builder;
        builder.gsi(gsi::displayStandardCode, dsc).gsi(gsi::maximumNumberOfDisplayableRows, rows);
        for (const auto& b : blocks) builder.addBlock(b);
        builder.announce(static_cast<int>(blocks.size()));
        return builder.writeTo(dir.file("p.stl"));
    }
    // Renders block Index of a one-file fixture in a pane of a fixed size.
    QImage render(SubtitlePreview& pane, std::string_view dsc,
                  std::vector<StlFileBuilder::Block> blocks, std::uint32_t index = 0,
                  std::string_view rows = "23") {
        StlReader reader;
        EXPECT_EQ(reader.openFile(write(dsc, std::move(blocks), rows), true), S_OK);
        pane.resize(640, 560);
        pane.showBlock(reader, index, 20269);
        return pane.renderImage();
    }
};

StlFileBuilder::Block block(std::string_view text, std::uint8_t vertical = 20,
                            std::uint8_t justification = 0, std::uint16_t number = 1) {
    StlFileBuilder::Block b;
    b.text = StlFileBuilder::text(text);
    b.vertical = vertical;
    b.justification = justification;
    b.number = number;
    return b;
}

// Pixels of the cell within a small distance of the colour (glyph edges are smoothed).
int count(const QImage& image, const QRect& cell, const QColor& colour) {
    int n = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <
                90)
                ++n;
        }
    return n;
}

TEST_F(PreviewWidgetTest, BoxedWordOnNewBackgroundAndUnboxedTextLeavesThePicture) {
    SubtitlePreview pane;
    // Yellow, new background, red, start box x2, WORD, end box x2, " plain".
    const QImage image = render(pane, "1", {block("\x03\x1D\x01\x0B\x0BWORD\x0A\x0A plain")});
    const QRect w = pane.cellRect(20, 5);
    EXPECT_EQ(image.pixelColor(w.topLeft()), QColor(Qt::yellow));
    EXPECT_GT(count(image, w, Qt::red), 0);
    const int area = w.width() * w.height();
    EXPECT_EQ(count(image, pane.cellRect(20, 3), preview::pictureColour()), area);
    EXPECT_EQ(count(image, pane.cellRect(20, 13), preview::pictureColour()), area);
}

TEST_F(PreviewWidgetTest, DoubleHeightBoxCoversTheRowBelow) {
    SubtitlePreview pane;
    const QImage image = render(pane, "1",
                                {block("\x0D\x0B\x0B"
                                       "BIG\x0A\x0A\x8A\x8A")});
    const QRect lower = pane.cellRect(21, 4);
    EXPECT_EQ(image.pixelColor(lower.left(), lower.bottom()), QColor(Qt::black));
    EXPECT_GT(count(image, lower, Qt::white), 0);  // lower half of the glyph
    const QRect beside = pane.cellRect(21, 20);
    EXPECT_EQ(image.pixelColor(beside.center()), preview::pictureColour());
}

TEST_F(PreviewWidgetTest, NotesWrapInANarrowPaneInsteadOfRunningOffItsEdge) {
    SubtitlePreview pane;
    StlReader reader;
    ASSERT_EQ(reader.openFile(write("1", {block("unboxed text")}), true), S_OK);
    pane.resize(150, 400);
    pane.showBlock(reader, 0, 20269);
    ASSERT_FALSE(pane.currentLayout().notes.empty());
    const QImage image = pane.renderImage();
    const preview::PreviewGeometry g(pane.currentLayout(), pane.size(), pane.paintOptions());
    const int line =
        QFontMetrics(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).lineSpacing();
    ASSERT_GE(g.notesHeight(), 2 * line);
    EXPECT_LE(g.notesTop() + g.notesHeight(), pane.height());
    // Text on the second line of the note.
    EXPECT_GT(
        count(image, QRect(0, g.notesTop() + line, pane.width(), line), QColor(200, 200, 200)), 0);
}

// VP counts rows of the safe area against MNR: row 1 near the top, row MNR near the bottom.
TEST_F(PreviewWidgetTest, OpenRowsStandAtTheirRowOfTheMaximumRows) {
    for (const auto& [vp, from, to] : {std::tuple{11, 0.75, 0.92}, std::tuple{1, 0.08, 0.2}}) {
        SubtitlePreview pane;
        const QImage image = render(pane, "0",
                                    {block("\x84"
                                           "box\x85 plain",
                                           vp, 1)},
                                    0, "11");
        const QRect picture =
            preview::PreviewGeometry(pane.currentLayout(), pane.size(), pane.paintOptions())
                .picture();
        int firstBlack = -1;
        for (int y = picture.top(); y <= picture.bottom() && firstBlack < 0; ++y)
            if (count(image, QRect(picture.left(), y, picture.width(), 1), Qt::black) > 0)
                firstBlack = y;
        ASSERT_GE(firstBlack, 0) << vp;
        const double at = double(firstBlack - picture.top()) / picture.height();
        EXPECT_GT(at, from) << vp;
        EXPECT_LT(at, to) << vp;
        EXPECT_GT(count(image, picture, Qt::white), 0);  // open subtitles are burnt in
    }
}

// A fault on a double-height row is marked over both of its halves.
TEST_F(PreviewWidgetTest, MarksCoverTheLowerHalfOfADoubleHeightRow) {
    const struct {
        const char* fault;
        std::string text;
        const char* rows;
    } cases[] = {
        {"wider than 40 cells", "\x0D" + std::string(44, 'x'), "23"},
        {"start box without end box", "\x0D\x0B\x0Bopen", "23"},
        {"beyond the file's rows", "\x0D\x0B\x0Blate\x0A\x0A", "19"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        SubtitlePreview pane;
        const QImage image = render(pane, "1", {block(c.text, 20)}, 0, c.rows);
        ASSERT_EQ(pane.currentLayout().notes.empty(), false);
        const QRect lowerHalf =
            QRect(pane.cellRect(21, 0).topLeft(), pane.cellRect(21, 39).bottomRight())
                .adjusted(0, 0, 4, 0);
        EXPECT_GT(count(image, lowerHalf, preview::markColour()), 0);
    }
}

TEST_F(PreviewWidgetTest, SaveWritesThePngTheContextMenuNames) {
    SubtitlePreview pane;
    render(pane, "1", {block("\x0B\x0Bsaved")});
    const QString target = QString::fromStdString(dir.file("shot"));
    ui.saveAnswers.push_back(target);
    pane.saveAction()->trigger();
    QImage saved(target + ".png");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), pane.size());
    EXPECT_EQ(pane.contextMenu()->actions().first()->text(), "Copy Preview");
}

// Key presses alone (no release), the wheel and a selection set in code: every way the list's row
// changes redraws the pane with that row's subtitle.
TEST_F(PreviewWidgetTest, ShowsTheSubtitleOfEveryRowTheListMovesTo) {
    std::vector<StlFileBuilder::Block> blocks;
    for (int i = 0; i < 60; ++i)
        blocks.push_back(
            block(QString("Sub %1").arg(i).toStdString(), 20, 0, static_cast<std::uint16_t>(i)));
    const QString file = QString::fromStdString(write("1", std::move(blocks)));
    MainWindow form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(form.loadFile(file));
    auto* pane = form.findChild<SubtitlePreview*>("subtitlePreview");
    ASSERT_TRUE(pane);
    SubtitleListView* list = form.m_subtitleList;
    list->setFocus();
    const auto press = [list](Qt::Key key) { return [list, key] { QTest::keyPress(list, key); }; };
    const auto wheel = [list](int delta) {
        return [list, delta] {
            const QPointF at(10, 10);
            QWheelEvent event(at, list->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(list->viewport(), &event);
        };
    };
    const struct {
        const char* how;
        std::function<void()> move;
    } steps[] = {
        {"Down", press(Qt::Key_Down)},
        {"PageDown", press(Qt::Key_PageDown)},
        {"End", press(Qt::Key_End)},
        {"wheel up", wheel(120)},
        {"wheel down", wheel(-120)},
        {"set in code",
         [&] { list->setCurrentIndex(form.m_listModel->index(7, SubtitleListModel::TextColumn)); }},
        {"Home", press(Qt::Key_Home)},
    };
    const auto shown = [pane] {
        std::u16string text;
        if (!pane->currentLayout().lines.empty())
            for (const auto& cell : pane->currentLayout().lines[0].cells) text += cell.text();
        return QString::fromStdU16String(text);
    };
    int previous = list->currentIndex().row();
    EXPECT_EQ(shown(), "Sub 0");
    for (const auto& step : steps) {
        step.move();
        const int row = list->currentIndex().row();
        EXPECT_NE(row, previous) << step.how;
        EXPECT_EQ(shown(), QString("Sub %1").arg(row)) << step.how;
        previous = row;
    }
    form.close();
}

TEST_F(PreviewWidgetTest, FollowsTheSelectionAndKeepsItsStateInTheSettings) {
    const QString file =
        QString::fromStdString(write("1", {block("first", 20, 0, 1), block("second", 20, 0, 2)}));
    {
        MainWindow form;
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        auto* pane = form.findChild<SubtitlePreview*>("subtitlePreview");
        ASSERT_TRUE(pane);
        EXPECT_TRUE(pane->isVisible());  // shown for a new user
        ASSERT_TRUE(form.loadFile(file));
        ASSERT_EQ(pane->currentLayout().lines.size(), 1u);
        EXPECT_EQ(pane->currentLayout().lines[0].cells[0].text(), u"f");
        form.m_subtitleList->setFocus();
        QTest::keyClick(form.m_subtitleList, Qt::Key_Down);
        EXPECT_EQ(pane->currentLayout().lines[0].cells[0].text(), u"s");
        QAction* item = nullptr;
        for (QAction* a : form.findChildren<QAction*>())
            if (a->text().remove('&') == "Subtitle Preview") item = a;
        ASSERT_TRUE(item);
        ASSERT_TRUE(viewertest::clickMenuItem(item));
        EXPECT_FALSE(pane->isVisible());
        form.close();
    }
    auto key = platform::RegistryKey::open(settingsKey, false);
    ASSERT_TRUE(key);
    std::uint32_t value = 1;
    EXPECT_TRUE(key->readDWord("PreviewVisible", value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(key->readDWord("CheckForUpdates", value));
    MainWindow again;
    again.show();
    EXPECT_FALSE(again.findChild<SubtitlePreview*>("subtitlePreview")->isVisible());
    again.close();
}

// The pane keeps the height the user dragged it to through restarts (Ctrl+Q, start again).
TEST_F(PreviewWidgetTest, KeepsItsHeightThroughRestarts) {
    const QString file = QString::fromStdString(write("1", {block("first")}));
    int wanted = 0;
    for (int run = 0; run < 4; ++run) {
        SCOPED_TRACE(run);
        auto form = std::make_unique<MainWindow>();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        ASSERT_TRUE(form->loadFile(file));
        auto* pane = form->findChild<SubtitlePreview*>("subtitlePreview");
        EXPECT_TRUE(pane->isVisible());
        EXPECT_GT(pane->height(), 50);
        if (run == 0) {
            // The user drags the handle above the pane 80 pixels up.
            QSplitterHandle* handle = form->m_treeSplitter->handle(2);
            const QPoint grip = handle->rect().center();
            QTest::mousePress(handle, Qt::LeftButton, {}, grip);
            QTest::mouseMove(handle, grip - QPoint(0, 80));
            QTest::mouseRelease(handle, Qt::LeftButton, {}, grip - QPoint(0, 80));
            wanted = pane->height();
            EXPECT_GT(wanted, form->m_treeSplitter->sizes().value(2, 0) - 1);
        } else {
            EXPECT_EQ(pane->height(), wanted);
            // The window system settling the window's size (its frame) takes nothing from it.
            form->resize(form->width(), form->height() - 24);
            QTest::qWait(20);
            EXPECT_EQ(pane->height(), wanted);
        }
        QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
        EXPECT_FALSE(form->isVisible());
    }
}

}  // namespace
