// The main window driven as a user would: loading, dropping, the list, the trees, the encoding
// commands and the settings kept between runs.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QFontDialog>
#include <QFontInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>

#include "MenuClick.h"
#include "platform/Registry.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/hex/HexView.h"
#include "viewer/mainwindow/ListViewFont.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/mainwindow/SubtitleListModel.h"
#include "viewer/mainwindow/SubtitleListView.h"

using testsupport::ScriptedInteraction;
using testsupport::StlFileBuilder;

namespace {

constexpr const char* settingsKey = "Software\\Vantorel\\Lumtrace";

class MainWindowTest : public ::testing::Test {
protected:
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    ScriptedInteraction ui;

    QString write(const std::string& name, const StlFileBuilder& builder) {
        return QString::fromStdString(builder.writeTo(dir.file(name)));
    }
    QString cell(MainWindow& form, int row, int column) {
        return form.m_listModel->index(row, column).data().toString();
    }
    QString checkedEncoding(MainWindow& form) {
        QAction* item = form.m_encodingGroup->checkedAction();
        return item ? item->text() : QString();
    }
};

StlFileBuilder::Block textBlock(std::vector<std::uint8_t> text) {
    StlFileBuilder::Block block;
    block.text = std::move(text);
    return block;
}

}  // namespace

TEST_F(MainWindowTest, StartsWithoutFileAndLoadsUnloadsAndRejects) {
    MainWindow form;
    form.show();
    EXPECT_EQ(form.windowTitle(), "Lumtrace");
    // A new user sees each file in its own tables.
    EXPECT_EQ(checkedEncoding(form), "Automatic (from GSI block)");
    EXPECT_TRUE(form.m_checkForUpdatesAction->isChecked());
    EXPECT_TRUE(form.validationModule().empty() ||
                form.validationModule().ends_with("/Sievra.zkx"));

    const QString good = write("a.stl", StlFileBuilder().addBlocks(3));
    ASSERT_TRUE(form.loadFile(good));
    EXPECT_EQ(form.windowTitle(), "Lumtrace (" + good + ")");
    EXPECT_EQ(form.m_listModel->rowCount(), 3);
    EXPECT_EQ(form.selectedRow(), 0);
    EXPECT_EQ(form.m_gsiTree->topLevelItem(0)->childCount(), 29);
    EXPECT_EQ(form.m_ttiTree->topLevelItem(0)->childCount(), 10);
    EXPECT_TRUE(form.hexView()->isFileOpen());
    EXPECT_FALSE(form.m_hexText->toPlainText().isEmpty());

    // Not an STL file: the window falls back to the state without a file.
    const QString bad = QString::fromStdString(dir.file("notes.txt"));
    QFile(bad).open(QIODevice::WriteOnly);
    EXPECT_FALSE(form.loadFile(bad));
    EXPECT_EQ(form.stlReader(), nullptr);
    EXPECT_TRUE(form.fileName().isEmpty());
    EXPECT_EQ(form.windowTitle(), "Lumtrace");
    EXPECT_EQ(form.m_listModel->rowCount(), 0);
    EXPECT_EQ(form.m_gsiTree->topLevelItemCount(), 0);
    EXPECT_TRUE(form.m_hexText->toPlainText().isEmpty());

    ASSERT_TRUE(form.loadFile(good));
    form.onCloseTriggered();
    EXPECT_EQ(form.stlReader(), nullptr);
    EXPECT_EQ(form.m_listModel->rowCount(), 0);
    EXPECT_EQ(form.windowTitle(), "Lumtrace");
    EXPECT_FALSE(form.hexView()->isFileOpen());
    form.close();
}

