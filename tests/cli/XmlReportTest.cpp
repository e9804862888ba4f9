// --xml: the reports are the validation window's report files, byte for byte.

#include <algorithm>
#include <filesystem>

#include "CliTestSupport.h"
#include "viewer/validation/PluginHost.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;

class XmlReportTest : public CliTest {
protected:
    // What the validation window's host saves for File with the same plug-in and settings.
    std::string HostReport(const std::string& File) {
        TPluginHost host;
        host.SetPlugin(SIEVRA_MODULE_PATH);
        EXPECT_TRUE(host.LoadPlugin()) << host.LoadError();
        host.SetFileName(File);
        EXPECT_EQ(host.ValidateToEnd(std::chrono::milliseconds(1)), TValidationOutcome::Completed);
        const std::string saved = dir.file("host-" + std::to_string(++saves_) + ".xml");
        EXPECT_EQ(host.SaveReportXML(saved), S_OK);
        return ReadFile(saved);
    }

private:
    int saves_ = 0;
};

TEST_F(XmlReportTest, OneFileGivesTheWindowsReport) {
    const std::string file = ErrorFile();
    const std::string report = dir.file("report.xml");
    const ProcessResult run = RunProcess(VALIDATE, {"--quiet", "--xml", report, file});
    EXPECT_EQ(run.ExitStatus, 1);
    EXPECT_EQ(run.Err, "");
    const std::string written = ReadFile(report);
    EXPECT_EQ(written.rfind(
                  "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<MEDIA_VALIDATION_REPORT>\r\n", 0),
              0u);
    EXPECT_NE(written.find("    <FILE_NAME>" + file + "</FILE_NAME>\r\n"), std::string::npos);
    EXPECT_NE(written.find("<REPORT_TYPE>Error</REPORT_TYPE>"), std::string::npos);
    EXPECT_EQ(written, HostReport(file));
}

TEST_F(XmlReportTest, RelativePathsReachThePluginInFull) {
    const std::string file = CleanFile();
    const ProcessResult run =
        RunProcess(VALIDATE, {"--xml", "report.xml", "./clean.stl"}, {}, dir.path());
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    // The user's spelling on the summary line, the full path for the plug-in and the report.
    EXPECT_EQ(run.Out.rfind("./clean.stl: ", 0), 0u);
    EXPECT_NE(run.Out.find("[102] Loading File: " + file + "\n"), std::string::npos);
    EXPECT_EQ(ReadFile(dir.file("report.xml")), HostReport(file));
}

TEST_F(XmlReportTest, SeveralFilesGiveOneReportEachInTheFolder) {
    fs::create_directory(dir.file("other"));
    const std::string first = CleanFile("film.stl");
    const std::string second = ErrorFile("other/film.stl");
    const std::string bad = NotStlFile("notes.stl");
    const std::string folder = dir.file("reports/batch");  // created, parents too
    const ProcessResult run = RunProcess(VALIDATE, {"-q", "--xml=" + folder, first, bad, second});
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_EQ(Lines(run.Err).size(), 1u) << run.Err;
    // Named after the STL files; the second film.stl does not replace the first one's report,
    // and the file that could not be validated gets none.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"film-2.xml", "film.xml"}));
    EXPECT_EQ(ReadFile(folder + "/film.xml"), HostReport(first));
    EXPECT_EQ(ReadFile(folder + "/film-2.xml"), HostReport(second));
}

TEST_F(XmlReportTest, ReportOfAnEarlierRunIsReplaced) {
    const std::string file = CleanFile();
    std::ofstream(dir.file("report.xml")) << "old";
    // An existing folder takes the report under the file's name.
    fs::create_directory(dir.file("into"));
    for (const std::string& target : {dir.file("report.xml"), dir.file("into")}) {
        const ProcessResult run = RunProcess(VALIDATE, {"-q", "--xml", target, file});
        EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    }
    EXPECT_EQ(ReadFile(dir.file("report.xml")), HostReport(file));
    EXPECT_EQ(ReadFile(dir.file("into/clean.xml")), HostReport(file));
}

TEST_F(XmlReportTest, ReportNeverTakesThePlaceOfTheFileToValidate) {
    const std::string file = CleanFile();
    const std::string before = ReadFile(file);
    const ProcessResult run = RunProcess(VALIDATE, {"--xml", file, file});
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err,
              "lumtrace-validate: report '" + file + "' would replace the file to validate\n");
    EXPECT_EQ(ReadFile(file), before);
}

TEST_F(XmlReportTest, SeveralFilesNeedAFolder) {
    std::ofstream(dir.file("plain.xml")) << "keep";
    const ProcessResult run =
        RunProcess(VALIDATE, {"--xml", dir.file("plain.xml"), CleanFile(), ErrorFile()});
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_EQ(run.Out, "") << "nothing is validated";
    EXPECT_EQ(Lines(run.Err).size(), 1u);
    EXPECT_EQ(ReadFile(dir.file("plain.xml")), "keep");
}

}  // namespace
}  // namespace clitest
