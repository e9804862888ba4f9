// The validation window: a run through the real plug-in, the coloured list, stopping and
// closing, plug-ins that cannot be loaded, and saving the report.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <functional>
#include <pugixml.hpp>

#include "host/ValidationReportXml.h"
#include "platform/Registry.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"
#include "validation_fixtures.h"
#include "viewer/validation/ValidationWindow.h"

namespace validationtest {
namespace {

bool waitFor(const std::function<bool()>& condition, int timeoutMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) return false;
        QTest::qWait(10);
    }
    return true;
}

// One shown row of the list, read as the view reads it.
struct Row {
    const QAbstractItemModel* model;
    int row;
    QString text(int column) const { return model->index(row, column).data().toString(); }
    QVariant background(int column) const {
        return model->index(row, column).data(Qt::BackgroundRole);
    }
    // The cells joined by "|", readable in a failure message.
    std::string texts() const {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column) cells << text(column);
        return cells.join('|').toStdString();
    }
};

int rowCount(const ValidationWindow& form) {
    return form.lvReport->model()->rowCount();
}
Row rowOf(const ValidationWindow& form, int row) {
    return {form.lvReport->model(), row};
}

class ValidationWindowTest : public ::testing::Test {
protected:
    // A window bound to Plugin for File, shown but not run.
    std::unique_ptr<ValidationWindow> open(const std::string& plugin, const std::string& file) {
        auto form = std::make_unique<ValidationWindow>();
        form->setPaths(plugin, QString::fromStdString(file));
        EXPECT_TRUE(form->loadPlugin());
        form->show();
        return form;
    }
    // Start, then wait for the "Done" that completion brings.
    bool runToDone(ValidationWindow& form) {
        ui.shown.clear();
        form.btnValidation->click();
        return waitFor([&] { return ui.shown.contains("message: Done"); });
    }
    // What the window showed, in order, for readable comparisons.
    std::string shown() const { return ui.shown.join(" / ").toStdString(); }
    std::string script(const std::vector<std::string>& lines) {
        return writeScript(dir.file("script" + std::to_string(++scripts) + ".txt"), lines);
    }

    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    testsupport::DebugCapture debug;
    testsupport::ScriptedInteraction ui;
    int scripts = 0;
};

TEST_F(ValidationWindowTest, RunsTheRealPluginToTheEnd) {
    testsupport::StlFileBuilder::Block first, second;
    first.number = 1;
    first.in[2] = 1;
    first.out[2] = 2;
    second.number = 2;
    second.vertical = 120;  // out of range: an Error finding
    second.in[2] = 3;
    second.out[2] = 4;
    const std::string file =
        testsupport::StlFileBuilder().addBlock(first).addBlock(second).announce(2).writeTo(
            dir.file("film.stl"));
    auto form = open(SIEVRA, file);
    EXPECT_EQ(form->windowTitle(),
              QString::fromStdString("Media Validation - " + file + " [Sievra]"));
    EXPECT_EQ(form->edProgress->text(), "Progress:");

    form->btnValidation->click();
    EXPECT_EQ(form->btnValidation->text().remove('&'), "Stop Validation");
    EXPECT_FALSE(form->btnSettings->isEnabled());
    EXPECT_FALSE(form->btnClose->isEnabled());
    EXPECT_TRUE(form->btnSaveReport->isEnabled());
    ASSERT_TRUE(waitFor([&] { return ui.shown.contains("message: Done"); }))
        << debug.lines().size();

    EXPECT_EQ(shown(), "message: Done");
    EXPECT_EQ(form->btnValidation->text().remove('&'), "Start Validation");
    EXPECT_TRUE(form->btnSettings->isEnabled());
    EXPECT_TRUE(form->btnClose->isEnabled());
    EXPECT_EQ(form->edProgress->text(), "Progress: 100.00%");

    const std::vector<CustomReport> reports = form->reports();
    ASSERT_EQ(rowCount(*form), static_cast<int>(reports.size()));
    ASSERT_GE(reports.size(), 3u);
    bool sawError = false, sawLoading = false;
    for (int row = 0; row < rowCount(*form); ++row) {
        const Row item = rowOf(*form, row);
        EXPECT_EQ(item.text(0), QString::number(row + 1));
        EXPECT_EQ(item.text(2), reportTypeName(reports[row].reportType));
        EXPECT_EQ(item.text(4).toStdString(), reports[row].reportMessage);
        const QColor expected = item.text(2) == "Error"  ? QColor(0xFF, 0xCC, 0xCC)
                                : item.text(2) == "Info" ? QColor(0xEE, 0xEE, 0xFF)
                                                         : QColor(0xFF, 0xFF, 0xCC);
        EXPECT_EQ(item.background(4).value<QBrush>().color(), expected) << row;
        sawError = sawError || (item.text(2) == "Error" && item.text(4).startsWith("[438]"));
        sawLoading = sawLoading || item.texts() == std::to_string(row + 1) +
                                                       "|Sievra|Info||[102] Loading File: " + file;
    }
    EXPECT_TRUE(sawError);
    EXPECT_TRUE(sawLoading);
    EXPECT_TRUE(debug.lines().empty());
}