TEST_F(MainWindowTest, OpenFromMenuReportsInvalidFiles) {
    MainWindow form;
    form.show();
    const QString bad = QString::fromStdString(dir.file("short.stl"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1023, ' '));
    f.close();
    ui.openAnswers.push_back(bad);
    form.onOpenTriggered();
    EXPECT_EQ(ui.lastFilter.contains("*.stl"), true);
    EXPECT_EQ(ui.shown.last(),
              "message: Not valid EBU STL file\n\nThe file holds 1,023 bytes, too "
              "few for the 1,024-byte header of an STL file.");
    // Cancelled dialog: nothing happens.
    ui.shown.clear();
    form.onOpenTriggered();
    EXPECT_EQ(ui.shown, QStringList{"open: "});
    form.close();
}

TEST_F(MainWindowTest, OpenOfANameThatNamesNoFileSaysSo) {
    MainWindow form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // What the dialog gives for a file whose name is not UTF-8: the undecodable byte as U+FFFD.
    const QString unreadable = QString::fromStdString(dir.file("caf")) + QChar(0xFFFD) + ".stl";
    ::close(::open((dir.file("caf") + "\xE9.stl").c_str(), O_CREAT | O_WRONLY, 0600));
    for (const QString& name : {unreadable, QString::fromStdString(dir.file("gone.stl"))}) {
        ui.shown.clear();
        ui.openAnswers.push_back(name);
        QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
        ASSERT_EQ(ui.shown.size(), 2) << ui.shown.join(" / ").toStdString();
        EXPECT_EQ(ui.shown.last(), "error: Cannot open \"" + name +
                                       "\": no such file, or its name cannot be read in this "
                                       "locale.");
    }
    EXPECT_EQ(form.stlReader(), nullptr);
    form.close();
}

TEST_F(MainWindowTest, DroppedFilesLeaveTheLastValidOne) {
    MainWindow form;
    form.show();
    const QString first = write("1.stl", StlFileBuilder().addBlocks(1));
    const QString third = write("3.stl", StlFileBuilder().addBlocks(4));
    const QString notStl = QString::fromStdString(dir.file("2.txt"));
    QFile(notStl).open(QIODevice::WriteOnly);

    form.dropFiles({first, notStl, QString::fromStdString(dir.path()), third});
    EXPECT_EQ(form.fileName(), third);
    EXPECT_EQ(form.m_listModel->rowCount(), 4);

    form.dropFiles({first, notStl});
    EXPECT_EQ(form.stlReader(), nullptr);
    EXPECT_TRUE(form.fileName().isEmpty());
    EXPECT_TRUE(ui.shown.isEmpty());
    form.close();
}

TEST_F(MainWindowTest, ListShowsEveryWholeBlockWithTimeCodesAndText) {
    StlFileBuilder builder;
    StlFileBuilder::Block threeDigits = textBlock(StlFileBuilder::text("Hello"));
    threeDigits.in[0] = 100;
    threeDigits.in[1] = 1;
    threeDigits.in[2] = 59;
    threeDigits.in[3] = 24;
    builder.addBlock(threeDigits);
    builder.addBlock(textBlock({0x8F, 'x'}));
    builder.addBlock(textBlock(StlFileBuilder::text("third")));
    builder.announce(2);  // fewer announced than present
    builder.trailing(std::vector<std::uint8_t>(100, 0x20));
    MainWindow form;
    form.show();
    ASSERT_TRUE(form.loadFile(write("list.stl", builder)));
    ASSERT_EQ(form.m_listModel->rowCount(), 3);
    EXPECT_EQ(cell(form, 0, SubtitleListModel::NumberColumn), "1");
    EXPECT_EQ(cell(form, 2, SubtitleListModel::NumberColumn), "3");
    EXPECT_EQ(cell(form, 0, SubtitleListModel::TCInColumn), "100:01:59:24");
    EXPECT_EQ(cell(form, 0, SubtitleListModel::TCOutColumn), "00:00:01:00");
    EXPECT_EQ(cell(form, 0, SubtitleListModel::TextColumn), "Hello");
    EXPECT_EQ(cell(form, 1, SubtitleListModel::TextColumn), "");
    EXPECT_EQ(cell(form, 2, SubtitleListModel::TextColumn), "third");
    form.close();
}

