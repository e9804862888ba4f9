// --xml: the reports are the validation window's report files, byte for byte.

#include <algorithm>
#include <filesystem>

#include "CliTestSupport.h"
#include "host/PluginHost.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;

class XmlReportTest : public CliTest {
protected:
    // What the validation window's host saves for File with the same plug-in and settings.
    std::string hostReport(const std::string& file) {
        PluginHost host;
        host.setPlugin(SIEVRA_MODULE_PATH);
        EXPECT_TRUE(host.loadPlugin()) << host.loadError();
        host.setFileName(file);
        EXPECT_EQ(host.validateToEnd(std::chrono::milliseconds(1)), ValidationOutcome::Completed);
        const std::string saved = dir.file("host-" + std::to_string(++m_saves) + ".xml");
        EXPECT_EQ(host.saveReportXml(saved), S_OK);
        return readFile(saved);
    }

private:
    int m_saves = 0;
};

TEST_F(XmlReportTest, OneFileGivesTheWindowsReport) {
    const std::string file = errorFile();
    const std::string report = dir.file("report.xml");
    const ProcessResult run = runProcess(VALIDATE, {"--quiet", "--xml", report, file});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "");
    const std::string written = readFile(report);
    EXPECT_EQ(written.rfind(
                  "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<MEDIA_VALIDATION_REPORT>\r\n", 0),
              0u);
    EXPECT_NE(written.find("    <FILE_NAME>" + file + "</FILE_NAME>\r\n"), std::string::npos);
    EXPECT_NE(written.find("<REPORT_TYPE>Error</REPORT_TYPE>"), std::string::npos);
    EXPECT_EQ(written, hostReport(file));
}

TEST_F(XmlReportTest, RelativePathsReachThePluginInFull) {
    const std::string file = cleanFile();
    const ProcessResult run =
        runProcess(VALIDATE, {"--xml", "report.xml", "./clean.stl"}, {}, dir.path());
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    // The user's spelling on the summary line, the full path for the plug-in and the report.
    EXPECT_EQ(run.out.rfind("./clean.stl: ", 0), 0u);
    EXPECT_NE(run.out.find("[102] Loading File: " + file + "\n"), std::string::npos);
    EXPECT_EQ(readFile(dir.file("report.xml")), hostReport(file));
}

TEST_F(XmlReportTest, SeveralFilesGiveOneReportEachInTheFolder) {
    fs::create_directory(dir.file("other"));
    const std::string first = cleanFile("film.stl");
    const std::string second = errorFile("other/film.stl");
    const std::string bad = notStlFile("notes.stl");
    const std::string folder = dir.file("reports/batch");  // created, parents too
    const ProcessResult run = runProcess(VALIDATE, {"-q", "--xml=" + folder, first, bad, second});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(splitLines(run.err).size(), 1u) << run.err;
    // Named after the STL files; the second film.stl does not replace the first one's report,
    // and the file that could not be validated gets none.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"film-2.xml", "film.xml"}));
    EXPECT_EQ(readFile(folder + "/film.xml"), hostReport(first));
    EXPECT_EQ(readFile(folder + "/film-2.xml"), hostReport(second));
}

TEST_F(XmlReportTest, ReportOfAnEarlierRunIsReplaced) {
    const std::string file = cleanFile();
    std::ofstream(dir.file("report.xml")) << "old";
    // An existing folder takes the report under the file's name.
    fs::create_directory(dir.file("into"));
    for (const std::string& target : {dir.file("report.xml"), dir.file("into")}) {
        const ProcessResult run = runProcess(VALIDATE, {"-q", "--xml", target, file});
        EXPECT_EQ(run.exitStatus, 0) << run.err;
    }
    EXPECT_EQ(readFile(dir.file("report.xml")), hostReport(file));
    EXPECT_EQ(readFile(dir.file("into/clean.xml")), hostReport(file));
}

TEST_F(XmlReportTest, ReportNeverTakesThePlaceOfTheFileToValidate) {
    const std::string file = cleanFile();
    const std::string before = readFile(file);
    const ProcessResult run = runProcess(VALIDATE, {"--xml", file, file});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "lumtrace-validate: report '" + file + "' would replace the file to validate\n");
    EXPECT_EQ(readFile(file), before);
}

TEST_F(XmlReportTest, SeveralFilesNeedAFolder) {
    std::ofstream(dir.file("plain.xml")) << "keep";
    const ProcessResult run =
        runProcess(VALIDATE, {"--xml", dir.file("plain.xml"), cleanFile(), errorFile()});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.out, "") << "nothing is validated";
    EXPECT_EQ(splitLines(run.err).size(), 1u);
    EXPECT_EQ(readFile(dir.file("plain.xml")), "keep");
}

}  // namespace
}  // namespace clitest
