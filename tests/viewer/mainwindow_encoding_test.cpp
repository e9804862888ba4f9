// Automatic decoding by the file's own tables, the status line that names them, and refused files:
// their reason and the read-only Open Anyway path.

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTreeWidget>

#include "MenuClick.h"
#include "stl/StlTypes.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/mainwindow/SubtitleListModel.h"

namespace {

using testsupport::StlFileBuilder;

class EncodingTest : public ::testing::Test {
protected:
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;

    QString write(const StlFileBuilder& b, const char* name = "f.stl") {
        return QString::fromStdString(b.writeTo(dir.file(name)));
    }
    static QString text(MainWindow& form, int row) {
        return form.m_listModel->index(row, SubtitleListModel::TextColumn).data().toString();
    }
    static QString status(MainWindow& form) {
        return form.statusBar()->findChild<QLabel*>("encodingStatus")->text();
    }
};

StlFileBuilder fileWith(const char* cct, std::vector<std::uint8_t> text) {
    StlFileBuilder b;
    b.gsi(gsi::characterCodeTableNumber, cct).addBlock({.number = 1, .text = std::move(text)});
    return b.announce(1);
}

TEST_F(EncodingTest, AutomaticDecodesByTheFilesTableAndSaysWhich) {
    struct Case {
        const char* cct;
        std::vector<std::uint8_t> text;
        QString shown;
        QString status;
    } const cases[] = {
        {"00",
         {'f', 0xC2, 'e', 'e', 's', 0x8A, 'M', 0xC3, 'e', 'm', 'e'},
         "fées|Même",
         "character code table 00, Latin (ISO 6937)"},
        {"01", {0xB0, 0xD0}, "Аа", "character code table 01, Latin/Cyrillic (ISO 8859-5)"},
        {"02", {0xC7, 0xE4}, "\u0627\u0644", "character code table 02, Latin/Arabic (ISO 8859-6)"},
        {"03", {0xC1, 0xE1}, "Αα", "character code table 03, Latin/Greek (ISO 8859-7)"},
        {"04", {0xE0}, "\u05D0", "character code table 04, Latin/Hebrew (ISO 8859-8)"},
        {"09",
         {'C', 'a', 'f', 0xE9},
         "Café",
         "character code table \"09\" is unknown, shown with "
         "code page 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cct);
        MainWindow form;
        form.show();
        ASSERT_TRUE(form.loadFile(write(fileWith(c.cct, c.text))));
        EXPECT_EQ(text(form, 0), c.shown);
        EXPECT_TRUE(status(form).contains(c.status)) << status(form).toStdString();
        form.close();
    }
}

TEST_F(EncodingTest, ChoosingAPageTurnsAutomaticOffAndBack) {
    StlFileBuilder b = fileWith("01", {0xB0, 0xD0});
    b.gsi(gsi::codePageNumber, "850").gsi(gsi::originalProgrammeTitle, "F\x81r");
    MainWindow form;
    form.show();
    ASSERT_TRUE(form.loadFile(write(b)));
    EXPECT_TRUE(form.m_gsiTree->topLevelItem(0)->child(5)->text(0).contains("Für"));
    EXPECT_TRUE(status(form).contains("Header: code page 850"));
    QAction* latin1 = nullptr;
    for (QAction* item : form.m_encodingGroup->actions())
        if (item->data().toInt() == 1252) latin1 = item;
    ASSERT_NE(latin1, nullptr);
    latin1->trigger();
    EXPECT_FALSE(form.autoCodePage());
    EXPECT_EQ(text(form, 0), "°Ð");
    EXPECT_TRUE(status(form).contains("code page 1252 (chosen)"));
    form.m_automaticEncodingAction->trigger();
    EXPECT_TRUE(form.autoCodePage());
    EXPECT_TRUE(form.m_automaticEncodingAction->isChecked());
    EXPECT_EQ(text(form, 0), "Аа");
    form.close();
}

TEST_F(EncodingTest, NonStandardFilesOpenReadOnlyOnlyWhenAsked) {
    StlFileBuilder b;
    b.gsi(gsi::diskFormatCode, "STL24.01").addBlocks(3);
    const QString name = write(b);
    QFile before(name);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();
    before.close();
    const QString reason =
        "The disk format code is STL24.01; only STL25.01 and STL30.01 are standard.";
    for (const bool openAnyway : {false, true}) {
        SCOPED_TRACE(openAnyway);
        MainWindow form;
        form.show();
        ui.shown.clear();
        ui.openAnswers.push_back(name);
        ui.offerAnswers.push_back(openAnyway);
        form.onOpenTriggered();
        ASSERT_FALSE(ui.shown.isEmpty());
        EXPECT_TRUE(
            ui.shown.last().startsWith("offer Open Anyway: Not valid EBU STL file\n\n" + reason));
        EXPECT_EQ(form.m_listModel->rowCount(), openAnyway ? 3 : 0);
        auto* banner = form.findChild<QLabel*>("nonStandardBanner");
        EXPECT_EQ(banner && banner->isVisibleTo(&form), openAnyway);
        if (openAnyway) {
            EXPECT_TRUE(banner->text().contains(reason));
        }
        form.close();
    }
    QFile after(name);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), bytes);
}

TEST_F(EncodingTest, CancelledOpenAnywayKeepsTheOpenFileAsItWas) {
    const QString good = write(fileWith("01", {0xB0, 0xD0}), "good.stl");
    StlFileBuilder odd;
    odd.gsi(gsi::diskFormatCode, "STL24.01").addBlocks(3);
    const QString nonStandard = write(odd, "odd.stl");
    MainWindow form;
    form.show();
    ui.openAnswers = {good, nonStandard};
    ui.offerAnswers = {false};
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_openAction));
    const QString title = form.windowTitle();
    const QString statusText = status(form);
    ASSERT_TRUE(statusText.contains("character code table 01"));

    ASSERT_TRUE(viewertest::clickMenuItem(form.m_openAction));
    ASSERT_TRUE(ui.shown.last().startsWith("offer Open Anyway: "));
    EXPECT_EQ(form.fileName(), good);
    EXPECT_NE(form.stlReader(), nullptr);
    EXPECT_EQ(form.windowTitle(), title);
    EXPECT_EQ(text(form, 0), "Аа");
    EXPECT_EQ(form.selectedRow(), 0);
    EXPECT_EQ(form.m_gsiTree->topLevelItemCount(), 1);
    EXPECT_EQ(status(form), statusText);
    form.close();
}

}  // namespace

namespace {

TEST_F(EncodingTest, FilesNamedOnTheCommandLineOpenAsFromTheMenu) {
    MainWindow form;
    form.show();
    form.openNamedFile(QString::fromStdString(dir.file("missing.stl")));
    ASSERT_FALSE(ui.shown.isEmpty());
    EXPECT_TRUE(ui.shown.last().startsWith("error: Cannot find the file "));
    StlFileBuilder b;
    form.openNamedFile(write(b.gsi(gsi::diskFormatCode, "XYZ12.34").addBlocks(1)));
    EXPECT_EQ(ui.shown.last(),
              "message: Not valid EBU STL file\n\nThe disk format code is XYZ12.34; "
              "only STL25.01 and STL30.01 are standard.");
    form.openNamedFile(write(fileWith("00", {'o', 'k'}), "good.stl"));
    EXPECT_EQ(text(form, 0), "ok");
    form.close();
}

}  // namespace
