// The file validator outside its rules: no reader, the report callback, subtitle numbering
// across runs and past 16 bits.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RuleTestSupport.h"

namespace {

using namespace ruletest;

TEST(FileValidator, WithoutReaderFailsAfterOneDiagnostic) {
    testsupport::DebugCapture capture;
    FindingSink sink;
    FileValidator validator;
    validator.setReportFunction(sink.function());
    EXPECT_EQ(validator.validateStl(nullptr), E_FAIL);
    EXPECT_TRUE(sink.findings.empty());
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{"vyr: Error in TSTLFileValidator.ValidateSTL call..."});
}

TEST(FileValidator, ReportWithoutCallbackLosesTheFinding) {
    FileValidator validator;
    EXPECT_EQ(validator.report(MODULE_SIEVRA, REPORT_TYPE_ERROR, "lost", 402), E_FAIL);
}

TEST(FileValidator, ReportPassesTheCallbackResult) {
    struct Context {
        std::string message;
    } ctx;
    FileValidator validator;
    validator.setReportFunction(
        {&ctx, [](void* c, std::int32_t, std::int32_t, const char* m, std::int32_t) {
             static_cast<Context*>(c)->message = m;
             return E_NOTIMPL;
         }});
    EXPECT_EQ(validator.report(7, 3, "text", 402), E_NOTIMPL);
    EXPECT_EQ(ctx.message, "text");
}

TEST(FileValidator, SubtitleNumbersStartFreshOnEveryRun) {
    testsupport::TempDir dir;
    const std::string path = withNumbers({1, 2}).writeTo(dir.file("run.stl"));
    StlReader reader(StlVariant::Plugin);
    ASSERT_EQ(reader.openFile(path, true), S_OK);
    FindingSink sink;
    FileValidator validator;
    validator.setReportFunction(sink.function());
    EXPECT_EQ(validator.validateStl(&reader), S_OK);
    EXPECT_EQ(validator.validateStl(&reader), S_OK);
    EXPECT_TRUE(sink.findings.empty());
}

TEST(FileValidator, SubtitleNumbersWrapAfter65535) {
    // 65,540 blocks numbered 1, 2, ...: the 16-bit number wraps to 0 (new, but not subsequent to
    // 65535), then 1, 2, 3 repeat (duplicates, yet subsequent to their predecessor).
    constexpr int BLOCKS = 65540;
    StlFileBuilder file;
    for (int i = 0; i < BLOCKS; ++i) {
        StlFileBuilder::Block block;
        block.number = static_cast<std::uint16_t>(i + 1);
        file.addBlock(block);
    }
    file.announce(BLOCKS);
    const RunResult run = validate(file);
    EXPECT_EQ(run.result, S_OK);
    EXPECT_EQ(run.findings, (std::vector<Finding>{
                                {426, "TTI # 65535 - Not equal or subsequent Subtitle Number = 0"},
                                {425, "TTI # 65536 - Dublicate Subtitle Number = 1"},
                                {425, "TTI # 65537 - Dublicate Subtitle Number = 2"},
                                {425, "TTI # 65538 - Dublicate Subtitle Number = 3"},
                                {425, "TTI # 65539 - Dublicate Subtitle Number = 4"},
                            }));
}

}  // namespace
