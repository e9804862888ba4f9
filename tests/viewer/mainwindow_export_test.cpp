// File → Export in the main window, chosen from the menu: no file, a cancelled dialog, the
// format following the extension of the chosen name, and replacing an existing file.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "MenuClick.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
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
        ASSERT_TRUE(viewertest::clickMenuItem(form.m_exportAction));
        EXPECT_EQ(contents(target), c.expected) << c.name;
    }
    const QString xml = QString::fromStdString(dir.file("a.xml"));
    ui.saveAnswers = {xml};
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_exportAction));
    EXPECT_TRUE(contents(xml).contains("<span style=\"yellow\">world</span></p>"))
        << contents(xml).toStdString();
    EXPECT_EQ(ui.shown,
              QStringList({"save: Export", "save: Export", "save: Export", "save: Export"}));
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
    ASSERT_TRUE(viewertest::clickMenuItem(form.m_exportAction));
    EXPECT_EQ(contents(target), "1\n00:00:01,000 --> 00:00:02,000\nHello\nworld\n");
    EXPECT_EQ(ui.shown, QStringList({"save: Export", question, "save: Export", question}));
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

}  // namespace