TEST_F(MainWindowTest, TreesShowPaddedLinesAndFollowTheSelection) {
    StlFileBuilder builder;
    builder.gsi(gsi::originalProgrammeTitle, "");
    builder.gsiBytes(gsi::originalEpisodeTitle.offset, {'A', 'b', 0, 'c'});
    StlFileBuilder::Block numbered = textBlock(StlFileBuilder::text("x"));
    numbered.number = 12345;
    numbered.in[0] = 10;
    numbered.in[1] = 0;
    numbered.in[2] = 5;
    numbered.in[3] = 24;
    builder.addBlock(textBlock(StlFileBuilder::text("first")));
    builder.addBlock(numbered);
    builder.announce(2);
    MainWindow form;
    form.show();
    ASSERT_TRUE(form.loadFile(write("trees.stl", builder)));
    QTreeWidgetItem* gsiRoot = form.m_gsiTree->topLevelItem(0);
    EXPECT_EQ(gsiRoot->text(0), "General Subtitle Information (GSI)");
    EXPECT_EQ(gsiRoot->child(5)->text(0), "OriginalProgrammeTitle               :  (32 bytes)");
    EXPECT_EQ(gsiRoot->child(6)->text(0), "OriginalEpisodeTitle                 : Ab (32 bytes)");

    // Select the second row as a click would, then the tree and the hex view follow.
    form.m_subtitleList->setCurrentIndex(form.m_listModel->index(1, 1));
    form.onSubtitleListMousePressed();
    QTreeWidgetItem* ttiRoot = form.m_ttiTree->topLevelItem(0);
    EXPECT_EQ(ttiRoot->text(0), "Text and Timing Information (TTI)");
    EXPECT_EQ(ttiRoot->child(1)->text(0), "SubtitleNumber                       : 12345 (2 bytes)");
    EXPECT_EQ(ttiRoot->child(4)->text(0),
              "TimeCodeIn                           : 10:00:05:24 (4 bytes)");
    EXPECT_EQ(form.hexView()->lastRefreshOffset(), 1024 + 128);

    // No selection: the tree keeps what it showed.
    form.m_subtitleList->clearSelection();
    form.onSubtitleListKeyReleased();
    EXPECT_EQ(form.m_ttiTree->topLevelItem(0)->child(1)->text(0),
              "SubtitleNumber                       : 12345 (2 bytes)");
    form.close();
}

TEST_F(MainWindowTest, CodePageChangeRebuildsListAndShowsTheFirstRowEverywhere) {
    StlFileBuilder builder;
    builder.addBlock(textBlock({0xE9}));
    builder.addBlock(textBlock({0xE9}));
    builder.announce(2);
    MainWindow form;
    form.show();
    ASSERT_TRUE(form.loadFile(write("cp.stl", builder)));
    QAction* cp1252 = nullptr;
    QAction* cp1251 = nullptr;
    for (QAction* item : form.m_encodingGroup->actions()) {
        if (item->data().toInt() == 1252) cp1252 = item;
        if (item->data().toInt() == 1251) cp1251 = item;
    }
    ASSERT_TRUE(cp1252 && cp1251);
    form.onEncodingTriggered(cp1252);
    EXPECT_EQ(cell(form, 1, SubtitleListModel::TextColumn), QString(QChar(0x00E9)));
    EXPECT_TRUE(cp1252->isChecked());

    form.m_subtitleList->setCurrentIndex(form.m_listModel->index(1, 1));
    form.onSubtitleListKeyReleased();
    ASSERT_EQ(form.hexView()->lastRefreshOffset(), 1024 + 128);

    // The rebuilt list selects row 0, and the tree and the hex view follow it.
    ASSERT_TRUE(viewertest::clickMenuItem(cp1251));
    EXPECT_EQ(form.codePage(), 1251);
    EXPECT_EQ(cell(form, 1, SubtitleListModel::TextColumn), QString(QChar(0x0439)));
    EXPECT_EQ(form.selectedRow(), 0);
    EXPECT_TRUE(cp1251->isChecked());
    EXPECT_EQ(form.hexView()->lastRefreshOffset(), 1024);
    form.close();
}

