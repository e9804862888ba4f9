#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/ReportPaths.h"
#include "tests/support/TestEnvironment.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

TEST(ReportPathsTest, ReportNameReplacesTheExtension) {
    EXPECT_EQ(reportFileName("/a/film.stl"), "film.xml");
    EXPECT_EQ(reportFileName("FILM.STL"), "FILM.xml");
    EXPECT_EQ(reportFileName("film"), "film.xml");
    EXPECT_EQ(reportFileName("a.b.stl"), "a.b.xml");
    EXPECT_EQ(reportFileName(".stl"), ".stl.xml");
    EXPECT_EQ(reportFileName("/a/"), "report.xml");
}

TEST(ReportPathsTest, SeveralFilesShareAFolderWithoutCollisions) {
    testsupport::TempDir dir;
    const std::string folder = dir.file("out");
    const ReportPlan plan =
        planReports(folder, {"/x/film.stl", "/y/film.stl", "/x/film.xml", "/z/film-2.stl"});
    ASSERT_EQ(plan.error, "");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(plan.paths,
              (std::vector<std::string>{folder + "/film.xml", folder + "/film-2.xml",
                                        folder + "/film-3.xml", folder + "/film-2-2.xml"}));
}

TEST(ReportPathsTest, InputFilesAreNeverReportTargets) {
    testsupport::TempDir dir;
    // film.xml in the report folder is itself one of the files to validate.
    const std::string input = dir.file("film.xml");
    std::ofstream(input) << "x";
    const ReportPlan plan = planReports(dir.path(), {dir.file("film.stl"), input});
    ASSERT_EQ(plan.error, "");
    EXPECT_EQ(plan.paths[0], dir.file("film-2.xml"));
    EXPECT_EQ(plan.paths[1], dir.file("film-3.xml"));

    EXPECT_NE(planReports(dir.path() + "/./film.xml", {input}).error, "");
}

TEST(ReportPathsTest, OneFileGoesToThePathOrIntoAnExistingFolder) {
    testsupport::TempDir dir;
    EXPECT_EQ(planReports(dir.file("r.xml"), {"a.stl"}).paths,
              std::vector<std::string>{dir.file("r.xml")});
    EXPECT_EQ(planReports(dir.path(), {"/x/a.stl"}).paths,
              std::vector<std::string>{dir.file("a.xml")});
    std::ofstream(dir.file("plain")) << "x";
    EXPECT_NE(planReports(dir.file("plain"), {"a.stl", "b.stl"}).error, "");
}

}  // namespace
}  // namespace cli