TEST_F(ValidationWindowTest, NamesAndColoursFollowModuleAndType) {
    auto form = open(fakePlugin("fake_scripted"),
                     script({"7\t1\tinfo", "0\t2\twarning", "99\t3\terror", "-2\t0\tnone",
                             "7\t4\tfour", "7\t-1\tminus one", "#progress 99.995"}));
    ASSERT_TRUE(runToDone(*form));
    const std::vector<std::pair<std::string, std::optional<QColor>>> expected{
        {"1|Sievra|Info||info", QColor(0xEE, 0xEE, 0xFF)},
        {"2|None|Warning||warning", QColor(0xFF, 0xFF, 0xCC)},
        {"3|Host|Error||error", QColor(0xFF, 0xCC, 0xCC)},
        {"4|Unknown|None||none", std::nullopt},
        {"5|Sievra|Unknown||four", std::nullopt},
        {"6|Sievra|Unknown||minus one", std::nullopt},
    };
    ASSERT_EQ(rowCount(*form), static_cast<int>(expected.size()));
    for (int row = 0; row < rowCount(*form); ++row) {
        const Row item = rowOf(*form, row);
        EXPECT_EQ(item.texts(), expected[row].first);
        for (int column = 0; column < 5; ++column) {
            if (expected[row].second)
                EXPECT_EQ(item.background(column).value<QBrush>().color(), *expected[row].second);
            else
                EXPECT_FALSE(item.background(column).isValid());
        }
    }
    EXPECT_EQ(form->edProgress->text(), "Progress: 100.00%");

    // The brushes reach the screen: sample the message cell of each row, away from its text.
    const QImage shot = form->lvReport->viewport()->grab().toImage();
    for (int row = 0; row < rowCount(*form); ++row) {
        const QRect cell = form->lvReport->visualRect(form->lvReport->model()->index(row, 0));
        const QPoint probe(form->lvReport->columnViewportPosition(4) + 300, cell.center().y());
        const QColor painted = shot.pixelColor(probe * shot.devicePixelRatio());
        EXPECT_EQ(painted,
                  expected[row].second.value_or(form->lvReport->palette().color(QPalette::Base)))
            << row;
    }
}

TEST_F(ValidationWindowTest, StartingAgainEmptiesListAndFindingsFirst) {
    auto form = open(fakePlugin("fake_scripted"), script({"7\t1\ta", "7\t2\tb"}));
    ASSERT_TRUE(runToDone(*form));
    ASSERT_EQ(rowCount(*form), 2);
    ui.shown.clear();
    form->btnValidation->click();
    EXPECT_EQ(rowCount(*form), 0);
    ASSERT_TRUE(waitFor([&] { return ui.shown.contains("message: Done"); }));
    EXPECT_EQ(rowCount(*form), 2);
    EXPECT_EQ(form->reportCount(), 2u);
}