TEST_F(MainWindowTest, FirstRunWritesAllFourteenValuesAtClose) {
    {
        MainWindow form;
        form.show();
        form.close();
    }
    auto key = platform::RegistryKey::open(settingsKey, false);
    ASSERT_TRUE(key);
    for (const char* name :
         {"FormTop", "FormLeft", "FormHeight", "FormWidth", "OffsetColWidth", "LenColWidth",
          "StartCodeColWidth", "NALColWidth", "Panel2Width", "WindowState", "AutomaticCodePage",
          "CodePageNumber", "CheckForUpdates"}) {
        std::uint32_t value = 0;
        EXPECT_TRUE(key->readDWord(name, value)) << name;
    }
    std::vector<std::uint8_t> font;
    ASSERT_TRUE(key->readBinary("ListView Font", font));
    EXPECT_EQ(font.size(), 96u);
    std::uint32_t value = 0;
    EXPECT_TRUE(key->readDWord("LenColWidth", value));
    EXPECT_EQ(value, 50u);
    EXPECT_TRUE(key->readDWord("CheckForUpdates", value));
    EXPECT_EQ(value, 1u);
}

TEST_F(MainWindowTest, StoredSettingsAreAppliedAndBadOnesIgnored) {
    {
        auto key = platform::RegistryKey::open(settingsKey, true);
        ASSERT_TRUE(key);
        key->writeDWord("CodePageNumber", 28591);
        key->writeDWord("LenColWidth", 77);
        key->writeDWord("CheckForUpdates", 0);
        key->writeBinary("ListView Font", std::vector<std::uint8_t>(92, 0));
        key->writeString("StartCodeColWidth", "wide");
    }
    {
        MainWindow form;
        form.show();
        EXPECT_EQ(form.codePage(), 28591);
        EXPECT_EQ(checkedEncoding(form), "Other (enter code page manually)");
        EXPECT_EQ(form.m_subtitleList->header()->sectionSize(SubtitleListModel::NumberColumn), 77);
        EXPECT_EQ(form.m_subtitleList->header()->sectionSize(SubtitleListModel::TCInColumn), 90);
        EXPECT_FALSE(form.checkForUpdates());
        EXPECT_FALSE(form.m_checkForUpdatesAction->isChecked());
        EXPECT_EQ(form.m_subtitleList->font().pointSize(),
                  listviewfont::designedListFont().pointSize());
        form.close();
    }
    {
        auto key = platform::RegistryKey::open(settingsKey, true);
        key->writeDWord("AutomaticCodePage", 1);
        key->writeDWord("WindowState", 2);
    }
    MainWindow form;
    form.show();
    EXPECT_TRUE(form.m_automaticEncodingAction->isChecked());
    EXPECT_TRUE(form.m_automaticEncodingAction->isVisible());
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(form.codePage(), 28591);
    form.close();
}

TEST_F(MainWindowTest, StoredWindowSizeStaysThroughRestartsAndMaximising) {
    const auto stored = [] {
        auto key = platform::RegistryKey::open(settingsKey, false);
        std::uint32_t top = 0, left = 0, height = 0, width = 0, state = 0;
        EXPECT_TRUE(key && key->readDWord("FormTop", top) && key->readDWord("FormLeft", left) &&
                    key->readDWord("FormHeight", height) && key->readDWord("FormWidth", width) &&
                    key->readDWord("WindowState", state));
        return std::vector<std::uint32_t>{top, left, height, width, state};
    };
    const auto run = [](bool maximise) {
        MainWindow form;
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        QTest::qWait(50);
        if (maximise) {
            form.showMaximized();
            QTest::qWait(50);
        }
        form.close();
    };
    run(false);
    std::vector<std::uint32_t> first = stored();
    for (int i = 0; i < 4; ++i) {
        run(false);
        EXPECT_EQ(stored(), first) << "start " << i + 2;
    }
    // Closed maximised: the normal size and place are kept, with the state.
    run(true);
    std::vector<std::uint32_t> maximised = stored();
    EXPECT_EQ(maximised.back(), 2u);
    maximised.back() = 0;
    EXPECT_EQ(maximised, first);
}

