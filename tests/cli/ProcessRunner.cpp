#include "ProcessRunner.h"

#include <fcntl.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace clitest {
namespace {

std::string ReadWhole(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string TempFile() {
    char name[] = "/tmp/lumtrace-cli-out-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    ::close(fd);
    return name;
}

struct Redirection {
    std::string OutPath;
    std::string ErrPath;
    int ErrFd = -1;  // used instead of ErrPath when set
    std::string WorkingDirectory;
};

// Spawns with the redirections and waits for the child.
int Spawn(const std::string& Program, const std::vector<std::string>& Arguments,
          const Redirection& To) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(Program.c_str()));
    for (const std::string& a : Arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, To.OutPath.c_str(),
                                     O_WRONLY | O_TRUNC, 0);
    if (To.ErrFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, To.ErrFd, STDERR_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, To.ErrPath.c_str(),
                                         O_WRONLY | O_TRUNC, 0);
    }
    if (!To.WorkingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, To.WorkingDirectory.c_str());
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, Program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + Program);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ProcessResult RunProcess(const std::string& Program, const std::vector<std::string>& Arguments,
                         const std::string& StdoutPath, const std::string& WorkingDirectory) {
    const std::string outPath = StdoutPath.empty() ? TempFile() : StdoutPath;
    const std::string errPath = TempFile();
    ProcessResult result;
    result.ExitStatus = Spawn(Program, Arguments, {outPath, errPath, -1, WorkingDirectory});
    result.Err = ReadWhole(errPath);
    std::remove(errPath.c_str());
    if (StdoutPath.empty()) {
        result.Out = ReadWhole(outPath);
        std::remove(outPath.c_str());
    }
    return result;
}

ProcessResult RunProcessWithTerminalStderr(const std::string& Program,
                                           const std::vector<std::string>& Arguments) {
    int master = -1, slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    const std::string outPath = TempFile();
    ProcessResult result;
    result.ExitStatus = Spawn(Program, Arguments, {outPath, {}, slave, {}});
    ::close(slave);
    // The child has ended: everything it wrote waits in the terminal's buffer.
    char buffer[4096];
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
        result.Err.append(buffer, static_cast<std::size_t>(n));
    ::close(master);
    result.Out = ReadWhole(outPath);
    std::remove(outPath.c_str());
    return result;
}

std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> lines;
    std::istringstream in(Text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace clitest