TEST_F(ValidationWindowTest, ClosingIsRefusedWhileRunningAndStoppedFindingsCanBeSaved) {
    auto form = open(fakePlugin("fake_scripted"), script({"7\t1\tone", "7\t3\ttwo", "#hang"}));
    form->btnValidation->click();
    ASSERT_TRUE(waitFor([&] { return form->reportCount() == 2; }));
    ASSERT_TRUE(waitFor([&] { return form->edProgress->text() == "Progress: 0.00%"; }));
    EXPECT_FALSE(form->close());
    form->reject();
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isBound());

    form->btnValidation->click();
    EXPECT_EQ(form->btnValidation->text().remove('&'), "Start Validation");
    // Stopped by the user: the list stays empty, the findings so far are kept.
    EXPECT_EQ(rowCount(*form), 0);
    EXPECT_EQ(form->reportCount(), 2u);
    ui.saveAnswers.push_back(QString::fromStdString(dir.file("partial.xml")));
    form->btnSaveReportClick();
    EXPECT_EQ(shown(), "save: Save Report / message: Done");
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(dir.file("partial.xml").c_str()));
    EXPECT_EQ(doc.select_node("//LIST_ITEMS_COUNT").node().text().as_int(), 2);

    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->isBound());
    EXPECT_EQ(form->reportCount(), 0u);
}

TEST_F(ValidationWindowTest, RefusedFileSaysCannotValidate) {
    auto form = open(fakePlugin("fake_scripted"), dir.file("missing.stl"));
    form->btnValidation->click();
    EXPECT_EQ(shown(), "message: Cannot validate file.\n\nThe file cannot be found or read.");
    EXPECT_EQ(form->btnValidation->text().remove('&'), "Start Validation");
    EXPECT_TRUE(form->btnSettings->isEnabled());
    EXPECT_TRUE(form->btnClose->isEnabled());
    EXPECT_FALSE(form->m_pollTimer->isActive());
    EXPECT_TRUE(debug.contains(
        "vyr: Error in TMediaValidationForm.StartValidation - cannot validate file."));
}

TEST_F(ValidationWindowTest, SettingsAsksThePluginToConfigure) {
    const std::string plugin = fakePlugin("fake_scripted");
    auto form = open(plugin, script({}));
    void* library = ::dlopen(plugin.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    const auto calls = reinterpret_cast<int (*)()>(::dlsym(library, "FakePluginConfigureCalls"));
    ASSERT_NE(calls, nullptr);
    const int before = calls();
    form->btnSettings->click();
    EXPECT_EQ(calls(), before + 1);
    ::dlclose(library);
}

TEST_F(ValidationWindowTest, SettingsThatCannotOpenSaySo) {
    // The real plug-in without its setup module beside it.
    const std::string lone = dir.file("Sievra.zkx");
    std::filesystem::copy_file(VALIDATION_SIEVRA_FILE, lone);
    auto form = open(lone, testsupport::StlFileBuilder().addBlocks(1).writeTo(dir.file("a.stl")));
    QTest::mouseClick(form->btnSettings, Qt::LeftButton);
    EXPECT_EQ(shown(), "message: Cannot open the plug-in settings.");
}

TEST_F(ValidationWindowTest, ProgressReadsWithTwoDecimals) {
    EXPECT_EQ(ValidationWindow::formatProgress(42.5), "Progress: 42.50%");
    EXPECT_EQ(ValidationWindow::formatProgress(0), "Progress: 0.00%");
    EXPECT_EQ(ValidationWindow::formatProgress(100), "Progress: 100.00%");
    EXPECT_EQ(ValidationWindow::formatProgress(3.14159), "Progress: 3.14%");
}

// showValidationWindow with a plug-in that cannot be loaded: no window, no message.
class UnloadablePluginTest : public ValidationWindowTest,
                             public ::testing::WithParamInterface<const char*> {};

TEST_P(UnloadablePluginTest, OpensNoWindowAndShowsNothing) {
    const std::string variant = GetParam();
    std::string plugin = fakePlugin(variant);
    if (variant == "missing") plugin = dir.file("Sievra.zkx");
    if (variant == "text") plugin = writeScript(dir.file("Sievra.zkx"), {"text"});
    bool windowOpened = false;
    // Should a window open after all, close it so the test fails instead of hanging.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            windowOpened = true;
            modal->close();
        }
    });
    guard.start(50);
    EXPECT_FALSE(showValidationWindow(plugin, QString::fromStdString(dir.file("film.stl"))));
    EXPECT_FALSE(windowOpened);
    EXPECT_TRUE(ui.shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(ValidationWindow, UnloadablePluginTest,
                         ::testing::Values("missing", "text", "fake_noexport", "fake_exportfails",
                                           "fake_exportnothing"));

TEST_F(ValidationWindowTest, ShowMediaValidationIsModalAndUnloadsAfterClosing) {
    QString caption;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            caption = modal->windowTitle();
            modal->close();
        }
    });
    EXPECT_TRUE(showValidationWindow(fakePlugin("fake_scripted"), "/subs/film.stl"));
    EXPECT_EQ(caption, "Media Validation - /subs/film.stl [Fake]");
    EXPECT_TRUE(ui.shown.isEmpty());
}