TEST_F(MainWindowTest, FontsAreFixedPitchAndRowsHoldTheirDescenders) {
    {
        auto record = listviewfont::encodeRecord({QFont("No Such Face Here", 11), 0xFF000008});
        auto key = platform::RegistryKey::open(settingsKey, true);
        ASSERT_TRUE(key);
        key->writeBinary("ListView Font", record);
    }
    StlFileBuilder::Block block = textBlock(StlFileBuilder::text("gjpqy"));
    block.in[0] = 100;
    MainWindow form;
    form.show();
    ASSERT_TRUE(form.loadFile(write("fonts.stl", StlFileBuilder().addBlock(block))));
    // A stored face this machine lacks: the fixed-pitch font at the stored size.
    const QFont list = form.m_subtitleList->font();
    EXPECT_TRUE(QFontInfo(list).fixedPitch()) << QFontInfo(list).family().toStdString();
    EXPECT_EQ(list.pointSize(), 11);
    EXPECT_TRUE(QFontInfo(form.m_hexText->font()).fixedPitch());
    EXPECT_TRUE(QFontInfo(form.m_ttiTree->font()).fixedPitch());
    // The font dialog opens on the face the list shows.
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_fontAction));
    EXPECT_EQ(ui.lastInitialFont.family(), QFontInfo(list).family());
    {
        // and on its upright style, so OK without a change keeps the list as it is
        QFontDialog dialog(ui.lastInitialFont);
        EXPECT_FALSE(dialog.currentFont().italic())
            << dialog.currentFont().styleName().toStdString();
        EXPECT_EQ(dialog.currentFont().family(), QFontInfo(list).family());
    }

    // Each row holds the font's ascent and descent, with the grid line below them.
    for (const QFont& font : {list, QFont(list.family(), 8), QFont(list.family(), 20)}) {
        form.m_subtitleList->setFont(font);
        const QRect row = form.m_subtitleList->visualRect(
            form.m_listModel->index(0, SubtitleListModel::TextColumn));
        EXPECT_GE(row.height(), QFontMetrics(font).height() + 1) << font.pointSize();
    }

    // A time code with a three-digit part is shown whole in its tool tip.
    const QPoint at =
        form.m_subtitleList->visualRect(form.m_listModel->index(0, SubtitleListModel::TCInColumn))
            .center();
    QHelpEvent help(QEvent::ToolTip, at, form.m_subtitleList->viewport()->mapToGlobal(at));
    QApplication::sendEvent(form.m_subtitleList->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), "100:00:00:00");
    form.close();

    // The record keeps the stored face for a machine that has it; the stand-in is not saved.
    auto key = platform::RegistryKey::open(settingsKey, false);
    ASSERT_TRUE(key);
    std::vector<std::uint8_t> record;
    ASSERT_TRUE(key->readBinary("ListView Font", record));
    const auto saved = listviewfont::decodeRecord(record);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->font.family(), "No Such Face Here");
}

TEST_F(MainWindowTest, ListFontSurvivesARestart) {
    {
        MainWindow form;
        form.show();
        QFont chosen(QStringLiteral("DejaVu Sans"), 13);
        chosen.setBold(true);
        ui.fontAnswers.push_back(chosen);
        form.onFontTriggered();
        EXPECT_EQ(form.m_subtitleList->font().pointSize(), 13);
        form.close();
    }
    MainWindow form;
    form.show();
    EXPECT_EQ(form.m_subtitleList->font().pointSize(), 13);
    EXPECT_TRUE(form.m_subtitleList->font().bold());
    form.close();
}

TEST_F(MainWindowTest, ToolsWithoutFileSayNoFileLoaded) {
    MainWindow form;
    form.show();
    form.onHexEditTriggered(0);
    form.onValidationTriggered();
    EXPECT_EQ(ui.shown,
              QStringList({"error: There is no file loaded.", "error: There is no file loaded."}));
    form.close();
}
