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

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string tempFile() {
    char name[] = "/tmp/lumtrace-cli-out-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    ::close(fd);
    return name;
}

struct Redirection {
    std::string outPath;
    std::string errPath;
    int errFd = -1;  // used instead of ErrPath when set
    std::string workingDirectory;
    std::string inPath = "/dev/null";
};

// Spawns with the redirections and waits for the child.
int spawn(const std::string& program, const std::vector<std::string>& arguments,
          const Redirection& to) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, to.inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, to.outPath.c_str(),
                                     O_WRONLY | O_TRUNC, 0);
    if (to.errFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, to.errFd, STDERR_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, to.errPath.c_str(),
                                         O_WRONLY | O_TRUNC, 0);
    }
    if (!to.workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, to.workingDirectory.c_str());
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + program);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& stdoutPath, const std::string& workingDirectory) {
    const std::string outPath = stdoutPath.empty() ? tempFile() : stdoutPath;
    const std::string errPath = tempFile();
    ProcessResult result;
    result.exitStatus = spawn(program, arguments, {outPath, errPath, -1, workingDirectory});
    result.err = readWhole(errPath);
    std::remove(errPath.c_str());
    if (stdoutPath.empty()) {
        result.out = readWhole(outPath);
        std::remove(outPath.c_str());
    }
    return result;
}

ProcessResult runProcessWithInput(const std::string& program,
                                  const std::vector<std::string>& arguments,
                                  const std::string& input) {
    const std::string inPath = tempFile(), outPath = tempFile(), errPath = tempFile();
    std::ofstream(inPath, std::ios::binary) << input;
    ProcessResult result;
    result.exitStatus = spawn(program, arguments, {outPath, errPath, -1, {}, inPath});
    result.out = readWhole(outPath);
    result.err = readWhole(errPath);
    for (const std::string& path : {inPath, outPath, errPath}) std::remove(path.c_str());
    return result;
}

ProcessResult runProcessWithTerminalStderr(const std::string& program,
                                           const std::vector<std::string>& arguments) {
    int master = -1, slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    const std::string outPath = tempFile();
    ProcessResult result;
    result.exitStatus = spawn(program, arguments, {outPath, {}, slave, {}});
    ::close(slave);
    // The child has ended: everything it wrote waits in the terminal's buffer.
    char buffer[4096];
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
        result.err.append(buffer, static_cast<std::size_t>(n));
    ::close(master);
    result.out = readWhole(outPath);
    std::remove(outPath.c_str());
    return result;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace clitest