class SaveReportTest : public ValidationWindowTest {
protected:
    void SetUp() override {
        form = open(fakePlugin("fake_scripted"), script({"7\t2\tx < y & z", "7\t1\t\x02"}));
        ASSERT_TRUE(runToDone(*form));
        ui.shown.clear();
        reportDir = dir.file("reports");
        std::filesystem::create_directory(reportDir);
        path = reportDir + "/report.xml";
    }
    std::string expected() const {
        return validationhost::buildReportXml(form->fileName(), form->reports());
    }
    std::unique_ptr<ValidationWindow> form;
    std::string reportDir;
    std::string path;
};

TEST_F(SaveReportTest, NewFileIsWrittenWithoutAQuestion) {
    ui.saveAnswers.push_back(QString::fromStdString(path));
    form->btnSaveReport->click();
    EXPECT_EQ(shown(), "save: Save Report / message: Done");
    EXPECT_EQ(ui.lastFilter, "Report XML File (*.xml);;HTML Report (*.html);;All Files (*)");
    EXPECT_EQ(readFile(path), expected());
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_file(path.c_str()));
    EXPECT_EQ(folderEntries(reportDir), std::vector<std::string>{"report.xml"});
}

TEST_F(SaveReportTest, ExistingFileIsKeptOnNoAndReplacedOnYes) {
    std::ofstream(path) << "old report";
    ui.saveAnswers = {QString::fromStdString(path), QString::fromStdString(path)};
    ui.confirmAnswers = {false, true};
    form->btnSaveReportClick();
    ASSERT_EQ(ui.shown.size(), 2);
    EXPECT_TRUE(ui.shown[1].startsWith("confirm: ")) << ui.shown[1].toStdString();
    EXPECT_EQ(readFile(path), "old report");

    form->btnSaveReportClick();
    EXPECT_EQ(ui.shown.mid(2).last(), "message: Done");
    EXPECT_EQ(readFile(path), expected());
    EXPECT_EQ(folderEntries(reportDir), std::vector<std::string>{"report.xml"});
}

TEST_F(SaveReportTest, CancelAndEmptyListWriteNothing) {
    form->btnSaveReportClick();  // dialog cancelled
    EXPECT_EQ(shown(), "save: Save Report");
    form->clearReports();
    ui.shown.clear();
    form->btnSaveReportClick();
    EXPECT_EQ(shown(), "message: Report list is empty.");
    EXPECT_TRUE(folderEntries(reportDir).empty());
}

TEST_F(SaveReportTest, UnwritableFolderSaysErrorAndLeavesNothing) {
    ui.saveAnswers.push_back(QString::fromStdString(path));
    {
        UnwritableFolder locked(reportDir);
        form->btnSaveReportClick();
    }
    EXPECT_EQ(shown(), "save: Save Report / message: Error saving report.");
    EXPECT_TRUE(folderEntries(reportDir).empty());
    EXPECT_EQ(form->reportCount(), 2u);
}

