#include "WorkerProcesses.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>

#include "FileRunner.h"

namespace cli {
namespace {

constexpr int PIPE_SIZE = 1 << 20;  // lets a child run ahead of a slow file in another child

class Writer {
public:
    void number(std::int64_t value) { m_bytes.append(reinterpret_cast<char*>(&value), 8); }
    void text(const std::string& value) {
        number(static_cast<std::int64_t>(value.size()));
        m_bytes += value;
    }
    void place(const FindingPlace& value) {
        static_assert(std::is_trivially_copyable_v<FindingPlace>);
        m_bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void lines(const std::vector<std::string>& values) {
        number(static_cast<std::int64_t>(values.size()));
        for (const std::string& value : values) text(value);
    }
    bool sendTo(int fd) const {
        for (std::size_t sent = 0; sent < m_bytes.size();) {
            const ssize_t n = ::write(fd, m_bytes.data() + sent, m_bytes.size() - sent);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    std::string m_bytes;
};

class Reader {
public:
    explicit Reader(int fd) : m_fd(fd) {}
    bool number(std::int64_t& value) { return read(&value, 8); }
    bool text(std::string& value) {
        std::int64_t size = 0;
        if (!number(size) || size < 0 || size > (std::int64_t(1) << 30)) return false;
        value.resize(static_cast<std::size_t>(size));
        return read(value.data(), value.size());
    }
    // Parent and child are the same program: the layout is the same on both sides.
    bool place(FindingPlace& value) { return read(&value, sizeof value); }
    bool lines(std::vector<std::string>& values) {
        std::int64_t count = 0;
        if (!number(count) || count < 0) return false;
        values.resize(static_cast<std::size_t>(count));
        for (std::string& value : values)
            if (!text(value)) return false;
        return true;
    }

private:
    bool read(void* data, std::size_t size) {
        auto* bytes = static_cast<char*>(data);
        for (std::size_t got = 0; got < size;) {
            const ssize_t n = ::read(m_fd, bytes + got, size - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            got += static_cast<std::size_t>(n);
        }
        return true;
    }
    int m_fd;
};

bool send(int fd, const FileResult& result) {
    Writer out;
    out.number(result.validated ? 1 : 0);
    out.text(result.reason);
    for (std::size_t count :
         {result.counts.errors, result.counts.warnings, result.counts.infos, result.counts.others})
        out.number(static_cast<std::int64_t>(count));
    out.number(static_cast<std::int64_t>(result.reports.size()));
    for (const CustomReport& report : result.reports) {
        out.number(report.module);
        out.number(report.reportType);
        out.text(report.reportMessage);
    }
    out.number(static_cast<std::int64_t>(result.places.size()));
    for (const FindingPlace& place : result.places) out.place(place);
    out.lines(result.hostLines);
    out.lines(result.pluginLines);
    return out.sendTo(fd);
}

std::optional<FileResult> receive(int fd) {
    Reader in(fd);
    FileResult result;
    std::int64_t validated = 0, count = 0;
    if (!in.number(validated) || !in.text(result.reason)) return std::nullopt;
    for (std::size_t* counted : {&result.counts.errors, &result.counts.warnings,
                                 &result.counts.infos, &result.counts.others}) {
        std::int64_t value = 0;
        if (!in.number(value) || value < 0) return std::nullopt;
        *counted = static_cast<std::size_t>(value);
    }
    if (!in.number(count) || count < 0) return std::nullopt;
    result.validated = validated != 0;
    result.reports.resize(static_cast<std::size_t>(count));
    for (CustomReport& report : result.reports) {
        std::int64_t module = 0, type = 0;
        if (!in.number(module) || !in.number(type) || !in.text(report.reportMessage))
            return std::nullopt;
        report.module = static_cast<std::int32_t>(module);
        report.reportType = static_cast<std::int32_t>(type);
    }
    if (!in.number(count) || count < 0 || count > (std::int64_t(1) << 30)) return std::nullopt;
    result.places.resize(static_cast<std::size_t>(count));
    for (FindingPlace& place : result.places)
        if (!in.place(place)) return std::nullopt;
    if (!in.lines(result.hostLines) || !in.lines(result.pluginLines)) return std::nullopt;
    return result;
}

[[noreturn]] void runChild(PluginHost& host, const std::vector<std::string>& files,
                           std::size_t first, unsigned step, Keep keep, int out) {
    FileRunner runner(host, keep);
    for (std::size_t i = first; i < files.size(); i += step)
        if (!send(out, runner.run(files[i]))) break;
    // No unloading: the parent's plug-in object saves the settings once, at its own end.
    ::_exit(0);
}

}  // namespace

void validateInProcesses(PluginHost& host, const std::vector<std::string>& files, unsigned jobs,
                         Keep keep, const ResultSink& sink) {
    std::vector<int> pipes;
    std::vector<pid_t> children;
    std::fflush(nullptr);
    for (unsigned job = 0; job < jobs; ++job) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) break;
        ::fcntl(ends[0], F_SETPIPE_SZ, PIPE_SIZE);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(ends[0]);
            for (int earlier : pipes) ::close(earlier);
            runChild(host, files, job, jobs, keep, ends[1]);
        }
        ::close(ends[1]);
        if (child < 0) {
            ::close(ends[0]);
            break;
        }
        pipes.push_back(ends[0]);
        children.push_back(child);
    }
    const std::size_t started = pipes.size();
    FileRunner runner(host, keep);  // here when no child could be started
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (started == 0 || (started < jobs && i % jobs >= started)) {
            sink(i, runner.run(files[i]));
            continue;
        }
        std::optional<FileResult> result = receive(pipes[i % jobs]);
        if (!result) {
            result.emplace();
            result->reason = WORKER_ENDED;
        }
        sink(i, std::move(*result));
    }
    for (int fd : pipes) ::close(fd);
    for (pid_t child : children) {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

}  // namespace cli
