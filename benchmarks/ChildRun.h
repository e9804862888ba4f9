#pragma once
// A command run as a pipeline runs it, from process start to exit, with its largest resident
// set; for the benchmarks that compare one program with another.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

struct Run {
    int status = -1;
    double milliseconds = 0;
    long maxRssKb = 0;
};

inline Run run(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& stdoutPath) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, stdoutPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    Run result;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        return result;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0) {
    }
    result.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.maxRssKb = usage.ru_maxrss;
    return result;
}

inline Run best(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& stdoutPath) {
    Run fastest;
    for (int i = 0; i < 5; ++i) {
        const Run r = run(program, arguments, stdoutPath);
        if (i == 0 || r.milliseconds < fastest.milliseconds) fastest = r;
    }
    return fastest;
}

// A fresh folder /tmp/lumtrace-NAME-XXXXXX for the files of a run, with a config home of its own
// so the rule settings start from their defaults; empty when none can be made.
inline std::filesystem::path benchFolder(const std::string& name) {
    std::string pattern = "/tmp/lumtrace-" + name + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) return {};
    const std::filesystem::path folder = pattern;
    std::filesystem::create_directory(folder / "config");
    ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    return folder;
}

// The folder of this program, where the commands it times are built.
inline std::filesystem::path programFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

}  // namespace bench
