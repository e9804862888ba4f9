// File → Export in the main window, chosen from the menu: no file, a cancelled dialog, the
// format following the extension of the chosen name, the options dialog after it (remembered),
// the report of what was written, and replacing an existing file.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include "MenuClick.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/mainwindow/ExportOptionsDialog.h"
#include "viewer/mainwindow/MainWindow.h"

namespace {

class ExportMenuTest : public ::testing::Test {
protected:
    QString loadedFile(MainWindow& form) {
        testsupport::StlFileBuilder::Block block;
        block.number = 1;
        block.in[2] = 1;
        block.out[2] = 2;
        block.text = testsupport::StlFileBuilder::text("Hello\x8A\x03world");
        const QString file = QString::fromStdString(
            testsupport::StlFileBuilder().addBlock(block).announce(1).writeTo(dir.file("a.stl")));
        EXPECT_TRUE(form.loadFile(file));
        ui.shown.clear();
        return file;
    }

    // Clicks OK in the options dialog once it shows, after Adjust has set its choices.
    static void acceptOptions(std::function<void(ExportOptionsDialog&)> adjust = {}) {
        viewertest::whenDialogShows<ExportOptionsDialog>([adjust](ExportOptionsDialog& dialog) {
            if (adjust) adjust(dialog);
            QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                              Qt::LeftButton);
        });
    }

    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::ScriptedInteraction ui;
};

TEST_F(ExportMenuTest, WithoutAFileSaysSo) {
    MainWindow form;
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_exportAction));
    EXPECT_EQ(ui.shown, QStringList{"error: There is no file loaded."});
}

TEST_F(ExportMenuTest, CancelWritesNothing) {
    MainWindow form;
    loadedFile(form);
    ui.saveAnswers = {QString()};
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_exportAction));
    EXPECT_EQ(ui.shown, QStringList{"save: Export"});
}

TEST_F(ExportMenuTest, FormatFollowsTheExtension) {
    MainWindow form;
    loadedFile(form);
    const struct {
        const char* name;
        QByteArray expected;
    } cases[] = {
        {"a.srt", "1\n00:00:01,000 --> 00:00:02,000\nHello\nworld\n"},
        {"a.vtt",
         "WEBVTT\n\n00:00:01.000 --> 00:00:02.000 line:80% align:center\nHello\n"
         "<c.yellow>world</c>\n"},
        {"a.txt", "Hello\nworld\n"},
    };
    for (const auto& c : cases) {
        const QString target = QString::fromStdString(dir.file(c.name));
        ui.saveAnswers = {target};
        acceptOptions();
        ASSERT_TRUE(viewertest::clickMenuItem(form.m_exportAction));
        EXPECT_EQ(contents(target), c.expected) << c.name;
    }
    const QString xml = QString::fromStdString(dir.file("a.xml"));
    ui.saveAnswers = {xml};
    acceptOptions();
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_exportAction));
    EXPECT_TRUE(contents(xml).contains("<span style=\"yellow\">world</span></p>"))
        << contents(xml).toStdString();
    QStringList expected;
    for (const char* name : {"a.srt", "a.vtt", "a.txt", "a.xml"})
        expected << "save: Export"
                 << QStringLiteral("message: 1 subtitle written to %1.").arg(name);
    EXPECT_EQ(ui.shown, expected);
}

TEST_F(ExportMenuTest, AnExistingFileIsReplacedOnlyWhenTheUserSaysSo) {
    MainWindow form;
    loadedFile(form);
    const QString target = QString::fromStdString(dir.file("old.srt"));
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("kept");
    }
    const QString question =
        "confirm: The file \"old.srt\" already exists.\nDo you want to replace it?";
    ui.saveAnswers = {target, target};
    ui.confirmAnswers = {false, true};
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_exportAction));
    EXPECT_EQ(contents(target), "kept");
    acceptOptions();
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_exportAction));
    EXPECT_EQ(contents(target), "1\n00:00:01,000 --> 00:00:02,000\nHello\nworld\n");
    EXPECT_EQ(ui.shown, QStringList({"save: Export", question, "save: Export", question,
                                     "message: 1 subtitle written to old.srt."}));
    // The replacement went through a temporary file that is gone again.
    EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files),
              QStringList({"a.stl", "old.srt"}));
}

TEST_F(ExportMenuTest, AFolderIsNeverReplaced) {
    MainWindow form;
    loadedFile(form);
    const QString folder = QString::fromStdString(dir.file("folder.srt"));
    ASSERT_TRUE(QDir().mkdir(folder));
    ui.saveAnswers = {folder};
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_exportAction));
    EXPECT_EQ(ui.shown, QStringList({"save: Export", "error: " + folder +
                                                         " cannot be written: it is not a "
                                                         "regular file."}));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

// The choices reach the export, the next export starts from them (also after a restart), and
// what the export left out is said after the count.
TEST_F(ExportMenuTest, OptionsReachTheExportAndAreRemembered) {
    testsupport::StlFileBuilder::Block shown, comment;
    shown.number = 1;
    shown.in[0] = shown.out[0] = 10;
    shown.in[2] = 1;
    shown.out[2] = 2;
    shown.text = testsupport::StlFileBuilder::text("Hello");
    comment = shown;
    comment.number = 2;
    comment.comment = 1;
    comment.text = testsupport::StlFileBuilder::text("note");
    const QString file = QString::fromStdString(testsupport::StlFileBuilder()
                                                    .gsi(gsi::timeCodeStartOfProgramme, "10000000")
                                                    .gsi(gsi::characterCodeTableNumber, "09")
                                                    .addBlock(shown)
                                                    .addBlock(comment)
                                                    .announce(2)
                                                    .writeTo(dir.file("p.stl")));
    const QString target = QString::fromStdString(dir.file("p.txt"));
    {
        MainWindow form;
        ASSERT_TRUE(form.loadFile(file));
        ui.shown.clear();
        ui.saveAnswers = {QString::fromStdString(dir.file("p.srt"))};
        acceptOptions([](ExportOptionsDialog& dialog) {
            dialog.programmeStartBox()->click();
            dialog.commentsBox()->click();
            dialog.codePageBox()->setCurrentIndex(
                dialog.codePageBox()->findData(exportFileCodePage));
        });
        ASSERT_TRUE(viewertest::clickMenuItem(form.m_exportAction));
        EXPECT_EQ(contents(QString::fromStdString(dir.file("p.srt"))),
                  "1\n00:00:01,000 --> 00:00:02,000\nHello\n\n"
                  "2\n00:00:01,000 --> 00:00:02,000\nnote\n");
        ASSERT_EQ(ui.shown.size(), 2);
        EXPECT_TRUE(ui.shown[1].startsWith("message: 2 subtitles written to p.srt.\n"))
            << ui.shown[1].toStdString();
        form.close();
    }
    MainWindow again;
    again.show();
    ASSERT_TRUE(again.loadFile(file));
    ui.saveAnswers = {target};
    bool remembered = false;
    acceptOptions([&](ExportOptionsDialog& dialog) {
        remembered = dialog.fromProgrammeStart() && dialog.comments() &&
                     dialog.codePage() == exportFileCodePage;
    });
    ASSERT_TRUE(viewertest::clickMenuItem(again.m_exportAction));
    EXPECT_TRUE(remembered);
}

}  // namespace
