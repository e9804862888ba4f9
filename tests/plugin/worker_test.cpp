// The validation worker's command/status protocol, driven directly (also run under
// ThreadSanitizer with -DLUMTRACE_TSAN=ON).

#include <gtest/gtest.h>

#include "PluginTestSupport.h"
#include "plugin/STLValidationThread.h"
#include "plugin/ValidationSettings.h"
#include "stl/STLReader.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

using namespace std::chrono_literals;
using plugintest::ReportRecorder;

namespace {

// Polls the status until it is Expected or a generous limit passes.
bool WaitForStatus(TSTLValidationThread& Worker, std::int32_t Expected) {
    const auto End = std::chrono::steady_clock::now() + 10s;
    std::int32_t Status = -1;
    while (std::chrono::steady_clock::now() < End) {
        if (Worker.GetVGThreadStatus(&Status) == S_OK && Status == Expected) return true;
        std::this_thread::sleep_for(200us);
    }
    return false;
}

double Progress(TSTLValidationThread& Worker) {
    double Value = -1;
    EXPECT_EQ(Worker.GetProgress(&Value), S_OK);
    return Value;
}

class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        AddDefaultValidationSettings(List);
        ASSERT_EQ(List.SetQuorvexReport(&Sink), S_OK);
    }
    std::string File(int Blocks) {
        return testsupport::StlFileBuilder().addBlocks(Blocks).writeTo(Dir.file("w.stl"));
    }

    testsupport::TempDir Dir;
    ReportRecorder Sink;
    TValidationSettingList List;
};

TEST_F(WorkerTest, FreshWorkerAnswersZero) {
    TSTLValidationThread Worker;
    std::int32_t Status = -1;
    std::int64_t Duration = -1, Position = -1;
    EXPECT_EQ(Worker.GetVGThreadStatus(&Status), S_OK);
    EXPECT_EQ(Status, 0);
    EXPECT_EQ(Progress(Worker), 0.0);
    EXPECT_EQ(Worker.GetMediaDuration(&Duration), S_OK);
    EXPECT_EQ(Duration, 0);
    EXPECT_EQ(Worker.GetMediaPosition(&Position), S_OK);
    EXPECT_EQ(Position, 0);
    EXPECT_EQ(Worker.GetVGThreadStatus(nullptr), E_FAIL);
    EXPECT_EQ(Worker.SetValidationSettingList(nullptr), E_INVALIDARG);
    testsupport::DebugCapture Capture;
    EXPECT_EQ(Worker.SetQuorvexReport(nullptr), E_INVALIDARG);
    EXPECT_TRUE(Capture.contains(
        "vyr: Error in TSTLValidationThread.SetQuorvexReport - invalid argument."));
}

TEST_F(WorkerTest, NormalSequenceLoadPlayStopUnload) {
    TSTLValidationThread Worker;
    ASSERT_EQ(Worker.SetQuorvexReport(&Sink), S_OK);
    ASSERT_EQ(Worker.SetValidationSettingList(&List), S_OK);
    const std::string Path = File(3);
    ASSERT_EQ(Worker.LoadFile(Path), S_OK);
    ASSERT_TRUE(WaitForStatus(Worker, 101));
    std::int64_t Duration = 0;
    EXPECT_EQ(Worker.GetMediaDuration(&Duration), S_OK);
    TSTLReader Reader(TSTLVariant::Plugin);
    ASSERT_EQ(Reader.OpenFile(Path, true), S_OK);
    EXPECT_GT(Duration, 0);
    EXPECT_EQ(Duration, Reader.GetDuration());
    EXPECT_EQ(Sink.rules().size(), 29u);  // the reader's GSI lines

    ASSERT_EQ(Worker.Play(), S_OK);
    ASSERT_EQ(Worker.Stop(), S_OK);  // taken only after the run
    ASSERT_TRUE(WaitForStatus(Worker, 104));
    EXPECT_EQ(Progress(Worker), 100.0);
    // A second run starts while progress still reads 100.
    ASSERT_EQ(Worker.Play(), S_OK);
    ASSERT_TRUE(WaitForStatus(Worker, 103));
    EXPECT_EQ(Progress(Worker), 100.0);

    ASSERT_EQ(Worker.UnloadFile(), S_OK);
    ASSERT_TRUE(WaitForStatus(Worker, 102));
    EXPECT_EQ(Progress(Worker), 0.0);
    EXPECT_EQ(Worker.GetMediaDuration(&Duration), S_OK);
    EXPECT_EQ(Duration, 0);
}

TEST_F(WorkerTest, PlayAfterAFailedLoadFinishesWithoutFindings) {
    TSTLValidationThread Worker;
    ASSERT_EQ(Worker.SetQuorvexReport(&Sink), S_OK);
    ASSERT_EQ(Worker.SetValidationSettingList(&List), S_OK);
    testsupport::DebugCapture Capture;
    ASSERT_EQ(Worker.LoadFile(Dir.file("missing.stl")), S_OK);
    ASSERT_TRUE(WaitForStatus(Worker, 201));
    Sink.clear();
    ASSERT_EQ(Worker.Play(), S_OK);
    ASSERT_EQ(Worker.Stop(), S_OK);
    ASSERT_TRUE(WaitForStatus(Worker, 104));
    EXPECT_EQ(Progress(Worker), 100.0);
    EXPECT_TRUE(Sink.findings().empty());
    EXPECT_TRUE(Capture.contains("vyr: Error in TSTLFileValidator.ValidateSTL call..."));
}

TEST_F(WorkerTest, WithoutASettingsListEveryFindingIsLost) {
    TSTLValidationThread Worker;
    EXPECT_EQ(TSTLValidationThread::ReportFunction(&Worker, 7, 3, "lost", 402), E_FAIL);
    ASSERT_EQ(Worker.LoadFile(File(2)), S_OK);
    ASSERT_TRUE(WaitForStatus(Worker, 101));
    ASSERT_EQ(Worker.Play(), S_OK);
    ASSERT_EQ(Worker.Stop(), S_OK);
    EXPECT_TRUE(WaitForStatus(Worker, 104));
    EXPECT_TRUE(Sink.findings().empty());
}

TEST_F(WorkerTest, DestructionDuringARunWaitsForTheRun) {
    Sink.holdAt(438);
    auto Worker = std::make_unique<TSTLValidationThread>();
    ASSERT_EQ(Worker->SetValidationSettingList(&List), S_OK);
    testsupport::StlFileBuilder Builder;
    testsupport::StlFileBuilder::Block Block;
    Block.vertical = 120;
    const std::string Path = Builder.addBlock(Block).announce(1).writeTo(Dir.file("vp.stl"));
    ASSERT_EQ(Worker->LoadFile(Path), S_OK);
    ASSERT_TRUE(WaitForStatus(*Worker, 101));
    ASSERT_EQ(Worker->Play(), S_OK);
    ASSERT_TRUE(Sink.waitUntilHeld());
    EXPECT_EQ(Progress(*Worker), 0.0);
    std::atomic<bool> Destroyed{false};
    std::thread Destroyer([&] {
        Worker.reset();
        Destroyed = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(Destroyed);
    Sink.open();
    Destroyer.join();
    EXPECT_TRUE(Destroyed);
}

}  // namespace