TEST_F(SaveReportTest, FolderFifoOrLinkToOneIsRefusedWithoutAQuestion) {
    std::filesystem::create_directory(reportDir + "/folder.xml");
    ASSERT_EQ(::mkfifo((reportDir + "/fifo.xml").c_str(), 0600), 0);
    std::filesystem::create_symlink("fifo.xml", reportDir + "/link.xml");
    for (const char* name : {"folder.xml", "fifo.xml", "link.xml"}) {
        const std::string chosen = reportDir + "/" + name;
        ui.shown.clear();
        ui.saveAnswers.push_back(QString::fromStdString(chosen));
        form->btnSaveReport->click();
        EXPECT_EQ(shown(), "save: Save Report / error: Cannot save the report: \"" + chosen +
                               "\" is not a regular file.");
    }
    EXPECT_TRUE(std::filesystem::is_directory(reportDir + "/folder.xml"));
    EXPECT_TRUE(std::filesystem::is_fifo(reportDir + "/fifo.xml"));
    EXPECT_TRUE(std::filesystem::is_symlink(reportDir + "/link.xml"));
    EXPECT_EQ(folderEntries(reportDir).size(), 3u);
}

TEST_F(SaveReportTest, LinkedReportReplacesItsTargetAndStaysALink) {
    std::ofstream(reportDir + "/real.xml") << "old report";
    std::filesystem::create_symlink("real.xml", path);
    ui.saveAnswers.push_back(QString::fromStdString(path));
    ui.confirmAnswers.push_back(true);
    form->btnSaveReport->click();
    EXPECT_EQ(ui.shown.last(), "message: Done");
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(readFile(reportDir + "/real.xml"), expected());
    EXPECT_EQ(folderEntries(reportDir).size(), 2u);
}

// Save Report to a name ending in .html writes the page lumtrace-validate writes, for this file and
// the plug-in's settings; the colour rule, switched on in them, draws its subtitle in colour. The
// XML report of the same findings stays as it was.
TEST_F(ValidationWindowTest, SaveReportAsHtmlShowsTheFileAndDrawsItsColourFinding) {
    auto delivery = platform::RegistryKey::open(
        "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra\\DeliverySettings", true);
    ASSERT_TRUE(delivery && delivery->writeDWord("511_Enabled", 1));
    testsupport::StlFileBuilder::Block block;
    block.number = 1;
    block.text = testsupport::StlFileBuilder::text("\x0B\x0B\x01Red\x0A\x0A");
    const std::string file =
        testsupport::StlFileBuilder().addBlock(block).announce(1).writeTo(dir.file("film.stl"));
    auto form = open(SIEVRA, file);
    ASSERT_TRUE(runToDone(*form));
    // Settings changed after the run do not change what the report says was checked.
    const std::string other = dir.file("other.ini");
    std::ofstream(other) << "[profile]\nname = other\n[505]\nthreshold = 20\n";
    ASSERT_TRUE(SUCCEEDED(form->selectProfile(other)));

    const std::string html = dir.file("film.HTML");
    const std::string xml = dir.file("film.xml");
    ui.shown.clear();
    ui.saveAnswers = {QString::fromStdString(html), QString::fromStdString(xml)};
    form->btnSaveReport->click();
    EXPECT_EQ(shown(), "save: Save Report / message: Done");
    const std::string page = readFile(html);
    ASSERT_EQ(page.rfind("<!DOCTYPE html>\n", 0), 0u);
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(page.c_str())) << page;
    EXPECT_EQ(std::string(document.select_node("//section/h2").node().text().get()), "1. " + file);
    const pugi::xml_node colour = document.select_node("//details[@id='f1-r511']").node();
    EXPECT_NE(std::string(colour.child("summary").text().get()).find("TTI - Teletext colour check"),
              std::string::npos);
    EXPECT_TRUE(colour.select_node(".//div[contains(@class, 'scr')]//span[@class='f1 b0']"));
    EXPECT_TRUE(document.select_node("//table[@class='meta']//table//td[.='511']"));
    EXPECT_FALSE(document.select_node("//table[@class='meta']//table//td[.='505']"));

    form->btnSaveReport->click();
    EXPECT_EQ(readFile(xml), validationhost::buildReportXml(form->fileName(), form->reports()));

    // A name without an extension typed with the HTML filter chosen becomes NAME.html.
    ui.saveAnswers = {QString::fromStdString(dir.file("bare"))};
    ui.saveFilterAnswers = {QStringLiteral("HTML Report (*.html)")};
    form->btnSaveReport->click();
    EXPECT_EQ(readFile(dir.file("bare.html")).rfind("<!DOCTYPE html>\n", 0), 0u);
}

}  // namespace
}  // namespace validationtest
