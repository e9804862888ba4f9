#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/DebugOutput.h"
#include "platform/Guarded.h"
#include "tests/support/TestEnvironment.h"

namespace {

// Redirects file descriptor 2 into a pipe for the lifetime of the object.
class StderrPipe {
public:
    StderrPipe() {
        EXPECT_EQ(pipe(m_fds), 0);
        m_saved = dup(STDERR_FILENO);
        dup2(m_fds[1], STDERR_FILENO);
        close(m_fds[1]);
    }
    ~StderrPipe() { restore(); }
    std::string collect() {
        restore();
        std::string text;
        char buffer[4096];
        ssize_t n;
        while ((n = read(m_fds[0], buffer, sizeof buffer)) > 0) text.append(buffer, n);
        return text;
    }

private:
    void restore() {
        if (m_saved < 0) return;
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }
    int m_fds[2] = {-1, -1};
    int m_saved = -1;
};

TEST(DebugOutput, WritesOneLinePerCallToStderr) {
    StderrPipe pipe;
    platform::debugOutput("vyr: Error in TSTLReader.OpenFile - file not found.");
    platform::debugOutput("second");
    EXPECT_EQ(pipe.collect(), "vyr: Error in TSTLReader.OpenFile - file not found.\nsecond\n");
}

TEST(DebugOutput, LinesFromManyThreadsStayWhole) {
    StderrPipe pipe;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i)
                platform::debugOutput(std::string(60, static_cast<char>('a' + t)));
        });
    for (auto& th : threads) th.join();
    const std::string text = pipe.collect();
    std::size_t lines = 0;
    for (std::size_t at = 0; at < text.size(); at += 61, ++lines) {
        ASSERT_EQ(text[at + 60], '\n');
        EXPECT_EQ(text.substr(at, 60), std::string(60, text[at]));
    }
    EXPECT_EQ(lines, 800u);
}

TEST(DebugOutput, SinkReceivesLinesAndCanBeRemoved) {
    std::vector<std::string> seen;
    auto previous = platform::setDebugSink([&](const std::string& line) { seen.push_back(line); });
    platform::debugOutput("captured");
    EXPECT_FALSE(platform::setDebugSink(std::move(previous)) == nullptr);
    EXPECT_EQ(seen, std::vector<std::string>{"captured"});

    StderrPipe pipe;
    platform::debugOutput("to stderr");
    EXPECT_EQ(pipe.collect(), "to stderr\n");
    EXPECT_EQ(seen.size(), 1u);
}

TEST(Guarded, EscapingFailureGivesOneLineAndFailureValue) {
    testsupport::DebugCapture capture;
    const int result = platform::guarded("TThing.Do", -1, []() -> int { throw 42; });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{"vyr: Error in TThing.Do call..."});
}

}  // namespace
