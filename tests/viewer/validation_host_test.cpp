// The plug-in host without a window: every way loading can fail, a run to its end through a
// plug-in that reports from its own thread, and the findings list under concurrent use.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "host/PluginHost.h"
#include "tests/support/TestEnvironment.h"
#include "validation_fixtures.h"

namespace validationtest {
namespace {

struct BrokenPlugin {
    const char* name;
    const char* variant;  // stand-in plug-in, or a file made by the test
    const char* loadError;
};

class BrokenPluginTest : public ::testing::TestWithParam<BrokenPlugin> {
protected:
    std::string pluginPath() {
        const std::string variant = GetParam().variant;
        if (variant == "missing") return dir.file("Sievra.zkx");
        if (variant == "empty path") return "";
        if (variant == "folder") return dir.path();
        if (variant == "text") return writeScript(dir.file("Sievra.zkx"), {"not a library"});
        return fakePlugin(variant);
    }
    testsupport::TempDir dir;
};

TEST_P(BrokenPluginTest, IsNotBoundAndSaysWhy) {
    PluginHost host;
    host.setPlugin(pluginPath());
    EXPECT_FALSE(host.loadPlugin());
    EXPECT_FALSE(host.isBound());
    EXPECT_EQ(host.loadError().substr(0, std::string(GetParam().loadError).size()),
              GetParam().loadError);
    EXPECT_FALSE(host.startValidation());
    EXPECT_EQ(host.validateToEnd(std::chrono::milliseconds(1)), ValidationOutcome::NoPlugin);
    EXPECT_TRUE(host.unloadPlugin());
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
    [](const auto& info) { return std::string(info.param.name); });

class HostRunTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::DebugCapture debug;
};

TEST_F(HostRunTest, FindingsArriveInOrderFromThePluginsThread) {
    PluginHost host;
    host.setPlugin(fakePlugin("fake_scripted"));
    ASSERT_TRUE(host.loadPlugin());
    EXPECT_EQ(host.moduleName(), "Fake");
    EXPECT_TRUE(host.hasReportSet());
    EXPECT_FALSE(host.hasVideoControl());
    // Finishing at 99.995 counts as complete.
    host.setFileName(writeScript(dir.file("run.txt"),
                                 {"7\t1\tfirst", "0\t3\tsecond & last", "#progress 99.995"}));
    EXPECT_EQ(host.validateToEnd(std::chrono::milliseconds(1)), ValidationOutcome::Completed);
    const std::vector<CustomReport> expected{{7, 1, "first"}, {0, 3, "second & last"}};
    EXPECT_EQ(host.reports(), expected);
    // A second run starts from an empty list.
    EXPECT_EQ(host.validateToEnd(std::chrono::milliseconds(1)), ValidationOutcome::Completed);
    EXPECT_EQ(host.reports(), expected);
}

TEST_F(HostRunTest, RefusedFileAndFailedPlayAreToldApart) {
    PluginHost host("TMediaValidationForm");
    host.setPlugin(fakePlugin("fake_scripted"));
    ASSERT_TRUE(host.loadPlugin());
    host.setFileName(dir.file("missing.stl"));
    EXPECT_EQ(host.validateToEnd(std::chrono::milliseconds(1)), ValidationOutcome::LoadFailed);
    EXPECT_TRUE(debug.contains(
        "vyr: Error in TMediaValidationForm.StartValidation - cannot validate file."));
    host.setFileName(writeScript(dir.file("noplay.txt"), {"#fail-play"}));
    EXPECT_FALSE(host.startValidation());
    EXPECT_TRUE(debug.contains(
        "vyr: Error in TMediaValidationForm.StartValidation - cannot start file validation."));
}

TEST_F(HostRunTest, WithoutAReportSetTheRunWorksAndNothingArrives) {
    PluginHost host;
    host.setPlugin(fakePlugin("fake_noreportset"));
    ASSERT_TRUE(host.loadPlugin());
    EXPECT_FALSE(host.hasReportSet());
    host.setFileName(writeScript(dir.file("run.txt"), {"7\t1\tlost"}));
    EXPECT_EQ(host.validateToEnd(std::chrono::milliseconds(1)), ValidationOutcome::Completed);
    EXPECT_EQ(host.reportCount(), 0u);
}

TEST_F(HostRunTest, UnloadingTwiceIsHarmlessAndLoadingAgainWorks) {
    PluginHost host;
    host.setPlugin(fakePlugin("fake_scripted"));
    ASSERT_TRUE(host.loadPlugin());
    EXPECT_TRUE(host.unloadPlugin());
    EXPECT_FALSE(host.isBound());
    EXPECT_TRUE(host.unloadPlugin());
    double progress = 0;
    EXPECT_EQ(host.getProgress(progress), E_FAIL);
    EXPECT_TRUE(host.loadPlugin());
    EXPECT_TRUE(host.isBound());
    EXPECT_TRUE(debug.lines().empty());
}

TEST(ValidationHost, CompletionIsOneHundredWithinOneHundredth) {
    EXPECT_TRUE(PluginHost::isValidationComplete(100.0));
    EXPECT_TRUE(PluginHost::isValidationComplete(99.995));
    EXPECT_TRUE(PluginHost::isValidationComplete(100.005));
    EXPECT_FALSE(PluginHost::isValidationComplete(99.98));
    EXPECT_FALSE(PluginHost::isValidationComplete(100.02));
    EXPECT_FALSE(PluginHost::isValidationComplete(0.0));
}

// The sink as a plug-in written in C would ask it: identifier by pointer, either may be null.
TEST(ValidationHost, SinkQueryInterfaceRefusesNullArguments) {
    PluginHost host;
    using Slot = HRESULT(QVX_STDCALL*)(IUnknown*, const GUID*, void**);
    IUnknown* sink = static_cast<IQuorvexReport*>(&host);
    const Slot queryInterface = (*reinterpret_cast<Slot* const*>(sink))[0];
    void* sentinel = reinterpret_cast<void*>(0x1);
    void* out = sentinel;
    EXPECT_EQ(queryInterface(sink, nullptr, &out), E_POINTER);
    EXPECT_EQ(out, sentinel);
    EXPECT_EQ(queryInterface(sink, &iidIQuorvexReport, nullptr), E_POINTER);
    EXPECT_EQ(queryInterface(sink, &iidIQuorvexReport, &out), S_OK);
    EXPECT_EQ(out, sink);
}

// The plug-in's worker appends while the user-interface thread reads and saves: every snapshot
// must be a clean prefix of what was reported.
TEST(ValidationHost, FindingsListStaysConsistentUnderConcurrentReports) {
    PluginHost host;
    constexpr int threads = 4;
    constexpr int perThread = 3000;
    std::atomic<bool> go{false};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            while (!go) std::this_thread::yield();
            for (int i = 0; i < perThread; ++i)
                host.Report(t, i,
                            ("message " + std::to_string(t) + "/" + std::to_string(i)).c_str());
        });
    }
    go = true;
    std::size_t seen = 0;
    bool consistent = true;
    while (seen < static_cast<std::size_t>(threads * perThread)) {
        const std::vector<CustomReport> snapshot = host.reports();
        consistent = consistent && snapshot.size() >= seen;
        std::vector<int> next(threads, 0);
        for (const CustomReport& r : snapshot) {
            // Each thread's findings arrive in its own order and intact.
            consistent = consistent && r.reportType == next[r.module]++ &&
                         r.reportMessage == "message " + std::to_string(r.module) + "/" +
                                                std::to_string(r.reportType);
        }
        seen = snapshot.size();
    }
    for (std::thread& worker : workers) worker.join();
    EXPECT_TRUE(consistent);
    EXPECT_EQ(host.reportCount(), static_cast<std::size_t>(threads * perThread));
    EXPECT_TRUE(host.clearReports());
    EXPECT_EQ(host.reportCount(), 0u);
}

// A caller that shows counts alone keeps the first findings whole and counts every one.
TEST(ValidationHost, StoreLimitKeepsTheFirstFindingsAndCountsAll) {
    ReportList list;
    list.setStoreLimit(2);
    for (int round = 0; round < 2; ++round) {
        for (std::int32_t type : {3, 1, 3, 2, 3}) list.add(7, type, "t" + std::to_string(type));
        EXPECT_EQ(list.count(), 5u);
        EXPECT_EQ(list.snapshot(), (std::vector<CustomReport>{{7, 3, "t3"}, {7, 1, "t1"}}));
        EXPECT_EQ(list.at(2), CustomReport{});
        EXPECT_EQ(list.countByType(),
                  (std::map<std::int32_t, std::size_t>{{1, 1}, {2, 1}, {3, 3}}));
        list.clear();  // the limit outlives it
        EXPECT_EQ(list.count(), 0u);
        EXPECT_TRUE(list.countByType().empty());
    }
}

}  // namespace
}  // namespace validationtest
