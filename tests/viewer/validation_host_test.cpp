// The plug-in host without a window: every way loading can fail, a run to its end through a
// plug-in that reports from its own thread, and the findings list under concurrent use.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/support/TestEnvironment.h"
#include "validation_fixtures.h"
#include "viewer/validation/PluginHost.h"

namespace validationtest {
namespace {

struct BrokenPlugin {
    const char* Name;
    const char* Variant;  // stand-in plug-in, or a file made by the test
    const char* LoadError;
};

class BrokenPluginTest : public ::testing::TestWithParam<BrokenPlugin> {
protected:
    std::string PluginPath() {
        const std::string variant = GetParam().Variant;
        if (variant == "missing") return dir.file("Sievra.zkx");
        if (variant == "empty path") return "";
        if (variant == "folder") return dir.path();
        if (variant == "text") return WriteScript(dir.file("Sievra.zkx"), {"not a library"});
        return FakePlugin(variant);
    }
    testsupport::TempDir dir;
};

TEST_P(BrokenPluginTest, IsNotBoundAndSaysWhy) {
    TPluginHost host;
    host.SetPlugin(PluginPath());
    EXPECT_FALSE(host.LoadPlugin());
    EXPECT_FALSE(host.IsBound());
    EXPECT_EQ(host.LoadError().substr(0, std::string(GetParam().LoadError).size()),
              GetParam().LoadError);
    EXPECT_FALSE(host.StartValidation());
    EXPECT_EQ(host.ValidateToEnd(std::chrono::milliseconds(1)), TValidationOutcome::NoPlugin);
    EXPECT_TRUE(host.UnloadPlugin());
}

INSTANTIATE_TEST_SUITE_P(
    ValidationHost, BrokenPluginTest,
    ::testing::Values(BrokenPlugin{"Missing", "missing", "file not found"},
                      BrokenPlugin{"EmptyPath", "empty path", "file not found"},
                      BrokenPlugin{"Folder", "folder", "file not found"},
                      BrokenPlugin{"NotALibrary", "text", "not a loadable library ("},
                      BrokenPlugin{"NoExport", "fake_noexport", "no GetQuorvexControl export"},
                      BrokenPlugin{"ExportFails", "fake_exportfails", "GetQuorvexControl failed"},
                      BrokenPlugin{"ExportGivesNothing", "fake_exportnothing",
                                   "GetQuorvexControl failed"}),
    [](const auto& info) { return std::string(info.param.Name); });

class HostRunTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::DebugCapture debug;
};

TEST_F(HostRunTest, FindingsArriveInOrderFromThePluginsThread) {
    TPluginHost host;
    host.SetPlugin(FakePlugin("fake_scripted"));
    ASSERT_TRUE(host.LoadPlugin());
    EXPECT_EQ(host.ModuleName(), "Fake");
    EXPECT_TRUE(host.HasReportSet());
    EXPECT_FALSE(host.HasVideoControl());
    // Finishing at 99.995 counts as complete.
    host.SetFileName(WriteScript(dir.file("run.txt"),
                                 {"7\t1\tfirst", "0\t3\tsecond & last", "#progress 99.995"}));
    EXPECT_EQ(host.ValidateToEnd(std::chrono::milliseconds(1)), TValidationOutcome::Completed);
    const std::vector<TCustomReport> expected{{7, 1, "first"}, {0, 3, "second & last"}};
    EXPECT_EQ(host.Reports(), expected);
    // A second run starts from an empty list.
    EXPECT_EQ(host.ValidateToEnd(std::chrono::milliseconds(1)), TValidationOutcome::Completed);
    EXPECT_EQ(host.Reports(), expected);
}

TEST_F(HostRunTest, RefusedFileAndFailedPlayAreToldApart) {
    TPluginHost host("TMediaValidationForm");
    host.SetPlugin(FakePlugin("fake_scripted"));
    ASSERT_TRUE(host.LoadPlugin());
    host.SetFileName(dir.file("missing.stl"));
    EXPECT_EQ(host.ValidateToEnd(std::chrono::milliseconds(1)), TValidationOutcome::LoadFailed);
    EXPECT_TRUE(debug.contains(
        "vyr: Error in TMediaValidationForm.StartValidation - cannot validate file."));
    host.SetFileName(WriteScript(dir.file("noplay.txt"), {"#fail-play"}));
    EXPECT_FALSE(host.StartValidation());
    EXPECT_TRUE(debug.contains(
        "vyr: Error in TMediaValidationForm.StartValidation - cannot start file validation."));
}

TEST_F(HostRunTest, WithoutAReportSetTheRunWorksAndNothingArrives) {
    TPluginHost host;
    host.SetPlugin(FakePlugin("fake_noreportset"));
    ASSERT_TRUE(host.LoadPlugin());
    EXPECT_FALSE(host.HasReportSet());
    host.SetFileName(WriteScript(dir.file("run.txt"), {"7\t1\tlost"}));
    EXPECT_EQ(host.ValidateToEnd(std::chrono::milliseconds(1)), TValidationOutcome::Completed);
    EXPECT_EQ(host.ReportCount(), 0u);
}

TEST_F(HostRunTest, UnloadingTwiceIsHarmlessAndLoadingAgainWorks) {
    TPluginHost host;
    host.SetPlugin(FakePlugin("fake_scripted"));
    ASSERT_TRUE(host.LoadPlugin());
    EXPECT_TRUE(host.UnloadPlugin());
    EXPECT_FALSE(host.IsBound());
    EXPECT_TRUE(host.UnloadPlugin());
    double progress = 0;
    EXPECT_EQ(host.GetProgress(progress), E_FAIL);
    EXPECT_TRUE(host.LoadPlugin());
    EXPECT_TRUE(host.IsBound());
    EXPECT_TRUE(debug.lines().empty());
}

TEST(ValidationHost, CompletionIsOneHundredWithinOneHundredth) {
    EXPECT_TRUE(TPluginHost::IsValidationComplete(100.0));
    EXPECT_TRUE(TPluginHost::IsValidationComplete(99.995));
    EXPECT_TRUE(TPluginHost::IsValidationComplete(100.005));
    EXPECT_FALSE(TPluginHost::IsValidationComplete(99.98));
    EXPECT_FALSE(TPluginHost::IsValidationComplete(100.02));
    EXPECT_FALSE(TPluginHost::IsValidationComplete(0.0));
}

// The plug-in's worker appends while the user-interface thread reads and saves: every snapshot
// must be a clean prefix of what was reported.
TEST(ValidationHost, FindingsListStaysConsistentUnderConcurrentReports) {
    TPluginHost host;
    constexpr int Threads = 4;
    constexpr int PerThread = 3000;
    std::atomic<bool> go{false};
    std::vector<std::thread> workers;
    for (int t = 0; t < Threads; ++t) {
        workers.emplace_back([&, t] {
            while (!go) std::this_thread::yield();
            for (int i = 0; i < PerThread; ++i)
                host.Report(t, i,
                            ("message " + std::to_string(t) + "/" + std::to_string(i)).c_str());
        });
    }
    go = true;
    std::size_t seen = 0;
    bool consistent = true;
    while (seen < static_cast<std::size_t>(Threads * PerThread)) {
        const std::vector<TCustomReport> snapshot = host.Reports();
        consistent = consistent && snapshot.size() >= seen;
        std::vector<int> next(Threads, 0);
        for (const TCustomReport& r : snapshot) {
            // Each thread's findings arrive in its own order and intact.
            consistent = consistent && r.ReportType == next[r.Module]++ &&
                         r.ReportMessage == "message " + std::to_string(r.Module) + "/" +
                                                std::to_string(r.ReportType);
        }
        seen = snapshot.size();
    }
    for (std::thread& worker : workers) worker.join();
    EXPECT_TRUE(consistent);
    EXPECT_EQ(host.ReportCount(), static_cast<std::size_t>(Threads * PerThread));
    EXPECT_TRUE(host.ClearReports());
    EXPECT_EQ(host.ReportCount(), 0u);
}

}  // namespace
}  // namespace validationtest
