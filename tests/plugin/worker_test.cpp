// The validation worker's command/status protocol, driven directly (also run under
// ThreadSanitizer with -DLUMTRACE_TSAN=ON).

#include <gtest/gtest.h>

#include "PluginTestSupport.h"
#include "plugin/RuleSettings.h"
#include "plugin/ValidationWorker.h"
#include "stl/StlReader.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

using namespace std::chrono_literals;
using plugintest::ReportRecorder;

namespace {

// Polls the status until it is Expected or a generous limit passes.
bool waitForStatus(ValidationWorker& worker, std::int32_t expected) {
    const auto end = std::chrono::steady_clock::now() + 10s;
    std::int32_t status = -1;
    while (std::chrono::steady_clock::now() < end) {
        if (worker.getVgThreadStatus(&status) == S_OK && status == expected) return true;
        std::this_thread::sleep_for(200us);
    }
    return false;
}

double progress(ValidationWorker& worker) {
    double value = -1;
    EXPECT_EQ(worker.getProgress(&value), S_OK);
    return value;
}

class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        addDefaultValidationSettings(list);
        ASSERT_EQ(list.setQuorvexReport(&sink), S_OK);
    }
    std::string file(int blocks) {
        return testsupport::StlFileBuilder().addBlocks(blocks).writeTo(dir.file("w.stl"));
    }

    testsupport::TempDir dir;
    ReportRecorder sink;
    RuleSettings list;
};

TEST_F(WorkerTest, FreshWorkerAnswersZero) {
    ValidationWorker worker;
    std::int32_t status = -1;
    std::int64_t duration = -1, position = -1;
    EXPECT_EQ(worker.getVgThreadStatus(&status), S_OK);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(progress(worker), 0.0);
    EXPECT_EQ(worker.getMediaDuration(&duration), S_OK);
    EXPECT_EQ(duration, 0);
    EXPECT_EQ(worker.getMediaPosition(&position), S_OK);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(worker.getVgThreadStatus(nullptr), E_FAIL);
    EXPECT_EQ(worker.setValidationSettingList(nullptr), E_INVALIDARG);
    testsupport::DebugCapture capture;
    EXPECT_EQ(worker.setQuorvexReport(nullptr), E_INVALIDARG);
    EXPECT_TRUE(capture.contains(
        "vyr: Error in TSTLValidationThread.SetQuorvexReport - invalid argument."));
}

TEST_F(WorkerTest, NormalSequenceLoadPlayStopUnload) {
    ValidationWorker worker;
    ASSERT_EQ(worker.setQuorvexReport(&sink), S_OK);
    ASSERT_EQ(worker.setValidationSettingList(&list), S_OK);
    const std::string path = file(3);
    ASSERT_EQ(worker.loadFile(path), S_OK);
    ASSERT_TRUE(waitForStatus(worker, 101));
    std::int64_t duration = 0;
    EXPECT_EQ(worker.getMediaDuration(&duration), S_OK);
    StlReader reader(StlVariant::Plugin);
    ASSERT_EQ(reader.openFile(path, true), S_OK);
    EXPECT_GT(duration, 0);
    EXPECT_EQ(duration, reader.getDuration());
    EXPECT_EQ(sink.rules().size(), 29u);  // the reader's GSI lines

    ASSERT_EQ(worker.play(), S_OK);
    ASSERT_EQ(worker.stop(), S_OK);  // taken only after the run
    ASSERT_TRUE(waitForStatus(worker, 104));
    EXPECT_EQ(progress(worker), 100.0);
    // A second run starts while progress still reads 100.
    ASSERT_EQ(worker.play(), S_OK);
    ASSERT_TRUE(waitForStatus(worker, 103));
    EXPECT_EQ(progress(worker), 100.0);

    ASSERT_EQ(worker.unloadFile(), S_OK);
    ASSERT_TRUE(waitForStatus(worker, 102));
    EXPECT_EQ(progress(worker), 0.0);
    EXPECT_EQ(worker.getMediaDuration(&duration), S_OK);
    EXPECT_EQ(duration, 0);
}

TEST_F(WorkerTest, PlayAfterAFailedLoadFinishesWithoutFindings) {
    ValidationWorker worker;
    ASSERT_EQ(worker.setQuorvexReport(&sink), S_OK);
    ASSERT_EQ(worker.setValidationSettingList(&list), S_OK);
    testsupport::DebugCapture capture;
    ASSERT_EQ(worker.loadFile(dir.file("missing.stl")), S_OK);
    ASSERT_TRUE(waitForStatus(worker, 201));
    sink.clear();
    ASSERT_EQ(worker.play(), S_OK);
    ASSERT_EQ(worker.stop(), S_OK);
    ASSERT_TRUE(waitForStatus(worker, 104));
    EXPECT_EQ(progress(worker), 100.0);
    EXPECT_TRUE(sink.findings().empty());
    EXPECT_TRUE(capture.contains("vyr: Error in TSTLFileValidator.ValidateSTL call..."));
}

TEST_F(WorkerTest, WithoutASettingsListEveryFindingIsLost) {
    ValidationWorker worker;
    EXPECT_EQ(ValidationWorker::reportFunction(&worker, 7, 3, "lost", 402), E_FAIL);
    ASSERT_EQ(worker.loadFile(file(2)), S_OK);
    ASSERT_TRUE(waitForStatus(worker, 101));
    ASSERT_EQ(worker.play(), S_OK);
    ASSERT_EQ(worker.stop(), S_OK);
    EXPECT_TRUE(waitForStatus(worker, 104));
    EXPECT_TRUE(sink.findings().empty());
}

TEST_F(WorkerTest, DestructionDuringARunWaitsForTheRun) {
    sink.holdAt(438);
    auto worker = std::make_unique<ValidationWorker>();
    ASSERT_EQ(worker->setValidationSettingList(&list), S_OK);
    testsupport::StlFileBuilder builder;
    testsupport::StlFileBuilder::Block block;
    block.vertical = 120;
    const std::string path = builder.addBlock(block).announce(1).writeTo(dir.file("vp.stl"));
    ASSERT_EQ(worker->loadFile(path), S_OK);
    ASSERT_TRUE(waitForStatus(*worker, 101));
    ASSERT_EQ(worker->play(), S_OK);
    ASSERT_TRUE(sink.waitUntilHeld());
    EXPECT_EQ(progress(*worker), 0.0);
    std::atomic<bool> destroyed{false};
    std::thread destroyer([&] {
        worker.reset();
        destroyed = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(destroyed);
    sink.open();
    destroyer.join();
    EXPECT_TRUE(destroyed);
}

}  // namespace
